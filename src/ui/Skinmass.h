#pragma once
// Measures of the skinned windows that need no display: how many tiles cover an edge, where the dialog
// base draws its frame lines and title bar, which spot of its title bar a point hits, and the outline that
// cuts a borderless dialog's lower-right corner.
#include <vector>

namespace zanit {

// a / b rounded to the nearest whole number, halves to the even neighbour (b > 0).
int GeradeGerundet(long long a, long long b);

// Number of tiles drawn along an edge of `laenge` pixels with tiles `kachel` pixels long: n + 1, where n is
// laenge / kachel rounded halves-to-even; the last tile may overhang and is clipped. 0 for an empty tile or
// a negative n.
int KachelAnzahl(int laenge, int kachel);

struct Punkt {
    int x = 0, y = 0;
    bool operator==(const Punkt&) const = default;
};

struct Flaeche {
    int x = 0, y = 0, breite = 0, hoehe = 0;
    int rechts() const { return x + breite; }
    int unten() const { return y + hoehe; }
    bool enthaelt(int px, int py) const { return px >= x && px < x + breite && py >= y && py < y + hoehe; }
    bool operator==(const Flaeche&) const = default;
};

// The window outline of a borderless dialog of the given client size, lower-right corner cut by 21 pixels.
inline constexpr int kDialogEcke = 21;
std::vector<Punkt> DialogUmriss(int breite, int hoehe);

// The painted button box in the lower-right corner of a dialog.
inline constexpr int kButtonboxBreite = 193;
inline constexpr int kButtonboxHoehe = 23;

// The dialog base's frame: one-pixel rectangles in three colours. `vollerRahmen` is the form's Tag 99: the
// frame runs round the whole window and the title rectangle is drawn; otherwise the bottom rows and right
// columns stop short of the button box in the corner.
enum class Rahmenfarbe { Fensterrahmen, Schatten, Licht };
struct Rahmenstrich {
    Flaeche r;
    Rahmenfarbe farbe;
};
std::vector<Rahmenstrich> TOwnRahmen(int breite, int hoehe, bool vollerRahmen);

// Title bar pieces from the title bitmap (width `bildBreite`): each copies `breite` pixels from source x
// `quelleX` to x `zielX`, at y 5. The middle part repeats between the caps; the caps are drawn last.
inline constexpr int kTitelKappe = 130;
inline constexpr int kTitelOben = 5;
struct Titelstueck {
    int zielX = 0, quelleX = 0, breite = 0;
    bool operator==(const Titelstueck&) const = default;
};
std::vector<Titelstueck> TOwnTitelleiste(int fensterBreite, int bildBreite);

// The spots of the title bar (client coordinates).
enum class TOwnStelle { Frei, Hilfe, Schliessen };
Flaeche TOwnHilfeStelle(int breite);
Flaeche TOwnSchliessStelle(int breite);
TOwnStelle TOwnTreffer(int breite, int x, int y);

// Point size of the title caption at a screen resolution (dots per inch).
int TOwnTitelschrift(int dpi);

}  // namespace zanit
