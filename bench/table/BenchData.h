#pragma once
// The benchmark's dictionary: deterministic records with the dictionary's fields, and the same records as
// an engine table (plain and encrypted), an SQLite database and a sorted array. Built once, then reused.
#include <cstdint>
#include <string>
#include <vector>

namespace benchtable {

constexpr std::uint32_t kRecords = 1000000;
constexpr const char* kPassword = "qT#4m2-w";

struct Record {
    std::string w1, w2, wi1, wi2;  // Windows-1252
    int wa = 0, ww1 = 0, ww2 = 0;
};

std::vector<Record> MakeRecords(std::uint32_t count);
std::string Key(const std::string& text);  // upper case, letters only, at most 20 characters

struct Paths {
    std::string folder, plain, encrypted, sqlite;
};
// Builds whatever is missing in the cache folder and returns the paths.
Paths EnsureData(const std::vector<Record>& records);

}  // namespace benchtable
