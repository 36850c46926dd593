// The whole import of the German-English word list (Debian trans-de-en, /usr/share/trans/de-en, or the file
// ZANIT_BENCH_DING names) by zanit-import, run as a child process into a folder under the build folder: the
// wall time of the run, its peak resident memory (peak_MB) and the records written. The source file is read
// once beforehand so that it comes from the page cache, as it does for the demo installation's later runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Quelle() {
    const char* env = std::getenv("ZANIT_BENCH_DING");
    return env && *env ? env : "/usr/share/trans/de-en";
}

struct Lauf {
    int code = -1;
    double sekunden = 0;
    long peakKib = 0;
};

Lauf Importiere(const std::string& quelle, const fs::path& out) {
    Lauf lauf;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) return lauf;
    if (child == 0) {
        // only the tool's own messages are kept out of the benchmark's output
        if (std::freopen("/dev/null", "w", stdout) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr)
            ::_exit(126);
        ::execl(ZANIT_IMPORT_TOOL, "zanit-import", "ding", quelle.c_str(), "--out", out.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child) return lauf;
    lauf.sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lauf.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    lauf.peakKib = usage.ru_maxrss;
    return lauf;
}

void BM_Import_Ding(benchmark::State& state) {
    const std::string quelle = Quelle();
    if (!fs::is_regular_file(quelle)) {
        state.SkipWithError(("the word list " + quelle + " is not installed (Debian package trans-de-en)").c_str());
        return;
    }
    {
        std::ifstream in(quelle, std::ios::binary);
        std::vector<char> puffer(1 << 20);
        while (in.read(puffer.data(), static_cast<std::streamsize>(puffer.size()))) {
        }
    }
    const fs::path ordner = fs::path(ZANIT_BINARY_DIR) / "bench-import";
    fs::create_directories(ordner);
    const fs::path out = ordner / "ENGLISCH.DBF";
    long peak = 0;
    for (auto _ : state) {
        const Lauf lauf = Importiere(quelle, out);
        if (lauf.code != 0) {
            state.SkipWithError("zanit-import failed");
            return;
        }
        state.SetIterationTime(lauf.sekunden);
        peak = std::max(peak, lauf.peakKib);
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    state.counters["table_MB"] = static_cast<double>(fs::file_size(out)) / 1e6;
    std::error_code ignored;
    fs::remove_all(ordner, ignored);
}
BENCHMARK(BM_Import_Ding)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
