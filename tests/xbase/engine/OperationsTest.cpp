// What callers rely on: positioning, prefix and numeric seeks, the walk, edits and errors.
#include "EngineTestSupport.h"

#include <functional>

using namespace enginetest;
using xbase::Table;

namespace {

// A small dictionary: W1 with its key WI1, and a sound number.
class OperationsTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("wb.dbf");

    void SetUp() override {
        Table::Create(path, {{"W1", 'C', 30, 0, false}, {"WI1", 'C', 20, 0, false}, {"WW1", 'N', 11, 0, false}},
                      {{"IWI1", "WI1"}, {"INR", "WW1"}});
    }

    void Append(const std::vector<std::pair<std::string, long long>>& rows) {
        Table t;
        OpenTable(t, path, false, true);
        for (const auto& [word, number] : rows) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString(word);
            t.FieldByName("WI1").SetAsString(word);
            t.FieldByName("WW1").SetAsInteger(number);
            t.Post();
        }
        t.Close();
    }

    // Record numbers visited from the current record to the end.
    static std::vector<std::uint32_t> Walk(Table& t) {
        std::vector<std::uint32_t> out;
        for (; !t.Eof(); t.Next()) out.push_back(t.RecNo());
        return out;
    }

    static void MarkDeleted(const std::string& file, std::uint32_t recNo) {
        std::string data = ReadAll(file);
        unsigned hlen = static_cast<unsigned char>(data[8]) | (static_cast<unsigned char>(data[9]) << 8);
        unsigned reclen = static_cast<unsigned char>(data[10]) | (static_cast<unsigned char>(data[11]) << 8);
        PatchByte(file, hlen + (recNo - 1) * reclen, '*');
    }
};

TEST_F(OperationsTest, PrefixSeekFindsFirstKeyInOrderAndWalkContinuesInOrder) {
    Append({{"HAUSTIER", 1}, {"HAUS", 2}, {"BAUM", 3}, {"HAUSBOOT", 4}, {"HAUS", 5}, {"HAU", 6}});
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("HAUS"));
    EXPECT_EQ(t.RecNo(), 2u);  // "HAUS" pads with blanks, so it sorts before HAUSBOOT
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(Walk(t), (std::vector<std::uint32_t>{2, 5, 4, 1}));
    ASSERT_TRUE(t.Seek("HAUSB"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "HAUSBOOT");
    ASSERT_TRUE(t.Seek(""));
    EXPECT_EQ(t.RecNo(), 3u);
    ASSERT_TRUE(t.Seek("HAUS "));  // a trailing blank only matches the padded key
    EXPECT_EQ(t.RecNo(), 2u);
}

TEST_F(OperationsTest, SeekMissStandsOnLastRecordInOrderWithEof) {
    Append({{"HAUSTIER", 1}, {"ZEBRA", 2}, {"BAUM", 3}});
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("IWI1"));
    for (const char* key : {"HAUSX", "A", "ZZZ", "ZEBRAFINK", "HAUSTIER-LANG-ÜBER-DIE-BREITE"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(t.Seek(key));
        EXPECT_TRUE(t.Eof());
        EXPECT_EQ(t.RecNo(), 2u);  // ZEBRA is last in key order
        EXPECT_EQ(t.FieldByName("W1").AsString(), "ZEBRA");
    }
    ASSERT_TRUE(t.Seek("BAUM"));
    EXPECT_FALSE(t.Eof());
}

TEST_F(OperationsTest, NumericTagSeeksTheNumberOfTheDecimalText) {
    Append({{"A", 12}, {"B", 120}, {"C", -5}, {"D", 2}, {"E", 1200}});
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("INR"));
    ASSERT_TRUE(t.Seek("12"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "A");  // exact, not the prefix of 120 or 1200
    ASSERT_TRUE(t.Seek("2"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "D");
    ASSERT_TRUE(t.Seek("-5"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "C");
    EXPECT_FALSE(t.Seek("1"));
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("W1").AsString(), "E");
    EXPECT_FALSE(t.Seek("zwölf"));
    EXPECT_TRUE(t.Eof());
    // Numeric order, not text order.
    t.First();
    std::vector<long long> numbers;
    for (; !t.Eof(); t.Next()) numbers.push_back(t.FieldByName("WW1").AsInteger());
    EXPECT_EQ(numbers, (std::vector<long long>{-5, 2, 12, 120, 1200}));
}

TEST_F(OperationsTest, EqualKeysComeInRecordOrderAcrossSessionsAndRebuilds) {
    Append({{"HAUS", 1}, {"BAUM", 2}, {"HAUS", 3}});
    Append({{"HAUS", 4}, {"AST", 5}, {"HAUS", 6}});
    auto check = [&] {
        Table t;
        OpenTable(t, path);
        t.SetOrder(t.TagArea("IWI1"));
        ASSERT_TRUE(t.Seek("HAUS"));
        EXPECT_EQ(Walk(t), (std::vector<std::uint32_t>{1, 3, 4, 6}));
    };
    check();
    std::filesystem::remove(dir.File("wb.zix"));
    xbase::RegisterTagDefinition("IWI1", "WI1");
    check();
}

TEST_F(OperationsTest, DeletedRecordsAreSkippedByWalkSeekAndFirst) {
    Append({{"AAL", 1}, {"HAUS", 2}, {"HAUS", 3}, {"ZOO", 4}});
    MarkDeleted(path, 1);
    MarkDeleted(path, 2);
    MarkDeleted(path, 4);
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(t.RecCount(), 4u);  // deleted records still count
    t.First();
    EXPECT_EQ(Walk(t), (std::vector<std::uint32_t>{3}));
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("HAUS"));
    EXPECT_EQ(t.RecNo(), 3u);
    EXPECT_FALSE(t.Seek("ZOO"));
    EXPECT_EQ(t.RecNo(), 3u);  // the last live record in order
    EXPECT_FALSE(t.Seek("AAL"));
    t.Go(1);
    EXPECT_TRUE(t.Deleted());
}

TEST_F(OperationsTest, NextAtTheEndKeepsTheLastRecordAndSkipMovesBothWays) {
    Append({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}});
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("IWI1"));
    t.First();
    t.Skip(2);
    EXPECT_EQ(t.FieldByName("W1").AsString(), "C");
    t.Skip(-1);
    EXPECT_EQ(t.FieldByName("W1").AsString(), "B");
    t.Skip(-5);
    EXPECT_EQ(t.FieldByName("W1").AsString(), "A");
    EXPECT_FALSE(t.Eof());
    t.Skip(10);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("W1").AsString(), "D");
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 4u);
}

TEST_F(OperationsTest, EmptyTableIsAtEndWithoutRecord) {
    Table t;
    OpenTable(t, path);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 0u);
    EXPECT_EQ(t.FieldByName("W1").AsString(), "");
    t.SetOrder(1);
    EXPECT_FALSE(t.Seek("X"));
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 0u);
}

TEST_F(OperationsTest, EveryOperationOnAClosedTableRaisesNotOpen) {
    Table t;
    t.SetFileName(path);
    std::vector<std::function<void()>> ops = {
        [&] { t.TagArea("IWI1"); },       [&] { t.SetOrder(0); },        [&] { t.IndexOrd(); },
        [&] { t.Seek("A"); },             [&] { t.Eof(); },              [&] { t.Next(); },
        [&] { t.Skip(1); },               [&] { t.First(); },            [&] { t.RecCount(); },
        [&] { t.RecNo(); },               [&] { t.FieldByName("W1"); },  [&] { t.AppendBlank(); },
        [&] { t.Edit(); },                [&] { t.Post(); },             [&] { t.Zap(); },
        [&] { t.Fields(); },              [&] { t.HasField("W1"); },     [&] { t.Go(1); },
    };
    for (std::size_t i = 0; i < ops.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(ops[i](), xbase::NotOpenError);
    }
    EXPECT_NO_THROW(t.Close());
    EXPECT_FALSE(t.Active());

    // A field taken from an open table raises once the table is closed.
    OpenTable(t, path);
    xbase::Field f = t.FieldByName("W1");
    t.Close();
    EXPECT_THROW(f.AsString(), xbase::NotOpenError);
}

TEST_F(OperationsTest, SeekWithoutOrderRaisesAndUnknownNamesAreReported) {
    Append({{"A", 1}});
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(t.IndexOrd(), 0);
    EXPECT_THROW(t.Seek("A"), xbase::NoOrderError);
    EXPECT_EQ(t.TagArea("NOPE"), 0);
    EXPECT_EQ(t.TagArea("iwi1"), 1);
    EXPECT_THROW(t.SetOrder(3), xbase::UsageError);
    EXPECT_THROW(t.FieldByName("NOPE"), xbase::FormatError);
    t.SetOrder(1);
    EXPECT_EQ(t.IndexOrd(), 1);
    t.SetOrder(0);
    EXPECT_THROW(t.Seek("A"), xbase::NoOrderError);
}

TEST_F(OperationsTest, EditChangesTheKeyAndTheOrderFollows) {
    Append({{"BAUM", 1}, {"HAUS", 2}, {"ZOO", 3}});
    {
        Table t;
        OpenTable(t, path, false, true);
        t.SetOrder(t.TagArea("IWI1"));
        ASSERT_TRUE(t.Seek("HAUS"));
        t.Edit();
        t.FieldByName("WI1").SetAsString("AAL");
        t.FieldByName("WW1").SetAsInteger(77);
        t.Post();
        EXPECT_EQ(t.RecNo(), 2u);
        t.Next();  // continues in the new order: AAL is followed by BAUM
        EXPECT_EQ(t.RecNo(), 1u);
        EXPECT_FALSE(t.Seek("HAUS"));
    }
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("IWI1"));
    t.First();
    EXPECT_EQ(Walk(t), (std::vector<std::uint32_t>{2, 1, 3}));
    t.SetOrder(t.TagArea("INR"));
    ASSERT_TRUE(t.Seek("77"));
    EXPECT_EQ(t.RecNo(), 2u);
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(OperationsTest, ChangesNeedEditStateAndWritableTable) {
    Append({{"A", 1}});
    Table t;
    OpenTable(t, path);
    t.First();
    EXPECT_THROW(t.FieldByName("W1").SetAsString("X"), xbase::UsageError);
    EXPECT_THROW(t.Edit(), xbase::UsageError);
    EXPECT_THROW(t.AppendBlank(), xbase::UsageError);
    t.Close();
    OpenTable(t, path, false, true);
    t.First();
    EXPECT_THROW(t.FieldByName("W1").SetAsString("X"), xbase::UsageError);
    t.Edit();
    t.FieldByName("W1").SetAsString("X");
    t.Cancel();
    EXPECT_EQ(t.FieldByName("W1").AsString(), "A");
}

TEST_F(OperationsTest, TextIsCutToTheFieldAndNumbersThatDoNotFitAreRefused) {
    Table::Create(path, {{"KURZ", 'C', 4, 0, false}, {"ZAHL", 'N', 3, 0, false}}, {});
    Table t;
    OpenTable(t, path, false, true);
    t.AppendBlank();
    t.FieldByName("KURZ").SetAsString("Hausboot");
    EXPECT_EQ(t.FieldByName("KURZ").AsString(), "Haus");
    t.FieldByName("ZAHL").SetAsInteger(999);
    EXPECT_THROW(t.FieldByName("ZAHL").SetAsInteger(1000), xbase::UsageError);
    EXPECT_THROW(t.FieldByName("ZAHL").SetAsString("abc"), xbase::UsageError);
    EXPECT_EQ(t.FieldByName("ZAHL").AsInteger(), 999);
    t.Post();
    EXPECT_EQ(t.FieldByName("ZAHL").AsString(), "999");
}

TEST_F(OperationsTest, CloseStoresAPendingAppend) {
    {
        Table t;
        OpenTable(t, path, false, true);
        t.AppendBlank();
        t.FieldByName("W1").SetAsString("OFFEN");
        EXPECT_EQ(t.RecNo(), 1u);
    }
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(t.RecCount(), 1u);
    t.First();
    EXPECT_EQ(t.FieldByName("W1").AsString(), "OFFEN");
}

TEST_F(OperationsTest, ZapNeedsExclusiveAndEmptiesTableMemoAndIndex) {
    Table::Create(path, {{"NR", 'N', 5, 0, false}, {"NAME", 'C', 10, 0, false}, {"TEXT", 'M', 10, 0, false}},
                  {{"INR", "NR"}});
    {
        Table t;
        OpenTable(t, path, false, false);
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(1);
        t.FieldByName("TEXT").SetAsString(std::string(500, 'x'));
        t.Post();
        EXPECT_THROW(t.Zap(), xbase::UsageError);
    }
    Table t;
    OpenTable(t, path, false, true);
    t.Zap();
    EXPECT_EQ(t.RecCount(), 0u);
    EXPECT_TRUE(t.Eof());
    t.SetOrder(t.TagArea("INR"));
    EXPECT_FALSE(t.Seek("1"));
    t.AppendBlank();
    t.FieldByName("NR").SetAsInteger(5);
    t.FieldByName("TEXT").SetAsString("neu");
    t.Post();
    ASSERT_TRUE(t.Seek("5"));
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "neu");
    t.Close();
    EXPECT_EQ(ReadAll(path).size(), 32u + 3 * 32 + 1 + 26 + 1);
    EXPECT_EQ(ReadAll(dir.File("wb.fpt")).size(), 576u);  // header + one block
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(OperationsTest, SetOrderKeepsTheCurrentRecord) {
    Append({{"C", 1}, {"A", 3}, {"B", 2}});
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("B"));
    t.SetOrder(t.TagArea("INR"));
    EXPECT_EQ(t.RecNo(), 3u);
    t.Next();
    EXPECT_EQ(t.FieldByName("W1").AsString(), "A");  // 3 follows 2 in number order
    t.SetOrder(0);
    t.Next();
    EXPECT_EQ(t.RecNo(), 3u);  // physical order from record 2
    t.Next();
    EXPECT_TRUE(t.Eof());
}

TEST_F(OperationsTest, PathJoinsFolderAndName) {
    Table t;
    t.SetFolder("/daten/");
    t.SetFileName("WB.DBF");
    EXPECT_EQ(t.Path(), "/daten/WB.DBF");
    t.SetFolder("/daten");
#ifdef _WIN32
    EXPECT_EQ(t.Path(), "/daten\\WB.DBF");  // the system's separator joins them
#else
    EXPECT_EQ(t.Path(), "/daten/WB.DBF");
#endif
    t.SetFileName("/anders/WB.DBF");
    EXPECT_EQ(t.Path(), "/anders/WB.DBF");
    t.SetFileName("fehlt.dbf");
    EXPECT_THROW(t.Open(), xbase::IoError);
    EXPECT_FALSE(t.Active());
}

}  // namespace
