// Child process for the crash and lock tests.
//   append TABLE PREFIX   appends records PREFIX-1, PREFIX-2, ... (W1, NR, NOTE) forever; after each Post
//                         writes the number of posted records (4 bytes) to standard output.
//   hold TABLE MODE       opens the table (MODE shared or exclusive), writes one byte 'o' (or 'e' when the
//                         open failed) and keeps the table open until standard input ends.
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "xbase/Table.h"

namespace {

bool WriteAll(const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(1, p, n);
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

int Append(const char* path, const std::string& prefix) {
    xbase::Table table;
    table.SetFileName(path);
    table.Open();
    auto w1 = table.FieldByName("W1");
    auto nr = table.FieldByName("NR");
    auto note = table.FieldByName("NOTE");
    for (std::uint32_t i = 1;; ++i) {
        const std::string name = prefix + "-" + std::to_string(i);
        table.AppendBlank();
        w1.SetAsString(name);
        nr.SetAsInteger(i);
        // The memo repeats the name so that a record pointing at foreign memo bytes shows up.
        std::string memo;
        for (std::uint32_t k = 0; k < 1 + i % 40; ++k) memo += name + ";";
        note.SetAsString(memo);
        table.Post();
        if (!WriteAll(&i, sizeof i)) return 1;
    }
}

int Hold(const char* path, const std::string& mode) {
    xbase::Table table;
    table.SetFileName(path);
    table.SetExclusive(mode == "exclusive");
    char state = 'o';
    try {
        table.Open();
    } catch (const xbase::TableError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        state = 'e';
    }
    if (!WriteAll(&state, 1)) return 1;
    char buffer[64];
    while (::read(0, buffer, sizeof buffer) > 0) {
    }
    return state == 'o' ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The counts and states are bytes, not text lines.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
#endif
    try {
        if (argc == 4 && std::strcmp(argv[1], "append") == 0) return Append(argv[2], argv[3]);
        if (argc == 4 && std::strcmp(argv[1], "hold") == 0) return Hold(argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xbase_table_child: %s\n", e.what());
        return 3;
    }
    std::fprintf(stderr, "usage: xbase_table_child append TABLE PREFIX | hold TABLE shared|exclusive\n");
    return 2;
}
