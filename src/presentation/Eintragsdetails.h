#pragma once
// The rules of the entry details: which line a command acts on, what the details message shows and how many
// lines it takes, what is copied to the clipboard and what is spoken. Lines are "|"-separated texts in
// Windows-1252: a reverse list line is "translation|back-translations", a hit line
// "source|translations|part of speech".
#include <optional>
#include <string>
#include <string_view>

namespace zanit {

// The clipboard takes at most this many characters of a translation.
inline constexpr std::size_t kKopiergrenze = 255;

// The line a command acts on: the marked one, else the only line of a one-line list; -1 when there is none
// (an empty list, or several lines and none marked).
int Befehlszeile(int zeilen, int markiert);

// The back-translations of a reverse list line (after the first "|"); nothing when it holds no "|".
std::optional<std::string> Rueckuebersetzungen(std::string_view gegenzeile);
// Lines of the details message for a text: one per started 50 characters, one for an empty text.
int Detailzeilen(std::string_view text);

// The translation of a reverse list line (before the first "|"), cut to 255 characters; nothing when the
// line holds no "|".
std::optional<std::string> Gegenkopie(std::string_view gegenzeile);
// The translation column of a hit line (between the first and the second "|"), cut to 255 characters;
// nothing when the line does not hold three columns.
std::optional<std::string> Trefferkopie(std::string_view trefferzeile);

// The foreign-language side of a reverse list line: before the first "|" in search direction 1, after it in
// direction 2 (there possibly several texts joined by ", "); nothing when the line holds no "|".
std::optional<std::string> Sprechtext(std::string_view gegenzeile, int richtung);

// Section widths of the reverse list's header for a list width: a third, and the rest plus 5.
struct Kopfbreiten {
    int links = 0, rechts = 0;
};
Kopfbreiten GegenKopfbreiten(int listenbreite);

}  // namespace zanit
