#pragma once
// Where the main window's skin images go, without a display: the frame round the window below the menu
// strip, the menu strip's tiles and caps, the caption bar above it, and which part of the window a point
// hits (caption, its buttons, the border for resizing).
#include <array>
#include <vector>

namespace zanit {

struct Bildmass {
    int breite = 0, hoehe = 0;
};
// Sizes of the skin images 0..13 ("wbhi.bml"), all zero without a skin.
using Skinmasse = std::array<Bildmass, 14>;

struct Kachel {
    int bild = 0, x = 0, y = 0;
    bool operator==(const Kachel&) const = default;
};

inline constexpr int kRahmenOben = 40;    // the frame starts below the caption and the menu strip
inline constexpr int kMenueOben = 20;
inline constexpr int kMenueHoehe = 20;
inline constexpr int kBeschriftungHoehe = 20;

// The frame of a window of painted size w x h, in drawing order (edges, bottom corners, top edge, top
// corners). Every edge draws n + 1 tiles, n its length over the tile length rounded halves to even.
std::vector<Kachel> SkinFormKacheln(int w, int h, const Skinmasse& m);

// The menu strip of the given width: tile 12 repeated, then caps 11 and 13.
std::vector<Kachel> MenueKacheln(int breite, const Skinmasse& m);

// The caption bar (y 0 to 20): tile 2 across the width, then the buttons (image 1) at the right.
std::vector<Kachel> BeschriftungKacheln(int w, const Skinmasse& m);

enum class Fensterstelle { Innen, Beschriftung, Minimieren, Schliessen, Rand };
// Edges hit by a point on the border: bit 0 left, 1 top, 2 right, 3 bottom.
struct Treffer {
    Fensterstelle stelle = Fensterstelle::Innen;
    int kanten = 0;
};
Treffer SkinFormTreffer(int w, int h, int x, int y, const Skinmasse& m);

// The pointer shape over the border: a double arrow across the edges hit (diagonal in a corner), else the
// ordinary arrow.
enum class Randzeiger { Pfeil, Waagerecht, Senkrecht, Fallend /* top left to bottom right */, Steigend };
Randzeiger RandzeigerFuer(int kanten);

}  // namespace zanit
