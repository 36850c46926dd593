// Stored shortcuts and the key sequences the lookup hotkeys play into other programs.
#include <gtest/gtest.h>

#include "desktop/Hotkeys.h"
#include "desktop/Tastenfolge.h"

using namespace zanit;

namespace {

std::vector<Tastenereignis> Folge(std::string_view text) {
    std::vector<Tastenereignis> e;
    EXPECT_EQ(ParseTastenfolge(text, e), kEingespielt) << text;
    return e;
}

}  // namespace

TEST(Tastenkuerzel, StoredDefaultsDecodeToTheirKeysAndModifiers) {
    const Tastenkuerzel w = ZerlegeKuerzel(16471);
    EXPECT_EQ(w.taste, 'W');
    EXPECT_TRUE(w.strg);
    EXPECT_FALSE(w.shift || w.alt);
    const Tastenkuerzel eins = ZerlegeKuerzel(16433);
    EXPECT_EQ(eins.taste, '1');
    const Tastenkuerzel alle = ZerlegeKuerzel(0x2000 | 0x4000 | 0x8000 | 0x70);
    EXPECT_TRUE(alle.shift && alle.strg && alle.alt);
    EXPECT_EQ(alle.taste, 0x70);
}

TEST(Tastenfolge, ControlCIsControlDownCDownCUpControlUp) {
    const std::vector<Tastenereignis> erwartet = {
        {kVkControl, true}, {'C', true}, {'C', false}, {kVkControl, false}};
    EXPECT_EQ(Folge("^C"), erwartet);
    EXPECT_EQ(Folge("^c"), erwartet);  // letters name keys, not characters: no Shift for capitals
}

TEST(Tastenfolge, ModifiersApplyToTheNextKeyOnlyAndAreReleasedInReverse) {
    const std::vector<Tastenereignis> erwartet = {
        {kVkShift, true}, {kVkAlt, true}, {0x70 + 4, true}, {0x70 + 4, false}, {kVkAlt, false}, {kVkShift, false},
        {'X', true},      {'X', false},   {0x0D, true},     {0x0D, false}};
    EXPECT_EQ(Folge("+%{F5}x~"), erwartet);
    const std::vector<Tastenereignis> namen = {{0x0D, true}, {0x0D, false}, {0x2E, true}, {0x2E, false},
                                               {0x87, true}, {0x87, false}};
    EXPECT_EQ(Folge("{enter}{Del}{F24}"), namen);
    EXPECT_TRUE(Folge("").empty());
}

TEST(Tastenfolge, InvalidTokensAreRejectedWithoutEvents) {
    for (std::string_view falsch : {"{F25}", "{F0}", "{ENTER", "{}", "{NIX}", "^", "^^C", "ä", "(", "C^", "{F1x}"}) {
        std::vector<Tastenereignis> e = {{1, true}};
        EXPECT_EQ(ParseTastenfolge(falsch, e), kUngueltigeTaste) << falsch;
        EXPECT_TRUE(e.empty()) << falsch;
    }
}

// X11: without a display connection. (Windows has no such state: its hotkeys need no connection.)
#ifndef _WIN32
TEST(Tastenfolge, WithoutADisplayNothingIsClaimedOrPlayed) {
    auto system = ErzeugeHotkeySystem(nullptr);
    std::string fehler;
    EXPECT_FALSE(system->Registrieren(1, 16471, fehler));
    EXPECT_FALSE(fehler.empty());
    EXPECT_EQ(SendeTasten(*system, "^C"), kKeinEinspielen);
    EXPECT_EQ(SendeTasten(*system, "^{NIX}"), kUngueltigeTaste);  // the sequence is checked first
    EXPECT_EQ(system->Hotkey("xcb_generic_event_t", nullptr), -1);
}
#endif
