// Speaking an entry on real dictionary and sound tables, with an output that records what it is asked to play
// and lets the test deliver its events in any order.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "search/Woerterbuchbau.h"
#include "sound/Tonausgabe.h"
#include "sound/Tontabelle.h"

namespace zanit {
namespace {

// Recording n lasts n * 10 frames, so what plays tells its number.
PcmAudio Ton(int nummer) { return PcmAudio{1, 8000, std::vector<std::int16_t>(static_cast<std::size_t>(nummer) * 10, 100)}; }
int NummerVon(const PcmAudio& a) { return static_cast<int>(a.Frames() / 10); }

class Testausgabe : public Wellenausgabe {
public:
    bool geraet = true;
    bool startFehler = false;
    Wellenempfaenger* empfaenger = nullptr;
    std::vector<int> gestartet;  // numbers of the recordings started, in order
    unsigned letzte = 0;         // event number of the last start
    int gestoppt = 0, geschlossen = 0, zurueckgesetzt = 0;

    bool GeraetVorhanden() const override { return geraet; }
    void SetzeEmpfaenger(Wellenempfaenger* e) override { empfaenger = e; }
    void Starte(const PcmAudio& audio, unsigned aufnahme) override {
        if (startFehler) throw std::runtime_error("device gone");
        gestartet.push_back(NummerVon(audio));
        letzte = aufnahme;
    }
    void Stoppe() override { ++gestoppt; }
    void Schliesse() override { ++geschlossen; }
    void Zuruecksetzen() override { ++zurueckgesetzt; }

    // The end of the current recording as the device reports it: stop, then (after Schliesse) close.
    void Ende() { Ende(letzte); }
    void Ende(unsigned aufnahme) {
        empfaenger->WaveOutStop(aufnahme);
        empfaenger->WaveOutClose(aufnahme);
    }
};

class Testtimer : public Zeitgeber {
public:
    int ms = 0;
    std::function<void()> aktion;
    bool aktiv = false;
    void Starte(int millisekunden, std::function<void()> a) override {
        ms = millisekunden;
        aktion = std::move(a);
        aktiv = true;
    }
    void Stoppe() override { aktiv = false; }
    bool Aktiv() const override { return aktiv; }
    void Feuern() {
        ASSERT_TRUE(aktiv);
        aktiv = false;
        aktion();
    }
};

class Tonausgabe : public ::testing::Test {
protected:
    test::Testumgebung umgebung;
    TDatendialog daten;
    Testausgabe ausgabe;
    Testtimer timer;

    // Writes the dictionary (TextM Deutsch, TextF `textF`) and a foreign sound table holding `vorhanden`.
    void Baue(const std::vector<Woerterbucheintrag>& eintraege, const std::vector<int>& vorhanden,
              const std::string& textF = "Englisch") {
        textF_ = textF;
        const std::string pfad = umgebung.Pfad("WB.DBF");
        SchreibeWoerterbuch(pfad, "Deutsch", textF, eintraege);
        daten.BuchDatei.SetFileName(pfad);
        daten.BuchDatei.SetReadOnly(true);
        daten.BuchDatei.SetPassword(std::string(kWoerterbuchPasswort));
        daten.BuchDatei.Open();
        std::vector<Aufnahme> aufnahmen;
        for (int n : vorhanden) aufnahmen.push_back({n, PcmWaveBild(Ton(n))});
        SchreibeTontabelle(umgebung.Pfad("TON.DBF"), aufnahmen);
        OeffneTontabelle(daten.WaveTableFremdsprache, umgebung.Pfad("TON.DBF"));
        daten.TonFremdsprache = true;
        OeffneTontabelle(daten.WaveTableMuttersprache, umgebung.Pfad("TON.DBF"));
        daten.TonMuttersprache = true;
    }
    // The hit line "left|right|part of speech" as the window has it, searched in direction 1.
    Sprechauftrag Auftrag(const std::string& links, const std::string& rechts, int wortart = 0) const {
        Sprechauftrag a;
        a.zeilen = 1;
        a.markiert = 0;
        a.zeile = links + "|" + rechts + "|Substantiv";
        a.wortart = wortart;
        a.woerterbuchOffen = true;
        a.textM = "Deutsch";
        a.textF = textF_;
        return a;
    }
    std::vector<int> Nummern(TTonausgabe& t) const {
        std::vector<int> v;
        for (std::int32_t n : t.Tonnummern)
            if (n != 0) v.push_back(n);
        return v;
    }
    // Lets every recording end in turn.
    void AllesAbspielen() {
        for (std::size_t n = 0; n < 25; ++n) {
            const std::size_t vorher = ausgabe.gestartet.size();
            ausgabe.Ende();
            if (ausgabe.gestartet.size() == vorher) return;
        }
    }

    std::string textF_;
};

const std::vector<Woerterbucheintrag> kEintraege = {
    {"Haus", "house", 2, 1, 11},      {"Haus", "home", 2, 1, 12},      {"Heim", "home", 2, 2, 12},
    {"Auto", "car", 2, 3, 13},        {"Wagen", "car", 2, 4, 13},      {"Licht", "light", 2, 5, 14},
    {"leicht", "light", 4, 6, 15},    {"hell", "light", 4, 7, 15},     {"Bank", "bank", 2, 8, 16},
    {"Bank", "bench", 2, 8, 17},      {"ohne Ton", "mute", 2, 0, 0},   {"B\xE4r", "bear", 2, 9, 18},
};

TEST_F(Tonausgabe, WordsOfAnEntryGiveTheirNumbersInOrder) {
    Baue(kEintraege, {11, 12, 13, 14, 15, 16, 17, 18});
    TTonausgabe t(daten, ausgabe, timer);
    // Semicolons separate words as commas do.
    t.SucheTonnummern("house, home", 2, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{11, 12}));
    t.SucheTonnummern("house; home", 2, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{11, 12}));
    // A word without a record or without a number adds nothing; a new lookup clears the list.
    t.SucheTonnummern("castle, mute, bench", 2, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{17}));
    // Neighbours with the same number are spoken once.
    t.SucheTonnummern("car, car, home", 2, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{13, 12}));
    // No open dictionary: the list stays empty.
    t.SucheTonnummern("house", 2, 2, false, "Englisch");
    EXPECT_TRUE(Nummern(t).empty());
}

TEST_F(Tonausgabe, ThePartOfSpeechOfTheHitChoosesAmongEqualWords) {
    Baue(kEintraege, {});
    TTonausgabe t(daten, ausgabe, timer);
    t.SucheTonnummern("light", 4, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{15}));
    t.SucheTonnummern("light", 2, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{14}));
    // No record has the code: the first record of the word in key order ("hell", the table is stored in
    // the order of the German keys) gives the number.
    t.SucheTonnummern("light", 7, 2, true, "Englisch");
    EXPECT_EQ(Nummern(t), (std::vector<int>{15}));
}

TEST_F(Tonausgabe, AtMostTwentyWords) {
    std::vector<Woerterbucheintrag> viele;
    std::string text;
    for (int i = 1; i <= 25; ++i) {
        const std::string wort = "w" + std::string(1, static_cast<char>('a' + i)) + "x";
        viele.push_back({"d" + wort, wort, 2, i, 100 + i});
        text += (i > 1 ? "," : "") + wort;
    }
    Baue(viele, {});
    TTonausgabe t(daten, ausgabe, timer);
    t.SucheTonnummern(text, 2, 2, true, "Englisch");
    ASSERT_EQ(Nummern(t).size(), 20u);
    EXPECT_EQ(Nummern(t).front(), 101);
    EXPECT_EQ(Nummern(t).back(), 120);
}

TEST_F(Tonausgabe, EachSideIsFoldedWithItsOwnLanguage) {
    // In a Swedish dictionary the German keys of side 1 still fold Ä as German does.
    Baue(kEintraege, {9, 18}, "Schwedisch");
    TTonausgabe t(daten, ausgabe, timer);
    Sprechauftrag a = Auftrag("B\xE4r", "bear");
    EXPECT_EQ(t.SprichEintrag(1, a), Sprechmeldung::Keine);
    EXPECT_EQ(Nummern(t), (std::vector<int>{9}));
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{9}));
}

TEST_F(Tonausgabe, RecordingsPlayOneAfterTheOther) {
    Baue(kEintraege, {11, 12, 14});
    TTonausgabe t(daten, ausgabe, timer);
    // The foreign side of a line searched in direction 1 is its right column; 13 (car) is missing and skipped.
    t.SprichEintrag(2, Auftrag("Haus, Auto", "house, car, home, light", 2));
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11}));
    AllesAbspielen();
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 12, 14}));
    EXPECT_EQ(ausgabe.geschlossen, 3);

    // A missing first recording stops the whole request.
    ausgabe.gestartet.clear();
    t.SprichEintrag(2, Auftrag("Auto", "car, house", 2));
    AllesAbspielen();
    EXPECT_TRUE(ausgabe.gestartet.empty());

    // In direction 2 the foreign side is the left column.
    Sprechauftrag a = Auftrag("home", "Heim", 2);
    a.suchrichtung = 2;
    t.SprichEintrag(2, a);
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{12}));
}

TEST_F(Tonausgabe, ANewRequestNeverPlaysTheOldList) {
    Baue(kEintraege, {11, 12, 13, 14, 15, 16, 17});
    TTonausgabe t(daten, ausgabe, timer);
    t.SprichEintrag(2, Auftrag("x", "house, home, car", 2));
    ausgabe.Ende();
    const unsigned alt = ausgabe.letzte;  // "home" plays
    t.SprichEintrag(2, Auftrag("x", "bank, bench", 2));
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 12, 16}));
    EXPECT_GE(ausgabe.gestoppt, 2);
    // The stopped recording's events arrive late, in every order; none may move the new sequence.
    ausgabe.empfaenger->WaveOutClose(alt);
    ausgabe.empfaenger->WaveOutStop(alt);
    ausgabe.empfaenger->WaveOutError(alt);
    EXPECT_FALSE(timer.Aktiv());
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 12, 16}));
    AllesAbspielen();
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 12, 16, 17}));

    // A request during the error pause: the pause of the old sequence does not continue the new one.
    ausgabe.gestartet.clear();
    t.SprichEintrag(2, Auftrag("x", "house, home", 2));
    ausgabe.empfaenger->WaveOutError(ausgabe.letzte);
    ASSERT_TRUE(timer.Aktiv());
    t.SprichEintrag(2, Auftrag("x", "car, light", 2));
    EXPECT_FALSE(timer.Aktiv());
    AllesAbspielen();
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 13, 14}));
}

TEST_F(Tonausgabe, AnOutputErrorPausesAndGoesOn) {
    Baue(kEintraege, {11, 12, 13});
    TTonausgabe t(daten, ausgabe, timer);
    t.SprichEintrag(2, Auftrag("x", "house, home, car", 2));
    ausgabe.empfaenger->WaveOutError(ausgabe.letzte);
    EXPECT_TRUE(t.Fehlerpause);
    EXPECT_EQ(timer.ms, 250);
    EXPECT_EQ(ausgabe.zurueckgesetzt, 1);
    // A close during the pause does not start the next recording.
    ausgabe.empfaenger->WaveOutClose(ausgabe.letzte);
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11}));
    timer.Feuern();
    EXPECT_FALSE(t.Fehlerpause);
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 12}));
    AllesAbspielen();
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 12, 13}));
}

TEST_F(Tonausgabe, ADamagedRecordingIsPassedOver) {
    Baue(kEintraege, {});
    std::vector<Aufnahme> aufnahmen = {{11, PcmWaveBild(Ton(11))}, {12, "RIFF\x10\0\0\0WAVEjunk"}, {13, ""},
                                       {14, PcmWaveBild(Ton(14))}};
    daten.WaveTableFremdsprache.Close();
    SchreibeTontabelle(umgebung.Pfad("TON2.DBF"), aufnahmen);
    OeffneTontabelle(daten.WaveTableFremdsprache, umgebung.Pfad("TON2.DBF"));
    TTonausgabe t(daten, ausgabe, timer);
    t.SprichEintrag(2, Auftrag("x", "home, house, car, light", 2));
    AllesAbspielen();
    EXPECT_EQ(ausgabe.gestartet, (std::vector<int>{11, 14}));
}

TEST_F(Tonausgabe, SilentWithoutDeviceTableOrHits) {
    Baue(kEintraege, {11});
    {
        // No device: nothing plays, nothing is reported.
        ausgabe.geraet = false;
        TTonausgabe t(daten, ausgabe, timer);
        EXPECT_EQ(t.SprichEintrag(2, Auftrag("x", "house", 2)), Sprechmeldung::Keine);
        EXPECT_TRUE(ausgabe.gestartet.empty());
        ausgabe.geraet = true;
    }
    TTonausgabe t(daten, ausgabe, timer);
    Sprechauftrag leer = Auftrag("x", "house");
    leer.zeilen = 0;
    EXPECT_EQ(t.SprichEintrag(2, leer), Sprechmeldung::KeineEintraege);
    Sprechauftrag ohneMarke = Auftrag("x", "house");
    ohneMarke.markiert = -1;
    EXPECT_EQ(t.SprichEintrag(2, ohneMarke), Sprechmeldung::NichtsMarkiert);
    // A device that fails to start ends the request quietly.
    ausgabe.startFehler = true;
    EXPECT_EQ(t.SprichEintrag(2, Auftrag("x", "house")), Sprechmeldung::Keine);
    // The side's sound table is not open: not even the messages.
    daten.TonFremdsprache = false;
    EXPECT_EQ(t.SprichEintrag(2, leer), Sprechmeldung::Keine);
    EXPECT_TRUE(ausgabe.gestartet.empty());
}

}  // namespace
}  // namespace zanit
