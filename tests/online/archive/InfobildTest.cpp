// The news picture's rules without a window: the clickable areas of its list, the archive name on the server
// and when the picture is fetched again.
#include <gtest/gtest.h>

#include <ctime>

#include "online/Infobild.h"

using namespace zanit;

namespace {

std::string Beschreibung(const std::vector<TInfobereich>& bereiche) {
    std::string s;
    for (const TInfobereich& b : bereiche)
        s += std::to_string(b.links) + " " + std::to_string(b.oben) + " " + std::to_string(b.breite) + " " +
             std::to_string(b.hoehe) + " " + b.adresse + "|";
    return s;
}

// Local time `tage` days before now's calendar day, at the given hour.
std::time_t TageVorher(std::time_t jetzt, int tage, int stunde) {
    std::tm tm{};
    localtime_r(&jetzt, &tm);
    tm.tm_mday -= tage;
    tm.tm_hour = stunde;
    tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

}  // namespace

TEST(Infobereiche, TheAddressKeepsItsCommasAndBlanksAroundPartsAreIgnored) {
    EXPECT_EQ(Beschreibung(LeseInfobereiche(" 10 , 20,100 ,\t30 , http://example.org/a,b,c \r\n")),
              "10 20 100 30 http://example.org/a,b,c|");
}

TEST(Infobereiche, ShortLinesAndEmptyAddressesAreSkippedAndNonNumbersCountZero) {
    const char* text =
        "1,2,3,http://drei-kommas/\n"
        "\n"
        "1,2,3,4,   \n"
        "x,-5,+7,99999999999,mailto:a@b\n"
        "1,2,3,4,https://letzte-ohne-zeilenende";
    EXPECT_EQ(Beschreibung(LeseInfobereiche(text)), "0 -5 7 0 mailto:a@b|1 2 3 4 https://letzte-ohne-zeilenende|");
}

TEST(Infobereiche, EightValidLinesGiveSix) {
    std::string text;
    for (int i = 1; i <= 8; ++i) text += std::to_string(i) + ",0,5,5,http://e/" + std::to_string(i) + "\n";
    const auto bereiche = LeseInfobereiche(text);
    ASSERT_EQ(bereiche.size(), 6u);
    EXPECT_EQ(bereiche.back().adresse, "http://e/6");
}

TEST(Infoarchivname, TheLastThreeDigitsWithLeadingZeros) {
    EXPECT_EQ(Infoarchivname("i", 101), "i101.gz");
    EXPECT_EQ(Infoarchivname("i", 7), "i007.gz");
    EXPECT_EQ(Infoarchivname("i", 1234), "i234.gz");
    EXPECT_EQ(Infoarchivname("z", 1000), "z000.gz");
}

TEST(InfobildFaellig, FourteenDaysAfterMidnightOfThePicturesDate) {
    const std::time_t jetzt = std::time(nullptr);
    EXPECT_TRUE(InfobildFaellig(false, jetzt, jetzt));
    // 13 days before today, late in the evening: kept. 14 days before, early in the morning: the time of day
    // adds to the 14 days, fetched again.
    EXPECT_FALSE(InfobildFaellig(true, TageVorher(jetzt, 13, 23), jetzt));
    EXPECT_TRUE(InfobildFaellig(true, TageVorher(jetzt, 14, 1), jetzt));
    // Exactly 14.0 days after midnight is not yet more than 14 days.
    EXPECT_FALSE(InfobildFaellig(true, TageVorher(jetzt, 14, 12), TageVorher(jetzt, 0, 0)));
    EXPECT_TRUE(InfobildFaellig(true, TageVorher(jetzt, 14, 12), TageVorher(jetzt, 0, 0) + 1));
    // A picture dated in the future is not due.
    EXPECT_FALSE(InfobildFaellig(true, jetzt + 86400 * 3, jetzt));
}
