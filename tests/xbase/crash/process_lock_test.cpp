// Exclusive and shared opens between real processes, seen through the engine and the table tool.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>

#include "child_process.h"
#include "xbase/Table.h"

namespace {

using crashtest::BinaryPath;

// The tools write text lines as the system ends them.
#ifdef _WIN32
const char* const kZeilenende = "\r\n";
#else
const char* const kZeilenende = "\n";
#endif

class ProcessLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = crashtest::MakeTempDir();
        path_ = dir_ + "/LOCK.DBF";
        xbase::Table::Create(path_, {{"W1", 'C', 20, 0, false}}, {{"IW1", "W1"}});
    }
    void TearDown() override { crashtest::RemoveTree(dir_); }

    // Starts a child holding the table; returns once it reports the open.
    crashtest::Child Hold(const std::string& mode) {
        auto child = crashtest::Start({BinaryPath("xbase_table_child"), "hold", path_, mode});
        char state = 0;
        EXPECT_TRUE(crashtest::ReadExact(child.fromChild, &state, 1, 20000));
        EXPECT_EQ(state, 'o') << "the child could not open the table " << mode;
        return child;
    }

    bool OpenHere(bool exclusive) {
        xbase::Table table;
        table.SetFileName(path_);
        table.SetExclusive(exclusive);
        try {
            table.Open();
        } catch (const xbase::LockError&) {
            return false;
        }
        return true;
    }

    std::string dir_, path_;
};

TEST_F(ProcessLockTest, SharedHolderRefusesExclusiveOpenUntilItCloses) {
    auto child = Hold("shared");
    EXPECT_FALSE(OpenHere(true));
    EXPECT_TRUE(OpenHere(false));
    const auto reindex = crashtest::Run({BinaryPath("zanit-table"), "reindex", path_});
    EXPECT_EQ(reindex.exitCode, 2) << reindex.err;
    EXPECT_FALSE(reindex.err.empty());
    // Nor is the table replaced under its user.
    const std::string tsv = dir_ + "/new.tsv";
    std::FILE* f = std::fopen(tsv.c_str(), "w");
    std::fputs("W1\nneu\n", f);
    std::fclose(f);
    const auto create = crashtest::Run({BinaryPath("zanit-table"), "create", path_, "--schema", "W1:C:20", tsv});
    EXPECT_EQ(create.exitCode, 2) << create.err;
    // Readers are not blocked by a shared holder.
    EXPECT_EQ(crashtest::Run({BinaryPath("zanit-table"), "dump", path_}).exitCode, 0);
    EXPECT_EQ(crashtest::Finish(child), 0);
    EXPECT_TRUE(OpenHere(true));
    EXPECT_EQ(crashtest::Run({BinaryPath("zanit-table"), "reindex", path_}).exitCode, 0);
    EXPECT_EQ(crashtest::Run({BinaryPath("zanit-table"), "dump", path_}).out, std::string("W1") + kZeilenende);  // still the old, empty table
}

TEST_F(ProcessLockTest, ExclusiveHolderRefusesEveryOtherOpen) {
    auto child = Hold("exclusive");
    EXPECT_FALSE(OpenHere(false));
    EXPECT_FALSE(OpenHere(true));
    const auto dump = crashtest::Run({BinaryPath("zanit-table"), "dump", path_});
    EXPECT_EQ(dump.exitCode, 2);
    EXPECT_NE(dump.err.find("LOCK.DBF"), std::string::npos) << dump.err;
    EXPECT_EQ(crashtest::Finish(child), 0);
    EXPECT_TRUE(OpenHere(false));
}

TEST_F(ProcessLockTest, KilledHolderReleasesTheTable) {
    auto child = Hold("exclusive");
    crashtest::Kill(child);
    crashtest::Finish(child);
    EXPECT_TRUE(OpenHere(true));
}

TEST_F(ProcessLockTest, TwoProcessesAppendingAtOnceKeepEveryRecord) {
    const std::string path = dir_ + "/BEIDE.DBF";
    xbase::Table::Create(path, {{"W1", 'C', 40, 0, false}, {"NR", 'N', 11, 0, false}, {"NOTE", 'M', 10, 0, false}},
                         {{"IW1", "W1"}});
    crashtest::Child a = crashtest::Start({BinaryPath("xbase_table_child"), "append", path, "a"});
    crashtest::Child b = crashtest::Start({BinaryPath("xbase_table_child"), "append", path, "b"});
    std::uint32_t postedA = 0, postedB = 0;
    // Reading both in turn keeps them running side by side, each appending under the other's locks.
    while (postedA < 150 || postedB < 150) {
        std::uint32_t n = 0;
        if (postedA < 150) {
            ASSERT_TRUE(crashtest::ReadExact(a.fromChild, &n, sizeof n, 20000)) << "a stopped after " << postedA;
            postedA = n;
        }
        if (postedB < 150) {
            ASSERT_TRUE(crashtest::ReadExact(b.fromChild, &n, sizeof n, 20000)) << "b stopped after " << postedB;
            postedB = n;
        }
    }
    crashtest::Finish(a);  // its next report fails: it stops
    crashtest::Finish(b);

    const auto verify = crashtest::Run({BinaryPath("zanit-table"), "verify", path});
    EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
    xbase::Table table;
    table.SetFileName(path);
    table.SetReadOnly(true);
    table.Open();
    std::set<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) {
        const std::string name = table.FieldByName("W1").AsString();
        ASSERT_TRUE(names.insert(name).second) << name << " stored twice";
        ASSERT_EQ(table.FieldByName("NOTE").AsString().substr(0, name.size() + 1), name + ";") << name;
    }
    for (std::uint32_t i = 1; i <= 150; ++i) {
        EXPECT_TRUE(names.count("a-" + std::to_string(i))) << "a-" << i;
        EXPECT_TRUE(names.count("b-" + std::to_string(i))) << "b-" << i;
    }
}

}  // namespace
