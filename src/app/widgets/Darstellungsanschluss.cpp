#include "app/widgets/Darstellungsanschluss.h"

#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

#include "app/widgets/WBuchDialog.h"
#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "data/Woerterbuecher.h"
#include "presentation/Eintragsdetails.h"
#include "presentation/widgets/WAFilterDialog.h"
#include "presentation/widgets/WBAnzeigeDialog.h"
#include "presentation/widgets/Zwischenablage.h"
#include "search/widgets/ErgebnisListe.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/TBildKnopf.h"
#include "ui/widgets/Unicode.h"

namespace zanit {
namespace {

void SuchfeldFokussieren(TWBuchDialog& w) {
    if (QLineEdit* feld = w.AktivesSuchfeld(); feld && feld->isVisible()) feld->setFocus(Qt::OtherFocusReason);
}

// The faces of the multi-language filter button: painted by a picture button, else shown as its icon.
void Flaechen(QAbstractButton* knopf, const Filteranzeige& a) {
    const TBitmapListe& liste = Skinzustand().ButtonsBitmapList;
    if (auto* bild = qobject_cast<TBildKnopf*>(knopf)) {
        bild->SetzeBilder(&liste, a.normal, a.heiss, a.gedrueckt);
    } else if (liste.Hat(a.normal)) {
        QIcon icon(liste.Bild(a.normal));
        if (liste.Hat(a.heiss)) icon.addPixmap(liste.Bild(a.heiss), QIcon::Active);
        if (liste.Hat(a.gedrueckt)) icon.addPixmap(liste.Bild(a.gedrueckt), QIcon::Selected);
        knopf->setIcon(icon);
    }
    knopf->setProperty("Flaeche", a.normal);
}

// The main window as the filter commands see it.
class Fensterseite : public Filterfenster {
public:
    Fensterseite(TWBuchDialog& w, TFilteranschluss& a) : w_(w), a_(a) {}
    bool FilterDialog(int& code) override { return a_.Dialog(w_)->Auswaehlen(code); }
    std::string Suchtext() const override { return ZuCp1252(w_.AktivesSuchfeld()->text().trimmed()); }
    void NeuSuchen(bool inkrementell) override { w_.FilterSuche(inkrementell); }
    bool LetzteSucheInkrementell() const override { return w_.Suche().LetzteSucheInkrementell; }
    bool ListeLeer() const override { return w_.ErgebnisListe->count() == 0; }
    void KeineTrefferMelden() override {
        Meldungsfenster(KText(30105, "Die gewählte Selektion trifft auf keinen der angezeigten Wörterbucheinträge zu."),
                        KText(5006, "Hinweis"), 1, true, false);
    }
    void SuchfeldMarkieren() override {
        w_.AktivesSuchfeld()->selectAll();
        SuchfeldFokussieren(w_);
    }
    void Anzeigen(const Filteranzeige& a) override {
        w_.FilterLabel->setText(ZuUnicode(a.label));
        if (Startzustand().mehrsprachig) {
            Flaechen(w_.FilterMMButton, a);
            w_.FilterMMButton->setToolTip(ZuUnicode(a.hinweis));
            w_.MachResizeNeu();
        } else {
            w_.FilterAusButton->setEnabled(a.ausAktiv);
            w_.MachResize();
        }
    }

private:
    TWBuchDialog& w_;
    TFilteranschluss& a_;
};

}  // namespace

TWAFilterDialog* TFilteranschluss::Dialog(TWBuchDialog& w) {
    if (!dialog_) dialog_ = new TWAFilterDialog(&w);
    return dialog_;
}

void TFilteranschluss::FilterStatusAnwenden(TWBuchDialog& w) {
    Fensterseite f(w, *this);
    zustand_.StatusZeigen(f);
}

void TFilteranschluss::Befehl(TWBuchDialog& w, void (TFilterzustand::*befehl)(Filterfenster&)) {
    Fensterseite f(w, *this);
    (zustand_.*befehl)(f);
}

void TFilteranschluss::FilterAnClick(TWBuchDialog& w) { Befehl(w, &TFilterzustand::Setzen); }
void TFilteranschluss::FilterAusClick(TWBuchDialog& w) { Befehl(w, &TFilterzustand::Aufheben); }
void TFilteranschluss::FilterMMClick(TWBuchDialog& w) { Befehl(w, &TFilterzustand::Umschalten); }

void TFilteranschluss::FilterLabelClick(TWBuchDialog& w) {
    Fensterseite f(w, *this);
    zustand_.LabelKlick(f, Startzustand().mehrsprachig);
}

TWBAnzeigeDialog* TDetailanschluss::Dialog(TWBuchDialog& w) {
    if (!dialog_) dialog_ = new TWBAnzeigeDialog(&w);
    return dialog_;
}

void TDetailanschluss::Umkehrsuche(TWBuchDialog& w) {
    TErgebnisListe* liste = w.ErgebnisListe;
    if (liste->count() == 0) {
        Meldungsfenster(KText(30106, "Bitte führen Sie zunächst eine Suche im Wörterbuch durch und wählen Sie dann "
                                     "einen Eintrag für die Umkehrsuche aus."),
                        KText(5006, "Hinweis"), 2, true, false);
        SuchfeldFokussieren(w);
        return;
    }
    const int zeile = Befehlszeile(liste->count(), liste->currentRow());
    if (zeile < 0) {
        Meldungsfenster(KText(99011, "Bitte wählen Sie zuerst einen der angezeigten Wörterbucheinträge aus."),
                        KText(5006, "Hinweis"), 2, true, false);
        SuchfeldFokussieren(w);
        return;
    }
    liste->setCurrentRow(zeile);

    const TWoerterbuecher& wb = w.Woerterbuecher();
    const QString textM = ZuUnicode(wb.TextM), textF = ZuUnicode(wb.TextF);
    Anzeigeinhalt inhalt;
    inhalt.richtung = w.Suchrichtung();
    inhalt.sprechen = w.WPlaybutton->isEnabled();
    inhalt.wortart = ZuUnicode(Wortartname(liste->Code(zeile)));
    inhalt.kopfLinks = inhalt.richtung == 1 ? textF : textM;
    inhalt.kopfRechts = inhalt.richtung == 1 ? textM : textF;
    inhalt.suchsprache = inhalt.richtung == 1 ? textM : textF;
    inhalt.eintrag = TErgebnisListe::Spalte(liste->Zeile(zeile), 0);
    const Suchergebnis ergebnis = w.Suche().FuelleGegenliste(inhalt.gegenliste, ZuCp1252(inhalt.eintrag), inhalt.richtung);
    if (ergebnis.status != Suchstatus::Ok) {
        Meldungsfenster(ZuUnicode(w.Suche().Meldungstext(ergebnis)), KText(5007, "Problem"), 3, true, false);
        return;
    }
    TWBAnzeigeDialog* dialog = Dialog(w);
    const int wortart = liste->Code(zeile);
    dialog->Sprechen = [&w, wortart](const std::string& text) { Erweiterungen().sprache->SprichText(w, text, wortart); };
    dialog->Zeigen(inhalt);
}

void TDetailanschluss::Kopieren(TWBuchDialog& w) {
    const int zeile = w.ErgebnisListe->currentRow();
    if (zeile < 0 || zeile >= w.ErgebnisListe->count()) return;
    if (const auto text = Trefferkopie(ZuCp1252(w.ErgebnisListe->Zeile(zeile)))) InZwischenablage(*text);
}

void DarstellungEinsetzen() {
    Erweiterungen().filter = std::make_shared<TFilteranschluss>();
    Erweiterungen().details = std::make_shared<TDetailanschluss>();
}

}  // namespace zanit
