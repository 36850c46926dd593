// The POSIX settings store through its files: overlay, crash safety, concurrent writers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "base/Registry.h"
#include "base/posix/HiveFile.h"
#include "base/settings/TempHive.h"

using namespace zanit::registry;
using settings_test::TempHive;

namespace {

const std::string kPath = "\\Software\\MORAV\\zanit\\Dictionary";
const std::string kFull = "HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary";

bool WriteText(const std::string& name, const std::string& text, const std::string& path = kPath) {
    auto key = OpenKey(path, Access::Write);
    return key && key->WriteString(name, text);
}

std::optional<std::string> ReadText(const std::string& name, const std::string& path = kPath) {
    auto key = OpenKey(path, Access::Read);
    return key ? key->ReadString(name) : std::nullopt;
}

Hive ParseFile(const std::string& file, std::vector<std::string>* reports = nullptr) {
    return ParseHive(TempHive::Read(file), file, [&](std::string_view m) {
        if (reports) reports->emplace_back(m);
    });
}

class HiveStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetReporter([this](std::string_view m) { reports_.emplace_back(m); });
    }
    void TearDown() override { SetReporter({}); }
    TempHive hive_;
    std::vector<std::string> reports_;
};

}  // namespace

TEST_F(HiveStore, WritesLandInTheMachineHiveAndReadBack) {
    EXPECT_EQ(OpenKey(kPath, Access::Read), nullptr);
    ASSERT_TRUE(WriteText("Section", "Englisch"));
    auto key = OpenKey(kPath, Access::Write);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WriteDword("Part", 2));
    EXPECT_EQ(key->ReadDword("Part"), 2u);  // the open key sees its own write
    EXPECT_EQ(ReadText("Section"), "Englisch");
    EXPECT_EQ(OpenKey("software\\morav\\ZANIT\\dictionary", Access::Read)->ReadDword("PART"), 2u);
    EXPECT_FALSE(std::filesystem::exists(hive_.Overlay()));
    EXPECT_NE(TempHive::Read(hive_.Machine()).find("\"Section\"=\"Englisch\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(hive_.Machine() + ".tmp"));
    EXPECT_TRUE(reports_.empty());
}

TEST_F(HiveStore, HiveBehindASymbolicLinkIsUpdatedAtItsTarget) {
    const std::string target = (hive_.Root() / "real.reg").string();
    std::filesystem::create_symlink(target, hive_.Machine());
    ASSERT_TRUE(WriteText("Section", "Englisch"));
    ASSERT_TRUE(WriteText("GLC", "E"));
    EXPECT_TRUE(std::filesystem::is_symlink(hive_.Machine()));
    EXPECT_NE(TempHive::Read(target).find("\"GLC\"=\"E\""), std::string::npos);
    EXPECT_EQ(ReadText("Section"), "Englisch");
}

TEST_F(HiveStore, OpeningForWriteCreatesTheKey) {
    EXPECT_TRUE(OpenKey(kPath + "\\Englisch", Access::Write));
    auto parent = OpenKey(kPath, Access::Read);
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->SubkeyNames(), std::vector<std::string>{"Englisch"});
    EXPECT_EQ(OpenKey("", Access::Write), nullptr);
    EXPECT_EQ(OpenKey("Software\\\\Broken", Access::Write), nullptr);
}

TEST_F(HiveStore, ReadOnlyMachineHiveSendsWritesToTheOverlay) {
    ASSERT_TRUE(WriteText("Program", "/opt/zanit/"));
    ASSERT_TRUE(WriteText("Fontname", "Tahoma"));
    const std::string before = TempHive::Read(hive_.Machine());
    ::chmod(hive_.Machine().c_str(), 0444);

    EXPECT_TRUE(WriteText("Fontname", "Arial"));
    EXPECT_TRUE(WriteText("Neu", "1", kPath + "\\Englisch"));
    EXPECT_EQ(TempHive::Read(hive_.Machine()), before);
    EXPECT_EQ(ReadText("Fontname"), "Arial");        // the overlay is read first
    EXPECT_EQ(ReadText("Program"), "/opt/zanit/");   // the rest still comes from the machine hive
    EXPECT_EQ(ReadText("Neu", kPath + "\\Englisch"), "1");
    Hive overlay = ParseFile(hive_.Overlay());
    ASSERT_TRUE(FindKey(overlay, kFull));
    EXPECT_EQ(FindValue(*FindKey(overlay, kFull), "Fontname")->text, "Arial");
    EXPECT_EQ(FindValue(*FindKey(overlay, kFull), "Program"), nullptr);

    // once the machine hive takes writes again, its new value is not hidden by the overlay's old one
    ::chmod(hive_.Machine().c_str(), 0644);
    EXPECT_TRUE(WriteText("Fontname", "Courier"));
    EXPECT_EQ(ReadText("Fontname"), "Courier");
    EXPECT_EQ(FindValue(*FindKey(ParseFile(hive_.Overlay()), kFull), "Fontname"), nullptr);
}

TEST_F(HiveStore, ReadOnlyFolderAlsoCountsAsRefusedAndBothRefusingFails) {
    ASSERT_TRUE(WriteText("Program", "/opt/zanit/"));
    ::chmod((hive_.Root() / "machine").c_str(), 0555);
    EXPECT_TRUE(WriteText("Part", "2"));
    EXPECT_EQ(ReadText("Part"), "2");
    EXPECT_TRUE(std::filesystem::exists(hive_.Overlay()));

    ::chmod((hive_.Root() / "config" / "zanit").c_str(), 0555);
    ::chmod(hive_.Overlay().c_str(), 0444);
    EXPECT_FALSE(WriteText("Part", "3"));
    EXPECT_EQ(ReadText("Part"), "2");
    EXPECT_FALSE(DeleteKey(kPath));
    EXPECT_EQ(ReadText("Program"), "/opt/zanit/");
    ::chmod((hive_.Root() / "config" / "zanit").c_str(), 0755);
}

TEST_F(HiveStore, DeleteRemovesTheKeyFromBothHives) {
    ASSERT_TRUE(WriteText("Dictionary", "e.dbf", kPath + "\\Englisch"));
    ASSERT_TRUE(WriteText("Extra", "x", kPath + "\\Englisch\\Unter"));
    ::chmod(hive_.Machine().c_str(), 0444);
    ASSERT_TRUE(WriteText("TextF", "Englisch", kPath + "\\Englisch"));  // goes to the overlay
    ::chmod(hive_.Machine().c_str(), 0644);

    EXPECT_TRUE(DeleteKey(kPath + "\\ENGLISCH"));
    EXPECT_EQ(OpenKey(kPath + "\\Englisch", Access::Read), nullptr);
    EXPECT_EQ(OpenKey(kPath + "\\Englisch\\Unter", Access::Read), nullptr);
    EXPECT_TRUE(OpenKey(kPath, Access::Read));
    EXPECT_FALSE(DeleteKey(kPath + "\\Englisch"));
}

TEST_F(HiveStore, DeletingAMissingKeyWritesNothing) {
    EXPECT_FALSE(DeleteKey("Software\\MORAV\\Vocabulary"));
    EXPECT_FALSE(std::filesystem::exists(hive_.Machine()));
}

TEST_F(HiveStore, DamagedMachineLinesAreReportedOnceAndSurviveWrites) {
    TempHive::Write(hive_.Machine(), "Windows Registry Editor Version 5.00\n\n[" + kFull +
                                         "]\n\"Seek\"=dword:00000001\n\"Bad\"=dword:nothex\n");
    EXPECT_EQ(OpenKey(kPath, Access::Read)->ReadDword("Seek"), 1u);
    EXPECT_EQ(OpenKey(kPath, Access::Read)->TypeOf("Bad"), ValueType::None);
    EXPECT_EQ(reports_.size(), 1u);  // the same file version is not reported again
    EXPECT_NE(reports_.front().find(hive_.Machine() + ":5"), std::string::npos);
    EXPECT_TRUE(WriteText("Section", "Latein"));
    EXPECT_NE(TempHive::Read(hive_.Machine()).find("\"Bad\"=dword:nothex\n"), std::string::npos);
}

TEST_F(HiveStore, UnreadableMachineHiveIsNeverReplaced) {
    for (bool fifo : {false, true}) {
        TempHive hive;
        reports_.clear();
        if (fifo) {
            ASSERT_EQ(::mkfifo(hive.Machine().c_str(), 0644), 0);
        } else {
            std::filesystem::create_directories(hive.Machine());
        }
        EXPECT_EQ(OpenKey(kPath, Access::Read), nullptr);
        EXPECT_EQ(OpenKey(kPath, Access::Read), nullptr);
        EXPECT_TRUE(WriteText("Section", "Englisch"));  // lands in the overlay
        EXPECT_EQ(ReadText("Section"), "Englisch");
        EXPECT_EQ(fifo, std::filesystem::is_fifo(hive.Machine()));
        EXPECT_EQ(!fifo, std::filesystem::is_directory(hive.Machine()));
        EXPECT_TRUE(std::filesystem::exists(hive.Overlay()));
        EXPECT_FALSE(std::filesystem::exists(hive.Machine() + ".lock")) << fifo;  // nothing made beside it
        EXPECT_EQ(reports_.size(), 1u) << fifo;  // reported once, not at every read
    }
}

TEST_F(HiveStore, WriterKilledBeforeReplacingLeavesTheOldFile) {
    ASSERT_TRUE(WriteText("Section", "Englisch"));
    const std::string before = TempHive::Read(hive_.Machine());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        zanit::registry::testing::SetBeforeReplaceHook([&](const std::string&) {
            (void)!::write(ready[1], "x", 1);
            ::pause();
        });
        WriteText("Section", "Latein");
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);  // the child has written and synced its new file, not renamed it
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(TempHive::Read(hive_.Machine()), before);
    EXPECT_EQ(ReadText("Section"), "Englisch");
    // the dead writer's lock is gone with it: the next write goes through
    EXPECT_TRUE(WriteText("Section", "Spanisch"));
    EXPECT_EQ(ReadText("Section"), "Spanisch");
}

TEST_F(HiveStore, ConcurrentWritersFromSeveralProcessesKeepEveryValue) {
    constexpr int kProcesses = 4;
    constexpr int kValues = 30;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool ok = true;
            for (int v = 0; v < kValues; ++v) {
                auto key = OpenKey(kPath + "\\P" + std::to_string(p), Access::Write);
                ok = key && key->WriteDword("V" + std::to_string(v), static_cast<std::uint32_t>(p * 1000 + v)) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<std::string> problems;
    Hive hive = ParseFile(hive_.Machine(), &problems);
    EXPECT_TRUE(problems.empty());
    for (int p = 0; p < kProcesses; ++p) {
        const HiveKey* key = FindKey(hive, kFull + "\\P" + std::to_string(p));
        ASSERT_TRUE(key) << p;
        for (int v = 0; v < kValues; ++v) {
            const HiveItem* item = FindValue(*key, "V" + std::to_string(v));
            ASSERT_TRUE(item) << p << "/" << v;
            EXPECT_EQ(item->dword, static_cast<std::uint32_t>(p * 1000 + v));
        }
    }
}

TEST_F(HiveStore, HivePathsFollowTheEnvironment) {
    EXPECT_EQ(MachineHivePath(), hive_.Machine());
    EXPECT_EQ(OverlayHivePath(), hive_.Overlay());
    ::unsetenv("ZANIT_REGISTRY");
    EXPECT_EQ(MachineHivePath(), "/etc/zanit/machine.reg");
}

TEST_F(HiveStore, FailedWritesLeaveTheFileAndDoNotSpillIntoTheOverlay) {
    ASSERT_TRUE(WriteText("Fontname", "Tahoma"));
    const std::string before = TempHive::Read(hive_.Machine());
    for (int error : {ENOSPC, EIO}) {
        reports_.clear();
        zanit::registry::testing::SetWriteHook([error](int, const char*, std::size_t) -> long {
            errno = error;
            return -1;
        });
        EXPECT_FALSE(WriteText("Fontname", "Arial"));
        EXPECT_FALSE(ReplaceKey(kPath + "\\Englisch", {{"Dictionary", ValueType::String, "e.dbf", 0, false}}));
        zanit::registry::testing::SetWriteHook({});
        EXPECT_EQ(TempHive::Read(hive_.Machine()), before);
        EXPECT_FALSE(std::filesystem::exists(hive_.Overlay()));
        EXPECT_FALSE(std::filesystem::exists(hive_.Machine() + ".tmp"));
        EXPECT_EQ(ReadText("Fontname"), "Tahoma");
        ASSERT_FALSE(reports_.empty());
        EXPECT_NE(reports_.front().find(std::strerror(error)), std::string::npos) << reports_.front();
    }
    // a refusal still goes to the overlay
    ::chmod(hive_.Machine().c_str(), 0444);
    EXPECT_TRUE(WriteText("Fontname", "Arial"));
    EXPECT_EQ(ReadText("Fontname"), "Arial");
    EXPECT_TRUE(std::filesystem::exists(hive_.Overlay()));
}

TEST_F(HiveStore, AHeldLockIsWaitedForABoundedTime) {
    ASSERT_TRUE(WriteText("Fontname", "Tahoma"));
    const std::string before = TempHive::Read(hive_.Machine());
    const int held = ::open((hive_.Machine() + ".lock").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // another open file: conflicts with the store's own lock
    zanit::registry::testing::SetLockWait(std::chrono::milliseconds(200));
    EXPECT_FALSE(WriteText("Fontname", "Arial"));
    EXPECT_FALSE(DeleteKey(kPath));
    zanit::registry::testing::SetLockWait({});
    EXPECT_EQ(TempHive::Read(hive_.Machine()), before);
    EXPECT_FALSE(std::filesystem::exists(hive_.Overlay()));  // a held lock is no refusal
    ASSERT_FALSE(reports_.empty());
    EXPECT_NE(reports_.front().find("another process holds the settings"), std::string::npos) << reports_.front();
    ::close(held);
    EXPECT_TRUE(WriteText("Fontname", "Arial"));
    EXPECT_EQ(ReadText("Fontname"), "Arial");
}

TEST_F(HiveStore, ReplacingAKeyIsOneUpdateThatAlsoClearsTheOverlayCopy) {
    ASSERT_TRUE(WriteText("Dictionary", "old.dbf", kPath + "\\Englisch"));
    ASSERT_TRUE(WriteText("TextM", "Deutsch", kPath + "\\Englisch"));
    ::chmod(hive_.Machine().c_str(), 0444);
    ASSERT_TRUE(WriteText("CDName", "stale", kPath + "\\Englisch"));  // lands in the overlay
    ::chmod(hive_.Machine().c_str(), 0644);

    int replaced = 0;
    zanit::registry::testing::SetBeforeReplaceHook([&](const std::string& file) { replaced += file == hive_.Machine(); });
    EXPECT_TRUE(ReplaceKey(kPath + "\\Englisch", {{"Dictionary", ValueType::String, "new.dbf", 0, false}}));
    zanit::registry::testing::SetBeforeReplaceHook({});
    EXPECT_EQ(replaced, 1);
    auto key = OpenKey(kPath + "\\Englisch", Access::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Dictionary"}));
    EXPECT_EQ(key->ReadString("Dictionary"), "new.dbf");
    EXPECT_FALSE(ReplaceKey(kPath + "\\Latein", {{"Bad", ValueType::String, "a\nb", 0, false}}));
    EXPECT_EQ(OpenKey(kPath + "\\Latein", Access::Read), nullptr);
}
