#include "trainer/Dateiersatz.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace zanit {

namespace {

constexpr std::string_view kVorsilbe = ".zanit-neu-";

std::atomic<long long> schreibgrenze{-1};
std::atomic<unsigned> laufendeNummer{0};
std::atomic<long> abbruchstelle{0};

// One step of a replacement; the crash tests end the process here.
void Schritt() {
    if (abbruchstelle.load() <= 0) return;
    if (--abbruchstelle == 0) {
#ifdef _WIN32
        std::abort();
#else
        ::kill(::getpid(), SIGKILL);
#endif
    }
}

[[noreturn]] void Fehler(const std::string& pfad, const std::string& grund) {
    throw std::runtime_error(pfad + ": " + grund);
}

long Prozessnummer() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<long>(getpid());
#endif
}

std::string EindeutigerName() {
    return std::string(kVorsilbe) + std::to_string(Prozessnummer()) + "-" + std::to_string(++laufendeNummer);
}

std::string Verbinde(const std::string& ordner, const std::string& name) {
    if (ordner.empty()) return name;
    const char last = ordner.back();
    if (last == '/' || last == '\\') return ordner + name;
    return ordner + "/" + name;
}

std::string Ordnerteil(const std::string& pfad) {
    const std::size_t p = pfad.find_last_of("/\\");
    return p == std::string::npos ? std::string(".") : pfad.substr(0, p + 1);
}

// Takes `n` bytes from the test budget; false when the budget is spent.
bool Budget(std::size_t n) {
    long long rest = schreibgrenze.load();
    while (rest >= 0) {
        const long long neu = rest - static_cast<long long>(n);
        if (neu < 0) {
            schreibgrenze = 0;
            return false;
        }
        if (schreibgrenze.compare_exchange_weak(rest, neu)) return true;
    }
    return true;
}

void SchreibeAlles(int fd, const std::string& pfad, const char* daten, std::size_t n) {
    Schritt();
    if (!Budget(n)) Fehler(pfad, "no space left on device");
    while (n > 0) {
#ifdef _WIN32
        const int w = _write(fd, daten, static_cast<unsigned>(std::min<std::size_t>(n, 1 << 30)));
#else
        const ssize_t w = ::write(fd, daten, n);
#endif
        if (w < 0) {
            if (errno == EINTR) continue;
            Fehler(pfad, std::strerror(errno));
        }
        daten += w;
        n -= static_cast<std::size_t>(w);
    }
}

int Erzeugen(const std::string& pfad) {
#ifdef _WIN32
    const int fd = _open(pfad.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd < 0) Fehler(pfad, std::strerror(errno));
    return fd;
}

void SyncUndSchliessen(int fd, const std::string& pfad) {
    Schritt();
#ifdef _WIN32
    const bool ok = _commit(fd) == 0;
    _close(fd);
#else
    const bool ok = ::fsync(fd) == 0;
    const int grund = errno;
    ::close(fd);
    errno = grund;
#endif
    if (!ok) Fehler(pfad, std::strerror(errno));
}

void Umbenennen(const std::string& von, const std::string& nach) {
    Schritt();
    std::error_code fehler;
    fs::rename(fs::path(von), fs::path(nach), fehler);
    if (fehler) Fehler(nach, fehler.message());
}

bool LaeuftNoch(long pid) {
#ifdef _WIN32
    (void)pid;
    return true;  // no cheap test; leftovers stay
#else
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

bool GleichOhneFall(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto g = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        if (g(a[i]) != g(b[i])) return false;
    }
    return true;
}

}  // namespace

void SetzeSchreibgrenze(long long bytes) { schreibgrenze = bytes; }
void SetzeAbbruchstelle(long n) { abbruchstelle = n; }

void SyncPfad(const std::string& pfad, bool ordner) {
#ifdef _WIN32
    if (ordner) return;  // folders cannot be synced there; renames are durable once they return
    const int fd = _open(pfad.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) Fehler(pfad, std::strerror(errno));
    SyncUndSchliessen(fd, pfad);
#else
    const int fd = ::open(pfad.c_str(), (ordner ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) Fehler(pfad, std::strerror(errno));
    SyncUndSchliessen(fd, pfad);
#endif
}

TErsatzdatei::TErsatzdatei(std::string ziel) : ziel_(std::move(ziel)) { daneben_ = ziel_ + EindeutigerName(); }

TErsatzdatei::~TErsatzdatei() {
    if (eingesetzt_) return;
    std::error_code egal;
    fs::remove(fs::path(daneben_), egal);
}

void TErsatzdatei::Schreiben(std::string_view daten) {
    const int fd = Erzeugen(daneben_);
    try {
        SchreibeAlles(fd, daneben_, daten.data(), daten.size());
    } catch (...) {
#ifdef _WIN32
        _close(fd);
#else
        ::close(fd);
#endif
        throw;
    }
    SyncUndSchliessen(fd, daneben_);
}

void TErsatzdatei::Einsetzen() {
    Umbenennen(daneben_, ziel_);
    eingesetzt_ = true;
    SyncPfad(Ordnerteil(ziel_), true);
}

TErsatzordner::TErsatzordner(std::string ordner) : ordner_(std::move(ordner)) {
    pfad_ = Verbinde(ordner_, EindeutigerName());
    std::error_code fehler;
    if (!fs::create_directory(fs::path(pfad_), fehler)) Fehler(pfad_, fehler ? fehler.message() : "exists");
}

TErsatzordner::~TErsatzordner() {
    std::error_code egal;
    fs::remove_all(fs::path(pfad_), egal);
}

void TErsatzordner::Kopieren(const std::string& name) {
    const std::string von = Verbinde(ordner_, name);
    const std::string nach = Verbinde(pfad_, name);
#ifdef _WIN32
    const int in = _open(von.c_str(), _O_RDONLY | _O_BINARY);
#else
    const int in = ::open(von.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (in < 0) Fehler(von, std::strerror(errno));
    int out = -1;
    try {
        out = Erzeugen(nach);
        char puffer[1 << 16];
        for (;;) {
#ifdef _WIN32
            const int r = _read(in, puffer, sizeof puffer);
#else
            const ssize_t r = ::read(in, puffer, sizeof puffer);
#endif
            if (r < 0) {
                if (errno == EINTR) continue;
                Fehler(von, std::strerror(errno));
            }
            if (r == 0) break;
            SchreibeAlles(out, nach, puffer, static_cast<std::size_t>(r));
        }
    } catch (...) {
#ifdef _WIN32
        _close(in);
        if (out >= 0) _close(out);
#else
        ::close(in);
        if (out >= 0) ::close(out);
#endif
        throw;
    }
#ifdef _WIN32
    _close(in);
    _close(out);
#else
    ::close(in);
    ::close(out);
#endif
}

void TErsatzordner::Einsetzen(const std::vector<std::string>& namen) {
    for (const std::string& n : namen) SyncPfad(Verbinde(pfad_, n), false);
    for (const std::string& n : namen) Umbenennen(Verbinde(pfad_, n), Verbinde(ordner_, n));
    SyncPfad(ordner_, true);
}

std::vector<std::string> Tabellendateien(const std::string& ordner, const std::string& tabelle) {
    const std::size_t punkt = tabelle.find_last_of('.');
    const std::string stamm = punkt == std::string::npos ? tabelle : tabelle.substr(0, punkt);
    std::vector<std::string> memo, index;
    std::error_code fehler;
    for (const auto& e : fs::directory_iterator(fs::path(ordner), fehler)) {
        const std::string name = e.path().filename().string();
        if (name.size() != stamm.size() + 4 || name.compare(0, stamm.size(), stamm) != 0 || name[stamm.size()] != '.')
            continue;
        const std::string_view ext = std::string_view(name).substr(stamm.size());
        if (GleichOhneFall(ext, ".fpt") || GleichOhneFall(ext, ".dbt")) memo.push_back(name);
        else if (GleichOhneFall(ext, ".zix")) index.push_back(name);
    }
    // The index goes in after its table: a crash between the two leaves the index of the table's earlier
    // state, whose entries all still name their records and which the next open rebuilds. The other order
    // would leave an index naming records the table does not hold yet.
    std::vector<std::string> alle = memo;
    alle.push_back(tabelle);
    alle.insert(alle.end(), index.begin(), index.end());
    return alle;
}

void EntferneReste(const std::string& ordner) {
    std::error_code fehler;
    for (const auto& e : fs::directory_iterator(fs::path(ordner), fehler)) {
        const std::string name = e.path().filename().string();
        const std::size_t p = name.find(kVorsilbe);
        if (p == std::string::npos) continue;
        const long pid = std::strtol(name.c_str() + p + kVorsilbe.size(), nullptr, 10);
        if (pid <= 0 || LaeuftNoch(pid)) continue;
        std::error_code egal;
        fs::remove_all(e.path(), egal);
    }
}

}  // namespace zanit
