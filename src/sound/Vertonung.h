#pragma once
// Voicing a dictionary: every distinct spoken text of one side gets one sound number, its recording goes into
// a sound table, and the number into the side's sound-number field (WW1/WW2) of the records that have none,
// so that equal words share a number. Numbers records already carry are kept (their recordings are stored
// under them). The synthesis is the caller's (the tool uses the speech synthesizer).

#include <cstddef>
#include <functional>
#include <string>

#include "sound/Wave.h"

namespace zanit {

struct Vertonungsoptionen {
    std::string passwort;     // of the dictionary table
    std::int32_t start = 1;   // first new sound number (at least one above the highest one found)
    // At most this many texts are voiced (0: all); then the texts carried by the most records come first,
    // single words before phrases, shorter before longer.
    std::size_t grenze = 0;
    // Only single words (no blank) are voiced.
    bool nurEinzelwoerter = false;
};

struct Vertonungsergebnis {
    std::size_t texte = 0;        // recordings written
    std::size_t datensaetze = 0;  // dictionary records of voiced texts
};

// The text a record's field is spoken as: round and square bracket parts removed, blanks tidied.
std::string Sprechtext(std::string_view feld);

// Voices side `seite` (1 or 2) of the dictionary at `woerterbuch` into a new sound table at `tontabelle`.
// `sprich` turns a Windows-1252 text into audio (an empty result leaves the text without a recording).
// Throws xbase::TableError when a table cannot be read or written.
Vertonungsergebnis VertoneWoerterbuch(const std::string& woerterbuch, int seite, const std::string& tontabelle,
                                      const std::function<PcmAudio(const std::string&)>& sprich,
                                      const Vertonungsoptionen& optionen);

}  // namespace zanit
