#include "listing.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace interop {
namespace {

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

std::string Unhex(const std::string& hex) {
    if (hex.size() % 2) throw std::runtime_error("odd hex length");
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

}  // namespace

Listing ParseListing(const std::string& text) {
    Listing listing;
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line)) throw std::runtime_error("empty listing");
    listing.names = Split(line);
    while (std::getline(in, line)) {
        std::vector<std::string> row;
        for (const auto& cell : Split(line)) row.push_back(Unhex(cell));
        if (row.size() != listing.names.size()) throw std::runtime_error("row width differs: " + line);
        listing.rows.push_back(row);
    }
    return listing;
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace interop
