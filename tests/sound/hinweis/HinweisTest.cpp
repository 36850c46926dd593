// The medium notice: Return repeats, Escape and the close spot ignore, the check box is offered only when
// asked for and its state comes back; an empty heading shows the not-found heading.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "base/Katalog.h"
#include "sound/widgets/CDHinweisDialog.h"

using namespace zanit;

namespace {

// Runs `action` on the notice once it is shown.
void Bei(std::function<void(TCDHinweisDialog*)> action) {
    QTimer::singleShot(50, [action] {
        auto* d = qobject_cast<TCDHinweisDialog*>(QApplication::activeModalWidget());
        if (!d) {
            if (auto* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        action(d);
    });
}

}  // namespace

class HinweisTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { KatalogOeffnen('D'); }

    void answersAndCheckBox() {
        TCDHinweis hinweis;
        bool angekreuzt = false;
        QString ueberschrift;
        bool sichtbar = true;
        Bei([&](TCDHinweisDialog* d) {
            ueberschrift = d->Ueberschrift->text();
            sichtbar = d->SprachCheck->isVisible();
            QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, Qt::Key_Escape);
        });
        QCOMPARE(hinweis.Zeige("", "Text", false, angekreuzt), 2);
        QCOMPARE(ueberschrift, QStringLiteral("Sprachausgabe nicht gefunden!"));
        QVERIFY(!sichtbar);
        QVERIFY(!angekreuzt);

        QString text;
        Bei([&](TCDHinweisDialog* d) {
            text = d->TextLabel->text();
            QVERIFY(d->SprachCheck->isVisible());
            QCOMPARE(d->SprachCheck->text(), QStringLiteral("Diesen Hinweis beim Programmstart nicht mehr anzeigen"));
            d->SprachCheck->setChecked(true);
            QVERIFY(d->OkButton->hasFocus());
            QTest::keyClick(d->OkButton, Qt::Key_Return);
        });
        QCOMPARE(hinweis.Zeige("Inaktuelle Sprachausgabe!", "Bitte \xE4ndern", true, angekreuzt), 1);
        QCOMPARE(text, QStringLiteral("Bitte ändern"));
        QVERIFY(angekreuzt);
    }
};

QTEST_MAIN(HinweisTest)
#include "HinweisTest.moc"
