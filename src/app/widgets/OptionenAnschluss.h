#pragma once
// The options dialog and the exit notice as the main window meets them: the dialog reaches the window's
// hotkeys through the desktop joint; on OK the new values take effect at once (hotkeys, delay, font,
// autostart entry, dialog language) and all settings are saved.
#include <QPointer>
#include <memory>

#include "app/widgets/Erweiterungen.h"
#include "options/widgets/WBOptionen.h"

namespace zanit {

class TDesktopanbindung;

class TOptionenAnschluss : public Optionen {
public:
    bool Vorhanden() const override { return true; }
    void OptionenAnwenden(TWBuchDialog& fenster) override;
    bool SaveHinweis(TWBuchDialog& fenster, bool& cancelled, bool& endCheck) override;

    // The dialog, created with the window on first use and reused (tests reach its controls here).
    TOptionenDialog& Dialog(TWBuchDialog& fenster);
    // Indices (0 HotKey, 1 HotKey1mit, 2 HotKey2mit) whose new shortcut the system refused at the last OK.
    const std::vector<int>& Abgelehnt() const { return abgelehnt_; }

private:
    TDesktopanbindung* Desktop() const;
    QPointer<TOptionenDialog> dialog_;
    std::vector<int> abgelehnt_;
};

// Installs the options for this process; call before the main window is created.
void OptionenEinsetzen();

}  // namespace zanit
