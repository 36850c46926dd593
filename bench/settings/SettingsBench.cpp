// Reading a settings hive with many dictionary sections, as the program's start does it: list the sections
// of the settings key, then read each section's file and names. Every iteration sees a new file version, so
// the hive is read and parsed afresh each time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/RegistryFormat.h"
#include "base/Utils.h"

namespace {

const std::string kEinstellungen = "\\Software\\MORAV\\zanit\\Dictionary";

// A hive with the installation values and `sections` dictionary sections; ZANIT_REGISTRY points at it.
std::string HiveWith(int sections) {
    static const std::filesystem::path folder = [] {
        char pattern[] = "/tmp/zanit-bench-settings-XXXXXX";
        return std::filesystem::path(::mkdtemp(pattern));
    }();
    const std::string file = (folder / ("machine-" + std::to_string(sections) + ".reg")).string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\n"
           "\"Program\"=\"/opt/zanit/\"\n\"CD\"=\"/media/cdrom/\"\n\"Section\"=\"W\xC3\xB6rterbuch 17\"\n\n";
    for (int i = 0; i < sections; ++i) {
        const std::string n = std::to_string(i);
        out << "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary\\W\xC3\xB6rterbuch " << n << "]\n"
            << "\"Dictionary\"=\"/opt/zanit/Data/W" << n << ".DBF\"\n\"TextM\"=\"Deutsch\"\n\"TextF\"=\"Sprache " << n
            << "\"\n\"Sound\"=\"/media/cdrom/T" << n << ".DBF\"\n\"ReleaseS\"=dword:0000000c\n\n";
    }
    out.close();
    ::setenv("ZANIT_REGISTRY", file.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    return file;
}

// The reads of the dictionary list: every section's file, its two tab names.
void BM_WoerterbuchlisteLesen(benchmark::State& state) {
    const std::string file = HiveWith(static_cast<int>(state.range(0)));
    long version = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000 + ++version, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);  // a new file version: read and parse again
        state.ResumeTiming();
        found = 0;
        for (const std::string& section : zanit::RegUnterschluesselLesen(zanit::RegRoot::LocalMachine, kEinstellungen)) {
            const std::string pfad = zanit::RegTextLesen(zanit::RegRoot::LocalMachine, kEinstellungen, section, "", "Dictionary");
            benchmark::DoNotOptimize(zanit::RegTextLesen(zanit::RegRoot::LocalMachine, kEinstellungen, section, "Deutsch", "TextM"));
            benchmark::DoNotOptimize(zanit::RegTextLesen(zanit::RegRoot::LocalMachine, kEinstellungen, section, section, "TextF"));
            found += !pfad.empty();
        }
    }
    if (found != static_cast<std::size_t>(state.range(0))) state.SkipWithError("sections missing");
    state.counters["sections"] = static_cast<double>(found);
}
BENCHMARK(BM_WoerterbuchlisteLesen)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same hive's bytes parsed into the model and every section's values looked up, without the files.
void BM_HiveParsen(benchmark::State& state) {
    std::string bytes;
    {
        std::ifstream in(HiveWith(static_cast<int>(state.range(0))), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string settings = "HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary";
    std::size_t found = 0;
    for (auto _ : state) {
        const zanit::registry::Hive hive = zanit::registry::ParseHive(bytes, "bench", {});
        found = 0;
        for (const std::string& section : zanit::registry::SubkeyNames(hive, settings)) {
            const zanit::registry::HiveKey* key = zanit::registry::FindKey(hive, settings + "\\" + section);
            found += key && zanit::registry::FindValue(*key, "Dictionary") && zanit::registry::FindValue(*key, "TextF");
        }
    }
    if (found != static_cast<std::size_t>(state.range(0))) state.SkipWithError("sections missing");
}
BENCHMARK(BM_HiveParsen)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
