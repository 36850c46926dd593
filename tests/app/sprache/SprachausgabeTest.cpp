// Speaking from the main window: F12, the speak button and the popup item play the marked entry's recordings
// from the registered sound table through Qt Multimedia into the null sink of the test environment, whose
// monitor is recorded; the messages of an empty list and of a list without marking; the speak button's state;
// the multi-language layout's two speak buttons, clicked with the real pointer.
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "app/widgets/Darstellungsanschluss.h"
#include "app/widgets/Sprachanschluss.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "presentation/widgets/WBAnzeigeDialog.h"
#include "search/widgets/ErgebnisListe.h"
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
// The mother tongue's recording of "Haus".
const Ton kHaus = {6, 300, 0.4};

// The speech output installed for one window, as the program does it.
class SprechFenster {
public:
    bool Start(const QStringList& args = {}) {
        ModalAufsicht::Instanz();
        Startzustand() = TStartzustand{};
        daten_ = std::make_unique<TDatendialog>();
        sprache_ = std::make_unique<TSprachinstallation>(*daten_);
        w_ = std::make_unique<TWBuchDialog>(
            *daten_, QStringList{QStringLiteral("zanit-wb"), QStringLiteral("noinfo")} + args);
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
        w_->AktivesSuchfeld()->setFocus();
        w_->AktivesSuchfeld()->setText(text);
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

    void Installieren(bool mitTon, bool mitMutterton = false) {
        inst_ = std::make_unique<TestInstallation>(std::vector<QString>{
            "\"Seek\"=dword:00000000", "\"Section\"=\"Englisch\"", "\"Sound\"=dword:00000000"});
        std::vector<Woerterbucheintrag> e = {
            {"Haus", "house", 2, kHaus.nummer, 1}, {"Haus", "home", 2, kHaus.nummer, 2}, {"Hund", "dog", 2, 0, 3},
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
        if (mitMutterton) {
            const std::string ton = inst_->Pfad("TON_DE.DBF").toStdString();
            SchreibeTontabelle(ton, {{kHaus.nummer, ImaWaveBild(PcmAudio{1, kMitschnittRate,
                                                                         Sinuston(kHaus.hz, kHaus.sekunden)},
                                                                kWaveIma33)}});
            werte.push_back("\"SoundM\"=\"" + QString::fromStdString(ton) + "\"");
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

    // The multi-language layout: the first button speaks the left hit-list column, the second the right one;
    // both are enabled, their hints name the columns, and a direction change swaps their sides.
    void multiLanguageSoundButtonsSpeakTheirColumns() {
        Installieren(true, true);
        SprechFenster f;
        QVERIFY(f.Start({"newservice"}));
        QVERIFY(Startzustand().mehrsprachig);
        QVERIFY(!f->WPlaybutton->isVisible());
        for (QPushButton* b : {f->Sound1MMButton, f->Sound2MMButton}) QVERIFY(b->isVisible() && b->isEnabled());
        f.Suche("Haus");
        QCOMPARE(f->ErgebnisListe->count(), 1);
        f.Markiere(0);
        const QString links = f->ErgebnisListe->Kopftext(0), rechts = f->ErgebnisListe->Kopftext(1);
        QVERIFY2(links.contains("Deutsch") && rechts.contains("Englisch"), qPrintable(links + " / " + rechts));
        QCOMPARE(f->Sound1MMButton->toolTip(), "Sprachausgabe " + links);
        QCOMPARE(f->Sound2MMButton->toolTip(), "Sprachausgabe " + rechts);

        const auto klicken = [](QWidget* knopf) {
            const QPoint g = knopf->mapToGlobal(knopf->rect().center());
            QCOMPARE(QProcess::execute("xdotool", {"mousemove", QString::number(g.x()), QString::number(g.y()),
                                                   "click", "1"}),
                     0);
        };
        {
            Mitschnitt mitschnitt(inst_->Pfad("rechts.raw").toStdString());
            QVERIFY(mitschnitt.Bereit());
            klicken(f->Sound2MMButton);
            QTRY_VERIFY_WITH_TIMEOUT(f.Ton().Tonnummern[0] == 1 && f.Ton().Spielposition > 0, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(f.Vorbei(), 8000);
            QTest::qWait(300);
            const std::vector<Tonstueck> s = Tonstuecke(mitschnitt.Beenden());
            QCOMPARE(s.size(), std::size_t(2));  // "house", "home"
            QVERIFY(std::abs(s[0].hz - 440) < 30);
            QVERIFY(std::abs(s[1].hz - 1000) < 60);
        }
        {
            Mitschnitt mitschnitt(inst_->Pfad("links.raw").toStdString());
            QVERIFY(mitschnitt.Bereit());
            klicken(f->Sound1MMButton);
            // The click arrives through the X server: wait for the new sequence before waiting for its end.
            QTRY_VERIFY_WITH_TIMEOUT(f.Ton().Tonnummern[0] == kHaus.nummer && f.Ton().Spielposition > 0, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(f.Vorbei(), 8000);
            QTest::qWait(300);
            const std::vector<Tonstueck> s = Tonstuecke(mitschnitt.Beenden());
            QCOMPARE(s.size(), std::size_t(1));  // "Haus", once for both lines' words
            QVERIFY2(std::abs(s[0].hz - kHaus.hz) < 30, qPrintable(QString::number(s[0].hz)));
            QVERIFY2(std::abs(s[0].sekunden - kHaus.sekunden) < 0.07, qPrintable(QString::number(s[0].sekunden)));
        }
        // The other direction: the first button now speaks the foreign side, with the hints following.
        f->Suchsprache2Button->click();
        QCOMPARE(f->Sound1MMButton->property("Tag").toInt(), 2);
        QCOMPARE(f->Sound2MMButton->property("Tag").toInt(), 1);
        QCOMPARE(f->Sound1MMButton->toolTip(), "Sprachausgabe " + f->ErgebnisListe->Kopftext(0));
        QVERIFY(f->ErgebnisListe->Kopftext(0).contains("Englisch"));
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

    // In search direction 2 the details dialog speaks the foreign back-translations of the marked reverse
    // line, each in turn.
    void detailsDialogSpeaksTheBackTranslationsOneAfterTheOther() {
        Installieren(true);
        DarstellungEinsetzen();
        SprechFenster f;
        QVERIFY(f.Start());
        f->SuchRegister->setCurrentIndex(1);
        f.Suche("house");
        QCOMPARE(f->ErgebnisListe->Zeile(0), QString("house|Haus|Substantiv"));
        f.Markiere(0);
        Mitschnitt mitschnitt(inst_->Pfad("details.raw").toStdString());
        QVERIFY(mitschnitt.Bereit());
        bool gesprochen = false;
        BeiModal([&f, &gesprochen](QWidget* w) {
            auto* d = qobject_cast<TWBAnzeigeDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->GegenListe->count(), 1);
            QCOMPARE(d->GegenListe->Zeile(0), QString("Haus|house, home"));
            QVERIFY(d->Playbutton->isEnabled());
            // The dialog's keys act once it is the active window, which the X server grants a moment after showing.
            QVERIFY(WarteBisAktiv(d));
            QTest::keyClick(d->GegenListe, Qt::Key_F12);  // the only line needs no marking
            QTRY_VERIFY_WITH_TIMEOUT(f.Vorbei(), 8000);
            gesprochen = true;
            d->OkButton->click();
        });
        f->Detailbutton->click();
        QVERIFY(gesprochen);
        QTest::qWait(300);
        const std::vector<Tonstueck> s = Tonstuecke(mitschnitt.Beenden());
        QCOMPARE(s.size(), std::size_t(2));
        QVERIFY(std::abs(s[0].hz - 440) < 30);
        QVERIFY(std::abs(s[1].hz - 1000) < 60);
    }
};

QTEST_MAIN(SprachausgabeTest)
#include "SprachausgabeTest.moc"
