// Search keys are built for every record of an import and on every key press; the writer appends every
// record of an imported dictionary.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "search/Suchbegriff.h"
#include "search/Woerterbuchbau.h"
#include "zanit-dict/Quelle.h"

namespace {

const std::vector<zanit::Woerterbucheintrag>& Sample() {
    static const auto records =
        zanit_dict::LeseQuelldatei(std::string(ZANIT_SOURCE_DIR) + "/resources/dictionaries/deutsch-englisch.tsv");
    return records;
}

void BM_MachSuchbegriff(benchmark::State& state) {
    const auto& records = Sample();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& e = records[i++ % records.size()];
        benchmark::DoNotOptimize(zanit::MachSuchbegriff(e.W1, "Deutsch"));
        benchmark::DoNotOptimize(zanit::MachSuchbegriff(e.W2, "Englisch"));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_MachSuchbegriff);

void BM_MachVergleichsform(benchmark::State& state) {
    const auto& records = Sample();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& e = records[i++ % records.size()];
        benchmark::DoNotOptimize(zanit::MachVergleichsform(e.W2, e.WA));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_MachVergleichsform);

// Records appended per second by the dictionary writer, in batches of state.range(0) records.
void BM_Woerterbuchbau(benchmark::State& state) {
    const auto& records = Sample();
    const auto dir = std::filesystem::temp_directory_path() / "zanit-bench-woerterbuchbau";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "BENCH.DBF").string();
    const auto n = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        zanit::TWoerterbuchbau bau(path, "Deutsch", "Englisch");
        for (std::size_t i = 0; i < n; ++i) bau.Hinzufuegen(records[i % records.size()]);
        bau.Abschliessen();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Woerterbuchbau)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
