#pragma once
// Storing a dictionary entry into a lesson of a vocabulary collection: the selected collection's state
// (header, lesson slots, the lesson list shown), lessons added in memory, and the transfer itself.
//
// A transfer changes three files of the collection: it appends one record to the vocabulary table, and
// replaces the lesson table (box-1 count, added lessons) and the header (counters, next entry number). The
// lesson table and the header are prepared beside their files, synced, and renamed into place only after the
// vocabulary record is stored, so a crash or a full disk leaves each of them whole, old or new. Entry numbers
// stay unique whatever happened before: the number used is never below one more than the highest number the
// vocabulary table already holds.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "trainer/Sammlungen.h"
#include "xbase/Table.h"

namespace zanit {

// The collection selected in the transfer dialog.
struct TSammlung {
    std::string ordner;    // the collection folder (stored path)
    std::string datei;     // the DATEI of its node
    bool gueltig = false;  // the header was read and carries the signature
    bool lektionstabelle = false;  // ... and its lesson table was read
    TSammlungskopf kopf;   // as read, with lessons added in memory
    TSammlungskopf geladen;  // as read from disk or last written
    TLektionsplaetze plaetze{};
    std::vector<TLektionseintrag> liste;  // the lessons shown, in list order
    std::vector<int> hinzugefuegt;        // lessons added in memory that the lesson table does not hold yet

    // Reads the header and, for a valid one, the lessons. The lesson list stays empty when the header is
    // missing, damaged or its lesson table does not exist, so nothing can be stored into such a collection.
    // Throws xbase::TableError when the lesson table cannot be read.
    void Waehlen(const std::string& sammlungsordner, const std::string& datei);
    void Leeren();
    // Adds a lesson (see FuegeLektionHinzu) and appends it to the list; its number or 0.
    int NeueLektion(std::string_view name);
    std::string Kopfpfad() const;          // the header file read (DATEI cut to 8 characters)
    std::string Schreibkopfpfad() const;   // the header file written (the header's base name)
};

// One vocabulary card.
struct TVokabel {
    std::string s1, s2;    // mother-language and foreign-language text
    std::string si1, si2;  // their search keys
    int art = 0;           // part-of-speech code
    std::array<std::int32_t, 5> ton{};  // the first five sound numbers of the foreign-language text
};

// Builds a card: the texts and their search keys (MachSuchbegriff with TextM and TextF).
TVokabel MachVokabel(std::string s1, std::string s2, std::string_view textM, std::string_view textF, int art,
                     const std::array<std::int32_t, 5>& ton);

// Splits a hit-list line ("source|translations|part of speech") into the mother-language and the
// foreign-language text for search direction 1 (source = mother tongue) or 2 (the reverse).
std::pair<std::string, std::string> ZerlegeTrefferzeile(std::string_view zeile, int richtung);

enum class TUebernahmeStatus {
    Bereit,            // opened: the transfer may go on
    Gespeichert,       // stored, header and lesson table up to date
    Belegt,            // the vocabulary or lesson table is in use elsewhere: nothing written
    Veraltet,          // next entry number below 1: nothing written
    NichtGespeichert,  // a write failed before the entry was stored: the collection is unchanged
    Unvollstaendig,    // the entry is stored, but the header or lesson table could not be replaced
};

// One transfer into the selected collection. Holds the vocabulary and the lesson table exclusively from
// Oeffnen until it is destroyed.
class TVokabelziel {
public:
    explicit TVokabelziel(TSammlung& sammlung);
    ~TVokabelziel();
    TVokabelziel(const TVokabelziel&) = delete;
    TVokabelziel& operator=(const TVokabelziel&) = delete;

    // Opens the vocabulary table and the lesson table exclusively (Belegt when either is in use) and checks
    // the next entry number (Veraltet). Bereit when the transfer can go on.
    TUebernahmeStatus Oeffnen();
    // Stores the card into lesson `lektion`: vocabulary record, lesson table (added lessons, box 1), header.
    TUebernahmeStatus Speichern(int lektion, const TVokabel& vokabel);
    // What failed, for the log (file and reason); empty after success.
    const std::string& Fehlertext() const { return fehler_; }

private:
    TSammlung& s_;
    xbase::Table vokabeln_, lektionen_;
    std::string fehler_;
};

}  // namespace zanit
