#include "ui/widgets/Skin.h"

#include <QApplication>
#include <QDir>
#include <ctime>

#include "base/Log.h"

namespace zanit {
namespace {

std::function<void(const QString&)>& Protokoll() {
    static std::function<void(const QString&)> p;
    return p;
}

void Melden(const QString& ordner, const QString& grund) {
    if (Protokoll()) Protokoll()(grund);
    else LogEintragSchreiben(QDir::toNativeSeparators(ordner).toStdString(), "Skin", grund.toStdString(),
                             std::time(nullptr));
}

bool ListeLaden(TBitmapListe& liste, const QString& ordner, const char* name) {
    QString fehler;
    if (liste.Laden(QDir(ordner).filePath(QString::fromLatin1(name)), &fehler)) return true;
    Melden(ordner, QStringLiteral("Bitmap list not loaded, plain colours instead: %1").arg(fehler));
    return false;
}

}  // namespace

QSize TSkin::Mass(int i) const { return (i >= 0 && i < 14) ? masse[i] : QSize(); }

TSkin& Skinzustand() {
    static TSkin skin;
    return skin;
}

void SetzeSkinProtokoll(std::function<void(const QString&)> protokoll) { Protokoll() = std::move(protokoll); }

bool LadeSkin(const QString& ordner, int farbset, int farbtiefe, bool klassisch) {
    TSkin& s = Skinzustand();
    if (farbtiefe < 16) farbset = kReduziertesFarbset;
    if (farbset == s.geladenesFarbset) return s.geladen;
    const bool cursor = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (cursor) QApplication::setOverrideCursor(Qt::BusyCursor);
    s.geladen = ListeLaden(s.DesktopBMPListe, ordner, "wbhi.bml");
    // A list without the fourteen skin images cannot paint the frame.
    if (s.geladen && s.DesktopBMPListe.Anzahl() < 14) {
        Melden(ordner, QStringLiteral("Bitmap list %1 holds %2 images, 14 needed: plain colours instead")
                           .arg(QDir(ordner).filePath(QStringLiteral("wbhi.bml")))
                           .arg(s.DesktopBMPListe.Anzahl()));
        s.DesktopBMPListe.Leeren();
        s.geladen = false;
    }
    if (klassisch) ListeLaden(s.GrauBitmapListe, ordner, "wbbtnhi.bml");
    if (farbset == 1) s.Menuefarbe12 = QColor(96, 113, 147);
    s.Titelfarbe = Qt::white;
    s.Menuefarbe13 = Qt::white;
    s.geladenesFarbset = farbset;
    for (int i = 0; i < 14; ++i) s.masse[i] = s.geladen ? s.DesktopBMPListe.Groesse(i) : QSize();
    if (cursor) QApplication::restoreOverrideCursor();
    return s.geladen;
}

bool LadeBitmaplisten(const QString& ordner) {
    TSkin& s = Skinzustand();
    bool ok = ListeLaden(s.ButtonsBitmapList, ordner, "Buttons.bml");
    ok = ListeLaden(s.TabBitmapList, ordner, "Tab.bml") && ok;
    ok = ListeLaden(s.SuchspracheButtonBitmapList, ordner, "Search.bml") && ok;
    return ok;
}

void SkinZuruecksetzen() { Skinzustand() = TSkin{}; }

}  // namespace zanit
