// The news picture window on the X server: its size and place, the areas from the area list over the picture,
// and which addresses a click hands to the desktop (recorded by URL handlers in place of a browser).
#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <fstream>

#include "base/Startzustand.h"
#include "online/widgets/Infobildfenster.h"

using namespace zanit;

class Empfaenger : public QObject {
    Q_OBJECT
public:
    QStringList geoeffnet;
public slots:
    void oeffne(const QUrl& url) { geoeffnet << url.toString(); }
};

const char* const kSchemata[] = {"http", "https", "mailto", "file", "javascript"};

class InfobildFensterTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(ordner_.isValid());
        // Every scheme an area might carry lands here instead of at a real program.
        for (const char* schema : kSchemata)
            QDesktopServices::setUrlHandler(QString::fromLatin1(schema), &empfaenger_, "oeffne");
    }

    void cleanupTestCase() {
        for (const char* schema : kSchemata) QDesktopServices::unsetUrlHandler(QString::fromLatin1(schema));
    }

    void PictureAreasAndPlace() {
        QImage bild(300, 200, QImage::Format_RGB32);
        bild.fill(Qt::darkCyan);
        QVERIFY(bild.save(Datei("INFO_W.JPG"), "JPG"));
        std::ofstream(Datei("INFO_W.DAT").toStdString())
            << "10,20,100,30,http://example.org/a,b,c\r\n"
               "120, 20, 50, 30 , https://example.org/s\n"
               "nur,drei,kommas,http://nie/\n"
               "10,60,50,20,mailto:news@example.org?subject=Neu\n"
               "70,60,50,20,file:///etc/passwd\n"
               "130,60,50,20,javascript:alert(1)\n"
               "190,60,50,20,http:///ohne-rechner\n"
               "10,100,50,20,http://siebte.example/\n";
        Startzustand().einmalGezeigt = true;
        Startzustand().fensterCache = {100, 50, 800, 600};

        TInfobildDialog d(std::filesystem::path(ordner_.path().toStdString()));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.windowTitle(), QStringLiteral("zanit"));
        // Client area: picture + 39 wide, + 78 high; the picture 2 pixels inside its frame.
        QCOMPARE(d.size(), QSize(339, 278));
        QCOMPARE(d.Bild->geometry(), QRect(17, 31, 304, 204));
        QCOMPARE(d.Bild->pixmap().size(), QSize(300, 200));
        // Centred on the main window's rectangle.
        QCOMPARE(d.pos(), QPoint(100 + (800 - 339) / 2, 50 + (600 - 278) / 2));

        // Six areas: the short line is skipped, the eighth line is one too many.
        QCOMPARE(static_cast<int>(d.Flaechen.size()), 6);
        QCOMPARE(d.Flaechen[0]->geometry(), QRect(19 + 10, 33 + 20, 100, 30));
        QCOMPARE(d.Flaechen[1]->geometry(), QRect(19 + 120, 33 + 20, 50, 30));
        for (TInfoflaeche* f : d.Flaechen) QTest::mouseClick(f, Qt::LeftButton);
        QCOMPARE(empfaenger_.geoeffnet, (QStringList{QStringLiteral("http://example.org/a,b,c"),
                                                      QStringLiteral("https://example.org/s"),
                                                      QStringLiteral("mailto:news@example.org?subject=Neu")}));
        // A click that ends outside the area opens nothing.
        empfaenger_.geoeffnet.clear();
        QTest::mousePress(d.Flaechen[0], Qt::LeftButton);
        QTest::mouseRelease(d.Flaechen[0], Qt::LeftButton, {}, QPoint(150, 5));
        QVERIFY(empfaenger_.geoeffnet.isEmpty());

        QTest::mouseClick(d.OkButton, Qt::LeftButton);
        QTRY_VERIFY(!d.isVisible());
        QCOMPARE(d.result(), 1);
    }

    void UnreadablePictureLeavesTheImageEmpty() {
        std::ofstream(Datei("INFO_W.JPG").toStdString(), std::ios::trunc) << "kein Bild";
        QFile::remove(Datei("INFO_W.DAT"));
        TInfobildDialog d(std::filesystem::path(ordner_.path().toStdString()));
        QVERIFY(d.Bild->pixmap().isNull());
        QVERIFY(d.Flaechen.empty());
        // The window keeps room for its OK box.
        QCOMPARE(d.size(), QSize(240, 78));
    }

    void ALowScreenPutsTheBottomOnTheScreensBottom() {
        const Fensterrechteck bezug{0, 0, 1000, 700};
        QCOMPARE(Infofensterlage(bezug, 768, 339, 278), QPoint(330, 211));
        QCOMPARE(Infofensterlage(bezug, 600, 339, 678), QPoint(330, -78));
    }

private:
    QString Datei(const char* name) const { return ordner_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir ordner_;
    Empfaenger empfaenger_;
};

QTEST_MAIN(InfobildFensterTest)
#include "InfobildFensterTest.moc"
