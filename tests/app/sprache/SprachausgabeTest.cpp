// Speaking from the main window: F12, the speak button and the popup item play the marked entry's recordings
// from the registered sound table through Qt Multimedia into the null sink of the test environment, whose
// monitor is recorded; the messages of an empty list and of a list without marking; the speak button's state.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/widgets/Sprachanschluss.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "sound/Mitschnitt.h"
#include "sound/Tontabelle.h"
#include "sound/Wave.h"
#include "sound/widgets/CDHinweisDialog.h"

using namespace zanit;
using namespace zanit::test;

namespace {

// Recording n: a tone of its own pitch and length.
struct Ton {
    int nummer;
    double hz, sekunden;
};
const Ton kToene[] = {{1, 440, 0.5}, {2, 1000, 0.3}, {3, 700, 0.3}, {4, 440, 1.5}, {5, 1000, 0.3}};

// The speech output installed for one window, as the program does it.
class SprechFenster {
public:
    bool Start() {
        ModalAufsicht::Instanz();
        Startzustand() = TStartzustand{};
        daten_ = std::make_unique<TDatendialog>();
        sprache_ = std::make_unique<TSprachinstallation>(*daten_);
        w_ = std::make_unique<TWBuchDialog>(*daten_, QStringList{QStringLiteral("zanit-wb"), QStringLiteral("noinfo")});
        (*sprache_)->SetzeFenster(w_.get());
        const bool ok = w_->FormCreate();
        if (ok && w_->isVisible()) {
            w_->activateWindow();
            if (!QTest::qWaitForWindowActive(w_.get())) qWarning("window not active");
        }
        return ok;
    }
    ~SprechFenster() {
        if (w_) w_->hide();
        w_.reset();
        sprache_.reset();
        daten_.reset();
    }
    TWBuchDialog* operator->() const { return w_.get(); }
    TTonausgabe& Ton() const { return (**sprache_).Tonausgabe(); }
    void Suche(const QString& text) const {
        w_->SuchEdit->setFocus();
        w_->SuchEdit->setText(text);
        w_->MachSuche();
    }
    void Markiere(int zeile) const { w_->ErgebnisListe->setCurrentRow(zeile); }
    // F12 as the user presses it: at the control that has the focus.
    void F12() const {
        QWidget* ziel = QApplication::focusWidget();
        QTest::keyClick(ziel && ziel->window() == w_.get() ? ziel : w_->SuchEdit, Qt::Key_F12);
    }
    bool Vorbei() const { return Ton().Spielposition > Ton().Listenlaenge; }

private:
    std::unique_ptr<TDatendialog> daten_;
    std::unique_ptr<TSprachinstallation> sprache_;
    std::unique_ptr<TWBuchDialog> w_;
};

}  // namespace

class SprachausgabeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestInstallation> inst_;

    void Installieren(bool mitTon) {
        inst_ = std::make_unique<TestInstallation>(std::vector<QString>{
            "\"Seek\"=dword:00000000", "\"Section\"=\"Englisch\"", "\"Sound\"=dword:00000000"});
        std::vector<Woerterbucheintrag> e = {
            {"Haus", "house", 2, 0, 1}, {"Haus", "home", 2, 0, 2}, {"Hund", "dog", 2, 0, 3},
            {"Lauf", "run", 2, 0, 4},   {"Lauf", "race", 2, 0, 5},
        };
        const std::string dict = inst_->Pfad("DE_EN.DBF").toStdString();
        SchreibeWoerterbuch(dict, "Deutsch", "Englisch", e);
        std::vector<QString> werte = {"\"Dictionary\"=\"" + QString::fromStdString(dict) + "\"",
                                      "\"TextM\"=\"Deutsch\"", "\"TextF\"=\"Englisch\""};
        if (mitTon) {
            std::vector<Aufnahme> aufnahmen;
            for (const Ton& t : kToene)
                aufnahmen.push_back({t.nummer, ImaWaveBild(PcmAudio{1, kMitschnittRate, Sinuston(t.hz, t.sekunden)},
                                                           kWaveIma33)});
            const std::string ton = inst_->Pfad("TON_EN.DBF").toStdString();
            SchreibeTontabelle(ton, aufnahmen);
            werte.push_back("\"Sound\"=\"" + QString::fromStdString(ton) + "\"");
        }
        inst_->Abschnitt("Englisch", werte);
        inst_->Schreiben();
    }

private slots:
    void init() {
        Erweiterungen() = TErweiterungen{};
        KatalogOeffnen('D');
    }
    void cleanup() { ModaleDialogePruefen(); }

    void f12SpeaksTheMarkedEntryWordByWord() {
        Installieren(true);
        SprechFenster f;
        QVERIFY(f.Start());
        QVERIFY(f->WPlaybutton->isEnabled());
        QVERIFY(f->PopSprachausgabe->isEnabled());
        f.Suche("Haus");
        QCOMPARE(f->ErgebnisListe->count(), 1);
        f.Markiere(0);

        Mitschnitt mitschnitt(inst_->Pfad("f12.raw").toStdString());
        QVERIFY(mitschnitt.Bereit());
        f.F12();
        QTRY_VERIFY_WITH_TIMEOUT(f.Vorbei(), 8000);
        QTest::qWait(300);
        const std::vector<Tonstueck> s = Tonstuecke(mitschnitt.Beenden());
        QCOMPARE(s.size(), std::size_t(2));
        QVERIFY(std::abs(s[0].hz - 440) < 30);
        QVERIFY2(std::abs(s[0].sekunden - 0.5) < 0.07, qPrintable(QString::number(s[0].sekunden)));
        QVERIFY(std::abs(s[1].hz - 1000) < 60);
        QVERIFY2(std::abs(s[1].sekunden - 0.3) < 0.07, qPrintable(QString::number(s[1].sekunden)));
        // The search field has the focus again.
        QVERIFY(f->SuchEdit->hasFocus());
    }

    void aNewF12CutsTheSequenceOff() {
        Installieren(true);
        SprechFenster f;
        QVERIFY(f.Start());
        // Warm the output up: the first stream of a process takes a while to reach the server.
        f.Suche("Hund");
        f.Markiere(0);
        f.F12();
        QTRY_VERIFY_WITH_TIMEOUT(f.Vorbei(), 8000);

        Mitschnitt mitschnitt(inst_->Pfad("schnitt.raw").toStdString());
        QVERIFY(mitschnitt.Bereit());
        f.Suche("Lauf");
        f.Markiere(0);
        f->WPlaybutton->click();
        QTRY_VERIFY_WITH_TIMEOUT(mitschnitt.Hoerbar(), 5000);
        QTest::qWait(300);
        f.Suche("Hund");
        f.Markiere(0);
        f->PopSprachausgabe->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(f.Vorbei(), 8000);
        QTest::qWait(1500);
        const std::vector<Tonstueck> s = Tonstuecke(mitschnitt.Beenden());
        QCOMPARE(s.size(), std::size_t(2));
        QVERIFY(std::abs(s[0].hz - 440) < 30);
        QVERIFY2(s[0].sekunden < 0.9, qPrintable(QString::number(s[0].sekunden)));
        QVERIFY(std::abs(s[1].hz - 700) < 50);
    }

    void messagesForAnEmptyOrUnmarkedList() {
        Installieren(true);
        SprechFenster f;
        QVERIFY(f.Start());
        auto leer = BeantworteMeldung();
        f.F12();
        QTRY_VERIFY_WITH_TIMEOUT(leer->gesehen, 5000);
        QCOMPARE(leer->text, QStringLiteral("Es sind keine zu sprechenden Wörterbucheinträge vorhanden."));
        f.Suche("Haus");
        f->ErgebnisListe->setCurrentRow(-1);
        auto ohne = BeantworteMeldung();
        f.F12();
        QTRY_VERIFY_WITH_TIMEOUT(ohne->gesehen, 5000);
        QCOMPARE(ohne->text, QStringLiteral("Bitte wählen Sie zuerst einen zu sprechenden Wörterbucheintrag aus."));
    }

    void withoutSoundTableTheButtonIsOffAndF12Silent() {
        Installieren(false);
        SprechFenster f;
        QVERIFY(f.Start());  // "Sound" off: no notice at the first opening
        QVERIFY(!f->WPlaybutton->isEnabled());
        f.F12();  // not even the empty-list message
        QTest::qWait(200);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(SprachausgabeTest)
#include "SprachausgabeTest.moc"
