// The skinned main window on a real display: painted from the skin lists the build draws (pixels of the
// grabbed window against the lists' own pixels), laid out at several sizes and held at its minimum sizes in
// both layouts, moved by its caption with real pointer events, and started with plain colours and a line
// in the log when "wbhi.bml" is damaged.
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/widgets/Erweiterungen.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Katalog.h"
#include "desktop/widgets/TSkinForm.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/TBildKnopf.h"
#include "ui/widgets/TBitmapListe.h"

using namespace zanit;
using namespace zanit::test;

namespace {

QRgb Pixel(const QImage& bild, int x, int y) { return bild.pixel(x, y) | 0xFF000000u; }

QRect Geo(const QWidget* w) { return w->geometry(); }

void Xdotool(const QStringList& args) {
    QCOMPARE(QProcess::execute("xdotool", args), 0);
    QTest::qWait(80);
}

void ZeigerNach(const QWidget* w, QPoint p) {
    const QPoint g = w->mapToGlobal(p);
    Xdotool({"mousemove", QString::number(g.x()), QString::number(g.y())});
}

}  // namespace

class SkinFensterTest : public QObject, TestMitInstallation {
    Q_OBJECT

    TBitmapListe liste_;
    QImage Bild(int i) { return liste_.Bild(i).toImage(); }
    QSize M(int i) { return liste_.Groesse(i); }

private slots:
    void initTestCase() {
        QString fehler;
        QVERIFY2(liste_.Laden(QCoreApplication::applicationDirPath() + "/wbhi.bml", &fehler), qPrintable(fehler));
        QCOMPARE(liste_.Anzahl(), 14);
    }

    void init() {
        Erweiterungen() = TErweiterungen{};
        Erweiterungen().skin = std::make_shared<TSkinErweiterung>();
        SkinZuruecksetzen();
        SetzeSkinProtokoll({});
        KatalogOeffnen('D');
        Installieren({"\"Seek\"=dword:00000001", "\"Section\"=\"Englisch\""});
    }

    void cleanup() { ModaleDialogePruefen(); }

    void frameCaptionAndMenuStripArePaintedFromTheSkin() {
        Fenster f;
        QVERIFY(f.Start());
        QVERIFY(Skinzustand().geladen);
        QVERIFY(f->windowFlags() & Qt::FramelessWindowHint);
        for (const QSize size : {QSize(700, 500), QSize(490, 245), QSize(911, 613)}) {
            f->resize(size);
            QTRY_COMPARE(f->size(), size);
            const QImage g = f->grab().toImage();
            const int w = size.width(), h = size.height();
            // Corners.
            QCOMPARE(Pixel(g, 1, 41), Pixel(Bild(3), 1, 1));
            QCOMPARE(Pixel(g, w - 1, 41), Pixel(Bild(5), M(5).width() - 1, 1));
            QCOMPARE(Pixel(g, 1, h - 1), Pixel(Bild(6), 1, M(6).height() - 1));
            QCOMPARE(Pixel(g, w - 1, h - 1), Pixel(Bild(8), M(8).width() - 1, M(8).height() - 1));
            // Edge tiles, repeated from their start.
            for (int y = 40 + M(3).height() + 1; y < h - M(6).height(); y += 13) {
                QCOMPARE(Pixel(g, 0, y), Pixel(Bild(9), 0, (y - 40) % M(9).height()));
                QCOMPARE(Pixel(g, w - 1, y), Pixel(Bild(10), M(10).width() - 1, (y - 40) % M(10).height()));
            }
            for (int x = M(6).width(); x < w - M(8).width(); x += 11) {
                QCOMPARE(Pixel(g, x, h - 1), Pixel(Bild(7), (x - M(6).width()) % M(7).width(), M(7).height() - 1));
                QCOMPARE(Pixel(g, x, 41), Pixel(Bild(4), (x - M(3).width()) % M(4).width(), 1));
            }
            // The menu strip's right cap and the caption's close button.
            QCOMPARE(Pixel(g, w - 2, 20 + 3), Pixel(Bild(13), M(13).width() - 2, 3));
            QCOMPARE(Pixel(g, w - 5, 1), Pixel(Bild(1), M(1).width() - 1, 1));
        }
    }

    void classicLayoutAtThreeSizesAndItsMinimum() {
        Fenster f;
        QVERIFY(f.Start());
        for (const QSize size : {QSize(600, 435), QSize(800, 600), QSize(1100, 700)}) {
            f->resize(size);
            QTRY_COMPARE(f->size(), size);
            const int cw = size.width(), ch = size.height();
            QCOMPARE(Geo(f->Edge), QRect(20, 60, cw - 40, 68));
            QCOMPARE(Geo(f->Rahmen), QRect(20, 145, cw - 40, ch - 180));
            QCOMPARE(Geo(f->menupanel), QRect(0, 20, cw, 20));
            QCOMPARE(f->Trefferlabel->pos(), QPoint(20, 145 + ch - 180 + 7));
            QCOMPARE(f->FilterLabel->x() + f->FilterLabel->width(), 20 + cw - 40);
            QCOMPARE(f->FilterAnButton->x(), 20 + cw - 40 - 95);
            QCOMPARE(f->FilterAusButton->x(), f->FilterAnButton->x() + 46);
        }
        f->resize(300, 100);
        QTRY_COMPARE(f->size(), QSize(490, 245));
        QCOMPARE(Geo(f->Rahmen), QRect(20, 145, 450, 65));
    }

    void multiLanguageLayoutAtThreeSizesAndItsMinimum() {
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        const int l9 = M(9).width(), w10 = M(10).width(), h7 = M(7).height();
        for (const QSize size : {QSize(731, 450), QSize(900, 600), QSize(1200, 800)}) {
            f->resize(size);
            QTRY_COMPARE(f->size(), size);
            const int cw = size.width(), ch = size.height();
            QCOMPARE(f->MutterspracheImage->pos(), QPoint(l9 + 6, 50));
            const QRect mutter = Geo(f->MutterspracheImage);
            QCOMPARE(f->FremdspracheImage[0]->pos(), QPoint(mutter.right() + 1 + 5, 56));
            for (int k = 1; k < 5; ++k) {
                QCOMPARE(f->FremdspracheImage[k]->x(), Geo(f->FremdspracheImage[k - 1]).right() + 1 + 1);
                QCOMPARE(f->FremdspracheTab[k]->pos(), f->FremdspracheImage[k]->pos());
            }
            const QRect shape = Geo(f->HintergrundShape);
            QCOMPARE(shape.x(), mutter.x());
            QCOMPARE(shape.y(), mutter.y() + mutter.height() + 5);
            QCOMPARE(shape.width(), cw - l9 - w10 - 12);
            QCOMPARE(shape.height(), ch - shape.y() - h7 - 6);
            const QRect rahmen = Geo(f->Rahmen);
            QCOMPARE(rahmen.x(), shape.x() + 7);
            QCOMPARE(rahmen.height(), shape.y() + shape.height() - rahmen.y() - 75);
            QCOMPARE(f->UmkehrsucheMMButton->pos(), QPoint(rahmen.x() + rahmen.width() + 5, rahmen.y()));
            QCOMPARE(Geo(f->menupanel), QRect(0, 20, cw, 20));
        }
        f->resize(500, 300);
        QTRY_COMPARE(f->size(), QSize(731, 450));
        // The tabs show pictures: the inactive tab an icon, the active language its picture.
        QVERIFY(!f->FremdspracheTab[1]->icon().isNull());
        QCOMPARE(f->FremdspracheTab[1]->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(!f->FremdspracheImage[0]->pixmap().isNull());
        QVERIFY(!f->MutterspracheImage->pixmap().isNull());
    }

    void captionMovesTheWindowWithRealPointerEvents() {
        Fenster f;
        QVERIFY(f.Start());
        f->move(100, 100);
        QTRY_COMPARE(f->pos(), QPoint(100, 100));
        const QPoint start = f->mapToGlobal(QPoint(150, 10));
        const auto xdotool = [](const QStringList& args) {
            QCOMPARE(QProcess::execute("xdotool", args), 0);
            QTest::qWait(80);
        };
        xdotool({"mousemove", QString::number(start.x()), QString::number(start.y())});
        xdotool({"mousedown", "1"});
        xdotool({"mousemove", QString::number(start.x() + 30), QString::number(start.y() + 20)});
        xdotool({"mousemove", QString::number(start.x() + 60), QString::number(start.y() + 40)});
        xdotool({"mouseup", "1"});
        QTRY_COMPARE(f->pos(), QPoint(160, 140));
        // The right border resizes.
        const QPoint rand = f->mapToGlobal(QPoint(f->width() - 2, 200));
        const int breite = f->width();
        xdotool({"mousemove", QString::number(rand.x()), QString::number(rand.y())});
        xdotool({"mousedown", "1"});
        xdotool({"mousemove", QString::number(rand.x() + 50), QString::number(rand.y())});
        xdotool({"mouseup", "1"});
        QTRY_COMPARE(f->width(), breite + 50);
    }

    // A search direction button wears the faces of "Search.bml": normal, hot under the real pointer, pressed
    // while the button is held; once clicked it stands for the active direction and keeps the pressed face.
    void directionButtonShowsItsFacesUnderTheRealPointer() {
        TBitmapListe suche;
        QVERIFY(suche.Laden(QCoreApplication::applicationDirPath() + "/Search.bml"));
        Fenster f;
        QVERIFY(f.Start({"newservice"}));
        QPushButton* knopf = f->Suchsprache2Button;
        QCOMPARE(knopf->size(), suche.Groesse(0));
        const auto flaecheGleich = [&](int face) {
            const QImage g = knopf->grab().toImage();
            for (const QPoint p : {QPoint(4, 12), QPoint(knopf->width() - 5, 12), QPoint(knopf->width() / 2, 2)})
                if (Pixel(g, p.x(), p.y()) != Pixel(suche.Bild(face).toImage(), p.x(), p.y())) return false;
            return true;
        };
        ZeigerNach(&*f, QPoint(5, 45));
        QTRY_COMPARE(AngebrachteFlaeche(knopf), 0);
        QVERIFY(flaecheGleich(0));
        QVERIFY(!flaecheGleich(1) && !flaecheGleich(2));
        ZeigerNach(knopf, QPoint(10, 12));
        QTRY_COMPARE(AngebrachteFlaeche(knopf), 1);
        QVERIFY(flaecheGleich(1));
        Xdotool({"mousedown", "1"});
        QTRY_VERIFY(knopf->isDown());
        QCOMPARE(AngebrachteFlaeche(knopf), 2);
        QVERIFY(flaecheGleich(2));
        Xdotool({"mouseup", "1"});
        ZeigerNach(&*f, QPoint(5, 45));
        QTRY_COMPARE(AngebrachteFlaeche(f->Suchsprache1Button), 0);
        QCOMPARE(AngebrachteFlaeche(knopf), 2);
        QVERIFY(flaecheGleich(2));
        // The classic layout's faces are not worn in this layout; the filter's button is the filter's own.
        QCOMPARE(AngebrachteFlaeche(f->FilterMMButton), -1);
        QCOMPARE(AngebrachteFlaeche(f->UmkehrsucheMMButton), 9);
    }

    void classicButtonsWearTheGreyFaces() {
        Fenster f;
        QVERIFY(f.Start());
        for (QPushButton* b : {f->EingabeButton, f->WPlaybutton, f->Detailbutton})
            QCOMPARE(AngebrachteFlaeche(b), 0);
        QCOMPARE(AngebrachteFlaeche(f->FilterAnButton), -1);
    }

    void borderShowsResizePointers() {
        Fenster f;
        QVERIFY(f.Start());
        f->resize(600, 435);
        QTRY_COMPARE(f->size(), QSize(600, 435));
        const int w = f->width(), h = f->height();
        const std::pair<QPoint, Qt::CursorShape> zonen[] = {
            {{2, 200}, Qt::SizeHorCursor},         {{w - 2, 200}, Qt::SizeHorCursor},
            {{300, h - 2}, Qt::SizeVerCursor},     {{w - 2, h - 2}, Qt::SizeFDiagCursor},
            {{2, h - 2}, Qt::SizeBDiagCursor},     {{10, 140}, Qt::ArrowCursor},
        };
        for (const auto& [p, form] : zonen) {
            ZeigerNach(&*f, p);
            QTRY_COMPARE(f->cursor().shape(), form);
        }
    }

    void damagedSkinStartsWithPlainColoursAndALogLine() {
        QTemporaryDir ordner;
        QFile kaputt(ordner.filePath("wbhi.bml"));
        QVERIFY(kaputt.open(QIODevice::WriteOnly));
        kaputt.write("ZBML\x01");
        kaputt.close();
        Erweiterungen().skin = std::make_shared<TSkinErweiterung>(ordner.path());
        Fenster f;
        QVERIFY(f.Start());
        QVERIFY(f->isVisible());
        QVERIFY(!Skinzustand().geladen);
        QVERIFY(!(f->windowFlags() & Qt::FramelessWindowHint));
        QCOMPARE(Erweiterungen().skin->L9(), 0);
        QFile log(ordner.filePath("WB.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(log.readAll());
        QVERIFY2(text.contains("wbhi.bml") && text.contains("shorter than its header"), qPrintable(text));
    }
};

QTEST_MAIN(SkinFensterTest)
#include "SkinFensterTest.moc"
