#pragma once
// A table's content as the Python peers print it: field names, then per record every value's stored bytes.
#include <string>
#include <vector>

namespace interop {

struct Listing {
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> rows;  // stored bytes, not hex
};

Listing ParseListing(const std::string& text);  // throws std::runtime_error on malformed text
std::string Hex(const std::string& bytes);
std::string WriteFile(const std::string& path, const std::string& bytes);  // returns path

}  // namespace interop
