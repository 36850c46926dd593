#pragma once
// Writes dictionary tables: the word pairs W1/W2 with their search keys WI1/WI2, the part of speech WA and the
// sound numbers WW1/WW2, indexed by the tags IWI1 (over WI1) and IWI2 (over WI2) and protected by the
// dictionary password. Used by the sample dictionary build and the importers.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/Woerterbuchdatei.h"  // kWoerterbuchPasswort
#include "xbase/Table.h"

namespace zanit {

// The password every dictionary table is opened with.
// Default width of the text fields W1 and W2; C fields hold at most 254 characters.
inline constexpr int kTextfeldLaenge = 100;
inline constexpr int kTextfeldLaengeMax = 254;
// Part-of-speech codes run from 0 ("keine Zuordnung") to 11 ("Redewendung").
inline constexpr int kWortartMax = 11;

// One word pair; texts in Windows-1252.
struct Woerterbucheintrag {
    std::string W1;
    std::string W2;
    int WA = 0;
    long long WW1 = 0;  // sound numbers; 0 or less = no recording
    long long WW2 = 0;
};

// The field layout: W1, W2 C(textLaenge); WI1, WI2 C(20); WA, WW1, WW2 N(11,0).
std::vector<xbase::FieldDef> WoerterbuchFelder(int textLaenge = kTextfeldLaenge);
// IWI1 = WI1, IWI2 = WI2.
std::vector<xbase::TagDef> WoerterbuchTags();
// The smallest text width that holds every W1 and W2 of the records unshortened (at least 1, at most 254).
int PassendeTextlaenge(const std::vector<Woerterbucheintrag>& eintraege);

struct WoerterbuchOptionen {
    std::string passwort{kWoerterbuchPasswort};
    int textLaenge = kTextfeldLaenge;  // 1..254
    // On: textLaenge is not used; the width is the longest text given, at most 254 (PassendeTextlaenge),
    // decided when the table is written, so that a caller need not hold every record to choose it.
    bool passendeBreite = false;
};

// Builds a dictionary table and appends records to it. `textM`/`textF` are the names of language 1 and 2
// (as registered as TextM/TextF); they choose the folding rules of each side's key. Texts longer than the
// field are cut (and counted); the keys are built from the stored texts, so that a key built later from a
// stored W equals its stored WI.
// The records are kept until Abschliessen, which writes them in the order of WI1 (records of one key in the
// order they were given), so that walks over IWI1 read the file front to back. The table is built in a
// locked working folder beside the destination (xbase::TableReplacement: same file system, working folders
// of killed builders are removed by the next one) and switched in with its index as one step only when
// Abschliessen succeeds; a builder destroyed or killed before that leaves the destination untouched.
class TWoerterbuchbau {
public:
    // Throws std::invalid_argument for a bad text width, xbase::TableError when the destination folder is
    // missing or no working folder can be made beside it.
    TWoerterbuchbau(const std::string& pfad, std::string textM, std::string textF, WoerterbuchOptionen optionen = {});
    ~TWoerterbuchbau();  // without Abschliessen: discards the staged table
    TWoerterbuchbau(const TWoerterbuchbau&) = delete;
    TWoerterbuchbau& operator=(const TWoerterbuchbau&) = delete;

    // Throws std::invalid_argument for a part-of-speech code outside 0..11 or a sound number outside the
    // signed 32-bit range (the record is not taken then).
    void Hinzufuegen(const Woerterbucheintrag& eintrag);
    // Writes the records, closes the table and switches it in at the destination, replacing the files there;
    // further Hinzufuegen calls throw std::logic_error. Throws xbase::TableError when writing or the switch
    // fails (the destination is then untouched; LockError while another program has the old table open).
    void Abschliessen();

    std::size_t Anzahl() const;    // records written
    int TextBreite() const;        // the width of W1/W2 (with passendeBreite: final after Abschliessen)
    std::size_t Gekuerzt() const;  // records whose W1 or W2 was cut to the field width

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Writes all records into a new table at `pfad`; returns the number written.
std::size_t SchreibeWoerterbuch(const std::string& pfad, std::string_view textM, std::string_view textF,
                                const std::vector<Woerterbucheintrag>& eintraege, WoerterbuchOptionen optionen = {});

}  // namespace zanit
