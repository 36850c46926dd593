// The settings model: defaults, read rules, the order of saving, the autostart entry and the legacy keys.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "base/Einstellungen.h"
#include "base/RegistryFormat.h"
#include "base/Utils.h"
#include "base/settings/TempHive.h"

using namespace zanit;
using settings_test::TempHive;

namespace {

const std::string kFull = "HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary";
const std::string kRun = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

registry::Hive Machine(const TempHive& hive) { return registry::ParseHive(TempHive::Read(hive.Machine()), "m", {}); }

std::vector<std::string> NamesIn(const registry::Hive& hive, const std::string& key) {
    const registry::HiveKey* k = registry::FindKey(hive, key);
    return k ? registry::ValueNames(*k) : std::vector<std::string>{};
}

std::string DesktopFile() { return TempHive::Read(AutostartDesktopDatei()); }

}  // namespace

TEST(Einstellungen, EmptyStoreGivesEveryDefault) {
    TempHive hive;
    const Einstellungen e = EinstellungenLesen();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Program", ""},   {"CD", ""},        {"Section", ""},      {"GLC", "D"},        {"NoLanguageChange", "0"},
        {"Part", "1"},     {"HotKey", "16471"}, {"HotKey1", "16433"}, {"HotKey2", "16434"}, {"HotKeyOn", "1"},
        {"Seek", "1"},     {"Interval", "100"}, {"Tray", "0"},        {"Autostart", "0"},  {"LatGen", "0"},
        {"Save", "1"},     {"Sound", "1"},    {"Fontname", "Tahoma"}, {"Fontsize", "8"},   {"PX", "0"},
        {"PY", "0"},       {"PW", "0"},       {"PH", "0"},          {"PV", "0"},         {"FTPDelay", "0"},
        {"InfoID", "101"},
    };
    EXPECT_EQ(EinstellungenAlsText(e), expected);
}

TEST(Einstellungen, ReadRulesClampAndTakeTheFirstLetter) {
    TempHive hive;
    RegZahlSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, 0, "Part");
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "English", "GLC");
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "250", "InfoID");
    Einstellungen e = EinstellungenLesen();
    EXPECT_EQ(e.Part, 1);
    EXPECT_EQ(e.GLC, 'E');
    EXPECT_EQ(e.InfoID, 250);
    EXPECT_FALSE(e.Seek);  // the key exists now, so a missing boolean reads false
    EXPECT_EQ(InfoIDLesen(), 250);

    RegZahlSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, 5, "Part");
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "", "GLC");
    e = EinstellungenLesen();
    EXPECT_EQ(e.Part, 2);
    EXPECT_EQ(e.GLC, ' ');  // stored empty: blank; missing: the default letter
}

TEST(Einstellungen, SavingWritesInTheFixedOrderAndReadsBackTheSame) {
    TempHive hive;
    Einstellungen e;
    e.Part = 2;
    e.HotKey = 0x4000 + 'Q';
    e.HotKeyOn = false;
    e.Interval = 250;
    e.GLC = 'F';
    e.Fontname = "Courier New";
    e.Fontsize = 10;
    e.PX = -1;
    e.PV = 1;
    e.LatGen = true;
    e.Save = false;
    EXPECT_TRUE(EinstellungenSpeichern(e, "Englisch", "/opt/zanit/zanit-wb"));

    const std::vector<std::string> order = {
        "Section", "Part",     "HotKey", "HotKey1", "HotKey2", "Interval",         "PX",       "PY",
        "PW",      "PH",       "PV",     "GLC",     "NoLanguageChange", "HotKeyOn", "Seek",     "Tray",
        "Autostart", "LatGen", "Save",   "Sound",   "Fontname", "Fontsize"};
    EXPECT_EQ(NamesIn(Machine(hive), kFull), order);

    Einstellungen back = EinstellungenLesen();
    back.Section.clear();
    EXPECT_EQ(EinstellungenAlsText(back), EinstellungenAlsText(e));
    EXPECT_EQ(RegTextLesen(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "", "Section"), "Englisch");
}

TEST(Einstellungen, WithoutCurrentDictionaryTheSectionStays) {
    TempHive hive;
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "Latein", "Section");
    EinstellungenSpeichern(Einstellungen{}, std::nullopt, "/opt/zanit/zanit-wb");
    EXPECT_EQ(EinstellungenLesen().Section, "Latein");
}

TEST(Einstellungen, AutostartEntryAndDesktopFileFollowTheSwitch) {
    TempHive hive;
    Einstellungen e;
    e.Autostart = true;
    EinstellungenSpeichern(e, std::nullopt, "/opt/my zanit/zanit-wb");
    EXPECT_EQ(RegTextLesen(RegRoot::LocalMachine, kAutostartBasis, kAutostartSchluessel, "", kAutostartWert),
              "/opt/my zanit/zanit-wb AUTOSTART");
    EXPECT_EQ(AutostartDesktopDatei(), (hive.Root() / "config" / "autostart" / "zanit-wb.desktop").string());
    const std::string desktop = DesktopFile();
    EXPECT_NE(desktop.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(desktop.find("Type=Application\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nExec=\"/opt/my zanit/zanit-wb\" AUTOSTART\n"), std::string::npos);

    e.Autostart = false;
    EinstellungenSpeichern(e, std::nullopt, "/opt/my zanit/zanit-wb");
    EXPECT_FALSE(std::filesystem::exists(AutostartDesktopDatei()));
    // the Run value stays, as an empty text
    const registry::Hive machine = Machine(hive);
    const registry::HiveKey* run = registry::FindKey(machine, kRun);
    ASSERT_TRUE(run);
    const registry::HiveItem* value = registry::FindValue(*run, "MORAVWBuch");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, registry::ValueType::String);
    EXPECT_EQ(value->text, "");
}

TEST(Einstellungen, DesktopExecEscapesWhatTheShellWouldRead) {
    TempHive hive;
    AutostartSchreiben(true, "/opt/zanit/zanit-wb");
    EXPECT_NE(DesktopFile().find("\nExec=/opt/zanit/zanit-wb AUTOSTART\n"), std::string::npos);
    AutostartSchreiben(true, "/opt/100%\\$b\xFC/wb");
    EXPECT_NE(DesktopFile().find("\nExec=\"/opt/100%%\\\\\\\\\\\\$b\xC3\xBC/wb\" AUTOSTART\n"), std::string::npos)
        << DesktopFile();
}

TEST(Einstellungen, LegacyKeysGoOnlyWhenBothReleasesAreOldOrMissing) {
    TempHive hive;
    AlteSchluesselEntfernen();
    EXPECT_FALSE(std::filesystem::exists(hive.Machine()));  // nothing to delete: nothing written

    auto legacy = [](int vocabulary, int dictionary) {
        RegZahlSchreiben(RegRoot::LocalMachine, "Software\\MORAV\\", "Vocabulary", vocabulary, "Release");
        RegZahlSchreiben(RegRoot::LocalMachine, "Software\\MORAV\\", "Dictionary", dictionary, "Release");
        RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "keep", "Section");
    };
    auto present = [] { return RegUnterschluesselLesen(RegRoot::LocalMachine, "Software\\MORAV"); };

    legacy(49, 50);
    AlteSchluesselEntfernen();
    EXPECT_EQ(present(), (std::vector<std::string>{"Dictionary", "Vocabulary", "zanit"}));

    legacy(0, 49);
    AlteSchluesselEntfernen();
    EXPECT_EQ(present(), std::vector<std::string>{"zanit"});
    EXPECT_EQ(EinstellungenLesen().Section, "keep");
}

TEST(Einstellungen, SavingWithTheValuesAsReadWritesOnlyWhatTheProgramChanged) {
    TempHive hive;
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "Tahoma", "Fontname");
    RegZahlSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, 100, "Interval");
    const Einstellungen gelesen = EinstellungenLesen();
    Einstellungen werte = gelesen;

    // while the program runs, the installer tool (or another user) changes values
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "Courier New", "Fontname");
    RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "Latein", "Section");
    RegTextSchreiben(RegRoot::LocalMachine, std::string(kProduktSchluessel) + std::string(kEinstellungsSchluessel), "Englisch",
                     "/x/E.DBF", "Dictionary");
    werte.Interval = 250;
    werte.PW = 640;
    EXPECT_TRUE(EinstellungenSpeichern(werte, std::nullopt, "/opt/zanit/zanit-wb", &gelesen));

    const Einstellungen danach = EinstellungenLesen();
    EXPECT_EQ(danach.Fontname, "Courier New");
    EXPECT_EQ(danach.Section, "Latein");
    EXPECT_EQ(danach.Interval, 250);
    EXPECT_EQ(danach.PW, 640);
    EXPECT_EQ(RegTextLesen(RegRoot::LocalMachine, std::string(kProduktSchluessel) + std::string(kEinstellungsSchluessel), "Englisch", "",
                           "Dictionary"),
              "/x/E.DBF");
    // untouched values are not written at all: no default appears that the file did not hold
    const std::vector<std::string> names = NamesIn(Machine(hive), kFull);
    EXPECT_EQ(std::count(names.begin(), names.end(), "HotKey"), 0);
    // a dictionary switched to is written
    EXPECT_TRUE(EinstellungenSpeichern(werte, "Englisch", "/opt/zanit/zanit-wb", &gelesen));
    EXPECT_EQ(EinstellungenLesen().Section, "Englisch");
}

TEST(Einstellungen, StoredPlacementCountsOnlyWhenItFitsWithoutOverflow) {
    Einstellungen e;
    e.PX = 100;
    e.PY = 50;
    e.PW = 800;
    e.PH = 600;
    EXPECT_TRUE(PlatzierungPasst(e, 1024, 768));
    EXPECT_FALSE(PlatzierungPasst(e, 800, 768));
    // sums beyond the range of int: the window does not fit, it is not a 32767-wide window
    e.PW = 2147483647;
    EXPECT_FALSE(PlatzierungPasst(e, 1024, 768));
    e.PW = 800;
    e.PH = 2147483600;
    EXPECT_FALSE(PlatzierungPasst(e, 1024, 768));
    e.PH = 600;
    e.PX = 2147483000;
    EXPECT_FALSE(PlatzierungPasst(e, 1024, 768));
    e.PX = -1;
    EXPECT_FALSE(PlatzierungPasst(e, 1024, 768));
    e.PX = 0;
    e.PW = 0;
    EXPECT_FALSE(PlatzierungPasst(e, 1024, 768));
}
