// Which line the details commands act on and what they show, copy and speak.
#include <gtest/gtest.h>

#include <string>

#include "presentation/Eintragsdetails.h"

namespace {

using namespace zanit;

TEST(Eintragsdetails, TheOnlyLineNeedsNoMarking) {
    EXPECT_EQ(Befehlszeile(0, -1), -1);
    EXPECT_EQ(Befehlszeile(1, -1), 0);
    EXPECT_EQ(Befehlszeile(3, -1), -1);
    EXPECT_EQ(Befehlszeile(3, 2), 2);
    EXPECT_EQ(Befehlszeile(3, 3), -1);  // a stale marking past the end counts as none
}

TEST(Eintragsdetails, DetailsMessageTakesALinePerStartedFiftyCharacters) {
    EXPECT_EQ(Detailzeilen(""), 1);
    EXPECT_EQ(Detailzeilen(std::string(50, 'a')), 1);
    EXPECT_EQ(Detailzeilen(std::string(51, 'a')), 2);
    EXPECT_EQ(Detailzeilen(std::string(120, 'a')), 3);
    EXPECT_EQ(Rueckuebersetzungen("house|Haus, Gebäude"), "Haus, Gebäude");
    EXPECT_EQ(Rueckuebersetzungen("house|"), "");
    EXPECT_FALSE(Rueckuebersetzungen("house"));
}

TEST(Eintragsdetails, CopiesTakeTheTranslationCutTo255Characters) {
    EXPECT_EQ(Gegenkopie("house|Haus"), "house");
    EXPECT_FALSE(Gegenkopie("house"));
    const std::string lang(300, 'x');
    EXPECT_EQ(Gegenkopie(lang + "|Haus"), std::string(255, 'x'));

    EXPECT_EQ(Trefferkopie("Haus|house, home|Substantiv"), "house, home");
    EXPECT_EQ(Trefferkopie("Haus|" + lang + "|Substantiv"), std::string(255, 'x'));
    EXPECT_EQ(Trefferkopie("Haus||Substantiv"), "");
    EXPECT_FALSE(Trefferkopie("Haus"));
    EXPECT_FALSE(Trefferkopie("Haus|"));
    EXPECT_FALSE(Trefferkopie("Haus|house"));
    // Windows-1252 bytes count as characters: "Größe" and the euro sign stay whole.
    EXPECT_EQ(Trefferkopie("size|Gr\xF6\xDF" "e \x80|Substantiv"), "Gr\xF6\xDF" "e \x80");
}

TEST(Eintragsdetails, SpeechTakesTheForeignSideOfTheLine) {
    EXPECT_EQ(Sprechtext("house|Haus, Heim", 1), "house");
    EXPECT_EQ(Sprechtext("Haus|house, home", 2), "house, home");
    EXPECT_FALSE(Sprechtext("house", 1));
}

TEST(Eintragsdetails, HeaderIsAThirdAndTheRestPlusFive) {
    const Kopfbreiten k = GegenKopfbreiten(590);
    EXPECT_EQ(k.links, 196);
    EXPECT_EQ(k.rechts, 399);
}

}  // namespace
