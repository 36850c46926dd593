#include "online/Infoabruf.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <system_error>

#include "base/Einstellungen.h"
#include "base/Utils.h"
#include "online/Infoarchiv.h"

namespace zanit {
namespace {

// Connecting and each server answer may take this long; a stalled transfer ends after the low-speed window.
constexpr long kVerbindungsfrist = 30;     // seconds
constexpr long kAntwortfrist = 60;         // seconds
constexpr long kMindestrate = 1;           // bytes per second ...
constexpr long kMindestrateFenster = 60;   // ... averaged over this many seconds

CURL* Handle(void* p) { return static_cast<CURL*>(p); }

std::string Kodiert(CURL* c, const std::string& teil) {
    char* e = curl_easy_escape(c, teil.c_str(), static_cast<int>(teil.size()));
    std::string out = e ? e : "";
    curl_free(e);
    return out;
}

struct Ziel {
    std::FILE* datei = nullptr;
    long long geschrieben = 0;
};

std::size_t Schreiben(char* daten, std::size_t groesse, std::size_t anzahl, void* nutzer) {
    auto* z = static_cast<Ziel*>(nutzer);
    const std::size_t n = groesse * anzahl;
    z->geschrieben += static_cast<long long>(n);
    if (z->geschrieben > TFtpKlient::kMaxDateigroesse) return 0;  // ends the transfer with an error
    if (!z->datei) return n;
    return std::fwrite(daten, 1, n, z->datei);
}

int Fortschritt(void* nutzer, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<std::atomic<bool>*>(nutzer)->load() ? 1 : 0;
}

}  // namespace

TAbrufKonfiguration AbrufKonfigurationLesen() {
    const TAbrufKonfiguration vorgabe;
    TAbrufKonfiguration k;
    const auto lesen = [](std::string_view name, const std::string& v) {
        return RegTextLesen(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, v, name);
    };
    k.server = lesen("FTPServer", vorgabe.server);
    k.passwort = lesen("FTPPassword", vorgabe.passwort);
    k.praefix = lesen("FTPPrefix", vorgabe.praefix);
    return k;
}

int Schrittpause(int ftpDelay) {
    const long long ms = static_cast<long long>(ftpDelay) * 500 + 100;
    return static_cast<int>(std::clamp<long long>(ms, 100, 24ll * 3600 * 1000));
}

TFtpKlient::TFtpKlient() {
    // Once per process, before any transfer may run on another thread.
    static std::once_flag einmal;
    std::call_once(einmal, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

TFtpKlient::~TFtpKlient() { Trennen(); }

std::string TFtpKlient::Url(const std::string& datei) const {
    std::string url = "ftp://" + server_ + "/";
    for (const std::string& o : ordner_) url += Kodiert(Handle(curl_), o) + "/";
    if (!datei.empty()) url += Kodiert(Handle(curl_), datei);
    return url;
}

TAbrufErgebnis TFtpKlient::Ausfuehren(const std::string& url, std::FILE* datei) {
    CURL* c = Handle(curl_);
    Ziel ziel{datei, 0};
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    // A folder is entered without listing it; a file is fetched.
    const bool holen = datei != nullptr;
    curl_easy_setopt(c, CURLOPT_NOBODY, holen ? 0L : 1L);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &ziel);
    char puffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, puffer);
    const CURLcode rc = curl_easy_perform(c);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    if (rc == CURLE_OK) return {true, {}};
    std::string grund = puffer[0] ? puffer : curl_easy_strerror(rc);
    if (rc == CURLE_WRITE_ERROR && ziel.geschrieben > kMaxDateigroesse) grund = "die Datei ist zu groß";
    if (rc == CURLE_ABORTED_BY_CALLBACK) grund = "abgebrochen";
    return {false, grund + " (" + url + ")"};
}

TAbrufErgebnis TFtpKlient::Verbinden(const std::string& server, const std::string& passwort) {
    Trennen();
    abbruch_ = false;
    if (server.empty()) return {false, "kein Server eingestellt"};
    curl_ = curl_easy_init();
    if (!curl_) return {false, "der FTP-Client ließ sich nicht anlegen"};
    server_ = server;
    passwort_ = passwort;
    CURL* c = Handle(curl_);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_USERNAME, "anonymous");
    curl_easy_setopt(c, CURLOPT_PASSWORD, passwort_.c_str());
    curl_easy_setopt(c, CURLOPT_PROXY, "");  // no proxy, whatever the environment says
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);  // binary
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
    curl_easy_setopt(c, CURLOPT_FTP_SKIP_PASV_IP, 1L);  // data only from the server we talk to
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kVerbindungsfrist);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, kAntwortfrist);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, kMindestrate);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kMindestrateFenster);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxDateigroesse));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Schreiben);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Fortschritt);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &abbruch_);
    ordner_.clear();
    // Logging in: the login folder itself, without a listing. The connection stays open for the steps.
    TAbrufErgebnis e = Ausfuehren(Url({}), nullptr);
    if (!e.ok) Trennen();
    return e;
}

TAbrufErgebnis TFtpKlient::Verzeichnis(const std::string& name) {
    if (!curl_) return {false, "nicht verbunden"};
    ordner_.push_back(name);
    TAbrufErgebnis e = Ausfuehren(Url({}), nullptr);
    if (!e.ok) ordner_.pop_back();
    return e;
}

TAbrufErgebnis TFtpKlient::Holen(const std::string& name, const std::filesystem::path& ziel) {
    if (!curl_) return {false, "nicht verbunden"};
#ifdef _WIN32
    std::FILE* datei = ::_wfopen(ziel.c_str(), L"wb");
#else
    std::FILE* datei = std::fopen(ziel.c_str(), "wb");
#endif
    if (!datei) return {false, "die Datei " + ziel.string() + " lässt sich nicht anlegen"};
    TAbrufErgebnis e = Ausfuehren(Url(name), datei);
    if (std::fclose(datei) != 0 && e.ok) e = {false, "die Datei " + ziel.string() + " ließ sich nicht schreiben"};
    if (!e.ok) {
        std::error_code ec;
        std::filesystem::remove(ziel, ec);
    }
    return e;
}

void TFtpKlient::Trennen() {
    // Cleaning up the handle closes its connection (QUIT on the control connection).
    if (curl_) curl_easy_cleanup(Handle(curl_));
    curl_ = nullptr;
    ordner_.clear();
}

TAbrufErgebnis ArchivEinspielen(const std::filesystem::path& archiv, const std::filesystem::path& datenordner,
                                std::filesystem::file_time_type heute) {
    const TEntpackErgebnis entpackt = EntpackeInfoarchiv(archiv, datenordner);
    std::error_code ec;
    std::filesystem::remove(archiv, ec);
    if (!entpackt.ok) return {false, "Archiv " + archiv.filename().string() + ": " + entpackt.fehler};
    const std::filesystem::path bild = datenordner / kInfobild;
    if (std::filesystem::is_regular_file(bild, ec)) std::filesystem::last_write_time(bild, heute, ec);
    return {true, {}};
}

}  // namespace zanit
