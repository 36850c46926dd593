#include "app/widgets/OptionenAnschluss.h"

#include <QAction>
#include <QCheckBox>
#include <algorithm>
#include <QLineEdit>
#include <QTimer>

#include "app/widgets/WBuchDialog.h"
#include "base/Katalog.h"
#include "data/Woerterbuecher.h"
#include "desktop/widgets/Desktopanbindung.h"
#include "options/widgets/WBSaveHinweis.h"
#include "ui/widgets/Fensterhilfen.h"

namespace zanit {

TDesktopanbindung* TOptionenAnschluss::Desktop() const {
    return dynamic_cast<TDesktopanbindung*>(Erweiterungen().desktop.get());
}

TOptionenDialog& TOptionenAnschluss::Dialog(TWBuchDialog& fenster) {
    if (!dialog_) {
        dialog_ = new TOptionenDialog(&fenster);
        Hotkeyzugang z;
        z.zustaende = [this] {
            const TDesktopanbindung* d = Desktop();
            return d ? d->AktivZustaende() : std::array<bool, 3>{};
        };
        z.zustaendeSetzen = [this](const std::array<bool, 3>& a) {
            if (TDesktopanbindung* d = Desktop()) d->ZustaendeWiederherstellen(a);
        };
        z.kuerzel = [this, &fenster] {
            if (const TDesktopanbindung* d = Desktop())
                return std::array<int, 3>{d->HotKey.kuerzel, d->HotKey1mit.kuerzel, d->HotKey2mit.kuerzel};
            const Einstellungen& e = fenster.Werte();
            return std::array<int, 3>{e.HotKey, e.HotKey1, e.HotKey2};
        };
        z.frei = [this](int kuerzel, std::string& fehler) {
            TDesktopanbindung* d = Desktop();
            return !d || d->KuerzelFrei(kuerzel, fehler);
        };
        dialog_->SetzeHotkeyzugang(std::move(z));
    }
    return *dialog_;
}

void TOptionenAnschluss::OptionenAnwenden(TWBuchDialog& fenster) {
    TOptionenDialog& dialog = Dialog(fenster);
    abgelehnt_.clear();
    Einstellungen& e = fenster.Werte();
    e.GLC = fenster.Dialogbuchstabe();
    if (dialog.Zeige(e, fenster.Dialogbuchstabe()) == 1) {
        const Optionswerte o = dialog.Werte();
        // 1. Hotkeys: the three together; a combination the system refuses keeps the one before.
        if (TDesktopanbindung* d = Desktop()) {
            abgelehnt_ = d->KuerzelSetzen(o.hotkeysAn, o.kuerzel);
            d->NachSchliessen(e);
        } else {
            e.HotKey = o.kuerzel[0];
            e.HotKey1 = o.kuerzel[1];
            e.HotKey2 = o.kuerzel[2];
            e.HotKeyOn = o.hotkeysAn;
        }
        // 2. The other values; the delay at once.
        OptionswerteUebernehmen(o, e);
        fenster.TastenTimer->setInterval(std::max(0, e.Interval));
        // 3. Dialog language.
        fenster.DialogspracheWechseln(NeuerDialogbuchstabe(o), o.sprachenSichtbar);
        // The tray item follows the hotkeys, in the language now in force.
        fenster.TrayHotkey->setText(e.HotKeyOn ? KText(98012, "&Hotkeys deaktivieren")
                                               : KText(98011, "&Hotkeys aktivieren"));
        // 4. Font, then everything saved (the autostart entry with it).
        fenster.SchriftAnwenden();
        fenster.EinstellungenSichern();
    }
    if (QLineEdit* feld = fenster.AktivesSuchfeld(); feld && feld->isVisible()) feld->setFocus();
}

bool TOptionenAnschluss::SaveHinweis(TWBuchDialog& fenster, bool& cancelled, bool& endCheck) {
    TSaveHinweisDialog hinweis(&fenster);
    cancelled = hinweis.Zeige() != 1;
    endCheck = hinweis.EndCheck->isChecked();
    return true;
}

void OptionenEinsetzen() { Erweiterungen().optionen = std::make_shared<TOptionenAnschluss>(); }

// The window's side of a new dialog language: the catalogue reopened (which re-applies every caption) and, in
// multi-language mode, the language list rebuilt for it with the remembered tab opened again. With the
// language list hidden the letter becomes German and the current texts stay until the next start.
void TWBuchDialog::DialogspracheWechseln(char buchstabe, bool umschalten) {
    if (buchstabe == ' ') buchstabe = 'D';
    const char bisher = dialogbuchstabe_ == ' ' ? 'D' : dialogbuchstabe_;
    dialogbuchstabe_ = buchstabe;
    werte_.GLC = buchstabe;
    if (!umschalten || buchstabe == bisher) return;
    KatalogOeffnen(buchstabe);
    if (!Startzustand().mehrsprachig) return;
    TWoerterbuecher& wb = *woerterbuecher_;
    const std::string abschnitt = wb.Abschnitt();
    const int position = wb.LeseSprachenliste(abschnitt, buchstabe);
    const int count = static_cast<int>(wb.Liste.size());
    if (count == 0) return;
    aktuellePosition_ = (position >= 1 && position <= count) ? position : 1;
    Oeffne(aktuellePosition_ - 1);
    ZeigeSprachreiter();
    RichtungsknoepfeAnzeigen();
}

}  // namespace zanit
