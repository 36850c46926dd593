// Typing into a dictionary of one million records: the time from a key press in the search field to the
// refilled hit list (incremental search with Interval 0, so the figure is the work, not the pause), and the
// time a key press waits while an incremental walk runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/Startzustand.h"
#include "app/widgets/WBuchDialog.h"
#include "data/Datendialog.h"
#include "search/widgets/ErgebnisListe.h"

namespace {

using namespace zanit;

const QString kTabelle = QStringLiteral(ZANIT_BINARY_DIR "/bench-cache/walk1m/WALK1M.DBF");

// The walk benchmark builds and keeps the synthetic table; run it once for that when the table is missing.
bool TabelleBereit() {
    if (QFile::exists(kTabelle)) return true;
    std::fprintf(stderr, "bench_window: building the synthetic dictionary through bench_walk (once)\n");
    QProcess::execute(QStringLiteral(ZANIT_BINARY_DIR "/bin/bench_walk"),
                      {"--benchmark_filter=BM_Inkrementell_1M", "--benchmark_min_time=0.001"});
    return QFile::exists(kTabelle);
}

struct Umgebung {
    QTemporaryDir dir;
    TDatendialog daten;
    std::unique_ptr<TWBuchDialog> fenster;

    Umgebung() {
        const QString hive = dir.filePath("machine.reg");
        QFile f(hive);
        f.open(QIODevice::WriteOnly);
        f.write(("Windows Registry Editor Version 5.00\n\n"
                 "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\n"
                 "\"Program\"=\"" + QCoreApplication::applicationDirPath() + "/\"\n"
                 "\"CD\"=\"" + dir.path() + "/\"\n"
                 "\"Seek\"=dword:00000001\n\"Interval\"=dword:00000000\n\"Save\"=dword:00000000\n\n"
                 "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary\\Englisch]\n"
                 "\"Dictionary\"=\"" + kTabelle + "\"\n\"TextM\"=\"Deutsch\"\n\"TextF\"=\"Englisch\"\n")
                    .toUtf8());
        f.close();
        qputenv("ZANIT_REGISTRY", hive.toLocal8Bit());
        fenster = std::make_unique<TWBuchDialog>(daten, QStringList{"zanit-wb", "noinfo"});
        if (!fenster->FormCreate()) fenster.reset();
    }
};

// Created on first use, destroyed before the application object.
std::unique_ptr<Umgebung> gUmgebung;
bool gVersucht = false;

Umgebung* Fenster() {
    if (!gVersucht) {
        gVersucht = true;
        gUmgebung = std::make_unique<Umgebung>();
        if (!gUmgebung->fenster) gUmgebung.reset();
    }
    return gUmgebung.get();
}

TWBuchDialog* FensterFuer(benchmark::State& state) {
    Umgebung* u = Fenster();
    if (!u) state.SkipWithError("window did not start on the synthetic dictionary");
    return u ? u->fenster.get() : nullptr;
}

// Runs the event loop until the typed key's incremental search has refilled the list and it has painted.
void WarteAufListe(TWBuchDialog& w) {
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } while (w.TastenTimer->isActive());
    w.ErgebnisListe->viewport()->repaint();
}

// Alternating prefixes of words of the table, so that every key press gives a new search key.
const char* const kAnfaenge[] = {"Hau", "Ber", "Tin", "Kal", "Mar", "Sen"};

void BM_TasteBisListe_1M(benchmark::State& state) {
    TWBuchDialog* fenster = FensterFuer(state);
    if (!fenster) return;
    TWBuchDialog& w = *fenster;
    QLineEdit* edit = w.AktivesSuchfeld();
    std::size_t i = 0;
    int lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString word = QString::fromLatin1(kAnfaenge[i++ % std::size(kAnfaenge)]);
        edit->setText(word.left(word.size() - 1));
        state.ResumeTiming();
        QTest::keyClick(edit, word.back().toLatin1());
        WarteAufListe(w);
        lines = w.ErgebnisListe->count();
    }
    if (lines == 0) state.SkipWithError("the incremental search found nothing");
    state.counters["lines"] = lines;
}

// A key pressed while an incremental walk runs: the time until the walk has given way and the key is in
// the field.
void BM_TasteWaehrendSuche_1M(benchmark::State& state) {
    TWBuchDialog* fenster = FensterFuer(state);
    if (!fenster) return;
    TWBuchDialog& w = *fenster;
    QLineEdit* edit = w.AktivesSuchfeld();
    std::size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString word = QString::fromLatin1(kAnfaenge[i++ % std::size(kAnfaenge)]);
        edit->setText(word);
        w.TastenTimer->start(0);
        state.ResumeTiming();
        // Queued behind the timer: the walk lets it through before its first record.
        QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e"));
        while (edit->text().size() == word.size()) QCoreApplication::processEvents(QEventLoop::AllEvents);
        state.PauseTiming();
        WarteAufListe(w);
        state.ResumeTiming();
    }
}

double P99(const std::vector<double>& v0) {
    std::vector<double> v = v0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(0.99 * static_cast<double>(v.size())))];
}

void Einstellen(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(25)->ReportAggregatesOnly(true);
    b->ComputeStatistics("p99", P99);
}

BENCHMARK(BM_TasteBisListe_1M)->Apply(Einstellen);
BENCHMARK(BM_TasteWaehrendSuche_1M)->Apply(Einstellen);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!TabelleBereit()) {
        std::fprintf(stderr, "bench_window: the synthetic dictionary is missing\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gUmgebung.reset();
    return 0;
}
