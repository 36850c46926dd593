#include "desktop/Skinform.h"

#include "ui/Skinmass.h"

namespace zanit {
namespace {

void Reihe(std::vector<Kachel>& out, int bild, int start, int laenge, int kachel, int fest, bool waagerecht) {
    const int n = KachelAnzahl(laenge, kachel);
    for (int k = 0; k < n; ++k)
        out.push_back(waagerecht ? Kachel{bild, start + k * kachel, fest} : Kachel{bild, fest, start + k * kachel});
}

}  // namespace

std::vector<Kachel> SkinFormKacheln(int w, int h, const Skinmasse& m) {
    std::vector<Kachel> k;
    Reihe(k, 9, kRahmenOben, h, m[9].hoehe, 0, false);
    Reihe(k, 10, kRahmenOben, h, m[10].hoehe, w - m[10].breite, false);
    Reihe(k, 7, m[6].breite, w, m[7].breite, h - m[7].hoehe, true);
    k.push_back({6, 0, h - m[6].hoehe});
    k.push_back({8, w - m[8].breite, h - m[8].hoehe});
    Reihe(k, 4, m[3].breite, w, m[4].breite, kRahmenOben, true);
    k.push_back({3, 0, kRahmenOben});
    k.push_back({5, w - m[5].breite, kRahmenOben});
    return k;
}

std::vector<Kachel> MenueKacheln(int breite, const Skinmasse& m) {
    std::vector<Kachel> k;
    Reihe(k, 12, m[11].breite, breite, m[12].breite, 0, true);
    k.push_back({11, 0, 0});
    k.push_back({13, breite - m[13].breite, 0});
    return k;
}

std::vector<Kachel> BeschriftungKacheln(int w, const Skinmasse& m) {
    std::vector<Kachel> k;
    Reihe(k, 2, 0, w, m[2].breite, 0, true);
    k.push_back({1, w - m[1].breite - 4, 0});
    return k;
}

Treffer SkinFormTreffer(int w, int h, int x, int y, const Skinmasse& m) {
    if (x < 0 || y < 0 || x >= w || y >= h) return {};
    if (y < kBeschriftungHoehe) {
        const int knoepfe = w - m[1].breite - 4;
        if (x >= knoepfe && x < knoepfe + m[1].breite)
            return {x < knoepfe + m[1].breite / 2 ? Fensterstelle::Minimieren : Fensterstelle::Schliessen, 0};
        return {Fensterstelle::Beschriftung, 0};
    }
    int kanten = 0;
    if (y >= kRahmenOben) {
        if (x < m[9].breite) kanten |= 1;
        if (x >= w - m[10].breite) kanten |= 4;
    }
    if (y >= h - m[7].hoehe) kanten |= 8;
    if (kanten) return {Fensterstelle::Rand, kanten};
    return {};
}

Randzeiger RandzeigerFuer(int kanten) {
    const bool waagerecht = kanten & (1 | 4), senkrecht = kanten & (2 | 8);
    if (waagerecht && senkrecht) {
        const bool links = kanten & 1, oben = kanten & 2;
        return links == oben ? Randzeiger::Fallend : Randzeiger::Steigend;
    }
    if (waagerecht) return Randzeiger::Waagerecht;
    if (senkrecht) return Randzeiger::Senkrecht;
    return Randzeiger::Pfeil;
}

}  // namespace zanit
