// Transfers into real collections: what is stored, the counters, lessons added in the dialog, the refusals,
// and the writes that fail (the collection stays whole and entry numbers stay unique).
#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "search/Suchbegriff.h"
#include "trainer/Dateiersatz.h"
#include "trainer/Trainerumgebung.h"

using namespace zanit;
using namespace zanit::test;

namespace {

TVokabel Karte(const std::string& s1, const std::string& s2, int art = 2) {
    return MachVokabel(s1, s2, "Deutsch", "Englisch", art, {11, -12, 13, 0, 0});
}

// One showing of the dialog and one confirmed transfer into `lektion`.
TUebernahmeStatus Uebernimm(TSammlung& s, int lektion, const TVokabel& v) {
    TVokabelziel ziel(s);
    const TUebernahmeStatus offen = ziel.Oeffnen();
    if (offen != TUebernahmeStatus::Bereit) return offen;
    return ziel.Speichern(lektion, v);
}

class Uebertragung : public ::testing::Test {
protected:
    void SetUp() override { u_.Sammlung("ENGL", "Englisch", "Schule", "Englisch 1", {"Tiere", "Haus"}, 5); }
    Trainerumgebung u_;
};

TEST(Trefferzeile, SplitsSourceAndTranslationByDirection) {
    EXPECT_EQ(ZerlegeTrefferzeile(" Haus | house, home |Substantiv", 1), std::make_pair(std::string("Haus"), std::string("house, home")));
    EXPECT_EQ(ZerlegeTrefferzeile("house|Haus|Substantiv", 2), std::make_pair(std::string("Haus"), std::string("house")));
    EXPECT_EQ(ZerlegeTrefferzeile("Haus|house", 1), std::make_pair(std::string("Haus"), std::string()));
    EXPECT_EQ(ZerlegeTrefferzeile("ohne Trenner", 1), std::make_pair(std::string(), std::string()));
}

TEST_F(Uebertragung, TwoShowingsIntoANewLessonCountTwoInBoxOne) {
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    ASSERT_EQ(s.liste.size(), 2u);
    const int neu = s.NeueLektion("Garten");
    ASSERT_EQ(neu, 3);
    EXPECT_EQ(s.liste.back(), (TLektionseintrag{3, "Garten"}));
    ASSERT_EQ(Uebernimm(s, neu, Karte("Garten", "garden")), TUebernahmeStatus::Gespeichert);

    // A later showing reads the collection again.
    TSammlung spaeter;
    spaeter.Waehlen(u_.Ordner(), "ENGL");
    ASSERT_EQ(spaeter.liste.size(), 3u);
    ASSERT_EQ(Uebernimm(spaeter, neu, Karte("Gast", "guest")), TUebernahmeStatus::Gespeichert);

    const auto lektionen = LeseLektionstabelle(u_.Ordner(), "ENGL");
    ASSERT_EQ(lektionen.size(), 3u);
    EXPECT_EQ(lektionen[2].nr, 3);
    EXPECT_EQ(lektionen[2].name, "Garten");
    EXPECT_EQ(lektionen[2].kasten1, 2);
    EXPECT_EQ(lektionen[0].kasten1, 0);

    const auto kopf = LeseKopf(u_.Ordner() + "ENGL.lvh");
    ASSERT_TRUE(kopf);
    EXPECT_EQ(kopf->Lektionszahl(), 3);
    EXPECT_TRUE(kopf->Lektionsflag(3));
    EXPECT_EQ(kopf->NaechsteNummer(), 7);
    EXPECT_EQ(kopf->ZaehlerA(), 2);
    EXPECT_EQ(kopf->ZaehlerB(), 2);

    const auto karten = LeseVokabeln(u_.Ordner(), "ENGL");
    ASSERT_EQ(karten.size(), 2u);
    EXPECT_EQ(karten[0].nr, 5);
    EXPECT_EQ(karten[1].nr, 6);
    EXPECT_EQ(karten[0].s1, "Garten");
    EXPECT_EQ(karten[0].s2, "garden");
    EXPECT_EQ(karten[0].si1, MachSuchbegriff("Garten", "Deutsch"));
    EXPECT_EQ(karten[0].si2, "GARDEN");
    EXPECT_EQ(karten[0].kar, 1);
    EXPECT_EQ(karten[0].lek, 3);
    EXPECT_EQ(karten[0].art, 2);
    EXPECT_EQ(karten[0].kat, 0);
    EXPECT_EQ(karten[0].wf, (std::array<long long, 5>{11, -12, 13, 0, 0}));
    for (const auto& e : std::filesystem::directory_iterator(u_.Ordner())) {
        EXPECT_EQ(e.path().filename().string().find(".zanit-neu-"), std::string::npos) << e.path();
    }
}

TEST_F(Uebertragung, ADirectionTwoHitStoresTheSourceInS2) {
    const auto [mutter, fremd] = ZerlegeTrefferzeile("house|Haus, Heim|Substantiv", 2);
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    ASSERT_EQ(Uebernimm(s, 1, MachVokabel(mutter, fremd, "Deutsch", "Englisch", 2, {})), TUebernahmeStatus::Gespeichert);
    const auto karten = LeseVokabeln(u_.Ordner(), "ENGL");
    ASSERT_EQ(karten.size(), 1u);
    EXPECT_EQ(karten[0].s1, "Haus, Heim");
    EXPECT_EQ(karten[0].s2, "house");
    EXPECT_EQ(LeseLektionstabelle(u_.Ordner(), "ENGL")[0].kasten1, 1);
}

TEST_F(Uebertragung, AnOutdatedCollectionIsRefusedAndLeftAsItWas) {
    u_.Sammlung("ALT", "Englisch", "Schule", "Alt", {"Eins"}, 0);
    const auto vorher = Dateibestand(u_.Ordner());
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ALT");
    EXPECT_EQ(Uebernimm(s, 1, Karte("a", "b")), TUebernahmeStatus::Veraltet);
    EXPECT_EQ(Dateibestand(u_.Ordner()), vorher);
}

TEST_F(Uebertragung, EntryNumbersStayUniqueWhenTheHeaderLagsBehindTheTable) {
    {
        xbase::Table t;  // an entry stored earlier whose header write was lost
        t.SetFileName(u_.Ordner() + "ENGL.dbf");
        t.Open();
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(9);
        t.Post();
    }
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    ASSERT_EQ(Uebernimm(s, 2, Karte("Tür", "door")), TUebernahmeStatus::Gespeichert);
    EXPECT_EQ(LeseVokabeln(u_.Ordner(), "ENGL").back().nr, 10);
    EXPECT_EQ(LeseKopf(u_.Ordner() + "ENGL.lvh")->NaechsteNummer(), 11);
}

TEST_F(Uebertragung, AHeaderThatCannotBeReplacedIsReportedAndNumbersStayUnique) {
    // The header is read through DATEI and written through its base name; a folder in the way of the
    // written one makes the last step fail after the entry was stored.
    u_.Sammlung("LANGNAME", "Englisch", "Schule", "Lang", {"Eins"}, 1, "BASIS");
    std::filesystem::create_directory(u_.Ordner() + "BASIS.lvh");
    TSammlung s;
    s.Waehlen(u_.Ordner(), "LANGNAME");
    ASSERT_TRUE(s.gueltig);
    EXPECT_EQ(Uebernimm(s, 1, Karte("a", "a")), TUebernahmeStatus::Unvollstaendig);
    EXPECT_EQ(Uebernimm(s, 1, Karte("b", "b")), TUebernahmeStatus::Unvollstaendig);
    TSammlung neu;  // read again from the header that was never updated
    neu.Waehlen(u_.Ordner(), "LANGNAME");
    EXPECT_EQ(Uebernimm(neu, 1, Karte("c", "c")), TUebernahmeStatus::Unvollstaendig);
    std::vector<long long> nummern;
    for (const auto& k : LeseVokabeln(u_.Ordner(), "BASIS")) nummern.push_back(k.nr);
    EXPECT_EQ(nummern, (std::vector<long long>{1, 2, 3}));
}

TEST_F(Uebertragung, AFailedWriteBeforeTheEntryLeavesTheCollectionUnchanged) {
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    s.NeueLektion("Neu");
    const auto vorher = Dateibestand(u_.Ordner());
    for (long long grenze : {0LL, 100LL, 700LL}) {
        SetzeSchreibgrenze(grenze);
        TVokabelziel ziel(s);
        ASSERT_EQ(ziel.Oeffnen(), TUebernahmeStatus::Bereit);
        EXPECT_EQ(ziel.Speichern(3, Karte("x", "y")), TUebernahmeStatus::NichtGespeichert) << grenze;
        EXPECT_NE(ziel.Fehlertext().find("no space left"), std::string::npos) << ziel.Fehlertext();
        SetzeSchreibgrenze(-1);
    }
    EXPECT_EQ(Dateibestand(u_.Ordner()), vorher);
    // The lesson added in memory is written with the next transfer that succeeds.
    ASSERT_EQ(Uebernimm(s, 3, Karte("x", "y")), TUebernahmeStatus::Gespeichert);
    EXPECT_EQ(LeseLektionstabelle(u_.Ordner(), "ENGL").back().kasten1, 1);
    EXPECT_EQ(LeseKopf(u_.Ordner() + "ENGL.lvh")->Lektionszahl(), 3);
}

TEST_F(Uebertragung, ChangesTheTrainerMadeMeanwhileAreKept) {
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    s.NeueLektion("Neu");
    {
        // The trainer counts cards and its counters while the dialog holds the collection.
        auto kopf = *LeseKopf(u_.Ordner() + "ENGL.lvh");
        kopf.SetzeZaehlerA(100);
        kopf.SetzeNaechsteNummer(50);
        SchreibeKopf(u_.Ordner() + "ENGL.lvh", kopf);
        xbase::Table t;
        t.SetFileName(u_.Ordner() + "ENGLL.dbf");
        t.Open();
        t.First();
        t.Edit();
        t.FieldByName("KASTEN1").SetAsInteger(4);
        t.Post();
    }
    ASSERT_EQ(Uebernimm(s, 3, Karte("x", "y")), TUebernahmeStatus::Gespeichert);
    const auto kopf = LeseKopf(u_.Ordner() + "ENGL.lvh");
    EXPECT_EQ(kopf->ZaehlerA(), 101);
    EXPECT_EQ(kopf->NaechsteNummer(), 51);
    EXPECT_EQ(kopf->Lektionszahl(), 3);
    EXPECT_EQ(LeseVokabeln(u_.Ordner(), "ENGL").back().nr, 50);
    const auto lektionen = LeseLektionstabelle(u_.Ordner(), "ENGL");
    ASSERT_EQ(lektionen.size(), 3u);
    EXPECT_EQ(lektionen[0].kasten1, 4);
    EXPECT_EQ(lektionen[2].kasten1, 1);
}

TEST_F(Uebertragung, LessonsTheListDoesNotShowSurviveARewrite) {
    {
        auto kopf = *LeseKopf(u_.Ordner() + "ENGL.lvh");
        kopf.SetzeLektionszahl(1);  // the table holds two lessons, the header counts one
        SchreibeKopf(u_.Ordner() + "ENGL.lvh", kopf);
    }
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    ASSERT_EQ(s.liste.size(), 1u);
    const int neu = s.NeueLektion("Neu");
    ASSERT_EQ(neu, 3);
    ASSERT_EQ(Uebernimm(s, neu, Karte("x", "y")), TUebernahmeStatus::Gespeichert);
    std::vector<long long> nummern;
    for (const auto& l : LeseLektionstabelle(u_.Ordner(), "ENGL")) nummern.push_back(l.nr);
    EXPECT_EQ(nummern, (std::vector<long long>{1, 3, 2}));
}

// The trainer program (a second process using the table engine) holds a table exclusively.
class Ausschluss : public Uebertragung, public ::testing::WithParamInterface<const char*> {};

TEST_P(Ausschluss, AHeldTableRefusesTheTransferAndNothingIsWritten) {
    TSammlung s;
    s.Waehlen(u_.Ordner(), "ENGL");
    s.NeueLektion("Neu");
    const auto vorher = Dateibestand(u_.Ordner());
    auto kind = crashtest::Start({crashtest::BinaryPath("xbase_table_child"), "hold", u_.Ordner() + GetParam(), "exclusive"});
    char zustand = 0;
    ASSERT_TRUE(crashtest::ReadExact(kind.fromChild, &zustand, 1, 20000));
    ASSERT_EQ(zustand, 'o');
    {
        TVokabelziel ziel(s);
        EXPECT_EQ(ziel.Oeffnen(), TUebernahmeStatus::Belegt);
        EXPECT_EQ(ziel.Speichern(3, Karte("x", "y")), TUebernahmeStatus::NichtGespeichert);
    }
    EXPECT_EQ(Dateibestand(u_.Ordner()), vorher);
    EXPECT_EQ(crashtest::Finish(kind), 0);
    EXPECT_EQ(Uebernimm(s, 3, Karte("x", "y")), TUebernahmeStatus::Gespeichert);
}

INSTANTIATE_TEST_SUITE_P(Tabellen, Ausschluss, ::testing::Values("ENGL.dbf", "ENGLL.dbf"));

}  // namespace
