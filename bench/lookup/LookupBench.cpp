// One lookup from a terminal is one process: start, open the dictionary, walk, print, end. This times a whole
// `zanit-lookup` process per word on the imported German-English word list (about 900,000 word pairs), and in
// the same run the classic command-line dictionary clients on the same words where they are installed:
//   sdcv  with ZANIT_BENCH_STARDICT naming a folder that holds a StarDict dictionary of the same word list,
//   dict  with ZANIT_BENCH_DICT_DB naming the database of that word list on the dictd server at 127.0.0.1
//         (port ZANIT_BENCH_DICT_PORT, default 2628).
// scripts/bench prepares both where the clients are installed.
// A client that is not installed, or has no dictionary named, is reported as such and left out. Each word
// runs a few times; the counters give the median and the 90th percentile over the words, in milliseconds.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kCache = ZANIT_BINARY_DIR "/bench-cache/ding";
const fs::path kTabelle = kCache / "ENGLISCH.DBF";
const fs::path kHive = kCache / "lookup.reg";
const fs::path kQuelle = "/usr/share/trans/de-en";
constexpr int kWoerter = 100;
constexpr int kLaeufe = 5;

[[noreturn]] void Abbruch(const std::string& why) {
    std::fprintf(stderr, "bench_lookup: %s\n", why.c_str());
    std::exit(1);
}

// Runs argv with standard output and error on /dev/null; returns the exit status (-1 when it did not run).
int Starte(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&aktionen, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int fehler = posix_spawnp(&pid, args[0], &aktionen, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&aktionen);
    if (fehler != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Gefunden(const std::string& programm) {
    const char* pfad = std::getenv("PATH");
    std::string rest = pfad ? pfad : "";
    for (std::size_t a = 0; a <= rest.size();) {
        const std::size_t e = std::min(rest.find(':', a), rest.size());
        const fs::path p = fs::path(rest.substr(a, e - a)) / programm;
        if (access(p.c_str(), X_OK) == 0) return true;
        a = e + 1;
    }
    return false;
}

// Every 2000th headword of the word list (the German side before " :: ", its first synonym), as typed.
std::vector<std::string> Woerter() {
    std::ifstream in(kQuelle);
    if (!in) Abbruch(kQuelle.string() + " is missing (Debian package trans-de-en)");
    std::vector<std::string> out;
    std::string zeile;
    for (long n = 0; std::getline(in, zeile) && static_cast<int>(out.size()) < kWoerter; ++n) {
        if (zeile.empty() || zeile[0] == '#' || n % 2000 != 0) continue;
        std::string wort = zeile.substr(0, zeile.find(" :: "));
        wort = wort.substr(0, wort.find_first_of(";|{([/"));
        while (!wort.empty() && wort.back() == ' ') wort.pop_back();
        if (!wort.empty() && wort.find(' ') == std::string::npos) out.push_back(wort);
    }
    return out;
}

void Vorbereiten() {
    static bool fertig = false;
    if (fertig) return;
    fertig = true;
    fs::create_directories(kCache);
    if (!fs::exists(kTabelle)) {
        std::fprintf(stderr, "bench_lookup: importing %s into %s (once)\n", kQuelle.c_str(), kTabelle.c_str());
        if (Starte({ZANIT_IMPORT_TOOL, "ding", kQuelle.string(), "--out", kTabelle.string()}) != 0)
            Abbruch("the import failed");
    }
    fs::remove(kHive);
    setenv("ZANIT_REGISTRY", kHive.c_str(), 1);
    const std::string programm = fs::path(ZANIT_LOOKUP_TOOL).parent_path().string();
    if (Starte({ZANIT_SETUP_TOOL, "install", "--program", programm, "--medium", kCache.string()}) != 0 ||
        Starte({ZANIT_SETUP_TOOL, "add-dictionary", "Englisch", "--file", kTabelle.string(), "--textm", "Deutsch",
                "--textf", "Englisch"}) != 0)
        Abbruch("cannot write the hive " + kHive.string());
}

std::map<std::string, std::pair<double, double>> g_ergebnisse;  // median, p90 in ms

double Quantil(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())))];
}

void Zeitnahme(benchmark::State& state, const std::string& name,
               const std::function<std::vector<std::string>(const std::string&)>& aufruf) {
    Vorbereiten();
    const std::vector<std::string> woerter = Woerter();
    std::vector<double> jeWort;
    for (auto _ : state) {
        jeWort.clear();
        for (const std::string& w : woerter) {
            std::vector<double> laeufe;
            for (int i = 0; i < kLaeufe; ++i) {
                const auto t0 = std::chrono::steady_clock::now();
                if (Starte(aufruf(w)) < 0) {
                    state.SkipWithError(("cannot run " + name).c_str());
                    return;
                }
                laeufe.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            }
            jeWort.push_back(Quantil(laeufe, 0.5));
        }
    }
    const double median = Quantil(jeWort, 0.5), p90 = Quantil(jeWort, 0.9);
    state.counters["median_ms"] = median;
    state.counters["p90_ms"] = p90;
    g_ergebnisse[name] = {median, p90};
}

void BM_ZanitLookup(benchmark::State& s) {
    Zeitnahme(s, "zanit-lookup", [](const std::string& w) {
        return std::vector<std::string>{ZANIT_LOOKUP_TOOL, "--dictionary", "Englisch", w};
    });
}

void BM_Sdcv(benchmark::State& s) {
    const char* daten = std::getenv("ZANIT_BENCH_STARDICT");
    if (!Gefunden("sdcv")) return s.SkipWithError("sdcv is not installed");
    if (!daten) return s.SkipWithError("ZANIT_BENCH_STARDICT names no StarDict dictionary of the word list");
    const std::string ordner = daten;
    Zeitnahme(s, "sdcv", [ordner](const std::string& w) {
        return std::vector<std::string>{"sdcv", "-n", "--data-dir", ordner, w};
    });
}

void BM_Dict(benchmark::State& s) {
    const char* db = std::getenv("ZANIT_BENCH_DICT_DB");
    if (!Gefunden("dict")) return s.SkipWithError("dict is not installed");
    if (!db) return s.SkipWithError("ZANIT_BENCH_DICT_DB names no dictd database of the word list");
    const std::string name = db;
    const char* port = std::getenv("ZANIT_BENCH_DICT_PORT");
    const std::string portText = port ? port : "2628";
    Zeitnahme(s, "dict", [name, portText](const std::string& w) {
        return std::vector<std::string>{"dict", "-h", "127.0.0.1", "-p", portText, "-d", name, w};
    });
}

BENCHMARK(BM_ZanitLookup)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Sdcv)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Dict)->Unit(benchmark::kMillisecond)->Iterations(1);

void Zusammenfassung() {
    std::printf("\nOne lookup process per word (%d words, median of %d runs each), milliseconds:\n", kWoerter, kLaeufe);
    for (const char* name : {"zanit-lookup", "sdcv", "dict"}) {
        const auto e = g_ergebnisse.find(name);
        if (e == g_ergebnisse.end()) std::printf("  %-14s not measured (not installed or no dictionary named)\n", name);
        else std::printf("  %-14s median %6.2f   p90 %6.2f\n", name, e->second.first, e->second.second);
    }
    const auto z = g_ergebnisse.find("zanit-lookup");
    if (z == g_ergebnisse.end()) return;
    std::printf("  %-62s %s\n", "zanit-lookup median <= 2 ms", z->second.first <= 2 ? "met" : "MISSED");
    for (const char* peer : {"sdcv", "dict"}) {
        const auto p = g_ergebnisse.find(peer);
        if (p == g_ergebnisse.end()) continue;
        std::printf("  zanit-lookup faster than %-37s %s\n", peer,
                    z->second.first < p->second.first ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Zusammenfassung();
    return 0;
}
