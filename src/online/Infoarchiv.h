#pragma once
// The news archive that the maker's server delivers with the info picture (layout in docs/news-archive.md):
// a signature, then the files one after the other, each compressed with zlib and checked by CRC-32 under a
// relative path. Extraction is all or nothing: every entry is read, inflated within fixed bounds and checked
// before the first file of the data folder is replaced, so a damaged or hostile archive leaves the folder
// exactly as it was.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

// Result of extracting an archive: ok and the relative names of the files put in place (archive order), or
// the reason in `fehler` with nothing changed.
struct TEntpackErgebnis {
    bool ok = false;
    std::string fehler;
    std::vector<std::string> dateien;
};

// Bounds of what an archive may contain. A downloaded archive is small; these keep a hostile one from
// filling the disk or the memory.
struct TArchivGrenzen {
    std::uint64_t archivBytes = 64ull << 20;   // the archive file itself
    std::uint64_t gesamtBytes = 64ull << 20;   // all files inflated together
    std::uint64_t dateiBytes = 32ull << 20;    // one file inflated
    std::size_t dateien = 64;                  // entries
};

// Extracts every file of the archive into `datenordner` (which must exist), replacing files of the same
// name. Only relative names that stay inside the folder are taken; an existing link or other non-folder on
// the way to a file, or a link, folder or device where the file goes, refuses the archive.
TEntpackErgebnis EntpackeInfoarchiv(const std::filesystem::path& archiv, const std::filesystem::path& datenordner,
                                    const TArchivGrenzen& grenzen = {});

// One file of an archive, name relative with "/" between folders.
struct TArchivEintrag {
    std::string name;
    std::string daten;
};

// The checked content of an archive held in memory.
struct TArchivInhalt {
    bool ok = false;
    std::string fehler;
    std::vector<TArchivEintrag> eintraege;
};

// Reads and checks a whole archive: layout, names (SichererArchivname, no name twice, compared without
// case), bounds, inflation and CRC of every entry. Nothing is written.
TArchivInhalt LeseInfoarchiv(std::string_view bytes, const TArchivGrenzen& grenzen = {});

// The archive of the given files (the packer's half; names are taken as given).
std::string SchreibeInfoarchiv(const std::vector<TArchivEintrag>& eintraege);

// A name an archive may carry: "/" between non-empty parts, no part "." or "..", no leading "/", no "\",
// ":", character Windows refuses in names (< > " | ? *), control character or NUL, no part ending in "." or
// blank, no device name of Windows (CON, NUL, COM1, ...), at most 255 bytes.
bool SichererArchivname(std::string_view name);

}  // namespace zanit
