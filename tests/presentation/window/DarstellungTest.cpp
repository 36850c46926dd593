// The part-of-speech filter, the details dialog of the reverse search and the copy commands on the real main
// window: a small test dictionary for the filter's rules and the long texts, the imported Ding word list for
// the reverse search, and a separate xclip process that reads what was copied.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "app/widgets/Anwendung.h"
#include "app/widgets/Darstellungsanschluss.h"
#include "app/widgets/Erweiterungen.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "data/Woerterbuecher.h"
#include "presentation/widgets/WAFilterDialog.h"
#include "presentation/widgets/WBAnzeigeDialog.h"

using namespace zanit;
using namespace zanit::test;

namespace {

// Chooses item `row` of the filter dialog and confirms with Return in the list; with `meldung` the message
// that follows is answered and recorded there.
void WaehleFilter(int row, std::shared_ptr<Meldung>* meldung = nullptr) {
    BeiModal([row, meldung](QWidget* w) {
        auto* d = qobject_cast<TWAFilterDialog*>(w);
        QVERIFY(d);
        d->Wortartcombo->setCurrentRow(row);
        if (meldung) *meldung = BeantworteMeldung();
        QTest::keyClick(d->Wortartcombo, Qt::Key_Return);
    });
}

// Answers the next message and records its text and its text field's height (15 pixels a line).
struct Antwort {
    bool gesehen = false;
    QString text;
    int hoehe = 0;
};
std::shared_ptr<Antwort> BeantworteMeldungMitHoehe() {
    auto a = std::make_shared<Antwort>();
    BeiModal([a](QWidget* w) {
        if (auto* m = qobject_cast<TMeldungDialog*>(w)) {
            a->gesehen = true;
            a->text = m->Textfeld->text();
            a->hoehe = m->Textfeld->height();
        }
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Return);
    });
    return a;
}

// The clipboard as another program reads it.
QString XclipAusgabe() {
    QProcess p;
    p.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!p.waitForStarted(5000)) return QStringLiteral("<xclip did not start>");
    // The event loop must run meanwhile: this process owns the clipboard and answers xclip's request.
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000) QTest::qWait(20);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList Zeilen(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

// The Ding word list imported once for all runs of this build.
QString DingTabelle() {
    const QString ordner = QStringLiteral(ZANIT_BINARY_DIR "/test-cache/ding");
    const QString tabelle = ordner + "/ENGLISCH.DBF";
    const QString quelle = QStringLiteral("/usr/share/trans/de-en");
    if (!QFileInfo::exists(quelle)) return {};
    QDir().mkpath(ordner);
    const QFileInfo t(tabelle), q(quelle), tool(QStringLiteral(ZANIT_IMPORT_TOOL));
    if (!t.exists() || t.lastModified() < q.lastModified() || t.lastModified() < tool.lastModified()) {
        QProcess p;
        p.start(QStringLiteral("flock"), {ordner + "/.lock", QStringLiteral(ZANIT_IMPORT_TOOL), "ding", quelle,
                                           "--textm", "Deutsch", "--textf", "Englisch", "--out", tabelle});
        if (!p.waitForFinished(300000) || p.exitCode() != 0) return {};
    }
    return tabelle;
}

}  // namespace

class DarstellungTest : public QObject, TestMitInstallation {
    Q_OBJECT

private slots:
    void initTestCase() { KatalogOeffnen('D'); }

    void init() {
        Erweiterungen() = TErweiterungen{};
        DarstellungEinsetzen();
        Installieren({"\"Seek\"=dword:00000001", "\"Interval\"=dword:00000064", "\"Sound\"=dword:00000000"});
    }

    void cleanup() { ModaleDialogePruefen(); }

    void filterOnARealSearch() {
        Fenster f;
        QVERIFY(f.Start());
        // At start: no filter, the clear button off; a click on the label of the empty list does nothing.
        QCOMPARE(f->FilterLabel->text(), QString("Wortartfilter: (keine Auswahl)"));
        QVERIFY(!f->FilterAusButton->isEnabled());
        QTest::mouseClick(f->FilterLabel, Qt::LeftButton);
        QTest::qWait(200);
        QVERIFY(!QApplication::activeModalWidget());

        f.Tippen("Haus");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        QCOMPARE(f.Liste()->count(), 4);
        QCOMPARE(f->Trefferlabel->text(), QString("5 Treffer in 4 Zeilen"));

        // Verb: only that part of speech is listed and counted.
        WaehleFilter(1);
        f->FilterAnButton->click();
        QCOMPARE(Zeilen(f.Liste()), QStringList{"hausen|to dwell|Verb"});
        QCOMPARE(f->Trefferlabel->text(), QString("1 Treffer in 1 Zeile"));
        QCOMPARE(f->FilterLabel->text(), QString("Wortartfilter: Verb"));
        QVERIFY(f->FilterAusButton->isEnabled());
        QCOMPARE(f.Edit()->text(), QString("Haus"));

        // A filter that matches nothing: an empty list, the message, the filter stays.
        std::shared_ptr<Meldung> meldung;
        WaehleFilter(3, &meldung);
        f->FilterAnButton->click();
        QVERIFY(meldung && meldung->gesehen);
        QCOMPARE(meldung->text,
                 QString("Die gewählte Selektion trifft auf keinen der angezeigten Wörterbucheinträge zu."));
        QCOMPARE(f.Liste()->count(), 0);
        QCOMPARE(f->FilterLabel->text(), QString("Wortartfilter: Adjektiv"));
        QVERIFY(f->FilterAusButton->isEnabled());
        QCOMPARE(f.Edit()->selectedText(), QString("Haus"));
        QCOMPARE(f->focusWidget(), static_cast<QWidget*>(f.Edit()));

        // "(kein Wortart-Filter)" ends the filter and searches again (incrementally: the label is kept).
        WaehleFilter(0);
        f->FilterAnButton->click();
        QCOMPARE(f.Liste()->count(), 4);
        QCOMPARE(f->FilterLabel->text(), QString("Wortartfilter: (keine Auswahl)"));
        QVERIFY(!f->FilterAusButton->isEnabled());
        QCOMPARE(Erweiterungen().filter->Filter(), 0);

        // Clearing searches in the mode of the last search and switches the clear button off.
        WaehleFilter(2);
        f->FilterAnButton->click();
        QCOMPARE(f.Liste()->count(), 3);
        f->FilterAusButton->click();
        QCOMPARE(f.Liste()->count(), 4);
        QCOMPARE(f->Trefferlabel->text(), QString("5 Treffer in 4 Zeilen"));
        QVERIFY(!f->FilterAusButton->isEnabled());
    }

    void filterDialogKeysCancelAndLife() {
        Fenster f;
        QVERIFY(f.Start());
        f.Tippen("Haus");
        QTest::keyClick(f.Edit(), Qt::Key_Return);

        // Ctrl+F2 in the list chooses "Substantiv" and confirms.
        BeiModal([](QWidget* w) {
            auto* d = qobject_cast<TWAFilterDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QString("Wortart-Filter"));
            QCOMPARE(d->Wortartcombo->count(), 12);
            QCOMPARE(d->Wortartcombo->item(0)->text(), QString("(kein Wortart-Filter)"));
            QCOMPARE(d->Wortartcombo->item(10)->text(), QString("Interjektion"));
            QCOMPARE(d->Wortartcombo->currentRow(), 0);
            QTest::keyClick(d->Wortartcombo, Qt::Key_F2, Qt::ControlModifier);
        });
        f->FilterAnButton->click();
        QCOMPARE(Erweiterungen().filter->Filter(), 2);
        QCOMPARE(f.Liste()->count(), 3);

        // Cancel changes nothing, whatever was chosen in the list.
        BeiModal([](QWidget* w) {
            auto* d = qobject_cast<TWAFilterDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->Wortartcombo->currentRow(), 2);
            d->Wortartcombo->setCurrentRow(1);
            QTest::keyClick(d->Wortartcombo, Qt::Key_Escape);
        });
        f->FilterAnButton->click();
        QCOMPARE(Erweiterungen().filter->Filter(), 2);
        QCOMPARE(f.Liste()->count(), 3);
        QCOMPARE(f->FilterLabel->text(), QString("Wortartfilter: Substantiv"));

        // The label of a list with lines opens the dialog in the classic layout.
        BeiModal([](QWidget* w) { QTest::keyClick(w->focusWidget(), Qt::Key_F1, Qt::ControlModifier); });
        QTest::mouseClick(f->FilterLabel, Qt::LeftButton);
        QCOMPARE(Erweiterungen().filter->Filter(), 1);
        QCOMPARE(Zeilen(f.Liste()), QStringList{"hausen|to dwell|Verb"});

        // The filter survives new searches and a change of direction.
        f.Edit()->clear();
        f.Tippen("laufen");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        QCOMPARE(Zeilen(f.Liste()), QStringList{"laufen|to run|Verb"});
        f.Edit()->setText("run");  // "run" is also a noun
        f->SuchRegister->setCurrentIndex(1);
        QCOMPARE(f->Suchrichtung(), 2);
        QCOMPARE(Erweiterungen().filter->Filter(), 1);
        QCOMPARE(Zeilen(f.Liste()), QStringList{"to run|laufen|Verb"});
    }

    void multiLanguageButtonTogglesAndANewLanguageEndsTheFilter() {
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        QCOMPARE(f->FilterMMButton->toolTip(), QString("Nur Einträge einer bestimmten Wortart anzeigen"));
        QCOMPARE(f->FilterMMButton->property("Flaeche").toInt(), 3);
        f.Tippen("Haus");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        WaehleFilter(1);
        f->FilterMMButton->click();
        QCOMPARE(f.Liste()->count(), 1);
        QCOMPARE(f->FilterMMButton->toolTip(), QString("Wortart-Filter aufheben"));
        QCOMPARE(f->FilterMMButton->property("Flaeche").toInt(), 6);
        // The button clears a set filter without the dialog; the label does the same.
        f->FilterMMButton->click();
        QCOMPARE(Erweiterungen().filter->Filter(), 0);
        QCOMPARE(f.Liste()->count(), 4);
        WaehleFilter(2);
        QTest::mouseClick(f->FilterLabel, Qt::LeftButton);
        QCOMPARE(Erweiterungen().filter->Filter(), 2);
        QTest::mouseClick(f->FilterLabel, Qt::LeftButton);
        QCOMPARE(Erweiterungen().filter->Filter(), 0);

        WaehleFilter(2);
        f->FilterMMButton->click();
        QCOMPARE(Erweiterungen().filter->Filter(), 2);
        f->FremdspracheTab[1]->click();
        QCOMPARE(Erweiterungen().filter->Filter(), 0);
        QCOMPARE(f->FilterLabel->text(), QString("Wortartfilter: (keine Auswahl)"));
    }

    void openRulesOfTheDetailsDialog() {
        Fenster f;
        QVERIFY(f.Start());
        // An empty list: 30106; several lines and none marked: 99011. Both in two lines.
        auto leer = BeantworteMeldungMitHoehe();
        f->Detailbutton->click();
        QVERIFY(leer->gesehen);
        QVERIFY(leer->text.startsWith("Bitte führen Sie zunächst eine Suche im Wörterbuch durch"));
        QVERIFY(leer->hoehe >= 30);  // two lines reserved; more when the stand-in font needs it
        f.Tippen("Haus");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        f.Liste()->setCurrentRow(-1);
        auto keine = BeantworteMeldungMitHoehe();
        f->Detailbutton->click();
        QCOMPARE(keine->text, QString("Bitte wählen Sie zuerst einen der angezeigten Wörterbucheinträge aus."));
        QVERIFY(keine->hoehe >= 30);
        QCOMPARE(f->focusWidget(), static_cast<QWidget*>(f.Edit()));

        // A one-line list needs no marking.
        f.Edit()->setText("Hund");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        f.Liste()->setCurrentRow(-1);
        bool gezeigt = false;
        BeiModal([&gezeigt](QWidget* w) {
            auto* d = qobject_cast<TWBAnzeigeDialog*>(w);
            QVERIFY(d);
            gezeigt = true;
            QCOMPARE(d->MutterLabel->text(), QString("Hund"));
            QCOMPARE(d->Wortartlabel->text(), QString("Substantiv"));
            QCOMPARE(Zeilen(d->GegenListe), QStringList{"dog|Hund"});
            d->OkButton->click();
        });
        f->Detailbutton->click();
        QVERIFY(gezeigt);
        QCOMPARE(f.Liste()->currentRow(), 0);
    }

    void detailsOnTheDingDictionary() {
        const QString ding = DingTabelle();
        QVERIFY2(!ding.isEmpty(), "the Ding word list (Debian package trans-de-en) could not be imported");
        inst_->Abschnitt("Ding", {"\"Dictionary\"=\"" + ding + "\"", "\"TextM\"=\"Deutsch\"",
                                  "\"TextF\"=\"Englisch\""});
        inst_->Einstellung("\"Section\"=\"Ding\"");
        inst_->Schreiben();
        Fenster f;
        QVERIFY(f.Start());
        QCOMPARE(f->Woerterbuecher().Abschnitt(), std::string("Ding"));
        f.Tippen("Haus");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        int zeile = -1;
        for (int i = 0; i < f.Liste()->count(); ++i)
            if (f.Zeile(i).startsWith("Haus|house, ") && f.Zeile(i).endsWith("|Substantiv")) zeile = i;
        QVERIFY2(zeile >= 0, qPrintable(Zeilen(f.Liste()).mid(0, 10).join('\n')));
        f.Liste()->setCurrentRow(zeile);
        const int breite = 594 - 4;

        QStringList gegen;
        BeiModal([&gegen, breite](QWidget* w) {
            auto* d = qobject_cast<TWBAnzeigeDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QString("Wörterbucheintrag"));
            QCOMPARE(d->MutterLabel->text(), QString("Haus"));
            QCOMPARE(d->MutterLabel->font().pointSize(), 11);
            QCOMPARE(d->Wortartlabel->text(), QString("Substantiv"));
            QCOMPARE(d->MutterspracheLabel->text().trimmed(), QString("Deutsch"));
            QCOMPARE(d->GegenListe->Kopftext(0), QString("Englisch"));
            QCOMPARE(d->GegenListe->Kopftext(1), QString("Deutsch"));
            QCOMPARE(d->GegenListe->Spaltenbreite(0), d->GegenListe->width() / 3);
            QCOMPARE(d->GegenListe->Spaltenbreite(1), d->GegenListe->width() - d->GegenListe->width() / 3 + 5);
            QVERIFY(d->GegenListe->width() <= breite);
            gegen = Zeilen(d->GegenListe);
            // The details of a line show its back-translations.
            const int h = gegen.indexOf(QRegularExpression("house\\|.*"));
            QVERIFY2(h >= 0, qPrintable(gegen.join('\n')));
            d->GegenListe->setCurrentRow(h);
            // The dialog's keys act once it is the active window, which the X server grants a moment after
            // showing; the answer to the details message is armed after that wait, so that it cannot take
            // this dialog for the message.
            QVERIFY(WarteBisAktiv(d));
            auto details = BeantworteMeldungMitHoehe();
            QTest::keyClick(d->GegenListe, Qt::Key_D, Qt::ControlModifier);
            QVERIFY(details->gesehen);
            QCOMPARE(details->text, gegen[h].mid(6).left(255));
            d->OkButton->click();
        });
        f->Detailbutton->click();
        // A line per translation of "Haus", each with the German words that translate back to it.
        QVERIFY2(gegen.size() >= 2, qPrintable(gegen.join('\n')));
        for (const QString& z : gegen) {
            const QStringList teile = z.split('|');
            QCOMPARE(teile.size(), 2);
            QVERIFY2(teile[1].split(", ").contains("Haus"), qPrintable(z));
        }
        QVERIFY(gegen.filter(QRegularExpression("^house\\|")).size() == 1);
        QVERIFY(gegen.filter(QRegularExpression("^home\\|")).size() == 1);
        QVERIFY2(gegen.filter(QRegularExpression("^house\\|")).first().split(", ").size() > 3,
                 qPrintable(gegen.join('\n')));
    }

    void longTextsAndTheClipboard() {
        // "Ding" and four words of 27 letters translate to "thing": 120 characters of back-translations. Six
        // translations of 49 letters make a translation column of 304 characters.
        std::vector<std::string> woerter, uebersetzungen;
        std::string rueck = "Ding", lang;
        for (int k = 0; k < 4; ++k) {
            woerter.push_back(std::string(27, static_cast<char>('b' + k)));
            rueck += ", " + woerter.back();
        }
        for (int k = 0; k < 6; ++k) {
            uebersetzungen.push_back(std::string(49, static_cast<char>('p' + k)));
            lang += (k ? ", " : "") + uebersetzungen.back();
        }
        std::vector<Paar> paare = {{"Ding", "thing", 2}, {"Größe", "größe €", 2}};
        for (const std::string& w : woerter) paare.push_back({w.c_str(), "thing", 2});
        for (const std::string& u : uebersetzungen) paare.push_back({"Lang", u.c_str(), 2});
        auto inst = std::make_unique<TestInstallation>(
            std::vector<QString>{"\"Seek\"=dword:00000001", "\"Sound\"=dword:00000000"});
        inst->Woerterbuch("Test", "TEST.DBF", "Deutsch", "Englisch", paare);
        inst->Schreiben();
        Fenster f;
        QVERIFY(f.Start());

        // The main window copies the marked hit's translation, cut to 255 characters.
        f.Tippen("Lang");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        QCOMPARE(f.Liste()->count(), 1);
        f->PopKopieren->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(lang.substr(0, 255)));
        QCOMPARE(XclipAusgabe(), QString::fromStdString(lang.substr(0, 255)));

        // Nothing marked: nothing copied.
        f.Liste()->setCurrentRow(-1);
        QGuiApplication::clipboard()->setText("vorher");
        f->PopKopieren->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("vorher"));

        // Umlauts and the euro sign reach other programs intact, also after the dialog closed.
        f.Edit()->setText("Größe");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        BeiModal([](QWidget* w) {
            auto* d = qobject_cast<TWBAnzeigeDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->GegenListe->count(), 1);
            d->PopKopieren->trigger();  // the only line needs no marking
            d->OkButton->click();
        });
        f->Detailbutton->click();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(XclipAusgabe(), QString("größe €"));

        // A back-translation text of 120 characters takes three lines.
        f.Edit()->setText("Ding");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        BeiModal([&rueck](QWidget* w) {
            auto* d = qobject_cast<TWBAnzeigeDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->GegenListe->count(), 1);
            const QString zeile = d->GegenListe->Zeile(0);
            QVERIFY(zeile.startsWith("thing|"));
            QStringList gesehen = zeile.mid(6).split(", "), erwartet = QString::fromStdString(rueck).split(", ");
            gesehen.sort();
            erwartet.sort();
            QCOMPARE(gesehen, erwartet);
            auto details = BeantworteMeldungMitHoehe();
            d->Detailbutton->click();
            QCOMPARE(details->text.size(), 120);
            QVERIFY(details->hoehe >= 45);
            d->OkButton->click();
        });
        f->Detailbutton->click();
    }

    void hitListPopupKeys() {
        Fenster f;
        QVERIFY(f.Start());
        QCOMPARE(f->PopUmkehrsuche->shortcut(), QKeySequence("Ctrl+U"));
        QCOMPARE(f->PopKopieren->shortcut(), QKeySequence("Ctrl+C"));
        QCOMPARE(f->PopSprachausgabe->shortcut(), QKeySequence("F12"));
        f.Tippen("Hund");
        QTest::keyClick(f.Edit(), Qt::Key_Return);
        QGuiApplication::clipboard()->setText("vorher");
        // In the search field Ctrl+C is the field's own copy.
        f.Edit()->selectAll();
        QTest::keyClick(f.Edit(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("Hund"));
        f.Liste()->setFocus();
        QTRY_VERIFY(f.Liste()->hasFocus());
        QTest::keyClick(f.Liste(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("dog"));
        bool gezeigt = false;
        BeiModal([&gezeigt](QWidget* w) {
            gezeigt = qobject_cast<TWBAnzeigeDialog*>(w) != nullptr;
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        });
        QTest::keyClick(f.Liste(), Qt::Key_U, Qt::ControlModifier);
        QVERIFY(gezeigt);
    }
};

int main(int argc, char** argv) {
    TWBApplication app(argc, argv);
    DarstellungTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DarstellungTest.moc"
