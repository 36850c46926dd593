// The hive file format: what we write, what regedit writes, and what survives a rewrite.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegistryFormat.h"

using namespace zanit::registry;

namespace {

const std::string kKey = "HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary";

struct Parsed {
    Hive hive;
    std::vector<std::string> reports;
};

Parsed Parse(const std::string& bytes) {
    Parsed p;
    p.hive = ParseHive(bytes, "test.reg", [&](std::string_view m) { p.reports.emplace_back(m); });
    return p;
}

const HiveItem* Value(const Hive& hive, const std::string& key, const std::string& name) {
    const HiveKey* k = FindKey(hive, key);
    return k ? FindValue(*k, name) : nullptr;
}

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

}  // namespace

TEST(HiveFormat, WritesRegeditSyntaxWithEscapes) {
    Hive hive;
    SetString(hive, kKey, "Program", "C:\\zanit\\\"neu\"");
    SetDword(hive, kKey, "Interval", 10);
    SetString(hive, kKey, "", "default");
    EXPECT_EQ(SerializeHive(hive),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\n"
              "\"Program\"=\"C:\\\\zanit\\\\\\\"neu\\\"\"\n"
              "\"Interval\"=dword:0000000a\n"
              "@=\"default\"\n\n");
}

TEST(HiveFormat, WriteReadWriteIsByteIdentical) {
    Hive hive;
    // Windows-1252 text: umlaut, euro sign, one of the five undefined bytes, quotes and backslashes
    const std::string text = "W\xF6rterbuch \x80 \x81 \"x\" \\\\server\\share\\";
    SetString(hive, kKey, "Fontname", text);
    SetString(hive, kKey + "\\Englisch", "Dictionary", "/opt/zanit/Data/E.DBF");
    SetDword(hive, kKey, "HotKey", 0xFFFFFFFFu);
    SetString(hive, kKey, "Leer", "");
    const std::string first = SerializeHive(hive);

    Parsed again = Parse(first);
    EXPECT_TRUE(again.reports.empty());
    EXPECT_EQ(SerializeHive(again.hive), first);
    ASSERT_NE(Value(again.hive, kKey, "Fontname"), nullptr);
    EXPECT_EQ(Value(again.hive, kKey, "Fontname")->text, text);
    EXPECT_EQ(Value(again.hive, kKey, "HotKey")->dword, 0xFFFFFFFFu);
    EXPECT_EQ(Value(again.hive, kKey, "Leer")->type, ValueType::String);
    EXPECT_EQ(Value(again.hive, kKey, "Leer")->text, "");
    // what we write is UTF-8
    EXPECT_NE(first.find("W\xC3\xB6rterbuch \xE2\x82\xAC"), std::string::npos);
}

TEST(HiveFormat, ReadsUtf16ExportAndRewritesItAsUtf8KeepingForeignText) {
    const std::u16string exported =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\r\n"
        u"\"TextF\"=\"D\u00e4nisch\"\r\n"
        u"\"Part\"=dword:00000002\r\n"
        u"\"\u65e5\u672c\"=\"\u8a9e \U0001F600\"\r\n";
    Parsed p = Parse(Utf16Le(exported));
    EXPECT_TRUE(p.reports.empty());
    EXPECT_FALSE(p.hive.regedit4);
    EXPECT_EQ(Value(p.hive, kKey, "TextF")->text, "D\xE4nisch");
    EXPECT_EQ(Value(p.hive, kKey, "Part")->dword, 2u);

    SetDword(p.hive, kKey, "Part", 1);
    const std::string written = SerializeHive(p.hive);
    // a value we did not touch keeps characters the code page cannot hold
    EXPECT_NE(written.find("\"\xE6\x97\xA5\xE6\x9C\xAC\"=\"\xE8\xAA\x9E \xF0\x9F\x98\x80\""), std::string::npos);
    EXPECT_NE(written.find("\"Part\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(written.find('\r'), std::string::npos);
}

TEST(HiveFormat, ReadsRegedit4InWindows1252AndKeepsThatDialect) {
    const std::string file =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\r\n\"Fontname\"=\"M\xFC\x6Cler\"\r\n";
    Parsed p = Parse(file);
    EXPECT_TRUE(p.reports.empty());
    EXPECT_TRUE(p.hive.regedit4);
    EXPECT_EQ(Value(p.hive, kKey, "Fontname")->text, "M\xFCller");
    SetString(p.hive, kKey, "GLC", "\xC4");
    const std::string written = SerializeHive(p.hive);
    EXPECT_EQ(written.rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(written.find("\"GLC\"=\"\xC4\""), std::string::npos);
    EXPECT_EQ(SerializeHive(Parse(written).hive), written);
}

TEST(HiveFormat, EachLineOfAVersion5FileIsDecodedOnItsOwn) {
    Parsed p = Parse("Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n\"TextM\"=\"Fran\xE7\x61is\"\n");
    EXPECT_EQ(Value(p.hive, kKey, "TextM")->text, "Fran\xE7" "ais");

    // one line in Latin-1 among UTF-8 lines: the UTF-8 lines keep their umlauts, and a write leaves every
    // line it does not change byte for byte as it was
    const std::string latin1 = "\"CDName\"=\"Caf\xE9\"\n";
    const std::string utf8 = "\"TextF\"=\"D\xC3\xA4nisch\"\n\"Fontname\"=\"M\xC3\xBCller \xE2\x82\xAC\"\n";
    const std::string file = "Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n" + utf8 + latin1 + "\n";
    Parsed mixed = Parse(file);
    EXPECT_EQ(Value(mixed.hive, kKey, "TextF")->text, "D\xE4nisch");
    EXPECT_EQ(Value(mixed.hive, kKey, "Fontname")->text, "M\xFCller \x80");
    EXPECT_EQ(Value(mixed.hive, kKey, "CDName")->text, "Caf\xE9");
    EXPECT_EQ(SerializeHive(mixed.hive), file);
    SetDword(mixed.hive, kKey, "Part", 2);
    const std::string written = SerializeHive(mixed.hive);
    EXPECT_EQ(written, "Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n" + utf8 + latin1 + "\"Part\"=dword:00000002\n\n");
    Parsed again = Parse(written);
    EXPECT_EQ(Value(again.hive, kKey, "TextF")->text, "D\xE4nisch");
    EXPECT_EQ(Value(again.hive, kKey, "CDName")->text, "Caf\xE9");
}

TEST(HiveFormat, IndentedKeyLineStartsItsKeyAndRemovingAKeyKeepsLinesNobodyUnderstood) {
    const std::string other = "HKEY_LOCAL_MACHINE\\Software\\Other";
    const std::string file = "Windows Registry Editor Version 5.00\n\n"
                             "[" + kKey + "\\Englisch]\n"
                             "\"Dictionary\"=\"e.dbf\"\n"
                             "\"x\"=hex:01,\\\n"
                             "  [" + other + "]\n"
                             "\"Keep\"=\"me\"\n"
                             "\n[" + kKey + "\\Latein]\n"
                             "\"Dictionary\"=\"l.dbf\"\n"
                             "garbage that is no value\n"
                             "; a comment of the Latin section\n";
    Parsed p = Parse(file);
    ASSERT_TRUE(KeyExists(p.hive, other));
    ASSERT_NE(Value(p.hive, other, "Keep"), nullptr);
    EXPECT_EQ(Value(p.hive, kKey + "\\Englisch", "Keep"), nullptr);

    // the other key and its value survive the removal of the key above it
    EXPECT_TRUE(RemoveKey(p.hive, kKey + "\\Englisch"));
    EXPECT_TRUE(RemoveKey(p.hive, kKey + "\\Latein"));
    const std::string written = SerializeHive(p.hive);
    Parsed again = Parse(written);
    ASSERT_NE(Value(again.hive, other, "Keep"), nullptr);
    EXPECT_EQ(Value(again.hive, other, "Keep")->text, "me");
    // a damaged line stays where it stood; the removed key's values and comments go with it
    EXPECT_NE(written.find("\"Keep\"=\"me\"\ngarbage that is no value\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("comment of the Latin"), std::string::npos) << written;
    EXPECT_EQ(written.find("l.dbf"), std::string::npos) << written;
}

TEST(HiveFormat, ReplacingAKeyKeepsItsPlaceAndLeavesOnlyTheNewValues) {
    Hive hive;
    SetString(hive, kKey + "\\A", "Dictionary", "a");
    SetString(hive, kKey + "\\Englisch", "Dictionary", "old");
    SetString(hive, kKey + "\\Englisch", "TextM", "Deutsch");
    SetString(hive, kKey + "\\Englisch\\Unter", "X", "1");
    SetString(hive, kKey + "\\Z", "Dictionary", "z");
    EXPECT_TRUE(ReplaceKey(hive, kKey + "\\ENGLISCH",
                           {{"Dictionary", ValueType::String, "new", 0, false}, {"ReleaseS", ValueType::Dword, {}, 12, false}}));
    EXPECT_FALSE(KeyExists(hive, kKey + "\\Englisch\\Unter"));
    EXPECT_EQ(ValueNames(*FindKey(hive, kKey + "\\Englisch")), (std::vector<std::string>{"Dictionary", "ReleaseS"}));
    EXPECT_EQ(Value(hive, kKey + "\\Englisch", "Dictionary")->text, "new");
    EXPECT_EQ(SubkeyNames(hive, kKey), (std::vector<std::string>{"A", "ENGLISCH", "Z"}));
    EXPECT_EQ(hive.keys[1].path, kKey + "\\ENGLISCH");  // in its place, spelt as registered now
    // the same registration again changes nothing; a value that cannot be stored is left out
    EXPECT_FALSE(ReplaceKey(hive, kKey + "\\ENGLISCH",
                            {{"Dictionary", ValueType::String, "new", 0, false}, {"ReleaseS", ValueType::Dword, {}, 12, false}}));
    EXPECT_FALSE(SetValues(hive, kKey, {{"Bad", ValueType::String, "two\nlines", 0, false}}));
    // keepExisting writes only what is missing
    EXPECT_TRUE(SetValues(hive, kKey + "\\A", {{"Dictionary", ValueType::String, "b", 0, true}, {"TextM", ValueType::String, "D", 0, true}}));
    EXPECT_EQ(Value(hive, kKey + "\\A", "Dictionary")->text, "a");
    EXPECT_EQ(Value(hive, kKey + "\\A", "TextM")->text, "D");
}

TEST(HiveFormat, DamagedLinesAreReportedIgnoredAndKept) {
    const std::string file =
        "Windows Registry Editor Version 5.00\n\n"
        "\"stray\"=\"before any key\"\n"
        "[" + kKey + "]\n"
        "\"Good\"=\"yes\"\n"
        "\"Open\"=\"no closing quote\n"
        "\"Number\"=dword:xyz\n"
        "\"Big\"=dword:123456789\n"
        "nonsense\n"
        "\"Tail\"=\"x\" junk\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Broken\n"
        "\"Orphan\"=\"belongs to no key\"\n";
    Parsed p = Parse(file);
    EXPECT_EQ(p.reports.size(), 8u);
    EXPECT_NE(p.reports[0].find("test.reg:3"), std::string::npos);
    EXPECT_EQ(Value(p.hive, kKey, "Good")->text, "yes");
    for (const char* name : {"Open", "Number", "Big", "Tail"}) EXPECT_EQ(Value(p.hive, kKey, name), nullptr) << name;
    EXPECT_FALSE(KeyExists(p.hive, "HKEY_LOCAL_MACHINE\\Software\\Broken"));

    // a value added to the key before the damaged key line must stay in its key after a rewrite
    SetString(p.hive, kKey, "Added", "1");
    const std::string written = SerializeHive(p.hive);
    for (const char* line : {"nonsense\n", "\"Tail\"=\"x\" junk\n", "\"Orphan\"=\"belongs to no key\"\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line;
    Parsed again = Parse(written);
    ASSERT_NE(Value(again.hive, kKey, "Added"), nullptr);
    EXPECT_EQ(Value(again.hive, kKey, "Added")->text, "1");
    EXPECT_EQ(SerializeHive(again.hive), written);
}

TEST(HiveFormat, DoubledCarriageReturnsEndALineOnce) {
    // a file passed twice through a CRLF conversion; its rewrite must be stable, not shrink on every save
    const std::string file = "Windows Registry Editor Version 5.00\r\r\n\r\r\n[" + kKey +
                             "]\r\r\n\"Good\"=\"yes\"\r\r\n\xFF\r\r\n";
    Parsed p = Parse(file);
    EXPECT_EQ(Value(p.hive, kKey, "Good")->text, "yes");
    const std::string written = SerializeHive(p.hive);
    EXPECT_EQ(written.find('\r'), std::string::npos) << written;
    EXPECT_EQ(SerializeHive(Parse(written).hive), written);
}

TEST(HiveFormat, ValuesOfOtherTypesAndCommentsSurviveVerbatim) {
    const std::string file =
        "Windows Registry Editor Version 5.00\n\n"
        "; exported for the test\n\n"
        "[" + kKey + "]\n"
        "\"Binary\"=hex:01,02,ff\n"
        "\"Expand\"=hex(2):25,00,50,00,41,00,\\\n"
        "  54,00,48,00,25,00,00,00\n"
        "; a comment inside the key\n"
        "\"Gone\"=-\n"
        "\"Multi\"=hex(7):41,00,00,00,00,00\n"
        "\"Part\"=dword:00000001\n\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"Kept\"=\"too\"\n";
    Parsed p = Parse(file);
    EXPECT_TRUE(p.reports.empty());
    for (const char* name : {"Binary", "Expand", "Gone", "Multi"}) {
        ASSERT_NE(Value(p.hive, kKey, name), nullptr) << name;
        EXPECT_EQ(Value(p.hive, kKey, name)->type, ValueType::Other) << name;
    }
    SetDword(p.hive, kKey, "Part", 2);
    SetString(p.hive, kKey, "Expand", "now a string");  // replacing an unknown value makes it ours
    const std::string written = SerializeHive(p.hive);
    for (const char* kept : {"; exported for the test\n", "\"Binary\"=hex:01,02,ff\n", "; a comment inside the key\n",
                             "\"Gone\"=-\n", "\"Multi\"=hex(7):41,00,00,00,00,00\n",
                             "[HKEY_CURRENT_USER\\Software\\Other]\n\"Kept\"=\"too\"\n"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept;
    EXPECT_EQ(written.find("hex(2)"), std::string::npos);
    EXPECT_NE(written.find("\"Expand\"=\"now a string\""), std::string::npos);
    EXPECT_EQ(SerializeHive(Parse(written).hive), written);
}

TEST(HiveFormat, NamesCompareWithoutCaseAndKeepTheirSpelling) {
    Hive hive;
    SetDword(hive, kKey, "HotKeyOn", 1);
    SetString(hive, kKey + "\\\xC4nderung", "X", "1");
    EXPECT_TRUE(KeyExists(hive, "hkey_local_machine\\SOFTWARE\\morav\\ZANIT\\dictionary"));
    EXPECT_TRUE(KeyExists(hive, kKey + "\\\xE4NDERUNG"));  // Ä and ä are the same letter
    ASSERT_NE(Value(hive, kKey, "HOTKEYON"), nullptr);
    EXPECT_TRUE(SetDword(hive, kKey, "hotkeyon", 0));
    EXPECT_FALSE(SetDword(hive, kKey, "HOTKEYON", 0));  // same value again: no change
    EXPECT_NE(SerializeHive(hive).find("\"HotKeyOn\"=dword:00000000"), std::string::npos);
    EXPECT_EQ(ValueNames(*FindKey(hive, kKey)).size(), 1u);
}

TEST(HiveFormat, DuplicateKeysMergeAndTheLaterValueWins) {
    Parsed p = Parse("REGEDIT4\n\n[" + kKey + "]\n\"A\"=\"1\"\n\"B\"=\"1\"\n\n[" + kKey + "]\n\"a\"=\"2\"\n");
    EXPECT_EQ(Value(p.hive, kKey, "A")->text, "2");
    EXPECT_EQ(Value(p.hive, kKey, "B")->text, "1");
    EXPECT_EQ(p.hive.keys.size(), 1u);

    // the same in a key with many values, which are found through a table instead of a search
    std::string many = "REGEDIT4\n\n[" + kKey + "]\n";
    for (int i = 0; i < 40; ++i) many += "\"V" + std::to_string(i) + "\"=dword:0000000" + std::to_string(i % 10) + "\n";
    many += "[HKEY_LOCAL_MACHINE\\Other]\n\"V3\"=\"other key\"\n[" + kKey + "]\n\"v3\"=\"later\"\n\"v39\"=\"last\"\n";
    Parsed big = Parse(many);
    EXPECT_EQ(ValueNames(*FindKey(big.hive, kKey)).size(), 40u);
    EXPECT_EQ(Value(big.hive, kKey, "V3")->text, "later");
    EXPECT_EQ(Value(big.hive, kKey, "V39")->text, "last");
    EXPECT_EQ(Value(big.hive, kKey, "V4")->dword, 4u);
    EXPECT_EQ(Value(big.hive, "HKEY_LOCAL_MACHINE\\Other", "V3")->text, "other key");
}

TEST(HiveFormat, SubkeysAreImpliedAndDeletingKeepsTheParent) {
    Hive hive;
    SetString(hive, kKey + "\\Englisch", "Dictionary", "e");
    SetString(hive, kKey + "\\Latein\\Extra", "X", "x");
    SetString(hive, kKey + "\\englisch", "TextF", "Englisch");
    EXPECT_TRUE(KeyExists(hive, "HKEY_LOCAL_MACHINE\\Software\\MORAV"));
    EXPECT_EQ(SubkeyNames(hive, kKey), (std::vector<std::string>{"Englisch", "Latein"}));
    EXPECT_FALSE(KeyExists(hive, kKey + "\\Engl"));

    EXPECT_TRUE(RemoveKey(hive, kKey + "\\LATEIN"));
    EXPECT_FALSE(KeyExists(hive, kKey + "\\Latein\\Extra"));
    EXPECT_TRUE(RemoveKey(hive, kKey + "\\Englisch"));
    EXPECT_TRUE(KeyExists(hive, kKey));  // only implied before; it stays after its last subkey went
    EXPECT_TRUE(SubkeyNames(hive, kKey).empty());
    EXPECT_FALSE(RemoveKey(hive, kKey + "\\Englisch"));

    // listed in Windows' order: by name without regard to case, letters beyond ASCII by their code point
    for (const char* name : {"\x8A" "ach", "Zulu", "\xC4pfel", "apfel"}) SetString(hive, kKey + "\\" + name, "X", "1");
    EXPECT_EQ(SubkeyNames(hive, kKey), (std::vector<std::string>{"apfel", "Zulu", "\xC4pfel", "\x8A" "ach"}));
}

TEST(HiveFormat, KeyPathsAreNormalizedOrRefused) {
    std::string full;
    ASSERT_TRUE(NormalizeKeyPath("\\Software\\MORAV\\zanit\\Dictionary\\", full));
    EXPECT_EQ(full, kKey);
    ASSERT_TRUE(NormalizeKeyPath("", full));
    EXPECT_EQ(full, "HKEY_LOCAL_MACHINE");
    EXPECT_FALSE(NormalizeKeyPath("Software\\\\MORAV", full));
    EXPECT_FALSE(NormalizeKeyPath("Software\\A\nB", full));
    EXPECT_FALSE(StorableText("two\nlines"));
    EXPECT_FALSE(StorableText(std::string("nul\0inside", 10)));
    EXPECT_TRUE(StorableText("C:\\Programme\\zanit"));
}

TEST(HiveFormat, GarbageNeverBreaksParsing) {
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
    for (const std::string& bytes : {noise, std::string("\xFF\xFE\x41"), std::string("["), std::string("\"=\""),
                                     std::string("REGEDIT4\n[" + kKey + "]\n\"x\"=hex:\\"), std::string()}) {
        Parsed p = Parse(bytes);
        const std::string written = SerializeHive(p.hive);
        EXPECT_EQ(SerializeHive(Parse(written).hive), written);
    }
    // a hex value cut off after its continuation mark must not swallow a value written after it
    Parsed cut = Parse("REGEDIT4\n[" + kKey + "]\n\"x\"=hex:01,\\\n");
    SetString(cut.hive, kKey, "Added", "1");
    Parsed again = Parse(SerializeHive(cut.hive));
    ASSERT_NE(Value(again.hive, kKey, "Added"), nullptr);
    EXPECT_EQ(Value(again.hive, kKey, "Added")->text, "1");
}
