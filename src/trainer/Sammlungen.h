#pragma once
// The companion trainer's vocabulary collections as this system sees them: where the trainer is installed,
// which collections exist for a foreign language, and the lessons of one collection. Every text is
// Windows-1252; paths are stored paths ("\" or "/"), turned into file system paths where files are opened.
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "trainer/Sammlungskopf.h"

namespace zanit {

// The trainer installation, found once at start.
struct TTrainerort {
    std::string programm;         // path of the trainer program, empty when the trainer is not installed
    std::string sammlungsordner;  // its folder + "Voc" + separator, with a trailing separator
    bool Installiert() const { return !programm.empty(); }
};

// Reads the value "Program" of the trainer key; the trainer counts as installed when a file "zanit.exe"
// lies in that folder.
TTrainerort LokalisiereTrainer();

// A node of the collection tree: the root (the foreign language), a group, or a collection.
struct TSammlungsknoten {
    std::string text;
    int bild = 0;
    std::string datei;  // collections: the DATEI field of the collection index
    std::vector<TSammlungsknoten> kinder;
};

inline constexpr int kGruppenbild = 27;
inline constexpr int kSammlungsbild = 28;

// The root image for the dictionary's language letter (0 D, 1 E, 3 F, 4 I, 5 S, 6 L, 11 V, else 20).
int Wurzelbild(char sprachbuchstabe);
// The language letter of a dictionary table path: the first character of the file name, upper-cased (the
// second in multi-language mode); 0 when there is none.
char Sprachbuchstabe(std::string_view woerterbuchdatei, bool mehrsprachig);

// Builds the tree of the collections whose SPRACHE equals `textF` exactly, from "INHALT.DBF" in the
// collection folder, sorted by caption at every level. True when at least one collection was found. A
// missing or unreadable index gives false with the root alone.
bool ListeSammlungen(const std::string& sammlungsordner, std::string_view textF, int wurzelbild,
                     TSammlungsknoten& wurzel);

// Caption order of the tree: letters without regard to case and accents, then the bytes.
bool VorImAlphabet(std::string_view a, std::string_view b);

// File system paths of a collection's files.
std::string Ordnerdatei(const std::string& sammlungsordner, std::string_view name);
std::string Kopfdatei(const std::string& sammlungsordner, std::string_view datei);  // DATEI cut to 8 + ".lvh"
std::string Lektionstabellenname(std::string_view basisname);  // base name + "L", cut to 8 characters
std::string Vokabeltabellenname(std::string_view basisname);   // the base name, ".dbf" added when it has none

// One lesson: number 1..200 (0 marks a free slot), name and the cards in boxes 1..7.
struct TLektion {
    int nr = 0;
    std::string name;
    std::array<long long, 7> kasten{};
};
// Slots indexed by lesson number; slot 0 is unused.
using TLektionsplaetze = std::array<TLektion, kMaxLektionen + 1>;
// A lesson as listed: number and name.
using TLektionseintrag = std::pair<int, std::string>;

// A name from a collection's files that may name a file in the collection folder: not empty, no folder
// separators, drive colons or control characters, not "." or "..". Others would reach outside the folder.
bool SichererDateiname(std::string_view name);

// Trims blanks and control characters at both ends.
std::string Getrimmt(std::string_view text);

// Loads the slots from the lesson table; false (slots untouched) when the table file does not exist.
// Throws xbase::TableError when the table cannot be read.
bool LadeLektionen(const std::string& sammlungsordner, const std::string& tabellenname, TLektionsplaetze& plaetze);
// The lessons shown: occupied slots in ascending number, stopping once `lektionszahl` were listed.
std::vector<TLektionseintrag> Lektionsliste(const TLektionsplaetze& plaetze, int lektionszahl);
// The first free slot after `lektionszahl`, else the first from 1; 0 when all are occupied.
int FreieLektionsnummer(int lektionszahl, const TLektionsplaetze& plaetze);
// Whether an occupied slot has this trimmed name (exact comparison).
bool LektionsnameVorhanden(const TLektionsplaetze& plaetze, std::string_view name);
// Adds a lesson in memory: the header's count and lesson flag, the slot. Returns its number, or 0 when the
// collection is full, the trimmed name is empty or already used, or no slot is free.
int FuegeLektionHinzu(TSammlungskopf& kopf, TLektionsplaetze& plaetze, std::string_view name);

}  // namespace zanit
