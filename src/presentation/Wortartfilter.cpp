#include "presentation/Wortartfilter.h"

#include "base/Katalog.h"

namespace zanit {

Filteranzeige FilterAnzeige(int code) {
    Filteranzeige a;
    const bool gesetzt = code >= 1 && code <= kHoechsteWortart;
    a.label = KatalogText(30018, "Wortartfilter:") + " " +
              (gesetzt ? Wortartname(code) : KatalogText(3029, "(keine Auswahl)"));
    if (gesetzt) {
        a.normal = 6, a.heiss = 7, a.gedrueckt = 8;
        a.hinweis = KatalogText(30012, "Wortart-Filter aufheben");
    } else {
        a.hinweis = KatalogText(30011, "Nur Einträge einer bestimmten Wortart anzeigen");
    }
    a.ausAktiv = gesetzt;
    return a;
}

void TFilterzustand::Setzen(Filterfenster& f) {
    const int vorher = code_;
    int gewaehlt = code_;
    if (!f.FilterDialog(gewaehlt)) return;
    code_ = (gewaehlt >= 0 && gewaehlt <= kHoechsteWortart) ? gewaehlt : kKeinFilter;
    StatusZeigen(f);
    if (!f.Suchtext().empty() && code_ != vorher) f.NeuSuchen(true);
    if (f.ListeLeer()) {
        if (code_ != kKeinFilter) f.KeineTrefferMelden();
        f.SuchfeldMarkieren();
    }
}

void TFilterzustand::Aufheben(Filterfenster& f) {
    if (code_ == kKeinFilter) return;
    code_ = kKeinFilter;
    if (!f.Suchtext().empty()) f.NeuSuchen(f.LetzteSucheInkrementell());
    StatusZeigen(f);
}

void TFilterzustand::Umschalten(Filterfenster& f) {
    if (code_ != kKeinFilter) Aufheben(f);
    else Setzen(f);
}

void TFilterzustand::LabelKlick(Filterfenster& f, bool mehrsprachig) {
    if (f.ListeLeer()) return;
    if (mehrsprachig) Umschalten(f);
    else Setzen(f);
}

}  // namespace zanit
