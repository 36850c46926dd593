#pragma once
// Search keys and text tidying. Every text here is Windows-1252 bytes, exactly as the dictionary tables store
// them. Upper-casing changes only a..z; trimming removes blanks and control characters (bytes <= 32) at both
// ends. The stored keys WI1/WI2 of a dictionary are built by MachSuchbegriff, so any change here changes which
// records a search finds.

#include <string>
#include <string_view>

#include "data/Woerterbuchdatei.h"  // the Latin flag that BereinigeEintrag reads

namespace zanit {

// Longest search key.
inline constexpr std::size_t kSuchbegriffLaenge = 20;

// The search key of a text: bracket parts, the part after the first "/", leading articles, blanks and
// punctuation removed, upper case, accents folded, at most 20 characters. `language` is the display name of
// the text's language (TextM or TextF of the dictionary); it selects the Swedish and Spanish folding rules.
std::string MachSuchbegriff(std::string_view text, std::string_view language);

// MachSuchbegriff cut to its first 20 characters.
std::string Suchschluessel(std::string_view text, std::string_view language);

// A lighter form used to compare whole words (sound lookup): brackets and "/" part removed, upper case, "TO "
// removed only for verbs (code 1), only unambiguous accents folded, no length limit. `wordclass` is a
// part-of-speech code 0..11.
std::string MachVergleichsform(std::string_view text, int wordclass);

// Deletes blanks and punctuation, replaces umlauts, ß and accented letters (full: all accents; not full: only
// the unambiguous ones, the others become lower case), then trims and upper-cases. `language` may be empty.
std::string FalteBuchstaben(std::string_view text, bool full, std::string_view language);

// Removes leading articles from an upper-case text. mode 0: every article of the list, then "TO "; mode 1: only
// "TO "; mode 2 or more: nothing.
std::string EntferneArtikel(std::string_view text, int mode);

// Removes parts in parentheses, then parts in square brackets, and tidies blanks.
std::string EntferneZusaetze(std::string_view text);

// Removes parts in parentheses (first "(" through first ")", while "(" comes first), then trims.
// Unbalanced or reversed brackets stay in the text.
std::string EntferneKlammern(std::string_view text);

// Tag of the forms below that give the result as a view: `text` itself where the tidying changes nothing
// (most entries, no copy), else the tidied text in `puffer`. Valid while both are. For walks.
struct AlsSicht {};

// Removes parts in square brackets when `remove` is on, then BereinigeEintrag(text, latin).
std::string EntferneEckklammern(std::string_view text, bool latin, bool remove);
// The same into `out`, which keeps its storage from call to call (walks); `text` must not lie in `out`.
void EntferneEckklammern(std::string_view text, bool latin, bool remove, std::string& out);
std::string_view EntferneEckklammern(std::string_view text, bool latin, bool remove, std::string& puffer, AlsSicht);

// Tidies an entry for display. In a Latin dictionary (see SetzeWoerterbuchdatei) with `latin` off (the
// "LatGen" setting), genitive endings written after "/" are dropped: "rosa/ae f (Rose)" -> "rosa (Rose)".
// Then " ," becomes ",", runs of blanks become one blank, and the text is trimmed.
std::string BereinigeEintrag(std::string_view text, bool latin);
void BereinigeEintrag(std::string_view text, bool latin, std::string& out);  // into `out`, as above
std::string_view BereinigeEintrag(std::string_view text, bool latin, std::string& puffer, AlsSicht);

// The text cut to n characters or padded with blanks to n characters.
std::string Auffuellen(std::string_view text, std::size_t n);

// Deletes the first occurrence of `part` again and again until none is left (so deletions that join a new
// occurrence remove that too). An empty part leaves the text unchanged. The utility unit's AlleEntfernen.
std::string EntferneAlle(std::string_view text, std::string_view part);

// The text without `prefix` when it starts with it; an empty prefix changes nothing.
std::string EntferneVorsatz(std::string_view text, std::string_view prefix);

}  // namespace zanit
