#pragma once
// The bitmap-list file ("*.bml"): a numbered list of PNG images, each with an optional image at twice the
// size for high-density screens. Reading checks every length and offset before it touches the bytes, so a
// damaged or hostile file ends in a BitmaplistenFehler, never in a read past its end. The layout is described
// in docs/bitmap-list.md.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

class BitmaplistenFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct BmlBild {
    int breite = 0;   // size at scale 1, in pixels
    int hoehe = 0;
    std::string png;    // PNG file image at scale 1
    std::string png2x;  // PNG file image at scale 2, empty when the list has none for this index
};

inline constexpr int kBmlVersion = 1;
inline constexpr int kBmlMaxBilder = 4096;
inline constexpr int kBmlMaxSeite = 8192;

// Parses a whole file image. Throws BitmaplistenFehler with the reason.
std::vector<BmlBild> BitmaplisteLesen(std::string_view bytes);

// The file image of a list (the artwork generator writes it). Throws BitmaplistenFehler for a list that
// the reader would refuse (sizes out of range, missing scale-1 image).
std::string BitmaplisteSchreiben(const std::vector<BmlBild>& bilder);

// Width and height stored in a PNG's header chunk; false when the bytes are no PNG header.
bool PngGroesse(std::string_view png, int& breite, int& hoehe);

}  // namespace zanit
