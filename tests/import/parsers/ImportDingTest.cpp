#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "import/ImportDing.h"
#include "import/Zeilen.h"

namespace zanit {
namespace {

using zanit_test::Quadrat;

std::vector<ImportEintrag> Zeile(std::string_view line, bool expectOk = true) {
    std::vector<ImportEintrag> out;
    std::size_t bad = 0;
    EXPECT_EQ(LeseDingZeile(line, out, bad), expectOk) << line;
    return out;
}

TEST(DingWortart, GrammarTagsGiveTheCodes) {
    const std::pair<const char*, int> cases[] = {
        {"gehen {vi}", 1},        {"nehmen {vt}", 1},      {"sich freuen {vr}", 1}, {"sein {v}", 1},
        {"Haus {n}", 2},          {"Tisch {m}", 2},        {"Tür {f}", 2},          {"Häuser {pl}", 2},
        {"Abgeordnete {m,f}", 2}, {"schnell {adj}", 3},    {"gern {adv}", 4},       {"er {pron}", 5},
        {"ich {ppron}", 5},       {"wegen {prp}", 6},      {"und {conj}", 7},       {"drei {num}", 8},
        {"der {art}", 9},         {"ach {interj}", 10},    {"das A und O", 11},     {"hausend", 0},
        {"wegen {+Gen.}", 0},     {"Aal (auf der Speisekarte)", 0},
    };
    for (const auto& [text, code] : cases) EXPECT_EQ(DingWortart(text), code) << text;
    // a case tag before the part of speech does not hide it
    EXPECT_EQ(DingWortart("trotz {+Gen.} {prp}"), 6);
}

TEST(DingAnzeigetext, KeepsRoundAndSquareBracketsDropsTagsAndVariants) {
    EXPECT_EQ(DingAnzeigetext("Aalenium {n} (erdgeschichtliche Stufe) [geol.]"),
              "Aalenium (erdgeschichtliche Stufe) [geol.]");
    EXPECT_EQ(DingAnzeigetext("weel [archaic] <weely>"), "weel [archaic]");
    EXPECT_EQ(DingAnzeigetext("  Haus {n}  "), "Haus");
    EXPECT_EQ(DingAnzeigetext("{f}"), "");
}

TEST(LeseDingZeile, PairsEverySynonymOfOneSubEntryWithEveryTranslationOfTheSame) {
    const auto out = Zeile("A {n}; Ais {n} [mus.] | A-Dur {n} :: A; A sharp | A major");
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0].w1, "A");
    EXPECT_EQ(out[0].w2, "A");
    EXPECT_EQ(out[1].w1, "A");
    EXPECT_EQ(out[1].w2, "A sharp");
    EXPECT_EQ(out[2].w1, "Ais [mus.]");
    EXPECT_EQ(out[3].w2, "A sharp");
    EXPECT_EQ(out[4].w1, "A-Dur");
    EXPECT_EQ(out[4].w2, "A major");
    for (const auto& e : out) EXPECT_EQ(e.wa, 2);
}

TEST(LeseDingZeile, EachGermanSynonymKeepsItsOwnPartOfSpeech) {
    const auto out = Zeile("hausen {vi} | hausend | gehaust :: to live; to reside | living | lived");
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].wa, 1);
    EXPECT_EQ(out[2].w1, "hausend");
    EXPECT_EQ(out[2].wa, 0);
}

TEST(LeseDingZeile, ATagCoversTheUntaggedSynonymsBeforeIt) {
    const auto out = Zeile("anlaufen; sich anlassen {vi} (Ding); Anlauf {m}; ins Rollen kommen :: to start off");
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].wa, 1);
    EXPECT_EQ(out[1].w1, "sich anlassen (Ding)");
    EXPECT_EQ(out[1].wa, 1);
    EXPECT_EQ(out[2].wa, 2);
    EXPECT_EQ(out[3].wa, 11);
}

TEST(LeseDingZeile, TextsBecomeWindows1252AndUnmappableCharactersAreCounted) {
    std::vector<ImportEintrag> out;
    std::size_t bad = 0;
    ASSERT_TRUE(LeseDingZeile("Haustür {f} :: front door ə (schwa) – ’s", out, bad));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].w1, "Haust\xFCr");
    EXPECT_EQ(out[0].w2, "front door ? (schwa) \x96 \x92s");
    EXPECT_EQ(bad, 1u);
}

TEST(LeseDingZeile, SeparatorsInsideBracketsDoNotSplit) {
    const auto out = Zeile("Ding {n} (a; b) :: thing (x; y)");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].w1, "Ding (a; b)");
    EXPECT_EQ(out[0].w2, "thing (x; y)");
}

TEST(LeseDingZeile, MalformedLinesAddNothing) {
    std::vector<ImportEintrag> out;
    std::size_t bad = 0;
    for (std::string_view line : {"ohne Trennung", "Haustür {f} | Haustüren {pl} :: front door",
                                  "a :: b :: c", " :: house", "Haus {n} :: ", "{n} :: {m}", ""}) {
        EXPECT_FALSE(LeseDingZeile(line, out, bad)) << line;
    }
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(bad, 0u);
}

// Lines cut and spliced from real ones at random: whatever comes out is a well-formed pair.
TEST(LeseDingZeile, SplicedLinesGiveOnlyWellFormedPairs) {
    const std::string parts[] = {"Haus {n}", " :: ", " | ", "; ", "{", "}", "(", ")", "[", "]", "<", ">",
                                 "house", "\xC3", "\xA4", "ə", " ", "{vt}", "::", "|"};
    std::uint32_t seed = 1;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const int n = 1 + round % 12;
        for (int i = 0; i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            line += parts[(seed >> 16) % std::size(parts)];
        }
        std::vector<ImportEintrag> out;
        std::size_t bad = 0;
        const bool ok = LeseDingZeile(line, out, bad);
        EXPECT_EQ(ok, !out.empty()) << line;
        for (const auto& e : out) {
            EXPECT_FALSE(e.w1.empty()) << line;
            EXPECT_FALSE(e.w2.empty()) << line;
            EXPECT_GE(e.wa, 0);
            EXPECT_LE(e.wa, 11);
            // no complete grammar tag is left; an unclosed "{" stays as it was
            const std::size_t open = e.w1.find('{');
            EXPECT_TRUE(open == std::string::npos || e.w1.find('}', open) == std::string::npos) << line;
        }
    }
}

TEST(LeseDing, ReadsAnExcerptSkippingCommentsAndCountingMalformedLines) {
    std::ifstream in(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt", std::ios::binary);
    ASSERT_TRUE(in);
    std::vector<ImportEintrag> all;
    ImportBericht bericht;
    std::uint64_t lastProgress = 0;
    LeseDing(in, [&](ImportEintrag&& e) { all.push_back(std::move(e)); }, bericht,
             [&](std::uint64_t bytes) { lastProgress = bytes; });
    EXPECT_EQ(bericht.gelesen, 12u);
    EXPECT_EQ(bericht.eintraege, 28u);
    EXPECT_EQ(all.size(), 28u);
    EXPECT_EQ(bericht.fehlerhaft, 2u);
    EXPECT_EQ(bericht.fehlerhafteStellen, (std::vector<std::size_t>{10, 11}));
    EXPECT_EQ(bericht.nichtAbbildbar, 1u);
    EXPECT_GT(lastProgress, 600u);
    // a CR LF line ending does not reach the texts
    EXPECT_EQ(all.back().w2, "house");
    // the Haus line: two readings of the singular, one of the plural
    int haus = 0;
    for (const auto& e : all) haus += e.w1 == "Haus" && e.wa == 2 ? 1 : 0;
    EXPECT_EQ(haus, 3);
}

TEST(LeseDing, ManyMalformedLinesKeepOnlyTheFirstPositions) {
    std::stringstream in;
    for (int i = 0; i < 30; ++i) in << "kaputt\n";
    in << "Haus {n} :: house\n";
    ImportBericht bericht;
    std::size_t n = 0;
    LeseDing(in, [&](ImportEintrag&&) { ++n; }, bericht);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(bericht.fehlerhaft, 30u);
    EXPECT_EQ(bericht.fehlerhafteStellen.size(), ImportBericht::kGemerkteStellen);
}

TEST(LeseDing, LinesBeyondTheLimitsOfOneLineAreReportedAndSkipped) {
    std::stringstream in;
    in << "Haus {n} :: house\n"
       << Quadrat(64) << "\n"                                        // 4096 pairs: the most one line may give
       << Quadrat(65) << "\n"                                        // 4225: refused unexpanded
       << "lang :: " << std::string(kZeileMaxBytes, 'x') << "\n"      // too long to be held
       << "Tür {f} :: door | Türen {pl} :: doors\n"                    // malformed, counted apart
       << "Dach {n} :: roof\n"
       << "Ende :: " << std::string(kZeileMaxBytes + 10, 'y');         // too long, without a line feed
    ImportBericht bericht;
    std::size_t n = 0;
    std::set<std::string> w1;
    LeseDing(in, [&](ImportEintrag&& e) { ++n, w1.insert(e.w1); }, bericht);
    EXPECT_EQ(n, 1u + 4096u + 1u);
    EXPECT_TRUE(w1.contains("Dach"));
    EXPECT_EQ(bericht.zuGross.anzahl, 3u);
    EXPECT_EQ(bericht.zuGross.erste, (std::vector<std::size_t>{3, 4, 7}));
    EXPECT_EQ(bericht.fehlerhafteStellen, (std::vector<std::size_t>{5}));
    EXPECT_EQ(bericht.gelesen, 7u);

    // the text a line makes is bounded too: few pairs of long synonyms
    std::string lang(20000, 'z');
    std::string line = lang;
    for (int i = 0; i < 30; ++i) line += "; " + lang + std::to_string(i);
    line += " :: " + line;  // 31 * 31 pairs of 20 KB texts: 38 MB
    std::vector<ImportEintrag> out;
    std::size_t bad = 0;
    bool zuGross = false;
    EXPECT_FALSE(LeseDingZeile(line, out, bad, &zuGross));
    EXPECT_TRUE(zuGross);
    EXPECT_TRUE(out.empty());
}

TEST(LeseDing, LinesWithControlCharactersAreNotImported) {
    std::stringstream in;
    in << "Haus {n} :: house\n"
       << std::string("Ha\0us {n} :: ho\0use\n", 21)
       << "Tor {n} :: gate\x1b[31m\n"
       << "Tab\t{n} :: tab\r\n"  // tab and a line-ending CR are no reason
       << "Ende {n} :: end\x7f\n";
    ImportBericht bericht;
    std::vector<std::string> w1;
    LeseDing(in, [&](ImportEintrag&& e) { w1.push_back(e.w1); }, bericht);
    EXPECT_EQ(w1, (std::vector<std::string>{"Haus", "Tab"}));
    EXPECT_EQ(bericht.steuerzeichen.anzahl, 3u);
    EXPECT_EQ(bericht.steuerzeichen.erste, (std::vector<std::size_t>{2, 3, 5}));
    EXPECT_EQ(bericht.fehlerhaft, 0u);
}

TEST(ZeilenLeser, LinesAcrossBlockBordersComeWholeAndOverlongOnesAreCounted) {
    // lines of every length around the block size, and one overlong line between them
    std::string text;
    std::vector<std::string> expected;
    for (std::size_t len : {0u, 1u, 100u, 65535u, 65536u, 70000u, 65536u, 3u}) {
        const std::string line(len, static_cast<char>('a' + expected.size()));
        text += line + "\n";
        expected.push_back(len > 65536u ? "<lang>" : line);
    }
    for (int i = 0; i < 40; ++i) {  // about 2.6 MB: several blocks
        text += std::string(65536, 'q') + "\n";
        expected.push_back(std::string(65536, 'q'));
    }
    text += "letzte";
    expected.push_back("letzte");
    std::istringstream in(text);
    ZeilenLeser leser(in, 65536);
    std::vector<std::string> got;
    std::string_view line;
    bool zuLang = false;
    while (leser.Naechste(line, zuLang)) got.push_back(zuLang ? "<lang>" : std::string(line));
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
    EXPECT_EQ(leser.Gelesen(), text.size());
}

}  // namespace
}  // namespace zanit
