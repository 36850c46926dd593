#include "ui/Skinmass.h"

#include <algorithm>

namespace zanit {

int GeradeGerundet(long long a, long long b) {
    long long q = a / b, r = a % b;
    if (r < 0) {  // floor division
        q -= 1;
        r += b;
    }
    if (2 * r > b || (2 * r == b && (q & 1) != 0)) ++q;
    return static_cast<int>(q);
}

int KachelAnzahl(int laenge, int kachel) {
    if (kachel <= 0) return 0;
    return std::max(0, GeradeGerundet(laenge, kachel) + 1);
}

std::vector<Punkt> DialogUmriss(int breite, int hoehe) {
    return {{0, 0}, {breite, 0}, {breite, hoehe - kDialogEcke}, {breite - kDialogEcke, hoehe}, {0, hoehe}};
}

namespace {

// Line drawing in the way of a move-to/line-to pair: the end point is not drawn.
Flaeche Zeile(int y, int x1, int x2) { return {std::min(x1, x2), y, std::max(0, x2 - x1), 1}; }
Flaeche Spalte(int x, int y1, int y2) { return {x, std::min(y1, y2), 1, std::max(0, y2 - y1)}; }
// A line drawn upward from y2 to y1 (exclusive of y1): rows y1 + 1 .. y2.
Flaeche SpalteAufwaerts(int x, int von, int bis) { return {x, bis + 1, 1, std::max(0, von - bis)}; }

}  // namespace

std::vector<Rahmenstrich> TOwnRahmen(int w, int h, bool voll) {
    std::vector<Rahmenstrich> s;
    const int zeilenEnde = voll ? w : w - kButtonboxBreite;
    const int spaltenEnde = voll ? h : h - kButtonboxHoehe;
    auto add = [&s, w, h](Flaeche r, Rahmenfarbe f) {
        // Clipped to the window: the lines start on the outer edge, where the move-to point lies outside.
        const int x1 = std::max(r.x, 0), y1 = std::max(r.y, 0);
        const int x2 = std::min(r.rechts(), w), y2 = std::min(r.unten(), h);
        if (x2 > x1 && y2 > y1) s.push_back({{x1, y1, x2 - x1, y2 - y1}, f});
    };
    using enum Rahmenfarbe;
    add(Zeile(h - 1, 1, zeilenEnde), Fensterrahmen);
    add(Zeile(h - 2, 1, zeilenEnde), Fensterrahmen);
    add(Spalte(w - 2, 1, spaltenEnde), Fensterrahmen);
    add(Spalte(w - 1, 1, spaltenEnde), Fensterrahmen);
    if (voll) {  // (5, 25) -> (W - 5, 25) -> (W - 5, 4)
        add(Zeile(25, 5, w - 5), Fensterrahmen);
        add(SpalteAufwaerts(w - 5, 25, 4), Fensterrahmen);
    }
    // (0, H) -> (0, 0) -> (W, 0)
    add(SpalteAufwaerts(0, h, 0), Schatten);
    add(Zeile(0, 0, w), Schatten);
    add(Zeile(h - 3, 2, voll ? w - 2 : zeilenEnde), Schatten);
    if (voll) {  // (4, 25) -> (4, 4) -> (W - 4, 4)
        add(SpalteAufwaerts(4, 25, 4), Schatten);
        add(Zeile(4, 4, w - 4), Schatten);
    }
    add(Spalte(w - 3, 2, voll ? h - 2 : spaltenEnde), Schatten);
    // Highlight (2, H - 4) -> (2, 2) -> (W - 3, 2)
    add(SpalteAufwaerts(2, h - 4, 2), Licht);
    add(Zeile(2, 2, w - 3), Licht);
    return s;
}

std::vector<Titelstueck> TOwnTitelleiste(int w, int wb) {
    std::vector<Titelstueck> t;
    // The middle part first, so that the caps stay whole where the pieces meet.
    const int mitte = wb - 2 * kTitelKappe;
    if (mitte > 0) {
        for (int x = kTitelKappe + 5; x < w - kTitelKappe; x += mitte)
            t.push_back({x, kTitelKappe, std::min(mitte, w - kTitelKappe - x)});
    }
    const int kappe = std::min(kTitelKappe, wb);
    if (kappe > 0) {
        t.push_back({5, 0, kappe});
        t.push_back({w - 5 - kappe, wb - kappe, kappe});
    }
    return t;
}

Flaeche TOwnHilfeStelle(int w) { return {w - 33, 8, 10, 17}; }
Flaeche TOwnSchliessStelle(int w) { return {w - 23, 8, 15, 17}; }

TOwnStelle TOwnTreffer(int w, int x, int y) {
    if (TOwnHilfeStelle(w).enthaelt(x, y)) return TOwnStelle::Hilfe;
    if (TOwnSchliessStelle(w).enthaelt(x, y)) return TOwnStelle::Schliessen;
    return TOwnStelle::Frei;
}

int TOwnTitelschrift(int dpi) {
    if (dpi <= 100) return 8;
    return GeradeGerundet(96LL * 8, dpi) + 1;
}

}  // namespace zanit
