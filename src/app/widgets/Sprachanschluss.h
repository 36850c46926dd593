#pragma once
// The speech output as the main window meets it: the wave output on Qt Multimedia, the playback rules, the
// sound medium search with its notice, wired to the window's hit list, settings and messages.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/widgets/Erweiterungen.h"
#include "sound/QtWellenausgabe.h"
#include "sound/Tonausgabe.h"
#include "sound/Tonmedium.h"
#include "sound/widgets/CDHinweisDialog.h"

namespace zanit {

class TDatendialog;

class TSprachanschluss : public Sprachausgabe {
public:
    explicit TSprachanschluss(TDatendialog& daten);
    ~TSprachanschluss() override;

    // The window whose settings (Sound, CD) the medium search uses; set before its start-up runs.
    void SetzeFenster(TWBuchDialog* fenster);

    bool Vorhanden() const override { return ton_.TonGeraet; }
    void LaufwerkeAktualisieren() override { suche_.LeseLaufwerke(); }
    void Sprechen(TWBuchDialog& w, int language) override;
    void SprichText(TWBuchDialog& w, const std::string& text, int wortart) override;
    void TabellenSchliessen() override;

    TTonausgabe& Tonausgabe() { return ton_; }
    // The sound numbers of a foreign-language text of the window's open dictionary (the first five slots of
    // the data module's list, as the trainer transfer stores them).
    std::array<std::int32_t, 5> Tonnummern(TWBuchDialog& w, const std::string& text, int wortart);
    TTonmediumSuche& Mediensuche() { return suche_; }

private:
    TDatendialog& daten_;
    TWBuchDialog* fenster_ = nullptr;
    TQtWellenausgabe ausgabe_;
    TQtZeitgeber timer_;
    TTonausgabe ton_;
    std::unique_ptr<Laufwerksabfrage> laufwerke_;
    TCDHinweis hinweis_;
    TTonmediumSuche suche_;
};

// Installs the speech output into the window's extensions and the data module for the life of this object,
// which must end before the data module and the application object do.
class TSprachinstallation {
public:
    explicit TSprachinstallation(TDatendialog& daten);
    ~TSprachinstallation();
    TSprachinstallation(const TSprachinstallation&) = delete;
    TSprachinstallation& operator=(const TSprachinstallation&) = delete;
    TSprachanschluss& operator*() const { return *anschluss_; }
    TSprachanschluss* operator->() const { return anschluss_.get(); }

private:
    std::shared_ptr<TSprachanschluss> anschluss_;
};

}  // namespace zanit
