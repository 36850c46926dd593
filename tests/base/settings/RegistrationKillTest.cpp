// Registering a dictionary while it is killed at random moments, and two registrations of the same section at
// once: the section is always wholly one registration, never missing, never half written, never mixed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/RegistryFormat.h"
#include "base/settings/TempHive.h"

extern char** environ;

using namespace zanit::registry;
using settings_test::TempHive;

namespace {

const std::string kSettings = "HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary";
constexpr int kFiller = 1500;  // other sections: a realistic hive whose rewrite takes a while

pid_t Register(const std::string& tag) {
    const std::string tool = std::string(ZANIT_BINARY_DIR) + "/bin/zanit-setup";
    std::vector<std::string> args = {tool,       "add-dictionary", "Ziel",        "--file", "/d/" + tag + ".DBF",
                                     "--textm",  "M" + tag,        "--textf",     "F" + tag, "--cdname",
                                     "C" + tag,  "--soundm",       "/s/" + tag};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);  // the note about the missing file
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// The tag of the registration the section holds; fails the test when it is missing, partial or mixed.
std::string Registered(const std::string& file) {
    std::vector<std::string> reports;
    const Hive hive = ParseHive(TempHive::Read(file), file, [&](std::string_view m) { reports.emplace_back(m); });
    EXPECT_TRUE(reports.empty()) << reports.front();
    EXPECT_EQ(SubkeyNames(hive, kSettings).size(), static_cast<std::size_t>(kFiller + 1));
    const HiveKey* key = FindKey(hive, kSettings + "\\Ziel");
    if (!key) {
        ADD_FAILURE() << "the section is gone";
        return {};
    }
    const HiveItem* file_ = FindValue(*key, "Dictionary");
    if (!file_ || file_->text.size() < 8) {
        ADD_FAILURE() << "the section has no dictionary";
        return {};
    }
    const std::string tag = file_->text.substr(3, file_->text.size() - 7);
    const std::pair<const char*, std::string> expected[] = {
        {"TextM", "M" + tag}, {"TextF", "F" + tag}, {"CDName", "C" + tag}, {"SoundM", "/s/" + tag}};
    EXPECT_EQ(ValueNames(*key).size(), 5u);
    for (const auto& [name, value] : expected) {
        const HiveItem* item = FindValue(*key, name);
        EXPECT_TRUE(item && item->text == value) << name << " of registration " << tag;
    }
    return tag;
}

}  // namespace

TEST(RegistrationKill, EveryKillLeavesTheSectionWhollyOldOrWhollyNew) {
    TempHive hive;
    {
        std::ofstream out(hive.Machine(), std::ios::binary);
        out << "Windows Registry Editor Version 5.00\n\n[" << kSettings << "]\n\"Program\"=\"/opt/zanit/\"\n\n";
        for (int i = 0; i < kFiller; ++i)
            out << "[" << kSettings << "\\W" << i << "]\n\"Dictionary\"=\"/opt/zanit/Data/W" << i
                << ".DBF\"\n\"TextM\"=\"Deutsch\"\n\n";
    }
    // one undisturbed registration tells how long one takes
    const auto start = std::chrono::steady_clock::now();
    pid_t first = Register("r0");
    ASSERT_GT(first, 0);
    int status = 0;
    ::waitpid(first, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::string current = Registered(hive.Machine());
    ASSERT_EQ(current, "r0");

    std::mt19937 random(20261209);
    int killedEarly = 0, completed = 0;
    for (int round = 1; round <= 120 && !HasFailure(); ++round) {
        const std::string a = "a" + std::to_string(round), b = "b" + std::to_string(round);
        const pid_t first = Register(a);
        // every other round a second registration of the same section runs at the same time
        const pid_t second = round % 2 == 0 ? Register(b) : -1;
        ASSERT_GT(first, 0);
        std::uniform_int_distribution<long> moment(0, span.count() * 3 / 2);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(first, SIGKILL);
        int s1 = 0, s2 = 0;
        ::waitpid(first, &s1, 0);
        if (second > 0) ::waitpid(second, &s2, 0);
        if (WIFSIGNALED(s1)) ++killedEarly;
        if (WIFEXITED(s1)) ++completed;
        if (second > 0) {
            EXPECT_TRUE(WIFEXITED(s2) && WEXITSTATUS(s2) == 0) << "the concurrent registration failed";
        }
        const std::string now = Registered(hive.Machine());
        EXPECT_TRUE(now == current || now == a || now == b) << "round " << round << ": " << now;
        current = now;
    }
    // the kills must have met the tool at work, or the test proved nothing
    EXPECT_GT(killedEarly, 20);
    RecordProperty("killed", killedEarly);
    RecordProperty("completed", completed);
}
