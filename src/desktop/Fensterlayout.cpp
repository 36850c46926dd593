#include "desktop/Fensterlayout.h"

#include <algorithm>

namespace zanit {

Spalten Listenspalten(int listenBreite, int wortartBreite) {
    return {(listenBreite - wortartBreite) / 2, wortartBreite + 5};
}

KlassischesLayout MachResize(const KlassischeEingabe& e) {
    KlassischesLayout l;
    const int cw = e.clientBreite, ch = e.clientHoehe;
    l.Edge = {20, 60, cw - 40, 68};
    l.Rahmen = {20, 145, cw - 40, ch - 180};
    l.menupanel = {0, 20, e.aussenBreite, 20};
    l.Trefferlabel = {l.Rahmen.x, l.Rahmen.unten() + 7, l.Rahmen.breite / 2, e.trefferHoehe};
    l.FilterLabel = {l.Rahmen.x + l.Rahmen.breite - e.filterLabelBreite, l.Trefferlabel.y};
    l.FilterAnButtonX = l.Edge.rechts() - 95;
    l.FilterAusButtonX = l.FilterAnButtonX + 46;
    return l;
}

SprachreiterLayout PlatziereSprachreiter(const SprachreiterEingabe& e) {
    SprachreiterLayout l;
    const int lh = e.labelHoehe;
    l.MutterspracheImage = {e.l9 + 6, 50, e.mutterBild.breite, e.mutterBild.hoehe};
    const Flaeche& m = l.MutterspracheImage;
    l.MutterspracheLabel = {m.x + 44, m.y + 36, m.breite - 44, lh};
    Flaeche erstes = {m.rechts() + 5, m.y + 6, e.fremdBild[0].breite, e.fremdBild[0].hoehe};
    l.FremdspracheTitelLabel = {0, erstes.y + 5, erstes.breite - 8, lh};  // x follows the current tab
    l.MutterspracheTitelLabel = {m.x + 8, l.FremdspracheTitelLabel.y, m.breite - 8, lh};
    for (std::size_t k = 0; k < 5; ++k) {
        const Flaeche bild = k == 0 ? erstes
                                    : Flaeche{l.FremdspracheImage[k - 1].rechts() + 1, erstes.y, e.fremdBild[k].breite,
                                              e.fremdBild[k].hoehe};
        l.FremdspracheImage[k] = bild;
        l.FremdspracheAktivLabel[k] = {bild.x + 44, l.MutterspracheLabel.y + 2, bild.breite - 44, lh};
        l.FremdspracheTab[k] = {bild.x, bild.y};
    }
    return l;
}

NeuLayout MachResizeNeu(const NeuEingabe& e) {
    NeuLayout l;
    const int cw = std::max(e.clientBreite, kNeuMinBreite), ch = std::max(e.clientHoehe, kNeuMinHoehe);
    const SprachreiterLayout& r = e.reiter;
    const Flaeche& mutter = r.MutterspracheImage;
    Flaeche& s = l.HintergrundShape;
    s.x = mutter.x;
    s.breite = cw - e.l9 - e.w10 - 12;
    s.y = mutter.unten() + 5;
    s.hoehe = ch - s.y - e.h7 - 6;
    l.VerlaufImage = {s.x + 1, s.y + 1, s.breite - 2, 90};
    l.SuchbegriffLabel = {s.x + 9, s.y + 12, e.suchbegriffLabel.breite, e.suchbegriffLabel.hoehe};
    l.SuchEditNeuBorderShape = {s.x + 12, l.SuchbegriffLabel.unten() + 7, e.suchEditNeu.breite + 2,
                                e.suchEditNeu.hoehe + 2};
    l.SuchEditNeu = {l.SuchEditNeuBorderShape.x + 1, l.SuchEditNeuBorderShape.y + 1, e.suchEditNeu.breite,
                     e.suchEditNeu.hoehe};
    const Punkt tab2 = r.FremdspracheTab[1], tab3 = r.FremdspracheTab[2];
    l.SuchenInLabel = {tab2.x + 5, l.SuchbegriffLabel.y, e.suchenInLabel.breite, e.suchenInLabel.hoehe};
    l.Suchsprache1Button = {tab2.x, l.SuchEditNeu.y, 0, 0};
    l.Suchsprache2Button = {tab3.x, l.SuchEditNeu.y, 0, 0};
    l.SuchergebnisLabel = {l.SuchbegriffLabel.x, l.SuchEditNeuBorderShape.unten() + 10, e.suchergebnisLabel.breite,
                           e.suchergebnisLabel.hoehe};
    Flaeche& rahmen = l.Rahmen;
    rahmen = {s.x + 7, l.SuchergebnisLabel.unten() + 2, s.breite - e.umkehrMMBreite - 19, 0};
    rahmen.hoehe = s.unten() - rahmen.y - 75;
    l.Trefferlabel = {l.SuchbegriffLabel.x, rahmen.unten() + 3, rahmen.breite / 2, e.trefferHoehe};
    l.FilterLabel = {rahmen.rechts() - e.filterLabelBreite - 2, l.Trefferlabel.y, e.filterLabelBreite, 0};
    l.VertonungenTitelLabel = {l.SuchbegriffLabel.x, l.Trefferlabel.unten() + 2, e.vertonungenTitelLabel.breite,
                               e.vertonungenTitelLabel.hoehe};
    l.Sound1MMButton = {rahmen.x, l.VertonungenTitelLabel.unten(), e.sound1.breite, e.sound1.hoehe};
    l.Sound2MMButton = {l.Suchsprache1Button.x, l.Sound1MMButton.y, e.sound2.breite, e.sound2.hoehe};
    const Flaeche& s1 = l.Sound1MMButton;
    const Flaeche& s2 = l.Sound2MMButton;
    l.Eintrag1Label = {s1.rechts() + 2, s1.y, s2.x - 2 - (s1.rechts() + 2), s1.hoehe};
    l.Eintrag2Label = {s2.rechts() + 2, s2.y, s.rechts() - 5 - (s2.rechts() + 2), s2.hoehe};
    l.UmkehrsucheMMButton = {rahmen.rechts() + 5, rahmen.y, e.umkehrsuche.breite, e.umkehrsuche.hoehe};
    l.FilterMMButton = {l.UmkehrsucheMMButton.x, l.UmkehrsucheMMButton.unten() + 2, e.filterMM.breite,
                        e.filterMM.hoehe};
    l.UebernahmeMMButton = {l.UmkehrsucheMMButton.x, l.FilterMMButton.unten() + 2, e.uebernahme.breite,
                            e.uebernahme.hoehe};
    l.menupanel = {0, 20, e.aussenBreite, 20};
    return l;
}

}  // namespace zanit
