#pragma once
// Speaking an entry: its words are looked up in the dictionary for their sound numbers, and the recordings
// are played one after the other from the sound table of the language, chained through the events of the
// wave output. No window code: the main window hands over the marked hit line and shows the messages.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sound/Wellenausgabe.h"

namespace xbase {
class Table;
}

namespace zanit {

class TDatendialog;

inline constexpr int kTonSlots = 20;
using Tonliste = std::array<std::int32_t, kTonSlots>;

// Fills `liste` with the sound numbers of the words of `text` (cut at `trenner`, `trenner2` counting as
// `trenner`): at most one number per word and `wortgrenze` words, in word order, a number equal to the one
// stored just before it left out. `tabelle` is a dictionary table (or nothing happens when `offen` is false);
// `seite` 1 or 2 chooses the fields W/WI/WW of that side and `sprache` the language whose folding rules make
// the keys of that side (TextM for side 1, TextF for side 2). Among records of the word's key whose text has
// the word's comparison form, one with the part of speech `wortart` gives the number.
void SucheTonnummern(Tonliste& liste, std::string_view text, xbase::Table& tabelle, bool offen, int wortart,
                     int wortgrenze, char trenner, char trenner2, int seite, std::string_view sprache);

// What the speak command has to show.
enum class Sprechmeldung {
    Keine,
    KeineEintraege,  // 99009: the hit list is empty
    NichtsMarkiert,  // 99010: no line is marked
};

// The marked hit of the window at the moment of the request.
struct Sprechauftrag {
    std::size_t zeilen = 0;   // lines of the hit list
    int markiert = -1;        // 0-based marked line, -1 none
    std::string zeile;        // its text, columns joined by "|"
    int wortart = 0;          // its part-of-speech code
    int suchrichtung = 1;     // 1 or 2
    bool woerterbuchOffen = false;
    std::string textM, textF;  // language names of the open dictionary
};

// The playback state of the data module and the handlers of the output's events.
class TTonausgabe : public Wellenempfaenger {
public:
    // The sound device counts as present when the output reports one (checked once, here).
    TTonausgabe(TDatendialog& daten, Wellenausgabe& ausgabe, Zeitgeber& fehlerTimer);
    ~TTonausgabe() override;
    TTonausgabe(const TTonausgabe&) = delete;
    TTonausgabe& operator=(const TTonausgabe&) = delete;

    Tonliste Tonnummern{};
    int Listenlaenge = 0;    // positive numbers when the sequence started
    int Spielposition = 0;   // 1-based slot now playing; 0 before a sequence has started
    bool Fehlerpause = false;
    bool TonGeraet = false;

    // Speaks the marked entry on side 1 (mother tongue) or 2 (foreign language).
    Sprechmeldung SprichEintrag(int seite, const Sprechauftrag& auftrag);
    void SucheTonnummern(std::string_view text, int wortart, int seite, bool offen, std::string_view sprache);
    // Starts the sequence of the list's first `slots` slots from `tabelle`; true when the first recording was
    // found. Stops whatever plays; events of the old sequence no longer reach it.
    bool SpieleTonliste(xbase::Table* tabelle, int slots);
    // Stops the running sequence (at exit, before the sound tables close).
    void Anhalten();

    void WaveOutStop(unsigned aufnahme) override;
    void WaveOutClose(unsigned aufnahme) override;
    void WaveOutError(unsigned aufnahme) override;
    void FehlerTimerTimer();

    // The table the running sequence plays from (nullptr when none).
    xbase::Table* AktuelleTabelle() const { return tabelle_; }

private:
    void Weiter();
    bool Suche(std::int32_t nummer);
    bool SpieleAktuelle();

    TDatendialog& daten_;
    Wellenausgabe& ausgabe_;
    Zeitgeber& fehlerTimer_;
    xbase::Table* tabelle_ = nullptr;
    unsigned aufnahme_ = 0;  // number of the recording started last; events of others are stale
};

}  // namespace zanit
