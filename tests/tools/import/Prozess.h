#pragma once
// Running the tools from tests: a command line through the shell, its output and exit status, a private
// temporary folder, and small dictd databases made by Debian's dictd tools.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zanit_test {

namespace fs = std::filesystem;

struct Lauf {
    int code = -1;
    std::string ausgabe;
};

// Runs `command` through the shell; `ausgabe` gets standard output, and standard error too unless
// `nurStdout`.
inline Lauf Starte(const std::string& command, bool nurStdout = false) {
    Lauf lauf;
    FILE* pipe = popen((nurStdout ? command : command + " 2>&1").c_str(), "r");
    if (!pipe) return lauf;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) lauf.ausgabe.append(buffer, n);
    const int status = pclose(pipe);
    lauf.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return lauf;
}

// Runs `command` through the shell with its output discarded and gives the exit status and the largest
// resident size (KiB) the command's processes reached.
struct Spitze {
    int code = -1;
    long kib = 0;
};
inline Spitze StarteMitSpitze(const std::string& command) {
    Spitze spitze;
    const pid_t child = ::fork();
    if (child < 0) return spitze;
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", (command + " >/dev/null 2>&1").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child) return spitze;
    spitze.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    spitze.kib = usage.ru_maxrss;
    return spitze;
}

// A path quoted for the shell.
inline std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

// A fresh folder below /tmp, removed with the object.
class TempOrdner {
public:
    TempOrdner() {
        char pattern[] = "/tmp/zanit-import-test-XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
    }
    ~TempOrdner() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    TempOrdner(const TempOrdner&) = delete;
    TempOrdner& operator=(const TempOrdner&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A dictd database NAME.index / NAME.dict.dz in `dir` made by dictfmt and dictzip from articles in the
// layout the free dictionaries use ("_____" before each article). Returns the path without extension.
inline fs::path MachDictd(const fs::path& dir, const std::string& articles, const std::string& name) {
    std::ofstream(dir / (name + ".txt")) << articles;
    const Lauf fmt = Starte("cd " + Q(dir) + " && dictfmt --utf8 --allchars -c5 -s Test -u http://x " + name + " < " +
                            name + ".txt >/dev/null && dictzip " + name + ".dict");
    EXPECT_EQ(fmt.code, 0) << "dictfmt and dictzip (Debian package dictfmt) must be installed: " << fmt.ausgabe;
    return dir / name;
}

}  // namespace zanit_test
