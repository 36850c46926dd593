#include <gtest/gtest.h>

#include <sstream>

#include "import/ImportFreeDict.h"

namespace zanit {
namespace {

FreeDictArtikel Artikel(std::string_view text) {
    FreeDictArtikel a;
    EXPECT_TRUE(LeseFreeDictArtikel(text, a)) << text;
    return a;
}

using Texte = std::vector<std::string>;

TEST(DictdZahl, DecodesBase64Digits) {
    EXPECT_EQ(DictdZahl("A"), 0u);
    EXPECT_EQ(DictdZahl("b"), 27u);
    EXPECT_EQ(DictdZahl("BA"), 64u);
    EXPECT_EQ(DictdZahl("+/"), 62u * 64 + 63);
    EXPECT_EQ(DictdZahl("bWIQ"), ((27u * 64 + 22) * 64 + 8) * 64 + 16);
    EXPECT_EQ(DictdZahl(""), std::nullopt);
    EXPECT_EQ(DictdZahl("12-"), std::nullopt);
    EXPECT_EQ(DictdZahl("AAAAAAAAAAA"), std::nullopt);  // would not fit
}

TEST(LeseDictdIndex, SkipsMetaArticlesAndCountsMalformedLines) {
    std::istringstream in(
        "\tbWIQ\tC1\n"
        "00databaseinfo\tc\tRE\n"
        "00-database-short\tm\tc\n"
        "haus\tGx\tz\n"
        "kaputt\tGx\n"
        "falsch\tG-x\tz\n"
        "\n"
        "gehen\tHk\tk\tGehen\r\n");
    ImportBericht bericht;
    const auto index = LeseDictdIndex(in, bericht);
    ASSERT_EQ(index.size(), 3u);
    EXPECT_EQ(index[0].kopfwort, "");  // a headword the index could not spell is still an article
    EXPECT_EQ(index[1].kopfwort, "haus");
    EXPECT_EQ(index[1].offset, 6u * 64 + 49);
    EXPECT_EQ(index[1].laenge, 51u);
    EXPECT_EQ(index[2].laenge, 36u);
    EXPECT_EQ(bericht.fehlerhaft, 2u);
    EXPECT_EQ(bericht.fehlerhafteStellen, (std::vector<std::size_t>{5, 6}));
}

TEST(LeseFreeDictArtikel, NumberedSensesWithExplanationsGiveOnlyTheTranslations) {
    const auto a = Artikel(
        "gehen /ɡeːn/ /ˈɡeːən/ <v>\n"
        "1. aller, marcher 2.\n"
        "sich schreitend, schrittweise fortbewegen\n"
        " 3.\n"
        "mit einem abhängigen Infinitiv\n"
        "2. partir, aller\n"
        "einen Ort verlassen\n"
        "19. Jahrhundert: kein Sinn, sondern Erklärung\n"
        "3. fonctionner\n");
    EXPECT_EQ(a.kopfwort, "gehen");
    EXPECT_EQ(a.wortartangabe, "v");
    EXPECT_EQ(a.uebersetzungen, (Texte{"aller", "marcher", "partir", "fonctionner"}));
}

TEST(LeseFreeDictArtikel, UnnumberedArticleTakesTheFirstLine) {
    const auto a = Artikel(
        "Dachbalken /ˈdaxˌbalkn̩/ <n, masc>\nentrait, poutre (de toit, de grange)\n"
        "1. Balken, die im Bereich einer Dachkonstruktion verwendet werden.\n");
    EXPECT_EQ(a.kopfwort, "Dachbalken");
    EXPECT_EQ(a.wortartangabe, "n, masc");
    EXPECT_EQ(a.uebersetzungen, (Texte{"entrait", "poutre (de toit, de grange)"}));
    EXPECT_TRUE(a.formen.empty());
}

TEST(LeseFreeDictArtikel, HeadwordLineWithFormsAndParenthesesInPronunciation) {
    const auto latin = Artikel(
        "eicio /ɛˈɪkɪɔ/ (eicere /ɛˈɪkɛrɛ/, eieci /ˈɛjjɛkɪ/, eiectum /ɛjjˈɛktʊm/) <sg, v>\n"
        "1. vertreiben, verstoßen\n2. hinauswerfen\n");
    EXPECT_EQ(latin.kopfwort, "eicio");
    EXPECT_EQ(latin.formen, (Texte{"eicere", "eieci", "eiectum"}));
    EXPECT_EQ(latin.wortartangabe, "sg, v");
    EXPECT_EQ(latin.uebersetzungen, (Texte{"vertreiben", "verstoßen", "hinauswerfen"}));

    const auto adj = Artikel("opimus /ˈɔpɪmʊs/ (opima /ˈɔpɪma/ <f>, opimum /ˈɔpɪmʊm/ <n>) <adj, m>\nreich\n");
    EXPECT_EQ(adj.formen, (Texte{"opima", "opimum"}));
    EXPECT_EQ(adj.wortartangabe, "adj, m");

    const auto en = Artikel("Back Office /bˈak (en)ˈɒfɪs(de)/ <n, neut>\nback-office\n");
    EXPECT_EQ(en.kopfwort, "Back Office");
    EXPECT_TRUE(en.formen.empty());
    EXPECT_EQ(en.wortartangabe, "n, neut");
}

TEST(LeseFreeDictArtikel, ArticlesWithoutHeadwordOrTranslationAreRejected) {
    FreeDictArtikel a;
    EXPECT_FALSE(LeseFreeDictArtikel("", a));
    EXPECT_FALSE(LeseFreeDictArtikel("\n\n", a));
    EXPECT_FALSE(LeseFreeDictArtikel("Haus /haʊs/ <n, neut>\n", a));
    EXPECT_FALSE(LeseFreeDictArtikel(" /haʊs/\nmaison\n", a));
    // unbalanced parts of the headword line end it without reading past the text
    EXPECT_TRUE(LeseFreeDictArtikel("Haus /haʊs <n\nmaison\n", a));
    EXPECT_TRUE(LeseFreeDictArtikel("Haus (domus /x\nmaison\n", a));
}

// Articles cut and spliced from real ones at random: an accepted one always has a headword and translations.
TEST(LeseFreeDictArtikel, SplicedArticlesNeverReadPastTheText) {
    const std::string parts[] = {"rosa", " /", "/", " (", "(", ")", " <", "<", ">", "n, sg", "\n", "1. ", "2. ",
                                 ", ", "Rose", " 3.", "(en)", "ˈ"};
    std::uint32_t seed = 7;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int n = 1 + round % 14;
        for (int i = 0; i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += parts[(seed >> 16) % std::size(parts)];
        }
        FreeDictArtikel a;
        if (LeseFreeDictArtikel(text, a)) {
            EXPECT_FALSE(a.kopfwort.empty()) << text;
            EXPECT_FALSE(a.uebersetzungen.empty()) << text;
            for (const auto& t : a.uebersetzungen) EXPECT_FALSE(t.empty()) << text;
        }
    }
}

TEST(FreeDictWortart, NamesOfTheSourcesGiveTheCodes) {
    const std::pair<const char*, int> cases[] = {
        {"n, fem", 2},         {"pn, masc", 2},       {"n, sg, f", 2},          {"sg, v", 1},
        {"v", 1},              {"adj, m", 3},         {"Adverb", 4},            {"pronominalAdverb", 4},
        {"indefinitePronoun", 5}, {"pron, n", 5},     {"prep", 6},              {"preposition", 6},
        {"conj", 7},           {"numeral", 8},        {"article", 9},           {"interjection", 10},
        {"int, pl", 10},       {"suffix, fem", 0},    {"abbreviation", 0},      {"", 0},
    };
    for (const auto& [text, code] : cases) EXPECT_EQ(FreeDictWortart(text), code) << text;
}

TEST(MachFreeDictEintraege, HeadwordCarriesFormsAndSwapPutsTranslationsFirst) {
    const auto a = Artikel("rosa /rˈɔsa/ (rosae /rˈɔsaɪ/ <gen>) <n, sg, f>\nRose, Rosenstock\n");
    std::vector<ImportEintrag> out;
    std::size_t bad = 0;
    MachFreeDictEintraege(a, false, out, bad);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].w1, "rosa/rosae");
    EXPECT_EQ(out[0].w2, "Rose");
    EXPECT_EQ(out[1].w2, "Rosenstock");
    EXPECT_EQ(out[0].wa, 2);

    out.clear();
    MachFreeDictEintraege(Artikel("puella /pʊˈɛlla/ <n, sg, f>\nMädchen\n"), true, out, bad);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].w1, "M\xE4" "dchen");
    EXPECT_EQ(out[0].w2, "puella");
    EXPECT_EQ(bad, 0u);
}

TEST(MachFreeDictEintraege, UntaggedHeadwordOfSeveralWordsIsAnIdiom) {
    std::vector<ImportEintrag> out;
    std::size_t bad = 0;
    MachFreeDictEintraege(Artikel("Vorwürfe machen /fˈoːɾvˌyɾfə mˈaxən/\nriprendere\n"), false, out, bad);
    MachFreeDictEintraege(Artikel("Aal /ˈɑːl/\nanguilla\n"), false, out, bad);
    MachFreeDictEintraege(Artikel("ẞ /ˈɛstsɛt/ <letter, neut>\nẞ\n"), false, out, bad);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].wa, 11);
    EXPECT_EQ(out[1].wa, 0);
    EXPECT_EQ(out[2].w1, "?");
    EXPECT_EQ(bad, 2u);
}

TEST(LeseFreeDict, EachArticleOnceAndBrokenReferencesCounted) {
    const std::string data =
        "rosa /rˈɔsa/ (rosae <gen>) <n, sg, f>\nRose\n"
        "amo /ˈamɔ/ (amare) <sg, v>\n1. mögen\n2. lieben\n";
    const std::uint64_t second = data.find("amo");
    const std::vector<DictdVerweis> index = {
        {"amare", second, data.size() - second},
        {"amo", second, data.size() - second},  // the same article under another headword
        {"rosa", 0, second},
        {"weit", 5, data.size()},  // beyond the data
        {"leer", 0, 0},
    };
    std::vector<ImportEintrag> out;
    ImportBericht bericht;
    LeseFreeDict(index, data, true, [&](ImportEintrag&& e) { out.push_back(std::move(e)); }, bericht);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].w1, "m\xF6gen");
    EXPECT_EQ(out[0].w2, "amo/amare");
    EXPECT_EQ(out[0].wa, 1);
    EXPECT_EQ(out[2].w1, "Rose");
    EXPECT_EQ(bericht.gelesen, 4u);
    EXPECT_EQ(bericht.eintraege, 3u);
    EXPECT_EQ(bericht.fehlerhaft, 2u);
    EXPECT_EQ(bericht.fehlerhafteStellen, (std::vector<std::size_t>{4, 5}));
}

TEST(LeseFreeDict, RepeatedTranslationsKeepTheirFirstPlaceAndOversizedOrControlArticlesAreSkipped) {
    // many translations, every one repeated in a later sense: each once, in the order first met
    std::string viele = "viel <adj>\n1. ";
    std::string zweiter = "2. ";
    for (int i = 0; i < 3000; ++i) {
        viele += (i ? ", t" : "t") + std::to_string(i);
        zweiter += (i ? ", t" : "t") + std::to_string(2999 - i);
    }
    viele += "\n" + zweiter + ", neu\n";
    std::string zuviele = "zuviel <adj>\n";
    for (int i = 0; i < 5000; ++i) zuviele += (i ? ", u" : "u") + std::to_string(i);
    zuviele += "\n";
    const std::string steuer = std::string("Haus <n>\nmai\0son\n", 18);
    const std::string gut = "Dach <n>\ntoit\n";
    const std::string data = viele + zuviele + steuer + gut;
    std::vector<DictdVerweis> index;
    std::uint64_t at = 0;
    for (const std::string* a : std::initializer_list<const std::string*>{&viele, &zuviele, &steuer, &gut}) {
        index.push_back({"x", at, a->size()});
        at += a->size();
    }
    std::vector<ImportEintrag> out;
    ImportBericht bericht;
    LeseFreeDict(index, data, false, [&](ImportEintrag&& e) { out.push_back(std::move(e)); }, bericht);
    ASSERT_EQ(out.size(), 3002u);
    EXPECT_EQ(out[0].w2, "t0");
    EXPECT_EQ(out[2999].w2, "t2999");
    EXPECT_EQ(out[3000].w2, "neu");
    EXPECT_EQ(out[3001].w1, "Dach");
    EXPECT_EQ(bericht.zuGross.erste, (std::vector<std::size_t>{2}));
    EXPECT_EQ(bericht.steuerzeichen.erste, (std::vector<std::size_t>{3}));
    EXPECT_EQ(bericht.fehlerhaft, 0u);
}

// Articles end their lines with LF or CR LF; a carriage return anywhere else would reach the stored words.
TEST(LeseFreeDict, ACarriageReturnInsideALineSetsTheArticleAside) {
    const std::string crlf = "Dach <n>\r\ntoit\r\n";
    const std::string cr = "T\xfcr <n>\rx\nporte\n";
    const std::string data = crlf + cr;
    const std::vector<DictdVerweis> index{{"x", 0, crlf.size()}, {"y", crlf.size(), cr.size()}};
    std::vector<ImportEintrag> out;
    ImportBericht bericht;
    LeseFreeDict(index, data, false, [&](ImportEintrag&& e) { out.push_back(std::move(e)); }, bericht);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].w1, "Dach");
    EXPECT_EQ(out[0].w2, "toit");
    EXPECT_EQ(bericht.steuerzeichen.erste, (std::vector<std::size_t>{2}));
}

TEST(LeseFreeDict, AnIndexThatCoversTheDataManyTimesOverIsNotReadWithoutEnd) {
    // every index line a slightly different window on the same big article
    std::string data = "Wort <n>\n";
    for (int i = 0; i < 5000; ++i) data += "w" + std::to_string(i) + ", ";
    data += "ende\n";
    std::vector<DictdVerweis> index;
    for (std::uint64_t cut = 0; cut < 2000; ++cut) index.push_back({"w", 0, data.size() - cut});
    ImportBericht bericht;
    std::size_t n = 0;
    LeseFreeDict(index, data, false, [&](ImportEintrag&&) { ++n; }, bericht);
    EXPECT_LE(bericht.gelesen - bericht.zuGross.anzahl, 6u);  // four times the data, a window each
    EXPECT_GE(bericht.zuGross.anzahl, 1990u);
}

TEST(LeseDictdIndex, OverlongLinesAreCountedApart) {
    std::istringstream in("a\tA\tB\n" + std::string(100000, 'x') + "\tA\tB\nb\tB\tC\n");
    ImportBericht bericht;
    const auto index = LeseDictdIndex(in, bericht);
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(index[1].kopfwort, "b");
    EXPECT_EQ(bericht.zuGross.erste, (std::vector<std::size_t>{2}));
    EXPECT_EQ(bericht.fehlerhaft, 0u);
}

}  // namespace
}  // namespace zanit
