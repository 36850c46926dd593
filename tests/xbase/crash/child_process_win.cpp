// Starting the table tool and the test child as real processes on Windows: CreateProcess with pipes for the
// standard handles.
#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "child_process.h"

namespace crashtest {
namespace {

// One argument as the C runtime of the child splits the command line again: quoted when it holds blanks or
// quotes, backslashes doubled before a quote.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string CommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& a : args) line += (line.empty() ? "" : " ") + Quote(a);
    return line;
}

// A pipe whose one end (inheritable) goes to the child.
void MakePipe(HANDLE& read, HANDLE& write, bool childReads) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    if (!::CreatePipe(&read, &write, &sa, 0)) throw std::runtime_error("pipe failed");
    ::SetHandleInformation(childReads ? write : read, HANDLE_FLAG_INHERIT, 0);
}

HANDLE Spawn(const std::vector<std::string>& args, HANDLE in, HANDLE out, HANDLE err) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    std::string line = CommandLine(args);
    if (!::CreateProcessA(args[0].c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        throw std::runtime_error("cannot start " + args[0]);
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

void Drain(HANDLE pipe, std::string& sink) {
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) sink.append(buffer, got);
}

int WaitExit(HANDLE process) {
    ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    return static_cast<int>(code);
}

}  // namespace

Child Start(const std::vector<std::string>& args) {
    HANDLE inRead, inWrite, outRead, outWrite;
    MakePipe(inRead, inWrite, true);
    MakePipe(outRead, outWrite, false);
    Child child;
    try {
        child.pid = Spawn(args, inRead, outWrite, ::GetStdHandle(STD_ERROR_HANDLE));
    } catch (...) {
        for (HANDLE h : {inRead, inWrite, outRead, outWrite}) ::CloseHandle(h);
        throw;
    }
    ::CloseHandle(inRead);
    ::CloseHandle(outWrite);
    child.toChild = inWrite;
    child.fromChild = outRead;
    return child;
}

void Kill(Child& child) { ::TerminateProcess(child.pid, 137); }

int Finish(Child& child) {
    if (child.toChild) ::CloseHandle(child.toChild);
    if (child.fromChild) ::CloseHandle(child.fromChild);
    child.toChild = child.fromChild = nullptr;
    const int code = WaitExit(child.pid);
    child.pid = nullptr;
    return code;
}

bool ReadExact(PipeEnd pipe, void* buffer, std::size_t n, int timeoutMs) {
    char* p = static_cast<char*>(buffer);
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (n > 0) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;  // writer gone
        if (available == 0) {
            if (::GetTickCount64() >= deadline) return false;
            ::Sleep(2);
            continue;
        }
        DWORD got = 0;
        if (!::ReadFile(pipe, p, static_cast<DWORD>(std::min<std::size_t>(n, available)), &got, nullptr) || got == 0)
            return false;
        p += got;
        n -= got;
    }
    return true;
}

RunResult Run(const std::vector<std::string>& args) {
    HANDLE outRead, outWrite, errRead, errWrite;
    MakePipe(outRead, outWrite, false);
    MakePipe(errRead, errWrite, false);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    HANDLE process = nullptr;
    try {
        process = Spawn(args, nul, outWrite, errWrite);
    } catch (...) {
        for (HANDLE h : {outRead, outWrite, errRead, errWrite, nul}) ::CloseHandle(h);
        throw;
    }
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    ::CloseHandle(nul);
    RunResult result;
    // Both pipes are drained together so that neither can fill up and stall the child.
    std::thread errors(Drain, errRead, std::ref(result.err));
    Drain(outRead, result.out);
    errors.join();
    ::CloseHandle(outRead);
    ::CloseHandle(errRead);
    result.exitCode = WaitExit(process);
    return result;
}

std::string BinaryPath(const std::string& name) { return std::string(ZANIT_BINARY_DIR) + "/bin/" + name + ".exe"; }

std::string MakeTempDir() {
    for (unsigned i = 0;; ++i) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("zanit-xbase-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(i));
        std::error_code ec;
        if (std::filesystem::create_directory(path, ec)) return path.string();
        if (ec || i > 10000) throw std::runtime_error("cannot make a temporary folder");
    }
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

}  // namespace crashtest
