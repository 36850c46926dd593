#include "app/widgets/Sprachanschluss.h"

#include <QLineEdit>
#include <algorithm>

#include "app/widgets/WBuchDialog.h"
#include "base/Katalog.h"
#include "data/Datendialog.h"
#include "data/Woerterbuecher.h"
#include "search/widgets/ErgebnisListe.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

TSprachanschluss::TSprachanschluss(TDatendialog& daten)
    : daten_(daten),
      ton_(daten, ausgabe_, timer_),
      laufwerke_(SystemLaufwerke([this] { return fenster_ ? fenster_->Werte().CD : std::string(); })),
      suche_(daten, *laufwerke_, hinweis_) {
    suche_.SoundLesen = [this] { return fenster_ ? fenster_->Werte().Sound : true; };
    suche_.SoundSchreiben = [this](bool wert) {
        if (fenster_) fenster_->Werte().Sound = wert;
    };
    daten_.SetzeTonmediumSuche(&suche_);
}

TSprachanschluss::~TSprachanschluss() { daten_.SetzeTonmediumSuche(nullptr); }

void TSprachanschluss::SetzeFenster(TWBuchDialog* fenster) {
    fenster_ = fenster;
    hinweis_.SetzeParent(fenster);
}

void TSprachanschluss::Sprechen(TWBuchDialog& w, int language) {
    Sprechauftrag a;
    a.zeilen = static_cast<std::size_t>(w.ErgebnisListe->count());
    a.markiert = w.ErgebnisListe->currentRow();
    if (a.markiert >= 0 && a.markiert < w.ErgebnisListe->count()) {
        a.zeile = ZuCp1252(w.ErgebnisListe->Zeile(a.markiert));
        a.wortart = w.ErgebnisListe->Code(a.markiert);
    } else {
        a.markiert = -1;
    }
    a.suchrichtung = w.Suchrichtung();
    a.woerterbuchOffen = w.Woerterbuecher().Offen;
    a.textM = w.Woerterbuecher().TextM;
    a.textF = w.Woerterbuecher().TextF;
    switch (ton_.SprichEintrag(language, a)) {
        case Sprechmeldung::Keine:
            break;
        case Sprechmeldung::KeineEintraege:
            Meldungsfenster(ZuUnicode(KatalogText(99009, "Es sind keine zu sprechenden Wörterbucheinträge vorhanden.")),
                            ZuUnicode(KatalogText(5006, "Hinweis")), 1, true, false);
            return;
        case Sprechmeldung::NichtsMarkiert:
            Meldungsfenster(
                ZuUnicode(KatalogText(99010, "Bitte wählen Sie zuerst einen zu sprechenden Wörterbucheintrag aus.")),
                ZuUnicode(KatalogText(5006, "Hinweis")), 2, true, false);
            return;
    }
    if (QLineEdit* feld = w.AktivesSuchfeld(); feld && feld->isVisible()) feld->setFocus(Qt::OtherFocusReason);
}

void TSprachanschluss::SprichText(TWBuchDialog& w, const std::string& text, int wortart) {
    const TWoerterbuecher& wb = w.Woerterbuecher();
    ton_.SucheTonnummern(text, wortart, 2, wb.Offen, wb.TextF);
    ton_.SpieleTonliste(&daten_.WaveTableFremdsprache, kTonSlots);
}

std::array<std::int32_t, 5> TSprachanschluss::Tonnummern(TWBuchDialog& w, const std::string& text, int wortart) {
    const TWoerterbuecher& wb = w.Woerterbuecher();
    ton_.SucheTonnummern(text, wortart, 2, wb.Offen, wb.TextF);
    std::array<std::int32_t, 5> erste{};
    std::copy(ton_.Tonnummern.begin(), ton_.Tonnummern.begin() + 5, erste.begin());
    return erste;
}

void TSprachanschluss::TabellenSchliessen() {
    ton_.Anhalten();
    daten_.WaveTableFremdsprache.Close();
    daten_.WaveTableMuttersprache.Close();
    daten_.TonFremdsprache = false;
    daten_.TonMuttersprache = false;
}

TSprachinstallation::TSprachinstallation(TDatendialog& daten) : anschluss_(std::make_shared<TSprachanschluss>(daten)) {
    Erweiterungen().sprache = anschluss_;
}

TSprachinstallation::~TSprachinstallation() {
    if (Erweiterungen().sprache == anschluss_) Erweiterungen().sprache = std::make_shared<Sprachausgabe>();
}

}  // namespace zanit
