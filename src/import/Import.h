#pragma once
// Shared pieces of the dictionary importers: the word pair they produce, the counts they report and the
// small text helpers both source formats need. Import texts arrive as UTF-8 and leave as Windows-1252.

#include <cstddef>
#include <cstdint>
#include <istream>
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

// What one source line (or dictd article) may amount to. A line beyond these limits is reported and skipped:
// a source cannot make the import hold more than about a megabyte for any one line, however it is built.
// The largest line of the German-English list is under 10 KB and gives under 1,500 pairs.
inline constexpr std::size_t kZeileMaxBytes = 64 * 1024;      // a longer line is never held whole
inline constexpr std::size_t kPaareJeZeileMax = 4096;         // word pairs one line or article gives
inline constexpr std::size_t kPaarTextJeZeileMax = 1 << 20;   // bytes of text in those pairs

// Line (or article) numbers of one kind of problem: how many, and the first few.
struct ImportStellen {
    static constexpr std::size_t kGemerkt = 20;
    std::size_t anzahl = 0;
    std::vector<std::size_t> erste;
    void Merke(std::size_t stelle);
};

// What an import met on its way.
struct ImportBericht {
    std::size_t gelesen = 0;         // data lines (or dictionary articles) read, comments not counted
    std::size_t eintraege = 0;       // word pairs produced
    std::size_t fehlerhaft = 0;      // malformed lines or articles, skipped
    std::size_t nichtAbbildbar = 0;  // characters Windows-1252 cannot hold; they became "?"
    std::vector<std::size_t> fehlerhafteStellen;  // line (or article) numbers of the first malformed ones
    ImportStellen zuGross;        // lines longer than kZeileMaxBytes or giving more than the limits allow
    ImportStellen steuerzeichen;  // lines holding NUL or another control character (tab aside)

    static constexpr std::size_t kGemerkteStellen = ImportStellen::kGemerkt;
    void MerkeFehler(std::size_t stelle);
};

// Whether a text holds a byte below blank other than tab, or DEL; such text is never imported.
bool HatSteuerzeichen(std::string_view text);

// Reads lines of at most `maxBytes` bytes from a stream in large blocks. A longer line is passed over
// without being held (only its end is looked for) and reported as too long.
class ZeilenLeser {
public:
    ZeilenLeser(std::istream& in, std::size_t maxBytes = kZeileMaxBytes);
    // The next line without its line feed; false at the end. `zuLang`: the line was longer than allowed and
    // `zeile` is empty. The view is valid until the next call.
    bool Naechste(std::string_view& zeile, bool& zuLang);
    std::uint64_t Gelesen() const { return gelesen_; }  // bytes taken so far, line feeds included

private:
    bool Fuellen();  // reads more after what is left; false when nothing more came
    std::istream& in_;
    std::size_t max_;
    std::vector<char> puffer_;
    std::size_t anfang_ = 0, ende_ = 0;
    std::uint64_t gelesen_ = 0;
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
