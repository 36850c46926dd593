// Replacing a table with `zanit-table create` while the tool is killed: after every kill the table (with its
// memo and index) is wholly the old one or wholly the new one, as the next open finds it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "child_process.h"
#include "xbase/Replace.h"
#include "xbase/Table.h"

namespace {

using crashtest::BinaryPath;
namespace fs = std::filesystem;

std::string Memo(const std::string& name) { return name + ";" + name + ";" + name; }

class ReplaceKillTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = crashtest::MakeTempDir();
        table_ = dir_ + "/WB.DBF";
        xbase::RegisterTagDefinition("IW1", "W1");
        Source("alt", 300);
        Source("neu", 500);
        ASSERT_EQ(Create("alt").exitCode, 0);
        ASSERT_EQ(Survivor(), "alt");
    }
    void TearDown() override { crashtest::RemoveTree(dir_); }

    // A source whose every record names its set, with a memo that repeats the name.
    void Source(const std::string& set, int records) {
        std::ofstream out(dir_ + "/" + set + ".tsv");
        out << "W1\tNR\tNOTE\n";
        for (int i = 1; i <= records; ++i) {
            const std::string name = set + "-" + std::to_string(i);
            out << name << '\t' << i << '\t' << Memo(name) << '\n';
        }
    }

    std::vector<std::string> CreateArgs(const std::string& set) const {
        return {BinaryPath("zanit-table"), "create", table_, "--schema", "W1:C:30,NR:N:6,NOTE:M", "--tag", "IW1=W1",
                dir_ + "/" + set + ".tsv"};
    }
    crashtest::RunResult Create(const std::string& set) const { return crashtest::Run(CreateArgs(set)); }

    // "alt" or "neu" when the table as the next open finds it is wholly one of them; else a description.
    std::string Survivor() const {
        std::string set;
        std::size_t records = 0;
        try {
            xbase::Table t;
            t.SetFileName(table_);
            t.SetReadOnly(true);
            t.Open();
            for (t.First(); !t.Eof(); t.Next(), ++records) {
                const std::string name = t.FieldByName("W1").AsString();
                const std::string prefix = name.substr(0, 3);
                if (set.empty()) set = prefix;
                if (prefix != set) return "mixed records: " + name + " among " + set;
                if (t.FieldByName("NOTE").AsString() != Memo(name)) return "foreign memo for " + name;
                if (t.FieldByName("NR").AsString() != name.substr(4)) return "wrong number for " + name;
            }
            const std::size_t expected = set == "alt" ? 300 : 500;
            if (records != expected) return set + " with " + std::to_string(records) + " records";
            const std::string last = set + "-" + std::to_string(expected);
            t.SetOrder(t.TagArea("IW1"));
            if (!t.Seek(last) || t.FieldByName("W1").AsString() != last) return "index of " + set + " lacks " + last;
        } catch (const std::exception& e) {
            return std::string("unreadable: ") + e.what();
        }
        const auto problems = xbase::VerifyTable(table_, "");
        if (!problems.empty()) return set + " not sound: " + problems.front();
        return set;
    }

    std::string dir_, table_;
};

TEST_F(ReplaceKillTest, EveryKillLeavesTheWholeOldOrTheWholeNewTable) {
    // Kills at each rename the tool makes (strace delivers SIGKILL as the Nth rename starts): the moments
    // between the files of the switch are hit on purpose, not by luck.
    int stracedKills = 0, journalsFinished = 0;
    std::string expected = "alt";
    for (int n = 1; n < 40; ++n) {
        const std::string set = expected == "alt" ? "neu" : "alt";
        std::vector<std::string> args = {"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=rename",
                                         "-e", "inject=rename:signal=KILL:when=" + std::to_string(n)};
        const auto tool = CreateArgs(set);
        args.insert(args.end(), tool.begin(), tool.end());
        const auto run = crashtest::Run(args);
        const bool journal = fs::exists(xbase::ReplacementJournalPath(table_));
        const std::string survivor = Survivor();
        ASSERT_TRUE(survivor == "alt" || survivor == "neu") << "kill at rename " << n << ": " << survivor;
        if (run.exitCode == 0) {
            EXPECT_EQ(survivor, set);
            break;
        }
        ASSERT_EQ(run.exitCode, -1) << "strace did not run the tool: " << run.err;
        ++stracedKills;
        journalsFinished += journal;
        if (journal) {
            EXPECT_EQ(survivor, set) << "a journal is there: the switch is finished";
        }
        expected = survivor;
    }
    EXPECT_GE(stracedKills, 3) << "the tool renames its files at least three times";
    EXPECT_GE(journalsFinished, 1) << "some kill fell between the point of no return and the last rename";

    // Kills at random moments of whole runs.
    std::mt19937 rng(20261209);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(Create("neu").exitCode, 0);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin);
    int old = 0, fresh = 0;
    for (int round = 0; round < 120; ++round) {
        const std::string set = round % 2 ? "neu" : "alt";
        auto child = crashtest::Start(CreateArgs(set));
        const auto wait = std::uniform_int_distribution<long>(0, span.count() * 6 / 5)(rng);
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        ::kill(child.pid, SIGKILL);
        crashtest::Finish(child);
        const std::string survivor = Survivor();
        ASSERT_TRUE(survivor == "alt" || survivor == "neu") << "round " << round << ": " << survivor;
        (survivor == set ? fresh : old) += 1;
    }
    std::printf("strace kills: %d (%d finished from the journal); random kills: %d old, %d new\n", stracedKills,
                journalsFinished, old, fresh);

    // The next run clears what killed runs left: no working folder, no journal.
    ASSERT_EQ(Create("alt").exitCode, 0);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "WB.DBF" || name == "WB.FPT" || name == "WB.ZIX" || name == "alt.tsv" || name == "neu.tsv")
            << name << " left behind";
    }
}

}  // namespace
