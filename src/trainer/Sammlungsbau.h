#pragma once
// Creating vocabulary collections the way the trainer program lays them out: the collection index
// "INHALT.DBF" (tag IDATEI), the 604-byte header, the lesson table (tag INR) and the vocabulary table. The
// dictionary never creates collections itself; this serves the demo installation, the tool zanit-voc and
// the tests. Field types and widths are documented in docs/trainer-collections.md.
#include <cstdint>
#include <string>
#include <vector>

namespace zanit {

struct TNeueSammlung {
    std::string datei;   // DATEI in the index; its first 8 characters name the header file
    std::string basis;   // base name of the tables; empty: DATEI cut to 8 characters
    std::string sprache, gruppe, text;  // SPRACHE, GRUPPE, TEXT in the index
    std::vector<std::string> lektionen;  // lesson names, numbered from 1
    std::int32_t naechsteNummer = 1;     // the header's next entry number
    bool schreibschutz = false;
    std::uint32_t schutzbenutzer = 0;
};

// Field layout of the three tables (name:type:length as the table tool's schema reads them).
extern const char* const kIndexSchema;
extern const char* const kLektionsSchema;
extern const char* const kVokabelSchema;

// Creates the collection's files in `ordner` (a file system path, created when missing) and adds its record
// to the collection index, creating the index when there is none. Existing files of the same names are
// replaced. Texts are Windows-1252. Throws std::runtime_error or xbase::TableError.
void LegeSammlungAn(const std::string& ordner, const TNeueSammlung& sammlung);

// A trainer installation in `programmordner`: the program file "zanit.exe" (an empty stand-in) and the
// collection folder "Voc" below it. Returns the collection folder.
std::string LegeTrainerAn(const std::string& programmordner);

}  // namespace zanit
