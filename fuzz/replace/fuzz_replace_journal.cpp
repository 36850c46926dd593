// Arbitrary bytes as the journal of an interrupted table replacement: it is carried out or refused with a
// TableError, and nothing outside the table's folder is moved or removed.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "xbase/Replace.h"
#include "xbase/Table.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of our own with a file beside the table's folder that no journal may reach.
const fs::path& Root() {
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "zanit-fuzz-replace-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        Write(fs::path(pattern) / "outside", "x");
        return fs::path(pattern);
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path folder = Root() / "t";
    fs::remove_all(folder);
    fs::create_directories(folder / ".zanit-table.a");
    Write(folder / "T.DBF", "old");
    Write(folder / ".zanit-table.a" / "T.DBF", "new");
    Write(folder / ".zanit-table.a" / "T.FPT", "memo");
    Write(folder / ".T.DBF.zanit-switch", std::string(reinterpret_cast<const char*>(data), size));
    try {
        xbase::FinishTableReplacement((folder / "T.DBF").string());
    } catch (const xbase::TableError&) {
    }
    std::size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(Root())) {
        (void)entry;
        ++entries;
    }
    if (entries != 2 || !fs::exists(Root() / "outside") || !fs::exists(folder)) std::abort();
    return 0;
}
