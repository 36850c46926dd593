#include "trainer/widgets/WBUebernahme.h"

#include <QLabel>
#include <QWidget>
#include <ctime>

#include "base/Katalog.h"
#include "base/Log.h"

#include "trainer/Uebertragung.h"
#include "trainer/widgets/WBVerschieben.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

namespace {

QString Hinweis() { return KText(5006, "Hinweis"); }

void KeineSammlung() {
    Meldungsfenster(KText(99026, "Es liegt keine Vokabelsammlung mit der korrekten Mutter- und Fremdsprache vor."),
                    Hinweis(), 2, true, true);
}

}  // namespace

TTrainerUebernahme::TTrainerUebernahme() = default;

TTrainerUebernahme::~TTrainerUebernahme() { delete dialog_.data(); }

TVerschiebenDialog* TTrainerUebernahme::Dialog() const { return dialog_.data(); }

void TTrainerUebernahme::TrainerErkennen() { ort_ = LokalisiereTrainer(); }

void TTrainerUebernahme::WoerterbuchGeoeffnet() {
    moeglich_ = true;
    gebaut_ = false;
}

void TTrainerUebernahme::UebernehmenButtonClick(const TUebernahmeAnfrage& a) {
    // 1.-4. The trainer, the hit list, the marking, the collections.
    if (!ort_.Installiert()) {
        Meldungsfenster(KTextZanit(30110, "Auf diesem Rechner wurde kein korrekt installierter &#-Trainer entdeckt. "
                                          "Bitte installieren Sie die Trainersoftware ggf. neu."),
                        KText(5007, "Problem"), 3, true, false);
        return;
    }
    if (a.zeilen <= 0) {
        Meldungsfenster(KText(30100, "Es werden noch keine Wörterbucheinträge angezeigt, die in eine "
                                     "Vokabelsammlung übernommen werden könnten."),
                        Hinweis(), 2, true, false);
        if (a.suchfeld) a.suchfeld->setFocus();
        return;
    }
    if (a.markiert < 0) {
        Meldungsfenster(KText(99011, "Bitte wählen Sie zuerst einen der angezeigten Wörterbucheinträge aus."),
                        Hinweis(), 2, true, false);
        return;
    }
    if (!moeglich_) {
        KeineSammlung();
        return;
    }
    // 5. The tree, once per open dictionary.
    if (!dialog_) dialog_ = new TVerschiebenDialog(a.fenster);
    TVerschiebenDialog& d = *dialog_;
    if (!gebaut_) {
        if (!d.BaumAufbauen(ort_.sammlungsordner, a.textF, Wurzelbild(Sprachbuchstabe(a.woerterbuchdatei, a.mehrsprachig)))) {
            moeglich_ = false;
            KeineSammlung();
            return;
        }
        gebaut_ = true;
    }
    // 6. The dialog.
    d.setWindowTitle(KText(25002, "Übernehmen von Wörterbucheinträgen"));
    d.ObenLabel->setText(KText(25013, "Wählen Sie zuerst die Vokabelsammlung und dann die Lektion aus, in die der "
                                      "markierte Wörterbucheintrag übernommen werden soll."));
    if (d.exec() != QDialog::Accepted) return;

    // 7., 8. The collection's tables, its format.
    TSammlung& sammlung = d.Sammlung();
    TVokabelziel ziel(sammlung);
    const TUebernahmeStatus offen = ziel.Oeffnen();
    if (offen == TUebernahmeStatus::Belegt) {
        Meldungsfenster(KText(30107, "Auf diese Vokabelsammlung kann momentan nicht zugegriffen werden. Der "
                                     "Wörterbucheintrag wird daher nicht übernommen."),
                        Hinweis(), 3, true, false);
        return;
    }
    if (offen == TUebernahmeStatus::Veraltet) {
        Meldungsfenster(KText(30108, "Das Format dieser Vokabelsammlung ist nicht auf dem neuesten Stand. Der "
                                     "Wörterbucheintrag kann daher nicht übernommen werden."),
                        Hinweis(), 3, true, false);
        return;
    }

    // 9.-11. The entry's texts, its sound numbers, the card.
    const int wortart = a.daten & 0xFF;
    const auto [mutter, fremd] = ZerlegeTrefferzeile(ZuCp1252(a.zeile), a.richtung);
    std::array<std::int32_t, 5> ton{};
    if (a.tonnummern) ton = a.tonnummern(fremd, wortart);
    const TVokabel karte = MachVokabel(mutter, fremd, a.textM, a.textF, wortart, ton);
    const TUebernahmeStatus status = ziel.Speichern(d.Ziellektion(), karte);
    // Why a write failed goes to the error log beside the program; the user sees what it means.
    if (!ziel.Fehlertext().empty())
        LogEintragSchreiben(OrdnerDerAnwendung(), "Vokabelsammlung", ziel.Fehlertext(), std::time(nullptr));
    switch (status) {
        case TUebernahmeStatus::Gespeichert:
            break;
        case TUebernahmeStatus::Veraltet:
            Meldungsfenster(KText(30108, "Das Format dieser Vokabelsammlung ist nicht auf dem neuesten Stand. Der "
                                         "Wörterbucheintrag kann daher nicht übernommen werden."),
                            Hinweis(), 3, true, false);
            break;
        case TUebernahmeStatus::Unvollstaendig:
            Meldungsfenster(KText(30112, "Der Wörterbucheintrag wurde übernommen, die Vokabelsammlung konnte aber "
                                         "nicht vollständig aktualisiert werden. Bitte prüfen Sie die Sammlung im "
                                         "Trainer."),
                            KText(5007, "Problem"), 3, true, false);
            break;
        default:
            Meldungsfenster(KText(30111, "Der Wörterbucheintrag konnte nicht in die Vokabelsammlung geschrieben "
                                         "werden. Die Sammlung ist unverändert."),
                            KText(5007, "Problem"), 3, true, false);
            break;
    }
}

}  // namespace zanit
