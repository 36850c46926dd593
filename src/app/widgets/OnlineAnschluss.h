#pragma once
// The online services as the main window meets them: the news download's start check on every show, the
// picture at close, the feedback and about dialogs, the product's web site, and help (menu, F1 and the help
// spot of the dialogs). Download failures are written to the log, never shown in a dialog: the download runs
// unattended on every show of the window.
#include <QPointer>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/widgets/Erweiterungen.h"
#include "online/widgets/TInfoabruf.h"
#include "online/widgets/TVerweisLabel.h"

namespace zanit {

class TOnlineAnschluss : public Online {
public:
    bool Vorhanden() const override { return true; }
    void StartPruefung(TWBuchDialog& fenster) override;
    void BildZeigen(TWBuchDialog& fenster) override;
    bool Hilfe() const override { return true; }
    void HilfeInhalt() override;
    void Info(TWBuchDialog& fenster) override;
    void Kontakt(TWBuchDialog& fenster) override;
    void Internet(TWBuchDialog& fenster) override;
    void WBMeldungen(TWBuchDialog& fenster) override;

    // The download of the window (created at its first show); tests watch its steps.
    TInfoabruf* Abruf() const { return abruf_; }
    // The hidden link label of the web site command.
    TVerweisLabel* InternetLabel() const { return internet_; }

    // Seams for tests: the connection probe, and another folder than the catalogue's program folder.
    std::function<bool()> Verbindungstest;
    std::optional<std::filesystem::path> Programmordner;

private:
    std::filesystem::path Ordner() const;
    TInfoabruf& AbrufFuer(TWBuchDialog& fenster);
    QPointer<TInfoabruf> abruf_;
    QPointer<TVerweisLabel> internet_;
};

// Installs the online services for this process (and the help spot of the dialogs); call before the main
// window is created.
void OnlineEinsetzen();

}  // namespace zanit
