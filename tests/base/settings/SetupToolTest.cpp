// The installer tool run as a real process against a private store.
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "base/settings/TempHive.h"

using settings_test::TempHive;

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolRun RunSetup(const TempHive& hive, const std::vector<std::string>& args, const std::string& wrapper = {}) {
    std::string command = wrapper + Quoted(std::string(ZANIT_BINARY_DIR) + "/bin/zanit-setup");
    for (const auto& a : args) command += ' ' + Quoted(a);
    const std::string out = (hive.Root() / "out").string(), err = (hive.Root() / "err").string();
    const int raw = std::system((command + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, TempHive::Read(out), TempHive::Read(err)};
}

}  // namespace

TEST(SetupTool, SettingsOnAnEmptyStorePrintsEveryDefault) {
    TempHive hive;
    const ToolRun r = RunSetup(hive, {"settings"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Program=\nCD=\nSection=\nGLC=D\nNoLanguageChange=0\nPart=1\nHotKey=16471\nHotKey1=16433\n"
              "HotKey2=16434\nHotKeyOn=1\nSeek=1\nInterval=100\nTray=0\nAutostart=0\nLatGen=0\nSave=1\nSound=1\n"
              "Fontname=Tahoma\nFontsize=8\nPX=0\nPY=0\nPW=0\nPH=0\nPV=0\nFTPDelay=0\nInfoID=101\n");
    EXPECT_FALSE(std::filesystem::exists(hive.Machine()));
}

TEST(SetupTool, InstallsAndRegistersDictionaries) {
    TempHive hive;
    ASSERT_EQ(RunSetup(hive, {"install", "--program", "/opt/zanit", "--medium", "/media/cdrom"}).status, 0);
    const ToolRun add = RunSetup(hive, {"add-dictionary", "Dänisch", "--file", "/opt/zanit/Data/DAEN.DBF", "--textf", "Dänisch",
                                 "--sound", "/media/cdrom/DA.DBF", "--release", "12", "--cdname", "zanit CD 3",
                                 "--soundm", "/media/cdrom/DE.DBF"});
    ASSERT_EQ(add.status, 0) << add.err;
    ASSERT_EQ(RunSetup(hive, {"add-dictionary", "Latein", "--file", "/opt/zanit/Data/LATEIN.DBF"}).status, 0);

    const ToolRun settings = RunSetup(hive, {"settings"});
    EXPECT_NE(settings.out.find("Program=/opt/zanit/\nCD=/media/cdrom/\n"), std::string::npos) << settings.out;
    // the installer writes the switches' defaults, or the program would read them as off
    EXPECT_NE(settings.out.find("HotKeyOn=1\nSeek=1\n"), std::string::npos) << settings.out;
    EXPECT_NE(settings.out.find("Save=1\nSound=1\n"), std::string::npos) << settings.out;

    const ToolRun list = RunSetup(hive, {"list"});
    EXPECT_EQ(list.out,
              "[Dänisch]\nDictionary=/opt/zanit/Data/DAEN.DBF\nTextF=Dänisch\nCDName=zanit CD 3\n"
              "Sound=/media/cdrom/DA.DBF\nSoundM=/media/cdrom/DE.DBF\nReleaseS=12\n"
              "[Latein]\nDictionary=/opt/zanit/Data/LATEIN.DBF\n");
    // texts are stored in the program's code page, the release as a number
    const std::string file = TempHive::Read(hive.Machine());
    EXPECT_NE(file.find("\"ReleaseS\"=dword:0000000c"), std::string::npos);

    // registering a section again replaces its values; sections list in name order whatever their case
    ASSERT_EQ(RunSetup(hive, {"add-dictionary", "dänisch", "--file", "/x/D.DBF"}).status, 0);
    ASSERT_EQ(RunSetup(hive, {"add-dictionary", "Englisch", "--file", "/x/E.DBF"}).status, 0);
    EXPECT_EQ(RunSetup(hive, {"list"}).out,
              "[dänisch]\nDictionary=/x/D.DBF\n[Englisch]\nDictionary=/x/E.DBF\n"
              "[Latein]\nDictionary=/opt/zanit/Data/LATEIN.DBF\n");

    // installing again keeps a switch the user has changed
    const std::string before = TempHive::Read(hive.Machine());
    std::string changed = before;
    const auto seek = changed.find("\"Seek\"=dword:00000001");
    ASSERT_NE(seek, std::string::npos) << before;
    changed.replace(seek, 21, "\"Seek\"=dword:00000000");
    { std::ofstream(hive.Machine(), std::ios::binary | std::ios::trunc) << changed; }
    ASSERT_EQ(RunSetup(hive, {"install", "--program", "/opt/zanit", "--medium", "/media/cdrom"}).status, 0);
    EXPECT_NE(RunSetup(hive, {"settings"}).out.find("Seek=0\n"), std::string::npos);

    ASSERT_EQ(RunSetup(hive, {"remove-dictionary", "LATEIN"}).status, 0);
    ASSERT_EQ(RunSetup(hive, {"remove-dictionary", "Englisch"}).status, 0);
    EXPECT_EQ(RunSetup(hive, {"list"}).out, "[dänisch]\nDictionary=/x/D.DBF\n");
    const ToolRun missing = RunSetup(hive, {"remove-dictionary", "Latein"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Latein"), std::string::npos);
}

TEST(SetupTool, UsageErrorsExitWithTwo) {
    TempHive hive;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"install", "--program", "/opt/zanit"},
             {"add-dictionary", "Englisch"},
             {"add-dictionary", "--file", "/x.dbf"},
             {"add-dictionary", "Englisch", "--file", "/x.dbf", "--release", "zwölf"},
             {"add-dictionary", "A\\B", "--file", "/x.dbf"},
             {"add-dictionary", "DfA", "--file", "/x.dbf"},
             {"add-dictionary", "Japanisch", "--file", "/x.dbf", "--textf", "日本語"},
             {"add-dictionary", "Englisch", "--file"},
             {"list", "extra"},
         }) {
        const ToolRun r = RunSetup(hive, args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(hive.Machine()));
}

TEST(SetupTool, RefusedStoreIsAFailure) {
    TempHive hive;
    ::setenv("ZANIT_REGISTRY", "/proc/zanit/machine.reg", 1);
    ::setenv("XDG_CONFIG_HOME", "/proc/zanit-config", 1);
    const ToolRun r = RunSetup(hive, {"install", "--program", "/opt/zanit", "--medium", "/media/cdrom"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("refused"), std::string::npos);
}

// A real full disk: the machine hive on a 64 KiB tmpfs in a private mount namespace, filled up.
TEST(SetupTool, FullDiskIsReportedAndLeavesTheHiveAsItWas) {
    TempHive hive;
    ASSERT_EQ(RunSetup(hive, {"install", "--program", "/opt/zanit", "--medium", "/media/cdrom"}).status, 0);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(RunSetup(hive, {"add-dictionary", "W" + std::to_string(i), "--file", "/opt/zanit/Data/W.DBF"}).status, 0);
    const std::string copy = (hive.Root() / "copy.reg").string();
    std::filesystem::copy_file(hive.Machine(), copy);
    const std::string folder = (hive.Root() / "machine").string();
    const std::string script =
        "set -e; mount -t tmpfs -o size=64k tmpfs " + Quoted(folder) + "; cp " + Quoted(copy) + " " + Quoted(hive.Machine()) +
        "; dd if=/dev/zero of=" + Quoted(folder + "/filler") + " bs=1k count=200 2>/dev/null || true; set +e; " +
        Quoted(std::string(ZANIT_BINARY_DIR) + "/bin/zanit-setup") + " add-dictionary Neu --file /x/N.DBF; echo rc=$?; cmp -s " +
        Quoted(copy) + " " + Quoted(hive.Machine()) + " && echo unchanged; ls " + Quoted(folder);
    const std::string unshare = ::geteuid() == 0 ? "unshare --mount" : "unshare --user --map-root-user --mount";
    const std::string out = (hive.Root() / "out").string(), err = (hive.Root() / "err").string();
    const int raw = std::system((unshare + " sh -c " + Quoted(script) + " >" + out + " 2>" + err).c_str());
    const std::string printed = TempHive::Read(out), errors = TempHive::Read(err);
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << "a private tmpfs is needed for this test: " << errors;
    EXPECT_NE(printed.find("rc=1\n"), std::string::npos) << printed << errors;
    EXPECT_NE(printed.find("unchanged\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find(".tmp"), std::string::npos) << printed;
    EXPECT_NE(errors.find("No space left on device"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(hive.Overlay()));  // the settings are not split between two files
}

TEST(SetupTool, AHeldLockEndsTheToolWithAMessageInsteadOfAHang) {
    TempHive hive;
    ASSERT_EQ(RunSetup(hive, {"install", "--program", "/opt/zanit", "--medium", "/media/cdrom"}).status, 0);
    const std::string before = TempHive::Read(hive.Machine());
    const int held = ::open((hive.Machine() + ".lock").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // `timeout` turns the hang this guards against into a failure (status 124) instead of a stuck suite
    const ToolRun r = RunSetup(hive, {"add-dictionary", "Englisch", "--file", "/x/E.DBF"}, "timeout 60 ");
    ::close(held);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("another process holds the settings"), std::string::npos) << r.err;
    EXPECT_EQ(TempHive::Read(hive.Machine()), before);
    EXPECT_FALSE(std::filesystem::exists(hive.Overlay()));
}
