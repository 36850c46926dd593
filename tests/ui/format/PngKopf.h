#pragma once
// The first bytes of a PNG file (signature and header chunk) for a given size: enough for the bitmap-list
// reader, which checks sizes but leaves decoding to the window side.
#include <string>

namespace zanit::test {

inline std::string PngKopf(unsigned w, unsigned h) {
    std::string s("\x89PNG\r\n\x1a\n", 8);
    const auto be32 = [&s](unsigned v) {
        for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
    };
    be32(13);
    s += "IHDR";
    be32(w);
    be32(h);
    s += std::string("\x08\x06\x00\x00\x00", 5);
    be32(0);  // CRC, not checked here
    return s;
}

}  // namespace zanit::test
