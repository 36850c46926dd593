// The demo installation of the build folder itself, on the word lists Debian installs: the lookups a user
// tries first. The first run imports about 900,000 word pairs.
#include <gtest/gtest.h>

#include <string>

#include "tools/import/Prozess.h"

namespace {

using namespace zanit_test;

TEST(DemoAbnahme, HausInTheGermanEnglishDictionary) {
    ASSERT_TRUE(fs::exists("/usr/share/trans/de-en")) << "Debian package trans-de-en is needed";
    const Lauf install = Starte(Q(ZANIT_SOURCE_DIR "/scripts/demo-install") + " " + Q(ZANIT_BINARY_DIR), true);
    ASSERT_EQ(install.code, 0);
    const std::string prefix = "export ZANIT_REGISTRY=";
    ASSERT_EQ(install.ausgabe.rfind(prefix, 0), 0u) << install.ausgabe;
    const std::string env = install.ausgabe.substr(0, install.ausgabe.find('\n'));
    const std::string lookup = env + "; " + Q(ZANIT_BINARY_DIR "/bin/zanit-lookup") + " --dictionary Englisch ";

    const Lauf haus = Starte(lookup + "Haus");
    ASSERT_EQ(haus.code, 0) << haus.ausgabe;
    // one line per word and part of speech, all translations of the noun on it
    EXPECT_NE(haus.ausgabe.find("\nHaus|house, home"), std::string::npos) << haus.ausgabe.substr(0, 2000);
    EXPECT_NE(haus.ausgabe.find("200 Treffer"), std::string::npos) << haus.ausgabe.substr(0, 2000);

    const Lauf house = Starte(lookup + "--direction 2 house");
    ASSERT_EQ(house.code, 0) << house.ausgabe;
    EXPECT_EQ(house.ausgabe.rfind("house|", 0), 0u) << house.ausgabe.substr(0, 2000);
    const std::string first = house.ausgabe.substr(0, house.ausgabe.find('\n'));
    EXPECT_NE(first.find("Haus"), std::string::npos) << first;
    EXPECT_NE(first.find("|Substantiv"), std::string::npos) << first;

    for (const char* section : {"Franzoesisch", "Italienisch", "Spanisch", "Latein"}) {
        const Lauf any = Starte(env + "; " + Q(ZANIT_BINARY_DIR "/bin/zanit-lookup") + " --dictionary " + section +
                                " Haus");
        EXPECT_NE(any.code, 2) << section << ": " << any.ausgabe;
    }
}

}  // namespace
