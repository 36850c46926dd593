// The catalogue sources: numbered texts extracted from the code, checked against the PO files, and the
// conversion of a PO file into the table tool's input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/catalogue/TempOrdner.h"

namespace {

namespace fs = std::filesystem;

const std::string Skript = ZANIT_SOURCE_DIR "/i18n/catalogue.py";

struct Ergebnis {
    int status = -1;
    std::string ausgabe;  // stdout and stderr
};

Ergebnis Aufruf(const std::string& argumente) {
    Ergebnis e;
    const std::string befehl = "/usr/bin/python3 '" + Skript + "' " + argumente + " 2>&1";
    FILE* p = popen(befehl.c_str(), "r");
    if (!p) return e;
    char puffer[4096];
    size_t n;
    while ((n = fread(puffer, 1, sizeof puffer, p)) > 0) e.ausgabe.append(puffer, n);
    const int rc = pclose(p);
    e.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return e;
}

std::string Lies(const fs::path& pfad) {
    std::ifstream f(pfad, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class Quellen : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(ordner_ / "src" / "teil"); }

    void Datei(const std::string& name, const std::string& inhalt) {
        fs::create_directories((ordner_ / name).parent_path());
        std::ofstream(ordner_ / name, std::ios::binary) << inhalt;
    }
    std::string Pfad(const std::string& name) const { return "'" + (ordner_ / name).string() + "'"; }

    Ergebnis Pruefe(const std::string& po = "zanit_E.po") {
        return Aufruf("check " + Pfad("src") + " " + Pfad(po));
    }

    TempOrdner temp_;
    const fs::path& ordner_ = temp_.Pfad();
};

// What the extractor sees as one (number, default) pair, and what it leaves alone.
TEST_F(Quellen, ExtractsLiteralPairsFromCallsWrappersAndTables) {
    Datei("src/teil/a.cpp", R"SRC(#include "base/Katalog.h"
// KatalogText(1, "im Kommentar") is not code
/* KatalogText(2, "auch nicht") */
std::string f(int n) {
    auto s = "KatalogText(3, \"in einem Text\")";
    KatalogText(n, "keine feste Nummer");
    KatalogText(10,
                "Zeile eins "
                "und zwei");
    KatalogTextMitArgumenten(11, "Sag \"&#\"\\", a, b);
    KText(12, "Gr\xc3\xbc\xc3\x9f" "e");
    KTextZanit(13, u8"&#-W\u00f6rterbuch");
    return std::string(KatalogEintrag{14, "Verb"}.deutsch) + R"x(KatalogText(4, "roh"))x";
}
std::string KatalogText(int nummer, std::string_view deutscherText);
)SRC");
    const Ergebnis e = Aufruf("extract " + Pfad("src"));
    ASSERT_EQ(e.status, 0) << e.ausgabe;
    EXPECT_EQ(e.ausgabe,
              "10\tZeile eins und zwei\n"
              "11\tSag \"&#\"\\\n"
              "12\tGrüße\n"
              "13\t&#-Wörterbuch\n"
              "14\tVerb\n");

    ASSERT_EQ(Aufruf("extract " + Pfad("src") + " --pot " + Pfad("zanit.pot")).status, 0);
    const std::string pot = Lies(ordner_ / "zanit.pot");
    EXPECT_NE(pot.find("#: src/teil/a.cpp:7\nmsgctxt \"10\"\nmsgid \"Zeile eins und zwei\"\nmsgstr \"\"\n"),
              std::string::npos)
        << pot;
    EXPECT_NE(pot.find("msgid \"Sag \\\"&#\\\"\\\\\""), std::string::npos) << pot;
}

TEST_F(Quellen, OneNumberWithTwoDefaultsOrAComputedDefaultIsAnError) {
    Datei("src/a.cpp", "void f() { KatalogText(500, \"Haus\"); }\n");
    Datei("src/teil/b.cpp", "void g() { KatalogText(500, \"Haus\"); }\nvoid h() { KatalogText(500, \"Maus\"); }\n");
    Ergebnis e = Aufruf("extract " + Pfad("src"));
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.ausgabe.find("src/teil/b.cpp:2: text 500"), std::string::npos) << e.ausgabe;

    fs::remove_all(ordner_ / "src");
    Datei("src/a.cpp", "void f(const char* t) { KatalogText(501, t); }\n");
    e = Aufruf("extract " + Pfad("src"));
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.ausgabe.find("src/a.cpp:1"), std::string::npos) << e.ausgabe;
}

TEST_F(Quellen, PoFileMustHoldEveryNumberOfTheCodeWithItsCurrentDefault) {
    Datei("src/a.cpp", "void f() { KatalogText(700, \"Haus\"); KatalogText(701, \"Baum\"); }\n");
    const std::string kopf = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    Datei("zanit_E.po", kopf + "msgctxt \"700\"\nmsgid \"Haus\"\nmsgstr \"house\"\n\n"
                               "msgctxt \"701\"\nmsgid \"Baum\"\nmsgstr \"tree\"\n\n"
                               "msgctxt \"9\"\nmsgid \"noch nicht im Code\"\nmsgstr \"not yet in the code\"\n");
    Ergebnis e = Pruefe();
    EXPECT_EQ(e.status, 0) << e.ausgabe;

    Datei("zanit_E.po", kopf + "msgctxt \"700\"\nmsgid \"Haus\"\nmsgstr \"house\"\n");
    e = Pruefe();
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.ausgabe.find("text 701 (src/a.cpp:1) is missing"), std::string::npos) << e.ausgabe;

    Datei("zanit_E.po", kopf + "msgctxt \"700\"\nmsgid \"Haus\"\nmsgstr \"house\"\n\n"
                               "#. an older default\nmsgctxt \"701\"\nmsgid \"Baeume\"\nmsgstr \"trees\"\n");
    e = Pruefe();
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.ausgabe.find("text 701 has the German default 'Baeume'"), std::string::npos) << e.ausgabe;

    // An untranslated entry is present; only the completeness check refuses it.
    Datei("zanit_E.po", kopf + "msgctxt \"700\"\nmsgid \"Haus\"\nmsgstr \"\"\n\n"
                               "#, fuzzy\nmsgctxt \"701\"\nmsgid \"Baum\"\nmsgstr \"tree?\"\n");
    EXPECT_EQ(Pruefe().status, 0);
    e = Aufruf("check " + Pfad("src") + " " + Pfad("zanit_E.po") + " --require-translated");
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.ausgabe.find("text 700 is not translated"), std::string::npos) << e.ausgabe;
    EXPECT_NE(e.ausgabe.find("text 701 is not translated"), std::string::npos) << e.ausgabe;
}

TEST_F(Quellen, TranslationsThatCannotBecomeCatalogueRecordsAreRefused) {
    const std::string kopf = "msgid \"\"\nmsgstr \"\"\n\n";
    const std::string lang(255, 'x');
    struct Fall {
        std::string eintrag;
        std::string meldung;
    } faelle[] = {
        {"msgctxt \"1\"\nmsgid \"&# Treffer\"\nmsgstr \"hits\"\n", "placeholders"},
        {"msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"\xe2\x82\xac ok, \xe2\x88\x9e not\"\n", "Windows-1252"},
        {"msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"" + lang + "\"\n", "255 bytes"},
        {"msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"zwei\\nZeilen\"\n", "control character"},
        {"msgctxt \"eins\"\nmsgid \"a\"\nmsgstr \"b\"\n", "msgctxt must be the text number"},
        {"msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"b\"\n\nmsgctxt \"1\"\nmsgid \"c\"\nmsgstr \"d\"\n", "twice"},
        {"msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"b\n", "quoted string"},
        // A dropped or mistyped escape would show as it stands.
        {"msgctxt \"1\"\nmsgid \"Datei &#\"\nmsgstr \"File & #\"\n", "broken escape '& '"},
        {"msgctxt \"1\"\nmsgid \"Zeile&$zwei\"\nmsgstr \"line&\"\n", "broken escape '&'"},
        {"msgctxt \"1\"\nmsgid \"&Datei\"\nmsgstr \"File\"\n", "0 accelerators, the German default 1"},
        {"msgctxt \"1\"\nmsgid \"&Datei\"\nmsgstr \"&Fi&le\"\n", "2 accelerators"},
    };
    for (const Fall& fall : faelle) {
        Datei("x.po", kopf + fall.eintrag);
        const Ergebnis e = Aufruf("tsv " + Pfad("x.po") + " " + Pfad("x.tsv"));
        EXPECT_EQ(e.status, 1) << fall.eintrag;
        EXPECT_NE(e.ausgabe.find(fall.meldung), std::string::npos) << e.ausgabe;
        EXPECT_FALSE(fs::exists(ordner_ / "x.tsv")) << fall.eintrag;
    }
}

TEST_F(Quellen, TsvHoldsTranslatedEntriesEscapedForTheTableTool) {
    Datei("x.po",
          "msgid \"\"\nmsgstr \"\"\n\"Language: en\\n\"\n\n"
          "#: src/a.cpp:1\nmsgctxt \"30\"\nmsgid \"Pfad\"\nmsgstr \"\"\n\"C:\\\\Data\\\\\"\n\n"
          "msgctxt \"20\"\nmsgid \"Leer\"\nmsgstr \" \"\n\n"
          "msgctxt \"10\"\nmsgid \"\\\"&#\\\"-Wörterbuch\"\nmsgstr \"\\\"&#\\\" dictionary \xe2\x80\x93 \xc3\xa9t\xc3\xa9\"\n\n"
          "msgctxt \"40\"\nmsgid \"nicht \xc3\xbc" "bersetzt\"\nmsgstr \"\"\n\n"
          "#, fuzzy\nmsgctxt \"50\"\nmsgid \"unsicher\"\nmsgstr \"unsure\"\n\n"
          "#~ msgctxt \"60\"\n#~ msgid \"alt\"\n#~ msgstr \"old\"\n");
    const Ergebnis e = Aufruf("tsv " + Pfad("x.po") + " " + Pfad("x.tsv"));
    ASSERT_EQ(e.status, 0) << e.ausgabe;
    EXPECT_EQ(Lies(ordner_ / "x.tsv"),
              "NR\tTEXT\n"
              "10\t\"&#\" dictionary \xe2\x80\x93 \xc3\xa9t\xc3\xa9\n"
              "20\t\n"
              "30\tC:\\\\Data\\\\\n");
}

// Two texts of one window with the same accelerator: the second cannot be reached from the keyboard.
TEST_F(Quellen, AcceleratorsSharedWithinOneWindowAreRefused) {
    Datei("src/a.cpp", "KatalogText(98101, \"&Hotkeys verwenden\"); KatalogText(98108, \"&Schriftart\");\n"
                       "KatalogText(8259, \"&W\xc3\xb6rterbuch wechseln\");\n");
    const std::string kopf = "msgid \"\"\nmsgstr \"\"\n\n";
    const std::string eintraege = "msgctxt \"98101\"\nmsgid \"&Hotkeys verwenden\"\nmsgstr \"Use &hotkeys\"\n\n"
                                  "msgctxt \"8259\"\nmsgid \"&W\xc3\xb6rterbuch wechseln\"\nmsgstr \"&Change\"\n\n";
    Datei("zanit_E.po", kopf + eintraege + "msgctxt \"98108\"\nmsgid \"&Schriftart\"\nmsgstr \"&Font\"\n");
    EXPECT_EQ(Pruefe().status, 0) << Pruefe().ausgabe;
    // The same letter in the options dialog clashes; in another window (the file menu) it would not.
    Datei("zanit_E.po", kopf + eintraege + "msgctxt \"98108\"\nmsgid \"&Schriftart\"\nmsgstr \"&Hotfont\"\n");
    const Ergebnis e = Pruefe();
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.ausgabe.find("texts 98101 and 98108 share the accelerator 'h' in the options dialog"),
              std::string::npos)
        << e.ausgabe;
}

// The real tree: every numbered text of src/ has its current German default in every catalogue source, and
// each of the six catalogues translates them all, with valid escapes and distinct accelerators per window.
TEST(QuellenDesProjekts, CataloguesCoverEveryNumberedTextOfTheCode) {
    const std::string src = "'" ZANIT_SOURCE_DIR "/src' ";
    int kataloge = 0;
    for (const auto& eintrag : fs::directory_iterator(ZANIT_SOURCE_DIR "/i18n")) {
        const std::string name = eintrag.path().filename().string();
        if (name.rfind("zanit_", 0) != 0 || eintrag.path().extension() != ".po") continue;
        ++kataloge;
        const Ergebnis f = Aufruf("check " + src + "'" + eintrag.path().string() + "' --require-translated");
        EXPECT_EQ(f.status, 0) << f.ausgabe;
    }
    // English, French, Italian, Spanish, Dutch and Swedish; German is built in.
    EXPECT_EQ(kataloge, 6);
}

}  // namespace
