#pragma once
// A bitmap list loaded from a "*.bml" file: images by index, each at scale 1 and, where the file has it, at
// scale 2 for high-density screens (the pixmap carries its device pixel ratio, so painters size it alike).
#include <QPixmap>
#include <QSize>
#include <QString>
#include <vector>

namespace zanit {

class TBitmapListe {
public:
    // Loads a list file; on failure the list is empty and `fehler` (when given) holds the reason.
    bool Laden(const QString& pfad, QString* fehler = nullptr);
    bool LadenAusDaten(const QByteArray& daten, QString* fehler = nullptr);
    void Leeren() { bilder_.clear(); }

    int Anzahl() const { return static_cast<int>(bilder_.size()); }
    bool Hat(int index) const { return index >= 0 && index < Anzahl(); }
    // Size at scale 1 (empty for an index the list does not hold).
    QSize Groesse(int index) const;
    // The image for a device pixel ratio: the scale-2 image above ratio 1 when there is one. Null for an
    // index the list does not hold.
    QPixmap Bild(int index, qreal dpr = 1.0) const;

private:
    struct Eintrag {
        QPixmap einfach, doppelt;
    };
    std::vector<Eintrag> bilder_;
};

}  // namespace zanit
