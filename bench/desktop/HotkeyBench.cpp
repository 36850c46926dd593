// A lookup by hotkey end to end: from Ctrl+1 pressed (XTEST) while another program holds a selected word and
// the focus, to the dictionary's hit list painted with that word's hits. The window waits in the tray
// before each press. The figure includes the fixed 100 ms the lookup waits for the other program's copy.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

#include "app/widgets/Erweiterungen.h"
#include "app/widgets/WBuchDialog.h"
#include "app/window/TestInstallation.h"
#include "base/Startzustand.h"
#include "data/Datendialog.h"
#include "desktop/widgets/Desktopanbindung.h"
#include "search/widgets/ErgebnisListe.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace zanit;

// Notes the first paint of the hit list that shows lines.
class Malbeobachter : public QObject {
public:
    explicit Malbeobachter(TErgebnisListe* liste) : liste_(liste) {}
    bool gemalt = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && liste_->count() > 0) gemalt = true;
        return false;
    }

private:
    TErgebnisListe* liste_;
};

struct Umgebung {
    std::unique_ptr<test::TestInstallation> inst;
    TDatendialog daten;
    std::unique_ptr<TWBuchDialog> fenster;
    std::shared_ptr<TDesktopanbindung> desktop = std::make_shared<TDesktopanbindung>();
    QProcess programm;
    unsigned long programmfenster = 0;
    Display* d = XOpenDisplay(nullptr);
    std::unique_ptr<Malbeobachter> maler;

    Umgebung() {
        Erweiterungen().desktop = desktop;
        inst = test::ZweiWoerterbuecher({"\"Seek\"=dword:00000000", "\"HotKeyOn\"=dword:00000001",
                                         "\"Save\"=dword:00000000"});
        programm.start(QCoreApplication::applicationDirPath() + "/zanit-test-auswahl", {});
        if (!d || !programm.waitForStarted()) return;
        const QString erste = Zeile();
        if (!erste.startsWith("fenster ")) return;
        programmfenster = erste.section(' ', 1).toULong();
        fenster = std::make_unique<TWBuchDialog>(daten, QStringList{"zanit-wb", "noinfo"});
        if (!fenster->FormCreate()) {
            fenster.reset();
            return;
        }
        maler = std::make_unique<Malbeobachter>(fenster->ErgebnisListe);
        fenster->ErgebnisListe->viewport()->installEventFilter(maler.get());
    }
    ~Umgebung() {
        fenster.reset();
        programm.closeWriteChannel();
        if (!programm.waitForFinished(3000)) programm.kill();
        if (d) XCloseDisplay(d);
    }

    QString Zeile() {
        QElapsedTimer t;
        t.start();
        while (!programm.canReadLine() && t.elapsed() < 5000) programm.waitForReadyRead(100);
        return QString::fromUtf8(programm.readLine()).trimmed();
    }
    // The selection program takes the focus with the word selected.
    bool Vorbereiten(const QString& wort) {
        programm.write(("zeile " + wort + "\n").toUtf8());
        XSetInputFocus(d, programmfenster, RevertToParent, CurrentTime);
        XSync(d, False);
        for (QString z = Zeile(); !z.isEmpty(); z = Zeile())
            if (z == "bereit") return true;
        return false;
    }
    void Taste(KeySym s, bool unten) {
        XTestFakeKeyEvent(d, XKeysymToKeycode(d, s), unten ? True : False, CurrentTime);
        XSync(d, False);
    }
};

void BM_HotkeyBisTrefferliste(benchmark::State& state) {
    Umgebung u;
    if (!u.fenster) {
        state.SkipWithError("the window or the selection program did not start (an X server is needed)");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        u.desktop->InsTray(*u.fenster);
        u.fenster->AktivesSuchfeld()->clear();
        if (!u.Vorbereiten(QStringLiteral("Haus"))) {
            state.SkipWithError("the selection program did not take the focus");
            return;
        }
        QCoreApplication::processEvents();
        u.maler->gemalt = false;
        QElapsedTimer t;
        t.start();
        u.Taste(XK_Control_L, true);
        u.Taste(XK_1, true);
        u.Taste(XK_1, false);
        u.Taste(XK_Control_L, false);
        while (!u.maler->gemalt && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double dauer = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (!u.maler->gemalt || u.fenster->AktivesSuchfeld()->text() != QStringLiteral("Haus")) {
            state.SkipWithError("the lookup did not arrive");
            return;
        }
        state.SetIterationTime(dauer / 1000.0);
        ms.push_back(dauer);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["max_ms"] = ms.back();
}

BENCHMARK(BM_HotkeyBisTrefferliste)->UseManualTime()->Iterations(25)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Needs an X server with XTEST and a tray host: without one, run again inside the test environment.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("ZANIT_TEST_ENV")) {
        std::vector<char*> args = {const_cast<char*>(ZANIT_SOURCE_DIR "/scripts/test-env")};
        for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
        args.push_back(nullptr);
        execv(args[0], args.data());
        std::perror("bench_hotkey: scripts/test-env");
        return 1;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Erweiterungen() = TErweiterungen{};
    return 0;
}
