#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "xbase/Codepage.h"

namespace zanit {
namespace {

using test::Testumgebung;

std::string C(std::string_view utf8) { return xbase::Utf8ToCp1252(utf8); }

const std::vector<Woerterbucheintrag> kPaare = {
    {"Haus", "house", 2}, {"Hund", "dog", 2}, {"laufen", "run", 1}};

class Woerterbuecher : public ::testing::Test {
protected:
    Testumgebung umgebung;
    TDatendialog daten;
    TWoerterbuecher buecher{daten};
};

TEST(Listenfeld, CutsFieldsAtSeparators) {
    EXPECT_EQ(Listenfeld("Englisch|Deutsch|Englisch", 0), "Englisch");
    EXPECT_EQ(Listenfeld("Englisch|Deutsch|Englisch", 2), "Englisch");
    EXPECT_EQ(Listenfeld("a||c", 1), "");
    EXPECT_EQ(Listenfeld("a|b", 2), "");
    EXPECT_EQ(Listenfeld("", 0), "");
}

TEST(Medium, PathBelowRootOrSameDriveLetter) {
    EXPECT_TRUE(LiegtAufMedium("/media/cd/Data/e.dbf", "/media/cd/"));
    EXPECT_TRUE(LiegtAufMedium("/media/cd\\Data\\e.dbf", "/media/cd"));
    EXPECT_FALSE(LiegtAufMedium("/media/cdrom/e.dbf", "/media/cd"));
    EXPECT_FALSE(LiegtAufMedium("/media/cd", "/media/cd/"));
    EXPECT_TRUE(LiegtAufMedium("d:\\WB\\e.dbf", "D:\\"));
    EXPECT_FALSE(LiegtAufMedium("C:\\WB\\e.dbf", "D:\\"));
    EXPECT_FALSE(LiegtAufMedium("/media/cd/e.dbf", ""));
}

// Every character of TextF is compared with the first character of TextM, not with the one at its position.
TEST(Reiter, AcceleratorOnFirstCharacterOtherThanTheFirstOfTextM) {
    EXPECT_EQ(ZweiterReitertext("Deutsch", C("Dänisch")), C("D&änisch"));
    EXPECT_EQ(ZweiterReitertext("Deutsch", "Englisch"), "&Englisch");
    EXPECT_EQ(ZweiterReitertext("Deutsch", "Deutsch (Schweiz)"), "D&eutsch (Schweiz)");
    EXPECT_EQ(ZweiterReitertext("Deutsch", "Deutschland"), "D&eutschland");
    EXPECT_EQ(ZweiterReitertext("Deutsch", "Deutsch"), "D&eutsch");
    EXPECT_EQ(ZweiterReitertext("Deutsch", "DD"), "DD");
    EXPECT_EQ(ZweiterReitertext("", "Englisch"), "&Englisch");
}

TEST(Datendialog, RegistersTheDictionaryAndCatalogueTags) {
    TDatendialog daten;
    const auto tags = xbase::RegisteredTagDefinitions();
    for (auto [tag, feld] : {std::pair{"IWI1", "WI1"}, {"IWI2", "WI2"}, {"INR", "NR"}, {"IDATEI", "DATEI"}}) {
        EXPECT_TRUE(std::any_of(tags.begin(), tags.end(),
                                [&](const xbase::TagDef& d) { return d.name == tag && d.field == feld; }))
            << tag;
    }
}

TEST_F(Woerterbuecher, ClassicListSkipsUnusableSectionsAndFindsTheSection) {
    umgebung.Woerterbuch("Englisch", "e.dbf", "Deutsch", "Englisch", kPaare);
    umgebung.Woerterbuch("DfA", "dfa.dbf", "Deutsch", "Englisch", kPaare);
    Testumgebung::Setze("Leer", "TextF", "Leer");  // no "Dictionary" value
    Testumgebung::Setze("Fehlt", "Dictionary", umgebung.Pfad("fehlt.dbf"));
    const std::string ohne = umgebung.Pfad("o.dbf");
    SchreibeWoerterbuch(ohne, "Deutsch", "Polnisch", kPaare);
    Testumgebung::Setze("Polnisch", "Dictionary", ohne);  // no TextM, no TextF

    EXPECT_EQ(buecher.LeseWoerterbuchliste("Polnisch"), 1);
    EXPECT_EQ(buecher.Liste, (std::vector<std::string>{"Englisch|Deutsch|Englisch", "Polnisch|Deutsch|Polnisch"}));
    EXPECT_EQ(buecher.LeseWoerterbuchliste("englisch"), -1) << "the classic list matches the section exactly";
    EXPECT_EQ(buecher.LeseWoerterbuchliste("Englisch"), 0);
}

TEST_F(Woerterbuecher, DictionaryOnTheSoundMediumIsListedWithoutItsFileOnlyInTheClassicLayout) {
    const std::string cd = umgebung.Pfad("cdrom");
    Testumgebung::Setze("Englisch", "Dictionary", cd + "/Data/englisch.dbf");
    buecher.CDPfad = cd + "/";
    EXPECT_EQ(buecher.LeseWoerterbuchliste(""), -1);
    EXPECT_EQ(buecher.Liste.size(), 1u);
    EXPECT_EQ(buecher.LeseSprachenliste("", 'D'), 1);
    EXPECT_TRUE(buecher.Liste.empty());
    buecher.CDPfad.clear();
    buecher.LeseWoerterbuchliste("");
    EXPECT_TRUE(buecher.Liste.empty());
}

TEST_F(Woerterbuecher, LanguageListFollowsTheFixedGermanSectionsWithCodes) {
    umgebung.Woerterbuch("Latein", "latein.dbf", "Deutsch", "Latein", kPaare);
    const std::string e = umgebung.Pfad("e.dbf");
    SchreibeWoerterbuch(e, "Deutsch", "Englisch", kPaare);
    Testumgebung::Setze("Englisch", "Dictionary", e);  // TextM defaults to the mother tongue
    Testumgebung::Setze("Franzoesisch", "Dictionary", umgebung.Pfad("fehlt.dbf"));
    umgebung.Woerterbuch("Schwedisch", "s.dbf", "Deutsch", "Schwedisch", kPaare);  // not a fixed section

    EXPECT_EQ(buecher.LeseSprachenliste("LATEIN", 'D'), 2);
    EXPECT_EQ(buecher.Liste, (std::vector<std::string>{"Englisch|Deutsch|Englisch", "Latein|Deutsch|Latein"}));
    EXPECT_EQ(buecher.Sprachcodes, (std::vector<int>{2, 6}));
    EXPECT_EQ(buecher.LeseSprachenliste("Russisch", 'X'), 1) << "unknown letters count as German";
}

// Under another dialog language the sections keep their stored names; a section registered under the
// catalogue's translated name is found too, and the mother tongue has no tab.
TEST_F(Woerterbuecher, LanguageListUnderAnotherDialogLanguageFindsTheStoredSections) {
    Katalog().SetzeProgrammordner(OrdnerDerAnwendung());
    KatalogOeffnen('E');
    ASSERT_TRUE(Katalog().Offen()) << "the English catalogue must be built into Data/ next to the tests";
    umgebung.Woerterbuch("Englisch", "e.dbf", "Deutsch", "Englisch", kPaare);
    umgebung.Woerterbuch("Latein", "l.dbf", "Deutsch", "Latein", kPaare);
    const std::string f = umgebung.Pfad("f.dbf");
    SchreibeWoerterbuch(f, "English", "French", kPaare);
    Testumgebung::Setze("French", "Dictionary", f);

    EXPECT_EQ(buecher.LeseSprachenliste("latein", 'E'), 2);
    EXPECT_EQ(buecher.Liste, (std::vector<std::string>{"French|English|French", "Latein|Deutsch|Latein"}));
    EXPECT_EQ(buecher.Sprachcodes, (std::vector<int>{3, 6}));
    KatalogOeffnen('D');
}

TEST_F(Woerterbuecher, OpeningSetsNamesIndexAndTable) {
    umgebung.Woerterbuch("Englisch", "e.dbf", "Deutsch", "Englisch", kPaare);
    buecher.LeseWoerterbuchliste("");
    ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
    EXPECT_TRUE(buecher.Offen);
    EXPECT_TRUE(daten.BuchDatei.Active());
    EXPECT_EQ(buecher.Index, 0);
    EXPECT_EQ(buecher.TextF, "Englisch");
    EXPECT_EQ(buecher.Abschnitt(), "Englisch");
    EXPECT_EQ(daten.BuchDatei.RecCount(), 3u);

    EXPECT_FALSE(buecher.OeffneWoerterbuch(1));
    EXPECT_FALSE(buecher.Offen);
    EXPECT_EQ(buecher.Index, -1);
    EXPECT_EQ(buecher.Abschnitt(), "");
}

TEST_F(Woerterbuecher, WrongPasswordFailsTheOpening) {
    const std::string pfad = umgebung.Pfad("fremd.dbf");
    WoerterbuchOptionen optionen;
    optionen.passwort = "anderes";
    SchreibeWoerterbuch(pfad, "Deutsch", "Englisch", kPaare, optionen);
    Testumgebung::Setze("Englisch", "Dictionary", pfad);
    buecher.LeseWoerterbuchliste("");
    EXPECT_FALSE(buecher.OeffneWoerterbuch(0));
    EXPECT_FALSE(buecher.Offen);
    EXPECT_FALSE(daten.BuchDatei.Active());
    EXPECT_EQ(buecher.Index, -1);
}

TEST_F(Woerterbuecher, MissingFileOpensWithoutTableAndClosesThePreviousDictionary) {
    umgebung.Woerterbuch("Englisch", "e.dbf", "Deutsch", "Englisch", kPaare);
    const std::string weg = umgebung.Woerterbuch("Franzoesisch", "f.dbf", "Deutsch", C("Französisch"), kPaare);
    buecher.LeseWoerterbuchliste("");
    ASSERT_EQ(buecher.Liste.size(), 2u);
    ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
    std::filesystem::remove(weg);

    EXPECT_TRUE(buecher.OeffneWoerterbuch(1)) << "a medium out of its drive is no failure";
    EXPECT_FALSE(buecher.Offen);
    EXPECT_FALSE(daten.BuchDatei.Active()) << "the other dictionary's table must not stay open";
    EXPECT_EQ(buecher.Index, -1);
    EXPECT_EQ(buecher.TextF, C("Französisch"));
}

TEST_F(Woerterbuecher, LatinFlagFollowsTheFileName) {
    umgebung.Woerterbuch("Latein", "Latein.dbf", "Deutsch", "Latein", kPaare);
    umgebung.Woerterbuch("Englisch", "englisch.dbf", "Deutsch", "Englisch", kPaare);
    buecher.LeseWoerterbuchliste("");
    const auto pos = [&](std::string_view s) {
        return static_cast<int>(std::find_if(buecher.Liste.begin(), buecher.Liste.end(),
                                             [&](const std::string& e) { return Listenfeld(e, 0) == s; }) -
                                buecher.Liste.begin());
    };
    ASSERT_TRUE(buecher.OeffneWoerterbuch(pos("Latein")));
    EXPECT_TRUE(IstLateinischesWoerterbuch());
    EXPECT_EQ(BereinigeEintrag("rosa/ae f (Rose)", false), "rosa (Rose)");
    ASSERT_TRUE(buecher.OeffneWoerterbuch(pos("Englisch")));
    EXPECT_FALSE(IstLateinischesWoerterbuch());
}

class Tonsuche : public TonmediumSuche {
public:
    void SucheSprachausgabe(const std::string& abschnitt, bool mehrsprachig) override {
        aufrufe.push_back(abschnitt + (mehrsprachig ? "+" : ""));
        flagsBeimAufruf = daten->TonFremdsprache || daten->TonMuttersprache;
        daten->TonFremdsprache = true;
    }
    TDatendialog* daten = nullptr;
    std::vector<std::string> aufrufe;
    bool flagsBeimAufruf = true;
};

TEST_F(Woerterbuecher, SoundSearchRunsOnlyWithAnAudioDeviceAfterTheFlagsWereCleared) {
    umgebung.Woerterbuch("Englisch", "e.dbf", "Deutsch", "Englisch", kPaare);
    Tonsuche suche;
    suche.daten = &daten;
    daten.SetzeTonmediumSuche(&suche);
    buecher.LeseWoerterbuchliste("");

    Startzustand().tonGeraet = false;
    daten.TonFremdsprache = true;
    ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
    EXPECT_TRUE(suche.aufrufe.empty());
    EXPECT_FALSE(daten.TonFremdsprache);

    Startzustand().tonGeraet = true;
    daten.TonMuttersprache = true;
    bool gewechselt = false;
    buecher.BeiSprachwechsel = [&] { gewechselt = true; };
    buecher.Mehrsprachig = true;
    ASSERT_TRUE(buecher.OeffneSprache(0));
    Startzustand().tonGeraet = false;
    EXPECT_TRUE(gewechselt);
    EXPECT_EQ(suche.aufrufe, std::vector<std::string>{"Englisch+"});
    EXPECT_FALSE(suche.flagsBeimAufruf);
    EXPECT_TRUE(daten.TonFremdsprache);
    daten.SetzeTonmediumSuche(nullptr);
}

}  // namespace
}  // namespace zanit
