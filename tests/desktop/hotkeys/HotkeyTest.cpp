// The system-wide hotkeys end to end: real key events through the X server (XTEST) while another program of
// the suite holds a selected text and the focus; the dictionary window runs in the test process.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QFile>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include "app/widgets/Erweiterungen.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "desktop/Skinform.h"
#include "desktop/widgets/Desktopanbindung.h"
#include "desktop/widgets/TSkinForm.h"
#include "ui/widgets/Skin.h"

// After Qt: the X11 headers define macros that clash with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace zanit;
using namespace zanit::test;

namespace {

// The test's own connection to the X server: it types like a user and looks at the keyboard.
class Tastatur {
public:
    Tastatur() : d_(XOpenDisplay(nullptr)) {}
    ~Tastatur() {
        if (d_) XCloseDisplay(d_);
    }
    Display* Anzeige() const { return d_; }

    void Taste(KeySym s, bool unten) {
        XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, s), unten ? True : False, CurrentTime);
        XSync(d_, False);
    }
    void Tippen(KeySym modifier, KeySym taste) {
        Taste(modifier, true);
        Taste(taste, true);
        Taste(taste, false);
        Taste(modifier, false);
    }
    void Klick(QPoint wo, unsigned knopf) {
        XTestFakeMotionEvent(d_, -1, wo.x(), wo.y(), CurrentTime);
        XTestFakeButtonEvent(d_, knopf, True, CurrentTime);
        XTestFakeButtonEvent(d_, knopf, False, CurrentTime);
        XSync(d_, False);
    }
    void Fokus(unsigned long fenster) {
        XSetInputFocus(d_, fenster, RevertToParent, CurrentTime);
        XSync(d_, False);
    }

    // Modifier keys the server counts as pressed, and the modifier bits it reports; both empty when none is
    // stuck (the lock keys do not count).
    QString GedrueckteModifier() {
        char tasten[32] = {};
        XQueryKeymap(d_, tasten);
        XModifierKeymap* karte = XGetModifierMapping(d_);
        const KeyCode numLock = XKeysymToKeycode(d_, XK_Num_Lock);
        QStringList unten;
        for (int i = 0; i < 8; ++i) {
            for (int k = 0; k < karte->max_keypermod; ++k) {
                const KeyCode c = karte->modifiermap[i * karte->max_keypermod + k];
                if (c && i != 1 && c != numLock && ((tasten[c / 8] >> (c % 8)) & 1))
                    unten << QStringLiteral("key %1 (mod %2)").arg(c).arg(i);
            }
        }
        XFreeModifiermap(karte);
        Window root, child;
        int rx, ry, wx, wy;
        unsigned mask = 0;
        XQueryPointer(d_, DefaultRootWindow(d_), &root, &child, &rx, &ry, &wx, &wy, &mask);
        if (mask & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask))
            unten << QStringLiteral("state 0x%1").arg(mask, 0, 16);
        return unten.join(", ");
    }

private:
    Display* d_;
};

}  // namespace

class HotkeyTest : public QObject, TestMitInstallation {
    Q_OBJECT

    Tastatur tastatur_;
    QProcess programm_;
    QStringList ausgabe_;
    unsigned long programmfenster_ = 0;
    QTemporaryDir ordner_;
    QString meldungen_;
    std::shared_ptr<TDesktopanbindung> desktop_;
    std::unique_ptr<Fenster> f_;

    // Sends a command to the selection program and waits until it holds the focus.
    void Programm(const QString& befehl) {
        ausgabe_.clear();
        programm_.write((befehl + "\n").toUtf8());
        tastatur_.Fokus(programmfenster_);
        QTRY_VERIFY_WITH_TIMEOUT(ausgabe_.contains("bereit"), 5000);
    }
    void Lesen() {
        while (programm_.canReadLine()) ausgabe_ << QString::fromUtf8(programm_.readLine()).trimmed();
    }
    QStringList Meldungen() const {
        QFile f(meldungen_);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // The tray icon's place: true once it is in the tray host and has not moved for half a second.
    QRect lage_;
    QElapsedTimer ruhig_;
    bool IconLiegtRuhig() {
        const QRect g = desktop_->TrayIcon->geometry();
        if (g != lage_) {
            lage_ = g;
            ruhig_.restart();
        }
        return !g.isEmpty() && g.top() < 40 && ruhig_.elapsed() > 500;
    }
    bool Sichtbar() const { return Startzustand().fensterSichtbar && (*f_)->isVisible(); }

    // A lookup hotkey as a user presses it: the modifier stays held until the dictionary has looked up.
    void Nachschlagen(KeySym ziffer, const QString& erwartet) {
        tastatur_.Taste(XK_Control_L, true);
        tastatur_.Taste(ziffer, true);
        QTest::qWait(30);
        tastatur_.Taste(ziffer, false);
        QTRY_VERIFY2_WITH_TIMEOUT(Sichtbar() && f_->Edit()->text() == erwartet && f_->Liste()->count() > 0,
                                  qPrintable(QStringLiteral("shown %1, search field \"%2\", %3 lines, program: %4")
                                                 .arg(Sichtbar())
                                                 .arg(f_->Edit()->text())
                                                 .arg(f_->Liste()->count())
                                                 .arg(ausgabe_.join('|'))),
                                  5000);
        tastatur_.Taste(XK_Control_L, false);
        QCOMPARE(tastatur_.GedrueckteModifier(), QString());
    }

private slots:
    void initTestCase() {
        QVERIFY2(tastatur_.Anzeige(), "no X server");
        int a, b, c, d;
        QVERIFY2(XTestQueryExtension(tastatur_.Anzeige(), &a, &b, &c, &d), "the X server offers no XTEST");
        meldungen_ = ordner_.filePath("meldungen.txt");
        qputenv("ZANIT_MELDUNGSPROTOKOLL", meldungen_.toLocal8Bit());
        connect(&programm_, &QProcess::readyReadStandardOutput, this, [this] { Lesen(); });
        programm_.start(QCoreApplication::applicationDirPath() + "/zanit-test-auswahl", {});
        QVERIFY(programm_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!ausgabe_.isEmpty() && ausgabe_.first().startsWith("fenster "), 10000);
        programmfenster_ = ausgabe_.first().section(' ', 1).toULong();
        QVERIFY(programmfenster_ != 0);
        Programm("zeile start");
        // The tray host of the test environment.
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
    }
    void cleanupTestCase() {
        programm_.closeWriteChannel();
        if (!programm_.waitForFinished(5000)) programm_.kill();
    }

    void init() {
        QFile::remove(meldungen_);
        KatalogOeffnen('D');
        Erweiterungen() = TErweiterungen{};
        desktop_ = std::make_shared<TDesktopanbindung>();
        desktop_->SetzeLogordner(ordner_.path().toStdString());
        Erweiterungen().desktop = desktop_;
        Installieren({"\"Seek\"=dword:00000000", "\"HotKeyOn\"=dword:00000001"});
        f_ = std::make_unique<Fenster>();
    }
    void cleanup() {
        f_.reset();
        Erweiterungen() = TErweiterungen{};
        SkinZuruecksetzen();
        desktop_.reset();
        ModaleDialogePruefen();
    }

    void lookupHotkeysCopyTheSelectionOfTheFocusedProgram() {
        QVERIFY(f_->Start({"noinfo"}));
        QVERIFY(Sichtbar());
        // The main hotkey hides the active main window to the tray.
        tastatur_.Tippen(XK_Control_L, XK_w);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible(), 5000);
        QVERIFY(!Startzustand().fensterSichtbar);
        QVERIFY(desktop_->TrayIcon->isVisible());

        Programm("zeile house");
        Nachschlagen(XK_2, "house");
        if (QTest::currentTestFailed()) return;
        QCOMPARE((*f_)->Suchrichtung(), 2);
        QCOMPARE((*f_)->SuchRegister->currentIndex(), 1);
        QVERIFY(f_->Zeile(0).startsWith("house|"));

        // From the foreign-language page back to the first one.
        Programm("zeile Haus");
        Nachschlagen(XK_1, "Haus");
        if (QTest::currentTestFailed()) return;
        QCOMPARE((*f_)->Suchrichtung(), 1);
        QCOMPARE((*f_)->SuchRegister->currentIndex(), 0);
        QVERIFY(f_->Zeile(0).startsWith("Haus|"));

        // Lines of a selection are joined without a blank; a quick press and release works as well.
        Programm("mehrzeilig Haus\\narzt");
        QVERIFY(QProcess::execute("xdotool", {"key", "ctrl+1"}) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(f_->Edit()->text() == "Hausarzt" && f_->Liste()->count() > 0, 5000);
        QCOMPARE(tastatur_.GedrueckteModifier(), QString());

        // Nothing selected: the window only comes back, the search field keeps its text.
        tastatur_.Tippen(XK_Control_L, XK_w);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible(), 5000);
        Programm("ohne Hund");
        tastatur_.Tippen(XK_Control_L, XK_1);
        QTRY_VERIFY_WITH_TIMEOUT(Sichtbar(), 5000);
        QTest::qWait(300);
        QCOMPARE(f_->Edit()->text(), QString("Hausarzt"));
        QVERIFY(!ausgabe_.contains("taste Ctrl+1"));  // the hotkey never reached the program

        // The main hotkey brings the window back with an empty search field.
        tastatur_.Tippen(XK_Control_L, XK_w);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible(), 5000);
        tastatur_.Tippen(XK_Control_L, XK_w);
        QTRY_VERIFY_WITH_TIMEOUT(Sichtbar(), 5000);
        QCOMPARE(f_->Edit()->text(), QString());
        QCOMPARE(tastatur_.GedrueckteModifier(), QString());

        // Shown by other means while it counts as in the tray: its first paint makes it count as shown.
        tastatur_.Tippen(XK_Control_L, XK_w);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible(), 5000);
        (*f_)->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(Startzustand().fensterSichtbar, 5000);
    }

    void deactivatedHotkeysLeaveTheKeysToTheFocusedProgram() {
        QVERIFY(f_->Start({"noinfo"}));
        (*f_)->TrayHotkey->trigger();
        QVERIFY(!desktop_->HotkeysAktiv());
        QCOMPARE((*f_)->TrayHotkey->text(), QString("&Hotkeys aktivieren"));
        Programm("zeile Haus");
        for (KeySym k : {XK_1, XK_2, XK_w}) tastatur_.Tippen(XK_Control_L, k);
        QTRY_VERIFY_WITH_TIMEOUT(ausgabe_.contains("taste Ctrl+W"), 5000);
        QVERIFY(ausgabe_.contains("taste Ctrl+1"));
        QVERIFY(ausgabe_.contains("taste Ctrl+2"));
        QTest::qWait(300);
        QCOMPARE(f_->Edit()->text(), QString());
        QVERIFY(Sichtbar());

        (*f_)->TrayHotkey->trigger();
        QCOMPARE((*f_)->TrayHotkey->text(), QString("&Hotkeys deaktivieren"));
        Programm("zeile Haus");
        Nachschlagen(XK_1, "Haus");
        if (QTest::currentTestFailed()) return;
        // The state at close is what the settings keep.
        Einstellungen werte;
        desktop_->NachSchliessen(werte);
        QVERIFY(werte.HotKeyOn);
        QCOMPARE(werte.HotKey1, 16433);
    }

    void mainHotkeyWithADialogOpenAsksToCloseIt() {
        QVERIFY(f_->Start({"noinfo"}));
        for (const QString& name : {QString("OptionenDialog"), QString("WBMeldungenDialog")}) {
            QFile::remove(meldungen_);
            QDialog dialog(&**f_);
            dialog.setObjectName(name);
            dialog.open();
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() == &dialog, 5000);
            tastatur_.Tippen(XK_Control_L, XK_w);
            QTest::qWait(400);
            QVERIFY(Sichtbar());
            if (name == "OptionenDialog")
                QCOMPARE(Meldungen(), QStringList{"Hinweis\tBitte schließen Sie zuerst den Dialog."});
            else
                QCOMPARE(Meldungen(), QStringList());  // the message dialogs themselves are left alone
            dialog.reject();
        }
    }

    void aCombinationHeldByAnotherProgramIsLoggedOnceAndTheOthersWork() {
        Display* d = tastatur_.Anzeige();
        const KeyCode zwei = XKeysymToKeycode(d, XK_2);
        XGrabKey(d, zwei, ControlMask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
        XSync(d, False);
        QVERIFY(f_->Start({"noinfo"}));
        desktop_->HotkeysSetzen(false);
        desktop_->HotkeysSetzen(true);
        XUngrabKey(d, zwei, ControlMask, DefaultRootWindow(d));
        XSync(d, False);
        QFile log(ordner_.filePath("WB.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QCOMPARE(text.count("nicht verfügbar"), 1);
        QVERIFY(desktop_->HotkeysAktiv());
        Programm("zeile Hund");
        Nachschlagen(XK_1, "Hund");
        if (QTest::currentTestFailed()) return;
        QFile::remove(ordner_.filePath("WB.log"));
    }

    void aWaylandSessionIsNotedOnceAndXProgramsStillGetTheHotkeys() {
        qputenv("XDG_SESSION_TYPE", "wayland");
        const bool gestartet = f_->Start({"noinfo"});
        desktop_->Einrichten(**f_);  // again, as after the options
        qunsetenv("XDG_SESSION_TYPE");
        QVERIFY(gestartet);
        QFile log(ordner_.filePath("WB.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(log.readAll()).count("Wayland"), 1);
        log.close();
        QFile::remove(log.fileName());
        Programm("zeile Hut");
        Nachschlagen(XK_1, "Hut");
    }

    void theTrayIconShowsHidesAndEndsTheProgram() {
        // Records whether the exit notice was asked for.
        struct Hinweiszaehler : Optionen {
            int gezeigt = 0;
            bool Vorhanden() const override { return true; }
            bool SaveHinweis(TWBuchDialog&, bool& cancelled, bool& endCheck) override {
                ++gezeigt;
                cancelled = endCheck = false;
                return true;
            }
        };
        auto hinweis = std::make_shared<Hinweiszaehler>();
        Erweiterungen().optionen = hinweis;
        Installieren({"\"Seek\"=dword:00000000", "\"HotKeyOn\"=dword:00000001", "\"Tray\"=dword:00000001", "\"Save\"=dword:00000001"});
        QVERIFY(f_->Start({"noinfo"}));
        QTRY_VERIFY_WITH_TIMEOUT(desktop_->TrayIcon->isVisible() && !(*f_)->isVisible(), 5000);
        QCOMPARE(desktop_->TrayIcon->toolTip(), QString("zanit-Wörterbuch"));
        // Embedded in the tray host at the top of the screen, and settled there.
        lage_ = QRect();
        ruhig_.start();
        QTRY_VERIFY_WITH_TIMEOUT(IconLiegtRuhig(), 10000);
        const QPoint icon = desktop_->TrayIcon->geometry().center();

        tastatur_.Klick(icon, 1);
        QTRY_VERIFY_WITH_TIMEOUT(Sichtbar(), 5000);
        tastatur_.Klick(icon, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible() && !Startzustand().fensterSichtbar, 5000);
        tastatur_.Klick(icon, 3);
        QTRY_VERIFY_WITH_TIMEOUT((*f_)->TrayMenue->isVisible(), 5000);
        QCOMPARE((*f_)->TrayMenue->actions().at(0)->text(), QString("&Nachschlagen"));
        QCOMPARE((*f_)->TrayMenue->actions().at(1)->text(), QString("&Hotkeys deaktivieren"));
        QCOMPARE((*f_)->TrayMenue->actions().at(2)->text(), QString("&Beenden"));
        (*f_)->TrayMenue->hide();
        QVERIFY(!(*f_)->isVisible());

        (*f_)->TrayNachschlagen->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(Sichtbar(), 5000);
        // While the window is shown, "Beenden" only brings it to the front.
        (*f_)->TrayBeenden->trigger();
        QTest::qWait(200);
        QVERIFY(Sichtbar());
        tastatur_.Klick(icon, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible(), 5000);
        (*f_)->TrayBeenden->trigger();
        QVERIFY(Startzustand().trayBeenden);
        QCOMPARE(hinweis->gezeigt, 0);
        QVERIFY(inst_->HiveBytes().contains("\"HotKeyOn\"=dword:00000001"));
    }

    void theSkinsMinimiseSpotPutsTheWindowIntoTheTray() {
        Erweiterungen().skin = std::make_shared<TSkinErweiterung>();
        SkinZuruecksetzen();
        QVERIFY(f_->Start({"noinfo"}));
        QVERIFY(Skinzustand().geladen);
        QWidget& w = **f_;
        QPoint spot(-1, -1);
        for (int y = 0; y < 40 && spot.x() < 0; ++y)
            for (int x = w.width() - 1; x >= w.width() - 150 && spot.x() < 0; --x)
                if (SkinFormTreffer(w.width(), w.height(), x, y, AktuelleSkinmasse()).stelle == Fensterstelle::Minimieren)
                    spot = QPoint(x, y);
        QVERIFY(spot.x() >= 0);
        tastatur_.Klick(w.mapToGlobal(spot), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible() && !Startzustand().fensterSichtbar, 5000);
        QVERIFY(desktop_->TrayIcon->isVisible());
        tastatur_.Tippen(XK_Control_L, XK_w);
        QTRY_VERIFY_WITH_TIMEOUT(Sichtbar(), 5000);
    }
};

QTEST_MAIN(HotkeyTest)
#include "HotkeyTest.moc"
