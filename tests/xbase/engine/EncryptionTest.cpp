// Password-protected tables: unreadable without the password, nothing of the contents in plain text.
#include "EngineTestSupport.h"

#ifndef _WIN32
#include <sys/resource.h>  // the file size limit of the refused-run test (POSIX only)
#endif

#include <csignal>

using namespace enginetest;
using xbase::Table;

namespace {

const std::string kPassword = "qT#4m2-w";

class EncryptionTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("geheim.dbf");

    void SetUp() override {
        Table::Create(path, {{"W1", 'C', 30, 0, false}, {"WI1", 'C', 20, 0, false}, {"WW1", 'N', 11, 0, false},
                             {"WAVE", 'M', 10, 0, true}},
                      {{"IWI1", "WI1"}, {"INR", "WW1"}}, kPassword);
        Table t;
        OpenTable(t, path, false, true, kPassword);
        const char* words[] = {"GEHEIMWORT", "BAUMKRONE", "HAUSTUERE"};
        for (int i = 0; i < 3; ++i) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString(words[i]);
            t.FieldByName("WI1").SetAsString(words[i]);
            t.FieldByName("WW1").SetAsInteger(4711 + i);
            t.FieldByName("WAVE").SetAsString(std::string("RIFFGEHEIMKLANG") + words[i]);
            t.Post();
        }
    }
};

TEST_F(EncryptionTest, OpensOnlyWithTheRightPassword) {
    Table t;
    EXPECT_THROW(OpenTable(t, path), xbase::PasswordError);
    EXPECT_FALSE(t.Active());
    EXPECT_THROW(OpenTable(t, path, true, false, "falsch"), xbase::PasswordError);
    EXPECT_THROW(OpenTable(t, path, true, false, kPassword + "x"), xbase::PasswordError);
    OpenTable(t, path, true, false, kPassword);
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("HAUS"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "HAUSTUERE");
    EXPECT_EQ(t.FieldByName("WAVE").AsString(), "RIFFGEHEIMKLANGHAUSTUERE");
    t.SetOrder(t.TagArea("INR"));
    ASSERT_TRUE(t.Seek("4711"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "GEHEIMWORT");
    EXPECT_FALSE(t.Seek("4710"));
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(xbase::VerifyTable(path, kPassword).empty());
    EXPECT_FALSE(xbase::VerifyTable(path, "falsch").empty());
}

TEST_F(EncryptionTest, NoFileHoldsTheContentsInPlainText) {
    for (const char* file : {"geheim.dbf", "geheim.fpt", "geheim.zix"}) {
        SCOPED_TRACE(file);
        const std::string data = ReadAll(dir.File(file));
        ASSERT_FALSE(data.empty());
        for (const char* secret : {"GEHEIM", "BAUMKRONE", "HAUSTUERE", "RIFF", "4711"}) {
            EXPECT_EQ(data.find(secret), std::string::npos) << secret;
        }
    }
    const std::string dbf = ReadAll(path);
    EXPECT_EQ(dbf[15], '\x01');
    EXPECT_EQ(dbf.substr(32, 2), "W1");  // descriptors stay readable for other programs
    EXPECT_EQ(dbf[32 + 4 * 32], '\x0D');
}

TEST_F(EncryptionTest, IndexRebuiltFromEncryptedRecordsIsCorrect) {
    std::filesystem::remove(dir.File("geheim.zix"));
    xbase::RegisterTagDefinition("IWI1", "WI1");
    {
        Table t;
        OpenTable(t, path, true, false, kPassword);
        t.SetOrder(t.TagArea("IWI1"));
        std::vector<std::string> order;
        for (t.First(); !t.Eof(); t.Next()) order.push_back(t.FieldByName("WI1").AsString());
        EXPECT_EQ(order, (std::vector<std::string>{"BAUMKRONE", "GEHEIMWORT", "HAUSTUERE"}));
    }
    {
        Table t;
        OpenTable(t, path, false, true, kPassword);  // writes the rebuilt index
    }
    EXPECT_EQ(ReadAll(dir.File("geheim.zix")).find("BAUMKRONE"), std::string::npos);
    EXPECT_TRUE(xbase::VerifyTable(path, kPassword).empty());
}

TEST_F(EncryptionTest, EditAndZapKeepTheTableReadable) {
    {
        Table t;
        OpenTable(t, path, false, true, kPassword);
        t.SetOrder(t.TagArea("IWI1"));
        ASSERT_TRUE(t.Seek("BAUM"));
        t.Edit();
        t.FieldByName("W1").SetAsString("Baumkrone");
        t.Post();
    }
    {
        Table t;
        OpenTable(t, path, true, false, kPassword);
        t.SetOrder(t.TagArea("IWI1"));
        ASSERT_TRUE(t.Seek("BAUM"));
        EXPECT_EQ(t.FieldByName("W1").AsString(), "Baumkrone");
    }
    const std::string before = ReadAll(path).substr(0, 32 + 4 * 32 + 1 + 48);
    {
        Table t;
        OpenTable(t, path, false, true, kPassword);
        t.Zap();
        t.AppendBlank();
        t.FieldByName("W1").SetAsString("NEU");
        t.FieldByName("WAVE").SetAsString("klang");
        t.Post();
    }
    const std::string after = ReadAll(path).substr(0, 32 + 4 * 32 + 1 + 48);
    EXPECT_NE(before.substr(32 + 4 * 32 + 1), after.substr(32 + 4 * 32 + 1));  // a fresh salt
    Table t;
    EXPECT_THROW(OpenTable(t, path, true, false, "falsch"), xbase::PasswordError);
    OpenTable(t, path, true, false, kPassword);
    t.First();
    EXPECT_EQ(t.FieldByName("W1").AsString(), "NEU");
    EXPECT_EQ(t.FieldByName("WAVE").AsString(), "klang");
}

TEST_F(EncryptionTest, PlainTableOpensWhateverPasswordIsGiven) {
    const std::string plain = dir.File("offen.dbf");
    Table::Create(plain, {{"W1", 'C', 5, 0, false}}, {});
    Table t;
    EXPECT_NO_THROW(OpenTable(t, plain, true, false, "irgendwas"));
}

TEST_F(EncryptionTest, EncryptedFlagWithoutKeyBlockIsAFormatError) {
    RawTable raw;
    raw.fields = {{"W1", 'C', 5}};
    raw.records = {" abcde"};
    std::string bytes = raw.Bytes();
    bytes[15] = 1;
    const std::string other = dir.File("fremd.dbf");
    WriteAll(other, bytes);
    Table t;
    EXPECT_THROW(OpenTable(t, other, true, false, kPassword), xbase::FormatError);
}

// A bulk load (exclusive, sync on post off) collects its appends and writes them in large runs: what is read
// in between, edited, verified and opened afterwards is what was appended, and encrypted like any record.
TEST(BulkAppend, RecordsWaitingForTheirRunReadBackAsAppended) {
    TempFolder dir;
    const std::string path = dir.File("bulk.dbf");
    Table::Create(path, {{"W1", 'C', 200, 0, false}, {"WI1", 'C', 20, 0, false}, {"NR", 'N', 11, 0, false}},
                  {{"IWI1", "WI1"}, {"INR", "NR"}}, kPassword);
    auto word = [](int i) { return "WORT" + std::to_string(100000 + i); };
    constexpr int kRecords = 40000;  // 9 MB of records: runs written on the way and some left for Close
    {
        Table t;
        OpenTable(t, path, false, true, kPassword);
        t.SetSyncOnPost(false);
        for (int i = 0; i < kRecords; ++i) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString(word(i) + " lang");
            t.FieldByName("WI1").SetAsString(word(kRecords - i));  // reverse order: the tag sorts at the end
            t.FieldByName("NR").SetAsInteger(i);
            t.Post();
            if (i == 30000) {
                // the record just appended and an earlier one still waiting are read from the file
                EXPECT_EQ(t.FieldByName("NR").AsInteger(), 30000);
                t.Go(29990);
                EXPECT_EQ(t.FieldByName("W1").AsString(), word(29989) + " lang");
                t.Edit();
                t.FieldByName("NR").SetAsInteger(-7);
                t.Post();
            }
        }
        EXPECT_EQ(t.RecCount(), static_cast<std::uint32_t>(kRecords));
        t.Go(kRecords);
        EXPECT_EQ(t.FieldByName("NR").AsInteger(), kRecords - 1);
    }
    EXPECT_TRUE(xbase::VerifyTable(path, kPassword).empty());
    const std::string data = ReadAll(path);
    EXPECT_EQ(data.find("WORT1"), std::string::npos);
    EXPECT_EQ(data.back(), '\x1A');  // the end mark follows the last run
    Table t;
    OpenTable(t, path, true, false, kPassword);
    ASSERT_EQ(t.RecCount(), static_cast<std::uint32_t>(kRecords));
    t.SetOrder(t.TagArea("INR"));
    ASSERT_TRUE(t.Seek("-7"));
    EXPECT_EQ(t.RecNo(), 29990u);
    t.SetOrder(t.TagArea("IWI1"));
    t.First();
    EXPECT_EQ(t.RecNo(), static_cast<std::uint32_t>(kRecords));  // the last appended has the smallest key
    for (int i : {0, 1, 18000, 35000, kRecords - 1}) {
        ASSERT_TRUE(t.Seek(word(kRecords - i)));
        EXPECT_EQ(t.FieldByName("W1").AsString(), word(i) + " lang");
    }
}

#ifndef _WIN32
// A run written behind the load that the file system refuses (here: the process's file size limit) is
// reported by a later call of the load or at Close, never lost: the load does not end as if it had succeeded.
TEST(BulkAppend, ARefusedRunIsReportedAndNotLost) {
    TempFolder dir;
    const std::string path = dir.File("voll.dbf");
    Table::Create(path, {{"W1", 'C', 200, 0, false}, {"WI1", 'C', 20, 0, false}}, {{"IWI1", "WI1"}}, kPassword);
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    struct rlimit small = before;
    small.rlim_cur = 3 << 20;  // not even the first 4 MiB run fits
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool reported = false;
    try {
        Table t;
        OpenTable(t, path, false, true, kPassword);
        t.SetSyncOnPost(false);
        for (int i = 0; i < 40000; ++i) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString("Eintrag " + std::to_string(i));
            t.FieldByName("WI1").SetAsString("E" + std::to_string(i));
            t.Post();
        }
        t.Close();
    } catch (const xbase::TableError&) {
        reported = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(reported);
}
#endif

}  // namespace
