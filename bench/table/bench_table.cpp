// The dictionary's hot paths on 1,000,000 records: seek a prefix and read up to 200 records, seek a miss,
// build both tags, open the table. The engine (plain and encrypted) runs against SQLite and a sorted
// in-memory array holding the same records. Every seek case reports median_us and p99_us per seek.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>
#include <stdexcept>

#include "BenchData.h"
#include "xbase/Table.h"

namespace {

using benchtable::Record;
namespace fs = std::filesystem;

constexpr int kReadLimit = 200;

// What a seek hands back, so that nothing is optimised away and the peers can be compared.
struct Result {
    int count = 0;
    long long checksum = 0;
    void Add(const std::string& w1, const std::string& w2, const std::string& wi1, long long wa, long long ww1,
             long long ww2) {
        ++count;
        checksum += static_cast<long long>(w1.size() + w2.size() + wi1.size()) + wa + ww1 * 3 + ww2 * 7;
    }
};

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

class Peer {
public:
    virtual ~Peer() = default;
    virtual Result SeekAndRead(const std::string& prefix) = 0;
};

class EnginePeer : public Peer {
public:
    EnginePeer(const std::string& path, const std::string& password) {
        table_.SetFileName(path);
        table_.SetPassword(password);
        table_.SetReadOnly(true);
        table_.Open();
        table_.SetOrder(table_.TagArea("IWI1"));
        for (const char* name : {"W1", "W2", "WI1", "WA", "WW1", "WW2"}) fields_.push_back(table_.FieldByName(name));
    }
    Result SeekAndRead(const std::string& prefix) override {
        Result r;
        if (!table_.Seek(prefix)) return r;
        for (; !table_.Eof() && r.count < kReadLimit; table_.Next()) {
            const std::string wi1 = fields_[2].AsString();
            if (!StartsWith(wi1, prefix)) break;
            r.Add(fields_[0].AsString(), fields_[1].AsString(), wi1, fields_[3].AsInteger(), fields_[4].AsInteger(),
                  fields_[5].AsInteger());
        }
        return r;
    }

private:
    xbase::Table table_;
    std::vector<xbase::Field> fields_;
};

class SqlitePeer : public Peer {
public:
    explicit SqlitePeer(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
        if (sqlite3_prepare_v2(db_,
                               "SELECT w1, w2, wi1, wa, ww1, ww2 FROM dict WHERE wi1 >= ?1 AND wi1 < ?2 "
                               "ORDER BY wi1 LIMIT 200",
                               -1, &query_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
    }
    ~SqlitePeer() override {
        sqlite3_finalize(query_);
        sqlite3_close(db_);
    }
    Result SeekAndRead(const std::string& prefix) override {
        // Keys are Windows-1252 blobs; the upper bound is the prefix followed by byte 0xFF.
        const std::string upper = prefix + '\xff';
        sqlite3_bind_blob(query_, 1, prefix.data(), static_cast<int>(prefix.size()), SQLITE_STATIC);
        sqlite3_bind_blob(query_, 2, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
        Result r;
        while (sqlite3_step(query_) == SQLITE_ROW)
            r.Add(Text(0), Text(1), Text(2), sqlite3_column_int64(query_, 3), sqlite3_column_int64(query_, 4),
                  sqlite3_column_int64(query_, 5));
        sqlite3_reset(query_);
        return r;
    }

private:
    std::string Text(int column) {
        const void* p = sqlite3_column_blob(query_, column);
        return std::string(static_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(query_, column)));
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt* query_ = nullptr;
};

// Record numbers ordered by key, then by record number (the engine's order for equal keys).
std::vector<std::uint32_t> SortedBy(const std::vector<Record>& records, std::string Record::*key) {
    std::vector<std::uint32_t> order(records.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return records[a].*key < records[b].*key; });
    return order;
}

class ArrayPeer : public Peer {
public:
    explicit ArrayPeer(const std::vector<Record>& records) : records_(records), order_(SortedBy(records, &Record::wi1)) {}
    Result SeekAndRead(const std::string& prefix) override {
        auto it = std::lower_bound(order_.begin(), order_.end(), prefix,
                                   [&](std::uint32_t i, const std::string& k) { return records_[i].wi1 < k; });
        Result r;
        for (; it != order_.end() && r.count < kReadLimit; ++it) {
            const Record& rec = records_[*it];
            if (!StartsWith(rec.wi1, prefix)) break;
            r.Add(std::string(rec.w1), std::string(rec.w2), std::string(rec.wi1), rec.wa, rec.ww1, rec.ww2);
        }
        return r;
    }

private:
    const std::vector<Record>& records_;
    std::vector<std::uint32_t> order_;
};

struct World {
    std::vector<Record> records;
    benchtable::Paths paths;
    std::vector<std::string> prefixes, words, misses;
    std::unique_ptr<Peer> plain, encrypted, sqlite, array;
};
World* world = nullptr;

// What a user types: one to three letters (each matches far more than 200 records) ...
std::vector<std::string> ShortPrefixes() {
    return {"A", "B", "H", "S", "V", "Z", "\334", "HA", "ST", "VE", "SCH", "BER", "HAU", "\334BE", "KRA", "WAL"};
}

// ... and whole words, taken from the data.
std::vector<std::string> WholeKeys(const std::vector<Record>& records) {
    std::vector<std::string> out;
    for (std::size_t i = 7; i < records.size() && out.size() < 64; i += 15013) out.push_back(records[i].wi1);
    return out;
}

std::vector<std::string> MissPrefixes(const std::vector<Record>& records) {
    std::vector<std::string> out = {"Q", "XY", "QU", "YYY", "HAUSQ", "ZZZZZZZZZZ"};
    for (std::size_t i = 11; i < records.size() && out.size() < 32; i += 40009)
        out.push_back(records[i].wi1.substr(0, 5) + "QX");
    return out;
}

void Report(benchmark::State& state, std::vector<double>& ns, const char* prefix = "") {
    if (ns.empty()) return;
    std::sort(ns.begin(), ns.end());
    state.counters[std::string(prefix) + "median_us"] = ns[ns.size() / 2] / 1000.0;
    state.counters[std::string(prefix) + "p99_us"] = ns[std::min(ns.size() - 1, ns.size() * 99 / 100)] / 1000.0;
}

double ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// Per operation: wall time (median_us, p99_us) and, since the machine may be shared, this thread's CPU time
// (cpu_median_us, cpu_p99_us), which leaves out the time other processes held the CPU.
template <class Setup, class Op>
void MeasureWith(benchmark::State& state, bool manualTime, Setup&& setup, Op&& op) {
    std::vector<double> wall, cpu;
    std::size_t i = 0;
    for (auto _ : state) {
        setup();
        const double c0 = ThreadCpuNs();
        const auto t0 = std::chrono::steady_clock::now();
        op(i++);
        const auto t1 = std::chrono::steady_clock::now();
        const double c1 = ThreadCpuNs();
        wall.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
        cpu.push_back(c1 - c0);
        if (manualTime) state.SetIterationTime(wall.back() / 1e9);
    }
    Report(state, wall);
    Report(state, cpu, "cpu_");
}

template <class Op>
void Measure(benchmark::State& state, Op&& op) {
    MeasureWith(state, false, [] {}, op);
}

void SeekCase(benchmark::State& state, Peer* peer, const std::vector<std::string>* keys) {
    long long records = 0;
    Measure(state, [&](std::size_t i) {
        const Result r = peer->SeekAndRead((*keys)[i % keys->size()]);
        records += r.count;
        benchmark::DoNotOptimize(r.checksum);
    });
    state.counters["records"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kAvgIterations);
}

std::string IndexFileOf(const std::string& table) {
    fs::path p(table);
    for (const char* ext : {".ZIX", ".zix"}) {
        const fs::path candidate = fs::path(p).replace_extension(ext);
        if (fs::exists(candidate)) return candidate.string();
    }
    throw std::runtime_error("no index file beside " + table);
}

// Both tags built from the records: the index file is removed and the next open builds it.
void ReindexEngine(benchmark::State& state, const std::string& path, const std::string& password) {
    const std::string index = IndexFileOf(path);
    std::unique_ptr<xbase::Table> t;
    MeasureWith(
        state, true,
        [&] {
            t.reset();
            fs::remove(index);
            t = std::make_unique<xbase::Table>();
            t->SetFileName(path);
            t->SetPassword(password);
        },
        [&](std::size_t) { t->Open(); });
    if (!t || t->TagArea("IWI1") == 0 || t->TagArea("IWI2") == 0) state.SkipWithError("tags were not rebuilt");
}

void ReindexSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open(world->paths.sqlite.c_str(), &db);
    MeasureWith(state, true, [] {}, [&](std::size_t) { sqlite3_exec(db, "REINDEX dict", nullptr, nullptr, nullptr); });
    sqlite3_close(db);
}

void ReindexArray(benchmark::State& state) {
    MeasureWith(state, true, [] {}, [&](std::size_t) {
        auto a = SortedBy(world->records, &Record::wi1);
        auto b = SortedBy(world->records, &Record::wi2);
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
    });
}

void OpenEngine(benchmark::State& state, const std::string& path, const std::string& password) {
    Measure(state, [&](std::size_t) {
        xbase::Table t;
        t.SetFileName(path);
        t.SetPassword(password);
        t.SetReadOnly(true);
        t.Open();
        t.SetOrder(t.TagArea("IWI1"));
        benchmark::DoNotOptimize(t.RecCount());
    });
}

void OpenSqlite(benchmark::State& state) {
    Measure(state, [&](std::size_t) {
        SqlitePeer peer(world->paths.sqlite);
        benchmark::DoNotOptimize(&peer);
    });
}

// All peers must find the same records, or the figures compare different work.
bool PeersAgree() {
    bool ok = true;
    for (const auto* list : {&world->prefixes, &world->words, &world->misses}) {
        for (const auto& key : *list) {
            const Result want = world->array->SeekAndRead(key);
            for (Peer* p : {world->plain.get(), world->encrypted.get(), world->sqlite.get()}) {
                const Result got = p->SeekAndRead(key);
                if (got.count != want.count || got.checksum != want.checksum) {
                    std::fprintf(stderr, "peers differ on \"%s\": %d records (checksum %lld) instead of %d (%lld)\n",
                                 key.c_str(), got.count, got.checksum, want.count, want.checksum);
                    ok = false;
                }
            }
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    World w;
    world = &w;
    xbase::RegisterTagDefinition("IWI1", "WI1");
    xbase::RegisterTagDefinition("IWI2", "WI2");
    w.records = benchtable::MakeRecords(benchtable::kRecords);
    w.paths = benchtable::EnsureData(w.records);
    w.prefixes = ShortPrefixes();
    w.words = WholeKeys(w.records);
    w.misses = MissPrefixes(w.records);
    w.plain = std::make_unique<EnginePeer>(w.paths.plain, "");
    w.encrypted = std::make_unique<EnginePeer>(w.paths.encrypted, benchtable::kPassword);
    w.sqlite = std::make_unique<SqlitePeer>(w.paths.sqlite);
    w.array = std::make_unique<ArrayPeer>(w.records);
    if (!PeersAgree()) return 1;

    const std::pair<const char*, Peer*> peers[] = {{"engine", w.plain.get()},
                                                   {"engine_encrypted", w.encrypted.get()},
                                                   {"sqlite", w.sqlite.get()},
                                                   {"sorted_array", w.array.get()}};
    for (const auto& [name, peer] : peers)
        benchmark::RegisterBenchmark((std::string("SeekPrefixRead200/") + name).c_str(), SeekCase, peer, &w.prefixes);
    for (const auto& [name, peer] : peers)
        benchmark::RegisterBenchmark((std::string("SeekWordRead/") + name).c_str(), SeekCase, peer, &w.words);
    for (const auto& [name, peer] : peers)
        benchmark::RegisterBenchmark((std::string("SeekMiss/") + name).c_str(), SeekCase, peer, &w.misses);
    benchmark::RegisterBenchmark("ReindexBothTags/engine", ReindexEngine, w.paths.plain, std::string())
        ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReindexBothTags/engine_encrypted", ReindexEngine, w.paths.encrypted,
                                 std::string(benchtable::kPassword))
        ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReindexBothTags/sqlite", ReindexSqlite)
        ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReindexBothTags/sorted_array", ReindexArray)
        ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Open/engine", OpenEngine, w.paths.plain, std::string());
    benchmark::RegisterBenchmark("Open/engine_encrypted", OpenEngine, w.paths.encrypted,
                                 std::string(benchtable::kPassword));
    benchmark::RegisterBenchmark("Open/sqlite", OpenSqlite);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
