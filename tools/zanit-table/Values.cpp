#include "zanit-table/Values.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "xbase/Codepage.h"
#include "zanit-table/Tsv.h"

namespace zanit_table {
namespace {

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::invalid_argument("cannot read memo file \"" + path + "\"");
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::invalid_argument("cannot read memo file \"" + path + "\"");
    return data;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string FromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) throw std::invalid_argument("binary memo: odd number of hexadecimal digits");
    std::string out(hex.size() / 2, '\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int hi = HexDigit(hex[2 * i]);
        const int lo = HexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) throw std::invalid_argument("binary memo: not a hexadecimal digit");
        out[i] = static_cast<char>(hi * 16 + lo);
    }
    return out;
}

bool IsDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string CheckDate(std::string_view s) {
    if (s.size() != 8 || !IsDigits(s)) throw std::invalid_argument("date \"" + std::string(s) + "\" is not YYYYMMDD");
    const int year = std::stoi(std::string(s.substr(0, 4)));
    const int month = std::stoi(std::string(s.substr(4, 2)));
    const int day = std::stoi(std::string(s.substr(6, 2)));
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap ? 1 : 0))
        throw std::invalid_argument("date \"" + std::string(s) + "\" does not exist");
    return std::string(s);
}

}  // namespace

std::string NormaliseNumber(std::string_view text, int length, int decimals) {
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    const std::size_t dot = s.find('.');
    std::string_view whole = s.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    if ((whole.empty() && frac.empty()) || !IsDigits(whole) || !IsDigits(frac))
        throw std::invalid_argument("\"" + std::string(text) + "\" is not a number");
    while (frac.size() > static_cast<std::size_t>(decimals) && frac.back() == '0') frac.remove_suffix(1);
    if (frac.size() > static_cast<std::size_t>(decimals))
        throw std::invalid_argument("\"" + std::string(text) + "\" has more than " + std::to_string(decimals) +
                                    " decimals");
    while (whole.size() > 1 && whole[0] == '0') whole.remove_prefix(1);
    std::string out = whole.empty() ? "0" : std::string(whole);
    if (decimals > 0) out += '.' + std::string(frac) + std::string(decimals - frac.size(), '0');
    if (negative && out.find_first_not_of("0.") != std::string::npos) out.insert(out.begin(), '-');
    if (out.size() > static_cast<std::size_t>(length))
        throw std::invalid_argument("\"" + std::string(text) + "\" does not fit " + std::to_string(length) +
                                    " characters");
    return out;
}

std::string ToStoredValue(const xbase::FieldDef& field, std::string_view tsvValue, ValueContext& context) {
    if (tsvValue.empty()) return {};
    if (field.type == 'M' && tsvValue[0] == '@') {
        std::string path(tsvValue.substr(1));
        if (path.empty()) throw std::invalid_argument("\"@\" needs a file name");
        if (!context.baseDir.empty() && path[0] != '/') path = context.baseDir + "/" + path;
        std::string bytes = ReadFileBytes(path);
        if (field.binary) return bytes;
        std::size_t bad = 0;
        std::string text = xbase::Utf8ToCp1252(bytes, &bad);
        context.unmappable += bad;
        return text;
    }
    const std::string value = UnescapeTsv(tsvValue);
    switch (field.type) {
        case 'N':
            return NormaliseNumber(value, field.length, field.decimals);
        case 'L':
            if (value.size() == 1 && std::string_view("TtYy").find(value[0]) != std::string_view::npos) return "T";
            if (value.size() == 1 && std::string_view("FfNn").find(value[0]) != std::string_view::npos) return "F";
            if (value == "?") return {};
            throw std::invalid_argument("\"" + value + "\" is not a logical value (T, F, Y, N or ?)");
        case 'D':
            return CheckDate(value);
        case 'M':
            if (field.binary) return FromHex(value);
            [[fallthrough]];
        default: {
            std::size_t bad = 0;
            std::string text = xbase::Utf8ToCp1252(value, &bad);
            context.unmappable += bad;
            if (field.type == 'C' && text.size() > static_cast<std::size_t>(field.length))
                throw std::invalid_argument("text of " + std::to_string(text.size()) + " characters is longer than " +
                                            field.name + " (" + std::to_string(field.length) + ")");
            return text;
        }
    }
}

void AppendTsvValue(std::string& out, const xbase::FieldDef& field, std::string_view stored) {
    if (field.type == 'M' && field.binary) {
        static const char kHex[] = "0123456789abcdef";
        for (const char c : stored) {
            const auto b = static_cast<unsigned char>(c);
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
        return;
    }
    if (field.type == 'M' && !stored.empty() && stored[0] == '@') out += '\\';
    AppendEscapedTsv(out, xbase::Cp1252ToUtf8(stored));
}

}  // namespace zanit_table
