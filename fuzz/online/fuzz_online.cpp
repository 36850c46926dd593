// Arbitrary bytes as a news archive and as the picture's area list. The reader never fails or reads out of
// bounds and takes only safe names within its bounds; a sound archive is extracted into a scratch data
// folder and every file lands inside it under the name the archive gave, with no prepared file left
// behind. The area list gives at most six areas, none without an address.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "online/Infoarchiv.h"
#include "online/Infobild.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Wurzel() {
    static const fs::path wurzel = [] {
        std::string muster = (fs::temp_directory_path() / "fuzz-online-XXXXXX").string();
        if (!mkdtemp(muster.data())) std::abort();
        return fs::path(muster);
    }();
    return wurzel;
}

std::size_t Dateien(const fs::path& ordner) {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(ordner)) n += e.is_regular_file() ? 1 : 0;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto bereiche = zanit::LeseInfobereiche(bytes);
    if (bereiche.size() > static_cast<std::size_t>(zanit::kMaxInfobereiche)) std::abort();
    for (const auto& b : bereiche)
        if (b.adresse.empty() || b.adresse.find('\n') != std::string::npos) std::abort();

    // Small bounds, so that inflating stays quick and the bounds themselves are reached.
    zanit::TArchivGrenzen grenzen;
    grenzen.gesamtBytes = 1 << 20;
    grenzen.dateiBytes = 256 << 10;
    grenzen.dateien = 16;
    const zanit::TArchivInhalt inhalt = zanit::LeseInfoarchiv(bytes, grenzen);
    if (!inhalt.ok) {
        if (!inhalt.eintraege.empty() || inhalt.fehler.empty()) std::abort();
        return 0;
    }
    std::uint64_t gesamt = 0;
    for (const auto& e : inhalt.eintraege) {
        if (!zanit::SichererArchivname(e.name) || e.daten.size() > grenzen.dateiBytes) std::abort();
        gesamt += e.daten.size();
    }
    if (gesamt > grenzen.gesamtBytes || inhalt.eintraege.size() > grenzen.dateien) std::abort();

    const fs::path daten = Wurzel() / "Data", archiv = Wurzel() / "w101.gz";
    fs::remove_all(daten);
    fs::create_directory(daten);
    std::ofstream(archiv, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    const zanit::TEntpackErgebnis e = zanit::EntpackeInfoarchiv(archiv, daten, grenzen);
    if (!e.ok || e.dateien.size() != inhalt.eintraege.size()) std::abort();
    for (const auto& eintrag : inhalt.eintraege) {
        std::ifstream f(daten / eintrag.name, std::ios::binary);
        const std::string gelesen((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        if (gelesen != eintrag.daten) std::abort();
    }
    // Only the archive's files: nothing beside them, and the scratch root holds just the folder and archive.
    if (Dateien(daten) != inhalt.eintraege.size() || Dateien(Wurzel()) != inhalt.eintraege.size() + 1) std::abort();
    return 0;
}
