// Placement of the main window's controls without a display: the rules that decide where things go when the
// window is small, the columns' rounding, the language tabs' chain.
#include <gtest/gtest.h>

#include "desktop/Fensterlayout.h"

using namespace zanit;

TEST(Fensterlayout, ColumnsShareWhatThePartOfSpeechColumnLeavesRoundedDown) {
    EXPECT_EQ(Listenspalten(451, 80).sprache, 185);  // 371 / 2
    EXPECT_EQ(Listenspalten(451, 80).wortart, 85);
    EXPECT_EQ(Listenspalten(450, 80).sprache, 185);
}

TEST(Fensterlayout, ClassicLayoutFollowsTheClientArea) {
    const KlassischesLayout l = MachResize({490, 245, 490, 60, 16});
    EXPECT_EQ(l.Edge, (Flaeche{20, 60, 450, 68}));
    EXPECT_EQ(l.Rahmen, (Flaeche{20, 145, 450, 65}));
    EXPECT_EQ(l.menupanel, (Flaeche{0, 20, 490, 20}));
    EXPECT_EQ(l.Trefferlabel, (Flaeche{20, 217, 225, 16}));
    EXPECT_EQ(l.FilterLabel, (Punkt{410, 217}));
    EXPECT_EQ(l.FilterAnButtonX, 375);
    EXPECT_EQ(l.FilterAusButtonX, 421);
}

TEST(Fensterlayout, TabsChainAndTheMultiLanguageLayoutHoldsItsMinimum) {
    SprachreiterEingabe t;
    t.l9 = 6;
    t.mutterBild = {150, 64};
    t.fremdBild.fill({110, 58});
    const SprachreiterLayout r = PlatziereSprachreiter(t);
    EXPECT_EQ(r.MutterspracheImage, (Flaeche{12, 50, 150, 64}));
    EXPECT_EQ(r.FremdspracheImage[0], (Flaeche{167, 56, 110, 58}));
    EXPECT_EQ(r.FremdspracheImage[4].x, 167 + 4 * 111);
    EXPECT_EQ(r.FremdspracheTab[3], (Punkt{167 + 3 * 111, 56}));
    EXPECT_EQ(r.FremdspracheAktivLabel[2], (Flaeche{167 + 2 * 111 + 44, 88, 66, 18}));
    EXPECT_EQ(r.MutterspracheTitelLabel.y, 61);

    NeuEingabe e;
    e.clientBreite = 500;  // below the minimum: laid out at 731 x 450
    e.clientHoehe = 300;
    e.aussenBreite = 731;
    e.l9 = 6, e.w10 = 6, e.h7 = 8;
    e.reiter = r;
    e.suchbegriffLabel = {70, 16};
    e.suchEditNeu = {250, 22};
    e.suchergebnisLabel = {80, 16};
    e.vertonungenTitelLabel = {200, 16};
    e.sound1 = e.sound2 = {24, 24};
    e.umkehrsuche = e.filterMM = e.uebernahme = {96, 24};
    e.umkehrMMBreite = 96;
    e.filterLabelBreite = 120;
    e.trefferHoehe = 16;
    const NeuLayout l = MachResizeNeu(e);
    EXPECT_EQ(l.HintergrundShape, (Flaeche{12, 119, 731 - 24, 450 - 119 - 8 - 6}));
    EXPECT_EQ(l.SuchEditNeuBorderShape, (Flaeche{24, 119 + 12 + 16 + 7, 252, 24}));
    EXPECT_EQ(l.SuchEditNeu.x, 25);
    EXPECT_EQ(l.Suchsprache2Button.x, 167 + 2 * 111);
    EXPECT_EQ(l.Rahmen.breite, 707 - 96 - 19);
    EXPECT_EQ(l.Rahmen.unten(), l.HintergrundShape.unten() - 75);
    EXPECT_EQ(l.Eintrag2Label.rechts(), l.HintergrundShape.rechts() - 5);
    EXPECT_EQ(l.Eintrag1Label.rechts(), l.Sound2MMButton.x - 2);
    EXPECT_EQ(l.UebernahmeMMButton.y, l.Rahmen.y + 2 * 26);
}
