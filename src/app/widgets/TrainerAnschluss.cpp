#include "app/widgets/TrainerAnschluss.h"

#include <QLineEdit>

#include "app/widgets/WBuchDialog.h"
#include "base/Startzustand.h"
#include "data/Woerterbuecher.h"
#include "search/widgets/ErgebnisListe.h"

namespace zanit {

void TTrainerAnschluss::Uebernehmen(TWBuchDialog& w) {
    TUebernahmeAnfrage a;
    a.fenster = &w;
    a.zeilen = w.ErgebnisListe->count();
    a.markiert = w.ErgebnisListe->currentRow();
    a.zeile = w.ErgebnisListe->Zeile(a.markiert);
    a.daten = w.ErgebnisListe->Code(a.markiert);
    a.richtung = w.Suchrichtung();
    a.textM = w.Woerterbuecher().TextM;
    a.textF = w.Woerterbuecher().TextF;
    a.woerterbuchdatei = w.Woerterbuecher().Offen ? w.Woerterbuecher().Datei : std::string();
    a.mehrsprachig = Startzustand().mehrsprachig;
    a.suchfeld = w.AktivesSuchfeld();
    if (Tonnummern) a.tonnummern = [this, &w](const std::string& text, int wortart) { return Tonnummern(w, text, wortart); };
    uebernahme_.UebernehmenButtonClick(a);
}

}  // namespace zanit
