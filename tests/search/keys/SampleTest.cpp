// The sample dictionaries must exercise the search rules they are shipped for, and the build must turn them
// into tables that hold exactly the source records.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "search/Suchbegriff.h"
#include "search/Woerterbuchbau.h"
#include "xbase/Table.h"
#include "zanit-dict/Quelle.h"

namespace zanit {
namespace {

const std::string kSources = std::string(ZANIT_SOURCE_DIR) + "/resources/dictionaries/";
const std::string kData = std::string(ZANIT_BINARY_DIR) + "/bin/Data/";

std::vector<Woerterbucheintrag> German() { return zanit_dict::LeseQuelldatei(kSources + "deutsch-englisch.tsv"); }
std::vector<Woerterbucheintrag> Latin() { return zanit_dict::LeseQuelldatei(kSources + "latein-deutsch.tsv"); }

std::size_t CountKeysWithPrefix(const std::vector<Woerterbucheintrag>& records, std::string_view prefix) {
    std::size_t n = 0;
    for (const auto& e : records) n += MachSuchbegriff(e.W1, "Deutsch").starts_with(prefix) ? 1 : 0;
    return n;
}

TEST(SampleDictionary, CoversTheSearchRules) {
    const auto records = German();
    // More hits under one short prefix than a full search lists.
    EXPECT_GT(CountKeysWithPrefix(records, "HAUS"), 200u);
    // A misspelling that has to be shortened: HAUZ is missing, HAU is there.
    EXPECT_EQ(CountKeysWithPrefix(records, "HAUZ"), 0u);
    // Keys with AE but none with AEP, so "Äpf" is shortened to AE.
    EXPECT_GT(CountKeysWithPrefix(records, "AE"), 0u);
    EXPECT_EQ(CountKeysWithPrefix(records, "AEP"), 0u);

    std::map<std::string, std::set<int>> codesOfWord;
    std::map<std::pair<std::string, int>, std::vector<std::string>> translations;
    for (const auto& e : records) {
        codesOfWord[e.W1].insert(e.WA);
        translations[{e.W1, e.WA}].push_back(EntferneEckklammern(e.W2, false, true));
    }
    std::size_t twoCodes = 0, repeated = 0, grouped = 0;
    for (const auto& [word, codes] : codesOfWord) twoCodes += codes.size() > 1 ? 1 : 0;
    for (const auto& [group, list] : translations) {
        grouped += list.size() > 1 ? 1 : 0;
        repeated += std::set<std::string>(list.begin(), list.end()).size() < list.size() ? 1 : 0;
    }
    EXPECT_GE(twoCodes, 3u);   // the same word with two parts of speech
    EXPECT_GE(grouped, 50u);   // words with several translations
    EXPECT_GE(repeated, 2u);   // a translation that is listed once only after bracket removal

    // Keys longer than 20 characters are cut.
    bool longKey = false;
    for (const auto& e : records) longKey |= MachSuchbegriff(e.W1, "Deutsch").size() == kSuchbegriffLaenge;
    EXPECT_TRUE(longKey);
}

TEST(SampleDictionary, LatinEntriesCarryGenitives) {
    SetzeLateinischesWoerterbuch(true);
    std::size_t genitives = 0;
    for (const auto& e : Latin()) {
        if (e.W2.find('/') == std::string::npos) continue;
        ++genitives;
        const std::string shown = BereinigeEintrag(e.W2, false);
        EXPECT_EQ(shown.find('/'), std::string::npos) << e.W2;
        EXPECT_EQ(MachSuchbegriff(e.W2, "Latein"), MachSuchbegriff(shown, "Latein")) << e.W2;
    }
    SetzeLateinischesWoerterbuch(false);
    EXPECT_GT(genitives, 40u);
}

void ExpectTableHolds(const std::string& file, const std::vector<Woerterbucheintrag>& records,
                      std::string_view textM, std::string_view textF) {
    xbase::Table t;
    t.SetFileName(kData + file);
    t.SetReadOnly(true);
    t.SetPassword(std::string(kWoerterbuchPasswort));
    ASSERT_NO_THROW(t.Open()) << file;
    ASSERT_EQ(t.RecCount(), records.size());
    // Stored in the order of the blank-padded WI1, records of one key as given.
    std::vector<Woerterbucheintrag> sorted = records;
    auto key = [&](const Woerterbucheintrag& e) {
        std::string k = MachSuchbegriff(e.W1, textM);
        k.resize(kSuchbegriffLaenge, ' ');
        return k;
    };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    t.SetOrder(0);
    t.First();
    for (const auto& e : sorted) {
        ASSERT_FALSE(t.Eof());
        EXPECT_EQ(t.FieldByName("W1").AsString(), e.W1);
        EXPECT_EQ(t.FieldByName("W2").AsString(), e.W2);
        EXPECT_EQ(t.FieldByName("WI1").AsString(), MachSuchbegriff(e.W1, textM));
        EXPECT_EQ(t.FieldByName("WI2").AsString(), MachSuchbegriff(e.W2, textF));
        EXPECT_EQ(t.FieldByName("WA").AsInteger(), e.WA);
        EXPECT_EQ(t.FieldByName("WW1").AsInteger(), e.WW1);
        EXPECT_EQ(t.FieldByName("WW2").AsInteger(), e.WW2);
        t.Next();
    }
}

TEST(SampleDictionary, BuiltTablesHoldTheSources) {
    ExpectTableHolds("DEUENGL.DBF", German(), "Deutsch", "Englisch");
    ExpectTableHolds("LATEIN.DBF", Latin(), "Deutsch", "Latein");
    EXPECT_TRUE(IstLateinischerDateiname(kData + "LATEIN.DBF"));
    EXPECT_FALSE(IstLateinischerDateiname(kData + "DEUENGL.DBF"));
}

}  // namespace
}  // namespace zanit
