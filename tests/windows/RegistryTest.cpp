// The settings store on the real registry: values written and read back through advapi32, the fall-back rules
// of the readers on values an installer stored as text, and the export of reg.exe read by our hive parser
// (the same reader that takes such a file as the machine hive on POSIX).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Registry.h"
#include "base/RegistryFormat.h"
#include "base/Utils.h"

namespace {

using namespace zanit;

const std::string kEinstellungen = std::string(kProduktSchluessel) + "Dictionary";
const char* const kWindowsPfad = "Software\\MORAV\\zanit\\Dictionary";
constexpr RegRoot kHklm = RegRoot::LocalMachine;

// A value stored directly through advapi32, as the installer of another program would.
void Speichere(const char* name, DWORD typ, const void* daten, DWORD laenge) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kWindowsPfad, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, typ, static_cast<const BYTE*>(daten), laenge), ERROR_SUCCESS);
    RegCloseKey(key);
}
void SpeichereText(const char* name, const std::string& text) {
    Speichere(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// The type and bytes that advapi32 holds for a value.
DWORD TypVon(const char* name, std::string* daten = nullptr) {
    DWORD typ = 0, laenge = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kWindowsPfad, name, RRF_RT_ANY, &typ, nullptr, &laenge) != ERROR_SUCCESS)
        return REG_NONE;
    if (daten) {
        daten->assign(laenge, '\0');
        RegGetValueA(HKEY_LOCAL_MACHINE, kWindowsPfad, name, RRF_RT_ANY, &typ, daten->data(), &laenge);
        daten->resize(laenge);
    }
    return typ;
}

// The values the tests write into the product's key are taken out again: the other tests of the run (the
// lookup on an installation made by zanit-setup.exe) share the prefix's registry.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Aufraeumen(); }
    void TearDown() override { Aufraeumen(); }
    static void Aufraeumen() {
        RegSchluesselLoeschen(kHklm, kEinstellungen + "\\Probe");
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsPfad, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        for (const char* name : {"Section", "PX", "Tray", "Fontname", "Probetext", "Interval", "Seek"})
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
};

TEST_F(RegistryTest, WritersStoreTypedValuesThatTheReadersReturn) {
    EXPECT_TRUE(RegTextSchreiben(kHklm, kEinstellungen, "", "Englisch", "Section"));
    EXPECT_TRUE(RegZahlSchreiben(kHklm, kEinstellungen, "", -5, "PX"));
    EXPECT_TRUE(RegSchalterSchreiben(kHklm, kEinstellungen, "", true, "Tray"));
    EXPECT_TRUE(RegTextSchreiben(kHklm, kEinstellungen, "", "", "Fontname"));  // empty text, not deleted
    std::string daten;
    EXPECT_EQ(TypVon("Section", &daten), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(daten, std::string("Englisch\0", 9));
    EXPECT_EQ(TypVon("PX", &daten), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(daten, std::string("\xFB\xFF\xFF\xFF", 4));
    EXPECT_EQ(TypVon("Tray", &daten), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(daten, std::string("\x01\0\0\0", 4));
    EXPECT_EQ(TypVon("Fontname"), static_cast<DWORD>(REG_SZ));

    EXPECT_EQ(RegTextLesen(kHklm, kEinstellungen, "", "x", "Section"), "Englisch");
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "", 0, "PX"), -5);
    EXPECT_TRUE(RegSchalterLesen(kHklm, kEinstellungen, "", false, "Tray"));
    EXPECT_EQ(RegTextLesen(kHklm, kEinstellungen, "", "Tahoma", "Fontname"), "Tahoma");  // empty gives the default
    // Windows-1252 texts go through the ANSI calls unchanged.
    EXPECT_TRUE(RegTextSchreiben(kHklm, kEinstellungen, "", "W\xF6rterb\xFC" "cher \xDF", "Probetext"));
    EXPECT_EQ(RegTextLesen(kHklm, kEinstellungen, "", "", "Probetext"), "W\xF6rterb\xFC" "cher \xDF");
}

TEST_F(RegistryTest, NumbersAndSwitchesStoredAsTextFollowTheFallBackRules) {
    SpeichereText("Interval", " 250 ");
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "", 100, "Interval"), 250);
    SpeichereText("Interval", "abc");
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "", 100, "Interval"), 0);
    SpeichereText("Interval", "");
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "", 100, "Interval"), 100);
    SpeichereText("Interval", "$1F");
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "", 100, "Interval"), 31);

    SpeichereText("Seek", "1");
    EXPECT_TRUE(RegSchalterLesen(kHklm, kEinstellungen, "", false, "Seek"));
    SpeichereText("Seek", "0");
    EXPECT_FALSE(RegSchalterLesen(kHklm, kEinstellungen, "", true, "Seek"));
    SpeichereText("Seek", "2");
    EXPECT_TRUE(RegSchalterLesen(kHklm, kEinstellungen, "", true, "Seek"));
    const DWORD sieben = 7;
    Speichere("Seek", REG_DWORD, &sieben, sizeof sieben);
    EXPECT_TRUE(RegSchalterLesen(kHklm, kEinstellungen, "", false, "Seek"));
    // A value of another type: the text reader gives the default.
    Speichere("Seek", REG_BINARY, "\x01", 1);
    EXPECT_EQ(RegTextLesen(kHklm, kEinstellungen, "", "vorgabe", "Seek"), "vorgabe");

    // Missing value in an existing key: false; missing key: the default.
    EXPECT_FALSE(RegSchalterLesen(kHklm, kEinstellungen, "", true, "FehltGanz"));
    EXPECT_TRUE(RegSchalterLesen(kHklm, kEinstellungen, "Probe", true, "Seek"));
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "Probe", 42, "Interval"), 42);
}

TEST_F(RegistryTest, SectionsAreListedAndDeletedWithTheirSubkeys) {
    ASSERT_TRUE(RegTextSchreiben(kHklm, kEinstellungen, "Probe\\Zwei", "b.dbf", "Dictionary"));
    ASSERT_TRUE(RegTextSchreiben(kHklm, kEinstellungen, "Probe\\eins", "a.dbf", "Dictionary"));
    ASSERT_TRUE(RegZahlSchreiben(kHklm, kEinstellungen, "Probe\\eins\\tief", 1, "X"));
    EXPECT_EQ(RegUnterschluesselLesen(kHklm, kEinstellungen + "\\Probe"), (std::vector<std::string>{"eins", "Zwei"}));
    // Names compare without regard to case, as everywhere in the registry.
    EXPECT_EQ(RegTextLesen(kHklm, kEinstellungen, "PROBE\\EINS", "", "dictionary"), "a.dbf");
    EXPECT_TRUE(RegSchluesselLoeschen(kHklm, kEinstellungen + "\\Probe\\eins"));
    EXPECT_EQ(RegUnterschluesselLesen(kHklm, kEinstellungen + "\\Probe"), (std::vector<std::string>{"Zwei"}));
    EXPECT_EQ(RegZahlLesen(kHklm, kEinstellungen, "Probe\\eins\\tief", 9, "X"), 9);
    EXPECT_FALSE(RegSchluesselLoeschen(kHklm, kEinstellungen + "\\Probe\\eins"));
}

TEST_F(RegistryTest, ReplacingAKeyLeavesExactlyTheNewValues) {
    const std::string probe = kEinstellungen + "\\Probe";
    ASSERT_TRUE(RegTextSchreiben(kHklm, probe, "Alt", "x", "Dictionary"));
    ASSERT_TRUE(RegTextSchreiben(kHklm, probe, "", "weg", "Alt"));
    ASSERT_TRUE(registry::ReplaceKey(probe, {{"Dictionary", registry::ValueType::String, "C:\\Daten\\E.DBF"},
                                             {"ReleaseS", registry::ValueType::Dword, "", 3}}));
    auto key = registry::OpenKey(probe, registry::Access::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Dictionary", "ReleaseS"}));
    EXPECT_TRUE(key->SubkeyNames().empty());
    EXPECT_EQ(key->ReadDword("ReleaseS"), 3u);
    // A value that cannot be stored: nothing is written.
    EXPECT_FALSE(registry::ReplaceKey(probe, {{"Dictionary", registry::ValueType::String, "zwei\nZeilen"}}));
    EXPECT_EQ(RegTextLesen(kHklm, probe, "", "", "Dictionary"), "C:\\Daten\\E.DBF");
}

// reg.exe of the system writes the export (UTF-16LE with byte-order mark, as regedit does).
std::string Exportiere(const std::string& schluessel) {
    const auto datei = std::filesystem::temp_directory_path() / ("zanit-export-" + std::to_string(GetCurrentProcessId()) + ".reg");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string reg = std::string(system) + "\\reg.exe";
    std::string zeile = "\"" + reg + "\" export \"" + schluessel + "\" \"" + datei.string() + "\" /y";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(reg.c_str(), zeile.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << reg;
        return {};
    }
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(code, 0u) << zeile;
    std::ifstream in(datei, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    in.close();
    std::filesystem::remove(datei);
    return bytes;
}

TEST_F(RegistryTest, ExportOfTheSystemsRegEditReadsBackThroughTheHiveParser) {
    const std::string probe = kEinstellungen + "\\Probe";
    ASSERT_TRUE(RegTextSchreiben(kHklm, probe, "", "C:\\Programme\\zanit\\", "Program"));
    ASSERT_TRUE(RegTextSchreiben(kHklm, probe, "", "Fran\xE7" "ais \"zitiert\"", "TextF"));
    ASSERT_TRUE(RegZahlSchreiben(kHklm, probe, "", 16471, "HotKey"));
    ASSERT_TRUE(RegSchalterSchreiben(kHklm, probe, "Unter", false, "Sound"));

    const std::string bytes = Exportiere("HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary\\Probe");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");  // UTF-16LE with byte-order mark

    std::vector<std::string> berichte;
    const auto hive = registry::ParseHive(bytes, "export.reg",
                                          [&](std::string_view m) { berichte.emplace_back(m); });
    EXPECT_TRUE(berichte.empty()) << berichte.front();
    std::string voll;
    ASSERT_TRUE(registry::NormalizeKeyPath(probe, voll));
    const registry::HiveKey* key = registry::FindKey(hive, voll);
    ASSERT_NE(key, nullptr) << voll;
    const auto* program = registry::FindValue(*key, "Program");
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->type, registry::ValueType::String);
    EXPECT_EQ(program->text, "C:\\Programme\\zanit\\");
    const auto* textf = registry::FindValue(*key, "TextF");
    ASSERT_NE(textf, nullptr);
    EXPECT_EQ(textf->text, "Fran\xE7" "ais \"zitiert\"");
    const auto* hotkey = registry::FindValue(*key, "HotKey");
    ASSERT_NE(hotkey, nullptr);
    EXPECT_EQ(hotkey->type, registry::ValueType::Dword);
    EXPECT_EQ(hotkey->dword, 16471u);
    const registry::HiveKey* unter = registry::FindKey(hive, voll + "\\Unter");
    ASSERT_NE(unter, nullptr);
    ASSERT_NE(registry::FindValue(*unter, "Sound"), nullptr);
    EXPECT_EQ(registry::FindValue(*unter, "Sound")->dword, 0u);
}

}  // namespace
