// Arbitrary bytes through the importers' readers: the word list line by line, a dictd index, and the data
// read as articles at the offsets the same bytes name. Nothing may crash, and every pair produced must be
// Windows-1252 text without line breaks or other control characters (what the dictionary writer stores).
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportDing.h"
#include "import/ImportFreeDict.h"

namespace {

void CheckPair(const zanit::ImportEintrag& e) {
    for (const std::string* s : {&e.w1, &e.w2})
        if (zanit::HatSteuerzeichen(*s)) std::abort();
    if (e.wa < 0 || e.wa > 11) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    zanit::ImportBericht ding;
    std::istringstream lines(text);
    zanit::LeseDing(lines, [](zanit::ImportEintrag&& e) { CheckPair(e); }, ding);

    zanit::ImportBericht dictd;
    std::istringstream index(text);
    const auto verweise = zanit::LeseDictdIndex(index, dictd);
    zanit::LeseFreeDict(verweise, text, size % 2 == 1, [](zanit::ImportEintrag&& e) { CheckPair(e); }, dictd);

    // The same bytes as one article, as the dictd reader hands it on: it first sets aside articles holding
    // control characters other than the line breaks (LF or CR LF) and tab that articles are made of.
    bool steuerzeichen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (u == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if ((u < 0x20 && u != '\t' && u != '\n') || u == 0x7F) steuerzeichen = true;
    }
    zanit::FreeDictArtikel artikel;
    if (!steuerzeichen && zanit::LeseFreeDictArtikel(text, artikel)) {
        std::vector<zanit::ImportEintrag> paare;
        std::size_t nichtAbbildbar = 0;
        zanit::MachFreeDictEintraege(artikel, false, paare, nichtAbbildbar);
        for (const auto& e : paare) CheckPair(e);
    }
    return 0;
}
