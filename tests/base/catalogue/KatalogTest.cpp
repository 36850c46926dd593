// Opening the catalogue of a dialog language, lookups in it and the refresh of the name tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/Katalog.h"
#include "base/catalogue/TempOrdner.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"

namespace zanit {
namespace {

namespace fs = std::filesystem;

class KatalogDatei : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(ordner_ / "Data");
        katalog_.SetzeProgrammordner(ordner_.string());
        handle_ = katalog_.BeiKatalogwechsel([this] { ++meldungen_; });
    }

    fs::path Datei(char buchstabe) const {
        return ordner_ / "Data" / (std::string("zanit_") + buchstabe + ".glc");
    }

    // A catalogue table with the given records (texts in Windows-1252).
    void Schreibe(char buchstabe, const std::vector<std::pair<int, std::string>>& texte,
                  const std::string& passwort = KatalogPasswort, bool mitTag = true) {
        const std::string pfad = Datei(buchstabe).string();
        std::vector<xbase::TagDef> tags;
        if (mitTag) tags.push_back({"INR", "NR"});
        xbase::Table::Create(pfad, {{"NR", 'N', 11}, {"TEXT", 'C', 254}}, tags, passwort);
        xbase::Table tabelle;
        tabelle.SetFileName(pfad);
        tabelle.SetExclusive(true);
        tabelle.SetPassword(passwort);
        tabelle.Open();
        for (const auto& [nummer, text] : texte) {
            tabelle.AppendBlank();
            tabelle.FieldByName("NR").SetAsInteger(nummer);
            tabelle.FieldByName("TEXT").SetAsString(text);
            tabelle.Post();
        }
        tabelle.Close();
    }

    TempOrdner temp_;
    const fs::path& ordner_ = temp_.Pfad();
    TKatalog katalog_;
    int handle_ = 0;
    int meldungen_ = 0;
};

TEST_F(KatalogDatei, LooksUpTextsByNumberAndFallsBackPerText) {
    Schreibe('E', {{98001, "&# Dictionary"}, {1102, "Noun"}, {5, "  padded  "}, {6, ""},
                   {30052, "&# hits in &# &#"}, {7, "caf\xE9"}});
    katalog_.KatalogOeffnen('E');
    ASSERT_TRUE(katalog_.Offen());
    EXPECT_EQ(katalog_.Buchstabe(), 'E');
    EXPECT_EQ(katalog_.Knopfsprache(), 1);
    EXPECT_EQ(katalog_.Text(98001, "&#-Wörterbuch", "zanit"), "zanit Dictionary");
    EXPECT_EQ(katalog_.Text(30052, "&# Treffer in &# &#", "3", "2", "lines"), "3 hits in 2 lines");
    // Texts from the table are Windows-1252 already and come back unchanged.
    EXPECT_EQ(katalog_.Text(7, "Café"), "caf\xE9");
    EXPECT_EQ(katalog_.Text(5, "x"), "padded");
    // An empty record is a text of its own, not a missing one.
    EXPECT_EQ(katalog_.Text(6, "Vorgabe"), "");
    // Numbers the table lacks, below, between and above its numbers, give the default.
    EXPECT_EQ(katalog_.Text(1, "eins"), "eins");
    EXPECT_EQ(katalog_.Text(1103, "Adjektiv"), "Adjektiv");
    EXPECT_EQ(katalog_.Text(99999, "Ende"), "Ende");
    EXPECT_EQ(katalog_.Wortartname(2), "Noun");
    EXPECT_EQ(katalog_.Wortartname(3), "Adjektiv");
}

TEST_F(KatalogDatei, GermanNeedsNoFileAndUnusableFilesLeaveGermanInForce) {
    Schreibe('D', {{1102, "falsch"}});  // a file for "D" is never read
    for (char buchstabe : {'D', '\0', ' ', 'F'}) {
        katalog_.KatalogOeffnen(buchstabe);
        EXPECT_FALSE(katalog_.Offen()) << int(buchstabe);
        EXPECT_EQ(katalog_.Wortartname(2), "Substantiv");
        EXPECT_EQ(katalog_.Knopfsprache(), 0);
    }

    Schreibe('S', {{1102, "Sustantivo"}}, "falsches");
    katalog_.KatalogOeffnen('S');
    EXPECT_FALSE(katalog_.Offen()) << "wrong password";

    Schreibe('I', {{1102, "Sostantivo"}}, KatalogPasswort, false);
    katalog_.KatalogOeffnen('I');
    EXPECT_FALSE(katalog_.Offen()) << "no tag INR";
    EXPECT_EQ(katalog_.Knopfsprache(), 0);

    std::ofstream(Datei('N'), std::ios::binary) << "kein Tabellenformat";
    katalog_.KatalogOeffnen('N');
    EXPECT_FALSE(katalog_.Offen()) << "not a table";
    EXPECT_EQ(katalog_.Text(1102, "Substantiv"), "Substantiv");

    // A letter that is a path separator never reaches a file beside or below Data/.
    fs::create_directories(ordner_ / "Data" / "zanit_");
    Schreibe('/', {{1102, "Pfad"}});
    ASSERT_TRUE(fs::exists(ordner_ / "Data" / "zanit_" / ".glc"));
    katalog_.KatalogOeffnen('/');
    EXPECT_FALSE(katalog_.Offen()) << "path separator as letter";

    fs::create_directories(Datei('V'));
    katalog_.KatalogOeffnen('V');
    EXPECT_FALSE(katalog_.Offen()) << "a folder of that name";
}

TEST_F(KatalogDatei, ChangeRefillsNamesAndNotifiesReopeningTheSameDoesNot) {
    Schreibe('E', {{1102, "Noun"}, {1302, "English"}});
    Schreibe('F', {{1102, "Nom"}});

    katalog_.KatalogOeffnen('E');
    EXPECT_EQ(meldungen_, 1);
    EXPECT_EQ(katalog_.Wortartname(2), "Noun");
    EXPECT_EQ(katalog_.Sprachcodename(2), "English");

    katalog_.KatalogOeffnen('E');
    EXPECT_EQ(meldungen_, 1) << "same catalogue again";

    katalog_.KatalogOeffnen('F');
    EXPECT_EQ(meldungen_, 2);
    EXPECT_EQ(katalog_.Wortartname(2), "Nom");
    EXPECT_EQ(katalog_.Knopfsprache(), 2);
    EXPECT_EQ(katalog_.Sprachcodename(2), "Englisch");

    // Back to German at once, without a restart.
    katalog_.KatalogOeffnen('D');
    EXPECT_EQ(meldungen_, 3);
    EXPECT_EQ(katalog_.Wortartname(2), "Substantiv");
    EXPECT_EQ(katalog_.Knopfsprache(), 0);

    // A failed opening that leaves German is a change as well.
    katalog_.KatalogOeffnen('E');
    fs::remove(Datei('E'));
    katalog_.KatalogOeffnen('E');
    EXPECT_EQ(meldungen_, 5);
    EXPECT_EQ(katalog_.Wortartname(2), "Substantiv");

    katalog_.EntferneBeobachter(handle_);
    katalog_.KatalogOeffnen('F');
    EXPECT_EQ(meldungen_, 5);
    EXPECT_EQ(katalog_.Wortartname(2), "Nom");
}

TEST_F(KatalogDatei, ObserversMayChangeTheObserverListWhileNotified) {
    Schreibe('E', {{1102, "Noun"}});
    int spaet = 0;
    int selbst = 0;
    int eigenes = 0;
    eigenes = katalog_.BeiKatalogwechsel([&] {
        ++selbst;
        katalog_.EntferneBeobachter(eigenes);
        katalog_.BeiKatalogwechsel([&] { ++spaet; });
        EXPECT_EQ(katalog_.Wortartname(2), "Noun") << "names are refilled before observers run";
    });
    katalog_.KatalogOeffnen('E');
    katalog_.KatalogOeffnen('D');
    EXPECT_EQ(selbst, 1);
    EXPECT_EQ(spaet, 1);
}

// The catalogue the build makes from i18n/zanit_E.po, found where the program finds it: Data/ beside
// the running executable.
TEST(KatalogDesBuilds, EnglishCatalogueOpensFromTheProgramFolder) {
    TKatalog katalog;
    ASSERT_TRUE(fs::exists(ZANIT_BINARY_DIR "/bin/Data/zanit_E.glc")) << "the build makes this file";
    EXPECT_EQ(fs::canonical(katalog.Programmordner()), fs::canonical(ZANIT_BINARY_DIR "/bin"));
    katalog.KatalogOeffnen('E');
    ASSERT_TRUE(katalog.Offen());
    EXPECT_EQ(katalog.Knopfsprache(), 1);
    EXPECT_EQ(katalog.Text(98050, "Es ist kein Wörterbuch installiert!"), "No dictionary is installed!");
    EXPECT_EQ(katalog.Text(98001, "&#-Wörterbuch", "zanit"), "zanit Dictionary");
    EXPECT_EQ(katalog.Text(12529, "x"),
              "Please select another collection into which the selected vocabulary item(s) should be moved, "
              "or close the move dialog with \"Cancel\".");
    EXPECT_EQ(katalog.Wortartname(11), "Idiom");
    EXPECT_EQ(katalog.Sprachcodename(1), "German");
    EXPECT_EQ(katalog.Text(11, "Englisch"), "") << "a blank translation is an empty text";
    EXPECT_EQ(katalog.Text(14023, "x"), "\xA9 2002-2009");

    // Opened before anyone asked for the folder: the executable's folder all the same.
    TKatalog ungefragt;
    ungefragt.KatalogOeffnen('E');
    EXPECT_TRUE(ungefragt.Offen());
}

// The five further catalogues of the build: each opens with its button-box language, translates, keeps the
// Windows-1252 letters of its language and fills its placeholders.
TEST(KatalogDesBuilds, FiveFurtherCataloguesOpenAndTranslate) {
    struct Fall {
        char buchstabe;
        int knopfsprache;
        std::string keinWoerterbuch;  // 98050, Windows-1252
        std::string treffer;          // 30052 with 3, 2 and "Zeilen"
        std::string muttersprache;    // the blank entry of the own language among texts 10..15
        int eigeneNummer;
    } faelle[] = {
        {'F', 2, "Aucun dictionnaire n'est install\xE9 !", "3 r\xE9sultats en 2 lignes", "Franzoesisch", 12},
        {'I', 3, "Nessun dizionario installato!", "3 risultati in 2 righe", "Italienisch", 13},
        {'S', 4, "\xA1No hay ning\xFAn diccionario instalado!", "3 resultados en 2 l\xEDneas", "Spanisch", 14},
        {'N', 5, "Er is geen woordenboek ge\xEF" "nstalleerd!", "3 treffers in 2 regels", "", 0},
        {'V', 6, "Ingen ordbok \xE4r installerad!", "3 tr\xE4" "ffar p\xE5 2 rader", "", 0},
    };
    for (const Fall& fall : faelle) {
        TKatalog katalog;
        katalog.KatalogOeffnen(fall.buchstabe);
        ASSERT_TRUE(katalog.Offen()) << fall.buchstabe;
        EXPECT_EQ(katalog.Knopfsprache(), fall.knopfsprache);
        EXPECT_EQ(katalog.Text(98050, "Es ist kein W\xF6rterbuch installiert!"), fall.keinWoerterbuch);
        const std::string zeilen = katalog.Text(30051, "Zeilen");
        EXPECT_EQ(katalog.Text(30052, "&# Treffer in &# &#", "3", "2", zeilen), fall.treffer);
        if (fall.eigeneNummer) {
            EXPECT_EQ(katalog.Text(fall.eigeneNummer, fall.muttersprache), "");
        }
    }
}

}  // namespace
}  // namespace zanit
