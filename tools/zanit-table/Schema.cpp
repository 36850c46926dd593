#include "zanit-table/Schema.h"

#include <charconv>
#include <stdexcept>
#include <string>

namespace zanit_table {
namespace {

std::vector<std::string_view> Split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = text.find(sep, start);
        parts.push_back(text.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        if (pos == std::string_view::npos) break;
        start = pos + 1;
    }
    return parts;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Field and tag names: a letter, then letters, digits or '_', at most 10 characters.
std::string CheckName(std::string_view raw, std::string_view what) {
    const std::string name = Upper(raw);
    bool ok = !name.empty() && name.size() <= 10 && name[0] >= 'A' && name[0] <= 'Z';
    for (char c : name) ok = ok && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    if (!ok)
        throw std::invalid_argument(std::string(what) + " name \"" + std::string(raw) +
                                    "\" must be 1-10 letters, digits or '_', starting with a letter");
    return name;
}

int ParseInt(std::string_view s, std::string_view item) {
    int v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size())
        throw std::invalid_argument("\"" + std::string(item) + "\": \"" + std::string(s) + "\" is not a number");
    return v;
}

}  // namespace

int FindField(const std::vector<xbase::FieldDef>& fields, std::string_view name) {
    const std::string up = Upper(name);
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == up) return static_cast<int>(i);
    return -1;
}

std::vector<xbase::FieldDef> ParseSchema(std::string_view text) {
    std::vector<xbase::FieldDef> fields;
    if (text.empty()) throw std::invalid_argument("the schema is empty");
    for (std::string_view item : Split(text, ',')) {
        const auto parts = Split(item, ':');
        if (parts.size() < 2) throw std::invalid_argument("\"" + std::string(item) + "\": expected NAME:TYPE[...]");
        xbase::FieldDef f;
        f.name = CheckName(parts[0], "field");
        if (FindField(fields, f.name) >= 0) throw std::invalid_argument("field " + f.name + " is given twice");
        const std::string type = Upper(parts[1]);
        const auto extra = parts.size() - 2;
        auto expectExtra = [&](std::size_t lo, std::size_t hi) {
            if (extra < lo || extra > hi)
                throw std::invalid_argument("\"" + std::string(item) + "\": wrong number of parts for type " + type);
        };
        if (type == "C") {
            expectExtra(1, 1);
            f.type = 'C';
            f.length = ParseInt(parts[2], item);
            if (f.length < 1 || f.length > 254)
                throw std::invalid_argument("\"" + std::string(item) + "\": C length must be 1..254");
        } else if (type == "N") {
            expectExtra(1, 2);
            f.type = 'N';
            f.length = ParseInt(parts[2], item);
            f.decimals = extra == 2 ? ParseInt(parts[3], item) : 0;
            if (f.length < 1 || f.length > 20)
                throw std::invalid_argument("\"" + std::string(item) + "\": N length must be 1..20");
            // Room for at least one integer digit and the point.
            if (f.decimals < 0 || (f.decimals > 0 && f.decimals > f.length - 2))
                throw std::invalid_argument("\"" + std::string(item) + "\": N decimals must be 0..length-2");
        } else if (type == "L") {
            expectExtra(0, 0);
            f.type = 'L';
            f.length = 1;
        } else if (type == "D") {
            expectExtra(0, 0);
            f.type = 'D';
            f.length = 8;
        } else if (type == "M") {
            expectExtra(0, 1);
            f.type = 'M';
            f.length = 10;
            if (extra == 1) {
                if (Upper(parts[2]) != "B")
                    throw std::invalid_argument("\"" + std::string(item) + "\": a memo takes only the flag B (binary)");
                f.binary = true;
            }
        } else {
            throw std::invalid_argument("\"" + std::string(item) + "\": unknown type \"" + std::string(parts[1]) +
                                        "\" (C, N, L, D or M)");
        }
        fields.push_back(f);
    }
    int recordLength = 1;
    for (const auto& f : fields) recordLength += f.length;
    if (recordLength > 65535) throw std::invalid_argument("the record is longer than 65535 bytes");
    if (fields.size() > 255) throw std::invalid_argument("more than 255 fields");
    return fields;
}

xbase::TagDef ParseTag(std::string_view text, const std::vector<xbase::FieldDef>& fields) {
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        throw std::invalid_argument("tag \"" + std::string(text) + "\": expected NAME=FIELD");
    xbase::TagDef tag;
    tag.name = CheckName(text.substr(0, eq), "tag");
    const int index = FindField(fields, text.substr(eq + 1));
    if (index < 0)
        throw std::invalid_argument("tag " + tag.name + ": the table has no field \"" +
                                    std::string(text.substr(eq + 1)) + "\"");
    const auto& f = fields[static_cast<std::size_t>(index)];
    if (f.type != 'C' && f.type != 'N')
        throw std::invalid_argument("tag " + tag.name + ": field " + f.name + " is neither C nor N");
    tag.field = f.name;
    return tag;
}

}  // namespace zanit_table
