// Exclusive and shared opens between real processes, seen through the engine and the table tool.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>

#include "child_process.h"
#include "xbase/Table.h"

namespace {

using crashtest::BinaryPath;

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
    EXPECT_EQ(crashtest::Run({BinaryPath("zanit-table"), "dump", path_}).out, "W1\n");  // still the old, empty table
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
    ::kill(child.pid, SIGKILL);
    crashtest::Finish(child);
    EXPECT_TRUE(OpenHere(true));
}

}  // namespace
