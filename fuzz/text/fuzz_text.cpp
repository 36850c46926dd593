// Arbitrary bytes as catalogue texts and dictionary entries: template expansion, search keys and entry
// tidying never crash, and a search key never exceeds its 20 characters nor keeps a blank or a lower-case
// ASCII letter.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Katalog.h"
#include "search/Suchbegriff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The first bytes choose the arguments, the rest is the template.
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    (void)zanit::ErweitereVorlage(std::string(text.substr(cut)), text.substr(0, cut), "&#", "", "x", text);

    for (std::string_view sprache : {"Englisch", "Schwedisch", "Spanisch", ""}) {
        const std::string key = zanit::MachSuchbegriff(text, sprache);
        if (key.size() > zanit::kSuchbegriffLaenge) std::abort();
        for (char c : key)
            if (c == ' ' || (c >= 'a' && c <= 'z')) std::abort();
        (void)zanit::Suchschluessel(text, sprache);
    }
    for (int wortart = 0; wortart <= 11; wortart += 11) (void)zanit::MachVergleichsform(text, wortart);
    for (bool latein : {false, true}) {
        (void)zanit::BereinigeEintrag(text, latein);
        (void)zanit::EntferneEckklammern(text, latein, true);
    }
    (void)zanit::Auffuellen(text, size % 40);
    return 0;
}
