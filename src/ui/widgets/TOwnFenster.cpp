#include "ui/widgets/TOwnFenster.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QWindow>

#include "base/Startzustand.h"
#include "ui/Skinmass.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Skin.h"

namespace zanit {
namespace {

std::function<void(int)>& Hilfeaufruf() {
    static std::function<void(int)> aufruf;
    return aufruf;
}

// Title bar colours without a skin: a calm slate that the white caption reads well on.
const QColor kTitelOhneSkin(62, 84, 112);

}  // namespace

void DialogFormSetzen(QWidget* window, int width, int height) {
    QPolygon shape;
    for (const Punkt& p : DialogUmriss(width, height)) shape << QPoint(p.x, p.y);
    window->setMask(QRegion(shape));
    window->update();
}

void ZentriereDialog(QWidget* dialog) {
    const Fensterrechteck r = Startzustand().einmalGezeigt ? Startzustand().fensterCache : BildschirmRechteck();
    dialog->move(r.left + (r.width - dialog->width()) / 2, r.top + (r.height - dialog->height()) / 2);
}

TOwnFenster::TOwnFenster(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setCursor(Qt::ArrowCursor);
}

int TOwnFenster::Tag() const { return property("Tag").toInt(); }
void TOwnFenster::SetzeTag(int tag) {
    setProperty("Tag", tag);
    update();
}

void TOwnFenster::SetzeHilfeaufruf(std::function<void(int)> aufruf) { Hilfeaufruf() = std::move(aufruf); }

void TOwnFenster::MaleRahmen(QPainter& p) {
    const int w = width(), h = height();
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.window());
    for (const Rahmenstrich& s : TOwnRahmen(w, h, Tag() == 99)) {
        const QColor c = s.farbe == Rahmenfarbe::Fensterrahmen ? pal.color(QPalette::Shadow)
                         : s.farbe == Rahmenfarbe::Schatten    ? pal.color(QPalette::Dark)
                                                               : pal.color(QPalette::Light);
        p.fillRect(QRect(s.r.x, s.r.y, s.r.breite, s.r.hoehe), c);
    }

    const TBitmapListe& liste = Skinzustand().DesktopBMPListe;
    if (Skinzustand().geladen && liste.Hat(0)) {
        const QPixmap bild = liste.Bild(0, devicePixelRatioF());
        const qreal skala = bild.devicePixelRatio();
        const int hb = liste.Groesse(0).height();
        for (const Titelstueck& t : TOwnTitelleiste(w, liste.Groesse(0).width()))
            p.drawPixmap(QRectF(t.zielX, kTitelOben, t.breite, hb), bild,
                         QRectF(t.quelleX * skala, 0, t.breite * skala, hb * skala));
    } else {
        // Plain title bar with drawn help and close marks.
        p.fillRect(QRect(5, kTitelOben, w - 10, 20), kTitelOhneSkin);
        p.setPen(QPen(Qt::white, 1.5));
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        const Flaeche hilfe = TOwnHilfeStelle(w), zu = TOwnSchliessStelle(w);
        p.drawText(QRect(hilfe.x, hilfe.y, hilfe.breite, hilfe.hoehe), Qt::AlignCenter, QStringLiteral("?"));
        const QRectF x = QRectF(zu.x, zu.y, zu.breite, zu.hoehe).adjusted(3.5, 4.5, -3.5, -4.5);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawLine(x.topLeft(), x.bottomRight());
        p.drawLine(x.topRight(), x.bottomLeft());
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    QFont titel(QStringLiteral("Tahoma"));
    titel.setBold(true);
    titel.setPointSize(TOwnTitelschrift(logicalDpiY()));
    p.setFont(titel);
    p.setPen(Skinzustand().Titelfarbe);
    p.drawText(QRect(12, 8, std::max(0, TOwnHilfeStelle(w).x - 16), 17), Qt::AlignLeft | Qt::AlignTop,
               windowTitle());
}

void TOwnFenster::paintEvent(QPaintEvent*) {
    QPainter p(this);
    MaleRahmen(p);
}

void TOwnFenster::showEvent(QShowEvent* e) {
    DialogFormSetzen(this, width(), height());
    QDialog::showEvent(e);
}

void TOwnFenster::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    DialogFormSetzen(this, width(), height());
}

void TOwnFenster::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    switch (TOwnTreffer(width(), p.x(), p.y())) {
    case TOwnStelle::Hilfe:
        if (Hilfeaufruf()) Hilfeaufruf()(hilfekontext_ == 0 ? 9999 : hilfekontext_);
        break;
    case TOwnStelle::Schliessen:
        close();
        return;
    case TOwnStelle::Frei:
        zieht_ = true;
        systemZug_ = false;
        griff_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
        break;
    }
    QDialog::mousePressEvent(e);
}

void TOwnFenster::mouseMoveEvent(QMouseEvent* e) {
    if (zieht_ && (e->buttons() & Qt::LeftButton)) {
        // The window manager's own move, as a drag by the caption; where it offers none, we move by hand.
        if (!systemZug_ && windowHandle() && windowHandle()->startSystemMove()) {
            systemZug_ = true;
            zieht_ = false;
        } else if (!systemZug_) {
            move(e->globalPosition().toPoint() - griff_);
        }
    }
    QDialog::mouseMoveEvent(e);
}

void TOwnFenster::mouseReleaseEvent(QMouseEvent* e) {
    zieht_ = false;
    systemZug_ = false;
    QDialog::mouseReleaseEvent(e);
}

}  // namespace zanit
