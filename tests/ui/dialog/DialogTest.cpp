// The dialog base on a real display: bitmap lists load with their double-size images or are refused with a
// logged reason; the painted frame and title bar match the skin's pixels; the close and help spots act; a
// drag by a free spot with real pointer events moves the window; the message dialog and the dictionary
// selection use the base.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "base/Startzustand.h"
#include "data/widgets/WBAuswahlDialog.h"
#include "ui/Skinmass.h"
#include "ui/dialog/TestSkin.h"
#include "ui/widgets/MeldungDialog.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/TBildKnopf.h"
#include "ui/widgets/TButtonLeiste.h"
#include "ui/widgets/TKante.h"
#include "ui/widgets/TOwnFenster.h"

using namespace zanit;
using namespace zanit::test;

namespace {

// Closes a modal dialog that a test failed to close, so that a failure never hangs the run.
void Notbremse(QDialog* d, bool* gebremst) {
    QTimer::singleShot(8000, d, [d, gebremst] {
        if (d->isVisible()) {
            *gebremst = true;
            d->done(-1);
        }
    });
}

// Colours compared as plain RGB values (palette colours may carry another colour spec).
QRgb Pixel(const QImage& bild, int x, int y) { return bild.pixel(x, y) | 0xFF000000u; }
QRgb Rgb(const QColor& c) { return c.rgb(); }

}  // namespace

class DialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir ordner_;
    QStringList protokoll_;

    void SkinLaden(bool doppelt = true) {
        SkinZuruecksetzen();
        Schreiben(ordner_.filePath("wbhi.bml"), Musterliste(Skingroessen(), doppelt));
        QVERIFY(LadeSkin(ordner_.path(), 1, 24, false));
    }

private slots:
    void init() {
        Startzustand() = TStartzustand{};
        protokoll_.clear();
        SetzeSkinProtokoll([this](const QString& s) { protokoll_ << s; });
        SkinZuruecksetzen();
    }

    void cleanup() { TOwnFenster::SetzeHilfeaufruf({}); }

    void listsLoadWithTheirDoubleSizeImages() {
        TBitmapListe liste;
        QString fehler;
        QVERIFY2(liste.LadenAusDaten(Musterliste({{30, 10}, {5, 7}}), &fehler), qPrintable(fehler));
        QCOMPARE(liste.Anzahl(), 2);
        QCOMPARE(liste.Groesse(1), QSize(5, 7));
        QCOMPARE(liste.Bild(1).size(), QSize(5, 7));
        const QPixmap scharf = liste.Bild(1, 2.0);
        QCOMPARE(scharf.size(), QSize(10, 14));
        QCOMPARE(scharf.devicePixelRatio(), 2.0);
        QCOMPARE(Pixel(scharf.toImage(), 9, 13), Musterfarbe2x(1, 9, 13));
        QVERIFY(liste.Bild(5).isNull());
        QVERIFY(!liste.Hat(-1));

        // Without a double-size image the scale-1 image serves every ratio.
        QVERIFY(liste.LadenAusDaten(Musterliste({{30, 10}}, false)));
        QCOMPARE(liste.Bild(0, 2.0).size(), QSize(30, 10));
    }

    void damagedPngDataIsRefused() {
        // A correct header over a broken image: the container is sound, the picture is not.
        std::vector<BmlBild> bilder(1);
        bilder[0].breite = 4;
        bilder[0].hoehe = 4;
        bilder[0].png = Png(Musterbild(0, 4, 4));
        bilder[0].png.resize(40);
        TBitmapListe liste;
        QString fehler;
        QVERIFY(!liste.LadenAusDaten(QByteArray::fromStdString(BitmaplisteSchreiben(bilder)), &fehler));
        QCOMPARE(fehler, QString("image 0: PNG data damaged"));
        QCOMPARE(liste.Anzahl(), 0);
    }

    void skinFallsBackToPlainColoursAndLogs() {
        // Missing.
        QVERIFY(!LadeSkin(ordner_.path(), 1, 24, true));
        QVERIFY(!Skinzustand().geladen);
        QCOMPARE(protokoll_.size(), 2);  // wbhi.bml and, for the classic layout, wbbtnhi.bml
        QVERIFY(protokoll_[0].contains("wbhi.bml"));
        // Damaged.
        SkinZuruecksetzen();
        protokoll_.clear();
        Schreiben(ordner_.filePath("wbhi.bml"), QByteArray("ZBML\x01\x00\x05\x00 broken", 15));
        QVERIFY(!LadeSkin(ordner_.path(), 1, 24, false));
        QCOMPARE(protokoll_.size(), 1);
        QVERIFY2(protokoll_[0].contains("directory cut short"), qPrintable(protokoll_[0]));
        // Too few images for a frame.
        SkinZuruecksetzen();
        protokoll_.clear();
        Schreiben(ordner_.filePath("wbhi.bml"), Musterliste({{400, 20}}));
        QVERIFY(!LadeSkin(ordner_.path(), 1, 24, false));
        QVERIFY(protokoll_.value(0).contains("14 needed"));
        QCOMPARE(Skinzustand().Mass(9), QSize());
        // The dialog still paints, with the plain title bar.
        TOwnFenster d;
        d.resize(300, 120);
        const QImage bild = d.grab().toImage();
        QCOMPARE(Pixel(bild, 50, 6), qRgb(62, 84, 112));
    }

    void skinLoadsOnceForAColourSet() {
        SkinLaden();
        QCOMPARE(Skinzustand().geladenesFarbset, 1);
        QCOMPARE(Skinzustand().Mass(9), QSize(7, 32));
        QCOMPARE(Skinzustand().Mass(10), QSize(8, 32));
        QCOMPARE(Skinzustand().Mass(7), QSize(32, 9));
        QCOMPARE(Skinzustand().Menuefarbe12, QColor(96, 113, 147));
        QCOMPARE(Skinzustand().Titelfarbe, QColor(Qt::white));
        // Asking again for the same set does not read the files again.
        Schreiben(ordner_.filePath("wbhi.bml"), "garbage");
        QVERIFY(LadeSkin(ordner_.path(), 1, 24, false));
        QVERIFY(protokoll_.isEmpty());
        // A screen below 16 bits always gets the reduced set, whatever was asked for.
        Schreiben(ordner_.filePath("wbhi.bml"), Musterliste(Skingroessen()));
        QVERIFY(LadeSkin(ordner_.path(), 1, 8, false));
        QCOMPARE(Skinzustand().geladenesFarbset, kReduziertesFarbset);
    }

    void frameAndTitleBarMatchTheSkin() {
        SkinLaden();
        for (int tag : {99, 5}) {
            TOwnFenster d;
            d.SetzeTag(tag);
            d.setWindowTitle("Titel");
            d.resize(500, 200);
            const QImage bild = d.grab().toImage();
            const int w = 500, h = 200, wb = 400;
            const QPalette pal = d.palette();
            // Row 0 of the title bitmap at y 5: caps whole, middle repeated from source x 130.
            for (int x = 5; x < w - 5; ++x) {
                int quelle = 130 + (x - 135) % (wb - 260);
                if (x < 135) quelle = x - 5;
                else if (x >= w - 135) quelle = wb - 130 + (x - (w - 135));
                QCOMPARE(Pixel(bild, x, 5), Musterfarbe(0, quelle, 0));
            }
            // The right cap with its spots, below the caption's row.
            for (int y = 0; y < 20; ++y)
                QCOMPARE(Pixel(bild, w - 20, 5 + y), Musterfarbe(0, wb - 130 + 115, y));
            QCOMPARE(Pixel(bild, 0, 100), Rgb(pal.color(QPalette::Dark)));
            QCOMPARE(Pixel(bild, 2, 100), Rgb(pal.color(QPalette::Light)));
            QCOMPARE(Pixel(bild, w - 1, 100), Rgb(pal.color(QPalette::Shadow)));
            // Tag 99 frames the corner too; other dialogs leave it to the button box.
            const QRgb ecke = Pixel(bild, w - 1, h - 10);
            QCOMPARE(ecke, Rgb(tag == 99 ? pal.color(QPalette::Shadow) : pal.color(QPalette::Window)));
            QCOMPARE(Pixel(bild, 100, 25) == Rgb(pal.color(QPalette::Shadow)), tag == 99);
        }
    }

    void shapeIsCutOnShow() {
        TOwnFenster d;
        d.resize(378, 215);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QRegion mask = d.mask();
        QVERIFY(mask.contains(QPoint(377, 190)));
        QVERIFY(mask.contains(QPoint(350, 214)));
        QVERIFY(!mask.contains(QPoint(377, 213)));
        QVERIFY(!mask.contains(QPoint(370, 205)));
        d.hide();
    }

    void spotsCloseAndOpenHelp() {
        QList<int> themen;
        TOwnFenster::SetzeHilfeaufruf([&themen](int t) { themen << t; });
        TOwnFenster d;
        d.resize(340, 120);
        bool gebremst = false;
        Notbremse(&d, &gebremst);
        QTimer::singleShot(100, &d, [&d] {
            QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(d.width() - 28, 15));  // help
            QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(60, 15));               // free: nothing
            d.SetzeHilfekontext(310);
            QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(d.width() - 24, 24));  // help, its corner
            QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(d.width() - 15, 15));  // close
        });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QVERIFY(!gebremst);
        QCOMPARE(themen, QList<int>({9999, 310}));
    }

    void dragByAFreeSpotWithRealPointerEvents() {
        TOwnFenster d;
        QLabel* label = new QLabel("Text", &d);
        label->setGeometry(20, 40, 100, 20);
        d.resize(300, 150);
        d.move(200, 200);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTRY_COMPARE(d.pos(), QPoint(200, 200));
        const QPoint start = d.mapToGlobal(QPoint(40, 48));  // on the label: still a free spot
        const auto xdotool = [](const QStringList& args) {
            QCOMPARE(QProcess::execute("xdotool", args), 0);
            QTest::qWait(80);
        };
        xdotool({"mousemove", QString::number(start.x()), QString::number(start.y())});
        xdotool({"mousedown", "1"});
        xdotool({"mousemove", QString::number(start.x() + 40), QString::number(start.y() + 25)});
        xdotool({"mousemove", QString::number(start.x() + 70), QString::number(start.y() + 30)});
        xdotool({"mouseup", "1"});
        QTRY_COMPARE(d.pos(), QPoint(270, 230));
        QVERIFY(!d.Zieht());
        // After the release the pointer moves the window no more.
        xdotool({"mousemove", QString::number(start.x() + 120), QString::number(start.y() + 60)});
        QCOMPARE(d.pos(), QPoint(270, 230));
        // And the close spot closes it with a real click.
        const QPoint zu = d.mapToGlobal(QPoint(d.width() - 15, 15));
        xdotool({"mousemove", QString::number(zu.x()), QString::number(zu.y())});
        xdotool({"click", "1"});
        QTRY_VERIFY(!d.isVisible());
    }

    void messageDialogUsesTheBase() {
        SkinLaden();
        TMeldungDialog d;
        bool gebremst = false;
        Notbremse(&d, &gebremst);
        QImage bild;
        QTimer::singleShot(100, &d, [&d, &bild] {
            bild = d.grab().toImage();
            QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(d.width() - 15, 15));
        });
        QCOMPARE(d.Meldungsfenster("Frage?", "Hinweis", 1, true, true), kErgebnisNein);
        QVERIFY(!gebremst);
        QCOMPARE(Pixel(bild, 5, 5), Musterfarbe(0, 0, 0));
        QVERIFY(!d.mask().contains(QPoint(d.width() - 2, d.height() - 2)));
    }

    void selectionDialogAnswersThroughItsButtonBox() {
        TWBAuswahlDialog d;
        d.Fuellen({"Deutsch/Englisch", "Deutsch/Latein"}, 1);
        bool gebremst = false;
        Notbremse(&d, &gebremst);
        QTimer::singleShot(100, &d, [&d] {
            QCOMPARE(d.buttonbox->geometry(), QRect(d.width() - 193, d.height() - 23, 193, 23));
            QCOMPARE(d.buttonbox->knopflayout(), Knopflayout::OKAbbrechen);
            QTest::mouseClick(d.buttonbox, Qt::LeftButton, {}, QPoint(150, 10));
        });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QTimer::singleShot(100, &d, [&d] { QTest::mouseClick(d.buttonbox, Qt::LeftButton, {}, QPoint(40, 10)); });
        QCOMPARE(d.exec(), int(QDialog::Accepted));
        QCOMPARE(d.Markiert(), 1);
        QVERIFY(!gebremst);
        QCOMPARE(KnopfText(Knopflayout::OKAbbrechen, 1, false), QString("Cancel"));
        QCOMPARE(KnopfText(Knopflayout::Schliessen, 0, false), QString("Schließen"));
        QCOMPARE(KnopfText(Knopflayout::WiederholenIgnorieren, 6, true), QString("Försök igen"));
    }
    // Also run alone at a device pixel ratio of 2 (QT_SCALE_FACTOR=2): the title bar then comes from the
    // double-size image, pixel for pixel, so it stays sharp.
    void titleBarUsesTheImageForTheScreensDensity() {
        SkinLaden();
        TOwnFenster d;
        d.resize(400, 120);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const int s = qRound(d.devicePixelRatioF());
        const QImage bild = d.grab().toImage();
        QCOMPARE(bild.width(), 400 * s);
        QCOMPARE(s, qRound(qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble()));
        // Row 0 of the left cap at y 5, physical pixel for physical pixel.
        for (int x = 0; x < 130 * s; ++x)
            QCOMPARE(Pixel(bild, 5 * s + x, 5 * s), s == 1 ? Musterfarbe(0, x, 0) : Musterfarbe2x(0, x, 0));
        d.hide();
    }

    void pictureButtonShowsItsThreeFaces() {
        TBitmapListe liste;
        QVERIFY(liste.LadenAusDaten(Musterliste({{8, 8}, {96, 24}, {96, 24}, {96, 24}})));
        TBildKnopf k;
        k.resize(96, 24);
        QCOMPARE(k.Flaeche(), -1);
        QVERIFY(!k.grab().isNull());  // painted plain without a list
        k.SetzeBilder(&liste, 1, 2, 3);
        QCOMPARE(k.sizeHint(), QSize(96, 24));
        QCOMPARE(Pixel(k.grab().toImage(), 50, 3), Musterfarbe(1, 50, 3));
        QEnterEvent hinein(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&k, &hinein);
        QCOMPARE(k.Flaeche(), 2);
        QCOMPARE(Pixel(k.grab().toImage(), 50, 3), Musterfarbe(2, 50, 3));
        k.setDown(true);
        QCOMPARE(Pixel(k.grab().toImage(), 50, 3), Musterfarbe(3, 50, 3));
        k.setDown(false);
        QEvent hinaus(QEvent::Leave);
        QCoreApplication::sendEvent(&k, &hinaus);
        QCOMPARE(k.Flaeche(), 1);
        // An index the list does not hold falls back to the plain face instead of painting nothing.
        k.SetzeBilder(&liste, 9, 9, 9);
        QCOMPARE(k.Flaeche(), -1);
    }

    void recolouringReachesTheSimpleControls() {
        TOwnFenster d;
        auto* label = new QLabel("a", &d);
        auto* panel = new QFrame(&d);
        auto* gruppe = new QGroupBox(&d);
        auto* edit = new QTextEdit(&d);
        auto* knopf = new QPushButton(&d);
        auto* leiste = new TButtonLeiste(&d);
        auto* kante = new TKante(&d, Kantenart::Vertieft, Kantenart::Erhaben);
        kante->setGeometry(20, 40, 100, 50);
        d.resize(300, 200);
        const QImage vorher = d.grab().toImage();
        FaerbeDialog(&d);
        const QRgb farbe = qRgb(0xD7, 0xE1, 0xF0);
        for (QWidget* w : std::initializer_list<QWidget*>{&d, label, panel, gruppe, leiste}) {
            QCOMPARE(Rgb(w->palette().color(QPalette::Window)), farbe);
            QVERIFY(w->autoFillBackground());
        }
        QCOMPARE(Rgb(edit->palette().color(QPalette::Base)), farbe);
        QVERIFY(!knopf->autoFillBackground());
        // The drawn edge loses its outer line and keeps the inner one, also when recoloured again.
        FaerbeDialog(&d);
        QCOMPARE(kante->Aussen(), Kantenart::Keine);
        QCOMPARE(kante->Innen(), Kantenart::Erhaben);
        const QImage nachher = d.grab().toImage();
        const QRgb dunkel = Rgb(kante->palette().color(QPalette::Dark));
        const QRgb hell = Rgb(kante->palette().color(QPalette::Light));
        QCOMPARE(Pixel(vorher, 20 + 50, 40), dunkel);       // sunken outer line, top
        QCOMPARE(Pixel(vorher, 20 + 50, 41), hell);         // raised inner line, top
        QCOMPARE(Pixel(nachher, 20 + 50, 40), farbe);       // the form's colour where the outer line was
        QCOMPARE(Pixel(nachher, 20 + 50, 41), hell);
        QCOMPARE(Pixel(nachher, 20 + 99, 40 + 25), farbe);
        QCOMPARE(Pixel(nachher, 20 + 98, 40 + 25), dunkel);  // inner line, right
    }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
