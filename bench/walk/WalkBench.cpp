// The whole search walk (seek, grouping, hit lines) and the reverse lookup on a synthetic dictionary of one
// million records and on the sample dictionary. Each benchmark reports the median and the 99th percentile
// of its repetitions.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/Datendialog.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "search/Woerterbuchbau.h"

namespace {

using namespace zanit;

constexpr std::uint32_t kDatensaetze = 1'000'000;

const char* const kSilben[] = {"hau", "ber", "tin", "ka", "lo", "mar", "sen", "fe", "ri", "gun", "pa", "dor",
                               "wel", "ach", "zu", "mi", "sto", "ner", "bla", "kum", "ten", "ho", "sal", "vi",
                               "ek", "dra", "lun", "se", "pfa", "gor", "nu", "tre"};
constexpr std::uint32_t kSilbenzahl = sizeof kSilben / sizeof kSilben[0];

std::uint32_t Mische(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// Word number i: three to four syllables, the first capitalised.
std::string Wort(std::uint32_t i, bool gross) {
    std::uint32_t h = Mische(i);
    std::string w;
    const int silben = 3 + static_cast<int>(i % 2);
    for (int s = 0; s < silben; ++s) {
        w += kSilben[h % kSilbenzahl];
        h /= kSilbenzahl;
        if (s == 1) h ^= Mische(i + 0x9e3779b9U);
    }
    w += std::to_string(i % 97);
    if (gross) w[0] = static_cast<char>(w[0] - 'a' + 'A');
    return w;
}

// 1..4 translations per word until a million records are written, in the order of the word numbers.
// inKeyOrder: through the dictionary writer, which stores them in the order of WI1 as every dictionary is
// stored; else straight through the engine, in the order of the word numbers (random in key order). The
// table is written into a fresh folder that replaces the cache folder only when complete.
void BaueSynthetisch(const std::filesystem::path& ordner, const std::string& datei, bool inKeyOrder) {
    const std::filesystem::path neu = ordner.string() + ".neu";
    std::filesystem::remove_all(neu);
    std::filesystem::create_directories(neu);
    if (inKeyOrder) {
        TWoerterbuchbau bau((neu / datei).string(), "Deutsch", "Englisch", {std::string(kWoerterbuchPasswort), 60, {}});
        std::uint32_t n = 0;
        for (std::uint32_t wort = 0; n < kDatensaetze; ++wort) {
            const std::string w1 = Wort(wort, true);
            const int wa = static_cast<int>(Mische(wort * 7U) % 12U);
            const std::uint32_t uebersetzungen = 1 + Mische(wort * 3U) % 4U;
            for (std::uint32_t u = 0; u < uebersetzungen && n < kDatensaetze; ++u, ++n)
                bau.Hinzufuegen({w1, Wort(wort * 5U + u + 2'000'000U, false), wa, 0, 0});
        }
        bau.Abschliessen();
    } else {
        // Written through the engine directly: a bulk load that syncs once at the end, not per record.
        xbase::Table::Create((neu / datei).string(), WoerterbuchFelder(60), WoerterbuchTags(),
                             std::string(kWoerterbuchPasswort));
        xbase::Table t;
        t.SetFileName((neu / datei).string());
        t.SetPassword(std::string(kWoerterbuchPasswort));
        t.SetExclusive(true);
        t.Open();
        t.SetSyncOnPost(false);
        std::uint32_t n = 0;
        for (std::uint32_t wort = 0; n < kDatensaetze; ++wort) {
            const std::string w1 = Wort(wort, true);
            const std::string wi1 = Suchschluessel(w1, "Deutsch");
            const int wa = static_cast<int>(Mische(wort * 7U) % 12U);
            const std::uint32_t uebersetzungen = 1 + Mische(wort * 3U) % 4U;
            for (std::uint32_t u = 0; u < uebersetzungen && n < kDatensaetze; ++u, ++n) {
                const std::string w2 = Wort(wort * 5U + u + 2'000'000U, false);
                t.AppendBlank();
                t.FieldByName("W1").SetAsString(w1);
                t.FieldByName("W2").SetAsString(w2);
                t.FieldByName("WI1").SetAsString(wi1);
                t.FieldByName("WI2").SetAsString(Suchschluessel(w2, "Englisch"));
                t.FieldByName("WA").SetAsInteger(wa);
                t.Post();
            }
        }
        t.Close();
    }
    std::filesystem::remove_all(ordner);
    std::filesystem::rename(neu, ordner);
}

// A dictionary opened read-only with the dictionary password, outside any settings store.
struct Offenes {
    TDatendialog daten;
    TWoerterbuecher buecher{daten};
    TSuche suche{daten, buecher};
    Trefferliste liste;
    std::vector<std::string> gegenliste;

    explicit Offenes(const std::string& pfad, std::string textF) {
        const std::filesystem::path p(pfad);
        daten.BuchDatei.SetFolder(p.parent_path().string());
        daten.BuchDatei.SetFileName(p.filename().string());
        daten.BuchDatei.SetReadOnly(true);
        daten.BuchDatei.SetPassword(std::string(kWoerterbuchPasswort));
        daten.BuchDatei.Open();
        buecher.Offen = true;
        buecher.TextM = "Deutsch";
        buecher.TextF = std::move(textF);
        suche.NachrichtenVerarbeiten = [] {};
    }
};

std::unique_ptr<Offenes> OeffneSynthetisch(bool inKeyOrder) {
    const std::filesystem::path ordner =
        std::string(ZANIT_BINARY_DIR) + (inKeyOrder ? "/bench-cache/walk1m-keyorder" : "/bench-cache/walk1m");
    const std::string datei = "WALK1M.DBF";
    const std::string pfad = (ordner / datei).string();
    for (int versuch = 0; versuch < 2; ++versuch) {
        if (std::filesystem::exists(pfad)) {
            try {
                auto o = std::make_unique<Offenes>(pfad, "Englisch");
                if (o->daten.BuchDatei.RecCount() == kDatensaetze) return o;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "bench_walk: cache unusable (%s), rebuilding\n", e.what());
            }
        }
        std::fprintf(stderr, "bench_walk: writing %u records to %s (once)\n", kDatensaetze, pfad.c_str());
        BaueSynthetisch(ordner, datei, inKeyOrder);
    }
    throw std::runtime_error("synthetic dictionary could not be built");
}

// As the dictionary writer stores every dictionary.
Offenes& Synthetisch() {
    static std::unique_ptr<Offenes> offen = OeffneSynthetisch(true);
    return *offen;
}

// The same records in random physical order.
Offenes& Zufallsfolge() {
    static std::unique_ptr<Offenes> offen = OeffneSynthetisch(false);
    return *offen;
}

Offenes& Beispiel() {
    static Offenes offen(std::string(ZANIT_BINARY_DIR) + "/bin/Data/DEUENGL.DBF", "Englisch");
    return offen;
}

void Walk(benchmark::State& state, Offenes& o, const char* text, bool inkrementell, int erwartet, int richtung = 1) {
    for (auto _ : state) {
        o.suche.FuelleTrefferliste(o.liste, text, true, inkrementell, richtung);
        benchmark::DoNotOptimize(o.liste.Anzahl());
    }
    if (erwartet >= 0 && o.liste.Trefferzahl != erwartet) {
        state.SkipWithError(("expected " + std::to_string(erwartet) + " hits, got " +
                             std::to_string(o.liste.Trefferzahl)).c_str());
    }
    state.counters["hits"] = o.liste.Trefferzahl;
    state.counters["lines"] = o.liste.Zeilenzahl;
}

void BM_Voll_1M(benchmark::State& state) { Walk(state, Synthetisch(), "Hau", false, kGrenzeVoll); }
void BM_Inkrementell_1M(benchmark::State& state) { Walk(state, Synthetisch(), "HAU", true, kGrenzeInkrementell); }
// A misspelt word: four seeks until the shortened key finds records.
void BM_Verkuerzt_1M(benchmark::State& state) { Walk(state, Synthetisch(), "Hauqxyz", false, kGrenzeVoll); }
// The foreign-language side: IWI2 visits the records in random physical order.
void BM_Voll_1M_Richtung2(benchmark::State& state) { Walk(state, Synthetisch(), "tin", false, kGrenzeVoll, 2); }
void BM_Voll_1M_Zufallsfolge(benchmark::State& state) { Walk(state, Zufallsfolge(), "Hau", false, kGrenzeVoll); }
void BM_Inkrementell_1M_Zufallsfolge(benchmark::State& state) {
    Walk(state, Zufallsfolge(), "HAU", true, kGrenzeInkrementell);
}
// A whole headword: a seek and a few records.
void BM_Kopfwort_1M(benchmark::State& state) {
    static const std::string wort = Wort(4711, true);
    Walk(state, Synthetisch(), wort.c_str(), false, -1);
}
void BM_Voll_Beispiel(benchmark::State& state) { Walk(state, Beispiel(), "Haus", false, kGrenzeVoll); }
void BM_Inkrementell_Beispiel(benchmark::State& state) {
    Walk(state, Beispiel(), "HAUS", true, kGrenzeInkrementell);
}

void BM_Gegenliste_1M(benchmark::State& state) {
    Offenes& o = Synthetisch();
    const std::string wort = Wort(4711, true);
    for (auto _ : state) {
        o.suche.FuelleGegenliste(o.gegenliste, wort, 1);
        benchmark::DoNotOptimize(o.gegenliste.size());
    }
    if (o.gegenliste.empty()) state.SkipWithError("reverse lookup found nothing");
}

double P99(const std::vector<double>& werte) {
    std::vector<double> v = werte;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(0.99 * static_cast<double>(v.size())));
    return v[i];
}

void Einstellen(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMicrosecond)->Iterations(20)->Repetitions(100)->ReportAggregatesOnly(true);
    b->ComputeStatistics("p99", P99);
}

BENCHMARK(BM_Voll_1M)->Apply(Einstellen);
BENCHMARK(BM_Inkrementell_1M)->Apply(Einstellen);
BENCHMARK(BM_Verkuerzt_1M)->Apply(Einstellen);
BENCHMARK(BM_Gegenliste_1M)->Apply(Einstellen);
BENCHMARK(BM_Kopfwort_1M)->Apply(Einstellen);
BENCHMARK(BM_Voll_1M_Richtung2)->Apply(Einstellen);
BENCHMARK(BM_Voll_1M_Zufallsfolge)->Apply(Einstellen);
BENCHMARK(BM_Inkrementell_1M_Zufallsfolge)->Apply(Einstellen);
BENCHMARK(BM_Voll_Beispiel)->Apply(Einstellen);
BENCHMARK(BM_Inkrementell_Beispiel)->Apply(Einstellen);

}  // namespace

BENCHMARK_MAIN();
