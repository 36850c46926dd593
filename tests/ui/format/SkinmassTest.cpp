// Measures of the skinned windows: tile counts with their rounding, the dialog base's frame, title bar,
// spots and caption size, the cut dialog outline.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ui/Skinmass.h"

using namespace zanit;

TEST(Skinmass, TileCountIsRoundedLengthPlusOneWithHalvesToEven) {
    EXPECT_EQ(GeradeGerundet(5, 2), 2);   // 2.5
    EXPECT_EQ(GeradeGerundet(7, 2), 4);   // 3.5
    EXPECT_EQ(GeradeGerundet(-5, 2), -2);
    EXPECT_EQ(GeradeGerundet(-7, 2), -4);
    EXPECT_EQ(GeradeGerundet(10, 3), 3);  // 3.33
    EXPECT_EQ(GeradeGerundet(11, 3), 4);  // 3.67

    EXPECT_EQ(KachelAnzahl(100, 40), 3);  // 2.5 -> 2
    EXPECT_EQ(KachelAnzahl(140, 40), 5);  // 3.5 -> 4
    EXPECT_EQ(KachelAnzahl(130, 40), 4);  // 3.25 -> 3
    EXPECT_EQ(KachelAnzahl(5, 10), 1);    // 0.5 -> 0
    EXPECT_EQ(KachelAnzahl(15, 10), 3);   // 1.5 -> 2
    EXPECT_EQ(KachelAnzahl(0, 10), 1);
    EXPECT_EQ(KachelAnzahl(-50, 10), 0);
    EXPECT_EQ(KachelAnzahl(100, 0), 0);   // an empty tile draws nothing instead of dividing by zero
    // n + 1 tiles always reach the end of the edge.
    for (int laenge = 1; laenge < 300; ++laenge)
        for (int kachel : {1, 7, 32, 40})
            EXPECT_GE(KachelAnzahl(laenge, kachel) * kachel, laenge) << laenge << " " << kachel;
}

TEST(Skinmass, DialogOutlineCutsTheLowerRightCorner) {
    const std::vector<Punkt> u = DialogUmriss(378, 215);
    const std::vector<Punkt> erwartet = {{0, 0}, {378, 0}, {378, 194}, {357, 215}, {0, 215}};
    EXPECT_EQ(u, erwartet);
}

namespace {

// The frame as a pixel map: colour by point; a pixel set twice must get the same colour.
std::map<std::pair<int, int>, Rahmenfarbe> Pixel(int w, int h, bool voll) {
    std::map<std::pair<int, int>, Rahmenfarbe> px;
    for (const Rahmenstrich& s : TOwnRahmen(w, h, voll))
        for (int y = s.r.y; y < s.r.unten(); ++y)
            for (int x = s.r.x; x < s.r.rechts(); ++x) px[{x, y}] = s.farbe;
    return px;
}

}  // namespace

TEST(Skinmass, FullFrameRunsRoundTheWindowAndDrawsTheTitleRectangle) {
    const int w = 300, h = 200;
    auto px = Pixel(w, h, true);
    using enum Rahmenfarbe;
    EXPECT_EQ(px.at({0, 100}), Schatten);
    EXPECT_EQ(px.at({150, 0}), Schatten);
    EXPECT_EQ(px.at({w - 1, h - 10}), Fensterrahmen);
    EXPECT_EQ(px.at({w - 2, 1}), Fensterrahmen);
    EXPECT_EQ(px.at({w - 10, h - 1}), Fensterrahmen);
    EXPECT_EQ(px.at({w - 10, h - 3}), Schatten);
    EXPECT_EQ(px.at({w - 3, h - 10}), Schatten);
    EXPECT_EQ(px.at({2, 100}), Licht);
    EXPECT_EQ(px.at({w - 4, 2}), Licht);
    EXPECT_EQ(px.at({w - 3, 2}), Schatten);  // the highlight stops one short of the shadow column
    // Title rectangle: (4, 4)-(W-4, 4) and (4, 25) in shadow, (5, 25)-(W-5, 25) and W-5 in the frame colour.
    EXPECT_EQ(px.at({4, 10}), Schatten);
    EXPECT_EQ(px.at({100, 4}), Schatten);
    EXPECT_EQ(px.at({100, 25}), Fensterrahmen);
    EXPECT_EQ(px.at({w - 5, 10}), Fensterrahmen);
    EXPECT_EQ(px.at({w - 5, 4}), Schatten);  // the frame-coloured column stops short of row 4
    // Nothing outside the window.
    for (const auto& [p, f] : px) {
        EXPECT_GE(p.first, 0);
        EXPECT_LT(p.first, w);
        EXPECT_GE(p.second, 0);
        EXPECT_LT(p.second, h);
    }
}

TEST(Skinmass, OtherFramesLeaveTheButtonBoxCornerFree) {
    const int w = 340, h = 95;
    auto px = Pixel(w, h, false);
    for (const auto& [p, f] : px) {
        const bool imEck = p.first >= w - kButtonboxBreite && p.second >= h - kButtonboxHoehe;
        EXPECT_FALSE(imEck && f != Rahmenfarbe::Licht) << p.first << "," << p.second;
    }
    EXPECT_EQ(px.at({w - kButtonboxBreite - 1, h - 1}), Rahmenfarbe::Fensterrahmen);
    EXPECT_EQ(px.at({w - 1, h - kButtonboxHoehe - 1}), Rahmenfarbe::Fensterrahmen);
    EXPECT_FALSE(px.count({100, 25}));  // no title rectangle
    EXPECT_FALSE(px.count({4, 10}));
}

TEST(Skinmass, TitleBarCoversTheWidthWithWholeCaps) {
    for (int w : {300, 340, 378, 401, 900}) {
        const int wb = 400;
        const std::vector<Titelstueck> t = TOwnTitelleiste(w, wb);
        // Later pieces paint over earlier ones: the source column each target column ends up with.
        std::map<int, int> quelle;
        for (const Titelstueck& s : t)
            for (int i = 0; i < s.breite; ++i) quelle[s.zielX + i] = s.quelleX + i;
        for (int x = 5; x < w - 5; ++x) ASSERT_TRUE(quelle.count(x)) << w << " " << x;
        EXPECT_FALSE(quelle.count(4));
        EXPECT_FALSE(quelle.count(w - 5));
        for (int i = 0; i < 130; ++i) {
            EXPECT_EQ(quelle[5 + i], i);
            EXPECT_EQ(quelle[w - 135 + i], wb - 130 + i);
        }
        // The middle repeats source columns 130 .. Wb - 131.
        for (int x = 135; x < w - 135; ++x) EXPECT_EQ(quelle[x], 130 + (x - 135) % (wb - 260));
    }
    // A bitmap too narrow for a middle part draws only its caps, and no loop runs forever.
    const std::vector<Titelstueck> schmal = TOwnTitelleiste(500, 200);
    ASSERT_EQ(schmal.size(), 2u);
    EXPECT_EQ(schmal[0], (Titelstueck{5, 0, 130}));
    EXPECT_EQ(schmal[1], (Titelstueck{365, 70, 130}));
    EXPECT_TRUE(TOwnTitelleiste(500, 0).empty());
}

TEST(Skinmass, SpotsAndCaptionSize) {
    const int w = 340;
    std::set<int> hilfe, zu;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < 40; ++y) {
            const TOwnStelle s = TOwnTreffer(w, x, y);
            if (s == TOwnStelle::Hilfe) hilfe.insert(x);
            if (s == TOwnStelle::Schliessen) zu.insert(x);
            if (s != TOwnStelle::Frei) {
                EXPECT_TRUE(y >= 8 && y <= 24) << y;
            }
        }
    }
    EXPECT_EQ(*hilfe.begin(), w - 33);
    EXPECT_EQ(*hilfe.rbegin(), w - 24);
    EXPECT_EQ(*zu.begin(), w - 23);
    EXPECT_EQ(*zu.rbegin(), w - 9);
    EXPECT_EQ(TOwnTreffer(w, w - 15, 7), TOwnStelle::Frei);
    EXPECT_EQ(TOwnTreffer(w, w - 15, 25), TOwnStelle::Frei);

    EXPECT_EQ(TOwnTitelschrift(96), 8);
    EXPECT_EQ(TOwnTitelschrift(100), 8);
    EXPECT_EQ(TOwnTitelschrift(120), 7);  // 6.4 -> 6, + 1
    EXPECT_EQ(TOwnTitelschrift(144), 6);
    EXPECT_EQ(TOwnTitelschrift(192), 5);
}
