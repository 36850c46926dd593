#include "xbase/Codepage.h"

#include <array>

namespace xbase {
namespace {

// 0x80..0x9F; the undefined bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D keep their C1 code points.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    // Surrogate halves and values past U+10FFFF have no UTF-8 form.
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return -1;
}

std::string Cp1252ToUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 4);
    // Texts are mostly ASCII: each run of it is copied at once, only the bytes from 0x80 are converted.
    for (std::size_t i = 0; i < in.size();) {
        std::size_t ascii = i;
        while (ascii < in.size() && static_cast<unsigned char>(in[ascii]) < 0x80) ++ascii;
        out.append(in.data() + i, ascii - i);
        if (ascii == in.size()) break;
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(in[ascii])));
        i = ascii + 1;
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view in, std::size_t* unmappable) {
    std::string out;
    out.reserve(in.size());
    std::size_t bad = 0;
    std::size_t i = 0;
    while (i < in.size()) {
        const auto c = static_cast<unsigned char>(in[i]);
        char32_t cp = 0;
        std::size_t len = 0;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            len = 4;
        }
        bool ok = len > 0 && i + len <= in.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms would smuggle control characters past every check ("\xC0\x8A" is a line break);
        // surrogates and values past U+10FFFF are no characters.
        constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kShortest[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)) ok = false;
        if (!ok) {  // malformed: one byte is consumed and replaced
            out += '?';
            ++bad;
            ++i;
            continue;
        }
        i += len;
        const int b = UnicodeToCp1252(cp);
        if (b < 0) {
            out += '?';
            ++bad;
        } else {
            out += static_cast<char>(b);
        }
    }
    if (unmappable) *unmappable = bad;
    return out;
}

}  // namespace xbase
