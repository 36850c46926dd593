// The zanit-dict command line: good input gives a table, bad input a message and no table.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "search/Woerterbuchbau.h"
#include "xbase/Table.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string output;  // stdout and stderr
};

Result RunTool(const std::string& arguments) {
    const std::string command = std::string(ZANIT_BINARY_DIR) + "/bin/zanit-dict " + arguments + " 2>&1";
    Result r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) r.output += buffer;
    const int status = ::pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class ZanitDictTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zanit-dict-tool-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& text) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    fs::path dir_;
};

TEST_F(ZanitDictTool, BuildsATableWithThePasswordAndWidth) {
    const std::string source = Write("q.tsv", "Stra\xC3\x9F" "e\tstreet\t2\t1\t2\nhaus\thouse\t2\n");
    const std::string out = (dir_ / "DE.DBF").string();
    const Result r = RunTool(source + " --out " + out + " --textm Deutsch --textf Englisch --password geheim --width 30");
    ASSERT_EQ(r.code, 2) << r.output;  // the command word is missing
    const Result ok =
        RunTool("build " + source + " --out " + out + " --textm Deutsch --textf Englisch --password geheim --width 30");
    ASSERT_EQ(ok.code, 0) << ok.output;
    xbase::Table t;
    t.SetFileName(out);
    t.SetReadOnly(true);
    t.SetPassword("geheim");
    t.Open();
    EXPECT_EQ(t.RecCount(), 2u);
    EXPECT_EQ(t.FieldByName("W1").Def().length, 30);
    t.First();  // stored in key order
    EXPECT_EQ(t.FieldByName("WI1").AsString(), "HAUS");
    t.Next();
    EXPECT_EQ(t.FieldByName("WI1").AsString(), "STRASSE");
}

TEST_F(ZanitDictTool, BadSourceLeavesNoTable) {
    const std::string source = Write("q.tsv", "gut\tgood\t3\nschlecht\tbad\t99\n");
    const std::string out = (dir_ / "DE.DBF").string();
    const Result r = RunTool("build " + source + " --out " + out + " --textm Deutsch --textf Englisch");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find(":2:"), std::string::npos) << r.output;  // names the line
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ZanitDictTool, RejectsIncompleteCommandLines) {
    const std::string source = Write("q.tsv", "gut\tgood\t3\n");
    const std::string out = (dir_ / "DE.DBF").string();
    EXPECT_EQ(RunTool("").code, 2);
    EXPECT_EQ(RunTool("build " + source + " --textm Deutsch --textf Englisch").code, 2);
    EXPECT_EQ(RunTool("build " + source + " --out " + out + " --textm Deutsch").code, 2);
    EXPECT_EQ(RunTool("build " + source + " --out " + out + " --textm Deutsch --textf Englisch --width 255").code, 2);
    EXPECT_EQ(RunTool("build " + source + " --out " + out + " --textm Deutsch --textf Englisch --width 1x").code, 2);
    EXPECT_EQ(RunTool("build " + source + " --out").code, 2);
    EXPECT_EQ(RunTool("build " + (dir_ / "fehlt.tsv").string() + " --out " + out + " --textm D --textf E").code, 1);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
