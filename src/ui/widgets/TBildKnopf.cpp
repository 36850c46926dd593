#include "ui/widgets/TBildKnopf.h"

#include <QEnterEvent>
#include <QPainter>

#include "ui/widgets/TBitmapListe.h"

namespace zanit {

TBildKnopf::TBildKnopf(QWidget* parent) : QAbstractButton(parent) { setAttribute(Qt::WA_Hover); }

void TBildKnopf::SetzeBilder(const TBitmapListe* liste, int normal, int heiss, int gedrueckt) {
    liste_ = liste;
    normal_ = normal;
    heiss_ = heiss;
    gedrueckt_ = gedrueckt;
    update();
}

int TBildKnopf::Flaeche() const {
    if (!liste_) return -1;
    const int f = isDown() ? gedrueckt_ : (ueber_ && isEnabled()) ? heiss_ : normal_;
    return liste_->Hat(f) ? f : -1;
}

QSize TBildKnopf::sizeHint() const {
    if (liste_ && liste_->Hat(normal_)) return liste_->Groesse(normal_);
    return {96, 24};
}

void TBildKnopf::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int f = Flaeche();
    if (f >= 0) {
        p.drawPixmap(rect(), liste_->Bild(f, devicePixelRatioF()));
    } else {
        p.fillRect(rect(), palette().color(isDown() ? QPalette::Mid : QPalette::Button));
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!text().isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        const int links = f >= 0 && height() < width() ? height() + 2 : 0;
        p.drawText(rect().adjusted(links, 0, 0, 0).translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter,
                   text());
    }
}

void TBildKnopf::enterEvent(QEnterEvent* e) {
    ueber_ = true;
    update();
    QAbstractButton::enterEvent(e);
}

void TBildKnopf::leaveEvent(QEvent* e) {
    ueber_ = false;
    update();
    QAbstractButton::leaveEvent(e);
}

}  // namespace zanit
