// The news download sequence as the main window runs it, against the suite's FTP server: a due download
// fetches, unpacks and dates the picture; a fresh picture, "noinfo", no server or no connection start nothing;
// a missing file, a refused login and a damaged archive end the sequence with the old picture and its date;
// with FTPDelay 4 the steps lie 2.1 s apart while the event loop keeps answering input.
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <filesystem>

#include "online/Ftpserver.h"
#include "online/Infoabruf.h"
#include "online/widgets/TInfoabruf.h"
#include "online/widgets/Verbindungstest.h"

using namespace zanit;
using namespace zanit::test;
namespace fs = std::filesystem;

class InfoabrufTest : public QObject {
    Q_OBJECT

    Ftpserver s_;
    fs::path ordner_;
    std::vector<fs::path> angeboten_;

    fs::path Bild() const { return ordner_ / "Data" / "INFO_W.JPG"; }

    // A sequence for archive `praefix` + "101.gz" on the suite's server.
    TInfoabruf::Umgebung Umgebung(const std::string& praefix, int ftpDelay = 0) const {
        TInfoabruf::Umgebung u;
        u.programmordner = ordner_;
        u.infoNummer = 101;
        u.ftpDelay = ftpDelay;
        u.konfiguration.server = s_.server;
        u.konfiguration.praefix = praefix;
        return u;
    }
    void Anbieten(const std::string& name, const std::string& inhalt) {
        DateiSchreiben(s_.wurzel / "pub" / "zanit" / name, inhalt);
        angeboten_.push_back(s_.wurzel / "pub" / "zanit" / name);
    }
    // An old picture, 20 days old, so that a download is due.
    fs::file_time_type AltesBild() {
        DateiSchreiben(Bild(), "altes Bild");
        const auto damals = fs::file_time_type::clock::now() - std::chrono::hours(24 * 20);
        fs::last_write_time(Bild(), damals);
        return damals;
    }
    // Runs a started sequence to its end: (ok, error text, steps begun).
    static std::tuple<bool, QString, QList<int>> BisZumEnde(TInfoabruf& a, QSignalSpy& schritte) {
        QSignalSpy ende(&a, &TInfoabruf::Beendet);
        if (ende.isEmpty() && !ende.wait(60000)) return {false, QStringLiteral("no end within 60 s"), {}};
        QList<int> s;
        for (const QList<QVariant>& args : schritte) s << args.at(0).toInt();
        return {ende.at(0).at(0).toBool(), ende.at(0).at(1).toString(), s};
    }

private slots:
    void initTestCase() {
        s_ = FtpserverDerUmgebung();
        QVERIFY2(s_.ok, "the FTP server of scripts/test-env is not running (ZANIT_TEST_FTP_PORT, ZANIT_TEST_FTP_ROOT)");
    }
    void init() {
        char muster[] = "/tmp/zanit-infoabruf-XXXXXX";
        ordner_ = mkdtemp(muster);
        fs::create_directories(ordner_ / "Data");
    }
    void cleanup() {
        for (const fs::path& p : angeboten_) fs::remove(p);
        angeboten_.clear();
        fs::remove_all(ordner_);
    }

    void aDueDownloadFetchesUnpacksAndDatesThePicture() {
        AltesBild();
        Anbieten("f1-101.gz", Nachrichtenarchiv("neues Bild"));
        TInfoabruf a;
        QSignalSpy schritte(&a, &TInfoabruf::SchrittBeginnt);
        QVERIFY(a.StartPruefung(Umgebung("f1-")));
        QVERIFY(a.Laeuft());
        QVERIFY(!a.StartPruefung(Umgebung("f1-")));  // one sequence at a time
        const auto [ok, fehler, s] = BisZumEnde(a, schritte);
        QVERIFY2(ok, qPrintable(fehler));
        QCOMPARE(s, (QList<int>{1, 2, 3, 4}));
        QCOMPARE(DateiLesen(Bild()), std::string("neues Bild"));
        QVERIFY(fs::exists(ordner_ / "Data" / "INFO_W.DAT"));
        QVERIFY(!fs::exists(ordner_ / "f1-101.gz"));  // the archive is gone again
        const auto alter = fs::file_time_type::clock::now() - fs::last_write_time(Bild());
        QVERIFY(alter < std::chrono::minutes(5));
        QVERIFY(!a.Laeuft());
        // Dated today: the next start check fetches nothing.
        QVERIFY(!a.StartPruefung(Umgebung("f1-")));
    }

    void nothingStartsWithoutReason() {
        TInfoabruf a;
        DateiSchreiben(Bild(), "frisches Bild");
        QVERIFY(!a.StartPruefung(Umgebung("f2-")));  // fresh picture
        fs::remove(Bild());
        TInfoabruf::Umgebung u = Umgebung("f2-");
        u.infoNummer = 999;                      // "noinfo"
        QVERIFY(!a.StartPruefung(u));
        u.infoNummer = 0;
        QVERIFY(!a.StartPruefung(u));
        u = Umgebung("f2-");
        u.konfiguration.server.clear();          // no server configured
        QVERIFY(!a.StartPruefung(u));
        u = Umgebung("f2-");
        bool gefragt = false;
        u.verbindungstest = [&gefragt] { return !(gefragt = true); };  // the platform says: offline
        QVERIFY(!a.StartPruefung(u));
        QVERIFY(gefragt);
        QVERIFY(!fs::exists(Bild()));
    }

    // The platform's probe itself: the test machine has no network service that reports a state, and a
    // platform that cannot tell counts as connected.
    void theProbeCountsAnUnknownStateAsConnected() { QVERIFY(Verbindungstest()); }

    void failuresEndTheSequenceWithTheOldPicture_data() {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<int>("letzterSchritt");
        QTest::newRow("missing file") << "fehlt" << 4;
        QTest::newRow("refused login") << "login" << 1;
        QTest::newRow("damaged archive") << "defekt" << 4;
        QTest::newRow("refused connection") << "verbindung" << 1;
    }
    void failuresEndTheSequenceWithTheOldPicture() {
        QFETCH(QString, fall);
        QFETCH(int, letzterSchritt);
        const auto damals = AltesBild();
        TInfoabruf::Umgebung u = Umgebung("f3-");
        if (fall == "login") {
            Anbieten("f3-101.gz", Nachrichtenarchiv("neues Bild"));
            u.konfiguration.passwort = kAbgewiesen;
        } else if (fall == "defekt") {
            std::string archiv = Nachrichtenarchiv("neues Bild");
            archiv[archiv.size() / 2] ^= 0x55;
            Anbieten("f3-101.gz", archiv);
        } else if (fall == "verbindung") {
            u.konfiguration.server = "127.0.0.1:1";
        }
        TInfoabruf a;
        QSignalSpy schritte(&a, &TInfoabruf::SchrittBeginnt);
        QVERIFY(a.StartPruefung(u));
        const auto [ok, fehler, s] = BisZumEnde(a, schritte);
        QVERIFY(!ok);
        QVERIFY(!fehler.isEmpty());
        QCOMPARE(s.last(), letzterSchritt);
        QCOMPARE(DateiLesen(Bild()), std::string("altes Bild"));
        QVERIFY(fs::last_write_time(Bild()) == damals);
        QVERIFY(!fs::exists(ordner_ / "Data" / "INFO_W.DAT"));
        QVERIFY(!fs::exists(ordner_ / "f3-101.gz"));
        QVERIFY(!a.Laeuft());
    }

    // FTPDelay 4: each step begins at least 2.1 s after the one before ended; meanwhile typed keys arrive
    // and a 20 ms timer keeps ticking.
    void theStepsArePacedWhileInputIsAnswered() {
        AltesBild();
        Anbieten("f4-101.gz", Nachrichtenarchiv("neues Bild"));
        QLineEdit feld;
        feld.show();
        QVERIFY(QTest::qWaitForWindowExposed(&feld));
        TInfoabruf a;
        QElapsedTimer uhr;
        QList<qint64> beginn;
        connect(&a, &TInfoabruf::SchrittBeginnt, &a, [&](int) { beginn << uhr.elapsed(); });
        qint64 letzterTakt = 0, groessteLuecke = 0;
        int getippt = 0;
        QTimer takt;
        takt.setInterval(20);
        connect(&takt, &QTimer::timeout, &a, [&] {
            const qint64 t = uhr.elapsed();
            groessteLuecke = std::max(groessteLuecke, t - letzterTakt);
            letzterTakt = t;
            // Input as the window system delivers it: queued, handled by the event loop.
            if (a.Laeuft() && getippt < 200) {
                QCoreApplication::postEvent(&feld, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
                ++getippt;
            }
        });
        uhr.start();
        takt.start();
        QSignalSpy schritte(&a, &TInfoabruf::SchrittBeginnt);
        QVERIFY(a.StartPruefung(Umgebung("f4-", 4)));
        QCOMPARE(a.MainFTPTimer->interval(), 2100);
        const auto [ok, fehler, s] = BisZumEnde(a, schritte);
        takt.stop();
        QVERIFY2(ok, qPrintable(fehler));
        QCOMPARE(beginn.size(), 4);
        qInfo("step starts at %lld, %lld, %lld, %lld ms; longest event loop pause %lld ms", beginn[0], beginn[1],
              beginn[2], beginn[3], groessteLuecke);
        for (int i = 1; i < beginn.size(); ++i) {
            const qint64 abstand = beginn[i] - beginn[i - 1];
            QVERIFY2(abstand >= 2100, qPrintable(QStringLiteral("step %1 began %2 ms after the one before").arg(i + 1).arg(abstand)));
            QVERIFY2(abstand < 20000, qPrintable(QStringLiteral("step %1 began only after %2 ms").arg(i + 1).arg(abstand)));
        }
        QVERIFY2(groessteLuecke < 1500, qPrintable(QStringLiteral("the event loop stood still for %1 ms").arg(groessteLuecke)));
        QCoreApplication::processEvents();
        QVERIFY(getippt > 100);
        QCOMPARE(feld.text().size(), getippt);
    }
};

QTEST_MAIN(InfoabrufTest)
#include "InfoabrufTest.moc"
