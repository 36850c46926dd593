// The filter commands against a window that records what they ask of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Katalog.h"
#include "presentation/Wortartfilter.h"

namespace {

using namespace zanit;

class Aufzeichnung : public Filterfenster {
public:
    // The dialog's answer: nothing (Cancel) or the chosen item index.
    bool abbrechen = false;
    int antwort = 0;
    std::string text = "Haus";
    bool letzteInkrementell = false;
    // Lines the list holds after a search; before the first one.
    int zeilenNachSuche = 3;
    int zeilen = 3;

    int dialoge = 0, dialogCode = -99;
    std::vector<bool> suchen;  // mode of each search: true incremental
    int meldungen = 0, markiert = 0;
    std::vector<Filteranzeige> anzeigen;

    bool FilterDialog(int& code) override {
        ++dialoge;
        dialogCode = code;
        if (abbrechen) return false;
        code = antwort;
        return true;
    }
    std::string Suchtext() const override { return text; }
    void NeuSuchen(bool inkrementell) override {
        suchen.push_back(inkrementell);
        zeilen = zeilenNachSuche;
    }
    bool LetzteSucheInkrementell() const override { return letzteInkrementell; }
    bool ListeLeer() const override { return zeilen == 0; }
    void KeineTrefferMelden() override { ++meldungen; }
    void SuchfeldMarkieren() override { ++markiert; }
    void Anzeigen(const Filteranzeige& a) override { anzeigen.push_back(a); }
};

TEST(Wortartfilter, SettingSearchesIncrementallyOnlyWhenTheCodeChangesAndThereIsText) {
    TFilterzustand f;
    Aufzeichnung w;
    w.antwort = 10;
    f.Setzen(w);
    EXPECT_EQ(f.Code(), 10);
    EXPECT_EQ(w.dialogCode, 0);  // the dialog opens on the current code
    ASSERT_EQ(w.suchen, std::vector<bool>{true});
    ASSERT_EQ(w.anzeigen.size(), 1u);
    EXPECT_TRUE(w.anzeigen[0].ausAktiv);
    EXPECT_EQ(w.meldungen + w.markiert, 0);

    // The same code again: no search.
    f.Setzen(w);
    EXPECT_EQ(w.dialogCode, 10);
    EXPECT_EQ(w.suchen.size(), 1u);

    // Another code without text: label and buttons only.
    w.text.clear();
    w.antwort = 2;
    f.Setzen(w);
    EXPECT_EQ(f.Code(), 2);
    EXPECT_EQ(w.suchen.size(), 1u);
    EXPECT_EQ(w.anzeigen.back().label, KatalogText(30018, "Wortartfilter:") + " " + Wortartname(2));
}

TEST(Wortartfilter, CancelLeavesEverythingAsItWas) {
    TFilterzustand f;
    Aufzeichnung w;
    w.antwort = 4;
    f.Setzen(w);
    const auto vorher = w.anzeigen.size();
    w.abbrechen = true;
    w.zeilen = 0;  // even an empty list is not answered
    f.Setzen(w);
    EXPECT_EQ(f.Code(), 4);
    EXPECT_EQ(w.anzeigen.size(), vorher);
    EXPECT_EQ(w.suchen.size(), 1u);
    EXPECT_EQ(w.meldungen + w.markiert, 0);
}

TEST(Wortartfilter, AFilterMatchingNothingIsReportedAndStays) {
    TFilterzustand f;
    Aufzeichnung w;
    w.antwort = 10;
    w.zeilenNachSuche = 0;
    f.Setzen(w);
    EXPECT_EQ(f.Code(), 10);
    EXPECT_EQ(w.meldungen, 1);
    EXPECT_EQ(w.markiert, 1);
    EXPECT_TRUE(w.anzeigen.back().ausAktiv);

    // With an empty list and no filter chosen: the field is marked, without the message.
    TFilterzustand g;
    Aufzeichnung leer;
    leer.text.clear();
    leer.zeilen = 0;
    leer.antwort = 0;
    g.Setzen(leer);
    EXPECT_EQ(leer.meldungen, 0);
    EXPECT_EQ(leer.markiert, 1);
    // ... and with a filter chosen, with it.
    leer.antwort = 3;
    g.Setzen(leer);
    EXPECT_EQ(leer.meldungen, 1);
    EXPECT_EQ(leer.markiert, 2);
}

TEST(Wortartfilter, NoneInTheDialogSearchesOnlyAfterAFilterAndClearingFollowsTheLastMode) {
    TFilterzustand f;
    Aufzeichnung w;
    w.antwort = 0;
    f.Setzen(w);  // none after none: no search
    EXPECT_TRUE(w.suchen.empty());
    w.antwort = 5;
    f.Setzen(w);
    w.antwort = 0;
    f.Setzen(w);  // none after a filter: searched again, incrementally
    EXPECT_EQ(f.Code(), 0);
    EXPECT_EQ(w.suchen, (std::vector<bool>{true, true}));
    EXPECT_FALSE(w.anzeigen.back().ausAktiv);

    // Clearing: nothing when there is no filter; else the mode of the last search.
    f.Aufheben(w);
    EXPECT_EQ(w.suchen.size(), 2u);
    w.antwort = 5;
    f.Setzen(w);
    w.letzteInkrementell = false;
    f.Aufheben(w);
    EXPECT_EQ(w.suchen.back(), false);
    w.antwort = 6;
    f.Setzen(w);
    w.letzteInkrementell = true;
    f.Aufheben(w);
    EXPECT_EQ(w.suchen.back(), true);
    EXPECT_EQ(f.Code(), 0);
    EXPECT_FALSE(w.anzeigen.back().ausAktiv);
}

TEST(Wortartfilter, AnIndexOutsideTheCodesMeansNoFilter) {
    for (int antwort : {-1, 12, 1000}) {
        TFilterzustand f;
        Aufzeichnung w;
        w.antwort = 7;
        f.Setzen(w);
        w.antwort = antwort;
        f.Setzen(w);
        EXPECT_EQ(f.Code(), 0) << antwort;
    }
}

TEST(Wortartfilter, ToggleAndLabelClick) {
    TFilterzustand f;
    Aufzeichnung w;
    w.antwort = 1;
    f.Umschalten(w);  // none: the dialog
    EXPECT_EQ(w.dialoge, 1);
    EXPECT_EQ(f.Code(), 1);
    f.Umschalten(w);  // set: cleared without the dialog
    EXPECT_EQ(w.dialoge, 1);
    EXPECT_EQ(f.Code(), 0);

    // The label does nothing while the list is empty.
    w.zeilen = 0;
    f.LabelKlick(w, false);
    f.LabelKlick(w, true);
    EXPECT_EQ(w.dialoge, 1);

    w.zeilen = 2;
    f.LabelKlick(w, true);  // multi-language: toggles, here sets
    EXPECT_EQ(w.dialoge, 2);
    f.LabelKlick(w, true);  // ... and clears
    EXPECT_EQ(w.dialoge, 2);
    EXPECT_EQ(f.Code(), 0);
    f.LabelKlick(w, false);  // classic: always the dialog
    f.LabelKlick(w, false);
    EXPECT_EQ(w.dialoge, 4);
}

TEST(Wortartfilter, LabelFacesAndHintFollowTheCode) {
    const Filteranzeige aus = FilterAnzeige(0);
    EXPECT_EQ(aus.label, KatalogText(30018, "Wortartfilter:") + " " + KatalogText(3029, "(keine Auswahl)"));
    EXPECT_EQ(std::vector<int>({aus.normal, aus.heiss, aus.gedrueckt}), std::vector<int>({3, 4, 5}));
    EXPECT_EQ(aus.hinweis, KatalogText(30011, "Nur Einträge einer bestimmten Wortart anzeigen"));
    EXPECT_FALSE(aus.ausAktiv);
    const Filteranzeige an = FilterAnzeige(10);
    EXPECT_EQ(an.label, "Wortartfilter: Interjektion");
    EXPECT_EQ(std::vector<int>({an.normal, an.heiss, an.gedrueckt}), std::vector<int>({6, 7, 8}));
    EXPECT_EQ(an.hinweis, KatalogText(30012, "Wortart-Filter aufheben"));
    EXPECT_TRUE(an.ausAktiv);
}

}  // namespace
