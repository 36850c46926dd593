#include "ui/widgets/TBitmapListe.h"

#include <QFile>
#include <QImage>

#include "ui/Bitmapliste.h"

namespace zanit {

bool TBitmapListe::Laden(const QString& pfad, QString* fehler) {
    bilder_.clear();
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        if (fehler) *fehler = QStringLiteral("%1: %2").arg(pfad, f.errorString());
        return false;
    }
    // Bitmap lists are small; a file beyond this is not one of ours.
    if (f.size() > 64 * 1024 * 1024) {
        if (fehler) *fehler = QStringLiteral("%1: file too large").arg(pfad);
        return false;
    }
    QString grund;
    const bool ok = LadenAusDaten(f.readAll(), &grund);
    if (!ok && fehler) *fehler = QStringLiteral("%1: %2").arg(pfad, grund);
    return ok;
}

bool TBitmapListe::LadenAusDaten(const QByteArray& daten, QString* fehler) {
    bilder_.clear();
    std::vector<BmlBild> gelesen;
    try {
        gelesen = BitmaplisteLesen(std::string_view(daten.constData(), static_cast<std::size_t>(daten.size())));
    } catch (const BitmaplistenFehler& e) {
        if (fehler) *fehler = QString::fromStdString(e.what());
        return false;
    }
    std::vector<Eintrag> neu(gelesen.size());
    for (std::size_t i = 0; i < gelesen.size(); ++i) {
        const BmlBild& b = gelesen[i];
        QImage einfach, doppelt;
        const auto laden = [](QImage& bild, const std::string& png) {
            return bild.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()),
                                     "PNG");
        };
        if (!laden(einfach, b.png) || einfach.width() != b.breite || einfach.height() != b.hoehe) {
            if (fehler) *fehler = QStringLiteral("image %1: PNG data damaged").arg(i);
            return false;
        }
        if (!b.png2x.empty()) {
            if (!laden(doppelt, b.png2x) || doppelt.width() != 2 * b.breite || doppelt.height() != 2 * b.hoehe) {
                if (fehler) *fehler = QStringLiteral("image %1: double-size PNG data damaged").arg(i);
                return false;
            }
            doppelt.setDevicePixelRatio(2.0);
            neu[i].doppelt = QPixmap::fromImage(doppelt);
        }
        neu[i].einfach = QPixmap::fromImage(einfach);
    }
    bilder_ = std::move(neu);
    return true;
}

QSize TBitmapListe::Groesse(int index) const {
    return Hat(index) ? bilder_[static_cast<std::size_t>(index)].einfach.size() : QSize();
}

QPixmap TBitmapListe::Bild(int index, qreal dpr) const {
    if (!Hat(index)) return {};
    const Eintrag& e = bilder_[static_cast<std::size_t>(index)];
    return (dpr > 1.0 && !e.doppelt.isNull()) ? e.doppelt : e.einfach;
}

}  // namespace zanit
