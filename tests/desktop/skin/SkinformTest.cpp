// Where the main window's skin images go: n + 1 tiles per edge with the halves-to-even rounding, corners at
// their places, and what a point of the window hits.
#include <gtest/gtest.h>

#include <algorithm>

#include "desktop/Skinform.h"

using namespace zanit;

namespace {

Skinmasse Masse() {
    Skinmasse m{};
    m[1] = {40, 20};
    m[2] = {32, 20};
    m[3] = {12, 10}, m[4] = {40, 10}, m[5] = {14, 10};
    m[6] = {12, 9}, m[7] = {40, 9}, m[8] = {14, 9};
    m[9] = {7, 40}, m[10] = {8, 40};
    m[11] = {14, 20}, m[12] = {40, 20}, m[13] = {16, 20};
    return m;
}

std::vector<Kachel> Von(const std::vector<Kachel>& k, int bild) {
    std::vector<Kachel> out;
    std::copy_if(k.begin(), k.end(), std::back_inserter(out), [bild](const Kachel& x) { return x.bild == bild; });
    return out;
}

}  // namespace

TEST(Skinform, FrameTilesFollowTheRoundingRule) {
    const Skinmasse m = Masse();
    // Width 500: 500 / 40 = 12.5 -> 12 (even): 13 tiles on the top and bottom edges.
    // Height 340: 340 / 40 = 8.5 -> 8: 9 tiles on the side edges; 380 / 40 = 9.5 -> 10: 11 tiles.
    const std::vector<Kachel> k = SkinFormKacheln(500, 340, m);
    EXPECT_EQ(Von(k, 4).size(), 13u);
    EXPECT_EQ(Von(k, 7).size(), 13u);
    EXPECT_EQ(Von(k, 9).size(), 9u);
    EXPECT_EQ(Von(SkinFormKacheln(500, 380, m), 10).size(), 11u);
    EXPECT_EQ(Von(SkinFormKacheln(540, 380, m), 7).size(), 15u);  // 13.5 -> 14

    EXPECT_EQ(Von(k, 9)[1], (Kachel{9, 0, 80}));
    EXPECT_EQ(Von(k, 10)[0], (Kachel{10, 492, 40}));
    EXPECT_EQ(Von(k, 7)[2], (Kachel{7, 12 + 80, 331}));
    EXPECT_EQ(Von(k, 4)[0], (Kachel{4, 12, 40}));
    // Corners last in their group, so they cover the edge tiles' ends.
    const std::vector<Kachel> ecken = {{6, 0, 331}, {8, 486, 331}};
    EXPECT_TRUE(std::search(k.begin(), k.end(), ecken.begin(), ecken.end()) != k.end());
    EXPECT_EQ(k[k.size() - 2], (Kachel{3, 0, 40}));
    EXPECT_EQ(k.back(), (Kachel{5, 486, 40}));
}

TEST(Skinform, MenuStripAndCaption) {
    const Skinmasse m = Masse();
    const std::vector<Kachel> k = MenueKacheln(490, m);
    EXPECT_EQ(Von(k, 12).size(), 13u);  // 12.25 -> 12
    EXPECT_EQ(Von(k, 12)[1].x, 14 + 40);
    EXPECT_EQ(k[k.size() - 2], (Kachel{11, 0, 0}));
    EXPECT_EQ(k.back(), (Kachel{13, 474, 0}));
    const std::vector<Kachel> b = BeschriftungKacheln(490, m);
    EXPECT_EQ(b.back(), (Kachel{1, 446, 0}));
    // Without a skin nothing is tiled (and nothing divides by zero).
    EXPECT_TRUE(Von(SkinFormKacheln(500, 300, Skinmasse{}), 9).empty());
}

TEST(Skinform, PointsHitCaptionButtonsAndBorder) {
    const Skinmasse m = Masse();
    const int w = 600, h = 400;
    EXPECT_EQ(SkinFormTreffer(w, h, 100, 10, m).stelle, Fensterstelle::Beschriftung);
    EXPECT_EQ(SkinFormTreffer(w, h, 600 - 44 + 5, 10, m).stelle, Fensterstelle::Minimieren);
    EXPECT_EQ(SkinFormTreffer(w, h, 600 - 44 + 25, 10, m).stelle, Fensterstelle::Schliessen);
    EXPECT_EQ(SkinFormTreffer(w, h, 600 - 2, 10, m).stelle, Fensterstelle::Beschriftung);
    EXPECT_EQ(SkinFormTreffer(w, h, 100, 30, m).stelle, Fensterstelle::Innen);  // the menu strip
    const Treffer links = SkinFormTreffer(w, h, 3, 200, m);
    EXPECT_EQ(links.stelle, Fensterstelle::Rand);
    EXPECT_EQ(links.kanten, 1);
    EXPECT_EQ(SkinFormTreffer(w, h, 599, 399, m).kanten, 4 | 8);
    EXPECT_EQ(SkinFormTreffer(w, h, 300, 395, m).kanten, 8);
    EXPECT_EQ(SkinFormTreffer(w, h, 300, 200, m).stelle, Fensterstelle::Innen);
    EXPECT_EQ(SkinFormTreffer(w, h, 600, 200, m).stelle, Fensterstelle::Innen);  // outside
}

TEST(Skinform, BorderPointerFollowsTheEdgesHit) {
    EXPECT_EQ(RandzeigerFuer(0), Randzeiger::Pfeil);
    EXPECT_EQ(RandzeigerFuer(1), Randzeiger::Waagerecht);
    EXPECT_EQ(RandzeigerFuer(4), Randzeiger::Waagerecht);
    EXPECT_EQ(RandzeigerFuer(8), Randzeiger::Senkrecht);
    EXPECT_EQ(RandzeigerFuer(8 | 4), Randzeiger::Fallend);   // bottom right
    EXPECT_EQ(RandzeigerFuer(8 | 1), Randzeiger::Steigend);  // bottom left
    EXPECT_EQ(RandzeigerFuer(2 | 1), Randzeiger::Fallend);
    EXPECT_EQ(RandzeigerFuer(2 | 4), Randzeiger::Steigend);
}
