#include "BenchData.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "xbase/Table.h"

namespace benchtable {
namespace fs = std::filesystem;

namespace {

// Syllables of German-looking words; some carry umlauts and ß (Windows-1252).
const char* const kSyllables[] = {"haus", "baum", "stra", "\337e", "ber", "gen", "lich", "keit", "sch", "\344r",
                                  "\374ber", "ein", "ver", "ung", "mal", "tor", "an", "ke", "\366l", "wer",
                                  "ab", "zu", "spiel", "licht", "land", "kraft", "see", "wald", "feld", "bahn"};
const char* const kEnglish[] = {"house", "tree", "street", "over", "light", "game", "power", "forest", "field",
                                "track", "lake", "land", "car", "mind", "stone", "water", "fire", "word"};

std::string Word(std::mt19937& rng, std::size_t maxLength) {
    std::string w;
    const int parts = std::uniform_int_distribution<int>(1, 4)(rng);
    for (int i = 0; i < parts; ++i) w += kSyllables[rng() % std::size(kSyllables)];
    if (w[0] >= 'a' && w[0] <= 'z' && rng() % 2) w[0] = static_cast<char>(w[0] - 32);
    return w.substr(0, maxLength);
}

std::string Phrase(std::mt19937& rng, bool english, std::size_t maxLength) {
    std::string p;
    const int words = std::uniform_int_distribution<int>(1, 3)(rng);
    for (int i = 0; i < words; ++i) {
        if (i) p += ' ';
        p += english ? kEnglish[rng() % std::size(kEnglish)] : Word(rng, 30);
    }
    if (rng() % 4 == 0) p += " (ugs.)";
    return p.substr(0, maxLength);
}

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void BuildTable(const std::string& path, const std::vector<Record>& records, const std::string& password) {
    xbase::Table::Create(path,
                         {{"W1", 'C', 80, 0, false},
                          {"W2", 'C', 100, 0, false},
                          {"WI1", 'C', 20, 0, false},
                          {"WI2", 'C', 20, 0, false},
                          {"WA", 'N', 11, 0, false},
                          {"WW1", 'N', 11, 0, false},
                          {"WW2", 'N', 11, 0, false}},
                         {{"IWI1", "WI1"}, {"IWI2", "WI2"}}, password);
    xbase::Table t;
    t.SetFileName(path);
    t.SetPassword(password);
    t.SetExclusive(true);
    t.SetSyncOnPost(false);  // a bulk load: Close makes it durable
    t.Open();
    auto w1 = t.FieldByName("W1"), w2 = t.FieldByName("W2"), wi1 = t.FieldByName("WI1"), wi2 = t.FieldByName("WI2"),
         wa = t.FieldByName("WA"), ww1 = t.FieldByName("WW1"), ww2 = t.FieldByName("WW2");
    for (const auto& r : records) {
        t.AppendBlank();
        w1.SetAsString(r.w1);
        w2.SetAsString(r.w2);
        wi1.SetAsString(r.wi1);
        wi2.SetAsString(r.wi2);
        wa.SetAsInteger(r.wa);
        ww1.SetAsInteger(r.ww1);
        ww2.SetAsInteger(r.ww2);
        t.Post();
    }
    t.Close();
}

void BuildSqlite(const std::string& path, const std::vector<Record>& records) {
    const std::string tmp = path + ".tmp";
    fs::remove(tmp);
    sqlite3* db = nullptr;
    Check(sqlite3_open(tmp.c_str(), &db), db, "open");
    Check(sqlite3_exec(db,
                       "PRAGMA journal_mode=OFF; CREATE TABLE dict(w1 BLOB, w2 BLOB, wi1 BLOB, wi2 BLOB, wa INTEGER, "
                       "ww1 INTEGER, ww2 INTEGER); BEGIN;",
                       nullptr, nullptr, nullptr),
          db, "schema");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO dict VALUES(?1,?2,?3,?4,?5,?6,?7)", -1, &insert, nullptr), db, "prepare");
    for (const auto& r : records) {
        sqlite3_bind_blob(insert, 1, r.w1.data(), static_cast<int>(r.w1.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert, 2, r.w2.data(), static_cast<int>(r.w2.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert, 3, r.wi1.data(), static_cast<int>(r.wi1.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert, 4, r.wi2.data(), static_cast<int>(r.wi2.size()), SQLITE_STATIC);
        sqlite3_bind_int(insert, 5, r.wa);
        sqlite3_bind_int(insert, 6, r.ww1);
        sqlite3_bind_int(insert, 7, r.ww2);
        Check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT; CREATE INDEX iwi1 ON dict(wi1); CREATE INDEX iwi2 ON dict(wi2);", nullptr,
                       nullptr, nullptr),
          db, "index");
    sqlite3_close(db);
    fs::rename(tmp, path);
}

}  // namespace

std::string Key(const std::string& text) {
    std::string key;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z') key += static_cast<char>(b - 32);
        else if ((b >= 'A' && b <= 'Z') || b >= 0xC0) key += c;
        if (key.size() == 20) break;
    }
    return key;
}

std::vector<Record> MakeRecords(std::uint32_t count) {
    std::mt19937 rng(4711);
    std::vector<Record> records(count);
    for (auto& r : records) {
        r.w1 = Phrase(rng, false, 80);
        r.w2 = Phrase(rng, true, 100);
        r.wi1 = Key(r.w1);
        r.wi2 = Key(r.w2);
        r.wa = static_cast<int>(rng() % 12);
        r.ww1 = static_cast<int>(rng() % 200000);
        r.ww2 = static_cast<int>(rng() % 200000);
    }
    return records;
}

Paths EnsureData(const std::vector<Record>& records) {
    Paths p;
    p.folder = std::string(ZANIT_BINARY_DIR) + "/bench-data";
    p.plain = p.folder + "/DICT.DBF";
    p.encrypted = p.folder + "/DICTENC.DBF";
    p.sqlite = p.folder + "/dict.sqlite";
    fs::create_directories(p.folder);
    const std::string stamp = p.folder + "/records-" + std::to_string(records.size()) + "-v2";
    if (!fs::exists(stamp)) {
        std::fprintf(stderr, "building the benchmark data in %s (once)...\n", p.folder.c_str());
        for (const auto& e : fs::directory_iterator(p.folder)) fs::remove(e.path());
        BuildTable(p.plain, records, "");
        BuildTable(p.encrypted, records, kPassword);
        BuildSqlite(p.sqlite, records);
        std::ofstream(stamp) << "complete\n";
    }
    return p;
}

}  // namespace benchtable
