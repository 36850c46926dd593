#pragma once
// Reading a dictd data file: dictzip files are gzip files with a chunk table in the header, which a plain
// inflate reads through; an uncompressed .dict file is passed through unchanged.
#include <cstdint>
#include <string>

namespace zanit_import {

// The whole inflated content. Throws std::runtime_error when the file cannot be read, is damaged or would
// inflate beyond `limit` bytes.
std::string LeseDatendatei(const std::string& path, std::uint64_t limit = std::uint64_t{1} << 31);

}  // namespace zanit_import
