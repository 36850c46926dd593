// Recordings played through the real audio path: Qt Multimedia, the PulseAudio null sink of the test
// environment, its monitor recorded with parec. The sequence must arrive complete, in order, and a new request
// must cut it off.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <thread>

#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "sound/Mitschnitt.h"
#include "sound/QtWellenausgabe.h"
#include "sound/Tonausgabe.h"
#include "sound/Tontabelle.h"

namespace zanit {
namespace {

using test::Tonstueck;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_sound_audio";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

void Warte(int ms, const std::function<bool()>& fertig = [] { return false; }) {
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < ms && !fertig()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

class Audio : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        // Recording n: a tone of its own pitch and length, stored in the tables' IMA ADPCM coding.
        std::vector<Aufnahme> aufnahmen;
        for (const auto& [n, hz, s] : std::vector<std::tuple<int, double, double>>{
                 {1, 440, 0.5}, {2, 1000, 0.3}, {3, 700, 0.3}, {4, 440, 1.5}}) {
            PcmAudio a{1, test::kMitschnittRate, test::Sinuston(hz, s)};
            aufnahmen.push_back({n, ImaWaveBild(a, kWaveIma33)});
        }
        SchreibeTontabelle(umgebung.Pfad("TON.DBF"), aufnahmen);
        OeffneTontabelle(daten.WaveTableFremdsprache, umgebung.Pfad("TON.DBF"));
    }
    bool Spielen(TTonausgabe& t, std::vector<std::int32_t> nummern) {
        t.Tonnummern.fill(0);
        std::copy(nummern.begin(), nummern.end(), t.Tonnummern.begin());
        return t.SpieleTonliste(&daten.WaveTableFremdsprache, kTonSlots);
    }
    static bool Vorbei(const TTonausgabe& t) { return t.Spielposition > t.Listenlaenge; }

    test::Testumgebung umgebung;
    TDatendialog daten;
    TQtWellenausgabe ausgabe;
    TQtZeitgeber timer;
};

TEST_F(Audio, ASequenceArrivesCompleteAndInOrder) {
    TTonausgabe t(daten, ausgabe, timer);
    ASSERT_TRUE(t.TonGeraet) << "no audio output device (is PulseAudio of scripts/test-env running?)";
    test::Mitschnitt mitschnitt(umgebung.Pfad("folge.raw"));
    ASSERT_TRUE(mitschnitt.Bereit());
    ASSERT_TRUE(Spielen(t, {1, 2}));
    Warte(5000, [&] { return Vorbei(t); });
    EXPECT_TRUE(Vorbei(t));
    Warte(300);
    const std::vector<Tonstueck> stuecke = test::Tonstuecke(mitschnitt.Beenden());
    ASSERT_EQ(stuecke.size(), 2u);
    EXPECT_NEAR(stuecke[0].hz, 440, 30);
    EXPECT_NEAR(stuecke[0].sekunden, 0.5, 0.06);
    EXPECT_NEAR(stuecke[1].hz, 1000, 60);
    EXPECT_NEAR(stuecke[1].sekunden, 0.3, 0.06);
}

TEST_F(Audio, ANewRequestCutsTheOldSequence) {
    TTonausgabe t(daten, ausgabe, timer);
    ASSERT_TRUE(t.TonGeraet);
    // The first stream of a process takes a while to reach the server; this test is about what follows.
    ASSERT_TRUE(Spielen(t, {2}));
    Warte(3000, [&] { return Vorbei(t); });
    test::Mitschnitt mitschnitt(umgebung.Pfad("schnitt.raw"));
    ASSERT_TRUE(mitschnitt.Bereit());
    ASSERT_TRUE(Spielen(t, {4, 2}));
    // Once the long tone is heard, a new request comes.
    Warte(3000, [&] { return mitschnitt.Hoerbar(); });
    Warte(300);
    ASSERT_TRUE(Spielen(t, {3}));
    Warte(5000, [&] { return Vorbei(t); });
    Warte(1500);
    const std::vector<Tonstueck> stuecke = test::Tonstuecke(mitschnitt.Beenden());
    // The long tone stops early, the new one plays whole, and nothing of the old list follows.
    ASSERT_EQ(stuecke.size(), 2u);
    EXPECT_NEAR(stuecke[0].hz, 440, 30);
    EXPECT_LT(stuecke[0].sekunden, 0.8);
    EXPECT_NEAR(stuecke[1].hz, 700, 50);
    EXPECT_NEAR(stuecke[1].sekunden, 0.3, 0.06);
}

}  // namespace
}  // namespace zanit
