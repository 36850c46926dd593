// The program as a process: a second start hands over to the first (only to one of this user on this hive);
// start-up failures end the process with their message and leave the settings untouched.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

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
        const QString channel = zanit::TEinzelInstanz::Kanalname(inst.Hive());
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

    void theChannelIsPrivateAndNamedByTheHivesRealPath() {
        // In $XDG_RUNTIME_DIR when that is this user's private folder; else in a private folder of mode 0700.
        QTemporaryDir runtime;
        QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), 0700) == 0);
        const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QVERIFY(zanit::TEinzelInstanz::Kanalname("/x/machine.reg").startsWith(runtime.path() + "/"));
        QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), 0755) == 0);  // others may enter
        const QString fallback = zanit::TEinzelInstanz::Kanalname("/x/machine.reg");
        qputenv("XDG_RUNTIME_DIR", before);
        QVERIFY2(!fallback.startsWith(runtime.path()), qPrintable(fallback));
        struct stat st {};
        QVERIFY(::lstat(QFile::encodeName(QFileInfo(fallback).path()).constData(), &st) == 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_uid, ::geteuid());
        QCOMPARE(st.st_mode & 0777, 0700u);

        // A hive reached through a link is the same hive: a start through the link hands over to the first.
        TestInstallation inst;
        inst.Woerterbuch("Englisch", "DE_EN.DBF", "Deutsch", "Englisch", DeutschEnglisch());
        inst.Schreiben();
        const QString link = inst.Pfad("verweis.reg");
        QVERIFY(QFile::link(inst.Hive(), link));
        QCOMPARE(zanit::TEinzelInstanz::Kanalname(link), zanit::TEinzelInstanz::Kanalname(inst.Hive()));
        QProcess first;
        first.setProcessEnvironment(Umgebung(inst, inst.Pfad("erste.txt")));
        first.start(Programm(), {"noinfo"});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(zanit::TEinzelInstanz::Kanalname(inst.Hive())), 15000);
        QProcess second;
        QProcessEnvironment env = Umgebung(inst, inst.Pfad("zweite.txt"));
        env.insert("ZANIT_REGISTRY", link);
        second.setProcessEnvironment(env);
        second.start(Programm(), {"noinfo"});
        const bool ended = second.waitForFinished(20000);
        if (!ended) second.kill(), second.waitForFinished();
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY2(ended, "a second start through a link to the hive ran beside the first");
        QCOMPARE(second.exitCode(), 0);
    }

    void aChannelPlantedWhereAnotherUserCanReachDoesNotStopTheStart() {
        TestInstallation inst;
        inst.Woerterbuch("Englisch", "DE_EN.DBF", "Deutsch", "Englisch", DeutschEnglisch());
        inst.Schreiben();
        // Another local user listens first on the name in the shared temporary folder that is predictable
        // from this user's name and the hive's path.
        const QString canonical = QFileInfo(inst.Hive()).canonicalFilePath();
        const QString hash =
            QString::fromLatin1(QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
        QString user = qEnvironmentVariable("USER");
        if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
        if (user.isEmpty()) user = "user";
        const QString name = QString("zanit-wb-%1-%2").arg(user, hash);
        QLocalServer::removeServer(name);
        QLocalServer trap;
        trap.setSocketOptions(QLocalServer::WorldAccessOption);
        QVERIFY(trap.listen(name));
        QProcess p;
        p.setProcessEnvironment(Umgebung(inst, inst.Pfad("meldungen.txt")));
        p.start(Programm(), {"noinfo"});
        QVERIFY(p.waitForStarted());
        const bool ended = p.waitForFinished(4000);
        trap.close();
        if (!ended) {
            p.terminate();
            QVERIFY(p.waitForFinished(10000));
        }
        QVERIFY2(!ended, "the program took a socket in the shared temporary folder for a running instance");
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
        // The message names the file and the cause; the log keeps them too.
        QTest::newRow("dictionary that fails to open")
            << "damaged" << "Problem\tDas Wörterbuch konnte nicht gelesen werden: ";
        QTest::newRow("dictionary copy cut short") << "cut" << "Problem\tDas Wörterbuch konnte nicht gelesen werden: ";
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
        if (fault == "cut") {
            QFile table(inst.Pfad("DE_EN.DBF"));
            QVERIFY(table.resize(table.size() - 100));  // the last records are gone, the header still counts them
        }
        inst.Schreiben();
        const QByteArray before = inst.HiveBytes();
        const Lauf run = Starten(inst, {"noinfo"});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 1);
        if (fault == "damaged" || fault == "cut") {
            const QString table = inst.Pfad(fault == "cut" ? "DE_EN.DBF" : "KAPUTT.DBF");
            QCOMPARE(run.messages.size(), 1);
            QVERIFY2(run.messages[0].startsWith(message) && run.messages[0].contains(table), qPrintable(run.messages[0]));
            QFile log(QCoreApplication::applicationDirPath() + "/WB.log");  // beside the program
            QVERIFY(log.open(QIODevice::ReadOnly));
            QVERIFY2(QString::fromUtf8(log.readAll()).contains(table), "the log does not name the table");
        } else {
            QCOMPARE(run.messages, message.isEmpty() ? QStringList() : QStringList{message});
        }
        QCOMPARE(inst.HiveBytes(), before);
    }
};

QTEST_MAIN(ProzessTest)
#include "ProzessTest.moc"
