#pragma once
// Shared pieces of the dictionary importers: the word pair they produce, the counts they report and the
// small text helpers both source formats need. Import texts arrive as UTF-8 and leave as Windows-1252.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

// One word pair of a dictionary: language-1 text, language-2 text (Windows-1252, as displayed) and the
// part-of-speech code 0..11.
struct ImportEintrag {
    std::string w1;
    std::string w2;
    int wa = 0;
};

// What an import met on its way.
struct ImportBericht {
    std::size_t gelesen = 0;         // data lines (or dictionary articles) read, comments not counted
    std::size_t eintraege = 0;       // word pairs produced
    std::size_t fehlerhaft = 0;      // malformed lines or articles, skipped
    std::size_t nichtAbbildbar = 0;  // characters Windows-1252 cannot hold; they became "?"
    std::vector<std::size_t> fehlerhafteStellen;  // line (or article) numbers of the first malformed ones

    static constexpr std::size_t kGemerkteStellen = 20;
    void MerkeFehler(std::size_t stelle);
};

// Removes every part from `open` through the next `close` (no nesting). An opener without a closer stays.
std::string EntferneKlammerteile(std::string_view text, char open, char close);

// Runs of blanks become one blank, a blank before "," or ";" goes, both ends are trimmed.
std::string BereinigeLeerraum(std::string_view text);

// Splits at every occurrence of `separator`; parts are trimmed and empty parts dropped.
std::vector<std::string_view> TrenneText(std::string_view text, std::string_view separator);

// Like TrenneText, but separators inside (), [] or {} do not split.
std::vector<std::string_view> TrenneAufObersterEbene(std::string_view text, std::string_view separator);

// Whether a text without its bracketed parts ((), [], {}, <>) has more than one word.
bool HatMehrereWoerter(std::string_view text);

// UTF-8 to Windows-1252, adding the characters that could not be held to `nichtAbbildbar`.
std::string NachCp1252(std::string_view utf8, std::size_t& nichtAbbildbar);

std::string_view TrimmeLeerraum(std::string_view text);

}  // namespace zanit
