// The options dialog and the exit notice on the real main window under the X server: languages offered,
// hotkeys resting while it is shown, new hotkeys in force at once (pressed through XTEST while another program
// holds the focus), a combination another program holds, re-captioning in every dialog language.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/widgets/Erweiterungen.h"
#include "app/widgets/OptionenAnschluss.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "desktop/widgets/Desktopanbindung.h"
#include "options/widgets/THotkeyFeld.h"
#include "options/widgets/WBOptionen.h"
#include "options/widgets/WBSaveHinweis.h"

// After Qt: the X11 headers define macros that clash with Qt names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace zanit;
using namespace zanit::test;

namespace {

// The translation of a text number in a language's catalogue source.
QString Uebersetzung(char buchstabe, int nummer) {
    QFile f(QStringLiteral(ZANIT_SOURCE_DIR "/i18n/zanit_%1.po").arg(QChar(buchstabe)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(f.readAll());
    const QRegularExpression re(QStringLiteral("msgctxt \"%1\"\\nmsgid \"[^\\n]*\"\\nmsgstr \"([^\\n]*)\"").arg(nummer));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

}  // namespace

class OptionenFensterTest : public QObject, TestMitInstallation {
    Q_OBJECT

    Display* x_ = nullptr;
    QProcess programm_;
    QStringList ausgabe_;
    unsigned long programmfenster_ = 0;
    QTemporaryDir ordner_;
    std::shared_ptr<TDesktopanbindung> desktop_;
    std::shared_ptr<TOptionenAnschluss> optionen_;
    std::unique_ptr<Fenster> f_;

    void Programm(const QString& befehl) {
        ausgabe_.clear();
        programm_.write((befehl + "\n").toUtf8());
        XSetInputFocus(x_, programmfenster_, RevertToParent, CurrentTime);
        XSync(x_, False);
        QTRY_VERIFY_WITH_TIMEOUT(ausgabe_.contains("bereit"), 5000);
    }
    std::array<bool, 3> Zustaende() const { return desktop_->AktivZustaende(); }

    // Opens the options from the menu and runs `aktion` on the shown dialog; `aktion` closes it.
    void Optionen(std::function<void(TOptionenDialog&)> aktion) {
        BeiModal([aktion](QWidget* w) {
            auto* d = qobject_cast<TOptionenDialog*>(w);
            if (!d) {
                w->close();
                return;
            }
            aktion(*d);
        });
        (*f_)->ExtrasOptionen->trigger();
    }
    static void Sprache(TOptionenDialog& d, const QString& name) {
        d.DialogspracheCombo->setCurrentIndex(d.DialogspracheCombo->findText(name));
    }

private slots:
    void initTestCase() {
        x_ = XOpenDisplay(nullptr);
        QVERIFY2(x_, "no X server");
        connect(&programm_, &QProcess::readyReadStandardOutput, this, [this] {
            while (programm_.canReadLine()) ausgabe_ << QString::fromUtf8(programm_.readLine()).trimmed();
        });
        programm_.start(QCoreApplication::applicationDirPath() + "/zanit-test-auswahl", {});
        QVERIFY(programm_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!ausgabe_.isEmpty() && ausgabe_.first().startsWith("fenster "), 10000);
        programmfenster_ = ausgabe_.first().section(' ', 1).toULong();
        qputenv("XDG_CONFIG_HOME", ordner_.filePath("config").toLocal8Bit());
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
    }
    void cleanupTestCase() {
        programm_.closeWriteChannel();
        if (!programm_.waitForFinished(5000)) programm_.kill();
        if (x_) XCloseDisplay(x_);
    }
    void init() {
        KatalogOeffnen('D');
        Erweiterungen() = TErweiterungen{};
        desktop_ = std::make_shared<TDesktopanbindung>();
        desktop_->SetzeLogordner(ordner_.path().toStdString());
        Erweiterungen().desktop = desktop_;
        optionen_ = std::make_shared<TOptionenAnschluss>();
        Erweiterungen().optionen = optionen_;
        Installieren({"\"Seek\"=dword:00000001", "\"Interval\"=dword:00000064", "\"Sound\"=dword:00000000",
                      "\"HotKeyOn\"=dword:00000001", "\"Save\"=dword:00000000"});
        f_ = std::make_unique<Fenster>();
    }
    void cleanup() {
        f_.reset();
        Erweiterungen() = TErweiterungen{};
        optionen_.reset();
        desktop_.reset();
        KatalogOeffnen('D');
        ModaleDialogePruefen();
    }

    void withOnlyGermanTheLanguageGroupIsHiddenAndTheLetterBecomesD() {
        QTemporaryDir programm;
        Einstellungen e;
        e.Program = programm.path().toStdString();
        TOptionenDialog d;
        int hoehe = 0;
        bool gruppe = true;
        BeiModal([&](QWidget*) {
            hoehe = d.height();
            gruppe = d.DialogspracheGroup->isVisible();
            d.OkButton->click();
        });
        QCOMPARE(d.Zeige(e, 'E'), 1);
        QCOMPARE(hoehe, 390);
        QVERIFY(!gruppe);
        QCOMPARE(NeuerDialogbuchstabe(d.Werte()), 'D');
    }

    void germanMarksStandardAndChoosingDeutschSwitchesNothing() {
        QVERIFY(f_->Start({"noinfo"}));
        int wechsel = 0;
        const int beobachter = Katalog().BeiKatalogwechsel([&wechsel] { ++wechsel; });
        QStringList eintraege;
        int hoehe = 0, markiert = -1;
        Optionen([&](TOptionenDialog& d) {
            for (int i = 0; i < d.DialogspracheCombo->count(); ++i) eintraege << d.DialogspracheCombo->itemText(i);
            hoehe = d.height();
            markiert = d.DialogspracheCombo->currentIndex();
            Sprache(d, "Deutsch");
            d.OkButton->click();
        });
        Katalog().EntferneBeobachter(beobachter);
        QCOMPARE(eintraege, (QStringList{"(Standard)", "Deutsch", "English", "Français", "Italiano", "Español",
                                          "Nederlands", "Svensk"}));
        QCOMPARE(hoehe, 445);
        QCOMPARE(markiert, 0);
        QCOMPARE((*f_)->Dialogbuchstabe(), 'D');
        QCOMPARE(wechsel, 0);
        QVERIFY(!inst_->HiveBytes().contains("\"GLC\""));  // unchanged, so not written
    }

    void cancelLeavesTheHotkeysAsActiveAsBefore() {
        QVERIFY(f_->Start({"noinfo"}));
        for (bool vorher : {true, false}) {
            if (desktop_->HotkeysAktiv() != vorher) (*f_)->TrayHotkey->trigger();
            std::array<bool, 3> waehrend{true, true, true};
            bool check = !vorher;
            Optionen([&](TOptionenDialog& d) {
                waehrend = Zustaende();
                check = d.HotKeyCheck->isChecked();
                QTest::keyClick(d.HK1mit, Qt::Key_7, Qt::ControlModifier);  // typed, then thrown away
                d.AbbrechenButton->click();
            });
            QCOMPARE(waehrend, (std::array<bool, 3>{false, false, false}));
            QCOMPARE(check, vorher);
            QCOMPARE(Zustaende(), (std::array<bool, 3>{vorher, vorher, vorher}));
            QCOMPARE(desktop_->HotKey1mit.kuerzel, 16433);
        }
    }

    void uncheckingHotkeysTurnsAllThreeOffAndReCaptionsTheTrayItem() {
        QVERIFY(f_->Start({"noinfo"}));
        bool feldAn = true;
        Optionen([&](TOptionenDialog& d) {
            QTest::mouseClick(d.HotKeyCheck, Qt::LeftButton, {}, QPoint(6, d.HotKeyCheck->height() / 2));
            feldAn = d.HKGen->isEnabled() || d.Hotkey2Label->isEnabled();
            d.OkButton->click();
        });
        QVERIFY(!feldAn);
        QCOMPARE(Zustaende(), (std::array<bool, 3>{false, false, false}));
        QCOMPARE((*f_)->TrayHotkey->text(), QString("&Hotkeys aktivieren"));
        QVERIFY(inst_->HiveBytes().contains("\"HotKeyOn\"=dword:00000000"));
    }

    void theFieldsTakeCombinationsAndTheDelayFollowsItsSpinButtons() {
        QVERIFY(f_->Start({"noinfo"}));
        QString ohneModifier, mitAlt, geleert;
        int spinNachEingabe = 0, spinOben = 0;
        bool svAn = true;
        Optionen([&](TOptionenDialog& d) {
            QTest::keyClick(d.HKGen, Qt::Key_Q);
            ohneModifier = d.HKGen->text();
            QTest::keyClick(d.HK1mit, Qt::Key_F5, Qt::AltModifier | Qt::ShiftModifier);
            mitAlt = d.HK1mit->text();
            QTest::keyClick(d.HK2mit, Qt::Key_Backspace);
            geleert = d.HK2mit->text();
            d.svEdit->clear();
            QTest::keyClicks(d.svEdit, "9998");
            spinNachEingabe = d.SVSpin->Position();
            d.SVSpin->Auf->click();
            d.SVSpin->Auf->click();
            spinOben = d.svEdit->text().toInt();
            QTest::mouseClick(d.DirektsucheCheck, Qt::LeftButton, {}, QPoint(6, d.DirektsucheCheck->height() / 2));
            svAn = d.svEdit->isEnabled() || d.SVSpin->isEnabled();
            d.AutoStartCheck->setChecked(true);
            d.OkButton->click();
        });
        QCOMPARE(ohneModifier, QString("Strg+Q"));
        QCOMPARE(mitAlt, QString("Umschalt+Alt+F5"));
        QCOMPARE(geleert, QString());
        QCOMPARE(spinNachEingabe, 9998);
        QCOMPARE(spinOben, 9999);
        QVERIFY(!svAn);
        QCOMPARE(desktop_->HotKey.kuerzel, 0x4000 | 'Q');
        QCOMPARE(desktop_->HotKey1mit.kuerzel, 0x2000 | 0x8000 | 0x74);
        QCOMPARE(desktop_->HotKey2mit.kuerzel, 0);
        QCOMPARE((*f_)->Werte().Interval, 9999);
        QCOMPARE((*f_)->TastenTimer->interval(), 9999);
        QVERIFY(!(*f_)->Werte().Seek);
        QVERIFY(inst_->HiveBytes().contains("\"HotKey\"=dword:00004051"));
        // The autostart entry is written at once, and taken away again.
        QVERIFY(QFile::exists(QString::fromStdString(AutostartDesktopDatei())));
        Optionen([&](TOptionenDialog& d) {
            d.AutoStartCheck->setChecked(false);
            d.OkButton->click();
        });
        QVERIFY(!QFile::exists(QString::fromStdString(AutostartDesktopDatei())));
    }

    void aChangedHotkeyTakesEffectAtOnce() {
        QVERIFY(f_->Start({"noinfo"}));
        Optionen([&](TOptionenDialog& d) {
            QTest::keyClick(d.HK1mit, Qt::Key_3, Qt::ControlModifier);
            d.OkButton->click();
        });
        QCOMPARE(desktop_->HotKey1mit.kuerzel, 0x4000 | '3');
        QCOMPARE(Zustaende(), (std::array<bool, 3>{true, true, true}));
        // The old combination reaches the focused program again.
        Programm("zeile Hund");
        QCOMPARE(QProcess::execute("xdotool", {"key", "ctrl+1"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(ausgabe_.contains("taste Ctrl+1"), 5000);
        QTest::qWait(300);
        QVERIFY(f_->Edit()->text() != "Hund");
        // The new one looks the selection up.
        Programm("zeile Hund");
        QCOMPARE(QProcess::execute("xdotool", {"key", "ctrl+3"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(f_->Edit()->text() == "Hund" && f_->Liste()->count() > 0, 5000);
        QCOMPARE((*f_)->Suchrichtung(), 1);
        QVERIFY(!ausgabe_.contains("taste Ctrl+3"));
    }

    void aCombinationAnotherProgramHoldsIsRefusedInTheDialogAndTheOldOneStays() {
        const KeyCode vier = XKeysymToKeycode(x_, XK_4);
        XGrabKey(x_, vier, ControlMask, DefaultRootWindow(x_), False, GrabModeAsync, GrabModeAsync);
        XSync(x_, False);
        QVERIFY(f_->Start({"noinfo"}));
        QString meldung, feld;
        bool offen = false;
        Optionen([&](TOptionenDialog& d) {
            QTest::keyClick(d.HK2mit, Qt::Key_4, Qt::ControlModifier);
            d.OkButton->click();
            offen = d.isVisible();
            meldung = d.HotkeyFehlerLabel->text();
            feld = d.HK2mit->text();
            d.OkButton->click();
        });
        QVERIFY(offen);
        QCOMPARE(meldung, QString("Die Tastenkombination Strg+4 ist schon von einem anderen Programm belegt. Es bleibt bei Strg+2."));
        QCOMPARE(feld, QString("Strg+2"));
        QCOMPARE(desktop_->HotKey2mit.kuerzel, 16434);
        // Taken by another program between the dialog and the grab: the old combination stays in force.
        QCOMPARE(desktop_->KuerzelSetzen(true, {16471, 16433, 0x4000 | '4'}), std::vector<int>{2});
        QCOMPARE(desktop_->HotKey2mit.kuerzel, 16434);
        XUngrabKey(x_, vier, ControlMask, DefaultRootWindow(x_));
        XSync(x_, False);
        Programm("zeile house");
        QCOMPARE(QProcess::execute("xdotool", {"key", "ctrl+2"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(f_->Edit()->text() == "house" && f_->Liste()->count() > 0, 5000);
    }

    // One combination for two tasks would leave one of them unreachable: the dialog stays open and says so,
    // and a swap of two combinations is no such case.
    void aCombinationChosenForTwoTasksIsRefusedAndASwapIsNot() {
        QVERIFY(f_->Start({"noinfo"}));
        QString meldung;
        bool offen = false;
        Optionen([&](TOptionenDialog& d) {
            QTest::keyClick(d.HK1mit, Qt::Key_2, Qt::ControlModifier);
            d.OkButton->click();
            offen = d.isVisible();
            meldung = d.HotkeyFehlerLabel->text();
            d.AbbrechenButton->click();
        });
        QVERIFY(offen);
        QCOMPARE(meldung, QString("Die Tastenkombination Strg+2 ist für zwei Aufgaben gewählt. Jede braucht ihre eigene."));
        QCOMPARE(desktop_->HotKey1mit.kuerzel, 16433);
        QCOMPARE(desktop_->HotKey2mit.kuerzel, 16434);
        Optionen([&](TOptionenDialog& d) {
            QTest::keyClick(d.HK1mit, Qt::Key_2, Qt::ControlModifier);
            QTest::keyClick(d.HK2mit, Qt::Key_1, Qt::ControlModifier);
            d.OkButton->click();
        });
        QCOMPARE(desktop_->HotKey1mit.kuerzel, 16434);
        QCOMPARE(desktop_->HotKey2mit.kuerzel, 16433);
    }

    void theExitNoticeCanBeCancelledAndSwitchedOff() {
        inst_->Einstellung("\"Save\"=dword:00000001");
        inst_->Schreiben();
        QVERIFY(f_->Start({"noinfo"}));
        QString text;
        BeiModal([&](QWidget* w) {
            auto* h = qobject_cast<TSaveHinweisDialog*>(w);
            if (!h) {
                w->close();
                return;
            }
            text = h->TextLabel1->text() + "|" + h->EndCheck->text();
            h->EndCheck->setChecked(true);
            h->AbbrechenButton->click();
        });
        QVERIFY(!(*f_)->close());
        QCOMPARE(text, QString("Wenn Sie das Programm beenden, sind die Hotkeys nicht mehr aktiv.|Diesen Hinweis nicht mehr anzeigen"));
        QVERIFY((*f_)->isVisible());
        QVERIFY(!(*f_)->Werte().Save);
        // Switched off: the next close goes through without it and stores that.
        QVERIFY((*f_)->close());
        QVERIFY(inst_->HiveBytes().contains("\"Save\"=dword:00000000"));
    }

    void closingThroughTheTrayNeverShowsTheExitNotice() {
        inst_->Einstellung("\"Save\"=dword:00000001");
        inst_->Schreiben();
        QVERIFY(f_->Start({"noinfo"}));
        desktop_->InsTray(**f_);
        QTRY_VERIFY_WITH_TIMEOUT(!(*f_)->isVisible(), 5000);
        bool gesehen = false;
        BeiModal([&](QWidget* w) {
            gesehen = true;
            w->close();
        });
        (*f_)->TrayBeenden->trigger();
        QVERIFY(Startzustand().trayBeenden);
        QTest::qWait(200);
        QVERIFY(!gesehen);
        ModalAufsicht::Instanz().Abschluss();  // the watch above waited in vain, as it should
        QVERIFY(inst_->HiveBytes().contains("\"Save\"=dword:00000001"));
    }

    void aDialogLanguageReCaptionsTheOpenWindowAndSurvivesARestart_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("buchstabe");
        for (const Dialogsprache& s : Dialogsprachen())
            QTest::newRow(s.name) << QString::fromUtf8(s.name) << s.buchstabe;
    }
    void aDialogLanguageReCaptionsTheOpenWindowAndSurvivesARestart() {
        QFETCH(QString, name);
        QFETCH(char, buchstabe);
        QVERIFY(f_->Start({"noinfo"}));
        Optionen([&](TOptionenDialog& d) {
            Sprache(d, name);
            d.OkButton->click();
        });
        QCOMPARE((*f_)->Dialogbuchstabe(), buchstabe);
        auto pruefen = [&](TWBuchDialog& w) {
            const std::pair<QString, int> texte[] = {{w.ExtrasOptionen->text(), 8201},
                                                     {w.MenueHilfe->title(), 8250},
                                                     {w.TrayBeenden->text(), 8133},
                                                     {w.Trefferlabel->text(), 98020},
                                                     {w.FilterAnButton->text(), 3005}};
            for (const auto& [text, nummer] : texte) {
                const QString erwartet = Uebersetzung(buchstabe, nummer);
                QVERIFY2(!erwartet.isEmpty(), qPrintable(QString::number(nummer)));
                QCOMPARE(text, erwartet);
            }
            QCOMPARE(w.TrayHotkey->text(), Uebersetzung(buchstabe, 98012));
        };
        pruefen(**f_);
        if (QTest::currentTestFailed()) return;
        // The choice is stored and the next start comes up in it.
        QVERIFY((*f_)->close());
        f_ = std::make_unique<Fenster>();
        KatalogOeffnen('D');
        QVERIFY(f_->Start({"noinfo"}));
        QCOMPARE((*f_)->Dialogbuchstabe(), buchstabe);
        pruefen(**f_);
        // The hotkey fields spell the keys in the dialog language.
        QString feld2, feld1;
        Optionen([&](TOptionenDialog& d) {
            feld2 = d.HK2mit->text();
            QTest::keyClick(d.HK1mit, Qt::Key_Percent, Qt::ControlModifier | Qt::ShiftModifier);
            feld1 = d.HK1mit->text();
            d.AbbrechenButton->click();
        });
        const auto wort = [&](int nummer, const char* deutsch) {
            const QString t = Uebersetzung(buchstabe, nummer);
            return t.isEmpty() ? QString::fromUtf8(deutsch) : t;
        };
        QCOMPARE(feld2, wort(98117, "Strg") + "+2");
        QCOMPARE(feld1, wort(98117, "Strg") + "+" + wort(98118, "Umschalt") + "+5");
        // "(Standard)" brings the German texts back at once.
        Optionen([&](TOptionenDialog& d) {
            d.DialogspracheCombo->setCurrentIndex(0);
            d.OkButton->click();
        });
        QCOMPARE((*f_)->ExtrasOptionen->text(), QString("&Optionen"));
        QCOMPARE((*f_)->Dialogbuchstabe(), 'D');
    }
};

QTEST_MAIN(OptionenFensterTest)
#include "OptionenFensterTest.moc"
