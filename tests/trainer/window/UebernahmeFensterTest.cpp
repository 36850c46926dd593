// The train-entry command in the real main window (multi-language layout, where its button lives): a real
// search, the marked hit, the transfer dialog with a new lesson through the name dialog, and the card that
// lands in the collection; the refusals and when the collection tree is built again.
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryFile>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/widgets/Erweiterungen.h"
#include "app/widgets/TrainerAnschluss.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "base/Utils.h"
#include "trainer/Sammlungsbau.h"
#include "trainer/Trainerumgebung.h"
#include "trainer/Uebertragung.h"
#include "trainer/widgets/WBLekname.h"
#include "trainer/widgets/WBSchreibschutzInfo.h"
#include "trainer/widgets/WBVerschieben.h"

using namespace zanit;
using namespace zanit::test;

namespace {

QTreeWidgetItem* Knoten(QTreeWidget* baum, const QString& text) {
    const auto treffer = baum->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return treffer.isEmpty() ? nullptr : treffer.first();
}

}  // namespace

class UebernahmeFensterTest : public QObject, TestMitInstallation {
    Q_OBJECT

private slots:
    void init() {
        Erweiterungen() = TErweiterungen{};
        anschluss_ = std::make_shared<TTrainerAnschluss>();
        Erweiterungen().trainer = anschluss_;
        KatalogOeffnen('D');
        Installieren({"\"Seek\"=dword:00000001", "\"Interval\"=dword:00000064"});
        protokoll_ = std::make_unique<QTemporaryFile>();
        QVERIFY(protokoll_->open());
        qputenv("ZANIT_MELDUNGSPROTOKOLL", protokoll_->fileName().toLocal8Bit());
    }

    void cleanup() {
        qunsetenv("ZANIT_MELDUNGSPROTOKOLL");
        ModaleDialogePruefen();
        anschluss_.reset();
        Erweiterungen() = TErweiterungen{};
    }

    void trainsTheMarkedHitIntoANewLesson() {
        const std::string voc = Trainer();
        NeueSammlung(voc, "ENGL", "Englisch", "Schule", "Grundwortschatz", {"Tiere", "Haus"});
        NeueSammlung(voc, "ENGB", "Englisch", "Beruf", "Im B\xFCro", {"Telefon"});
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        QVERIFY(f->UebernahmeMMButton->isEnabled());
        f.TippenUndWarten("Haus");
        QVERIFY(f.Liste()->count() > 0);
        f.Liste()->setCurrentRow(0);
        QCOMPARE(TErgebnisListe::Spalte(f.Zeile(0), 0), QString("Haus"));

        bool gesehen = false;
        BeiModal([&](QWidget* w) {
            auto* d = qobject_cast<TVerschiebenDialog*>(w);
            QVERIFY(d);
            gesehen = true;
            QCOMPARE(d->windowTitle(), QString("Übernehmen von Wörterbucheinträgen"));
            QTreeWidgetItem* wurzel = d->VerschiebenBaum->topLevelItem(0);
            QCOMPARE(wurzel->text(0), QString("Englisch"));
            QCOMPARE(wurzel->child(0)->text(0), QString("Beruf"));  // sorted
            QCOMPARE(wurzel->child(1)->text(0), QString("Schule"));
            d->VerschiebenBaum->setCurrentItem(wurzel->child(1));  // a group shows no lessons
            QCOMPARE(d->LektionenBox->count(), 0);
            d->VerschiebenBaum->setCurrentItem(Knoten(d->VerschiebenBaum, "Grundwortschatz"));
            QCOMPARE(d->LektionenBox->count(), 2);
            QCOMPARE(d->LektionenBox->currentRow(), 0);
            // A duplicate name first, then a new one.
            BeiModal([](QWidget* n) {
                auto* name = qobject_cast<TLekNameDialog*>(n);
                QVERIFY(name);
                QCOMPARE(name->windowTitle(), QString("Lektion"));
                name->NameEdit->setText(" Tiere ");
                BeiModal([](QWidget* n2) {
                    auto* again = qobject_cast<TLekNameDialog*>(n2);
                    QVERIFY(again);
                    QCOMPARE(again->NameEdit->selectedText(), QString(" Tiere "));
                    again->NameEdit->setText("Garten");
                    again->OkButton->click();
                });
                name->OkButton->click();
            });
            d->NeuButton->click();
            QCOMPARE(d->LektionenBox->count(), 3);
            QCOMPARE(d->LektionenBox->currentItem()->text(), QString("Garten"));
            QCOMPARE(d->LektionenBox->currentItem()->data(TVerschiebenDialog::kNummerRolle).toInt(), 3);
            d->OkButton->click();
        });
        f->UebernahmeMMButton->click();
        QVERIFY(gesehen);
        QCOMPARE(Meldungen(), QStringList{"Hinweis\tEine Lektion mit diesem Namen ist in der Vokabelsammlung bereits vorhanden."});

        TSammlung s;
        s.Waehlen(voc, "ENGL");
        QCOMPARE(s.liste.size(), std::size_t(3));
        QCOMPARE(s.plaetze[3].kasten[0], 1LL);
        QCOMPARE(s.kopf.NaechsteNummer(), 2);
        xbase::Table t;
        t.SetFileName(voc + "ENGL.dbf");
        t.SetReadOnly(true);
        t.Open();
        QCOMPARE(t.RecCount(), 1u);
        t.First();
        QCOMPARE(QString::fromStdString(t.FieldByName("S1").AsString()), QString("Haus"));
        QCOMPARE(QString::fromStdString(t.FieldByName("S2").AsString()), TErgebnisListe::Spalte(f.Zeile(0), 1).trimmed());
        QCOMPARE(t.FieldByName("LEK").AsInteger(), 3LL);
        QCOMPARE(t.FieldByName("ART").AsInteger(), static_cast<long long>(f.Liste()->Code(0) & 0xFF));
        QCOMPARE(QString::fromStdString(t.FieldByName("SI1").AsString()), QString("HAUS"));

        // The tree is kept with its selection; the protected notice keeps the dialog open.
        BeiModal([](QWidget* w) {
            auto* d = qobject_cast<TVerschiebenDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->VerschiebenBaum->currentItem()->text(0), QString("Grundwortschatz"));
            d->AbbrechenButton->click();
        });
        f->UebernahmeMMButton->click();
    }

    void withoutTrainerEveryPathShowsTheSameProblem() {
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        f.TippenUndWarten("Haus");
        f->UebernahmeMMButton->click();
        f->PopUebernehmen->trigger();
        const QString text = "Problem\tAuf diesem Rechner wurde kein korrekt installierter zanit-Trainer entdeckt. "
                             "Bitte installieren Sie die Trainersoftware ggf. neu.";
        QCOMPARE(Meldungen(), (QStringList{text, text}));
    }

    void refusalsBeforeTheDialogAndTheRememberedMissingCollection() {
        const std::string voc = Trainer();
        NeueSammlung(voc, "LAT", "Latein", "Schule", "Latein 1", {"Lectio I"});
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        f->UebernahmeMMButton->click();  // nothing listed yet
        QCOMPARE(Meldungen().value(0).section('\t', 1),
                 QString("Es werden noch keine Wörterbucheinträge angezeigt, die in eine Vokabelsammlung übernommen werden könnten."));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Edit()));
        f.TippenUndWarten("Haus");
        f.Liste()->setCurrentRow(-1);
        f->UebernahmeMMButton->click();
        QCOMPARE(Meldungen().value(1).section('\t', 1), QString("Bitte wählen Sie zuerst einen der angezeigten Wörterbucheinträge aus."));
        f.Liste()->setCurrentRow(0);
        const QString keine = "Hinweis\tEs liegt keine Vokabelsammlung mit der korrekten Mutter- und Fremdsprache vor.";
        f->UebernahmeMMButton->click();
        QCOMPARE(Meldungen().value(2), keine);
        QVERIFY(!anschluss_->Uebernahme().SammlungenMoeglich());
        // An English collection made now is not seen until another dictionary opens.
        NeueSammlung(voc, "ENGL", "Englisch", "Schule", "Englisch 1", {"Eins"});
        f->UebernahmeMMButton->click();
        QCOMPARE(Meldungen().value(3), keine);
        QCOMPARE(Meldungen().size(), 4);
        // The Latin tab lists the Latin collections.
        f->FremdspracheTab[1]->click();
        QVERIFY(anschluss_->Uebernahme().SammlungenMoeglich());
        f.Edit()->clear();
        f.TippenUndWarten("Haus");
        f.Liste()->setCurrentRow(0);
        bool gesehen = false;
        BeiModal([&](QWidget* w) {
            auto* d = qobject_cast<TVerschiebenDialog*>(w);
            QVERIFY(d);
            gesehen = true;
            QCOMPARE(d->VerschiebenBaum->topLevelItem(0)->text(0), QString("Latein"));
            d->VerschiebenBaum->setCurrentItem(Knoten(d->VerschiebenBaum, "Schule"));
            d->OkButton->click();  // a group: no lesson marked
            d->AbbrechenButton->click();
        });
        f->UebernahmeMMButton->click();
        QVERIFY(gesehen);
        QCOMPARE(Meldungen().value(4).section('\t', 1),
                 QString("Bitte wählen Sie eine Vokabelsammlung aus, in die die markierten Vokabeln kopiert werden sollen."));
    }

    void aProtectedCollectionShowsTheNoticeAndAnOutdatedOneIsRefused() {
        const std::string voc = Trainer();
        TNeueSammlung n;
        n.datei = "GESCH";
        n.sprache = "Englisch";
        n.gruppe = "Schule";
        n.text = "Gesch\xFCtzt";
        n.lektionen = {"Eins"};
        n.schreibschutz = true;
        n.schutzbenutzer = 7;
        LegeSammlungAn(voc, n);
        NeueSammlung(voc, "ENGL", "Englisch", "Schule", "Frei", {"Eins"}, 0);  // outdated format
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        f.TippenUndWarten("Haus");
        f.Liste()->setCurrentRow(0);
        bool hinweis = false;
        BeiModal([&](QWidget* w) {
            auto* d = qobject_cast<TVerschiebenDialog*>(w);
            QVERIFY(d);
            d->VerschiebenBaum->setCurrentItem(Knoten(d->VerschiebenBaum, "Geschützt"));
            BeiModal([&](QWidget* info) {
                auto* s = qobject_cast<TSchreibschutzInfoDialog*>(info);
                QVERIFY(s);
                hinweis = s->Ueberschrift->text() == "Diese Sammlung ist schreibgeschützt!" &&
                          s->Text2Label->text().endsWith("\"Abbrechen\".");
                s->OkButton->click();
            });
            d->OkButton->click();
            QVERIFY(d->isVisible());
            d->VerschiebenBaum->setCurrentItem(Knoten(d->VerschiebenBaum, "Frei"));
            d->OkButton->click();
        });
        f->UebernahmeMMButton->click();
        QVERIFY(hinweis);
        QCOMPARE(Meldungen().value(0).section('\t', 1),
                 QString("Das Format dieser Vokabelsammlung ist nicht auf dem neuesten Stand. Der Wörterbucheintrag kann daher nicht übernommen werden."));
    }

private:
    // A trainer installation beside the test's dictionaries, registered under the trainer key.
    std::string Trainer() {
        const std::string dir = inst_->Pfad("Trainer").toStdString();
        const std::string voc = LegeTrainerAn(dir) + "/";
        RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, "Vocabulary", dir, "Program");
        return voc;
    }
    QStringList Meldungen() const {
        QFile f(protokoll_->fileName());
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
        QStringList zeilen = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        return zeilen;
    }

    std::shared_ptr<TTrainerAnschluss> anschluss_;
    std::unique_ptr<QTemporaryFile> protokoll_;
};

QTEST_MAIN(UebernahmeFensterTest)
#include "UebernahmeFensterTest.moc"
