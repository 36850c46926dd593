#include "online/widgets/TVerweisLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace zanit {

bool AdresseOeffnen(const QString& adresse) {
    const QUrl url(adresse, QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() && QDesktopServices::openUrl(url);
}

TVerweisLabel::TVerweisLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("color: rgb(0, 0, 200); text-decoration: underline;"));
}

bool TVerweisLabel::Oeffnen() {
    if (!aktiv_ || ziel_.isEmpty()) return false;
    if (!AdresseOeffnen(ziel_)) {
        aktiv_ = false;
        return false;
    }
    emit geoeffnet(ziel_);
    return true;
}

void TVerweisLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) Oeffnen();
}

void TVerweisLabel::showEvent(QShowEvent* e) {
    QLabel::showEvent(e);
    Einschalten();
}

}  // namespace zanit
