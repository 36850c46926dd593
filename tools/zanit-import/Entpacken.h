#pragma once
// Reading a dictd data file: dictzip files are gzip files with a chunk table in the header, which a plain
// inflate reads through; an uncompressed .dict file is passed through unchanged.
#include <cstdint>
#include <string>

namespace zanit_import {

// How far a data file may inflate: text compresses about three to one (the free databases 2.5 to 3.3), so
// more than sixteen times the file's size is no dictionary; small files may always reach 16 MiB, and nothing
// beyond 1 GiB is read.
inline constexpr std::uint64_t kEntpacktMindestens = std::uint64_t{16} << 20;
inline constexpr std::uint64_t kEntpacktHoechstens = std::uint64_t{1} << 30;
inline constexpr std::uint64_t kEntpackVerhaeltnis = 16;

// The inflated size allowed for a file of `dateigroesse` bytes.
std::uint64_t EntpackGrenze(std::uint64_t dateigroesse);

// The whole inflated content. Throws std::runtime_error when the file cannot be read, is damaged or would
// inflate beyond `limit` bytes (by default EntpackGrenze of its size); reading stops at the limit.
std::string LeseDatendatei(const std::string& path, std::uint64_t limit = 0);

}  // namespace zanit_import
