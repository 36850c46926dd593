// The program as a process: a second start hands over to the first; start-up failures end the process
// with their message (none for a dictionary that fails to open) and leave the settings untouched.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "app/widgets/EinzelInstanz.h"
#include "app/window/TestInstallation.h"

using namespace zanit::test;

namespace {

struct Lauf {
    int exitCode = -1;
    bool finished = false;
    QStringList messages;  // "title<TAB>text" of every message the program showed
};

QString Programm() { return QCoreApplication::applicationDirPath() + "/zanit-wb"; }

QProcessEnvironment Umgebung(const TestInstallation& inst, const QString& messages) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZANIT_REGISTRY", inst.Hive());
    env.insert("ZANIT_MELDUNGSPROTOKOLL", messages);
    return env;
}

QStringList Meldungen(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    return lines;
}

Lauf Starten(const TestInstallation& inst, const QStringList& args = {}) {
    const QString messages = inst.Pfad("meldungen.txt");
    QFile::remove(messages);
    QProcess p;
    p.setProcessEnvironment(Umgebung(inst, messages));
    p.start(Programm(), args);
    Lauf run;
    run.finished = p.waitForFinished(20000);
    if (!run.finished) p.kill(), p.waitForFinished();
    run.exitCode = p.exitCode();
    run.messages = Meldungen(messages);
    return run;
}

}  // namespace

class ProzessTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(Programm()), "zanit-wb must be built next to the tests"); }

    void aSecondStartBringsTheFirstToTheFront() {
        TestInstallation inst;
        inst.Woerterbuch("Englisch", "DE_EN.DBF", "Deutsch", "Englisch", DeutschEnglisch());
        inst.Schreiben();
        const QString firstMessages = inst.Pfad("erste.txt");
        QProcess first;
        first.setProcessEnvironment(Umgebung(inst, firstMessages));
        first.start(Programm(), {});
        QVERIFY(first.waitForStarted());
        // The first instance answers on its channel once it runs.
        const QString channel = QDir(QDir::tempPath()).filePath(zanit::TEinzelInstanz::Kanalname(inst.Hive()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(channel), 15000);

        const QByteArray hiveBefore = inst.HiveBytes();
        const Lauf second = Starten(inst);
        QVERIFY(second.finished);
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.messages.isEmpty(), qPrintable(second.messages.join('\n')));
        QCOMPARE(inst.HiveBytes(), hiveBefore);
        QTRY_VERIFY_WITH_TIMEOUT(Meldungen(firstMessages).join('\n').contains("Wiederhergestellt"), 5000);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));

        // A channel left behind by a crashed run does not stop the next start.
        QFile stale(channel);
        if (!stale.exists()) QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        QProcess third;
        third.setProcessEnvironment(Umgebung(inst, inst.Pfad("dritte.txt")));
        third.start(Programm(), {});
        QVERIFY(third.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(third.state(), QProcess::Running);
        third.terminate();
        QVERIFY(third.waitForFinished(10000));
    }

    void startUpFailuresEndWithTheirMessageAndSaveNothing_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        const QString install =
            "zanit WB\tDer Registry-Eintrag des Programms ist nicht vollständig. Installieren Sie zanit erneut!"
            "\\r\\rRegistry entries have been damaged or removed. Please reinstall the program.";
        QTest::newRow("other program folder") << "program" << install;
        QTest::newRow("empty sound medium path") << "cd" << install;
        QTest::newRow("no dictionary") << "nodict" << "Problem\tEs ist kein Wörterbuch installiert!";
        QTest::newRow("dictionary that fails to open") << "damaged" << "";
        QTest::newRow("dictionary file of another section name") << "dfa" << "Problem\tEs ist kein Wörterbuch installiert!";
    }

    void startUpFailuresEndWithTheirMessageAndSaveNothing() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        TestInstallation inst;
        if (fault == "program") inst.SetzeProgramm(inst.Pfad("anderswo") + "/");
        if (fault == "cd") inst.SetzeCD("");
        if (fault == "damaged") inst.KaputtesWoerterbuch("Englisch", "KAPUTT.DBF");
        else if (fault == "dfa") inst.Woerterbuch("DfA", "DE_EN.DBF", "Deutsch", "Englisch", DeutschEnglisch());
        else if (fault != "nodict") inst.Woerterbuch("Englisch", "DE_EN.DBF", "Deutsch", "Englisch", DeutschEnglisch());
        inst.Schreiben();
        const QByteArray before = inst.HiveBytes();
        const Lauf run = Starten(inst, {"noinfo"});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(inst.HiveBytes(), before);
    }
};

QTEST_MAIN(ProzessTest)
#include "ProzessTest.moc"
