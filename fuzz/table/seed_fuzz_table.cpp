// Writes the seed corpus of fuzz_table into a folder: valid tables of every variant the engine reads, and
// copies damaged in the ways real files break.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "xbase/Table.h"

namespace {

namespace fs = std::filesystem;
using fuzztable::Parts;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A table made by the engine, packed as a fuzz input.
Parts EngineTable(const fs::path& dir, const std::string& password) {
    const std::string path = (dir / "S.DBF").string();
    xbase::Table::Create(path,
                         {{"W1", 'C', 30, 0, false},
                          {"WI1", 'C', 20, 0, false},
                          {"WA", 'N', 11, 0, false},
                          {"NR", 'N', 11, 0, false},
                          {"OK", 'L', 1, 0, false},
                          {"DATUM", 'D', 8, 0, false},
                          {"NOTE", 'M', 10, 0, false},
                          {"WAVE", 'M', 10, 0, true}},
                         {{"IWI1", "WI1"}, {"INR", "NR"}}, password);
    xbase::Table t;
    t.SetFileName(path);
    t.SetPassword(password);
    t.SetExclusive(true);
    t.Open();
    const char* words[] = {"Haus", "H\xe4user", "Baum", "Stra\337e", "\x80uro", "Zoo", "Apfel", "Apfelbaum"};
    for (int i = 0; i < 12; ++i) {
        t.AppendBlank();
        const std::string w = words[i % 8] + std::string(i >= 8 ? " 2" : "");
        t.FieldByName("W1").SetAsString(w);
        std::string key;
        for (char c : w) key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        t.FieldByName("WI1").SetAsString(key);
        t.FieldByName("WA").SetAsInteger(i % 12);
        t.FieldByName("NR").SetAsInteger(i * 17 - 20);
        t.FieldByName("OK").SetAsString(i % 2 ? "T" : "F");
        t.FieldByName("DATUM").SetAsString("2026120" + std::to_string(i % 9 + 1));
        if (i % 3) t.FieldByName("NOTE").SetAsString("Notiz " + std::to_string(i));
        if (i % 4) t.FieldByName("WAVE").SetAsString(std::string("RIFF\x00\x1a\x00", 7) + std::string(i, 'x'));
        t.Post();
    }
    t.Close();
    Parts parts;
    parts.flags = password.empty() ? 0 : fuzztable::kFlagPassword;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        std::string& slot = ext == ".DBF" ? parts.table : ext == ".FPT" ? parts.memo : parts.index;
        slot = ReadAll(e.path());
    }
    fs::remove_all(dir);
    fs::create_directories(dir);
    return parts;
}

struct RawField {
    std::string name;
    char type;
    std::uint8_t length, decimals, flags;
};

void Le16(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Le32(std::string& s, std::size_t at, std::uint32_t v) {
    Le16(s, at, v & 0xFFFF);
    Le16(s, at + 2, v >> 16);
}
void Be32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

// A table written byte by byte, for the variants the engine reads but does not write.
std::string RawTable(std::uint8_t version, const std::vector<RawField>& fields, const std::vector<std::string>& records,
                     std::size_t backlink) {
    std::uint32_t recordLength = 1;
    for (const auto& f : fields) recordLength += f.length;
    const auto headerLength = static_cast<std::uint32_t>(32 + 32 * fields.size() + 1 + backlink);
    std::string out(headerLength, '\0');
    out[0] = static_cast<char>(version);
    out[1] = 126;
    out[2] = 12;
    out[3] = 8;
    Le32(out, 4, static_cast<std::uint32_t>(records.size()));
    Le16(out, 8, headerLength);
    Le16(out, 10, recordLength);
    out[29] = 0x03;
    std::uint32_t offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t d = 32 + 32 * i;
        out.replace(d, fields[i].name.size(), fields[i].name);
        out[d + 11] = fields[i].type;
        Le32(out, d + 12, offset);
        out[d + 16] = static_cast<char>(fields[i].length);
        out[d + 17] = static_cast<char>(fields[i].decimals);
        out[d + 18] = static_cast<char>(fields[i].flags);
        offset += fields[i].length;
    }
    out[32 + 32 * fields.size()] = 0x0D;
    for (const auto& r : records) out += ' ' + r;
    out += '\x1a';
    return out;
}

std::string Pad(const std::string& s, std::size_t n) { return (s + std::string(n, ' ')).substr(0, n); }
std::string Right(const std::string& s, std::size_t n) { return std::string(n - s.size(), ' ') + s; }

// FoxPro memo file with the given memos (block size 64); returns the file and the block of each memo.
std::string RawFpt(const std::vector<std::pair<std::uint32_t, std::string>>& memos, std::vector<std::uint32_t>& blocks) {
    std::string out(512, '\0');
    out[7] = 64;
    for (const auto& [type, data] : memos) {
        blocks.push_back(static_cast<std::uint32_t>(out.size() / 64));
        std::string block(8, '\0');
        Be32(block, 0, type);
        Be32(block, 4, static_cast<std::uint32_t>(data.size()));
        block += data;
        block.resize((block.size() + 63) / 64 * 64, '\0');
        out += block;
    }
    Be32(out, 0, static_cast<std::uint32_t>(out.size() / 64));
    return out;
}

Parts Db3Table() {
    std::string dbt(512, '\0');
    std::vector<std::string> records;
    const char* words[] = {"Haus", "Baum", "Apfel", "Zoo"};
    for (int i = 0; i < 4; ++i) {
        const auto block = static_cast<std::uint32_t>(dbt.size() / 512);
        std::string text = std::string("Notiz ") + words[i] + "\x1a\x1a";
        text.resize(512, '\0');
        dbt += text;
        records.push_back(Pad(words[i], 20) + Right(std::to_string(i * 3), 11) + Right(std::to_string(block), 10));
    }
    Le32(dbt, 0, static_cast<std::uint32_t>(dbt.size() / 512));
    Parts p;
    p.table = RawTable(0x83, {{"WI1", 'C', 20, 0, 0}, {"NR", 'N', 11, 0, 0}, {"NOTE", 'M', 10, 0, 0}}, records, 0);
    p.memo = dbt;
    return p;
}

Parts PlainTable() {
    std::vector<std::string> records;
    const char* words[] = {"HAUS", "BAUM", "APFEL", "ZOO", "HAUSTIER"};
    for (int i = 0; i < 5; ++i)
        records.push_back(Pad(words[i], 12) + Right(std::to_string(100 - i), 11) + (i % 2 ? "T" : "?") +
                          (i % 2 ? "20240229" : "        "));
    Parts p;
    p.table = RawTable(0x03,
                       {{"WI1", 'C', 12, 0, 0}, {"NR", 'N', 11, 0, 0}, {"OK", 'L', 1, 0, 0}, {"DATUM", 'D', 8, 0, 0}},
                       records, 0);
    return p;
}

Parts VisualFoxProTable() {
    std::vector<std::uint32_t> blocks;
    const std::string fpt =
        RawFpt({{1, "Notiz eins"}, {0, std::string("RIFF\x00\x1a", 6)}, {1, "drei"}, {0, std::string(300, '\x1a')}}, blocks);
    std::vector<std::string> records;
    for (int i = 0; i < 2; ++i) {
        std::string r = Pad(i ? "BAUM" : "HAUS", 10) + std::string(4, '\0') + std::string(4, '\0') + std::string(4, '\0');
        Le32(r, 10, static_cast<std::uint32_t>(i * 1000 - 5));  // I field
        Le32(r, 14, blocks[2 * i]);                             // 4-byte memo pointers
        Le32(r, 18, blocks[2 * i + 1]);
        records.push_back(r);
    }
    Parts p;
    p.table = RawTable(0x30, {{"WI1", 'C', 10, 0, 0}, {"NR", 'I', 4, 0, 0}, {"NOTE", 'M', 4, 0, 0}, {"WAVE", 'M', 4, 0, 4}},
                       records, 263);
    p.memo = fpt;
    return p;
}

std::uint32_t Get16(const std::string& s, std::size_t at) {
    return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 8;
}

// Offset of a field in a record, from the descriptors.
std::size_t FieldOffset(const std::string& table, const std::string& name) {
    std::size_t offset = 1;
    for (std::size_t d = 32; d + 32 <= table.size() && table[d] != '\x0d'; d += 32) {
        if (table.compare(d, name.size(), name) == 0 && table[d + name.size()] == '\0') return offset;
        offset += static_cast<std::uint8_t>(table[d + 16]);
    }
    return 0;
}

void Save(const fs::path& folder, const std::string& name, const Parts& parts) {
    std::ofstream out(folder / ("seed-" + name), std::ios::binary);
    out << fuzztable::Join(parts);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_fuzz_table FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    std::string scratchName = (fs::temp_directory_path() / "seed_fuzz_table.XXXXXX").string();
    if (!mkdtemp(scratchName.data())) return 1;
    const fs::path scratch = scratchName;
    try {
        const Parts fox = EngineTable(scratch, "");
        const Parts locked = EngineTable(scratch, fuzztable::kPassword);
        Save(folder, "foxpro", fox);
        Save(folder, "encrypted", locked);
        Save(folder, "dbase3", Db3Table());
        Save(folder, "plain", PlainTable());
        Save(folder, "visualfoxpro", VisualFoxProTable());

        const std::uint32_t headerLength = Get16(fox.table, 8);
        const std::uint32_t recordLength = Get16(fox.table, 10);
        auto damaged = [&](const std::string& name, auto change, const Parts& base) {
            Parts p = base;
            change(p);
            Save(folder, name, p);
        };
        damaged("count-high", [](Parts& p) { Le32(p.table, 4, 1000); }, fox);
        damaged("count-low", [](Parts& p) { Le32(p.table, 4, 3); }, fox);
        damaged("count-huge", [](Parts& p) { Le32(p.table, 4, 0xFFFFFFFF); }, locked);
        damaged("header-length-24", [](Parts& p) { Le16(p.table, 8, 24); }, fox);
        damaged("header-length-short", [&](Parts& p) { Le16(p.table, 8, headerLength - 40); }, fox);
        damaged("record-length-1", [](Parts& p) { Le16(p.table, 10, 1); }, fox);
        damaged("record-length-short", [&](Parts& p) { Le16(p.table, 10, recordLength - 5); }, fox);
        damaged("no-terminator", [](Parts& p) { p.table[p.table.find('\x0d', 32)] = ' '; }, fox);
        damaged("no-eof-mark", [](Parts& p) { p.table.pop_back(); }, fox);
        damaged("truncated", [](Parts& p) { p.table.resize(p.table.size() / 2); }, fox);
        damaged("truncated-header", [](Parts& p) { p.table.resize(40); }, fox);
        damaged("memo-pointer-past-end", [&](Parts& p) {
            const std::size_t at = headerLength + FieldOffset(p.table, "NOTE") + recordLength;  // record 2
            p.table.replace(at, 10, "  99999999");
        }, fox);
        damaged("memo-pointer-garbage", [&](Parts& p) {
            p.table.replace(headerLength + FieldOffset(p.table, "WAVE") + recordLength, 10, "12x4\x01     ");
        }, fox);
        damaged("memo-block-size-0", [](Parts& p) { p.memo[6] = p.memo[7] = 0; }, fox);
        damaged("memo-huge-length", [](Parts& p) {
            // The first memo block after the 512-byte header.
            Be32(p.memo, 512 + 4, 0x7FFFFFF0);
        }, fox);
        damaged("memo-truncated", [](Parts& p) { p.memo.resize(600); }, fox);
        damaged("memo-missing", [](Parts& p) { p.memo.clear(); }, fox);
        damaged("index-missing", [](Parts& p) { p.index.clear(); }, fox);
        damaged("index-truncated", [](Parts& p) { p.index.resize(p.index.size() / 2); }, fox);
        damaged("index-entries-swapped", [](Parts& p) {
            // Keep the header, disturb the order of the entries at the end.
            const std::size_t n = p.index.size();
            if (n > 64) std::swap_ranges(p.index.begin() + n - 64, p.index.begin() + n - 32, p.index.begin() + n - 32);
        }, fox);
        damaged("encrypted-flag-cleared", [](Parts& p) { p.table[15] = 0; }, locked);
        damaged("encrypted-no-password", [](Parts& p) { p.flags = 0; }, locked);
        damaged("dbase3-no-eof-in-memo", [](Parts& p) {
            for (auto& c : p.memo)
                if (c == '\x1a') c = 'x';
        }, Db3Table());
        // The same damage met by a writer.
        for (const char* name : {"foxpro", "count-high", "count-low", "no-eof-mark", "memo-huge-length",
                                 "memo-block-size-0", "index-truncated", "record-length-short"}) {
            std::ifstream in(folder / ("seed-" + std::string(name)), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            Parts p = fuzztable::Split(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            p.flags |= fuzztable::kFlagWrite;
            Save(folder, std::string("write-") + name, p);
        }
        // The encrypted and the dBASE III table written to, and read by opens that keep what they read.
        const auto withFlag = [&](const char* name, Parts p, std::uint8_t flag) {
            p.flags |= flag;
            Save(folder, name, p);
        };
        withFlag("write-encrypted", locked, fuzztable::kFlagWrite);
        withFlag("write-dbase3", Db3Table(), fuzztable::kFlagWrite);
        withFlag("kept-encrypted", locked, fuzztable::kFlagKeep);
        withFlag("kept-dbase3", Db3Table(), fuzztable::kFlagKeep);
        damaged("visualfoxpro-pointer-past-end", [](Parts& p) { Le32(p.table, Get16(p.table, 8) + 1 + 14, 0x7FFFFFFF); },
                VisualFoxProTable());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "seed_fuzz_table: %s\n", e.what());
        fs::remove_all(scratch);
        return 1;
    }
    fs::remove_all(scratch);
    return 0;
}
