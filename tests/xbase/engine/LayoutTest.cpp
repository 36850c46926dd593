// The bytes the engine writes: header, descriptors, records, end mark and memo blocks.
#include "EngineTestSupport.h"

#include <ctime>

using namespace enginetest;
using xbase::FieldDef;
using xbase::Table;

namespace {

std::string Riff276() {
    std::string blob = "RIFF";
    blob += Le32(268);
    blob += "WAVEfmt ";
    while (blob.size() < 276) blob += static_cast<char>(blob.size() % 251);  // includes 0x00 and 0x1A
    return blob;
}

class LayoutTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("ton.dbf");

    void CreateSoundTable(const std::string& password = {}) {
        Table::Create(path,
                      {{"NR", 'N', 11, 0, false}, {"NAME", 'C', 15, 0, false}, {"WAVE", 'M', 10, 0, true},
                       {"NOTE", 'M', 10, 0, false}},
                      {{"INR", "NR"}}, password);
        Table t;
        OpenTable(t, path, false, true, password);
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(1);
        t.FieldByName("NAME").SetAsString("Haus");
        t.FieldByName("WAVE").SetAsString(Riff276());
        t.FieldByName("NOTE").SetAsString("Gr\xFC\xDF" "e Dir");
        t.Post();
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(2);
        t.FieldByName("NAME").SetAsString("Baum");
        t.Post();
        t.Close();
    }
};

TEST_F(LayoutTest, TableBytesFollowTheFoxProLayout) {
    CreateSoundTable();
    const std::string dbf = ReadAll(path);
    ASSERT_EQ(dbf.size(), 256u);

    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::string expected;
    expected += '\xF5';
    expected += static_cast<char>(tm.tm_year);
    expected += static_cast<char>(tm.tm_mon + 1);
    expected += static_cast<char>(tm.tm_mday);
    expected += Le32(2) + Le16(0xA1) + Le16(0x2F);
    expected += std::string(17, '\0') + '\x03' + std::string(2, '\0');
    auto descriptor = [](const std::string& name, char type, unsigned offset, int length, unsigned char flags) {
        std::string d(32, '\0');
        d.replace(0, name.size(), name);
        d[11] = type;
        d.replace(12, 4, Le32(offset));
        d[16] = static_cast<char>(length);
        d[18] = static_cast<char>(flags);
        return d;
    };
    expected += descriptor("NR", 'N', 1, 11, 0);
    expected += descriptor("NAME", 'C', 12, 15, 0);
    expected += descriptor("WAVE", 'M', 27, 10, 0x04);
    expected += descriptor("NOTE", 'M', 37, 10, 0);
    expected += '\x0D';
    expected += " " + Right("1", 11) + Left("Haus", 15) + Right("8", 10) + Right("13", 10);
    expected += " " + Right("2", 11) + Left("Baum", 15) + std::string(20, ' ');
    expected += '\x1A';
    EXPECT_EQ(dbf, expected);
}

TEST_F(LayoutTest, MemoBlocksAreLengthPrefixedAndTypedBinaryOrText) {
    CreateSoundTable();
    const std::string fpt = ReadAll(dir.File("ton.fpt"));
    ASSERT_EQ(fpt.size(), 14u * 64);
    EXPECT_EQ(fpt.substr(0, 8), Be32(14) + std::string("\0\0\0\x40", 4));
    EXPECT_EQ(fpt.substr(8, 504), std::string(504, '\0'));
    EXPECT_EQ(fpt.substr(512, 8), Be32(0) + Be32(276));
    EXPECT_EQ(fpt.substr(520, 276), Riff276());
    EXPECT_EQ(fpt.substr(13 * 64, 8), Be32(1) + Be32(9));
    EXPECT_EQ(fpt.substr(13 * 64 + 8, 9), "Gr\xFC\xDF" "e Dir");
}

TEST_F(LayoutTest, ValuesReadBackAsWritten) {
    CreateSoundTable();
    Table t;
    OpenTable(t, path);
    t.First();
    EXPECT_EQ(t.FieldByName("WAVE").AsString(), Riff276());
    EXPECT_EQ(t.FieldByName("NOTE").AsString(), "Gr\xFC\xDF" "e Dir");
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "Haus");
    EXPECT_EQ(t.FieldByName("NR").AsString(), "1");
    t.Next();
    EXPECT_EQ(t.FieldByName("WAVE").AsString(), "");
    EXPECT_EQ(t.FieldByName("NR").AsInteger(), 2);
}

TEST_F(LayoutTest, NewTableIsHeaderAndEndMarkOnly) {
    Table::Create(path, {{"W1", 'C', 20, 0, false}, {"OK", 'L', 1, 0, false}, {"DATUM", 'D', 8, 0, false}}, {});
    const std::string dbf = ReadAll(path);
    ASSERT_EQ(dbf.size(), 32u + 3 * 32 + 1 + 1);
    EXPECT_EQ(dbf.substr(4, 4), Le32(0));
    EXPECT_EQ(static_cast<unsigned char>(dbf[28]), 0u);  // no structural index: other readers look for none
    EXPECT_EQ(dbf[32 + 3 * 32], '\x0D');
    EXPECT_EQ(dbf.back(), '\x1A');
    EXPECT_FALSE(std::filesystem::exists(dir.File("ton.fpt")));
}

TEST_F(LayoutTest, LogicalDateAndNumericFieldsAreStoredAsText) {
    Table::Create(path,
                  {{"OK", 'L', 1, 0, false}, {"DATUM", 'D', 8, 0, false}, {"BETRAG", 'N', 8, 2, false}}, {});
    Table t;
    OpenTable(t, path, false, true);
    t.AppendBlank();
    t.FieldByName("OK").SetAsString("T");
    t.FieldByName("DATUM").SetAsString("20240517");
    t.FieldByName("BETRAG").SetAsInteger(-42);
    t.Post();
    EXPECT_EQ(t.FieldByName("OK").AsString(), "T");
    EXPECT_EQ(t.FieldByName("DATUM").AsString(), "20240517");
    EXPECT_EQ(t.FieldByName("BETRAG").AsString(), "-42.00");
    EXPECT_EQ(t.FieldByName("BETRAG").AsInteger(), -42);
    t.Close();
    const std::string dbf = ReadAll(path);
    EXPECT_EQ(dbf.substr(32 * 4 + 1, 18), " T20240517  -42.00");
}

TEST_F(LayoutTest, CreateRejectsFieldsOtherProgramsCannotRead) {
    EXPECT_THROW(Table::Create(path, {{"lower", 'C', 5, 0, false}}, {}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"ELFZEICHENXX", 'C', 5, 0, false}}, {}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"W", 'C', 0, 0, false}}, {}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"W", 'C', 300, 0, false}}, {}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"W", 'X', 5, 0, false}}, {}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"W", 'C', 5, 0, false}, {"W", 'C', 5, 0, false}}, {}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"W", 'C', 5, 0, false}}, {{"IX", "NOPE"}}), xbase::UsageError);
    EXPECT_THROW(Table::Create(path, {{"W", 'M', 10, 0, false}}, {{"IW", "W"}}), xbase::UsageError);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
