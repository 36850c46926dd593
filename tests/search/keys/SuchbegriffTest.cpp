#include "search/Suchbegriff.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "xbase/Codepage.h"

namespace zanit {
namespace {

// Literals are UTF-8 in the source; the functions work on Windows-1252.
std::string W(std::string_view utf8) { return xbase::Utf8ToCp1252(utf8); }
std::string U(std::string_view cp1252) { return xbase::Cp1252ToUtf8(cp1252); }

std::string Key(std::string_view utf8, std::string_view language = "Deutsch") {
    return U(MachSuchbegriff(W(utf8), W(language)));
}

class LatinDictionary : public ::testing::Test {
protected:
    void TearDown() override { SetzeLateinischesWoerterbuch(false); }
};

TEST(MachSuchbegriff, FoldsUmlautsSharpSAndAccents) {
    EXPECT_EQ(Key("der Apfel"), "APFEL");
    EXPECT_EQ(Key("Äpfel"), "AEPFEL");
    EXPECT_EQ(Key("Straße"), "STRASSE");
    EXPECT_EQ(Key("Café"), "CAFE");
    EXPECT_EQ(Key("Ökonomie"), "OEKONOMIE");
    EXPECT_EQ(Key("Übermüdung"), "UEBERMUEDUNG");
    EXPECT_EQ(Key("crème brûlée"), "CREMEBRULEE");
    EXPECT_EQ(Key("Garçon"), "GARCON");
    EXPECT_EQ(Key("manœuvre"), "MANOEUVRE");
    EXPECT_EQ(Key("naïve"), "NAIVE");
    // Letters without a rule pass through; lower-case ones stay lower case.
    EXPECT_EQ(Key("Øl æble 42"), "ØLæBLE42");
}

TEST(MachSuchbegriff, LanguageRulesFollowTheLanguageName) {
    EXPECT_EQ(Key("el niño", "Spanisch"), "NINZZO");
    EXPECT_EQ(Key("el niño", "Englisch"), "NINO");
    EXPECT_EQ(Key("Öl", "Schwedisch"), "ZZZL");
    EXPECT_EQ(Key("Öl", "Deutsch"), "OEL");
    EXPECT_EQ(Key("Äpple", "Schwedisch"), "ZZYPPLE");
    EXPECT_EQ(Key("Åsa", "Schwedisch"), "ZZXSA");
    EXPECT_EQ(Key("Åsa", "Deutsch"), "ASA");
    // The name is compared without regard to a..z case and may hold more than the language.
    EXPECT_EQ(Key("Öl", "schwedisch"), "ZZZL");
    EXPECT_EQ(Key("año", "Lateinamerikanisches Spanisch"), "ANZZO");
    // Spanish wins when both names occur.
    EXPECT_EQ(Key("Öl ñ", "Schwedisch/Spanisch"), "OELNZZ");
    EXPECT_EQ(Key("Öl", ""), "OEL");
}

TEST(MachSuchbegriff, RemovesArticlesBeforeBlanks) {
    EXPECT_EQ(Key("sich erinnern"), "ERINNERN");
    EXPECT_EQ(Key("(sich) erinnern [an]"), "ERINNERN");
    EXPECT_EQ(Key("DER DIE DAS"), "DAS");
    EXPECT_EQ(Key("DIE DER X"), "DERX");
    EXPECT_EQ(Key("to go", "Englisch"), "GO");
    EXPECT_EQ(Key("L'école", "Französisch"), "ECOLE");
    EXPECT_EQ(Key("I love you", "Englisch"), "LOVEYOU");
    EXPECT_EQ(Key("the house", "Englisch"), "HOUSE");
    EXPECT_EQ(Key("an apple", "Englisch"), "APPLE");
    // An article needs its blank: words that merely begin like one keep their letters.
    EXPECT_EQ(Key("Theater"), "THEATER");
    EXPECT_EQ(Key("Derwisch"), "DERWISCH");
    EXPECT_EQ(Key("today", "Englisch"), "TODAY");
    // A doubled blank after the article is tidied first.
    EXPECT_EQ(Key("das   Haus"), "HAUS");
}

TEST(MachSuchbegriff, CutsAtSlashAndDropsPunctuation) {
    EXPECT_EQ(Key("rosa/ae f", "Latein"), "ROSA");
    EXPECT_EQ(Key("Haus / Heim"), "HAUS");
    EXPECT_EQ(Key("Hals-Nasen-Ohren-Arzt"), "HALSNASENOHRENARZT");
    EXPECT_EQ(Key("¡Hola! ¿Qué tal?", "Spanisch"), "HOLAQUETAL");
    EXPECT_EQ(Key("rock ’n’ roll `x´", "Englisch"), "ROCKNROLLX");
    EXPECT_EQ(Key(""), "");
    EXPECT_EQ(Key("  .,;-!?/ '  "), "");
    EXPECT_EQ(Key("(nur Zusatz)"), "");
}

TEST(MachSuchbegriff, LimitsToTwentyCharactersAfterFolding) {
    EXPECT_EQ(Key("abcdefghijklmnopqrstuvwxy"), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(Key("Donaudampfschifffahrtsgesellschaft"), "DONAUDAMPFSCHIFFFAHR");
    // Umlauts count after they became two letters.
    EXPECT_EQ(Key("Müllmüllmüllmüllmüll"), "MUELLMUELLMUELLMUELL");
    // A control character that lands at the end of the cut key is trimmed away.
    EXPECT_EQ(U(MachSuchbegriff("abcdefghijklmnopqrs\tXYZ", "Deutsch")), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(Suchschluessel(W("Donaudampfschifffahrtsgesellschaft"), "Deutsch"), "DONAUDAMPFSCHIFFFAHR");
}

// Keys are compared byte for byte with the stored ones, and the walk may be handed a key instead of a text:
// whatever comes in, a key is short, clean and a fixed point of the folding.
TEST(MachSuchbegriff, KeysAreCleanAndStable) {
    std::mt19937 random(1234);
    const std::string alphabet = W("aeiouxyzAEHLRST ()[]/,.-'!?ÄÖÜäöüßéÉñÑåÅœŒ\t") + std::string("\x01\x7f\x81\xff", 4);
    for (const char* language : {"Deutsch", "Schwedisch", "Spanisch"}) {
        for (int round = 0; round < 3000; ++round) {
            std::string text;
            const int length = static_cast<int>(random() % 40);
            for (int i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
            const std::string key = MachSuchbegriff(text, language);
            ASSERT_LE(key.size(), kSuchbegriffLaenge) << text;
            ASSERT_EQ(key.find_first_of(" ,;.-!?/'"), std::string::npos) << text;
            ASSERT_EQ(key.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << text;
            if (!key.empty()) {
                ASSERT_GT(static_cast<unsigned char>(key.front()), 32) << text;
                ASSERT_GT(static_cast<unsigned char>(key.back()), 32) << text;
            }
            // Parts in round brackets go before those in square ones, so "[)] (x)" is no fixed point.
            if (text.find_first_of("[]") == std::string::npos) {
                ASSERT_EQ(MachSuchbegriff(key, language), key) << text;
            }
        }
    }
}

TEST(FalteBuchstaben, FullAndPartialFolding) {
    EXPECT_EQ(U(FalteBuchstaben(W("Café"), true, "")), "CAFE");
    EXPECT_EQ(U(FalteBuchstaben(W("Café"), false, "")), "CAFé");
    // Partial folding keeps the ambiguous accents, lower-casing the upper-case ones.
    EXPECT_EQ(U(FalteBuchstaben(W("ÀÁÈÉÌÍÒÓÙÚÑŒ"), false, "")), "àáèéìíòóùúñœ");
    EXPECT_EQ(U(FalteBuchstaben(W("àÂêÎôûçÇ"), false, "")), "àAEIOUCC");
    EXPECT_EQ(U(FalteBuchstaben(W("Äöüß"), false, "")), "AEOEUESS");
    // Swedish umlauts fold in both modes, Å only in full folding.
    EXPECT_EQ(U(FalteBuchstaben(W("äÅ"), false, "Schwedisch")), "ZZYÅ");
    EXPECT_EQ(U(FalteBuchstaben(W("äÅ"), true, "Schwedisch")), "ZZYZZX");
    EXPECT_EQ(U(FalteBuchstaben(W("Ñ"), false, "Spanisch")), "ñ");
    // Punctuation is deleted everywhere, not only at the ends; other characters stay.
    EXPECT_EQ(U(FalteBuchstaben(W(" a-b.c,d;e!f¡g?h¿i/j'k`l‘m’n´o "), true, "")), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(U(FalteBuchstaben(W("x+y=z(1)"), true, "")), "X+Y=Z(1)");
}

TEST(EntferneArtikel, ModesAndOrder) {
    EXPECT_EQ(EntferneArtikel("EIN EINE X", 0), "X");
    EXPECT_EQ(EntferneArtikel("EINE EIN X", 0), "EIN X");  // "EIN " had its only turn before "EINE "
    EXPECT_EQ(EntferneArtikel("DER TO GO", 0), "GO");
    EXPECT_EQ(EntferneArtikel("TO THE END", 0), "THE END");
    EXPECT_EQ(EntferneArtikel("SICH S'X", 0), "X");
    EXPECT_EQ(EntferneArtikel("TO GO", 1), "GO");
    EXPECT_EQ(EntferneArtikel("DER HUND", 1), "DER HUND");
    EXPECT_EQ(EntferneArtikel("TO GO", 2), "TO GO");
    EXPECT_EQ(EntferneArtikel("TO GO", 11), "TO GO");
    EXPECT_EQ(EntferneArtikel("der hund", 0), "der hund");  // expects upper case
    EXPECT_EQ(EntferneArtikel("DER", 0), "DER");
    EXPECT_EQ(EntferneArtikel("", 0), "");
}

TEST(MachVergleichsform, KeepsAmbiguousAccentsAndVerbArticleOnly) {
    EXPECT_EQ(U(MachVergleichsform(W("Café"), 2)), "CAFé");
    EXPECT_EQ(U(MachVergleichsform(W("to go"), 1)), "GO");
    EXPECT_EQ(U(MachVergleichsform(W("to go"), 0)), "TOGO");
    EXPECT_EQ(U(MachVergleichsform(W("to go"), 2)), "TOGO");
    EXPECT_EQ(U(MachVergleichsform(W("der Hund"), 2)), "DERHUND");
    EXPECT_EQ(U(MachVergleichsform(W("sich freuen (auf) [über]/x"), 1)), "SICHFREUEN");
    EXPECT_EQ(U(MachVergleichsform(W("Gemütlichkeit des Donaudampfschiffs"), 2)), "GEMUETLICHKEITDESDONAUDAMPFSCHIFFS");
    EXPECT_EQ(MachVergleichsform("", 1), "");
}

TEST(Klammern, RoundAndSquareParts) {
    EXPECT_EQ(EntferneKlammern("Bank (Geldinstitut)"), "Bank");
    EXPECT_EQ(EntferneKlammern("(sich) (etwas) merken"), "merken");
    // Nested: the first "(" through the first ")" goes, the rest of the outer part stays.
    EXPECT_EQ(EntferneKlammern("a (b (c) d) e"), "a  d) e");
    // Unbalanced or reversed brackets stay.
    EXPECT_EQ(EntferneKlammern("a (b"), "a (b");
    EXPECT_EQ(EntferneKlammern("a ) b ( c )"), "a ) b ( c )");
    EXPECT_EQ(EntferneKlammern("((("), "(((");
    EXPECT_EQ(EntferneKlammern("))x(("), "))x((");
    EXPECT_EQ(EntferneKlammern(" [x] "), "[x]");  // square brackets are not its business

    EXPECT_EQ(EntferneEckklammern("Schloss [Gebäude]", false, true), "Schloss");
    EXPECT_EQ(EntferneEckklammern("Schloss  [Gebäude] ,x", false, false), "Schloss [Gebäude],x");
    EXPECT_EQ(EntferneEckklammern("a ] b [ c", false, true), "a ] b [ c");
    EXPECT_EQ(EntferneZusaetze("(sich) erinnern [an] (jdn.)"), "erinnern");
    EXPECT_EQ(EntferneZusaetze("Ende [ ( ] )"), "Ende [");
}

TEST(BereinigeEintrag, TidiesBlanksAndCommas) {
    EXPECT_EQ(BereinigeEintrag("  Haus ,  Heim  , Zuhause ", false), "Haus, Heim, Zuhause");
    EXPECT_EQ(BereinigeEintrag("a   ,,b", true), "a,,b");
    EXPECT_EQ(BereinigeEintrag("\t x \r\n", false), "x");
    EXPECT_EQ(BereinigeEintrag("", false), "");
    EXPECT_EQ(BereinigeEintrag("und/oder", false), "und/oder");  // not a Latin dictionary
}

// The scan that spares tidy entries the copy loop reads eight bytes at a time: a blank pair or a blank
// before a comma is found at every position, also across the eight-byte steps and in the last bytes; the
// in-place form gives the same text into a buffer that held something else.
TEST(BereinigeEintrag, ClosesUpAtEveryPosition) {
    std::string puffer = "vorher";
    for (std::size_t laenge = 2; laenge <= 30; ++laenge) {
        for (std::size_t at = 1; at + 1 < laenge; ++at) {
            for (const char zweites : {' ', ','}) {
                std::string text(laenge, 'x');
                text[at] = ' ';
                text[at + 1] = zweites;
                std::string erwartet = text.substr(0, at) + (zweites == ',' ? "," : " ") + text.substr(at + 2);
                if (erwartet.back() == ' ') erwartet.pop_back();
                SCOPED_TRACE("\"" + text + "\"");
                EXPECT_EQ(BereinigeEintrag(text, false), erwartet);
                BereinigeEintrag(text, false, puffer);
                EXPECT_EQ(puffer, erwartet);
            }
        }
    }
    // Blanks that need nothing closed up stay, however many.
    const std::string woerter = "ein Wort, noch eins, und ein drittes Wort am Ende";
    EXPECT_EQ(BereinigeEintrag(woerter, false), woerter);
    EntferneEckklammern("Schloss  [Gebaeude] ,x", false, true, puffer);
    EXPECT_EQ(puffer, "Schloss,x");
}

TEST_F(LatinDictionary, GenitivesHiddenUnlessShown) {
    SetzeWoerterbuchdatei("/opt/zanit/Data/LatDeu.dbf");
    ASSERT_TRUE(IstLateinischesWoerterbuch());
    EXPECT_EQ(BereinigeEintrag("rosa/ae f (Rose)", false), "rosa (Rose)");
    EXPECT_EQ(BereinigeEintrag("rosa/ae f (Rose)", true), "rosa/ae f (Rose)");
    EXPECT_EQ(BereinigeEintrag("dominus/i m", false), "dominus");
    EXPECT_EQ(BereinigeEintrag("rex/regis m, Herrscher/x", false), "rex, Herrscher");
    EXPECT_EQ(BereinigeEintrag("mare/is n [Meer]", false), "mare [Meer]");
    EXPECT_EQ(BereinigeEintrag("a/,b", false), "a,b");
    EXPECT_EQ(BereinigeEintrag("ende/", false), "ende");
    EXPECT_EQ(BereinigeEintrag("//", false), "");
    // The display tidying of the hit list goes the same way.
    EXPECT_EQ(EntferneEckklammern("mare/is n [Meer]", false, true), "mare");
    // Keys never depend on the setting: the part after "/" is always cut.
    EXPECT_EQ(MachSuchbegriff("dominus/i m", "Latein"), "DOMINUS");
}

// Walks take the tidied text as a view: the text itself where tidying changes nothing, found by a scan of
// sixteen bytes at a time with an overlapping tail (short texts in two overlapping halves). A square-bracket
// part, a genitive and blanks to close up are found at every position of texts shorter and longer than one
// step; clean texts come back without a copy.
TEST_F(LatinDictionary, ViewFormsSeeEveryChangeAndCopyNothingElse) {
    SetzeWoerterbuchdatei("/opt/zanit/Data/LatDeu.dbf");
    std::string puffer;
    for (std::size_t laenge = 1; laenge <= 40; ++laenge) {
        const std::string sauber(laenge, 'x');
        const std::string_view ohne = EntferneEckklammern(sauber, false, true, puffer, AlsSicht{});
        EXPECT_EQ(ohne.data(), sauber.data());
        EXPECT_EQ(BereinigeEintrag(sauber, false, puffer, AlsSicht{}).data(), sauber.data());
        for (std::size_t at = 0; at < laenge; ++at) {
            SCOPED_TRACE("length " + std::to_string(laenge) + ", at " + std::to_string(at));
            std::string klammer = sauber;
            klammer[at] = '[';
            klammer.back() = klammer.size() > at + 1 ? ']' : '[';
            const std::string ohneKlammer = klammer.size() > at + 1 ? sauber.substr(0, at) : klammer;
            EXPECT_EQ(EntferneEckklammern(klammer, true, true, puffer, AlsSicht{}), ohneKlammer);
            EXPECT_EQ(EntferneEckklammern(klammer, true, false, puffer, AlsSicht{}).data(), klammer.data());
            std::string genitiv = sauber;
            genitiv[at] = '/';
            EXPECT_EQ(BereinigeEintrag(genitiv, false, puffer, AlsSicht{}), sauber.substr(0, at));
            EXPECT_EQ(BereinigeEintrag(genitiv, true, puffer, AlsSicht{}).data(), genitiv.data());
            std::string steuer = sauber;
            steuer[at] = '\t';
            const std::string_view getrimmt = BereinigeEintrag(steuer, true, puffer, AlsSicht{});
            if (at == 0 || at + 1 == laenge) EXPECT_EQ(getrimmt.size(), laenge - 1);
            else EXPECT_EQ(getrimmt.data(), steuer.data());  // inside a text a tab stays
            if (at + 1 == laenge) continue;
            // A blank before a blank or a comma, the pair at every position; a single blank stays.
            std::string paar = sauber;
            paar[at] = ' ';
            if (at > 0) {
                EXPECT_EQ(BereinigeEintrag(paar, true, puffer, AlsSicht{}).data(), paar.data());
            }
            paar[at + 1] = ' ';
            const std::string vorn = sauber.substr(0, at), hinten = sauber.substr(at + 2);
            const std::string zusammen = vorn.empty() || hinten.empty() ? vorn + hinten : vorn + " " + hinten;
            EXPECT_EQ(BereinigeEintrag(paar, true, puffer, AlsSicht{}), zusammen);
            paar[at + 1] = ',';
            EXPECT_EQ(EntferneEckklammern(paar, true, true, puffer, AlsSicht{}), vorn + "," + hinten);
        }
    }
    SetzeWoerterbuchdatei("/data/Deutsch-Englisch.dbf");
    const std::string undOder = "und/oder";
    EXPECT_EQ(BereinigeEintrag(undOder, false, puffer, AlsSicht{}).data(), undOder.data());
}

TEST_F(LatinDictionary, RecognisedByTheTableFileName) {
    EXPECT_TRUE(IstLateinischerDateiname("LATDEU.DBF"));
    EXPECT_TRUE(IstLateinischerDateiname("C:\\WB\\DATA\\latein.dbf"));
    EXPECT_TRUE(IstLateinischerDateiname("/media/cd/Data/Lexikon.DBF"));
    EXPECT_FALSE(IstLateinischerDateiname("/lib/latin/DEUENG.DBF"));
    EXPECT_FALSE(IstLateinischerDateiname("D:\\Lat\\ENGL.DBF"));
    EXPECT_FALSE(IstLateinischerDateiname(""));
    EXPECT_FALSE(IstLateinischerDateiname("/data/"));
    SetzeWoerterbuchdatei("/data/Latein.dbf");
    SetzeWoerterbuchdatei("/data/Deutsch-Englisch.dbf");
    EXPECT_FALSE(IstLateinischesWoerterbuch());
    EXPECT_EQ(BereinigeEintrag("rosa/ae", false), "rosa/ae");
}

TEST(Auffuellen, CutsOrPads) {
    EXPECT_EQ(Auffuellen("HAUSARZT", 4), "HAUS");
    EXPECT_EQ(Auffuellen("HAU", 4), "HAU ");
    EXPECT_EQ(Auffuellen("HAUS", 4), "HAUS");
    EXPECT_EQ(Auffuellen("", 3), "   ");
    EXPECT_EQ(Auffuellen("X", 0), "");
}

TEST(EntferneAlle, DeletesUntilNoneIsLeft) {
    EXPECT_EQ(EntferneAlle("a-b-c", "-"), "abc");
    EXPECT_EQ(EntferneAlle("aabb", "ab"), "");  // the deletion joins a new occurrence
    EXPECT_EQ(EntferneAlle("banana", "na"), "ba");
    EXPECT_EQ(EntferneAlle("ababa", "aba"), "ba");
    EXPECT_EQ(EntferneAlle("xyz", ""), "xyz");
    EXPECT_EQ(EntferneAlle("", "x"), "");
}

TEST(EntferneVorsatz, OnlyAtTheStart) {
    EXPECT_EQ(EntferneVorsatz("Hausarzt", "Haus"), "arzt");
    EXPECT_EQ(EntferneVorsatz("Arzthaus", "haus"), "Arzthaus");
    EXPECT_EQ(EntferneVorsatz("Hausarzt", "haus"), "Hausarzt");
    EXPECT_EQ(EntferneVorsatz("Haus", "Hausarzt"), "Haus");
    EXPECT_EQ(EntferneVorsatz("Haus", ""), "Haus");
}

}  // namespace
}  // namespace zanit
