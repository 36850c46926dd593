#include "FuzzInput.h"

namespace fuzztable {
namespace {

std::string Take(const std::uint8_t*& p, const std::uint8_t* end) {
    if (end - p < 4) {
        p = end;
        return {};
    }
    const std::size_t want = std::size_t(p[0]) | std::size_t(p[1]) << 8 | std::size_t(p[2]) << 16 | std::size_t(p[3]) << 24;
    p += 4;
    const std::size_t n = want < std::size_t(end - p) ? want : std::size_t(end - p);
    std::string out(reinterpret_cast<const char*>(p), n);
    p += n;
    return out;
}

void Put(std::string& out, const std::string& bytes) {
    const auto n = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
    out += bytes;
}

}  // namespace

Parts Split(const std::uint8_t* data, std::size_t size) {
    Parts parts;
    if (size == 0) return parts;
    parts.flags = data[0];
    const std::uint8_t* p = data + 1;
    const std::uint8_t* end = data + size;
    parts.table = Take(p, end);
    parts.memo = Take(p, end);
    parts.index = Take(p, end);
    return parts;
}

std::string Join(const Parts& parts) {
    std::string out(1, static_cast<char>(parts.flags));
    Put(out, parts.table);
    Put(out, parts.memo);
    Put(out, parts.index);
    return out;
}

}  // namespace fuzztable
