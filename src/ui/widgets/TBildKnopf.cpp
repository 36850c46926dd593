#include "ui/widgets/TBildKnopf.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "ui/widgets/TBitmapListe.h"

namespace zanit {
namespace {

constexpr int kKappe = 6;  // end caps of a face kept unstretched: they hold its rounded corners

// Draws `bild` (logical size `mass`) into `ziel`: the caps as they are, the middle stretched to fit.
void FlaecheStrecken(QPainter& p, const QRect& ziel, const QPixmap& bild, QSize mass) {
    if (ziel.size() == mass) {
        p.drawPixmap(ziel.topLeft(), bild);
        return;
    }
    const qreal s = bild.devicePixelRatio();
    const int kappe = std::min({kKappe, mass.width() / 2, ziel.width() / 2});
    const qreal hq = bild.height();
    const qreal kq = kappe * s;
    p.drawPixmap(QRectF(ziel.x(), ziel.y(), kappe, ziel.height()), bild, QRectF(0, 0, kq, hq));
    p.drawPixmap(QRectF(ziel.x() + kappe, ziel.y(), ziel.width() - 2 * kappe, ziel.height()), bild,
                 QRectF(kq, 0, bild.width() - 2 * kq, hq));
    p.drawPixmap(QRectF(ziel.right() + 1 - kappe, ziel.y(), kappe, ziel.height()), bild,
                 QRectF(bild.width() - kq, 0, kq, hq));
}

// Paints a dressed button in place of its own painting and follows the pointer for the hot face.
class Bemalung : public QObject {
public:
    Bemalung(QAbstractButton* knopf, const Knopfflaechen& f) : QObject(knopf), knopf_(knopf), f_(f) {}
    void Setzen(const Knopfflaechen& f) {
        f_ = f;
        knopf_->update();
    }
    int Flaeche() const { return KnopfFlaeche(*knopf_, f_, ueber_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != knopf_) return false;
        switch (event->type()) {
        case QEvent::Paint: {
            QPainter p(knopf_);
            MaleKnopf(p, *knopf_, f_, Flaeche());
            return true;
        }
        case QEvent::Enter:
        case QEvent::Leave:
            ueber_ = event->type() == QEvent::Enter;
            knopf_->update();
            return false;
        case QEvent::DynamicPropertyChange:
            knopf_->update();
            return false;
        default:
            return false;
        }
    }

private:
    QAbstractButton* knopf_;
    Knopfflaechen f_;
    bool ueber_ = false;
};

Bemalung* BemalungVon(const QAbstractButton* knopf) {
    return knopf ? knopf->findChild<Bemalung*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

int KnopfFlaeche(const QAbstractButton& knopf, const Knopfflaechen& f, bool ueber) {
    if (!f.liste) return -1;
    const bool gedrueckt = knopf.isDown() || knopf.property("Aktiv").toBool();
    const int i = gedrueckt ? f.gedrueckt : (ueber && knopf.isEnabled()) ? f.heiss : f.normal;
    return f.liste->Hat(i) ? i : -1;
}

void MaleKnopf(QPainter& p, const QAbstractButton& knopf, const Knopfflaechen& f, int i) {
    const QRect r = knopf.rect();
    const QPalette& pal = knopf.palette();
    if (i >= 0) {
        p.save();
        if (!knopf.isEnabled()) p.setOpacity(0.5);
        FlaecheStrecken(p, r, f.liste->Bild(i, knopf.devicePixelRatioF()), f.liste->Groesse(i));
        p.restore();
    } else {
        p.fillRect(r, pal.color(knopf.isDown() ? QPalette::Mid : QPalette::Button));
        p.setPen(pal.color(QPalette::Dark));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    const bool unten = knopf.isDown();
    QRect feld = r.translated(unten ? 1 : 0, unten ? 1 : 0);
    if (i >= 0 && f.symbol) {
        feld.setLeft(feld.left() + (r.height() < r.width() ? r.height() - 2 : r.width()));
    } else if (!knopf.icon().isNull()) {
        const QSize is = knopf.iconSize();
        const QIcon::Mode mode = knopf.isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const int x = knopf.text().isEmpty() ? feld.x() + (feld.width() - is.width()) / 2 : feld.x() + 4;
        knopf.icon().paint(&p, QRect(QPoint(x, feld.y() + (feld.height() - is.height()) / 2), is), Qt::AlignCenter,
                           mode);
        if (!knopf.text().isEmpty()) feld.setLeft(x + is.width() + 2);
    }
    if (!knopf.text().isEmpty() && feld.width() > 0) {
        p.setPen(pal.color(knopf.isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.setFont(knopf.font());
        // A caption wider than its room ends in an ellipsis rather than losing both ends.
        const QString text = knopf.fontMetrics().elidedText(knopf.text(), Qt::ElideRight, feld.width() - 4,
                                                             Qt::TextShowMnemonic);
        p.drawText(feld, Qt::AlignCenter | Qt::TextShowMnemonic, text);
    }
    if (knopf.hasFocus()) {
        QColor c = pal.color(QPalette::ButtonText);
        c.setAlpha(110);
        p.setPen(QPen(c, 1, Qt::DotLine));
        p.drawRect(r.adjusted(2, 2, -3, -3));
    }
}

void FlaechenAnbringen(QAbstractButton* knopf, const Knopfflaechen& f) {
    if (!knopf) return;
    if (Bemalung* b = BemalungVon(knopf)) {
        b->Setzen(f);
        return;
    }
    knopf->setAttribute(Qt::WA_Hover);
    knopf->installEventFilter(new Bemalung(knopf, f));
    knopf->update();
}

int AngebrachteFlaeche(const QAbstractButton* knopf) {
    const Bemalung* b = BemalungVon(knopf);
    return b ? b->Flaeche() : -1;
}

TBildKnopf::TBildKnopf(QWidget* parent) : QAbstractButton(parent) { setAttribute(Qt::WA_Hover); }

void TBildKnopf::SetzeBilder(const TBitmapListe* liste, int normal, int heiss, int gedrueckt) {
    flaechen_ = {liste, normal, heiss, gedrueckt, true};
    update();
}

int TBildKnopf::Flaeche() const { return KnopfFlaeche(*this, flaechen_, ueber_); }

QSize TBildKnopf::sizeHint() const {
    if (flaechen_.liste && flaechen_.liste->Hat(flaechen_.normal)) return flaechen_.liste->Groesse(flaechen_.normal);
    return {96, 24};
}

void TBildKnopf::paintEvent(QPaintEvent*) {
    QPainter p(this);
    MaleKnopf(p, *this, flaechen_, Flaeche());
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
