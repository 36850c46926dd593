#pragma once
// The data module: the non-visual owner of the tables that live as long as the process (the dictionary
// table BuchDatei now; the sound, catalogue and trainer tables join it), and the hooks through which the
// window and the sound search take part in opening a dictionary.

#include <cstddef>
#include <string>

#include "xbase/Table.h"

namespace zanit {

// The wait cursor around long operations; the main window implements it. The default does nothing.
class Wartecursor {
public:
    virtual ~Wartecursor() = default;
    virtual void SetzeWartecursor(bool an) { (void)an; }
};

// The sound medium search that every dictionary opening runs when an audio device exists. It is given the
// section name of the dictionary just opened and sets the sound flags of the data module. Default: nothing.
class TonmediumSuche {
public:
    virtual ~TonmediumSuche() = default;
    virtual void SucheSprachausgabe(const std::string& abschnitt, bool mehrsprachig) {
        (void)abschnitt;
        (void)mehrsprachig;
    }
};

// Bytes of decoded dictionary records kept while a dictionary is open: typing a word walks the same records
// again with every key, and an installed dictionary does not change while it is open.
inline constexpr std::size_t kWoerterbuchZwischenspeicher = std::size_t(32) << 20;

class TDatendialog {
public:
    // Registers the index tags the engine may have to rebuild (IWI1, IWI2, INR, IDATEI) and silences the
    // engine's own error reporting.
    TDatendialog();
    TDatendialog(const TDatendialog&) = delete;
    TDatendialog& operator=(const TDatendialog&) = delete;

    // The dictionary table of the open dictionary.
    xbase::Table BuchDatei;
    // The sound tables of the mother tongue and the foreign language (field WAVE, order INR), opened by the
    // sound search.
    xbase::Table WaveTableMuttersprache;
    xbase::Table WaveTableFremdsprache;

    // Sound flags: the foreign-language and the mother-tongue sound table are open (the sound search sets
    // them; every dictionary opening clears them first).
    bool TonFremdsprache = false;
    bool TonMuttersprache = false;

    void SetzeWartecursor(bool an) { wartecursor_->SetzeWartecursor(an); }
    // Installs the window's cursor and the sound search (nullptr restores the no-op default). Not owned.
    void SetzeWartecursorAnzeige(Wartecursor* anzeige);
    void SetzeTonmediumSuche(TonmediumSuche* suche);
    TonmediumSuche& Tonmedium() { return *tonmedium_; }

private:
    Wartecursor* wartecursor_;
    TonmediumSuche* tonmedium_;
};

}  // namespace zanit
