// The options dialog's rules without a display: the offered dialog languages and the height they give, the
// letter of a marked entry, the confirmed values in the settings, the shortcuts' display.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "desktop/Tastenfolge.h"
#include "options/Optionen.h"

using namespace zanit;
namespace fs = std::filesystem;

namespace {

class Programmordner : public ::testing::Test {
protected:
    void SetUp() override {
        ordner_ = fs::temp_directory_path() / ("zanit-optionen-" + std::to_string(::getpid()));
        fs::remove_all(ordner_);
        fs::create_directories(ordner_ / "Data");
    }
    void TearDown() override { fs::remove_all(ordner_); }
    void Katalog(char buchstabe) { std::ofstream(ordner_ / "Data" / (std::string("zanit_") + buchstabe + ".glc")) << "x"; }
    std::string Ordner() const { return ordner_.string(); }
    fs::path ordner_;
};

std::string Namen(const Sprachliste& l) {
    std::string s;
    for (const Sprachangebot& e : l.eintraege) s += std::string(1, e.buchstabe) + ":" + e.name + " ";
    return s;
}

}  // namespace

TEST_F(Programmordner, OnlyGermanHidesTheLanguageGroupAndGivesTheLowDialog) {
    const Sprachliste l = BaueSprachliste(Ordner(), false, 'D');
    EXPECT_EQ(Namen(l), "D: D:Deutsch ");
    EXPECT_EQ(l.markiert, 0);
    EXPECT_FALSE(l.sichtbar);
    EXPECT_EQ(l.Hoehe(), 390);
    Optionswerte o;
    o.sprachenSichtbar = l.sichtbar;
    o.buchstabe = 'F';
    EXPECT_EQ(NeuerDialogbuchstabe(o), 'D');
}

TEST_F(Programmordner, PresentCataloguesAreOfferedInTheFixedOrderAndTheCurrentOneIsMarked) {
    // A folder named like a catalogue is no catalogue.
    fs::create_directories(ordner_ / "Data" / "zanit_I.glc");
    for (char c : {'V', 'E', 'S'}) Katalog(c);
    Sprachliste l = BaueSprachliste(Ordner(), false, 'S');
    EXPECT_EQ(Namen(l), "D: D:Deutsch E:English S:Español V:Svensk ");
    EXPECT_EQ(l.markiert, 3);
    EXPECT_TRUE(l.sichtbar);
    EXPECT_EQ(l.Hoehe(), 445);
    // German (also a blank letter) and a letter without a catalogue mark "(Standard)", not "Deutsch".
    for (char c : {'D', ' ', 'F'}) EXPECT_EQ(BaueSprachliste(Ordner(), false, c).markiert, 0) << c;
    // Changes switched off: no list at all.
    l = BaueSprachliste(Ordner(), true, 'S');
    EXPECT_TRUE(l.eintraege.empty());
    EXPECT_FALSE(l.sichtbar);
    EXPECT_EQ(l.Hoehe(), 390);
}

TEST(Optionen, TheMarkedEntryGivesItsLetter) {
    EXPECT_EQ(BuchstabeAusEintrag(0, "(Standard)"), 'D');
    EXPECT_EQ(BuchstabeAusEintrag(0, "(Par défaut)"), 'D');
    EXPECT_EQ(BuchstabeAusEintrag(1, "Deutsch"), 'D');
    EXPECT_EQ(BuchstabeAusEintrag(2, "English"), 'E');
    EXPECT_EQ(BuchstabeAusEintrag(3, "Français"), 'F');
    EXPECT_EQ(BuchstabeAusEintrag(4, "Español"), 'S');
    EXPECT_EQ(BuchstabeAusEintrag(5, "Nederlands"), 'N');
    EXPECT_EQ(BuchstabeAusEintrag(6, "Svensk"), 'V');
    EXPECT_EQ(BuchstabeAusEintrag(-1, ""), 'D');
}

TEST(Optionen, ConfirmedValuesEnterTheSettingsWithTheNoticesInverted) {
    Einstellungen e;
    Optionswerte o = OptionswerteAus(e, true, {e.HotKey, e.HotKey1, e.HotKey2});
    EXPECT_EQ(o.verzoegerung, "100");
    EXPECT_FALSE(o.keinEndhinweis);
    EXPECT_FALSE(o.keinSprachhinweis);
    o.direktsuche = false;
    o.tray = true;
    o.autostart = true;
    o.verzoegerung = "250";
    o.fontname = "Arial";
    o.fontsize = 12;
    o.keinEndhinweis = true;
    o.keinSprachhinweis = true;
    OptionswerteUebernehmen(o, e);
    EXPECT_FALSE(e.Seek);
    EXPECT_TRUE(e.Tray);
    EXPECT_TRUE(e.Autostart);
    EXPECT_EQ(e.Interval, 250);
    EXPECT_EQ(e.Fontname, "Arial");
    EXPECT_EQ(e.Fontsize, 12);
    EXPECT_FALSE(e.Save);
    EXPECT_FALSE(e.Sound);
    // A delay that is not a number is stored as 0.
    for (const char* t : {"", "abc", "12a"}) {
        o.verzoegerung = t;
        OptionswerteUebernehmen(o, e);
        EXPECT_EQ(e.Interval, 0) << t;
    }
}

TEST(Kuerzel, ShortcutsReadAsTheUserTypesThem) {
    EXPECT_EQ(KuerzelText(16471), "Strg+W");
    EXPECT_EQ(KuerzelText(0x4000 | 0x2000 | 0x8000 | 0x74), "Strg+Umschalt+Alt+F5");
    EXPECT_EQ(KuerzelText(0x8000 | 0x61), "Alt+Num 1");
    EXPECT_EQ(KuerzelText(0x4000), "");
    Tastennamen englisch;
    englisch.strg = "Ctrl";
    englisch.umschalt = "Shift";
    englisch.leertaste = "Space";
    englisch.taste = "Key &# (code)";
    EXPECT_EQ(KuerzelText(0x4000 | 0x2000 | 0x8000 | ' ', englisch), "Ctrl+Shift+Alt+Space");
    EXPECT_EQ(KuerzelText(0x2000 | 0xBA, englisch), "Shift+Key 186 (code)");
    EXPECT_EQ(KuerzelText(0x4000 | 0xBA), "Strg+Taste 186");
    EXPECT_EQ(SetzeKuerzel(ZerlegeKuerzel(0xE033)), 0xE033);
}
