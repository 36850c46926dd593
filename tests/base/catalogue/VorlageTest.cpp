// Template expansion and the fall-back to the German default.
#include <gtest/gtest.h>

#include "base/Katalog.h"
#include "xbase/Codepage.h"

namespace zanit {
namespace {

std::string Cp(std::string_view utf8) { return xbase::Utf8ToCp1252(utf8); }

TEST(Vorlage, ClosedCatalogueGivesGermanDefaultInWindows1252) {
    TKatalog katalog;
    EXPECT_FALSE(katalog.Offen());
    EXPECT_EQ(katalog.Text(98050, "Es ist kein Wörterbuch installiert!"),
              "Es ist kein W\xF6rterbuch installiert!");
    EXPECT_EQ(katalog.Buchstabe(), 'D');
    EXPECT_EQ(katalog.Knopfsprache(), 0);
}

TEST(Vorlage, PlaceholderTakesFirstArgumentOrVanishes) {
    TKatalog katalog;
    EXPECT_EQ(katalog.Text(98001, "&#-Wörterbuch", "zanit"), Cp("zanit-Wörterbuch"));
    EXPECT_EQ(katalog.Text(98001, "&#-Wörterbuch"), Cp("-Wörterbuch"));
    // Without arguments every placeholder is removed, as with five empty arguments.
    EXPECT_EQ(KatalogText(30052, "&# Treffer in &# &#"), " Treffer in  ");
}

TEST(Vorlage, TrimsBlanksAndControlCharactersAtBothEndsOnly) {
    EXPECT_EQ(ErweitereVorlage("  \t Hallo  Welt \r\n\x01"), "Hallo  Welt");
    EXPECT_EQ(ErweitereVorlage(" \t\r\n "), "");
    EXPECT_EQ(ErweitereVorlage(""), "");
    // Bytes above 127 (no-break space 0xA0, umlauts) are text, not blanks.
    EXPECT_EQ(ErweitereVorlage("\xA0x\xE4"), "\xA0x\xE4");
    // Trimming runs before the escapes, so "&_" at the edges keeps its blank.
    EXPECT_EQ(ErweitereVorlage(" &_x&_ "), " x ");
}

TEST(Vorlage, EscapesBecomeLineBreakBlankAndQuote) {
    EXPECT_EQ(ErweitereVorlage("Erste&$&$Zweite"), "Erste\r\rZweite");
    EXPECT_EQ(ErweitereVorlage("a&_b&_&_c"), "a b  c");
    EXPECT_EQ(ErweitereVorlage("&\xA7" "zanit&\xA7"), "\"zanit\"");
    // The German default is UTF-8: its "§" must reach the escape as the Windows-1252 byte.
    TKatalog katalog;
    EXPECT_EQ(katalog.Text(1, "Wort &§&#&§", "Haus"), "Wort \"Haus\"");
    // A lone "&" or an "&" before other characters stays.
    EXPECT_EQ(ErweitereVorlage("&Datei & &x &"), "&Datei & &x &");
    EXPECT_EQ(ErweitereVorlage("&&$"), "&\r");
}

TEST(Vorlage, AtMostFivePlaceholdersAreFilledInOrder) {
    EXPECT_EQ(ErweitereVorlage("&# &# &# &# &# &#", "a", "b", "c", "d", "e"), "a b c d e &#");
    EXPECT_EQ(ErweitereVorlage("&#/&#", "1", "2", "3"), "1/2");
    EXPECT_EQ(ErweitereVorlage("[&#][&#][&#]", "", "x"), "[][x][]");
}

TEST(Vorlage, PlaceholderInsideAnArgumentTakesTheNextArgument) {
    EXPECT_EQ(ErweitereVorlage("&#", "A&#B", "C"), "ACB");
    EXPECT_EQ(ErweitereVorlage("&# und &#", "x&#", "y", "z"), "xy und z");
    // Other escapes inside arguments are not expanded: they were handled before the arguments came in.
    EXPECT_EQ(ErweitereVorlage("<&#>", "a&$b&_c&\xA7"), "<a&$b&_c&\xA7>");
    // Blanks inside arguments are kept although the result has been trimmed.
    EXPECT_EQ(ErweitereVorlage("&#", "  x  "), "  x  ");
}

TEST(Vorlage, LanguageTables) {
    EXPECT_EQ(SprachcodeAusBuchstabe('D'), 1);
    EXPECT_EQ(SprachcodeAusBuchstabe('L'), 6);
    EXPECT_EQ(SprachcodeAusBuchstabe('N'), 1);  // Dutch has no dictionary language code
    EXPECT_EQ(SprachcodeAusBuchstabe('\0'), 1);
    EXPECT_EQ(Eigenname(3), Cp("Français"));
    EXPECT_EQ(Eigenname(0), "");
    EXPECT_EQ(Eigenname(7), "");
    ASSERT_EQ(Dialogsprachen().size(), 6u);
    EXPECT_EQ(Dialogsprachen()[5].buchstabe, 'V');
    EXPECT_EQ(Dialogsprachen()[5].knopfsprache, 6);

    TKatalog katalog;
    EXPECT_EQ(katalog.Wortartname(0), "keine Zuordnung");
    EXPECT_EQ(katalog.Wortartname(6), Cp("Präposition"));
    EXPECT_EQ(katalog.Wortartname(11), "Redewendung");
    EXPECT_EQ(katalog.Wortartname(12), "");
    EXPECT_EQ(katalog.Wortartname(-1), "");
    EXPECT_EQ(katalog.Sprachcodename(3), Cp("Französisch"));
    EXPECT_EQ(katalog.Sprachcodename(0), "");
}

}  // namespace
}  // namespace zanit
