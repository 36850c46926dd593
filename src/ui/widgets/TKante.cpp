#include "ui/widgets/TKante.h"

#include <QPainter>

namespace zanit {
namespace {

void Linie(QPainter& p, const QRect& r, Kantenart art, const QPalette& pal) {
    if (art == Kantenart::Keine || r.width() < 2 || r.height() < 2) return;
    const QColor hell = pal.color(QPalette::Light), dunkel = pal.color(QPalette::Dark);
    const QColor& obenLinks = art == Kantenart::Erhaben ? hell : dunkel;
    const QColor& untenRechts = art == Kantenart::Erhaben ? dunkel : hell;
    p.setPen(obenLinks);
    p.drawLine(r.left(), r.bottom() - 1, r.left(), r.top());
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.setPen(untenRechts);
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
}

}  // namespace

TKante::TKante(QWidget* parent, Kantenart aussen, Kantenart innen)
    : QWidget(parent), aussen_(aussen), innen_(innen) {}

void TKante::SetzeStile(Kantenart aussen, Kantenart innen) {
    aussen_ = aussen;
    innen_ = innen;
    update();
}

void TKante::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Linie(p, rect(), aussen_, palette());
    Linie(p, rect().adjusted(1, 1, -1, -1), innen_, palette());
}

}  // namespace zanit
