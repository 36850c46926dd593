#pragma once
// Reader of dictd databases as the free bilingual dictionaries ship them: an index file of lines
// "headword TAB offset TAB length" (numbers in dictd's base-64 digits) and a data file whose articles
// start with a headword line "word /pronunciation/ (inflected forms) <part of speech>", followed by the
// translations, either one line or numbered senses "1. ...", each sense line optionally followed by
// explanatory lines in the source language.

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/Import.h"

namespace zanit {

// One line of a dictd index.
struct DictdVerweis {
    std::string kopfwort;
    std::uint64_t offset = 0;
    std::uint64_t laenge = 0;
};

// A number in dictd's base-64 digits (A-Z a-z 0-9 + /); nothing for an empty, foreign or too long text.
std::optional<std::uint64_t> DictdZahl(std::string_view digits);

// Reads an index. Malformed and overlong lines are skipped and counted; the database's own meta articles
// ("00-database-..." / "00database...") are left out.
std::vector<DictdVerweis> LeseDictdIndex(std::istream& in, ImportBericht& bericht);

// One article as the database writes it (UTF-8).
struct FreeDictArtikel {
    std::string kopfwort;
    std::vector<std::string> formen;  // inflected forms in parentheses after the headword (Latin genitive ...)
    std::string wortartangabe;        // the text of the last "<...>" of the headword line, e.g. "n, fem"
    std::vector<std::string> uebersetzungen;
};

// Splits an article into its parts; false when it has no headword or no translation.
bool LeseFreeDictArtikel(std::string_view text, FreeDictArtikel& artikel);

// The part-of-speech code of a "<...>" text ("n, fem" 2, "sg, v" 1, "adj" 3, "preposition" 6 ...); 0 when it
// names none.
int FreeDictWortart(std::string_view angabe);

// Word pairs of one article: headword with every translation. The headword's text carries its inflected forms
// after "/" ("rosa/rosae"), which a Latin dictionary shows or hides. `tauschen` puts the translations on
// side 1. Without a part-of-speech text, a headword of several words counts as an idiom (11).
void MachFreeDictEintraege(const FreeDictArtikel& artikel, bool tauschen, std::vector<ImportEintrag>& out,
                           std::size_t& nichtAbbildbar);

// Reads every article the index names (each once, however many index lines point at it) from the inflated
// data. Articles outside the data or without translations, articles holding control characters and articles
// beyond the limits of one source line (Import.h) are skipped and counted.
void LeseFreeDict(const std::vector<DictdVerweis>& index, std::string_view daten, bool tauschen,
                  const std::function<void(ImportEintrag&&)>& ziel, ImportBericht& bericht,
                  const std::function<void(std::uint64_t done, std::uint64_t total)>& fortschritt = {});

}  // namespace zanit
