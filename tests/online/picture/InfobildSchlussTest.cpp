// The news picture at the close of the real main window comes after the settings are saved, in the size of
// its picture.
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "app/widgets/Erweiterungen.h"
#include "app/widgets/OnlineAnschluss.h"
#include "app/window/TestFenster.h"
#include "app/window/TestInstallation.h"
#include "base/Einstellungen.h"
#include "base/Utils.h"
#include "online/widgets/Infobildfenster.h"

using namespace zanit;
using namespace zanit::test;

class InfobildSchlussTest : public QObject, TestMitInstallation {
    Q_OBJECT

    QTemporaryDir programm_;

private slots:
    void initTestCase() {
        QVERIFY(programm_.isValid());
        QVERIFY(QDir(programm_.path()).mkpath(QStringLiteral("Data")));
        QImage bild(300, 100, QImage::Format_RGB32);
        bild.fill(Qt::darkGreen);
        QVERIFY(bild.save(programm_.filePath(QStringLiteral("Data/INFO_W.JPG")), "JPG"));
        auto online = std::make_shared<TOnlineAnschluss>();
        online->Programmordner = std::filesystem::path(programm_.path().toStdString());
        Erweiterungen().online = online;
    }
    void cleanup() { ModaleDialogePruefen(); }

    void ShownAtCloseOnceTheSettingsAreSaved() {
        Installieren({"\"PX\"=dword:00000000"});
        Fenster f;
        QVERIFY(f.Start());
        f->move(123, 77);
        QTRY_COMPARE(f->x(), 123);
        bool gesehen = false;
        int gespeichertX = -1;
        QSize groesse;
        BeiModal([&](QWidget* w) {
            auto* d = qobject_cast<TInfobildDialog*>(w);
            QVERIFY(d);
            gesehen = true;
            groesse = d->size();
            gespeichertX = RegZahlLesen(RegRoot::LocalMachine, kProduktSchluessel, kEinstellungsSchluessel, -1, "PX");
            d->OkButton->click();
        });
        QVERIFY(f->close());
        QTRY_VERIFY(gesehen);
        QCOMPARE(groesse, QSize(339, 178));
        QCOMPARE(gespeichertX, 123);
    }
};

QTEST_MAIN(InfobildSchlussTest)
#include "InfobildSchlussTest.moc"
