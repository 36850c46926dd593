#pragma once
// The installed dictionaries: the dictionary list read from the settings store, and opening one of them as
// the current dictionary. All texts are Windows-1252.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

class TDatendialog;

// Settings key of the product; every subkey is one dictionary section.
std::string Einstellungsschluessel();

// Field n (0-based) of a "|"-separated entry: skip n separators, cut at the next one; missing fields are
// empty.
std::string_view Listenfeld(std::string_view eintrag, int n);

// Whether a stored path lies on the medium whose root is `wurzel`: drive-letter paths compare their first
// letters without regard to case, other paths must lie below the root folder.
bool LiegtAufMedium(std::string_view pfad, std::string_view wurzel);

// A stored path as the file system takes it: on POSIX "\" becomes "/" and the bytes become UTF-8.
std::string Dateisystempfad(std::string_view gespeichert);

// Caption of the second search tab: TextF with "&" before its first character that differs from the first
// character of TextM (no "&" when there is none).
std::string ZweiterReitertext(std::string_view textM, std::string_view textF);

// Why the last opening of a dictionary failed (or, for a missing file, found no table).
enum class Oeffnungsfehler { Keiner, DateiFehlt, Kennwort, Beschaedigt, Gesperrt, Lesefehler };

class TWoerterbuecher {
public:
    explicit TWoerterbuecher(TDatendialog& daten);

    // Dictionary list: section|TextM|TextF per entry, in the order read.
    std::vector<std::string> Liste;
    // Multi-language mode: the language code (2..6) of each list position.
    std::vector<int> Sprachcodes;

    // Current dictionary state.
    int Index = -1;             // list position of the open dictionary, -1 = none
    std::string TextM, TextF;   // language names of the open dictionary
    bool Offen = false;         // the dictionary table is open
    bool Mehrsprachig = false;  // layout: multi-language mode
    std::string CDPfad;         // the "CD" setting (root of the sound medium)
    std::string Datei;          // stored path of the dictionary table of the last opening
    std::string Fehler;         // why the last opening failed (file and cause), empty when it did not
    // Counts the closings of the dictionary table: what a reader keeps of one table is stale once it moved.
    std::uint32_t Tabellenwechsel = 0;

    // Classic layout: builds the list; returns the position of `abschnitt` (exact match) or -1.
    int LeseWoerterbuchliste(std::string_view abschnitt);
    // Multi-language mode: builds the list of the mother tongue of the dialog language letter; returns the
    // 1-based position to preselect (1 when no section matches, without regard to case).
    int LeseSprachenliste(std::string_view abschnitt, char dialogbuchstabe);

    // Opens list entry n (0-based) as the current dictionary; true on success. A registered table file that
    // is missing (a medium out of its drive) counts as success without an open table (Offen false). When the
    // table fails to open, the dictionary open before stays open and current, with its names and index.
    bool OeffneWoerterbuch(int n);
    // The dictionary switch the user asked for: as OeffneWoerterbuch, but a missing file fails too, so that
    // the dictionary open before stays in force.
    bool OeffneAlsWechsel(int n);
    // Why the last opening failed, the engine's reason, and the message that names it to the user.
    Oeffnungsfehler Fehlerart = Oeffnungsfehler::Keiner;
    std::string Fehlergrund;
    std::string Fehlermeldung() const;
    // The same for the multi-language mode; BeiSprachwechsel runs first (the window resets its filter).
    bool OeffneSprache(int n);
    std::function<void()> BeiSprachwechsel;

    // Section name of the open dictionary, empty when the index is not valid.
    std::string Abschnitt() const;

private:
    bool Oeffne(int n);
    std::string fehlerName_, fehlerDatei_;  // TextF and stored path of the entry that failed

    TDatendialog& daten_;
};

}  // namespace zanit
