#pragma once
// Starting the table tool and the test child as real processes.
#include <sys/types.h>

#include <string>
#include <vector>

namespace crashtest {

// A running child whose standard input and output are pipes to us.
struct Child {
    pid_t pid = -1;
    int toChild = -1;    // its standard input
    int fromChild = -1;  // its standard output
};

Child Start(const std::vector<std::string>& args);
// Closes our pipe ends and waits; returns the exit status as waitpid gives it.
int Finish(Child& child);
// Reads exactly n bytes; false on end of file or after timeoutMs without data.
bool ReadExact(int fd, void* buffer, std::size_t n, int timeoutMs);

struct RunResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};
RunResult Run(const std::vector<std::string>& args);

std::string BinaryPath(const std::string& name);  // an executable of this build
std::string MakeTempDir();
void RemoveTree(const std::string& path);

}  // namespace crashtest
