// The table tool's own behaviour: schema and value checks, exit codes, passwords, no half-made tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "child_process.h"
#include "listing.h"
#include "zanit-table/Schema.h"
#include "zanit-table/Tsv.h"
#include "zanit-table/Values.h"

namespace {

namespace fs = std::filesystem;
using zanit_table::NormaliseNumber;

crashtest::RunResult Tool(std::vector<std::string> args) {
    args.insert(args.begin(), crashtest::BinaryPath("zanit-table"));
    return crashtest::Run(args);
}

TEST(SchemaTest, ParsesEveryTypeAndRejectsWhatATableCannotHold) {
    const auto f = zanit_table::ParseSchema("w1:c:60,WA:N:11,preis:n:8:2,OK:L,DATUM:D,NOTE:M,WAVE:M:b");
    ASSERT_EQ(f.size(), 7u);
    EXPECT_EQ(f[0].name, "W1");
    EXPECT_EQ(f[0].length, 60);
    EXPECT_EQ(f[2].decimals, 2);
    EXPECT_EQ(f[4].length, 8);
    EXPECT_FALSE(f[5].binary);
    EXPECT_TRUE(f[6].binary);
    for (const char* bad : {"", "W1", "W1:C", "W1:C:0", "W1:C:255", "W1:X:5", "1W:C:5", "ELEVENCHARS:C:5",
                            "W1:C:5,w1:C:5", "N:N:5:4", "M:M:T", "L:L:1", "W1:C:5,", "W1:C:5x"})
        EXPECT_THROW(zanit_table::ParseSchema(bad), std::invalid_argument) << bad;
    EXPECT_THROW(zanit_table::ParseTag("IX=NOTE", f), std::invalid_argument);
    EXPECT_THROW(zanit_table::ParseTag("IX=NOPE", f), std::invalid_argument);
    EXPECT_THROW(zanit_table::ParseTag("IX", f), std::invalid_argument);
    EXPECT_EQ(zanit_table::ParseTag("iwi1=w1", f).field, "W1");
}

TEST(ValueTest, NumbersAreNormalisedOrRefused) {
    EXPECT_EQ(NormaliseNumber("+007", 11, 0), "7");
    EXPECT_EQ(NormaliseNumber("-0", 11, 0), "0");
    EXPECT_EQ(NormaliseNumber(".5", 8, 2), "0.50");
    EXPECT_EQ(NormaliseNumber("-12.300", 8, 2), "-12.30");
    EXPECT_EQ(NormaliseNumber("99999999999", 11, 0), "99999999999");
    for (const char* bad : {"", "-", ".", "1e5", "1,5", " 1", "0x10", "1.2.3"})
        EXPECT_THROW(NormaliseNumber(bad, 11, 0), std::invalid_argument) << bad;
    EXPECT_THROW(NormaliseNumber("1.25", 8, 1), std::invalid_argument);   // would lose a digit
    EXPECT_THROW(NormaliseNumber("123456789012", 11, 0), std::invalid_argument);
    EXPECT_THROW(NormaliseNumber("-99999.5", 8, 2), std::invalid_argument);  // "-99999.50" is 9 wide
}

TEST(ValueTest, EscapesRoundTripAndUnknownOnesAreRefused) {
    const std::string raw = "a\tb\nc\rd\\e";
    std::string escaped;
    zanit_table::AppendEscapedTsv(escaped, raw);
    EXPECT_EQ(escaped.find_first_of("\t\n\r"), std::string::npos);
    EXPECT_EQ(zanit_table::UnescapeTsv(escaped), raw);
    EXPECT_THROW(zanit_table::UnescapeTsv("a\\x"), std::invalid_argument);
    EXPECT_THROW(zanit_table::UnescapeTsv("a\\"), std::invalid_argument);
}

TEST(ValueTest, DatesAndLogicalsAreChecked) {
    zanit_table::ValueContext context;
    xbase::FieldDef date{"D", 'D', 8, 0, false};
    EXPECT_EQ(zanit_table::ToStoredValue(date, "20240229", context), "20240229");
    for (const char* bad : {"20230229", "19001301", "2024-01-01", "2024010"})
        EXPECT_THROW(zanit_table::ToStoredValue(date, bad, context), std::invalid_argument) << bad;
    xbase::FieldDef logical{"L", 'L', 1, 0, false};
    EXPECT_EQ(zanit_table::ToStoredValue(logical, "n", context), "F");
    EXPECT_THROW(zanit_table::ToStoredValue(logical, "yes", context), std::invalid_argument);
    xbase::FieldDef text{"C", 'C', 3, 0, false};
    EXPECT_EQ(zanit_table::ToStoredValue(text, "äöü", context), "\xe4\xf6\xfc");  // 3 bytes in the code page
    EXPECT_THROW(zanit_table::ToStoredValue(text, "äöüx", context), std::invalid_argument);
    EXPECT_EQ(zanit_table::ToStoredValue(text, "→x", context), "?x");
    EXPECT_EQ(context.unmappable, 1u);
}

TEST(LineReaderTest, SplitsLinesAcrossBufferRefillsAndDropsCarriageReturns) {
    const std::string dir = crashtest::MakeTempDir();
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    text += "last";  // no line feed at the end
    interop::WriteFile(dir + "/lines", text);
    std::FILE* f = std::fopen((dir + "/lines").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    zanit_table::LineReader reader(f);
    std::string line;
    int n = 0;
    bool allMatch = true;
    while (reader.Next(line)) {
        const std::string want = n < 200000 ? "line " + std::to_string(n) : "last";
        allMatch = allMatch && line == want;
        ++n;
    }
    std::fclose(f);
    crashtest::RemoveTree(dir);
    EXPECT_TRUE(allMatch);
    EXPECT_EQ(n, 200001);
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = crashtest::MakeTempDir();
        table_ = dir_ + "/T.DBF";
    }
    void TearDown() override { crashtest::RemoveTree(dir_); }
    std::string Input(const std::string& text) { return interop::WriteFile(dir_ + "/in.tsv", text); }
    bool NothingLeft() const {
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().stem() == "T") return false;
        return true;
    }
    std::string dir_, table_;
};

TEST_F(ToolTest, BadLineLeavesNoTableAndNamesTheLine) {
    struct Case {
        const char* tsv;
        const char* message;
    };
    for (const Case& c : {Case{"W1\tWA\na\t1\nb\n", "line 3"}, Case{"W1\tWA\na\t1\nb\tzwei\n", "line 3, field WA"},
                          Case{"W1\tWA\nabcdefghijk\t1\n", "line 2, field W1"}, Case{"W1\tNOPE\n", "NOPE"},
                          Case{"W1\tWA\na\\q\t1\n", "escape"}, Case{"W1\tW1\n", "twice"},
                          Case{"W1\tNOTE\na\t@missing.txt\n", "missing.txt"}}) {
        const auto r = Tool({"create", table_, "--schema", "W1:C:10,WA:N:5,NOTE:M", Input(c.tsv)});
        EXPECT_EQ(r.exitCode, 1) << c.tsv;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(NothingLeft()) << c.tsv;
    }
}

TEST_F(ToolTest, UsageAndOpenErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", table_},
        {"create", table_},
        {"create", table_, "--schema", "W1:Q:3"},
        {"create", table_, "--schema", "W1:C:3", "--tag", "I=NOPE"},
        {"create", table_, "--schema", "W1:C:3", "--tag", "I=W1", "--tag", "i=W1"},
        {"create", table_, "--schema", "W1:C:3", dir_ + "/no-such.tsv"},
        {"dump", dir_ + "/NOSUCH.DBF"},
        {"verify", dir_ + "/NOSUCH.DBF"},
        {"dump", table_, "--schema", "W1:C:3"},
        {"dump"},
        {"dump", table_, "--password"},
    };
    for (const auto& args : cases) {
        const auto r = Tool(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args[0]) << " " << r.err;
        EXPECT_NE(r.err.find("zanit-table: "), std::string::npos);
    }
    EXPECT_TRUE(NothingLeft());
}

TEST_F(ToolTest, PasswordProtectedTableNeedsItsPassword) {
    const std::string tsv = "W1\tWAVE\ngeheim\t00ff1a\nöffentlich\t\n";
    ASSERT_EQ(Tool({"create", table_, "--schema", "W1:C:20,WAVE:M:B", "--password", "qT#4m2-w", "--tag", "IW=W1",
                    Input(tsv)})
                  .exitCode,
              0);
    const auto dump = Tool({"dump", table_, "--password", "qT#4m2-w", "--order", "IW"});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_EQ(dump.out, "W1\tWAVE\ngeheim\t00ff1a\nöffentlich\t\n");
    EXPECT_EQ(Tool({"dump", table_}).exitCode, 2);
    EXPECT_EQ(Tool({"dump", table_, "--password", "qT#4m2-W"}).exitCode, 2);
    EXPECT_EQ(Tool({"verify", table_, "--password", "qT#4m2-w"}).exitCode, 0);
    EXPECT_EQ(Tool({"verify", table_}).exitCode, 2);
    EXPECT_EQ(Tool({"reindex", table_, "--password", "falsch"}).exitCode, 2);
    EXPECT_EQ(Tool({"dump", table_, "--password", "qT#4m2-w", "--order", "NOPE"}).exitCode, 2);
    // The plain text is nowhere in the files.
    for (const auto& e : fs::directory_iterator(dir_)) {
        if (e.path().stem() != "T") continue;
        std::FILE* f = std::fopen(e.path().c_str(), "rb");
        std::string bytes(fs::file_size(e.path()), '\0');
        ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
        EXPECT_EQ(bytes.find("geheim"), std::string::npos) << e.path();
    }
}

TEST_F(ToolTest, UnmappableCharactersAreCountedAndStoredAsQuestionMarks) {
    const auto r = Tool({"create", table_, "--schema", "W1:C:20", Input("W1\nPfeil → Ziel\n日本\n")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("3 character"), std::string::npos) << r.err;
    EXPECT_EQ(Tool({"dump", table_}).out, "W1\nPfeil ? Ziel\n??\n");
}

TEST_F(ToolTest, FreshTableWithoutTagsIsSound) {
    ASSERT_EQ(Tool({"create", table_, "--schema", "W1:C:10", Input("W1\na\nb\n")}).exitCode, 0);
    const auto r = Tool({"verify", table_});
    EXPECT_EQ(r.exitCode, 0) << r.out;
}

TEST_F(ToolTest, VerifyNamesDamageAndExitsWithOne) {
    ASSERT_EQ(Tool({"create", table_, "--schema", "W1:C:10,WA:N:5,NOTE:M", "--tag", "IW=W1",
                    Input("W1\tWA\tNOTE\na\t1\tx\nb\t2\ty\n")})
                  .exitCode,
              0);
    ASSERT_EQ(Tool({"verify", table_}).exitCode, 0);
    std::FILE* f = std::fopen(table_.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    unsigned char header[12];
    ASSERT_EQ(std::fread(header, 1, sizeof header, f), sizeof header);
    const long headerLength = header[8] | header[9] << 8;
    const long recordLength = header[10] | header[11] << 8;
    std::fseek(f, headerLength + recordLength + 1 + 10, SEEK_SET);  // WA of record 2
    std::fputs("x!", f);
    std::fclose(f);
    const auto r = Tool({"verify", table_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("record 2"), std::string::npos) << r.out;
    // A memo file cut short is found as well.
    fs::resize_file(fs::path(table_).replace_extension(".FPT"), 520);
    EXPECT_NE(Tool({"verify", table_}).out.find("NOTE"), std::string::npos);
}

TEST_F(ToolTest, ReindexRebuildsTagsAndAddsNewOnes) {
    std::string tsv = "W1\tNR\n";
    for (int i = 0; i < 500; ++i) tsv += "w" + std::to_string((i * 7) % 500) + "\t" + std::to_string(500 - i) + "\n";
    ASSERT_EQ(Tool({"create", table_, "--schema", "W1:C:10,NR:N:11", "--tag", "IW=W1", Input(tsv)}).exitCode, 0);
    const auto r = Tool({"reindex", table_, "--tag", "INR=NR"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto byNr = Tool({"dump", table_, "--order", "INR"});
    ASSERT_EQ(byNr.exitCode, 0) << byNr.err;
    EXPECT_EQ(byNr.out.rfind("W1\tNR\nw493\t1\nw486\t2\n", 0), 0u) << byNr.out.substr(0, 40);
    const auto byW = Tool({"dump", table_, "--order", "IW"});
    ASSERT_EQ(byW.exitCode, 0) << byW.err;
    EXPECT_EQ(byW.out.rfind("W1\tNR\nw0\t500\nw1\t357\nw10\t", 0), 0u) << byW.out.substr(0, 40);
    EXPECT_EQ(Tool({"verify", table_}).exitCode, 0);
}

}  // namespace
