// The registry readers' fall-back rules and the text helpers of the utility unit.
#include <gtest/gtest.h>

#include <string>

#include "base/Utils.h"
#include "base/settings/TempHive.h"

using namespace zanit;
using settings_test::TempHive;

namespace {

constexpr auto LM = RegRoot::LocalMachine;
constexpr std::string_view kKey = "Dictionary";

// A machine hive whose settings key holds exactly the given value lines.
void Settings(const TempHive& hive, const std::string& lines) {
    TempHive::Write(hive.Machine(), "Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\n" + lines);
}

int Zahl(std::string_view text) { return ZahlAusText(text); }

}  // namespace

TEST(ZahlAusText, ConvertsTheWholeTextOrFails) {
    EXPECT_EQ(Zahl("250"), 250);
    EXPECT_EQ(Zahl("   -17"), -17);
    EXPECT_EQ(Zahl("+8"), 8);
    EXPECT_EQ(Zahl("$1F"), 31);
    EXPECT_EQ(Zahl("x1f"), 31);
    EXPECT_EQ(Zahl("X10"), 16);
    EXPECT_EQ(Zahl("0x4057"), 16471);
    EXPECT_EQ(Zahl("0X10"), 16);
    EXPECT_EQ(Zahl("-$10"), -16);
    EXPECT_EQ(Zahl("$FFFFFFFF"), -1);  // hexadecimal fills all 32 bits
    EXPECT_EQ(Zahl("2147483647"), 2147483647);
    EXPECT_EQ(Zahl("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(Zahl("007"), 7);
    EXPECT_EQ(Zahl("0"), 0);

    int wert = 5;
    for (std::string_view bad : {"", " ", "250 ", "abc", "12a", "$", "0x", "x", "+", "-", "1.5", "2147483648",
                                 "-2147483649", "$100000000", "0x1G", "\t5", "1 2"}) {
        wert = 5;
        EXPECT_FALSE(ZahlAusText(bad, wert)) << '"' << bad << '"';
        EXPECT_EQ(wert, 0) << '"' << bad << '"';
        EXPECT_EQ(Zahl(bad), 0);
    }
    EXPECT_TRUE(ZahlAusText(" 42", wert));
    EXPECT_EQ(wert, 42);
}

TEST(TextHelpers, MitBackslashAndAlleEntfernen) {
    EXPECT_EQ(MitBackslash(""), "");
    EXPECT_EQ(MitBackslash("/opt/zanit"), "/opt/zanit/");
    EXPECT_EQ(MitBackslash("/opt/zanit/"), "/opt/zanit/");
    EXPECT_EQ(MitBackslash("C:\\zanit\\"), "C:\\zanit\\");

    EXPECT_EQ(AlleEntfernen("der Hund, der Bus", "der "), "Hund, Bus");
    EXPECT_EQ(AlleEntfernen("aabb", "ab"), "");  // removing "ab" joins a new "ab"
    EXPECT_EQ(AlleEntfernen("xaaabbby", "ab"), "xy");
    EXPECT_EQ(AlleEntfernen("text", ""), "text");
    EXPECT_EQ(AlleEntfernen("", "x"), "");
}

TEST(RegReaders, IntegerFallBacks) {
    TempHive hive;
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Interval"), 100);  // no key at all
    Settings(hive,
             "\"Trimmed\"=\" 250 \"\n\"Letters\"=\"abc\"\n\"Empty\"=\"\"\n\"Dword\"=dword:0000000a\n"
             "\"Negative\"=dword:ffffffff\n\"Hex\"=\"0x10\"\n\"Binary\"=hex:01,00,00,00\n");
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Trimmed"), 250);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Letters"), 0);  // not the default
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Empty"), 100);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Missing"), 100);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Dword"), 10);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Negative"), -1);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Hex"), 16);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 100, "Binary"), 100);
}

TEST(RegReaders, BooleanFallBacks) {
    TempHive hive;
    EXPECT_TRUE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "Seek"));  // no key: the default
    Settings(hive,
             "\"One\"=\"1\"\n\"Zero\"=\"0\"\n\"Two\"=\"2\"\n\"Letters\"=\"abc\"\n\"Blank1\"=\" 1\"\n"
             "\"OneBlank\"=\"1 \"\n\"Dword\"=dword:00000005\n\"DwordZero\"=dword:00000000\n\"Binary\"=hex:01\n");
    EXPECT_TRUE(RegSchalterLesen(LM, kProduktSchluessel, kKey, false, "One"));
    EXPECT_FALSE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "Zero"));
    EXPECT_TRUE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "Two"));
    EXPECT_FALSE(RegSchalterLesen(LM, kProduktSchluessel, kKey, false, "Two"));
    EXPECT_FALSE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "Letters"));
    EXPECT_TRUE(RegSchalterLesen(LM, kProduktSchluessel, kKey, false, "Blank1"));
    EXPECT_FALSE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "OneBlank"));  // trailing blank: no number
    EXPECT_TRUE(RegSchalterLesen(LM, kProduktSchluessel, kKey, false, "Dword"));
    EXPECT_FALSE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "DwordZero"));
    EXPECT_TRUE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "Binary"));
    // the key exists but the value does not: false, whatever the default
    EXPECT_FALSE(RegSchalterLesen(LM, kProduktSchluessel, kKey, true, "Missing"));
}

TEST(RegReaders, TextFallBacksAndKeyPaths) {
    TempHive hive;
    Settings(hive, "\"GLC\"=\"English\"\n\"Blank\"=\"\"\n\"Number\"=dword:00000001\n");
    EXPECT_EQ(RegTextLesen(LM, kProduktSchluessel, kKey, "D", "GLC"), "English");
    EXPECT_EQ(RegTextLesen(LM, kProduktSchluessel, kKey, "D", "Blank"), "D");
    EXPECT_EQ(RegTextLesen(LM, kProduktSchluessel, kKey, "D", "Number"), "D");  // a DWORD is no text
    EXPECT_EQ(RegTextLesen(LM, kProduktSchluessel, kKey, "D", "Missing"), "D");
    // the base path gets its backslash when it lacks one; an empty subkey opens the base itself
    EXPECT_EQ(RegTextLesen(LM, "\\Software\\MORAV\\zanit", "Dictionary", "", "GLC"), "English");
    EXPECT_EQ(RegTextLesen(LM, "\\Software\\MORAV\\zanit\\Dictionary", "", "", "GLC"), "English");
    EXPECT_EQ(RegTextLesen(LM, "", "Software\\MORAV\\zanit\\Dictionary", "", "GLC"), "English");
    EXPECT_EQ(RegTextLesen(LM, kProduktSchluessel, "Vocabulary", "none", "Program"), "none");
}

TEST(RegWriters, WriteTypesTheReadersUnderstand) {
    TempHive hive;
    EXPECT_TRUE(RegTextSchreiben(LM, kProduktSchluessel, kKey, "", "Section"));
    EXPECT_TRUE(RegZahlSchreiben(LM, kProduktSchluessel, kKey, -5, "PX"));
    EXPECT_TRUE(RegSchalterSchreiben(LM, kProduktSchluessel, kKey, true, "Tray"));
    EXPECT_TRUE(RegSchalterSchreiben(LM, kProduktSchluessel, kKey, false, "Seek"));
    const std::string file = TempHive::Read(hive.Machine());
    EXPECT_NE(file.find("\"Section\"=\"\"\n"), std::string::npos);  // an empty text is written, not deleted
    EXPECT_NE(file.find("\"PX\"=dword:fffffffb\n"), std::string::npos);
    EXPECT_NE(file.find("\"Tray\"=dword:00000001\n"), std::string::npos);
    EXPECT_NE(file.find("\"Seek\"=dword:00000000\n"), std::string::npos);
    EXPECT_EQ(RegZahlLesen(LM, kProduktSchluessel, kKey, 0, "PX"), -5);
    EXPECT_FALSE(RegTextSchreiben(LM, kProduktSchluessel, kKey, "two\nlines", "Fontname"));
    EXPECT_EQ(RegTextLesen(LM, kProduktSchluessel, kKey, "Tahoma", "Fontname"), "Tahoma");
}

TEST(RegKeys, SubkeysAndDeletion) {
    TempHive hive;
    const std::string settings = std::string(kProduktSchluessel) + "Dictionary";
    EXPECT_TRUE(RegUnterschluesselLesen(LM, settings).empty());
    ASSERT_TRUE(RegTextSchreiben(LM, settings, "Englisch", "e.dbf", "Dictionary"));
    ASSERT_TRUE(RegTextSchreiben(LM, settings, "DfA", "x", "Dictionary"));
    ASSERT_TRUE(RegTextSchreiben(LM, settings, "Latein", "l.dbf", "Dictionary"));
    EXPECT_EQ(RegUnterschluesselLesen(LM, settings), (std::vector<std::string>{"DfA", "Englisch", "Latein"}));  // sorted
    EXPECT_TRUE(RegSchluesselLoeschen(LM, settings + "\\dfa"));
    EXPECT_EQ(RegUnterschluesselLesen(LM, settings), (std::vector<std::string>{"Englisch", "Latein"}));
    EXPECT_FALSE(RegSchluesselLoeschen(LM, settings + "\\DfA"));
    EXPECT_TRUE(RegUnterschluesselLesen(LM, "Software\\Nowhere").empty());
}
