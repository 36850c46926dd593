#pragma once
// The news picture download without a window: where the maker's server is configured, the pause between
// the FTP steps, the FTP client (libcurl, one control connection held from login to disconnect) and the
// local end of the last step (unpack the archive into "Data/", delete it, date the picture).
//
// The steps themselves block; the window side runs each of them off the user-interface thread and spaces
// them with its step timer (online/widgets/TInfoabruf.h).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

// The picture and its area list in "Data/" below the program folder.
inline constexpr const char* kInfobild = "INFO_W.JPG";
inline constexpr const char* kInfobereiche = "INFO_W.DAT";
// The remote folders, one below the other.
inline constexpr const char* kFtpOrdner1 = "pub";
inline constexpr const char* kFtpOrdner2 = "zanit";

// Where the server is: values of the settings key (docs/settings.md).
//   FTPServer    host name or address, optionally ":port"; empty (the default) switches the download off
//   FTPPassword  the contact address sent as the anonymous password
//   FTPPrefix    the one-letter prefix of the archive name
struct TAbrufKonfiguration {
    std::string server;
    std::string passwort = "info@example.com";
    std::string praefix = "w";
};
TAbrufKonfiguration AbrufKonfigurationLesen();

// The pause between two steps in milliseconds: FTPDelay x 500 + 100, never below 100 and never above a day
// (a negative or huge stored value would otherwise stop or overflow the timer).
int Schrittpause(int ftpDelay);

// What a step or the whole sequence ended with; `fehler` says why (UTF-8) when `ok` is false.
struct TAbrufErgebnis {
    bool ok = false;
    std::string fehler;
};

// The FTP client: connect with automatic login (user "anonymous"), change folder, get a file in binary
// mode, disconnect. Each call blocks; calls must not overlap, but may come from different threads.
// Abbrechen() may be called from any thread and ends a running call soon after.
class TFtpKlient {
public:
    TFtpKlient();
    ~TFtpKlient();
    TFtpKlient(const TFtpKlient&) = delete;
    TFtpKlient& operator=(const TFtpKlient&) = delete;

    TAbrufErgebnis Verbinden(const std::string& server, const std::string& passwort);
    // Into the sub-folder `name` of the current folder.
    TAbrufErgebnis Verzeichnis(const std::string& name);
    // The file `name` of the current folder into `ziel` (replaced; removed again when the transfer fails).
    TAbrufErgebnis Holen(const std::string& name, const std::filesystem::path& ziel);
    void Trennen();
    void Abbrechen() { abbruch_ = true; }

    // Largest file Holen accepts; a news archive is small.
    static constexpr long long kMaxDateigroesse = 64ll << 20;

private:
    TAbrufErgebnis Ausfuehren(const std::string& url, std::FILE* ziel);
    std::string Url(const std::string& datei) const;

    void* curl_ = nullptr;
    std::string server_, passwort_;
    std::vector<std::string> ordner_;  // current remote folder below the login folder
    std::atomic<bool> abbruch_{false};
};

// The local end of the last step: unpack `archiv` into `datenordner` (all or nothing), delete `archiv`
// whatever the outcome, and on success give the picture the file date `heute`. A damaged archive leaves the
// picture, its date and every other file as they were.
TAbrufErgebnis ArchivEinspielen(const std::filesystem::path& archiv, const std::filesystem::path& datenordner,
                                std::filesystem::file_time_type heute);

}  // namespace zanit
