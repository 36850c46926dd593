// The index file: kept current by the engine, rebuilt when missing, stale or foreign, checked by VerifyTable.
#include "EngineTestSupport.h"

#include <algorithm>
#include <random>

using namespace enginetest;
using xbase::Table;

namespace {

constexpr std::size_t kIndexHeader = 128;
constexpr std::size_t kDirEntry = 64;

std::uint32_t ReadLe32(const std::string& data, std::size_t at) {
    return static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8) |
           (static_cast<unsigned char>(data[at + 2]) << 16) | (std::uint32_t(static_cast<unsigned char>(data[at + 3])) << 24);
}

class IndexTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("kat.dbf");
    std::string zix = dir.File("kat.zix");

    void SetUp() override {
        xbase::RegisterTagDefinition("INR", "NR");
        Table::Create(path, {{"NR", 'N', 11, 0, false}, {"TEXT", 'C', 40, 0, false}},
                      {{"INR", "NR"}, {"ITEXT", "TEXT"}});
    }

    void Append(Table& t, long long nr, const std::string& text) {
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(nr);
        t.FieldByName("TEXT").SetAsString(text);
        t.Post();
    }

    void Fill(const std::vector<std::pair<long long, std::string>>& rows) {
        Table t;
        OpenTable(t, path, false, true);
        for (const auto& [nr, text] : rows) Append(t, nr, text);
    }

    // Another program appends a record: record bytes before the end mark, then the count.
    void AppendBehindTheEngine(long long nr, const std::string& text) {
        std::string data = ReadAll(path);
        std::uint32_t count = ReadLe32(data, 4);
        data.pop_back();
        data += " " + Right(std::to_string(nr), 11) + Left(text, 40) + "\x1A";
        data.replace(4, 4, Le32(count + 1));
        WriteAll(path, data);
    }

    std::string TextFound(Table& t, const std::string& tag, const std::string& key) {
        t.SetOrder(t.TagArea(tag));
        if (!t.Seek(key)) return "<miss>";
        return t.FieldByName("TEXT").AsString();
    }
};

TEST_F(IndexTest, IndexIsWrittenAtCloseAndUsedUnchangedByReaders) {
    Fill({{3, "drei"}, {1, "eins"}, {2, "zwei"}});
    const std::string before = ReadAll(zix);
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(TextFound(t, "INR", "2"), "zwei");
    EXPECT_EQ(TextFound(t, "ITEXT", "ei"), "eins");
    t.Close();
    EXPECT_EQ(ReadAll(zix), before);
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(IndexTest, MissingIndexIsRebuiltInMemoryWhenReadOnlyAndOnDiskWhenWritable) {
    Fill({{1, "eins"}, {2, "zwei"}});
    std::filesystem::remove(zix);
    {
        Table t;
        OpenTable(t, path);
        EXPECT_EQ(TextFound(t, "INR", "2"), "zwei");  // from the registered definition
        EXPECT_EQ(t.TagArea("ITEXT"), 0);             // not registered, and the file is gone
    }
    EXPECT_FALSE(std::filesystem::exists(zix));
    {
        Table t;
        OpenTable(t, path, false, false);
        EXPECT_EQ(TextFound(t, "INR", "1"), "eins");
    }
    EXPECT_TRUE(std::filesystem::exists(zix));
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(IndexTest, AppendByAnotherProgramMakesTheIndexStaleAndItsTagsAreRebuilt) {
    Fill({{1, "eins"}, {2, "zwei"}});
    AppendBehindTheEngine(7, "sieben");
    auto problems = xbase::VerifyTable(path, "");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("another state"), std::string::npos);
    // Seen as a lag the next open repairs, the stale index is a note and the rebuilt tags are checked.
    std::vector<std::string> notes;
    EXPECT_TRUE(xbase::VerifyTable(path, "", &notes).empty());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("rebuilt when the table is next opened"), std::string::npos) << notes[0];
    const std::string stale = ReadAll(zix);
    {
        Table t;
        OpenTable(t, path);
        EXPECT_EQ(t.RecCount(), 3u);
        EXPECT_EQ(TextFound(t, "INR", "7"), "sieben");
        EXPECT_EQ(TextFound(t, "ITEXT", "sie"), "sieben");  // tag named by the stale file
    }
    EXPECT_EQ(ReadAll(zix), stale);  // a reader never writes
    {
        Table t;
        OpenTable(t, path, false, true);
        EXPECT_EQ(TextFound(t, "ITEXT", "sie"), "sieben");
    }
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(IndexTest, ForeignIndexFileIsReplacedFromRegisteredDefinitions) {
    Fill({{4, "vier"}});
    WriteAll(zix, std::string(300, 'Q'));
    {
        Table t;
        OpenTable(t, path, false, true);
        EXPECT_EQ(TextFound(t, "INR", "4"), "vier");
        EXPECT_EQ(t.TagArea("ITEXT"), 0);
    }
    EXPECT_EQ(ReadAll(zix).substr(0, 8), "ZANITZIX");
    WriteAll(zix, "kurz");
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(TextFound(t, "INR", "4"), "vier");
}

TEST_F(IndexTest, CrashBeforeCloseLeavesAStaleIndexThatIsRebuilt) {
    Fill({{1, "eins"}});
    Table writer;
#ifdef _WIN32
    OpenTable(writer, path, false, false);  // an exclusive table cannot even be read by others on Windows
#else
    OpenTable(writer, path, false, true);
#endif
    Append(writer, 2, "zwei");
    // Snapshot of the files as a crash right now would leave them.
    std::filesystem::copy_file(path, dir.File("kopie.dbf"));
    std::filesystem::copy_file(zix, dir.File("kopie.zix"));
    Table t;
    OpenTable(t, dir.File("kopie.dbf"));
    EXPECT_EQ(t.RecCount(), 2u);
    EXPECT_EQ(TextFound(t, "ITEXT", "zw"), "zwei");
}

TEST_F(IndexTest, BulkAppendsInRandomOrderStaySortedAndSeekableMidway) {
    std::vector<int> numbers(5000);
    for (int i = 0; i < 5000; ++i) numbers[static_cast<std::size_t>(i)] = i;
    std::mt19937 rng(7);
    std::shuffle(numbers.begin(), numbers.end(), rng);
    {
        Table t;
        OpenTable(t, path, false, true);
        t.SetOrder(t.TagArea("INR"));
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            Append(t, numbers[i], "T" + std::to_string(numbers[i]));
            if (i % 997 == 0) {
                ASSERT_TRUE(t.Seek(std::to_string(numbers[i / 2])));
                EXPECT_EQ(t.FieldByName("NR").AsInteger(), numbers[i / 2]);
            }
        }
    }
    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("INR"));
    t.First();
    long long expected = 0;
    for (; !t.Eof(); t.Next()) ASSERT_EQ(t.FieldByName("NR").AsInteger(), expected++);
    EXPECT_EQ(expected, 5000);
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(IndexTest, DamagedEntriesAreSkippedAndReported) {
    Fill({{1, "a"}, {2, "b"}, {3, "c"}});
    std::string data = ReadAll(zix);
    ASSERT_EQ(ReadLe32(data, 12), 2u);
    const std::size_t dir0 = kIndexHeader;
    ASSERT_EQ(data.substr(dir0, 3), std::string("INR"));
    const std::size_t entries = ReadLe32(data, dir0 + 48);
    const std::size_t es = 8 + 4;
    // Entry 2 points past the table, entries 0 and 1 swap places.
    data.replace(entries + 2 * es + 8, 4, Le32(999));
    std::string e0 = data.substr(entries, es), e1 = data.substr(entries + es, es);
    data.replace(entries, es, e1);
    data.replace(entries + es, es, e0);
    WriteAll(zix, data);

    Table t;
    OpenTable(t, path);
    t.SetOrder(t.TagArea("INR"));
    t.First();
    std::vector<std::uint32_t> seen;
    for (; !t.Eof(); t.Next()) seen.push_back(t.RecNo());
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{2, 1}));
    t.Close();

    auto problems = xbase::VerifyTable(path, "");
    auto has = [&](const std::string& text) {
        return std::any_of(problems.begin(), problems.end(),
                           [&](const std::string& p) { return p.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has("out of order"));
    EXPECT_TRUE(has("past the table"));
}

TEST_F(IndexTest, KeyThatDisagreesWithItsRecordIsReported) {
    Fill({{1, "alpha"}, {2, "beta"}});
    std::string data = ReadAll(path);
    const std::size_t hlen = ReadLe32(data, 8) & 0xFFFF;
    data[hlen + 52 + 12] = 'X';  // "beta" -> "Xeta" in record 2, behind the engine, header untouched
    WriteAll(path, data);
    auto problems = xbase::VerifyTable(path, "");
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].find("differs from the record"), std::string::npos);
}

}  // namespace
