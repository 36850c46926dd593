// Decoding a recording of one second in each coding (the counter "realtime" is seconds of audio decoded per
// second), and a speak request on the voiced sample dictionary up to the moment the decoded first recording
// is handed to the wave output: lookup of the sound numbers, seek, blob read, decoding.
#include <benchmark/benchmark.h>

#include <cmath>
#include <stdexcept>

#include "data/Datendialog.h"
#include "search/Woerterbuchbau.h"
#include "sound/Tonausgabe.h"
#include "sound/Tontabelle.h"
#include "sound/Wave.h"

namespace {

using namespace zanit;

PcmAudio Sekunde(int kanaele) {
    PcmAudio a{kanaele, 22050, {}};
    for (int i = 0; i < 22050 * kanaele; ++i)
        a.samples.push_back(static_cast<std::int16_t>(12000 * std::sin(i * 0.05) + 3000 * std::sin(i * 0.31)));
    return a;
}

void Dekodieren(benchmark::State& state, const std::string& bild) {
    double sekunden = 0;
    for (auto _ : state) {
        const PcmAudio a = DekodiereWave(bild);
        sekunden += a.Sekunden();
        benchmark::DoNotOptimize(a.samples.data());
    }
    state.counters["realtime"] = benchmark::Counter(sekunden, benchmark::Counter::kIsRate);
}

void BM_DecodeIma(benchmark::State& s) { Dekodieren(s, ImaWaveBild(Sekunde(static_cast<int>(s.range(0))), kWaveIma33, 512)); }
void BM_DecodePcm(benchmark::State& s) { Dekodieren(s, PcmWaveBild(Sekunde(1))); }
BENCHMARK(BM_DecodeIma)->Arg(1)->Arg(2);
BENCHMARK(BM_DecodePcm);

// Hands the audio over and forgets it.
class Ausgabe : public Wellenausgabe {
public:
    bool GeraetVorhanden() const override { return true; }
    void SetzeEmpfaenger(Wellenempfaenger*) override {}
    void Starte(const PcmAudio& audio, unsigned) override { frames = audio.Frames(); }
    void Stoppe() override {}
    void Schliesse() override {}
    void Zuruecksetzen() override {}
    std::size_t frames = 0;
};
class Timer : public Zeitgeber {
public:
    void Starte(int, std::function<void()>) override {}
    void Stoppe() override {}
    bool Aktiv() const override { return false; }
};

void BM_SpeakRequestToOutput(benchmark::State& state) {
    const std::string data = ZANIT_BINARY_DIR "/bin/Data/";
    TDatendialog daten;
    daten.BuchDatei.SetFileName(data + "DEUENGL.DBF");
    daten.BuchDatei.SetReadOnly(true);
    daten.BuchDatei.SetPassword(std::string(kWoerterbuchPasswort));
    daten.BuchDatei.Open();
    OeffneTontabelle(daten.WaveTableFremdsprache, data + "DEUENGLF.DBF");
    daten.TonFremdsprache = true;
    Ausgabe ausgabe;
    Timer timer;
    TTonausgabe ton(daten, ausgabe, timer);
    Sprechauftrag a;
    a.zeilen = 1;
    a.markiert = 0;
    a.zeile = "Haus|house, home, building|Substantiv";
    a.wortart = 2;
    a.woerterbuchOffen = true;
    a.textM = "Deutsch";
    a.textF = "Englisch";
    for (auto _ : state) {
        ausgabe.frames = 0;
        ton.SprichEintrag(2, a);
        if (ausgabe.frames == 0) throw std::runtime_error("nothing was handed to the output");
    }
}
BENCHMARK(BM_SpeakRequestToOutput)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
