#pragma once
// The fuzz input: one flag byte, then the table, memo and index files, each as a 4-byte little-endian length
// and the bytes (a length past the end takes what is left).
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzztable {

constexpr std::uint8_t kFlagPassword = 1;  // open with the password below
constexpr std::uint8_t kFlagWrite = 2;     // also append, change and zap through a writable open
constexpr std::uint8_t kFlagKeep = 4;      // the read-only open keeps decoded records and index runs
constexpr const char* kPassword = "fuzz";

struct Parts {
    std::uint8_t flags = 0;
    std::string table, memo, index;
};

Parts Split(const std::uint8_t* data, std::size_t size);
std::string Join(const Parts& parts);

}  // namespace fuzztable
