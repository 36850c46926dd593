#pragma once
// The suite's FTP server (scripts/test-env, scripts/ftp-server): anonymous, read-only, on 127.0.0.1, serving a
// folder the tests fill. A test that needs it fails when it is not running.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "online/Infoarchiv.h"

namespace zanit::test {

struct Ftpserver {
    std::string server;           // "127.0.0.1:port"
    std::filesystem::path wurzel;  // the served folder
    bool ok = false;
};

// The running server, or ok false when test-env did not start one.
inline Ftpserver FtpserverDerUmgebung() {
    Ftpserver s;
    const char* port = std::getenv("ZANIT_TEST_FTP_PORT");
    const char* wurzel = std::getenv("ZANIT_TEST_FTP_ROOT");
    if (!port || !*port || !wurzel || !*wurzel) return s;
    s.server = std::string("127.0.0.1:") + port;
    s.wurzel = wurzel;
    s.ok = std::filesystem::is_directory(s.wurzel / "pub" / "zanit");
    return s;
}

// The password the server refuses.
inline constexpr const char* kAbgewiesen = "abgewiesen@example.org";

inline void DateiSchreiben(const std::filesystem::path& p, const std::string& inhalt) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << inhalt;
}

inline std::string DateiLesen(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// A news archive with a picture and an area list.
inline std::string Nachrichtenarchiv(const std::string& bild, const std::string& bereiche = "10, 20, 100, 30, https://www.example.com/a,b\n") {
    return SchreibeInfoarchiv({{"INFO_W.JPG", bild}, {"INFO_W.DAT", bereiche}});
}

}  // namespace zanit::test
