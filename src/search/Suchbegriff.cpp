#include "search/Suchbegriff.h"

#include "base/Utils.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace zanit {

namespace {


bool IsTrimChar(char c) { return static_cast<unsigned char>(c) <= 32; }

void Trim(std::string& s) {
    std::size_t end = s.size();
    while (end > 0 && IsTrimChar(s[end - 1])) --end;
    std::size_t begin = 0;
    while (begin < end && IsTrimChar(s[begin])) ++begin;
    s.resize(end);
    s.erase(0, begin);
}

void UpperCase(std::string& s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
}

// Deletes from the first `open` through the first `close` while the opening one comes first. Nothing before
// the deleted part can hold either bracket, so the next search starts where the last part began.
void RemoveBracketParts(std::string& s, char open, char close) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t o = s.find(open, from);
        if (o == std::string::npos) return;
        const std::size_t c = s.find(close, from);
        if (c == std::string::npos || o > c) return;
        s.erase(o, c - o + 1);
        from = o;
    }
}

// In a Latin dictionary with the genitive display off: "/" and what follows up to " (", "," or " [" goes.
void RemoveGenitives(std::string& s) {
    for (std::size_t p = s.find('/'); p != std::string::npos; p = s.find('/', p)) {
        if (p + 1 >= s.size()) {
            s.resize(p);
            break;
        }
        const std::string_view rest = std::string_view(s).substr(p + 1);
        std::size_t n = std::string_view::npos;
        for (std::string_view delimiter : {std::string_view(" ("), std::string_view(","), std::string_view(" [")}) {
            const std::size_t at = rest.find(delimiter);
            if (at < n) n = at;
        }
        if (n == std::string_view::npos) {
            s.resize(p);
            break;
        }
        s.erase(p, n + 1);
    }
}

// Eight bytes at a time: the high bit of each byte of v that equals c (exact, no carries between bytes).
std::uint64_t BytesEqual(std::uint64_t v, std::uint64_t c) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t x = v ^ c;
    return ~(((x & kLow7) + kLow7) | x) & ~kLow7;
}

// A blank followed by a blank or a comma somewhere in s.
bool NeedsClosingUp(std::string_view s) {
    constexpr std::uint64_t kBlanks = 0x2020202020202020ULL, kCommas = 0x2C2C2C2C2C2C2C2CULL;
    std::size_t i = 0;
    for (; i + 9 <= s.size(); i += 8) {
        std::uint64_t here, next;
        std::memcpy(&here, s.data() + i, 8);
        std::memcpy(&next, s.data() + i + 1, 8);
        if (BytesEqual(here, kBlanks) & (BytesEqual(next, kBlanks) | BytesEqual(next, kCommas))) return true;
    }
    for (; i + 1 < s.size(); ++i)
        if (s[i] == ' ' && (s[i + 1] == ' ' || s[i + 1] == ',')) return true;
    return false;
}

// Tidying (and, with `remove`, removing square-bracket parts) would leave s as it is: no blank or control
// character at either end, nothing to close up, no square bracket and no genitive to drop. Most entries are
// so; walks ask for every record, sixteen bytes at a time where the processor allows.
bool StaysAsIs(std::string_view s, bool latin, bool remove) {
    const std::size_t n = s.size();
    if (n == 0) return true;
    if (IsTrimChar(s.front()) || IsTrimChar(s.back())) return false;
    const bool slashes = !latin && IstLateinischesWoerterbuch();
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i blank = _mm_set1_epi8(' '), comma = _mm_set1_epi8(',');
    const __m128i bracket = _mm_set1_epi8(remove ? '[' : ' '), slash = _mm_set1_epi8(slashes ? '/' : ' ');
    // Bytes here[k] and their successors next[k]; a blank found as a bracket or slash is no hit (see masks).
    const auto found = [&](__m128i here, __m128i next) {
        const __m128i hereBlank = _mm_cmpeq_epi8(here, blank);
        const __m128i closeUp =
            _mm_and_si128(hereBlank, _mm_or_si128(_mm_cmpeq_epi8(next, blank), _mm_cmpeq_epi8(next, comma)));
        const __m128i other = _mm_andnot_si128(hereBlank, _mm_or_si128(_mm_cmpeq_epi8(here, bracket),
                                                                        _mm_cmpeq_epi8(here, slash)));
        return _mm_movemask_epi8(_mm_or_si128(closeUp, other)) != 0;
    };
    // The bytes up to the last one's predecessor are looked at with their successors; the last byte can
    // only be a bracket or a slash itself.
    const bool letztesBleibt = !(remove && s.back() == '[') && !(slashes && s.back() == '/');
    if (n < 17) {
        // Short texts (most entries) in two overlapping halves loaded straight into the registers: bytes
        // 0.. and ..n-2 of the text, each beside its successor. Neither load reaches past the text, and
        // copying the text into a padded buffer first would stall the load on the copy.
        const char* p = s.data();
        __m128i here, next;
        if (n >= 9) {
            const auto acht = [](const char* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
            here = _mm_unpacklo_epi64(acht(p), acht(p + n - 9));
            next = _mm_unpacklo_epi64(acht(p + 1), acht(p + n - 8));
        } else if (n >= 5) {
            const auto vier = [](const char* q) {
                std::uint32_t v;
                std::memcpy(&v, q, 4);
                return _mm_cvtsi32_si128(static_cast<int>(v));
            };
            // The upper lanes stay zero, which is none of the characters looked for.
            here = _mm_unpacklo_epi32(vier(p), vier(p + n - 5));
            next = _mm_unpacklo_epi32(vier(p + 1), vier(p + n - 4));
        } else {
            for (std::size_t i = 0; i + 1 < n; ++i) {
                const char c = s[i];
                if ((c == ' ' && (s[i + 1] == ' ' || s[i + 1] == ',')) || (remove && c == '[') ||
                    (slashes && c == '/'))
                    return false;
            }
            return letztesBleibt;
        }
        return letztesBleibt && !found(here, next);
    }
    const auto laden = [](const char* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    for (std::size_t i = 0; i + 17 <= n; i += 16)
        if (found(laden(s.data() + i), laden(s.data() + i + 1))) return false;
    return letztesBleibt && !found(laden(s.data() + n - 17), laden(s.data() + n - 16));
#else
    if (remove && s.find('[') != std::string_view::npos) return false;
    if (slashes && s.find('/') != std::string_view::npos) return false;
    return !NeedsClosingUp(s);
#endif
}

void Tidy(std::string& s, bool latin) {
    if (!latin && IstLateinischesWoerterbuch()) RemoveGenitives(s);
    // No blank before a comma, no two blanks in a row. Most entries have neither: one scan spares them
    // the copy loop.
    if (!NeedsClosingUp(s)) {
        Trim(s);
        return;
    }
    std::size_t out = 0;
    for (char c : s) {
        if (c == ',') {
            while (out > 0 && s[out - 1] == ' ') --out;
        } else if (c == ' ' && out > 0 && s[out - 1] == ' ') {
            continue;
        }
        s[out++] = c;
    }
    s.resize(out);
    Trim(s);
}

void RemoveAdditions(std::string& s) {
    RemoveBracketParts(s, '(', ')');
    Trim(s);
    RemoveBracketParts(s, '[', ']');
    Tidy(s, true);
}

// The steps both key forms share: additions, the part after "/", upper case.
void Prepare(std::string& s) {
    RemoveAdditions(s);
    const std::size_t slash = s.find('/');
    if (slash != std::string::npos) {
        s.resize(slash);
        Trim(s);
    }
    UpperCase(s);
    Trim(s);
}

constexpr std::array<std::string_view, 31> kArticles = {
    "EIN ", "EINE ", "EINEM ", "EINEN ", "EINER ", "DEM ", "DEN ", "DER ", "DIE ", "DAS ", "A ",
    "AN ",  "THE ",  "UN ",    "UNA ",  "UNE ",   "UNO ", "LA ",  "LE ",  "L'",   "LES ", "IL ",
    "LO ",  "I ",    "GLI ",   "EL ",   "LAS ",   "LOS ", "SICH ", "SE ", "S'"};

void RemoveArticles(std::string& s, int mode) {
    if (mode >= 2) return;
    std::string_view rest(s);
    if (mode == 0) {
        for (std::string_view article : kArticles) {
            if (rest.starts_with(article)) rest.remove_prefix(article.size());
        }
    }
    if (rest.starts_with("TO ")) rest.remove_prefix(3);
    s.erase(0, s.size() - rest.size());
}

// Folding tables: for every byte its replacement (up to 3 characters) or its deletion.
enum class Rule { None, Swedish, Spanish };

struct Replacement {
    std::uint8_t length = 1;  // 0 = delete
    std::array<char, 3> chars{};
};

using FoldTable = std::array<Replacement, 256>;

FoldTable BuildFoldTable(bool full, Rule rule) {
    FoldTable t{};
    for (int c = 0; c < 256; ++c) t[c].chars[0] = static_cast<char>(c);
    const auto set = [&t](unsigned char c, std::string_view to) {
        t[c].length = static_cast<std::uint8_t>(to.size());
        std::memcpy(t[c].chars.data(), to.data(), to.size());
    };
    for (unsigned char c : {' ', ',', ';', '.', '-', '!', '\xA1', '?', '\xBF', '/', '\'', '`', '\x91', '\x92', '\xB4'})
        set(c, "");
    const bool swedish = rule == Rule::Swedish;
    for (unsigned char c : {0xC4, 0xE4}) set(c, swedish ? "ZZY" : "AE");
    for (unsigned char c : {0xD6, 0xF6}) set(c, swedish ? "ZZZ" : "OE");
    for (unsigned char c : {0xDC, 0xFC}) set(c, "UE");
    set(0xDF, "SS");
    for (unsigned char c : {0xC2, 0xC3, 0xE2, 0xE3}) set(c, "A");
    for (unsigned char c : {0xCA, 0xCB, 0xEA, 0xEB}) set(c, "E");
    for (unsigned char c : {0xCE, 0xCF, 0xEE, 0xEF}) set(c, "I");
    for (unsigned char c : {0xD4, 0xF4}) set(c, "O");
    for (unsigned char c : {0xDB, 0xFB}) set(c, "U");
    for (unsigned char c : {0xC7, 0xE7}) set(c, "C");
    if (full) {
        for (unsigned char c : {0xC0, 0xC1, 0xE0, 0xE1}) set(c, "A");
        for (unsigned char c : {0xC5, 0xE5}) set(c, swedish ? "ZZX" : "A");
        for (unsigned char c : {0xC8, 0xC9, 0xE8, 0xE9}) set(c, "E");
        for (unsigned char c : {0xCC, 0xCD, 0xEC, 0xED}) set(c, "I");
        for (unsigned char c : {0xD2, 0xD3, 0xF2, 0xF3}) set(c, "O");
        for (unsigned char c : {0xD9, 0xDA, 0xF9, 0xFA}) set(c, "U");
        for (unsigned char c : {0xD1, 0xF1}) set(c, rule == Rule::Spanish ? "NZZ" : "N");
        for (unsigned char c : {0x8C, 0x9C}) set(c, "OE");
    } else {
        // Upper-case accented letters become lower case: À Á È É Ì Í Ò Ó Ù Ú Ñ and Œ.
        for (unsigned char c : {0xC0, 0xC1, 0xC8, 0xC9, 0xCC, 0xCD, 0xD2, 0xD3, 0xD9, 0xDA, 0xD1})
            set(c, std::string(1, static_cast<char>(c + 0x20)));
        set(0x8C, "\x9C");
    }
    return t;
}

const FoldTable& FoldTableFor(bool full, Rule rule) {
    static const std::array<FoldTable, 6> tables = [] {
        std::array<FoldTable, 6> all{};
        for (int f = 0; f < 2; ++f)
            for (int r = 0; r < 3; ++r) all[f * 3 + r] = BuildFoldTable(f == 1, static_cast<Rule>(r));
        return all;
    }();
    return tables[(full ? 3 : 0) + static_cast<int>(rule)];
}

// Case-insensitive (a..z only) containment, without building an upper-case copy.
bool ContainsUpper(std::string_view text, std::string_view upperNeedle) {
    if (upperNeedle.size() > text.size()) return false;
    for (std::size_t i = 0; i + upperNeedle.size() <= text.size(); ++i) {
        std::size_t k = 0;
        for (; k < upperNeedle.size(); ++k) {
            char c = text[i + k];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != upperNeedle[k]) break;
        }
        if (k == upperNeedle.size()) return true;
    }
    return false;
}

Rule RuleFor(std::string_view language) {
    if (ContainsUpper(language, "SPANISCH")) return Rule::Spanish;
    if (ContainsUpper(language, "SCHWEDISCH")) return Rule::Swedish;
    return Rule::None;
}

void Fold(std::string& s, bool full, std::string_view language) {
    const FoldTable& table = FoldTableFor(full, RuleFor(language));
    std::string out;
    out.reserve(s.size() * 3);
    for (char c : s) {
        const Replacement& r = table[static_cast<unsigned char>(c)];
        out.append(r.chars.data(), r.length);
    }
    Trim(out);
    UpperCase(out);
    s.swap(out);
}

}  // namespace

std::string MachSuchbegriff(std::string_view text, std::string_view language) {
    if (text.empty()) return {};
    std::string s(text);
    Prepare(s);
    RemoveArticles(s, 0);
    Fold(s, true, language);
    Trim(s);
    if (s.size() > kSuchbegriffLaenge) {
        s.resize(kSuchbegriffLaenge);
        Trim(s);
    }
    return s;
}

std::string Suchschluessel(std::string_view text, std::string_view language) {
    std::string key = MachSuchbegriff(text, language);
    if (key.size() > kSuchbegriffLaenge) key.resize(kSuchbegriffLaenge);
    return key;
}

std::string MachVergleichsform(std::string_view text, int wordclass) {
    if (text.empty()) return {};
    std::string s(text);
    Prepare(s);
    if (wordclass > 0) RemoveArticles(s, wordclass);
    Fold(s, false, {});
    return s;
}

std::string FalteBuchstaben(std::string_view text, bool full, std::string_view language) {
    std::string s(text);
    Fold(s, full, language);
    return s;
}

std::string EntferneArtikel(std::string_view text, int mode) {
    std::string s(text);
    RemoveArticles(s, mode);
    return s;
}

std::string EntferneZusaetze(std::string_view text) {
    std::string s(text);
    RemoveAdditions(s);
    return s;
}

std::string EntferneKlammern(std::string_view text) {
    std::string s(text);
    RemoveBracketParts(s, '(', ')');
    Trim(s);
    return s;
}

std::string EntferneEckklammern(std::string_view text, bool latin, bool remove) {
    std::string s;
    EntferneEckklammern(text, latin, remove, s);
    return s;
}

void EntferneEckklammern(std::string_view text, bool latin, bool remove, std::string& out) {
    out.assign(text);
    if (StaysAsIs(text, latin, remove)) return;
    if (remove) RemoveBracketParts(out, '[', ']');
    Tidy(out, latin);
}

std::string_view EntferneEckklammern(std::string_view text, bool latin, bool remove, std::string& puffer,
                                     AlsSicht) {
    if (StaysAsIs(text, latin, remove)) return text;
    EntferneEckklammern(text, latin, remove, puffer);
    return puffer;
}

std::string BereinigeEintrag(std::string_view text, bool latin) {
    std::string s;
    BereinigeEintrag(text, latin, s);
    return s;
}

void BereinigeEintrag(std::string_view text, bool latin, std::string& out) {
    out.assign(text);
    if (!StaysAsIs(text, latin, false)) Tidy(out, latin);
}

std::string_view BereinigeEintrag(std::string_view text, bool latin, std::string& puffer, AlsSicht) {
    if (StaysAsIs(text, latin, false)) return text;
    BereinigeEintrag(text, latin, puffer);
    return puffer;
}

std::string Auffuellen(std::string_view text, std::size_t n) {
    std::string s(text.substr(0, n));
    s.resize(n, ' ');
    return s;
}

std::string EntferneAlle(std::string_view text, std::string_view part) { return AlleEntfernen(text, part); }

std::string EntferneVorsatz(std::string_view text, std::string_view prefix) {
    if (!prefix.empty() && text.starts_with(prefix)) text.remove_prefix(prefix.size());
    return std::string(text);
}

}  // namespace zanit
