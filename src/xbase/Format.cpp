#include "xbase/Format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

namespace xbase::detail {
namespace {

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void PutLe16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool IsMemoType(char t) { return t == 'M' || t == 'G' || t == 'P'; }

// Fixed lengths by type; 0 = free length.
void CheckFieldLength(const FieldInfo& f, bool vfp, const std::string& path) {
    const auto& d = f.def;
    auto bad = [&](const char* what) {
        throw FormatError(path, "field " + d.name + ": " + what + " (length " + std::to_string(d.length) + ")");
    };
    if (d.length <= 0) bad("zero length");
    switch (d.type) {
    case 'L': if (d.length != 1) bad("logical field must have length 1"); break;
    case 'D': if (d.length != 8) bad("date field must have length 8"); break;
    case 'I': if (d.length != 4) bad("integer field must have length 4"); break;
    case 'N':
    case 'F': if (d.length > 32) bad("numeric field too long"); break;
    case 'M':
    case 'G':
    case 'P':
        if (d.length != 10 && !(vfp && d.length == 4)) bad("memo field must have length 10");
        break;
    default: break;
    }
}

}  // namespace

std::uint32_t HeaderLengthOf(const std::uint8_t* first32, const std::string& path) {
    std::uint32_t hlen = Le16(first32 + 8);
    if (hlen < 32 + 1) throw FormatError(path, "header length " + std::to_string(hlen) + " is too small");
    return hlen;
}

Header ParseHeader(const std::uint8_t* data, std::size_t size, const std::string& path) {
    if (size < 32) throw FormatError(path, "file is shorter than a table header");
    Header h;
    h.version = data[0];
    h.storedCount = Le32(data + 4);
    h.headerLength = HeaderLengthOf(data, path);
    h.recordLength = Le16(data + 10);
    h.encrypted = data[15] != 0;
    if (size < h.headerLength) throw FormatError(path, "file is shorter than its header length");
    if (h.recordLength < 1) throw FormatError(path, "record length is 0");
    const bool vfp = h.version == 0x30 || h.version == 0x31 || h.version == 0x32;

    std::size_t pos = 32;
    bool terminated = false;
    while (pos < h.headerLength) {
        if (data[pos] == 0x0D) {
            terminated = true;
            break;
        }
        if (pos + 32 > h.headerLength) break;
        const std::uint8_t* d = data + pos;
        FieldInfo f;
        std::size_t nameLen = 0;
        while (nameLen < 11 && d[nameLen] != 0) ++nameLen;
        f.def.name.assign(reinterpret_cast<const char*>(d), nameLen);
        while (!f.def.name.empty() && f.def.name.back() == ' ') f.def.name.pop_back();
        f.def.type = static_cast<char>(d[11]);
        f.def.length = d[16];
        f.def.decimals = d[17];
        if (f.def.type == 'C' && f.def.decimals) {  // long character field: decimals are the high byte
            f.def.length += 256 * f.def.decimals;
            f.def.decimals = 0;
        }
        f.flags = d[18];
        f.memo = IsMemoType(f.def.type) || (f.def.type == 'B' && !vfp);
        f.binaryPointer = f.memo && f.def.length == 4;
        f.def.binary = f.memo && (f.flags & kFieldFlagBinary) != 0;
        CheckFieldLength(f, vfp, path);
        h.fields.push_back(std::move(f));
        pos += 32;
    }
    if (!terminated) throw FormatError(path, "field descriptors are not terminated by 0x0D");
    if (h.fields.empty()) throw FormatError(path, "table has no fields");

    std::uint32_t offset = 1;
    for (auto& f : h.fields) {
        f.offset = offset;
        offset += static_cast<std::uint32_t>(f.def.length);
    }
    if (offset > h.recordLength) {
        throw FormatError(path, "record length " + std::to_string(h.recordLength) + " is smaller than its fields (" +
                                    std::to_string(offset) + ")");
    }

    // Key block of an encrypted table, right after the terminator.
    std::size_t kb = pos + 1;
    if (kb + kKeyBlockSize <= h.headerLength && std::memcmp(data + kb, kKeyBlockMagic, 8) == 0) {
        h.hasKeyBlock = true;
        std::memcpy(h.salt.data(), data + kb + 8, kSaltSize);
        std::memcpy(h.verifier.data(), data + kb + 8 + kSaltSize, kVerifierSize);
    }

    bool anyMemo = false;
    for (auto& f : h.fields) anyMemo = anyMemo || f.memo;
    if (anyMemo) h.memo = (h.version == 0x83 || h.version == 0x8B || h.version == 0x8E) ? MemoKind::Dbt : MemoKind::Fpt;
    return h;
}

std::vector<FieldInfo> CheckNewFields(const std::vector<FieldDef>& fields, const std::string& path) {
    if (fields.empty()) throw UsageError(path, "a table needs at least one field");
    std::vector<FieldInfo> out;
    std::uint32_t offset = 1;
    for (const auto& d : fields) {
        FieldInfo f;
        f.def = d;
        auto bad = [&](const std::string& why) { throw UsageError(path, "field '" + d.name + "': " + why); };
        if (d.name.empty() || d.name.size() > 10) bad("name must have 1 to 10 characters");
        for (char c : d.name) {
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) bad("name must be upper case A-Z, 0-9, _");
        }
        for (const auto& o : out) {
            if (o.def.name == d.name) bad("duplicate name");
        }
        switch (d.type) {
        case 'C':
            if (d.length < 1 || d.length > 254) bad("character length must be 1..254");
            f.def.decimals = 0;
            break;
        case 'N':
            if (d.length < 1 || d.length > 20) bad("numeric length must be 1..20");
            if (d.decimals < 0 || (d.decimals > 0 && d.decimals > d.length - 2)) bad("too many decimals");
            break;
        case 'L': f.def.length = 1; f.def.decimals = 0; break;
        case 'D': f.def.length = 8; f.def.decimals = 0; break;
        case 'M':
            f.def.length = 10;
            f.def.decimals = 0;
            f.memo = true;
            f.flags = d.binary ? kFieldFlagBinary : 0;
            break;
        default: bad(std::string("unsupported type '") + d.type + "'");
        }
        if (d.type != 'M') f.def.binary = false;
        f.offset = offset;
        offset += static_cast<std::uint32_t>(f.def.length);
        if (offset > 0xFFFF) bad("record too long");
        out.push_back(std::move(f));
    }
    if (out.size() > 2000) throw UsageError(path, "too many fields");
    return out;
}

void StampHeader(std::uint8_t* header, std::uint32_t count) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    header[1] = static_cast<std::uint8_t>(tm.tm_year);  // years since 1900, as dBASE writes it
    header[2] = static_cast<std::uint8_t>(tm.tm_mon + 1);
    header[3] = static_cast<std::uint8_t>(tm.tm_mday);
    PutLe32(header + 4, count);
}

std::vector<std::uint8_t> BuildHeader(const std::vector<FieldInfo>& fields, const Salt* salt,
                                      const Verifier* verifier) {
    std::size_t hlen = 32 + 32 * fields.size() + 1 + (salt ? kKeyBlockSize : 0);
    std::vector<std::uint8_t> h(hlen, 0);
    std::uint32_t reclen = 1;
    for (const auto& f : fields) reclen += static_cast<std::uint32_t>(f.def.length);
    h[0] = kVersionFoxPro;
    StampHeader(h.data(), 0);
    PutLe16(h.data() + 8, static_cast<std::uint32_t>(hlen));
    PutLe16(h.data() + 10, reclen);
    h[15] = salt ? kEncryptedFlag : 0;
    h[29] = kCodePageWindows1252;
    std::size_t pos = 32;
    for (const auto& f : fields) {
        std::uint8_t* d = h.data() + pos;
        std::memcpy(d, f.def.name.data(), f.def.name.size());
        d[11] = static_cast<std::uint8_t>(f.def.type);
        PutLe32(d + 12, f.offset);
        d[16] = static_cast<std::uint8_t>(f.def.length);
        d[17] = static_cast<std::uint8_t>(f.def.decimals);
        d[18] = f.flags;
        pos += 32;
    }
    h[pos++] = 0x0D;
    if (salt) {
        std::memcpy(h.data() + pos, kKeyBlockMagic, 8);
        std::memcpy(h.data() + pos + 8, salt->data(), kSaltSize);
        std::memcpy(h.data() + pos + 8 + kSaltSize, verifier->data(), kVerifierSize);
    }
    return h;
}

std::string_view Trim(std::string_view s) {
    s = TrimRight(s);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

bool ParseNumber(std::string_view text, double& value) {
    text = Trim(text);
    if (text.empty()) return false;
    if (text.front() == '+') text.remove_prefix(1);
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && std::isfinite(value);
}

long long ParseInteger(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return 0;
    if (text.front() == '+') text.remove_prefix(1);
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec == std::errc() && p == end) return v;
    double d = 0;
    if (!ParseNumber(text, d)) return 0;
    if (d >= 9.2e18) return std::numeric_limits<long long>::max();
    if (d <= -9.2e18) return std::numeric_limits<long long>::min();
    return static_cast<long long>(d);
}

std::string_view RawValue(const FieldInfo& f, const std::uint8_t* record) {
    return {reinterpret_cast<const char*>(record + f.offset), static_cast<std::size_t>(f.def.length)};
}

std::string FieldText(const FieldInfo& f, const std::uint8_t* record) {
    std::string_view raw = RawValue(f, record);
    switch (f.def.type) {
    case 'N':
    case 'F': return std::string(Trim(raw));
    case 'L': {
        char c = raw.empty() ? ' ' : raw[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y') return "T";
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n') return "F";
        return "";
    }
    case 'I': return std::to_string(static_cast<std::int32_t>(Le32(record + f.offset)));
    default: return std::string(TrimRight(raw));
    }
}

long long FieldInteger(const FieldInfo& f, const std::uint8_t* record) {
    if (f.def.type == 'I') return static_cast<std::int32_t>(Le32(record + f.offset));
    if (f.def.type == 'L') return FieldText(f, record) == "T" ? 1 : 0;
    return ParseInteger(RawValue(f, record));
}

void StoreText(const FieldInfo& f, std::uint8_t* record, std::string_view value, const std::string& path) {
    std::uint8_t* p = record + f.offset;
    const auto len = static_cast<std::size_t>(f.def.length);
    switch (f.def.type) {
    case 'N':
    case 'F': {
        std::string_view v = Trim(value);
        double d = 0;
        if (!v.empty() && !ParseNumber(v, d)) throw UsageError(path, "field " + f.def.name + ": not a number: " + std::string(v));
        if (v.size() > len) throw UsageError(path, "field " + f.def.name + ": " + std::string(v) + " does not fit");
        std::memset(p, ' ', len);
        std::memcpy(p + len - v.size(), v.data(), v.size());
        return;
    }
    case 'L': {
        char c = value.empty() ? ' ' : value[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == '1') c = 'T';
        else if (c == 'F' || c == 'f' || c == 'N' || c == 'n' || c == '0') c = 'F';
        else c = ' ';
        *p = static_cast<std::uint8_t>(c);
        return;
    }
    case 'I': StoreInteger(f, record, ParseInteger(value), path); return;
    default: {
        std::size_t n = value.size() < len ? value.size() : len;
        std::memcpy(p, value.data(), n);
        std::memset(p + n, ' ', len - n);
        return;
    }
    }
}

void StoreInteger(const FieldInfo& f, std::uint8_t* record, long long value, const std::string& path) {
    if (f.def.type == 'I') {
        if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
            throw UsageError(path, "field " + f.def.name + ": " + std::to_string(value) + " does not fit");
        }
        PutLe32(record + f.offset, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
        return;
    }
    std::string text = std::to_string(value);
    if ((f.def.type == 'N' || f.def.type == 'F') && f.def.decimals > 0) {
        text += '.';
        text.append(static_cast<std::size_t>(f.def.decimals), '0');
    }
    StoreText(f, record, text, path);
}

std::uint32_t MemoPointer(const FieldInfo& f, const std::uint8_t* record, const std::string& path) {
    if (f.binaryPointer) return Le32(record + f.offset);
    std::string_view raw = Trim(RawValue(f, record));
    if (raw.empty()) return 0;
    std::uint32_t v = 0;
    auto [p, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), v);
    if (ec != std::errc() || p != raw.data() + raw.size()) {
        throw FormatError(path, "field " + f.def.name + ": memo pointer is not a number");
    }
    return v;
}

void StoreMemoPointer(const FieldInfo& f, std::uint8_t* record, std::uint32_t block) {
    std::uint8_t* p = record + f.offset;
    const auto len = static_cast<std::size_t>(f.def.length);
    if (f.binaryPointer) {
        PutLe32(p, block);
        return;
    }
    std::memset(p, ' ', len);
    if (block == 0) return;
    std::string text = std::to_string(block);
    if (text.size() > len) text = text.substr(text.size() - len);
    std::memcpy(p + len - text.size(), text.data(), text.size());
}

KeyKind KeyKindOf(const FieldInfo& f) {
    char t = f.def.type;
    return (t == 'N' || t == 'F' || t == 'I') ? KeyKind::Numeric : KeyKind::Character;
}

std::size_t KeyWidth(const FieldInfo& f) {
    return KeyKindOf(f) == KeyKind::Numeric ? kNumericKeyWidth : static_cast<std::size_t>(f.def.length);
}

void EncodeNumber(double value, std::uint8_t* out) {
    if (value == 0) value = 0;  // -0 sorts with 0
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits = (bits & 0x8000000000000000ull) ? ~bits : (bits | 0x8000000000000000ull);
    for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
}

void MakeKey(const FieldInfo& f, const std::uint8_t* record, std::uint8_t* out) {
    if (KeyKindOf(f) == KeyKind::Numeric) {
        double d = 0;
        if (f.def.type == 'I') d = static_cast<std::int32_t>(Le32(record + f.offset));
        else if (!ParseNumber(RawValue(f, record), d)) d = 0;
        EncodeNumber(d, out);
        return;
    }
    std::memcpy(out, record + f.offset, static_cast<std::size_t>(f.def.length));
}

}  // namespace xbase::detail
