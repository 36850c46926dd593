#pragma once
// Helpers for the engine tests: a temporary folder, whole-file access and a builder for table files written
// byte by byte (the variants other programs write).

#include "xbase/Table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace enginetest {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zanit-engine-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
        path_ = buf.data();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline void PatchByte(const std::string& path, std::size_t offset, unsigned char value) {
    std::string data = ReadAll(path);
    data.at(offset) = static_cast<char>(value);
    WriteAll(path, data);
}

inline std::string Le16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
inline std::string Le32(std::uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}
inline std::string Be32(std::uint32_t v) {
    return {char((v >> 24) & 0xFF), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
}
inline std::string Right(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}
inline std::string Left(const std::string& text, std::size_t width) {
    return text + std::string(width - text.size(), ' ');
}

struct RawField {
    std::string name;
    char type;
    int length;
    int decimals = 0;
    unsigned char flags = 0;
};

// A table file as another program writes it: header, descriptors, 0x0D, padding up to the header length,
// the records as given (each starting with its deletion flag) and optionally 0x1A.
struct RawTable {
    unsigned char version = 0x03;
    std::vector<RawField> fields;
    std::vector<std::string> records;
    std::size_t extraHeader = 0;  // bytes after 0x0D, e.g. 263 for the Visual FoxPro backlink
    bool endMark = true;
    long countOverride = -1;

    unsigned RecordLength() const {
        unsigned n = 1;
        for (const auto& f : fields) n += static_cast<unsigned>(f.length);
        return n;
    }
    unsigned HeaderLength() const { return static_cast<unsigned>(32 + 32 * fields.size() + 1 + extraHeader); }

    std::string Bytes() const {
        std::string h(32, '\0');
        h[0] = static_cast<char>(version);
        h[1] = 124;
        h[2] = 5;
        h[3] = 17;
        h.replace(4, 4, Le32(countOverride >= 0 ? static_cast<std::uint32_t>(countOverride)
                                                : static_cast<std::uint32_t>(records.size())));
        h.replace(8, 2, Le16(HeaderLength()));
        h.replace(10, 2, Le16(RecordLength()));
        h[29] = 0x03;
        unsigned offset = 1;
        for (const auto& f : fields) {
            std::string d(32, '\0');
            d.replace(0, f.name.size(), f.name);
            d[11] = f.type;
            d.replace(12, 4, Le32(offset));
            d[16] = static_cast<char>(f.length);
            d[17] = static_cast<char>(f.decimals);
            d[18] = static_cast<char>(f.flags);
            h += d;
            offset += static_cast<unsigned>(f.length);
        }
        h += '\x0D';
        h += std::string(extraHeader, '\0');
        for (const auto& r : records) h += r;
        if (endMark) h += '\x1A';
        return h;
    }
};

// Collects what the engine logs while it lives.
class LogCapture {
public:
    LogCapture() {
        xbase::SetLogHandler([this](const std::string& text) { lines.push_back(text); });
    }
    ~LogCapture() { xbase::SetLogHandler({}); }
    std::vector<std::string> lines;
};

inline void OpenTable(xbase::Table& t, const std::string& path, bool readOnly = true, bool exclusive = false,
                      const std::string& password = {}) {
    t.SetFileName(path);
    t.SetReadOnly(readOnly);
    t.SetExclusive(exclusive);
    t.SetPassword(password);
    t.Open();
}

}  // namespace enginetest
