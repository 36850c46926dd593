// The main window's search: the full search on Enter, the incremental search while typing, the keys of the
// search field and the change of search direction.

#include "app/widgets/WBuchDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <utility>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "app/widgets/Erweiterungen.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Unicode.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit {

void TWBuchDialog::TrefferlabelClick() {
    if (!Startzustand().service) return;
    suche_->Klammerentfernung = !suche_->Klammerentfernung;
}

void TWBuchDialog::SetzeKopfzeile(bool withWidths) {
    const TWoerterbuecher& wb = *woerterbuecher_;
    const std::string& quelle = suchrichtung_ == 1 ? wb.TextM : wb.TextF;
    const std::string& ziel = suchrichtung_ == 1 ? wb.TextF : wb.TextM;
    ErgebnisListe->SetzeKopftext(0, ZuUnicode(quelle));
    ErgebnisListe->SetzeKopftext(1, ZuUnicode(ziel));
    if (withWidths) {
        const int rest = (ErgebnisListe->width() - wortartBreite_) / 3;
        ErgebnisListe->SetzeSpaltenbreite(0, rest);
        ErgebnisListe->SetzeSpaltenbreite(1, rest * 2);
        ErgebnisListe->SetzeSpaltenbreite(2, wortartBreite_ + 5);
    }
}

void TWBuchDialog::ZeigeTrefferzahl(int hits, int lines) {
    suche_->Wortartfilter = Erweiterungen().filter->Filter();
    Trefferlabel->setText(ZuUnicode(suche_->ZeigeTrefferzahl(hits, lines)));
}

void TWBuchDialog::ZeigeMarkiertenEintrag() {
    const int row = ErgebnisListe->currentRow();
    if (row < 0 || row >= ErgebnisListe->count()) {
        Eintrag1Label->clear();
        Eintrag2Label->clear();
        return;
    }
    const QString line = ErgebnisListe->Zeile(row);
    Eintrag1Label->setText(TErgebnisListe::Spalte(line, 0));
    Eintrag2Label->setText(TErgebnisListe::Spalte(line, 1));
}

// Runs the walk and shows its lines; the list's screen updates are suspended by the callers.
void TWBuchDialog::FuelleListe(const std::string& text, bool correct, bool incremental) {
    Eintrag1Label->setText(keineAuswahl_);
    Eintrag2Label->setText(keineAuswahl_);
    ErgebnisListe->clear();
    suche_->Wortartfilter = Erweiterungen().filter->Filter();
    suche_->Richtung = suchrichtung_;
    letztesErgebnis_ = suche_->FuelleTrefferliste(treffer_, text, correct, incremental, suchrichtung_);
    ListeAnzeigen();
    if (correct && letztesErgebnis_.korrigiert) {
        QLineEdit* edit = AktivesSuchfeld();
        edit->setText(ZuUnicode(letztesErgebnis_.suchfeld));
        edit->selectAll();
    }
}

void TWBuchDialog::ListeAnzeigen() {
    ErgebnisListe->clear();
    for (std::size_t i = 0; i < treffer_.Anzahl(); ++i)
        ErgebnisListe->ZeileHinzufuegen(ZuUnicode(treffer_.Text(i)), treffer_.Wortart(i));
}

void TWBuchDialog::MachSuche() {
    if (NachDemLauf([this] { MachSuche(); })) return;
    TastenTimer->stop();
    Trefferlabel->setText(keineSuche_);
    QLineEdit* edit = AktivesSuchfeld();
    const QString text = edit->text().trimmed();
    SetzeKopfzeile(false);
    if (!text.isEmpty()) {
        ErgebnisListe->setUpdatesEnabled(false);
        FuelleListe(ZuCp1252(text), true, false);
        suche_->LetzteSucheInkrementell = false;
        ZeigeTrefferzahl(treffer_.Trefferzahl, treffer_.Zeilenzahl);
        ErgebnisListe->setUpdatesEnabled(true);
        if (letztesErgebnis_.status != Suchstatus::Ok) {
            Meldungsfenster(ZuUnicode(suche_->Meldungstext(letztesErgebnis_)), KText(5007, "Problem"), 3, true,
                            false);
        } else if (treffer_.Trefferzahl == 0) {
            Meldungsfenster(KText(30103, "Ihre Eingabe trifft auf keinen Wörterbucheintrag zu."),
                            KText(5006, "Hinweis"), 1, true, false);
        }
        edit->selectAll();
    }
    if (Startzustand().fensterSichtbar) {
        if (ErgebnisListe->count() > 0) {
            ErgebnisListe->setCurrentRow(0);
            ZeigeMarkiertenEintrag();
        }
        edit->setFocus(Qt::OtherFocusReason);
    }
}

void TWBuchDialog::FilterSuche(bool inkrementell) {
    if (NachDemLauf([this, inkrementell] { FilterSuche(inkrementell); })) return;
    ErgebnisListe->setUpdatesEnabled(false);
    inkrementellerLauf_ = inkrementell;
    FuelleListe(ZuCp1252(AktivesSuchfeld()->text().trimmed()), !inkrementell, inkrementell);
    inkrementellerLauf_ = false;
    ErgebnisListe->setUpdatesEnabled(true);
    if (!Trefferlabel->text().isEmpty()) ZeigeTrefferzahl(treffer_.Trefferzahl, treffer_.Zeilenzahl);
    for (const auto& action : std::exchange(nachDemLauf_, {})) action();
}

bool TWBuchDialog::NachDemLauf(std::function<void()> action) {
    if (!inkrementellerLauf_) return false;
    suche_->Abbruch = true;
    nachDemLauf_.push_back(std::move(action));
    return true;
}

void TWBuchDialog::TastenTimerTimer() {
    TastenTimer->stop();
    if (NachDemLauf([this] { TastenTimerTimer(); })) return;
    Trefferlabel->clear();
    QLineEdit* edit = AktivesSuchfeld();
    // The key of the language searched now: after a change of direction, tab or dictionary no walk may have
    // run yet, and the folding rules of Spanish and Swedish differ from the others.
    const std::string key = Suchschluessel(ZuCp1252(edit->text()), suche_->QuellspracheFuer(suchrichtung_));
    if (key.empty() || key == letzterInkrementellerSchluessel_) return;
    letzterInkrementellerSchluessel_ = key;
    ErgebnisListe->setUpdatesEnabled(false);
    SetzeKopfzeile(false);
    inkrementellerLauf_ = true;
    FuelleListe(key, true, true);
    inkrementellerLauf_ = false;
    suche_->LetzteSucheInkrementell = true;
    ErgebnisListe->setUpdatesEnabled(true);
    // What came in during the walk runs now, in order, on the table the walk left alone.
    if (!nachDemLauf_.empty()) {
        const std::vector<std::function<void()>> pending = std::exchange(nachDemLauf_, {});
        for (const auto& action : pending) action();
        return;
    }
    if (isVisible()) edit->setFocus(Qt::OtherFocusReason);
}

// Any key in the search edit; true when the key is swallowed.
bool TWBuchDialog::SuchEditKeyDown(QKeyEvent* e) {
    TastenTimer->stop();
    suche_->Abbruch = true;
    const int count = ErgebnisListe->count();
    const int row = ErgebnisListe->currentRow();
    if (e->key() == Qt::Key_Up) {
        if (count > 0 && row > 0) {
            ErgebnisListe->setCurrentRow(row - 1);
            ZeigeMarkiertenEintrag();
            return true;
        }
    } else if (e->key() == Qt::Key_Down) {
        if (count > 0 && row < count - 1) {
            ErgebnisListe->setCurrentRow(row < 0 ? 0 : row + 1);
            ZeigeMarkiertenEintrag();
            return true;
        }
    }
    return false;
}

void TWBuchDialog::SuchEditKeyPress() {
    if (!werte_.Seek) return;
    TastenTimer->setInterval(std::max(0, werte_.Interval));
    TastenTimer->start();
}

void TWBuchDialog::FormKeyDown(QKeyEvent* e) {
    if (e->key() == Qt::Key_F24) {
        MachSuche();
    } else if (e->key() == Qt::Key_F12) {
        if (Erweiterungen().sprache->Vorhanden()) Erweiterungen().sprache->Sprechen(*this, 2);
    }
}

void TWBuchDialog::ErgebnisListeEnter() {
    if (ErgebnisListe->count() == 0)
        if (QLineEdit* edit = AktivesSuchfeld(); edit && edit->isVisible()) edit->setFocus(Qt::OtherFocusReason);
}

bool TWBuchDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        // The form previews every key of its controls once, at the control that has it first.
        if (widget && widget->window() == this &&
            (widget == QApplication::focusWidget() || !QApplication::focusWidget())) {
            if (widget == SuchEdit || widget == SuchEditNeu) {
                if (SuchEditKeyDown(key)) return true;
            }
            FormKeyDown(key);
            // F12 is consumed, so that a message it shows is not raised again by the next control.
            if (key->key() == Qt::Key_F24 || key->key() == Qt::Key_F12) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TWBuchDialog::SuchRegisterChange(int page) {
    const int wanted = page == 1 ? 2 : 1;
    if (wanted == suchrichtung_) return;
    suchrichtung_ = wanted;
    MachSuche();
}

void TWBuchDialog::SuchrichtungsButtonClick(int tag) {
    if (tag != suchrichtung_) WechsleSuchrichtung();
}

void TWBuchDialog::WechsleSuchrichtung() {
    suchrichtung_ = suchrichtung_ == 1 ? 2 : 1;
    RichtungsknoepfeAnzeigen();
    MachSuche();
}

}  // namespace zanit
