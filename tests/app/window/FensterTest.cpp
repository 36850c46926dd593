// The main window's life on a real installation: start state, placement, texts, tray start, closing with
// its saved settings; the message dialog; the error log; the Unicode edge.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegion>
#include <QTabWidget>
#include <QtTest>

#include "base/Einstellungen.h"
#include "base/Katalog.h"
#include "base/Log.h"
#include "base/Utils.h"
#include "app/widgets/Anwendung.h"
#include "app/widgets/Erweiterungen.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Unicode.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "data/Woerterbuecher.h"

using namespace zanit;
using namespace zanit::test;

namespace {

// The names of the values of the settings key, in file order.
QStringList Wertnamen(const QByteArray& hive) {
    QStringList names;
    bool inSettings = false;
    for (const QByteArray& raw : hive.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[')) {
            inSettings = line.compare("[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]", Qt::CaseInsensitive) == 0;
        } else if (inSettings && line.startsWith('"')) {
            names << line.mid(1, line.indexOf('"', 1) - 1);
        }
    }
    return names;
}

class Ausnahmewerfer : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Tabelle kaputt");
        return QObject::event(e);
    }
};

}  // namespace

class FensterTest : public QObject, TestMitInstallation {
    Q_OBJECT

private slots:
    void init() {
        Erweiterungen() = TErweiterungen{};
        KatalogOeffnen('D');
        Installieren({"\"Seek\"=dword:00000001", "\"Interval\"=dword:00000064"});
    }

    void cleanup() { ModaleDialogePruefen(); }

    void startsWithTheRememberedDictionaryAndDirection() {
        Installieren({"\"Section\"=\"Latein\"", "\"Part\"=dword:00000005", "\"Fontsize\"=dword:0000000c"});
        Fenster f;
        QVERIFY(f.Start({"NoInfo"}));
        QCOMPARE(Startzustand().infoNummer, 999);  // matched on the lower-cased parameters
        QVERIFY(!Startzustand().service);
        QCOMPARE(f->Woerterbuecher().Index, 1);
        QCOMPARE(f->Suchrichtung(), 2);
        QCOMPARE(f->SuchRegister->currentIndex(), 1);
        QCOMPARE(f.Liste()->Kopftext(0), QString("Latein"));
        QCOMPARE(f.Liste()->Kopftext(2), QString("Wortart"));
        QVERIFY(Startzustand().fensterSichtbar);
        QVERIFY(Startzustand().einmalGezeigt);
        QCOMPARE(f->Trefferlabel->text(), QString("keine Suche gestartet"));
        QCOMPARE(f->Eintrag1Label->text(), QString("(keine Auswahl)"));
        QCOMPARE(f.Edit(), f->SuchEdit);
        QVERIFY(f.Edit()->hasFocus());
        QCOMPARE(f->property("Tag").toInt(), 11);
        // The list font: the size of the setting, item height from its metrics.
        QCOMPARE(f.Liste()->font().pointSize(), 12);
        QCOMPARE(f.Liste()->Zeilenhoehe(), QFontMetrics(f.Liste()->font()).height() + 4);
        // Subsystems that are not installed keep their controls disabled.
        QVERIFY(!f->WPlaybutton->isEnabled());
        QVERIFY(!f->Detailbutton->isEnabled());
        QVERIFY(!f->ExtrasOptionen->isEnabled());
        QVERIFY(!f->UebernehmenButton->isVisible());
        QVERIFY(f->MenueWBOeffnen->isEnabled());
    }

    void placementFollowsTheStoredRectangleOnlyWhenItFits() {
        Installieren({"\"PX\"=dword:0000000a", "\"PY\"=dword:00000014", "\"PW\"=dword:000001f4",
                      "\"PH\"=dword:0000012c"});
        {
            Fenster f;
            QVERIFY(f.Start());
            QCOMPARE(f->pos(), QPoint(10, 20));
            QCOMPARE(f->size(), QSize(500, 300));
        }
        {
            Installieren({"\"PX\"=dword:0000000a", "\"PY\"=dword:00000014", "\"PV\"=dword:00000001"});
            Fenster f;
            QVERIFY(f.Start());
            QVERIFY(f->windowState() & Qt::WindowMaximized);
        }
        const Fensterrechteck screen = BildschirmRechteck();
        for (const char* bad : {"\"PX\"=dword:ffffffff", "\"PW\"=dword:00000000", "\"PW\"=dword:00002710"}) {
            Installieren({"\"PX\"=dword:0000000a", "\"PY\"=dword:00000014", "\"PW\"=dword:000001f4",
                          "\"PH\"=dword:0000012c", bad});
            Fenster f;
            QVERIFY(f.Start());
            QCOMPARE(f->size(), QSize(600, 435));
            QCOMPARE(f->pos(), QPoint((screen.width - 600) / 2, (screen.height - 435) / 2));
        }
    }

    void texts() {
        Fenster f;
        QVERIFY(f.Start());
        QCOMPARE(f->windowTitle(), QString("zanit-Wörterbuch"));
        QCOMPARE(f->MenueDatei->title(), QString("D&atei"));  // German accelerator on the second letter
        QCOMPARE(f->ServiceInternet->text(), QString("zanit im In&ternet"));
        QCOMPARE(f->WPlaybutton->toolTip(), QString("Sprachausgabe (F12)"));
        QCOMPARE(f->TrayHotkey->text(), QString("&Hotkeys aktivieren"));
        QCOMPARE(f->findChild<QMenu*>("MenueHilfe"), f->MenueHilfe);
        QVERIFY(f->findChild<QObject*>("HilfeInfo"));
        QVERIFY(f->findChild<QObject*>("Fremdsprache5Tab"));
        // A catalogue change re-applies the texts at once; other languages keep their own accelerator.
        f->MenueDatei->setTitle("x");
        KatalogOeffnen('E');
        QVERIFY2(Katalog().Offen(), "the English catalogue must be built into Data/ next to the tests");
        QCOMPARE(f->MenueDatei->title(), QString::fromStdString(Katalog().Text(8120, "&Datei")));
        QVERIFY(f->MenueDatei->title() != "D&atei");
        int language = -1;
        BeiModal([&language](QWidget* w) {
            language = qobject_cast<TMeldungDialog*>(w)->buttonbox->sprache();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        Meldungsfenster("?", "?", 1, true, true);
        QCOMPARE(language, 1);  // the strip speaks English: "Yes"/"No"
        KatalogOeffnen('D');
        QCOMPARE(f->MenueDatei->title(), QString("D&atei"));
    }

    void hitCountLabelClickTogglesBracketsOnlyInServiceMode() {
        {
            Fenster f;
            QVERIFY(f.Start());
            QVERIFY(f->Suche().Klammerentfernung);
            QTest::mouseClick(f->Trefferlabel, Qt::LeftButton);
            QVERIFY(f->Suche().Klammerentfernung);
        }
        Fenster f;
        QVERIFY(f.Start({"Service"}));
        QTest::mouseClick(f->Trefferlabel, Qt::LeftButton);
        QVERIFY(!f->Suche().Klammerentfernung);
    }

    void trayStartParksTheWindowAndKeepsItReachable() {
        Installieren({"\"Tray\"=dword:00000001", "\"PX\"=dword:00000028", "\"PY\"=dword:00000032",
                      "\"PW\"=dword:000001f4", "\"PH\"=dword:0000012c"});
        Fenster f;
        QVERIFY(f.Start());
        QVERIFY(f->StartTimer->isActive());
        QCOMPARE(f->StartTimer->interval(), 10);
        QVERIFY(f->x() < 0 && f->y() < 0);  // parked off-screen, never flashing on it
        QTRY_VERIFY(!f->StartTimer->isActive());
        // Without a tray the window sits minimised in the task bar, at its real position.
        QVERIFY(f->isVisible());
        QVERIFY(f->windowState() & Qt::WindowMinimized);
        QCOMPARE(f->pos(), QPoint(40, 50));
    }

    void minimisingStoresThePlacementInMemoryOnly() {
        Fenster f;
        QVERIFY(f.Start({"AutoStart-ignored", "AUTOSTART"}));  // any parameter containing AUTOSTART
        QVERIFY(f->StartTimer->isActive());
        QTRY_VERIFY(!f->StartTimer->isActive());
        f->showNormal();
        f->move(33, 44);
        f->resize(510, 320);
        const QByteArray before = inst_->HiveBytes();
        f->showMinimized();
        QCOMPARE(f->Werte().PX, 33);
        QCOMPARE(f->Werte().PY, 44);
        QCOMPARE(f->Werte().PW, 510);
        QCOMPARE(f->Werte().PH, 320);
        QCOMPARE(f->Werte().PV, 0);
        QCOMPARE(inst_->HiveBytes(), before);
    }

    void closingWritesWhatTheWindowChangedAndKeepsOtherChanges() {
        Installieren({"\"Seek\"=dword:00000001", "\"Interval\"=dword:00000064", "\"Fontname\"=\"Tahoma\""});
        Fenster f;
        QVERIFY(f.Start());
        f->SuchRegister->setCurrentIndex(1);
        f->move(30, 40);
        f->resize(520, 330);
        // while the window runs, the installer tool changes a value the window did not touch
        QVERIFY(RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, "Courier New",
                                 "Fontname"));
        QVERIFY(f->close());
        const QStringList names = Wertnamen(inst_->HiveBytes());
        // Only what the window changed is appended, in the order it is written; nothing else is written.
        QStringList appended = names.mid(names.indexOf("Fontname") + 1);
        QCOMPARE(appended, QStringList({"Section", "Part", "PX", "PY", "PW", "PH"}));
        QCOMPARE(EinstellungenLesen().Fontname, std::string("Courier New"));
        const Einstellungen e = EinstellungenLesen();
        QCOMPARE(e.Section, std::string("Englisch"));
        QCOMPARE(e.Part, 2);
        QCOMPARE(e.PW, 520);
        QCOMPARE(e.PH, 330);
        QCOMPARE(e.PX, 30);
        QCOMPARE(e.PV, 0);
        QCOMPARE(e.GLC, 'D');
        QCOMPARE(e.Interval, 100);
        QVERIFY(!Startzustand().fensterSichtbar);
    }

    void theExitNoticeCanKeepTheWindowOpen() {
        struct Hinweis : Optionen {
            bool Vorhanden() const override { return true; }
            bool SaveHinweis(TWBuchDialog&, bool& cancelled, bool& endCheck) override {
                ++shown;
                cancelled = cancel;
                endCheck = true;
                return true;
            }
            int shown = 0;
            bool cancel = true;
        };
        auto hinweis = std::make_shared<Hinweis>();
        Erweiterungen().optionen = hinweis;
        Installieren({"\"Save\"=dword:00000001"});
        Fenster f;
        QVERIFY(f.Start());
        const QByteArray before = inst_->HiveBytes();
        QVERIFY(!f->close());
        QVERIFY(f->isVisible());
        QCOMPARE(inst_->HiveBytes(), before);  // nothing saved
        QVERIFY(!f->Werte().Save);             // its check box stays in memory
        hinweis->cancel = false;
        QVERIFY(f->close());
        QCOMPARE(hinweis->shown, 1);           // "do not show again" took effect
        QVERIFY(!EinstellungenLesen().Save);
    }

    void messageDialogLayoutsAndResults() {
        TMeldungDialog d;
        Startzustand() = TStartzustand{};
        // Yes/no: "y", "j" and Return answer yes, "n" and Escape no.
        const std::vector<std::pair<int, int>> yesNo = {{Qt::Key_Y, 6}, {Qt::Key_J, 6}, {Qt::Key_Return, 6},
                                                        {Qt::Key_N, 2}, {Qt::Key_Escape, 2}, {Qt::Key_S, 6},
                                                        {Qt::Key_O, 6}};
        for (const auto& [key, result] : yesNo) {
            BeantworteMeldung(key);
            QCOMPARE(d.Meldungsfenster("Frage?", "Hinweis", 2, false, true), result);
        }
        QCOMPARE(d.Textfeld->height(), 30);
        QCOMPARE(d.height(), 110);
        QVERIFY(d.jabutton->isEnabled());
        QVERIFY(d.buttonbox->doppelt());
        QCOMPARE(d.Textfeld->alignment(), Qt::AlignLeft | Qt::AlignVCenter);

        // OK only: Return and Escape answer 2, "J" still 6.
        for (const auto& [key, result] : std::vector<std::pair<int, int>>{{Qt::Key_Return, 2}, {Qt::Key_Escape, 2}, {Qt::Key_J, 6}}) {
            BeantworteMeldung(key);
            QCOMPARE(d.Meldungsfenster("Es ist kein Wörterbuch installiert!", "Problem", 7, true, false), result);
        }
        QVERIFY(!d.jabutton->isEnabled());
        QCOMPARE(d.Textfeld->height(), 105);
        QCOMPARE(d.height(), 185);
        QCOMPARE(d.width(), 340);
        QCOMPARE(d.Textfeld->alignment(), Qt::AlignCenter);
        QCOMPARE(d.buttonbox->geometry(), QRect(340 - 193, 185 - 23, 193, 23));
        QCOMPARE(d.jabutton->pos(), QPoint(340 - 193 + 2, 185 - 23 + 2));
        QCOMPARE(d.neinbutton->pos(), QPoint(340 - 193 + 20, 185 - 23 + 2));
        QCOMPARE(d.windowTitle(), QString("Problem"));

        // Clicks on the strip: left half yes, right half no; in the OK layout the left half is empty.
        BeiModal([&d](QWidget*) { QTest::mouseClick(d.buttonbox, Qt::LeftButton, {}, QPoint(40, 10)); });
        QCOMPARE(d.Meldungsfenster("Frage?", "Hinweis", 1, true, true), 6);
        BeiModal([&d](QWidget*) { QTest::mouseClick(d.buttonbox, Qt::LeftButton, {}, QPoint(150, 10)); });
        QCOMPARE(d.Meldungsfenster("Frage?", "Hinweis", 1, true, true), 2);
        BeiModal([&d](QWidget*) {
            QTest::mouseClick(d.buttonbox, Qt::LeftButton, {}, QPoint(40, 10));  // nothing there
            QVERIFY(d.isVisible());
            QTest::mouseClick(d.buttonbox, Qt::LeftButton, {}, QPoint(150, 10));
        });
        QCOMPARE(d.Meldungsfenster("Hinweis", "Hinweis", 1, true, false), 2);

        // A text that the reserved line cannot hold at the dialog's font is not cut off.
        const QString zweimal = "Es sind keine zu sprechenden Wörterbucheinträge vorhanden. "
                                "Es sind keine zu sprechenden Wörterbucheinträge vorhanden.";
        BeantworteMeldung(Qt::Key_Escape);
        d.Meldungsfenster(zweimal, "Hinweis", 1, true, false);
        QVERIFY(d.Textfeld->height() >= 2 * d.Textfeld->fontMetrics().lineSpacing());
        QCOMPARE(d.height(), d.Textfeld->height() + 80);
        QCOMPARE(d.buttonbox->y(), d.height() - 23);

        // Long texts are cut at 255 characters.
        BeantworteMeldung(Qt::Key_Escape);
        d.Meldungsfenster(QString(300, 'x'), "t", 1, true, false);
        QCOMPARE(d.Textfeld->text().size(), 255);
    }

    // Each layout has only its own buttons: in the OK layout the yes carrier neither shows nor takes the
    // focus, and where the strip draws no button nothing else is drawn either; yes/no has both carriers.
    void messageDialogShowsOnlyTheButtonsOfItsLayout() {
        Startzustand() = TStartzustand{};
        TMeldungDialog d;
        for (bool yesNo : {false, true}) {
            QStringList focusable;
            QWidget* afterTab = nullptr;
            QImage picture;
            BeiModal([&](QWidget* w) {
                for (QPushButton* b : w->findChildren<QPushButton*>())
                    if (b->isVisible() && b->isEnabled() && (b->focusPolicy() & Qt::TabFocus)) focusable << b->objectName();
                picture = w->grab().toImage();
                QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
                afterTab = w->focusWidget();
                QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
            });
            d.Meldungsfenster("Hinweis", "Hinweis", 1, true, yesNo);
            focusable.sort();
            if (!yesNo) {
                QCOMPARE(focusable, QStringList{"neinbutton"});
                QCOMPARE(afterTab, d.neinbutton);
                // The strip's empty left half (its last row is the dialog's frame) shows the background.
                const QColor background = d.palette().color(QPalette::Window);
                const QRect left(d.buttonbox->x(), d.buttonbox->y(), d.buttonbox->width() / 2, d.buttonbox->height() - 1);
                int foreign = 0;
                for (int y = left.top(); y <= left.bottom(); ++y)
                    for (int x = left.left(); x <= left.right(); ++x)
                        if (picture.pixelColor(x, y) != background) ++foreign;
                QCOMPARE(foreign, 0);
            } else {
                QCOMPARE(focusable, QStringList({"jabutton", "neinbutton"}));
                QCOMPARE(afterTab, d.neinbutton);  // from yes to no
            }
        }
    }

    // Only the letters D and blank put the German accelerator on the second letter of the File menu; another
    // letter keeps the text as it is, also when it has no catalogue and the German text shows.
    void fileMenuAcceleratorFollowsTheDialogLetter() {
        for (const auto& [glc, title] : std::vector<std::pair<QString, QString>>{
                 {"X", "&Datei"}, {"", "D&atei"}, {"D", "D&atei"}, {"E", "&File"}}) {
            Installieren({"\"Seek\"=dword:00000001", "\"GLC\"=\"" + glc + "\""});
            Fenster f;
            QVERIFY(f.Start());
            QCOMPARE(f->MenueDatei->title(), title);
        }
        KatalogOeffnen('D');
    }

    // The multi-language layout starts under the built-in German and under every catalogue that is shipped:
    // the sections are found by their stored names, the tabs show the names in the dialog language.
    void multiLanguageLayoutStartsUnderEveryShippedCatalogue() {
        QStringList letters{"D"};
        const QDir data(QCoreApplication::applicationDirPath() + "/Data");
        for (const QString& file : data.entryList({"zanit_*.glc"})) letters << file.mid(6, 1);
        QVERIFY2(letters.size() > 1, "the catalogues must be built into Data/ next to the tests");
        for (const QString& letter : letters) {
            Installieren({"\"Seek\"=dword:00000001", "\"GLC\"=\"" + letter + "\""});
            Fenster f;
            QVERIFY2(f.Start({"newservice"}), qPrintable(letter));
            // Englisch (code 2) and Latein (code 6), less the mother tongue.
            std::vector<int> codes;
            for (int code : {2, 6})
                if (code != SprachcodeAusBuchstabe(letter.at(0).toLatin1())) codes.push_back(code);
            QCOMPARE(f->Woerterbuecher().Sprachcodes, codes);
            QCOMPARE(f->FremdspracheAktivLabel[0]->text(), ZuUnicode(Sprachcodename(codes[0])));
            QVERIFY(f->Daten().BuchDatei.Active());
            f.Tippen("gut");
            QTest::keyClick(f.Edit(), Qt::Key_Return);
            QVERIFY2(f.Liste()->count() == 1, qPrintable(letter));
        }
        KatalogOeffnen('D');
    }

    void messageDialogPlacementAndShape() {
        Startzustand() = TStartzustand{};
        TMeldungDialog d;
        QPoint pos;
        // Before the main window was shown: centred on the screen.
        BeiModal([&](QWidget* w) { pos = w->pos(); QTest::keyClick(w, Qt::Key_Escape); });
        d.Meldungsfenster("a", "b", 1, true, false);
        const Fensterrechteck screen = BildschirmRechteck();
        QCOMPARE(pos, QPoint(screen.left + (screen.width - 340) / 2, screen.top + (screen.height - 95) / 2));
        // Afterwards on the window rectangle cache.
        Startzustand().einmalGezeigt = true;
        Startzustand().fensterCache = {100, 50, 600, 435};
        BeiModal([&](QWidget* w) { pos = w->pos(); QTest::keyClick(w, Qt::Key_Escape); });
        d.Meldungsfenster("a", "b", 1, true, false);
        QCOMPARE(pos, QPoint(100 + (600 - 340) / 2, 50 + (435 - 95) / 2));
        // The lower-right corner is cut off diagonally by 21 pixels.
        QWidget w;
        DialogFormSetzen(&w, 378, 215);
        const QRegion mask = w.mask();
        QVERIFY(mask.contains(QPoint(0, 0)));
        QVERIFY(mask.contains(QPoint(377, 190)));
        QVERIFY(mask.contains(QPoint(350, 214)));
        QVERIFY(!mask.contains(QPoint(377, 213)));
        QVERIFY(!mask.contains(QPoint(370, 205)));
        // Captions of the seven button languages.
        QCOMPARE(ButtonText(1, true, true), QString("Yes"));
        QCOMPARE(ButtonText(3, true, true), QString("Sì"));
        QCOMPARE(ButtonText(5, false, true), QString("Nee"));
        QCOMPARE(ButtonText(6, false, true), QString("Nej"));
        QCOMPARE(ButtonText(4, true, false), QString("OK"));
        QCOMPARE(ButtonText(42, true, true), QString("Ja"));
    }

    void anUnhandledErrorIsLoggedWithARunningNumber() {
        QTemporaryDir dir;
        TWBApplication::SetzeLogordner(dir.path().toStdString());
        QTemporaryFile messages;
        QVERIFY(messages.open());
        qputenv("ZANIT_MELDUNGSPROTOKOLL", messages.fileName().toLocal8Bit());
        Ausnahmewerfer thrower;
        for (int i = 0; i < 2; ++i) {
            QEvent e(QEvent::User);
            QCoreApplication::sendEvent(&thrower, &e);  // the exception ends in the application, not here
        }
        qunsetenv("ZANIT_MELDUNGSPROTOKOLL");
        TWBApplication::SetzeLogordner({});
        QFile log(dir.filePath("WB.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QVERIFY(text.startsWith("zanit WB"));
        QCOMPARE(text.count("Tabelle kaputt"), 2);
        QVERIFY(text.contains(QRegularExpression("\n#1 \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d ")));
        QVERIFY(text.contains("\n#2 "));
        QCOMPARE(LetzteLaufnummer(text.toStdString()), 2);
        QVERIFY(messages.readAll().contains("Tabelle kaputt"));  // shown too
    }

    void logNumberingSurvivesMessagesThatLookLikeEntries() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        QCOMPARE(LogEintragSchreiben(folder, "E", "#99 fake\nzweite Zeile", 0), 1);
        QCOMPARE(LogEintragSchreiben(folder, "E", "x", 0), 2);
        QCOMPARE(LogEintragSchreiben("/nonexistent/folder", "E", "x", 0), 0);
        QCOMPARE(LetzteLaufnummer("#7 a\n#12 b\n#x\n  #40 c\n"), 12);
    }

    void unicodeEdge() {
        QCOMPARE(ZuCp1252(QString("Straße €5")), std::string("Stra\xDF" "e \x80" "5"));
        QCOMPARE(ZuCp1252(QString("日本")), std::string("??"));
        QCOMPARE(ZuCp1252(QString::fromUcs4(U"a\U0001F600b")), std::string("a?b"));  // one "?" per character
        QCOMPARE(ZuUnicode("\x80\x9F\xFC"), QString("€Ÿü"));
        for (int b = 1; b < 256; ++b) {
            const std::string one(1, static_cast<char>(b));
            QCOMPARE(ZuCp1252(ZuUnicode(one)), one);
        }
    }
};

int main(int argc, char** argv) {
    TWBApplication app(argc, argv);
    FensterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FensterTest.moc"
