// Tables written by other programs: dBASE III with and without .dbt, Visual FoxPro, FoxPro with a backlink.
#include "EngineTestSupport.h"

using namespace enginetest;
using xbase::Table;

namespace {

class VariantsTest : public ::testing::Test {
protected:
    TempFolder dir;
};

TEST_F(VariantsTest, DBase3TableWithCharacterNumericLogicalAndDate) {
    RawTable raw;
    raw.version = 0x03;
    raw.fields = {{"NAME", 'C', 10}, {"MENGE", 'N', 6, 2}, {"OK", 'L', 1}, {"AM", 'D', 8}};
    raw.records = {" " + Left("M\xFC" "hle", 10) + "  3.50" + "T" + "20240131",
                   " " + Left("Bach", 10) + "      " + "?" + "        "};
    const std::string path = dir.File("alt.dbf");
    WriteAll(path, raw.Bytes());

    Table t;
    OpenTable(t, path);
    ASSERT_EQ(t.RecCount(), 2u);
    ASSERT_EQ(t.Fields().size(), 4u);
    EXPECT_EQ(t.Fields()[1].decimals, 2);
    t.First();
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "M\xFC" "hle");
    EXPECT_EQ(t.FieldByName("MENGE").AsString(), "3.50");
    EXPECT_EQ(t.FieldByName("MENGE").AsInteger(), 3);
    EXPECT_EQ(t.FieldByName("OK").AsString(), "T");
    EXPECT_EQ(t.FieldByName("AM").AsString(), "20240131");
    t.Next();
    EXPECT_EQ(t.FieldByName("MENGE").AsString(), "");
    EXPECT_EQ(t.FieldByName("MENGE").AsInteger(), 0);
    EXPECT_EQ(t.FieldByName("OK").AsString(), "");
    EXPECT_EQ(t.FieldByName("AM").AsString(), "");
    t.Next();
    EXPECT_TRUE(t.Eof());
}

TEST_F(VariantsTest, DBase3TableCanBeAppendedToAndIndexed) {
    xbase::RegisterTagDefinition("IDATEI", "DATEI");
    RawTable raw;
    raw.fields = {{"DATEI", 'C', 10}, {"TEXT", 'C', 10}};
    raw.records = {" " + Left("ZWEI", 10) + Left("2", 10), " " + Left("EINS", 10) + Left("1", 10)};
    const std::string path = dir.File("INHALT.DBF");
    WriteAll(path, raw.Bytes());
    {
        Table t;
        OpenTable(t, path, false, true);
        t.AppendBlank();
        t.FieldByName("DATEI").SetAsString("DREI");
        t.Post();
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("INHALT.ZIX")));
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes[0], '\x03');  // the version stays
    EXPECT_EQ(bytes.size(), raw.HeaderLength() + 3 * raw.RecordLength() + 1);
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("IDATEI"));
    std::vector<std::string> order;
    for (t.First(); !t.Eof(); t.Next()) order.push_back(t.FieldByName("DATEI").AsString());
    EXPECT_EQ(order, (std::vector<std::string>{"DREI", "EINS", "ZWEI"}));
}

TEST_F(VariantsTest, DBase3MemoFileTextEndsAtTheEndMark) {
    RawTable raw;
    raw.version = 0x83;
    raw.fields = {{"NR", 'N', 4}, {"TEXT", 'M', 10}};
    raw.records = {" " + Right("1", 4) + Right("1", 10), " " + Right("2", 4) + std::string(10, ' '),
                   " " + Right("3", 4) + Right("2", 10)};
    const std::string path = dir.File("memo.dbf");
    WriteAll(path, raw.Bytes());
    std::string dbt(512, '\0');
    dbt.replace(0, 4, Le32(3));
    dbt += std::string("Hallo Welt\x1A\x1A") + std::string(512 - 12, '\0');
    dbt += std::string("zweiter Text\x1A\x1A");
    WriteAll(dir.File("memo.dbt"), dbt);

    Table t;
    OpenTable(t, path);
    t.First();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "Hallo Welt");
    t.Next();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "");
    t.Next();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "zweiter Text");
}

TEST_F(VariantsTest, DBase3MemoWrittenByTheEngineReadsBack) {
    RawTable raw;
    raw.version = 0x83;
    raw.fields = {{"TEXT", 'M', 10}};
    const std::string path = dir.File("memo.dbf");
    WriteAll(path, raw.Bytes());
    std::string dbt(512, '\0');
    dbt.replace(0, 4, Le32(1));
    WriteAll(dir.File("memo.dbt"), dbt);
    {
        Table t;
        OpenTable(t, path, false, true);
        t.AppendBlank();
        t.FieldByName("TEXT").SetAsString(std::string(700, 'a'));
        t.Post();
        t.AppendBlank();
        t.FieldByName("TEXT").SetAsString("kurz");
        t.Post();
        t.AppendBlank();
        t.FieldByName("TEXT").SetAsString(std::string("mit\x1A", 4));
        EXPECT_THROW(t.Post(), xbase::UsageError);  // the format cannot hold it
        t.Cancel();
    }
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(t.RecCount(), 2u);
    t.First();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), std::string(700, 'a'));
    t.Next();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "kurz");
}

TEST_F(VariantsTest, VisualFoxProTableWithBacklinkIntegerAndFourByteMemoPointer) {
    RawTable raw;
    raw.version = 0x30;
    raw.extraHeader = 263;
    raw.fields = {{"NR", 'I', 4}, {"NAME", 'C', 8}, {"WAVE", 'M', 4, 0, 0x04}};
    raw.records = {" " + Le32(static_cast<std::uint32_t>(-17)) + Left("minus", 8) + Le32(8),
                   " " + Le32(40000) + Left("plus", 8) + Le32(0)};
    const std::string path = dir.File("vfp.dbf");
    WriteAll(path, raw.Bytes());
    std::string fpt(512, '\0');
    fpt.replace(0, 4, Be32(9));
    fpt[7] = 64;
    fpt += Be32(0) + Be32(5) + std::string("R\0F\x1A" "F", 5) + std::string(64 - 13, '\0');
    WriteAll(dir.File("vfp.fpt"), fpt);

    xbase::RegisterTagDefinition("INR", "NR");
    Table t;
    OpenTable(t, path);
    t.First();
    EXPECT_EQ(t.FieldByName("NR").AsInteger(), -17);
    EXPECT_EQ(t.FieldByName("NR").AsString(), "-17");
    EXPECT_EQ(t.FieldByName("WAVE").AsString(), std::string("R\0F\x1A" "F", 5));
    EXPECT_TRUE(t.FieldByName("WAVE").Def().binary);
    t.Next();
    EXPECT_EQ(t.FieldByName("NR").AsInteger(), 40000);
    EXPECT_EQ(t.FieldByName("WAVE").AsString(), "");
    t.SetOrder(t.TagArea("INR"));
    ASSERT_TRUE(t.Seek("40000"));
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "plus");
    ASSERT_TRUE(t.Seek("-17"));
    EXPECT_EQ(t.RecNo(), 1u);
}

TEST_F(VariantsTest, FoxProTableWithBacklinkAndNoEndMark) {
    RawTable raw;
    raw.version = 0xF5;
    raw.extraHeader = 263;
    raw.endMark = false;
    raw.fields = {{"NR", 'N', 5}, {"TEXT", 'M', 10}};
    raw.records = {" " + Right("1", 5) + Right("8", 10)};
    const std::string path = dir.File("fremd.dbf");
    WriteAll(path, raw.Bytes());
    std::string fpt(512, '\0');
    fpt.replace(0, 4, Be32(10));
    fpt[6] = 0;
    fpt[7] = static_cast<char>(128);  // other block size
    fpt += std::string(512, '\0');    // blocks 4..7
    fpt += Be32(1) + Be32(4) + "Text" + std::string(128 - 12, '\0');
    WriteAll(dir.File("fremd.fpt"), fpt);
    {
        Table t;
        OpenTable(t, path, false, true);
        t.First();
        EXPECT_EQ(t.FieldByName("TEXT").AsString(), "Text");
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(2);
        t.FieldByName("TEXT").SetAsString("zweiter");
        t.Post();
    }
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(t.RecCount(), 2u);
    t.Go(2);
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "zweiter");
    t.Go(1);
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "Text");
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

}  // namespace
