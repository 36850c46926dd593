// Voicing: equal spoken texts share one number, every record of a voiced text carries it, the recordings in
// the sound table decode to what was synthesized; the limit keeps the most frequent single words. And the
// sample dictionary the build voiced speaks "Haus" on both sides.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "search/Woerterbuchbau.h"
#include "sound/Tonausgabe.h"
#include "sound/Tontabelle.h"
#include "sound/Vertonung.h"
#include "xbase/Table.h"

namespace zanit {
namespace {

// A text is "spoken" as as many samples as it has characters, times 100.
PcmAudio Sprecher(const std::string& text) {
    return PcmAudio{1, 8000, std::vector<std::int16_t>(text.size() * 100, static_cast<std::int16_t>(text[0]) * 64)};
}

std::map<std::string, long long> Nummern(const std::string& pfad, const char* feldW, const char* feldWW) {
    xbase::Table t;
    t.SetFileName(pfad);
    t.SetReadOnly(true);
    t.SetPassword(std::string(kWoerterbuchPasswort));
    t.Open();
    std::map<std::string, long long> n;
    for (t.First(); !t.Eof(); t.Next()) n[t.FieldByName(feldW).AsString()] = t.FieldByName(feldWW).AsInteger();
    return n;
}

TEST(Vertonung, EqualTextsShareANumber) {
    test::Testumgebung u;
    const std::string wb = u.Pfad("WB.DBF");
    SchreibeWoerterbuch(wb, "Deutsch", "Englisch",
                        {{"Haus", "house", 2, 0, 99}, {"Haus", "home", 2}, {"Heim", "home", 2},
                         {"Theater", "house [theatre]", 2}, {"Leere", "()", 2}, {"gehen", "to go", 1}});
    Vertonungsoptionen o;
    o.passwort = std::string(kWoerterbuchPasswort);
    o.start = 10;
    const Vertonungsergebnis e = VertoneWoerterbuch(wb, 2, u.Pfad("TON.DBF"), Sprecher, o);
    EXPECT_EQ(e.texte, 3u);        // house, home, to go
    EXPECT_EQ(e.datensaetze, 5u);  // all but "()"
    const auto n = Nummern(wb, "W2", "WW2");
    // "house" keeps the number it had; the bracketed one is spoken alike and shares it.
    EXPECT_EQ(n.at("house"), 99);
    EXPECT_EQ(n.at("house [theatre]"), 99);
    EXPECT_EQ(n.at("()"), 0);
    // New numbers start above the highest one found.
    EXPECT_GE(n.at("home"), 100);
    EXPECT_GE(n.at("to go"), 100);
    EXPECT_NE(n.at("home"), n.at("to go"));

    // The sound table holds what was spoken, under the numbers given.
    TDatendialog daten;
    OeffneTontabelle(daten.WaveTableFremdsprache, u.Pfad("TON.DBF"));
    ASSERT_TRUE(daten.WaveTableFremdsprache.Seek(std::to_string(n.at("to go"))));
    const PcmAudio a = DekodiereWave(daten.WaveTableFremdsprache.FieldByName("WAVE").AsString());
    EXPECT_EQ(a.Frames(), 500u);
    EXPECT_EQ(a.rate, 8000);
    // Side 1 is left alone.
    EXPECT_EQ(Nummern(wb, "W1", "WW1").at("Haus"), 0);
}

TEST(Vertonung, TheLimitTakesTheMostFrequentSingleWords) {
    test::Testumgebung u;
    const std::string wb = u.Pfad("WB.DBF");
    SchreibeWoerterbuch(wb, "Deutsch", "Englisch",
                        {{"a", "rare", 2}, {"b", "common", 2}, {"c", "common", 2}, {"d", "two words", 2},
                         {"e", "two words", 2}, {"f", "two words", 2}, {"g", "often", 2}, {"h", "often", 2}});
    Vertonungsoptionen o;
    o.passwort = std::string(kWoerterbuchPasswort);
    o.grenze = 2;
    o.nurEinzelwoerter = true;
    EXPECT_EQ(VertoneWoerterbuch(wb, 2, u.Pfad("TON.DBF"), Sprecher, o).texte, 2u);
    const auto n = Nummern(wb, "W2", "WW2");
    EXPECT_GT(n.at("common"), 0);
    EXPECT_GT(n.at("often"), 0);
    EXPECT_EQ(n.at("rare"), 0);
    EXPECT_EQ(n.at("two words"), 0);
}

// The build voices the sample dictionary with the speech synthesizer: "Haus" is spoken on both sides.
TEST(Vertonung, TheSampleDictionaryIsVoicedOnBothSides) {
    const std::string data = ZANIT_BINARY_DIR "/bin/Data/";
    ASSERT_TRUE(std::filesystem::exists(data + "DEUENGLF.DBF")) << "build the target sample_dictionaries";
    TDatendialog daten;
    daten.BuchDatei.SetFileName(data + "DEUENGL.DBF");
    daten.BuchDatei.SetReadOnly(true);
    daten.BuchDatei.SetPassword(std::string(kWoerterbuchPasswort));
    daten.BuchDatei.Open();
    for (int seite : {1, 2}) {
        SCOPED_TRACE(seite);
        xbase::Table& ton = seite == 1 ? daten.WaveTableMuttersprache : daten.WaveTableFremdsprache;
        OeffneTontabelle(ton, data + (seite == 1 ? "DEUENGLM.DBF" : "DEUENGLF.DBF"));
        Tonliste liste{};
        SucheTonnummern(liste, seite == 1 ? "Haus" : "house", daten.BuchDatei, true, 2, kTonSlots, ',', ';', seite,
                        seite == 1 ? "Deutsch" : "Englisch");
        ASSERT_GT(liste[0], 0);
        ASSERT_TRUE(ton.Seek(std::to_string(liste[0])));
        const PcmAudio a = DekodiereWave(ton.FieldByName("WAVE").AsString());
        EXPECT_GT(a.Sekunden(), 0.2);
        EXPECT_LT(a.Sekunden(), 2.0);
        int laut = 0;
        for (std::int16_t s : a.samples) laut += s > 3000 || s < -3000;
        EXPECT_GT(laut, 100) << "the recording is not silent";
    }
}

}  // namespace
}  // namespace zanit
