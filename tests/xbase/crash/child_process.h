#pragma once
// Starting the table tool and the test child as real processes (POSIX: child_process.cpp, Windows:
// child_process_win.cpp).
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace crashtest {

#ifdef _WIN32
using PipeEnd = void*;  // a pipe HANDLE
#else
using PipeEnd = int;
#endif

// A running child whose standard input and output are pipes to us.
struct Child {
#ifdef _WIN32
    void* pid = nullptr;          // the process HANDLE
    PipeEnd toChild = nullptr;    // its standard input
    PipeEnd fromChild = nullptr;  // its standard output
#else
    pid_t pid = -1;
    PipeEnd toChild = -1;    // its standard input
    PipeEnd fromChild = -1;  // its standard output
#endif
};

Child Start(const std::vector<std::string>& args);
// Closes our pipe ends and waits; returns the exit status as waitpid gives it (Windows: the exit code).
int Finish(Child& child);
// Ends the child at once, without letting it clean up (SIGKILL, TerminateProcess).
void Kill(Child& child);
// Reads exactly n bytes; false on end of file or after timeoutMs without data.
bool ReadExact(PipeEnd fd, void* buffer, std::size_t n, int timeoutMs);

struct RunResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};
RunResult Run(const std::vector<std::string>& args);

std::string BinaryPath(const std::string& name);  // an executable of this build (".exe" added on Windows)
std::string MakeTempDir();
void RemoveTree(const std::string& path);

}  // namespace crashtest
