// The online services on the real main window: the start check of the shown window fetches the news
// picture from the suite's FTP server ("noinfo" fetches nothing); the series controls stay off; the feedback
// and about dialogs and the web site command open their addresses through the desktop's URL handlers (a stub
// handler registered with xdg-mime records exactly what was opened), in German and in another catalogue
// language; help opens its pages from the menu, F1 and a dialog's help spot; a link that failed stays off for
// the rest of its showing.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "app/widgets/Erweiterungen.h"
#include "app/widgets/OnlineAnschluss.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "online/Ftpserver.h"
#include "online/widgets/Infobildfenster.h"
#include "online/widgets/TVerweisLabel.h"
#include "online/widgets/WBInfo.h"
#include "online/widgets/WBMeldungen.h"
#include "ui/Skinmass.h"

using namespace zanit;
using namespace zanit::test;
namespace fs = std::filesystem;

// Records the local pages handed to the desktop (help), without starting a browser.
class Seitenempfang : public QObject {
    Q_OBJECT
public:
    QStringList seiten;
public slots:
    void oeffne(const QUrl& url) { seiten << url.toLocalFile(); }
};

class OnlineFensterTest : public QObject, TestMitInstallation {
    Q_OBJECT

    QTemporaryDir xdg_;
    QString protokoll_;
    Ftpserver s_;
    std::shared_ptr<TOnlineAnschluss> online_;
    QTemporaryDir programm_;
    Seitenempfang seiten_;

    // The addresses the stub handler received, in order.
    QStringList Geoeffnet() const {
        QFile f(protokoll_);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void Installieren(std::vector<QString> extra = {}) {
        std::vector<QString> werte = {"\"Seek\"=dword:00000001", "\"Interval\"=dword:00000064",
                                      "\"Sound\"=dword:00000000"};
        for (QString& e : extra) werte.push_back(std::move(e));
        TestMitInstallation::Installieren(std::move(werte));
    }
    // Clicks a label as the user does.
    static void Klick(QWidget* w, QPoint p = {}) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p.isNull() ? w->rect().center() : p);
    }

private slots:
    void initTestCase() {
        s_ = FtpserverDerUmgebung();
        QVERIFY2(s_.ok, "the FTP server of scripts/test-env is not running (ZANIT_TEST_FTP_PORT, ZANIT_TEST_FTP_ROOT)");
        // A stub mail program and browser: a desktop entry for a script that notes its argument, made the
        // default handler of mailto, http and https through the desktop's own setting.
        QVERIFY(xdg_.isValid());
        const QString daten = xdg_.filePath("data"), konfig = xdg_.filePath("config");
        QVERIFY(QDir().mkpath(daten + "/applications"));
        QVERIFY(QDir().mkpath(konfig));
        protokoll_ = xdg_.filePath("geoeffnet.txt");
        const QString skript = xdg_.filePath("stub.sh");
        QFile s(skript);
        QVERIFY(s.open(QIODevice::WriteOnly));
        s.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\n").arg(protokoll_).toUtf8());
        s.close();
        s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile d(daten + "/applications/zanit-test-stub.desktop");
        QVERIFY(d.open(QIODevice::WriteOnly));
        d.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Stub\nExec=%1 %u\n"
                               "MimeType=x-scheme-handler/mailto;x-scheme-handler/http;x-scheme-handler/https;\n")
                    .arg(skript)
                    .toUtf8());
        d.close();
        qputenv("XDG_DATA_HOME", daten.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", konfig.toLocal8Bit());
        for (const char* schema : {"mailto", "http", "https"})
            QCOMPARE(QProcess::execute(QStringLiteral("xdg-mime"),
                                       {QStringLiteral("default"), QStringLiteral("zanit-test-stub.desktop"),
                                        QStringLiteral("x-scheme-handler/") + QLatin1String(schema)}),
                     0);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &seiten_, "oeffne");

        OnlineEinsetzen();
        online_ = std::dynamic_pointer_cast<TOnlineAnschluss>(Erweiterungen().online);
        QVERIFY(online_);
        online_->Verbindungstest = [] { return true; };
        online_->Programmordner = programm_.path().toStdString();
        QVERIFY(QDir().mkpath(programm_.filePath("Data")));
    }
    void init() {
        QFile::remove(protokoll_);
        seiten_.seiten.clear();
        fs::remove(fs::path(programm_.path().toStdString()) / "Data" / "INFO_W.JPG");
    }
    void cleanup() { ModaleDialogePruefen(); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void theShownWindowFetchesTheDuePicture() {
        const fs::path angebot = s_.wurzel / "pub" / "zanit" / "g1-101.gz";
        DateiSchreiben(angebot, Nachrichtenarchiv("Bild vom Server"));
        Installieren({QStringLiteral("\"FTPServer\"=\"%1\"").arg(QString::fromStdString(s_.server)),
                      "\"FTPPrefix\"=\"g1-\""});
        Fenster f;
        QVERIFY(f.Start());
        QVERIFY(online_->Abruf());
        QTRY_VERIFY_WITH_TIMEOUT(!online_->Abruf()->Laeuft(), 30000);
        fs::remove(angebot);
        const fs::path bild = fs::path(programm_.path().toStdString()) / "Data" / "INFO_W.JPG";
        QCOMPARE(DateiLesen(bild), std::string("Bild vom Server"));
    }

    // After the settings are saved at close, a picture in Data/ is shown; "noinfo" shows none.
    void closingShowsThePictureUnlessNoinfo() {
        DateiSchreiben(fs::path(programm_.path().toStdString()) / "Data" / "INFO_W.JPG", "kein JPEG");
        Installieren();
        {
            Fenster f;
            QVERIFY(f.Start({QStringLiteral("noinfo")}));
            f->close();
        }
        Fenster f;
        QVERIFY(f.Start());
        bool gezeigt = false;
        BeiModal([&gezeigt](QWidget* w) {
            gezeigt = qobject_cast<TInfobildDialog*>(w) != nullptr;
            w->close();
        });
        f->close();
        QVERIFY(gezeigt);
    }

    void noinfoAndNoServerFetchNothing() {
        Installieren({QStringLiteral("\"FTPServer\"=\"%1\"").arg(QString::fromStdString(s_.server))});
        {
            Fenster f;
            QVERIFY(f.Start({QStringLiteral("NOINFO")}));
            QVERIFY(!online_->Abruf());  // the start check never ran
        }
        Installieren();
        Fenster f;
        QVERIFY(f.Start());
        QVERIFY(online_->Abruf());
        QVERIFY(!online_->Abruf()->Laeuft());
    }

    void theSeriesControlsStayOff() {
        Installieren();
        Fenster f;
        QVERIFY(f.Start());
        QVERIFY(f->InfoButton->isVisible());
        QVERIFY(!f->InfoButton->isEnabled());
        QVERIFY(!f->InfoMMButton->isVisible());
        QVERIFY(!f->ServiceSerie->isVisible());
        QVERIFY(!f->ServiceSerie->isEnabled());
        for (QAction* a : {f->ServiceWBMeldungen, f->ServiceKontakt, f->ServiceInternet, f->HilfeInhalt, f->HilfeInfo})
            QVERIFY(a->isEnabled());
    }

    void feedbackMailsTheEditorsOnEveryClick_data() {
        QTest::addColumn<QString>("sprache");
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<QString>("web");
        QTest::newRow("German") << "D" << "mailto:woerterbuch@example.com" << "https://www.example.com/zanit/";
        QTest::newRow("English") << "E" << "mailto:dictionary@example.com" << "https://www.example.com/zanit/en/";
        QTest::newRow("French") << "F" << "mailto:dictionnaire@example.com" << "https://www.example.com/zanit/fr/";
    }
    void feedbackMailsTheEditorsOnEveryClick() {
        QFETCH(QString, sprache);
        QFETCH(QString, adresse);
        QFETCH(QString, web);
        Installieren({QStringLiteral("\"GLC\"=\"%1\"").arg(sprache)});
        Fenster f;
        QVERIFY(f.Start());
        QString titel;
        BeiModal([&titel](QWidget* w) {
            auto* d = qobject_cast<TWBMeldungenDialog*>(w);
            if (!d) {
                w->close();
                return;
            }
            titel = d->windowTitle();
            d->EMailButton->click();
            d->EMailButton->click();
            d->OkButton->click();
        });
        f->ServiceWBMeldungen->trigger();
        QVERIFY(!titel.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(Geoeffnet().size(), 2, 10000);
        QCOMPARE(Geoeffnet(), (QStringList{adresse, adresse}));
        f->ServiceInternet->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(Geoeffnet().size(), 3, 10000);
        QCOMPARE(Geoeffnet().count(web), 1);
    }

    void theAboutDialogTogglesItsVersionAndOpensItsLinks() {
        Installieren();
        Fenster f;
        QVERIFY(f.Start());
        QStringList zeilen;
        BeiModal([&zeilen](QWidget* w) {
            auto* d = qobject_cast<TInfoDialog*>(w);
            if (!d) {
                w->close();
                return;
            }
            zeilen << d->windowTitle() << d->TitelLabel->text() << d->VersionsLabel->text();
            Klick(d->VersionsLabel);
            zeilen << d->VersionsLabel->text();
            Klick(d->VersionsLabel);
            zeilen << d->VersionsLabel->text() << d->Zeile3a->text() << d->MailLabel->text();
            Klick(d->MailLabel);
            Klick(d->WebLabel);
            const Flaeche hilfe = TOwnHilfeStelle(d->width());
            Klick(d, QPoint(hilfe.x + hilfe.breite / 2, hilfe.y + hilfe.hoehe / 2));
            d->OkButton->click();
        });
        f->HilfeInfo->trigger();
        QCOMPARE(zeilen, (QStringList{"Info", "zanit-Wörterbuch", "Version 1.82", "Erstellungsdatum: 24.04.2009",
                                      "Version 1.82", "12345 Musterstadt/Deutschland", "info@example.com"}));
        QTRY_COMPARE_WITH_TIMEOUT(Geoeffnet().size(), 2, 10000);
        QStringList geoeffnet = Geoeffnet();
        geoeffnet.sort();  // the handler runs once per address, in whichever order the processes finish
        QCOMPARE(geoeffnet, (QStringList{"https://www.example.com/", "mailto:info@example.com"}));
        QCOMPARE(seiten_.seiten.size(), 1);
        QVERIFY2(seiten_.seiten.at(0).endsWith("/help/de/index.html"), qPrintable(seiten_.seiten.at(0)));
        QVERIFY(QFile::exists(seiten_.seiten.at(0)));
        QCOMPARE(f->focusWidget(), static_cast<QWidget*>(f.Edit()));  // back in the search field
    }

    void helpOpensContentsAndContactInTheDialogLanguage() {
        Installieren();
        {
            Fenster f;
            QVERIFY(f.Start());
            f.Edit()->setFocus();
            QTest::keyClick(f.Edit(), Qt::Key_F1);
            f->ServiceKontakt->trigger();
        }
        Installieren({"\"GLC\"=\"E\""});
        {
            Fenster f;
            QVERIFY(f.Start());
            f->HilfeInhalt->trigger();
        }
        QCOMPARE(seiten_.seiten.size(), 3);
        QVERIFY2(seiten_.seiten.at(0).endsWith("/help/de/index.html"), qPrintable(seiten_.seiten.at(0)));
        QVERIFY2(seiten_.seiten.at(1).endsWith("/help/de/kontakt.html"), qPrintable(seiten_.seiten.at(1)));
        QVERIFY2(seiten_.seiten.at(2).endsWith("/help/en/index.html"), qPrintable(seiten_.seiten.at(2)));
        for (const QString& s : seiten_.seiten) QVERIFY2(QFile::exists(s), qPrintable(s));
    }

    void aLinkThatFailedStaysOffForTheShowing() {
        QWidget fenster;
        TVerweisLabel link(&fenster);
        fenster.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenster));
        link.SetzeZiel(QStringLiteral("https://exa mple.com/"));  // nothing can take this one
        QVERIFY(!link.Oeffnen());
        QVERIFY(!link.Aktiv());
        link.SetzeZiel(QStringLiteral("https://www.example.com/spaeter"));
        Klick(&link);
        QVERIFY(!link.Oeffnen());
        link.hide();
        link.show();  // the next showing
        QVERIFY(link.Oeffnen());
        QTRY_COMPARE_WITH_TIMEOUT(Geoeffnet(), QStringList{"https://www.example.com/spaeter"}, 10000);
    }
};

QTEST_MAIN(OnlineFensterTest)
#include "OnlineFensterTest.moc"
