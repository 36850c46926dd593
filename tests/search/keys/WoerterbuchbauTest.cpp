#include "search/Woerterbuchbau.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "search/Suchbegriff.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"

namespace zanit {
namespace {

namespace fs = std::filesystem;

std::string W(std::string_view utf8) { return xbase::Utf8ToCp1252(utf8); }

class WoerterbuchbauTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zanit-woerterbuchbau-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "DEUSPAN.DBF").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Open(xbase::Table& t, const std::string& password = std::string(kWoerterbuchPasswort)) {
        t.SetFileName(path_);
        t.SetReadOnly(true);
        t.SetPassword(password);
        t.Open();
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(WoerterbuchbauTest, WritesPairsWithKeysOfEachSidesLanguage) {
    const std::vector<Woerterbucheintrag> records = {
        {W("der Junge"), W("el niño"), 2, 7, 9},
        {W("(sich) erinnern [an]"), W("acordarse [de]"), 1, 0, -1},
        {W("Straße"), W("la calle"), 2, 3, 4},
    };
    EXPECT_EQ(SchreibeWoerterbuch(path_, "Deutsch", "Spanisch", records), 3u);

    xbase::Table t;
    Open(t);
    ASSERT_EQ(t.RecCount(), 3u);
    t.SetOrder(0);
    t.First();  // records are stored in the order of WI1
    EXPECT_EQ(t.FieldByName("WI1").AsString(), "ERINNERN");
    EXPECT_EQ(t.FieldByName("WI2").AsString(), "ACORDARSE");
    EXPECT_EQ(t.FieldByName("WW2").AsInteger(), -1);
    t.Next();
    EXPECT_EQ(t.FieldByName("W1").AsString(), W("der Junge"));
    EXPECT_EQ(t.FieldByName("W2").AsString(), W("el niño"));
    EXPECT_EQ(t.FieldByName("WI1").AsString(), "JUNGE");
    EXPECT_EQ(t.FieldByName("WI2").AsString(), "NINZZO");  // Spanish folding on the foreign side only
    EXPECT_EQ(t.FieldByName("WA").AsInteger(), 2);
    EXPECT_EQ(t.FieldByName("WW1").AsInteger(), 7);
    EXPECT_EQ(t.FieldByName("WW2").AsInteger(), 9);

    // Both tags find records by their key.
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("STRA"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), W("Straße"));
    t.SetOrder(t.TagArea("IWI2"));
    ASSERT_TRUE(t.Seek("CALLE"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), W("Straße"));
    EXPECT_FALSE(t.Seek("JUNGE"));
}

// A walk over IWI1 reads the file front to back: the physical order is the tag's order, records of one
// key in the order they were given (the hit list groups them in that order).
TEST_F(WoerterbuchbauTest, StoresRecordsInKeyOrderKeepingTheOrderOfEqualKeys) {
    const std::vector<Woerterbucheintrag> records = {
        {W("Haustür"), "front door", 2, 0, 0}, {"Bank", "bench", 2, 0, 0},  {"Hau", "blow", 2, 0, 0},
        {W("Äpfel"), "apples", 2, 0, 0},      {"Bank", "bank", 2, 0, 0},   {"Haus", "house", 2, 0, 0},
        {"Zug", "train", 2, 0, 0},             {"Bank", "bank", 11, 0, 0},  {W("Apfel"), "apple", 2, 0, 0},
        {"", "nothing", 0, 0, 0},              {W("Élan"), "verve", 2, 0, 0}, {"Haus", "building", 2, 0, 0},
        {std::string(30, 'x') + "a", "long 1", 0, 0, 0}, {std::string(30, 'x') + "b", "long 2", 0, 0, 0},
        {W("Kammerjägerin"), "exterminator", 2, 0, 0}, {W("Kammerjägera"), "beyond twelve", 0, 0, 0},
    };
    SchreibeWoerterbuch(path_, "Deutsch", "Englisch", records);

    xbase::Table t;
    Open(t);
    ASSERT_EQ(t.RecCount(), records.size());
    t.SetOrder(t.TagArea("IWI1"));
    std::vector<std::string> walked;
    std::uint32_t expected = 1;
    for (t.First(); !t.Eof(); t.Next(), ++expected) {
        EXPECT_EQ(t.RecNo(), expected) << "record " << expected << " is out of key order";
        walked.push_back(t.FieldByName("W1").AsString() + "=" + t.FieldByName("W2").AsString());
    }
    const std::vector<std::string> order = {
        "=nothing", W("Äpfel=apples"), W("Apfel=apple"), "Bank=bench", "Bank=bank", "Bank=bank",
        W("Élan=verve"), "Hau=blow", "Haus=house", "Haus=building", W("Haustür=front door"),
        W("Kammerjägera=beyond twelve"), W("Kammerjägerin=exterminator"), std::string(30, 'x') + "a=long 1", std::string(30, 'x') + "b=long 2", "Zug=train"};
    EXPECT_EQ(walked, order);
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("BANK"));
    t.Next();
    t.Next();
    EXPECT_EQ(t.FieldByName("WA").AsInteger(), 11);  // equal keys stay in the order given
}

TEST_F(WoerterbuchbauTest, ManyRecordsOfOneKeyKeepTheirOrder) {
    std::vector<Woerterbucheintrag> records;
    for (int i = 0; i < 60; ++i) records.push_back({i % 3 ? "Bank" : "Ast", "t" + std::to_string(i), 2, 0, 0});
    SchreibeWoerterbuch(path_, "Deutsch", "Englisch", records);
    xbase::Table t;
    Open(t);
    std::vector<std::string> walked, expected;
    for (int i = 0; i < 60; i += 3) expected.push_back("t" + std::to_string(i));
    for (int i = 0; i < 60; ++i)
        if (i % 3) expected.push_back("t" + std::to_string(i));
    for (t.First(); !t.Eof(); t.Next()) walked.push_back(t.FieldByName("W2").AsString());
    EXPECT_EQ(walked, expected);
}

TEST_F(WoerterbuchbauTest, TableNeedsTheDictionaryPassword) {
    SchreibeWoerterbuch(path_, "Deutsch", "Englisch", {{"Haus", "house", 2, 0, 0}});
    xbase::Table wrong;
    EXPECT_THROW(Open(wrong, "falsch"), xbase::PasswordError);
    xbase::Table right;
    EXPECT_NO_THROW(Open(right));
}

TEST_F(WoerterbuchbauTest, LongTextsAreCutAndKeyedAsStored) {
    WoerterbuchOptionen options;
    options.textLaenge = 12;
    TWoerterbuchbau bau(path_, "Deutsch", "Englisch", options);
    // Cut inside the bracket: the stored text keeps an unbalanced "(" and its key must match that text.
    bau.Hinzufuegen({"Schloss (Gebaeude)", "castle", 2, 0, 0});
    bau.Hinzufuegen({"kurz", "short", 3, 0, 0});
    bau.Abschliessen();
    EXPECT_EQ(bau.Anzahl(), 2u);
    EXPECT_EQ(bau.Gekuerzt(), 1u);

    xbase::Table t;
    Open(t);
    t.SetOrder(t.TagArea("IWI1"));
    ASSERT_TRUE(t.Seek("SCHLOSS"));
    const std::string stored = t.FieldByName("W1").AsString();
    EXPECT_EQ(stored, "Schloss (Geb");
    EXPECT_EQ(t.FieldByName("WI1").AsString(), "SCHLOSS(GEB");
    EXPECT_EQ(t.FieldByName("WI1").AsString(), MachSuchbegriff(stored, "Deutsch"));
}

TEST_F(WoerterbuchbauTest, RejectsBadRecordsWithoutWritingThem) {
    TWoerterbuchbau bau(path_, "Deutsch", "Englisch");
    EXPECT_THROW(bau.Hinzufuegen({"a", "b", 12, 0, 0}), std::invalid_argument);
    EXPECT_THROW(bau.Hinzufuegen({"a", "b", -1, 0, 0}), std::invalid_argument);
    EXPECT_THROW(bau.Hinzufuegen({"a", "b", 1, 1LL << 32, 0}), std::invalid_argument);
    EXPECT_THROW(bau.Hinzufuegen({"a", "b", 1, 0, -(1LL << 31) - 1}), std::invalid_argument);
    bau.Hinzufuegen({"a", "b", 11, 2147483647LL, -2147483648LL});
    bau.Abschliessen();
    EXPECT_EQ(bau.Anzahl(), 1u);
    EXPECT_THROW(bau.Hinzufuegen({"a", "b", 1, 0, 0}), std::logic_error);

    xbase::Table t;
    Open(t);
    ASSERT_EQ(t.RecCount(), 1u);
    t.First();
    EXPECT_EQ(t.FieldByName("WA").AsInteger(), 11);
    EXPECT_EQ(t.FieldByName("WW1").AsInteger(), 2147483647LL);
    EXPECT_EQ(t.FieldByName("WW2").AsInteger(), -2147483648LL);
}

TEST_F(WoerterbuchbauTest, TextWidthIsChecked) {
    WoerterbuchOptionen options;
    options.textLaenge = 255;
    EXPECT_THROW(TWoerterbuchbau(path_, "Deutsch", "Englisch", options), std::invalid_argument);
    options.textLaenge = 0;
    EXPECT_THROW(TWoerterbuchbau(path_, "Deutsch", "Englisch", options), std::invalid_argument);

    EXPECT_EQ(PassendeTextlaenge({}), 1);
    EXPECT_EQ(PassendeTextlaenge({{"abc", "abcdefg", 0, 0, 0}, {"abcd", "x", 0, 0, 0}}), 7);
    EXPECT_EQ(PassendeTextlaenge({{std::string(300, 'x'), "y", 0, 0, 0}}), 254);
}

TEST_F(WoerterbuchbauTest, DestinationChangesOnlyWhenFinished) {
    SchreibeWoerterbuch(path_, "Deutsch", "Englisch", {{"alt", "old", 3, 0, 0}});
    auto files = [this] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> table = {"DEUSPAN.DBF", "DEUSPAN.ZIX"};
    EXPECT_EQ(files(), table);
    {
        TWoerterbuchbau abandoned(path_, "Deutsch", "Englisch");
        abandoned.Hinzufuegen({"neu", "new", 3, 0, 0});
        abandoned.Hinzufuegen({"neuer", "newer", 3, 0, 0});
    }
    EXPECT_EQ(files(), table);  // the working folder went with the builder
    {
        xbase::Table t;
        Open(t);
        ASSERT_EQ(t.RecCount(), 1u);
        t.First();
        EXPECT_EQ(t.FieldByName("W1").AsString(), "alt");
    }

    WoerterbuchOptionen passend;
    passend.passendeBreite = true;
    TWoerterbuchbau bau(path_, "Deutsch", "Englisch", passend);
    bau.Hinzufuegen({"neu", "new", 3, 0, 0});
    bau.Hinzufuegen({"neuer", "newer", 3, 0, 0});
    bau.Abschliessen();
    EXPECT_EQ(files(), table);
    EXPECT_EQ(bau.TextBreite(), 5);  // the longest text
    xbase::Table t;
    Open(t);
    ASSERT_EQ(t.RecCount(), 2u);
    EXPECT_EQ(t.FieldByName("W1").Def().length, 5);
    t.SetOrder(t.TagArea("IWI2"));
    ASSERT_TRUE(t.Seek("NEWER"));
    EXPECT_EQ(t.FieldByName("W1").AsString(), "neuer");
    EXPECT_FALSE(t.Seek("OLD"));
}

TEST_F(WoerterbuchbauTest, UnwritableFolderIsAnError) {
    EXPECT_THROW(SchreibeWoerterbuch((dir_ / "fehlt" / "X.DBF").string(), "Deutsch", "Englisch", {}),
                 xbase::TableError);
}

}  // namespace
}  // namespace zanit
