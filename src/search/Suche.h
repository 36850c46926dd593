#pragma once
// The search walk: a text becomes a search key, the dictionary table is walked in key order from the first
// matching key, and consecutive records of one word and part of speech become one hit line. Also the reverse
// lookup and the hit count text. All texts are Windows-1252. No window code here: the window provides the
// message pump and the wait cursor and shows what the walk reports.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/Trefferliste.h"
#include "search/Wortartregister.h"

namespace zanit {

class TDatendialog;
class TWoerterbuecher;

// Hit limits of the incremental and the full search.
inline constexpr int kGrenzeInkrementell = 100;
inline constexpr int kGrenzeVoll = 200;

enum class Suchstatus {
    Ok,              // the walk ran (it may have found nothing)
    KeinWoerterbuch, // no dictionary table is open (for example its medium is out of the drive)
    Tabellenfehler,  // the table failed while it was read; the lines found until then are kept
};

struct Suchergebnis {
    Suchstatus status = Suchstatus::Ok;
    // A shortened key found the hits: the search field is to show `suchfeld`, all selected.
    bool korrigiert = false;
    std::string suchfeld;
    std::string fehler;  // reason of a table error
};

class TSuche {
public:
    TSuche(TDatendialog& daten, const TWoerterbuecher& woerterbuecher);

    // State the window keeps between walks.
    int Richtung = 1;                 // 1: search language 1, show language 2; 2: the reverse
    int Wortartfilter = 0;            // 0 = none, else the only part-of-speech code listed
    bool Klammerentfernung = true;    // remove square-bracket parts from translations
    bool LatGen = false;              // the "LatGen" setting
    bool Abbruch = false;             // set by a key press; ends an incremental walk
    bool LetzteSucheInkrementell = false;
    std::string Quellsprache, Zielsprache;  // language names of the last walk
    // The language searched in `richtung` of the dictionary open now (TextM for 1, TextF for 2): what a key
    // built before the next walk must be built with, whatever the last walk searched.
    const std::string& QuellspracheFuer(int richtung) const;
    // Lets pending window messages run; called before every record of an incremental walk.
    std::function<void()> NachrichtenVerarbeiten;

    // The walk. `text` is a user text or an already built key; `korrigieren` asks for the search field text
    // that matches a shortened key; `inkrementell` limits to 100 hits, honours the abort flag and never
    // shortens the key. Fills `liste` and its counts.
    Suchergebnis FuelleTrefferliste(Trefferliste& liste, std::string_view text, bool korrigieren,
                                    bool inkrementell, int richtung);

    // Reverse lookup of `wort` (the first column of a hit line): one line "translation|words that translate
    // back to it" per translation of the word.
    Suchergebnis FuelleGegenliste(std::vector<std::string>& liste, std::string_view wort, int richtung);

    // Text of the hit label: empty when nothing was found and no filter is set, else "&# Treffer in &# &#".
    std::string ZeigeTrefferzahl(int treffer, int zeilen) const;

    // The message for a walk that could not run or failed (empty for Ok).
    std::string Meldungstext(const Suchergebnis& ergebnis) const;

    // Key used by the last walk (shortened when the full key found nothing).
    const std::string& Schluessel() const { return schluessel_; }

private:
    void Sprachen(int richtung);
    void Durchlaufe(Trefferliste& liste, bool inkrementell, int richtung);
    // The line of a group of records (one word and part of speech) is built in zeile_: the tidied word, "|",
    // the translations found so far; the part-of-speech name is added when the group ends. A group whose
    // translations are all empty makes no line.
    void GruppeBeginnen(std::string_view wort, int code);
    void UebersetzungAnfuegen(std::string_view uebersetzung);  // unless empty or already listed
    void ZeileAbschliessen(Trefferliste& liste);                 // appends the line, if any, and starts none
    // The cleaned translation: the text itself where cleaning changes nothing, else in uebersetzung_.
    std::string_view Gereinigt(std::string_view roh);

    TDatendialog& daten_;
    const TWoerterbuecher& woerterbuecher_;
    // Buffers reused from walk to walk.
    std::string schluessel_, wort_, roh_, gruppenwort_, zeilenwort_, zeile_, uebersetzung_;
    int gruppencode_ = 0;                   // part-of-speech code of the group being read
    std::size_t uebersetzungsanfang_ = 0;  // where the translations begin in zeile_
    TWortartregister register_;       // the records of each filtered part of speech
    std::uint32_t registerWechsel_ = 0;  // the dictionary table the register belongs to
};

// `t` unless it already stands in the comma-separated `liste` as a whole item (then empty).
std::string_view OhneDoppelte(std::string_view t, std::string_view liste);

// The search field text after a walk that had to shorten its key: the longest beginning of `text` (of up to
// 120 characters) whose key is `kurz`; a last umlaut or "ß" that folds into two key characters of which only
// the first is kept becomes its base letter. When no beginning maps onto the key, the beginning found by
// counting characters (umlauts and "ß" as two) if its key is `kurz`, else `kurz` itself: the field always
// searches the key whose hits the list shows.
std::string KorrigiereSuchfeld(std::string_view text, std::string_view kurz, std::string_view sprache);

}  // namespace zanit
