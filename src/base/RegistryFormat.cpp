#include "base/RegistryFormat.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <unordered_map>
#include <unordered_set>

#include "xbase/Codepage.h"

namespace zanit::registry {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

unsigned char FoldCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // š
        case 0x9C: return 0x8C;  // œ
        case 0x9E: return 0x8E;  // ž
        case 0xFF: return 0x9F;  // ÿ
        default: return c;
    }
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

bool OnlyBlanks(std::string_view s) { return TrimRight(s).empty(); }

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        xbase::AppendUtf8(out, cp);
    }
    return out;
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += len;
    }
    return true;
}

std::string_view FirstLine(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return {};
    text.remove_prefix(start);
    return TrimRight(text.substr(0, text.find('\n')));
}

// How the file's lines become UTF-8 text: UTF-16 and REGEDIT4 files are converted as a whole; a version 5
// file is taken line by line (see Line).
struct Decoded {
    std::string text;
    bool perLine = false;
};

Decoded DecodeFile(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return {Utf16LeToUtf8(bytes.substr(2)), false};
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (FirstLine(bytes) == kHeader4) return {xbase::Cp1252ToUtf8(bytes), false};
    return {std::string(bytes), true};
}

// One line of the file: `raw` is written back when the line stays untouched, `text` is what it reads as.
struct Line {
    std::string_view raw;
    std::string_view text;
};

// A quoted name or string starting at s[pos] == '"'; regedit escapes only backslash and quote.
bool ParseQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    out.clear();
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[++i];
        } else if (s[i] == '"') {
            pos = i + 1;
            return true;
        } else {
            out += s[i];
        }
    }
    return false;
}

std::string Quote(std::string_view cp1252) {
    std::string out = "\"";
    for (char c : xbase::Cp1252ToUtf8(cp1252)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool ParseDword(std::string_view digits, std::uint32_t& value) {
    digits = TrimRight(digits);
    if (digits.empty() || digits.size() > 8) return false;
    value = 0;
    for (char c : digits) {
        if (!IsHexDigit(c)) return false;
        value = value * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return true;
}

// "hex:01,02" or "hex(2):41,00,\<newline>  42,00": bytes, commas, blanks and continuations only.
bool ValidHexData(std::string_view data) {
    std::size_t colon = data.find(':');
    if (colon == std::string_view::npos) return false;
    std::string_view kind = data.substr(3, colon - 3);
    if (!kind.empty()) {
        if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')') return false;
        for (char c : kind.substr(1, kind.size() - 2))
            if (!IsHexDigit(c)) return false;
    }
    for (char c : data.substr(colon + 1))
        if (!IsHexDigit(c) && c != ',' && c != ' ' && c != '\t' && c != '\\' && c != '\n' && c != '\r') return false;
    return true;
}

// One value line (with its continuation lines); false when it is damaged.
bool ParseValue(std::string_view line, HiveItem& item) {
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else if (!ParseQuoted(line, pos, name)) {
        return false;
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=') return false;
    ++pos;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    std::string_view data = line.substr(pos);
    item.named = true;
    item.name = xbase::Utf8ToCp1252(name);
    if (!data.empty() && data[0] == '"') {
        std::string text;
        std::size_t end = 0;
        if (!ParseQuoted(data, end, text) || !OnlyBlanks(data.substr(end))) return false;
        item.type = ValueType::String;
        item.text = xbase::Utf8ToCp1252(text);
        return true;
    }
    if (StartsWithName(data, "dword:")) {
        item.type = ValueType::Dword;
        return ParseDword(data.substr(6), item.dword);
    }
    if (StartsWithName(data, "hex")) {
        item.type = ValueType::Other;
        return ValidHexData(data);
    }
    item.type = ValueType::Other;
    return TrimRight(data) == "-";  // removal mark of an import file
}

void Report(const Reporter& report, std::string_view origin, std::size_t lineNo, std::string_view what) {
    if (!report) return;
    std::string message(origin);
    message += ':' + std::to_string(lineNo) + ": " + std::string(what);
    report(message);
}

std::string ItemLine(const HiveItem& item) {
    if (!item.line.empty()) return item.line;
    std::string out = item.name.empty() ? "@" : Quote(item.name);
    if (item.type == ValueType::String) return out + '=' + Quote(item.text);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(item.dword));
    return out + "=dword:" + digits;
}

void IndexKey(HiveIndex& index, const HiveKey& key, std::size_t position) {
    if (!key.valid) return;
    std::string folded = FoldName(key.path);
    index.exact.emplace(folded, position);
    for (std::size_t cut = folded.rfind('\\'); cut != std::string::npos && cut > 0; cut = folded.rfind('\\', cut - 1)) {
        if (!index.parents.insert(folded.substr(0, cut)).second) break;  // its parents are in already
    }
}

const HiveIndex& Indexed(const Hive& hive) {
    HiveIndex& index = hive.index;
    if (index.current && index.keys == hive.keys.size()) return index;
    index = HiveIndex{};
    for (std::size_t i = 0; i < hive.keys.size(); ++i) IndexKey(index, hive.keys[i], i);
    index.keys = hive.keys.size();
    return index;
}

HiveKey& AddKey(Hive& hive, HiveKey key) {
    const bool current = hive.index.current && hive.index.keys == hive.keys.size();
    hive.keys.push_back(std::move(key));
    if (current) {
        IndexKey(hive.index, hive.keys.back(), hive.keys.size() - 1);
        hive.index.keys = hive.keys.size();
    }
    return hive.keys.back();
}

HiveKey* FindKeyMutable(Hive& hive, std::string_view full) {
    const HiveIndex& index = Indexed(hive);
    auto it = index.exact.find(FoldName(full));
    if (it == index.exact.end()) return nullptr;
    if (it->second < hive.keys.size()) {
        HiveKey& key = hive.keys[it->second];
        if (key.valid && SameName(key.path, full)) return &key;
    }
    for (auto& key : hive.keys)  // the index went stale behind our back; never trust it over the keys
        if (key.valid && SameName(key.path, full)) return &key;
    return nullptr;
}

HiveKey& ExplicitKey(Hive& hive, std::string_view full) {
    if (HiveKey* key = FindKeyMutable(hive, full)) return *key;
    return AddKey(hive, HiveKey{std::string(full), true, {}, {}});
}

// Lines of a removed key that are neither its values nor its comments: nobody understood them, so they stay
// where they stood, now at the end of the block before.
void KeepDamagedLines(std::vector<HiveItem>& items, std::vector<HiveItem>& into) {
    for (auto& item : items)
        if (!item.named && !TrimLeft(item.line).empty() && TrimLeft(item.line).front() != ';') into.push_back(std::move(item));
}

HiveItem* FindValueMutable(HiveKey& key, std::string_view name) {
    for (auto& item : key.items)
        if (item.named && SameName(item.name, name)) return &item;
    return nullptr;
}

bool IsBelow(std::string_view path, std::string_view full) {
    return path.size() > full.size() && path[full.size()] == '\\' && SameName(path.substr(0, full.size()), full);
}

template <typename Apply>
bool SetValue(Hive& hive, std::string_view full, std::string_view name, bool unchanged, Apply apply) {
    HiveKey& key = ExplicitKey(hive, full);
    HiveItem* item = FindValueMutable(key, name);
    if (item && unchanged) return false;
    if (!item) {
        key.items.push_back(HiveItem{});
        item = &key.items.back();
        item->name = std::string(name);
    }
    item->named = true;
    item->line.clear();
    apply(*item);
    return true;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::string FoldName(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return out;
}

void SortKeyNames(std::vector<std::string>& names) {
    auto key = [](unsigned char c) { return xbase::Cp1252ToUnicode(FoldCase(c)); };
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return key(static_cast<unsigned char>(x)) < key(static_cast<unsigned char>(y));
        });
    });
}

Hive ParseHive(std::string_view bytes, std::string_view origin, const Reporter& report) {
    Hive hive;
    const Decoded decoded = DecodeFile(bytes);
    const std::string& text = decoded.text;
    std::deque<std::string> converted;  // lines of a version 5 file that are not UTF-8, as Windows-1252
    std::vector<Line> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF, also doubled by transfers
        if (decoded.perLine && !ValidUtf8(line)) {
            converted.push_back(xbase::Cp1252ToUtf8(line));
            lines.push_back({line, converted.back()});
        } else {
            lines.push_back({line, line});
        }
        start = end + 1;
    }
    std::size_t i = 0;
    while (i < lines.size() && OnlyBlanks(lines[i].text)) ++i;
    if (i < lines.size() && (TrimRight(lines[i].text) == kHeader5 || TrimRight(lines[i].text) == kHeader4)) {
        hive.regedit4 = TrimRight(lines[i].text) == kHeader4;
        ++i;
    } else {
        Report(report, origin, i + 1, "no regedit header; reading the lines anyway");
    }
    constexpr std::size_t kPreamble = static_cast<std::size_t>(-1);
    std::size_t block = kPreamble;  // the key whose lines follow, or the preamble
    auto items = [&]() -> std::vector<HiveItem>& { return block == kPreamble ? hive.preamble : hive.keys[block].items; };
    bool inKey = false;
    // A later line of a name already read replaces it. Small keys are searched; keys with many values get a
    // table of their names, so that no file makes reading quadratic.
    constexpr std::size_t kSearched = 16;
    std::unordered_map<std::size_t, std::unordered_map<std::string, std::size_t>> bigKeys;
    auto sameValue = [&](const HiveItem& item) -> HiveItem* {
        std::vector<HiveItem>& list = items();
        if (list.size() <= kSearched) {
            for (auto& other : list)
                if (other.named && SameName(other.name, item.name)) return &other;
            return nullptr;
        }
        auto [table, fresh] = bigKeys.try_emplace(block);
        if (fresh) {
            for (std::size_t k = 0; k < list.size(); ++k)
                if (list[k].named) table->second.emplace(FoldName(list[k].name), k);
        }
        auto [slot, added] = table->second.emplace(FoldName(item.name), list.size());
        return added ? nullptr : &list[slot->second];
    };
    for (; i < lines.size(); ++i) {
        const std::string_view line = lines[i].text;
        const std::size_t lineNo = i + 1;
        if (OnlyBlanks(line)) continue;
        std::string raw(lines[i].raw);
        const std::string_view trimmed = TrimLeft(line);
        if (trimmed[0] == '[') {
            // a key line, also when blanks stand before it: read as anything else, its key's values would land
            // in the key above and go with that key
            std::string_view inner = TrimRight(trimmed);
            inner = inner.substr(1, inner.size() > 1 && inner.back() == ']' ? inner.size() - 2 : 0);
            while (!inner.empty() && inner.back() == '\\') inner.remove_suffix(1);
            if (inner.empty()) {
                Report(report, origin, lineNo, "damaged key line skipped with its values");
                AddKey(hive, HiveKey{{}, false, raw, {}});
                block = hive.keys.size() - 1;
                inKey = false;
                continue;
            }
            const std::string path = xbase::Utf8ToCp1252(inner);
            if (HiveKey* known = FindKeyMutable(hive, path)) {
                block = static_cast<std::size_t>(known - hive.keys.data());  // a key listed twice: its values merge
            } else {
                AddKey(hive, HiveKey{path, true, raw, {}});
                block = hive.keys.size() - 1;
            }
            inKey = true;
            continue;
        }
        if (trimmed[0] == ';') {
            items().push_back(HiveItem{ValueType::Other, false, {}, {}, 0, raw});
            continue;
        }
        HiveItem item;
        bool ok = line[0] == '"' || line[0] == '@';
        if (ok) {
            // hex data may continue on the next lines: the continued line ends in a backslash and the
            // continuation is indented and starts with a hex digit (no value or key line ever does)
            const std::size_t eq = line.find('=');
            const bool hex = eq != std::string_view::npos && StartsWithName(TrimLeft(line.substr(eq + 1)), "hex");
            std::string full(line);
            std::string_view last = line;
            while (hex && !TrimRight(last).empty() && TrimRight(last).back() == '\\' && i + 1 < lines.size() &&
                   !OnlyBlanks(lines[i + 1].text) && (lines[i + 1].text[0] == ' ' || lines[i + 1].text[0] == '\t') &&
                   IsHexDigit(TrimLeft(lines[i + 1].text).front())) {
                ++i;
                last = lines[i].text;
                raw += '\n';
                raw += lines[i].raw;
                full += '\n';
                full += last;
            }
            ok = inKey && ParseValue(full, item);
        }
        item.line = raw;
        if (!ok) {
            Report(report, origin, lineNo, inKey ? "damaged line skipped" : "line outside of a key skipped");
            items().push_back(HiveItem{ValueType::Other, false, {}, {}, 0, raw});
            continue;
        }
        if (HiveItem* same = sameValue(item)) {
            *same = std::move(item);  // the later line wins, as on import
        } else {
            items().push_back(std::move(item));
        }
    }
    return hive;
}

std::string SerializeHive(const Hive& hive) {
    std::string out(hive.regedit4 ? kHeader4 : kHeader5);
    out += "\n\n";
    for (const auto& item : hive.preamble) out += ItemLine(item) + '\n';
    if (!hive.preamble.empty()) out += '\n';
    for (const auto& key : hive.keys) {
        out += key.line.empty() ? '[' + xbase::Cp1252ToUtf8(key.path) + ']' : key.line;
        out += '\n';
        for (const auto& item : key.items) out += ItemLine(item) + '\n';
        out += '\n';
    }
    return hive.regedit4 ? xbase::Utf8ToCp1252(out) : out;
}

bool NormalizeKeyPath(std::string_view path, std::string& full) {
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    full = kMachineRoot;
    if (path.empty()) return true;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        if (end == start) return false;
        start = end + 1;
    }
    if (!StorableText(path)) return false;
    full += '\\';
    full += path;
    return true;
}

bool StorableText(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

const HiveKey* FindKey(const Hive& hive, std::string_view full) {
    return FindKeyMutable(const_cast<Hive&>(hive), full);
}

bool KeyExists(const Hive& hive, std::string_view full) {
    if (SameName(full, kMachineRoot)) return true;
    const HiveIndex& index = Indexed(hive);
    const std::string folded = FoldName(full);
    return index.exact.count(folded) != 0 || index.parents.count(folded) != 0;
}

std::vector<std::string> SubkeyNames(const Hive& hive, std::string_view full) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const auto& key : hive.keys) {
        if (!key.valid || !IsBelow(key.path, full)) continue;
        std::string_view rest = std::string_view(key.path).substr(full.size() + 1);
        std::string_view name = rest.substr(0, rest.find('\\'));
        if (name.empty()) continue;
        if (seen.insert(FoldName(name)).second) names.emplace_back(name);
    }
    SortKeyNames(names);
    return names;
}

const HiveItem* FindValue(const HiveKey& key, std::string_view name) {
    return FindValueMutable(const_cast<HiveKey&>(key), name);
}

std::vector<std::string> ValueNames(const HiveKey& key) {
    std::vector<std::string> names;
    for (const auto& item : key.items)
        if (item.named) names.push_back(item.name);
    return names;
}

bool CreateKey(Hive& hive, std::string_view full) {
    if (KeyExists(hive, full)) return false;
    ExplicitKey(hive, full);
    return true;
}

bool SetString(Hive& hive, std::string_view full, std::string_view name, std::string_view text) {
    const HiveKey* key = FindKey(hive, full);
    const HiveItem* item = key ? FindValue(*key, name) : nullptr;
    return SetValue(hive, full, name, item && item->type == ValueType::String && item->text == text, [&](HiveItem& it) {
        it.type = ValueType::String;
        it.text = std::string(text);
    });
}

bool SetDword(Hive& hive, std::string_view full, std::string_view name, std::uint32_t value) {
    const HiveKey* key = FindKey(hive, full);
    const HiveItem* item = key ? FindValue(*key, name) : nullptr;
    return SetValue(hive, full, name, item && item->type == ValueType::Dword && item->dword == value, [&](HiveItem& it) {
        it.type = ValueType::Dword;
        it.text.clear();
        it.dword = value;
    });
}

bool RemoveValue(Hive& hive, std::string_view full, std::string_view name) {
    HiveKey* key = FindKeyMutable(hive, full);
    if (!key) return false;
    auto it = std::find_if(key->items.begin(), key->items.end(),
                           [&](const HiveItem& item) { return item.named && SameName(item.name, name); });
    if (it == key->items.end()) return false;
    key->items.erase(it);
    return true;
}

bool RemoveKey(Hive& hive, std::string_view full) {
    if (SameName(full, kMachineRoot)) return false;
    std::vector<HiveKey> kept;
    kept.reserve(hive.keys.size());
    bool removed = false;
    for (auto& key : hive.keys) {
        if (key.valid && (SameName(key.path, full) || IsBelow(key.path, full))) {
            KeepDamagedLines(key.items, kept.empty() ? hive.preamble : kept.back().items);
            removed = true;
        } else {
            kept.push_back(std::move(key));
        }
    }
    hive.keys = std::move(kept);
    hive.index.current = false;
    if (!removed) return false;
    // Deleting a key leaves its parent in place, even one that only existed through this subkey.
    const std::string parent(full.substr(0, full.rfind('\\')));
    if (!KeyExists(hive, parent)) ExplicitKey(hive, parent);
    return true;
}

bool StorableValue(const ValueWrite& value) {
    return StorableText(value.name) &&
           (value.type == ValueType::Dword || (value.type == ValueType::String && StorableText(value.text)));
}

bool SetValues(Hive& hive, std::string_view full, const std::vector<ValueWrite>& values) {
    bool changed = false;
    for (const auto& v : values) {
        if (!StorableValue(v)) continue;
        if (v.keepExisting) {
            const HiveKey* key = FindKey(hive, full);
            if (key && FindValue(*key, v.name)) continue;
        }
        changed = (v.type == ValueType::String ? SetString(hive, full, v.name, v.text) : SetDword(hive, full, v.name, v.dword)) ||
                  changed;
    }
    return changed;
}

bool ReplaceKey(Hive& hive, std::string_view full, const std::vector<ValueWrite>& values) {
    if (SameName(full, kMachineRoot)) return false;
    bool changed = false;
    // the subkeys go; their damaged lines stay in place
    std::vector<HiveKey> kept;
    kept.reserve(hive.keys.size());
    for (auto& key : hive.keys) {
        if (key.valid && IsBelow(key.path, full)) {
            KeepDamagedLines(key.items, kept.empty() ? hive.preamble : kept.back().items);
            changed = true;
        } else {
            kept.push_back(std::move(key));
        }
    }
    hive.keys = std::move(kept);
    if (changed) hive.index.current = false;
    // values that the new set does not name go; the key itself keeps its place, comments and damaged lines
    if (HiveKey* key = FindKeyMutable(hive, full)) {
        if (key->path != full) {  // registered afresh under another spelling: the key takes the new one
            key->path = std::string(full);
            key->line.clear();
            changed = true;
        }
        const auto before = key->items.size();
        std::erase_if(key->items, [&](const HiveItem& item) {
            return item.named && std::none_of(values.begin(), values.end(), [&](const ValueWrite& v) {
                       return StorableValue(v) && SameName(v.name, item.name);
                   });
        });
        changed = changed || key->items.size() != before;
    } else {
        ExplicitKey(hive, full);
        changed = true;
    }
    return SetValues(hive, full, values) || changed;
}

}  // namespace zanit::registry
