// The skinned main window against the plain one (argument 1: skin, 0: plain), on the demo installation with
// the Ding dictionary open (run scripts/demo-install first; needs a display):
// - BM_StartBisGemalt: from creating the data module to the first painted window, the skin loaded afresh;
// - BM_ResizeNeuZeichnen: a resize by one pixel with its layout and the repaint of the whole window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <memory>

#include "app/widgets/Erweiterungen.h"
#include "app/widgets/WBuchDialog.h"
#include "base/Startzustand.h"
#include "data/Datendialog.h"
#include "desktop/widgets/TSkinForm.h"
#include "ui/widgets/Skin.h"

namespace {

using namespace zanit;

const QString kHive = QStringLiteral(ZANIT_BINARY_DIR "/demo/machine.reg");

void Erweiterung(bool skin) {
    Erweiterungen() = TErweiterungen{};
    if (skin) Erweiterungen().skin = std::make_shared<TSkinErweiterung>();
    SkinZuruecksetzen();
    Startzustand() = TStartzustand{};
}

bool Bereit(benchmark::State& state) {
    if (QFile::exists(kHive)) {
        qputenv("ZANIT_REGISTRY", kHive.toLocal8Bit());
        return true;
    }
    state.SkipWithError("no demo installation: run scripts/demo-install first");
    return false;
}

void BM_StartBisGemalt(benchmark::State& state) {
    if (!Bereit(state)) return;
    for (auto _ : state) {
        Erweiterung(state.range(0) != 0);
        auto daten = std::make_unique<TDatendialog>();
        auto w = std::make_unique<TWBuchDialog>(*daten, QStringList{"zanit-wb", "noinfo"});
        if (!w->FormCreate() || !QTest::qWaitForWindowExposed(w.get())) {
            state.SkipWithError("the window did not start on the demo installation");
            break;
        }
        w->repaint();
        state.PauseTiming();
        w->hide();
        w.reset();
        daten.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_ResizeNeuZeichnen(benchmark::State& state) {
    if (!Bereit(state)) return;
    Erweiterung(state.range(0) != 0);
    TDatendialog daten;
    TWBuchDialog w(daten, QStringList{"zanit-wb", "noinfo"});
    if (!w.FormCreate() || !QTest::qWaitForWindowExposed(&w)) {
        state.SkipWithError("the window did not start on the demo installation");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        w.resize(800 + (i & 1), 600 + (i & 1));
        ++i;
        w.repaint();
    }
    w.hide();
}

void Einstellen(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_StartBisGemalt)->Apply(Einstellen)->Iterations(10);
BENCHMARK(BM_ResizeNeuZeichnen)->Apply(Einstellen)->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
