// The lookup tool and the walk on the sample dictionary the build makes.
#include <elf.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "xbase/Codepage.h"

namespace zanit {
namespace {

using test::Testumgebung;

const std::string kBin = std::string(ZANIT_BINARY_DIR) + "/bin/";
const std::string kBeispiel = kBin + "Data/DEUENGL.DBF";

struct Lauf {
    int status = -1;
    std::vector<std::string> zeilen;
};

// Runs the tool with the arguments (already quoted for the shell); stdout split into lines.
Lauf Starte(const std::string& argumente) {
    Lauf lauf;
    const std::string befehl = kBin + "zanit-lookup " + argumente + " 2>/dev/null";
    FILE* p = popen(befehl.c_str(), "r");
    if (!p) return lauf;
    std::string alles;
    char puffer[4096];
    for (std::size_t n; (n = fread(puffer, 1, sizeof puffer, p)) > 0;) alles.append(puffer, n);
    const int roh = pclose(p);
    lauf.status = WIFEXITED(roh) ? WEXITSTATUS(roh) : -1;
    std::size_t anfang = 0;
    for (std::size_t e; (e = alles.find('\n', anfang)) != std::string::npos; anfang = e + 1) {
        lauf.zeilen.push_back(alles.substr(anfang, e - anfang));
    }
    return lauf;
}

class Beispielwoerterbuch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(kBeispiel)) << "the build makes " << kBeispiel;
        Testumgebung::Setze("Englisch", "Dictionary", kBeispiel);
        Testumgebung::Setze("Englisch", "TextM", "Deutsch");
        Testumgebung::Setze("Englisch", "TextF", "Englisch");
    }
    Testumgebung umgebung;
};

// "[Hh]aus...|translation|part of speech": three columns, a non-empty translation, a known part of speech.
bool IstHausZeile(const std::string& zeile) {
    const std::size_t a = zeile.find('|');
    const std::size_t b = a == std::string::npos ? a : zeile.find('|', a + 1);
    if (b == std::string::npos || b == a + 1) return false;
    if (zeile.compare(1, 3, "aus") != 0 || (zeile[0] != 'H' && zeile[0] != 'h')) return false;
    const std::string wortart = zeile.substr(b + 1);
    return wortart == "Substantiv" || wortart == "Verb" || wortart == "Adjektiv" || wortart == "Adverb";
}

TEST_F(Beispielwoerterbuch, LookupToolPrintsTheHausLinesAndTheCount) {
    const Lauf lauf = Starte("Haus");
    ASSERT_EQ(lauf.status, 0);
    ASSERT_GE(lauf.zeilen.size(), 3u);
    EXPECT_EQ(lauf.zeilen[0], "Haus|house, home, building|Substantiv");
    EXPECT_EQ(lauf.zeilen[1], "Hausaltar|house altar, domestic shrine|Substantiv");
    const std::string zahl = "200 Treffer in " + std::to_string(lauf.zeilen.size() - 1) + " Zeilen";
    EXPECT_EQ(lauf.zeilen.back(), zahl);
    // Every line has three columns and a known part of speech.
    for (std::size_t i = 0; i + 1 < lauf.zeilen.size(); ++i) {
        EXPECT_TRUE(IstHausZeile(lauf.zeilen[i])) << lauf.zeilen[i];
    }

    const Lauf inkrementell = Starte("--incremental Haus");
    ASSERT_EQ(inkrementell.status, 0);
    EXPECT_EQ(inkrementell.zeilen.back().rfind("100 Treffer in ", 0), 0u) << inkrementell.zeilen.back();
}

TEST_F(Beispielwoerterbuch, LookupToolOptions) {
    Lauf lauf = Starte("--filter 1 --corrected Hausx");
    ASSERT_EQ(lauf.status, 0);
    EXPECT_EQ(lauf.zeilen, (std::vector<std::string>{"hausen|to live, to dwell, to wreak havoc|Verb",
                                                     "haushalten|to economize, to budget, to keep house|Verb",
                                                     "hausieren|to peddle, to hawk|Verb", "8 Treffer in 3 Zeilen",
                                                     "Suchfeld: Haus"}));

    lauf = Starte("--direction 2 houseboat");
    ASSERT_EQ(lauf.status, 0);
    EXPECT_EQ(lauf.zeilen, (std::vector<std::string>{"houseboat|Hausboot|Substantiv", "1 Treffer in 1 Zeile"}));

    lauf = Starte("--reverse Haustür");
    ASSERT_EQ(lauf.status, 0);
    ASSERT_EQ(lauf.zeilen.size(), 2u);
    EXPECT_EQ(lauf.zeilen[0], "front door|Hauseingang, Haustür");
    EXPECT_EQ(lauf.zeilen[1], "street door|Haustür");

    lauf = Starte("--key 'el niño' --language Spanisch");
    EXPECT_EQ(lauf.status, 0);
    EXPECT_EQ(lauf.zeilen, std::vector<std::string>{"NINZZO"});

    EXPECT_EQ(Starte("Qqqq").status, 1) << "nothing found even after shortening";
    EXPECT_EQ(Starte("--dictionary Klingonisch Haus").status, 2);
    EXPECT_EQ(Starte("--filter 12 Haus").status, 2);
    EXPECT_EQ(Starte("").status, 2);
}

TEST_F(Beispielwoerterbuch, LookupToolSpeaksTheChosenDialogLanguage) {
    ASSERT_TRUE(std::filesystem::exists(kBin + "Data/zanit_E.glc")) << "the build makes the English catalogue";
    const Lauf lauf = Starte("--language E Hausboot");
    ASSERT_EQ(lauf.status, 0);
    EXPECT_EQ(lauf.zeilen, (std::vector<std::string>{"Hausboot|houseboat|Noun", "1 hits in 1 line"}));
    EXPECT_EQ(Starte("--language Englisch Haus").status, 2) << "a dialog language is one letter";
}

// Where the build links the tool fully static, a lookup starts without the dynamic loader: the executable
// names no program interpreter. It stays position-independent, so that its addresses are still randomised.
TEST(LookupWerkzeug, StartsWithoutTheDynamicLoaderWhereLinkedStatic) {
    if (!ZANIT_LOOKUP_STATIC) GTEST_SKIP() << "this build links the lookup tool against shared libraries";
    std::ifstream in(kBin + "zanit-lookup", std::ios::binary);
    Elf64_Ehdr kopf{};
    ASSERT_TRUE(in.read(reinterpret_cast<char*>(&kopf), sizeof kopf));
    ASSERT_EQ(std::memcmp(kopf.e_ident, ELFMAG, SELFMAG), 0);
    ASSERT_EQ(kopf.e_ident[EI_CLASS], ELFCLASS64);
    EXPECT_EQ(kopf.e_type, ET_DYN);
    ASSERT_GT(kopf.e_phnum, 0);
    for (int i = 0; i < kopf.e_phnum; ++i) {
        Elf64_Phdr kennung{};
        in.seekg(static_cast<std::streamoff>(kopf.e_phoff + std::uint64_t(i) * kopf.e_phentsize));
        ASSERT_TRUE(in.read(reinterpret_cast<char*>(&kennung), sizeof kennung));
        EXPECT_NE(kennung.p_type, static_cast<Elf64_Word>(PT_INTERP)) << "program header " << i;
    }
}

TEST_F(Beispielwoerterbuch, LookupToolReportsAMissingDictionaryFile) {
    Testumgebung::SetzeEinstellung("CD", umgebung.Pfad("cd") + "/");
    Testumgebung::Setze("Englisch", "Dictionary", umgebung.Pfad("cd") + "/DEUENGL.DBF");
    const Lauf lauf = Starte("Haus");
    EXPECT_EQ(lauf.status, 2);
    EXPECT_TRUE(lauf.zeilen.empty());
}

TEST_F(Beispielwoerterbuch, LatinSampleDropsGenitivesUnlessLatGenIsOn) {
    Testumgebung::Setze("Latein", "Dictionary", kBin + "Data/LATEIN.DBF");
    Testumgebung::Setze("Latein", "TextF", "Latein");
    Lauf lauf = Starte("--dictionary Latein Rose");
    ASSERT_EQ(lauf.status, 0);
    EXPECT_EQ(lauf.zeilen.at(0), "Rose|rosa (Rose)|Substantiv");
    ASSERT_TRUE(RegTextSchreiben(RegRoot::LocalMachine, std::string(kProduktSchluessel), "Dictionary", "1", "LatGen"));
    lauf = Starte("--dictionary Latein Rose");
    EXPECT_EQ(lauf.zeilen.at(0), "Rose|rosa/ae f (Rose)|Substantiv");
}

TEST_F(Beispielwoerterbuch, FullAndIncrementalWalksStopAtTheirLimits) {
    TDatendialog daten;
    TWoerterbuecher buecher(daten);
    buecher.LeseWoerterbuchliste("Englisch");
    ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
    TSuche suche(daten, buecher);
    Trefferliste liste;
    suche.FuelleTrefferliste(liste, "Haus", true, false, 1);
    EXPECT_EQ(liste.Trefferzahl, kGrenzeVoll);
    EXPECT_EQ(static_cast<std::size_t>(liste.Zeilenzahl), liste.Anzahl());
    suche.FuelleTrefferliste(liste, "HAUS", true, true, 1);
    EXPECT_EQ(liste.Trefferzahl, kGrenzeInkrementell);
    EXPECT_EQ(static_cast<std::size_t>(liste.Zeilenzahl), liste.Anzahl()) << "no line of the longer walk survives";
    // Lines follow the key order of the source word.
    for (std::size_t i = 1; i < liste.Anzahl(); ++i) {
        const std::string a = Suchschluessel(Spalte(liste.Text(i - 1), 0), "Deutsch");
        const std::string b = Suchschluessel(Spalte(liste.Text(i), 0), "Deutsch");
        EXPECT_LE(a, b) << liste.Text(i - 1) << " / " << liste.Text(i);
    }
}

// The open dictionary keeps the records it has read. Walks over kept records, over a budget so small that
// it is dropped every few records, and over nothing kept list the same lines, in both directions, full and
// incremental, with and without square brackets.
TEST_F(Beispielwoerterbuch, KeptRecordsListTheSameLinesAsFreshReads) {
    TDatendialog daten;
    TWoerterbuecher buecher(daten);
    buecher.LeseWoerterbuchliste("Englisch");
    ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
    TSuche suche(daten, buecher);
    auto alleLaeufe = [&] {
        std::vector<std::string> out;
        Trefferliste liste;
        for (const char* text : {"H", "Ha", "Haus", "hausen", "Xq", "A", "Schl", "house", "ho", "to"}) {
            for (int richtung : {1, 2}) {
                for (bool inkrementell : {false, true}) {
                    for (bool klammern : {false, true}) {
                        suche.Klammerentfernung = klammern;
                        suche.FuelleTrefferliste(liste, text, true, inkrementell, richtung);
                        out.push_back(std::string(text) + " " + std::to_string(liste.Trefferzahl) + "/" +
                                      std::to_string(liste.Zeilenzahl));
                        for (std::size_t i = 0; i < liste.Anzahl(); ++i) out.push_back(liste.Text(i));
                    }
                }
            }
        }
        return out;
    };
    daten.BuchDatei.SetRecordCache(0);
    const std::vector<std::string> frisch = alleLaeufe();
    ASSERT_GT(frisch.size(), 1000u);
    daten.BuchDatei.SetRecordCache(600);
    EXPECT_EQ(alleLaeufe(), frisch);
    EXPECT_EQ(alleLaeufe(), frisch);
    daten.BuchDatei.SetRecordCache(kWoerterbuchZwischenspeicher);
    EXPECT_EQ(alleLaeufe(), frisch);
    EXPECT_EQ(alleLaeufe(), frisch);  // everything read from kept records now
}

}  // namespace
}  // namespace zanit
