#include "desktop/widgets/TSkinForm.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "desktop/widgets/Knopfbilder.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/Unicode.h"

namespace zanit {
namespace {

constexpr int kTabAktiv = 1, kTabInaktiv = 2, kTabMutter = 0, kFlaggenBasis = 2;

void Malen(QPainter& p, const std::vector<Kachel>& kacheln, qreal dpr) {
    const TBitmapListe& liste = Skinzustand().DesktopBMPListe;
    for (const Kachel& k : kacheln) {
        const QPixmap bild = liste.Bild(k.bild, dpr);
        if (!bild.isNull()) p.drawPixmap(k.x, k.y, bild);
    }
}

Qt::Edges Kanten(int bits) {
    Qt::Edges e;
    if (bits & 1) e |= Qt::LeftEdge;
    if (bits & 2) e |= Qt::TopEdge;
    if (bits & 4) e |= Qt::RightEdge;
    if (bits & 8) e |= Qt::BottomEdge;
    return e;
}

Qt::CursorShape Zeigerform(Randzeiger z) {
    switch (z) {
    case Randzeiger::Waagerecht:
        return Qt::SizeHorCursor;
    case Randzeiger::Senkrecht:
        return Qt::SizeVerCursor;
    case Randzeiger::Fallend:
        return Qt::SizeFDiagCursor;
    case Randzeiger::Steigend:
        return Qt::SizeBDiagCursor;
    case Randzeiger::Pfeil:
        break;
    }
    return Qt::ArrowCursor;
}

// A tab picture with the language's flag and, for the clickable tabs, its name.
QPixmap Reiterbild(int bild, int code, const QString& name, qreal dpr, const QFont& font) {
    const TBitmapListe& tabs = Skinzustand().TabBitmapList;
    const QPixmap grund = tabs.Bild(bild, dpr);
    if (grund.isNull()) return {};
    QPixmap out = grund.copy();
    out.setDevicePixelRatio(grund.devicePixelRatio());
    QPainter p(&out);
    const QSize g = tabs.Groesse(bild);
    const QPixmap flagge = tabs.Bild(kFlaggenBasis + code, dpr);
    if (!flagge.isNull()) {
        const QRect ziel(12, g.height() - 24, 22, 15);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(ziel, flagge);
        p.setPen(QColor(0, 0, 0, 60));
        p.drawRect(ziel.adjusted(0, 0, -1, -1));
    }
    if (!name.isEmpty()) {
        QFont klein = font;
        klein.setPixelSize(11);
        p.setFont(klein);
        p.setPen(QColor(44, 61, 84));
        const QRect feld(40, g.height() - 28, g.width() - 42, 22);
        p.drawText(feld, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(klein).elidedText(name, Qt::ElideRight, feld.width()));
    }
    return out;
}

}  // namespace

Skinmasse AktuelleSkinmasse() {
    Skinmasse m{};
    for (int i = 0; i < 14; ++i) {
        const QSize s = Skinzustand().Mass(i);
        m[static_cast<std::size_t>(i)] = {s.width(), s.height()};
    }
    return m;
}

TSkinForm::TSkinForm(QWidget* fenster, QWidget* menupanel)
    : QObject(fenster), fenster_(fenster), menupanel_(menupanel) {
    fenster_->installEventFilter(this);
    // Moves without a button pressed set the resize pointer over the border.
    fenster_->setMouseTracking(true);
    if (menupanel_) menupanel_->installEventFilter(this);
}

void TSkinForm::tfSkinFormPaint(QPainter& p, int h, int w) {
    Malen(p, SkinFormKacheln(w, h, AktuelleSkinmasse()), fenster_->devicePixelRatioF());
}

void TSkinForm::menupanelPaint(QPainter& p) {
    if (!Skinzustand().geladen || !menupanel_) return;
    Malen(p, MenueKacheln(menupanel_->width(), AktuelleSkinmasse()), menupanel_->devicePixelRatioF());
}

void TSkinForm::BeschriftungMalen(QPainter& p) {
    Malen(p, BeschriftungKacheln(fenster_->width(), AktuelleSkinmasse()), fenster_->devicePixelRatioF());
    QFont f = fenster_->font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Skinzustand().Titelfarbe);
    p.drawText(QRect(8, 0, std::max(0, fenster_->width() - 60), kBeschriftungHoehe), Qt::AlignLeft | Qt::AlignVCenter,
               fenster_->windowTitle());
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event) {
    if (!Skinzustand().geladen) return false;
    if (watched == menupanel_ && event->type() == QEvent::Paint) {
        QPainter p(menupanel_);
        menupanelPaint(p);
        return false;  // the menu bar draws its items over the strip
    }
    if (watched != fenster_) return false;
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter p(fenster_);
        BeschriftungMalen(p);
        tfSkinFormPaint(p, fenster_->height(), fenster_->width());
        return false;
    }
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) return false;
        const QPoint pos = e->position().toPoint();
        const Treffer t = SkinFormTreffer(fenster_->width(), fenster_->height(), pos.x(), pos.y(), AktuelleSkinmasse());
        switch (t.stelle) {
        case Fensterstelle::Minimieren:
            fenster_->showMinimized();
            return true;
        case Fensterstelle::Schliessen:
            fenster_->close();
            return true;
        case Fensterstelle::Beschriftung:
        case Fensterstelle::Rand: {
            QWindow* w = fenster_->windowHandle();
            const bool system = w && (t.stelle == Fensterstelle::Beschriftung ? w->startSystemMove()
                                                                               : w->startSystemResize(Kanten(t.kanten)));
            // Without a window manager that offers it, the window follows the pointer by hand.
            handgriff_ = !system;
            griff_ = t;
            griffStart_ = e->globalPosition().toPoint();
            griffRechteck_ = fenster_->geometry();
            return true;
        }
        case Fensterstelle::Innen:
            return false;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!handgriff_ || !(e->buttons() & Qt::LeftButton)) {
            if (e->buttons() == Qt::NoButton) RandzeigerSetzen(e->position().toPoint());
            return false;
        }
        const QPoint d = e->globalPosition().toPoint() - griffStart_;
        QRect r = griffRechteck_;
        if (griff_.stelle == Fensterstelle::Beschriftung) {
            fenster_->move(r.topLeft() + d);
        } else {
            if (griff_.kanten & 1) r.setLeft(std::min(r.left() + d.x(), r.right() - fenster_->minimumWidth()));
            if (griff_.kanten & 4) r.setRight(r.right() + d.x());
            if (griff_.kanten & 8) r.setBottom(r.bottom() + d.y());
            fenster_->setGeometry(r);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        handgriff_ = false;
        return false;
    case QEvent::Leave:
        fenster_->unsetCursor();
        return false;
    default:
        return false;
    }
}

void TSkinForm::RandzeigerSetzen(QPoint pos) {
    const Treffer t = SkinFormTreffer(fenster_->width(), fenster_->height(), pos.x(), pos.y(), AktuelleSkinmasse());
    const Randzeiger z = t.stelle == Fensterstelle::Rand ? RandzeigerFuer(t.kanten) : Randzeiger::Pfeil;
    if (z == Randzeiger::Pfeil) fenster_->unsetCursor();
    else fenster_->setCursor(Zeigerform(z));
}

// ---- the joint ----

QString TSkinErweiterung::Ordner() const {
    return ordner_.isEmpty() ? QString::fromStdString(Katalog().Programmordner()) : ordner_;
}

void TSkinErweiterung::BitmaplistenLaden(QWidget&) { LadeBitmaplisten(Ordner()); }

void TSkinErweiterung::LadeSkin(QWidget& fenster, int colourSet) {
    const bool ok = zanit::LadeSkin(Ordner(), colourSet,
                                    Startzustand().farbtiefe, !Startzustand().mehrsprachig);
    KnoepfeBemalen(fenster);
    QWidget* menu = fenster.findChild<QWidget*>(QStringLiteral("menupanel"));
    if (!ok) return;
    if (!form_ || form_->parent() != &fenster) {
        if (!fenster.isVisible()) fenster.setWindowFlag(Qt::FramelessWindowHint, true);
        form_ = new TSkinForm(&fenster, menu);
    }
    // The menu strip's colours: white text on the painted strip, a light veil over the open item.
    if (menu) {
        const QColor hell = Skinzustand().Menuefarbe13;
        menu->setStyleSheet(QStringLiteral(
            "QMenuBar { background: transparent; color: %1; }"
            "QMenuBar::item { background: transparent; color: %1; padding: 2px 8px; }"
            "QMenuBar::item:selected, QMenuBar::item:pressed { background: %2; }")
                                .arg(hell.name(), Skinzustand().Menuefarbe12.lighter(125).name()));
        menu->update();
    }
    fenster.update();
}

int TSkinErweiterung::L9() const { return std::max(0, Skinzustand().Mass(9).width()); }
int TSkinErweiterung::W10() const { return std::max(0, Skinzustand().Mass(10).width()); }
int TSkinErweiterung::H7() const { return std::max(0, Skinzustand().Mass(7).height()); }

void TSkinErweiterung::SprachreiterBilder(QWidget& fenster, const std::vector<int>& codes, int mutter) {
    if (Skinzustand().TabBitmapList.Anzahl() == 0) return;
    const qreal dpr = fenster.devicePixelRatioF();
    if (auto* bild = fenster.findChild<QLabel*>(QStringLiteral("MutterspracheImage"))) {
        bild->setPixmap(Reiterbild(kTabMutter, mutter, {}, dpr, fenster.font()));
        bild->setFrameShape(QFrame::NoFrame);
    }
    for (int k = 1; k <= 5; ++k) {
        const int code = k <= static_cast<int>(codes.size()) ? codes[static_cast<std::size_t>(k - 1)] : 0;
        if (auto* bild = fenster.findChild<QLabel*>(QStringLiteral("Fremdsprache%1Image").arg(k))) {
            bild->setPixmap(Reiterbild(kTabAktiv, code, {}, dpr, fenster.font()));
            bild->setFrameShape(QFrame::NoFrame);
        }
        if (auto* tab = fenster.findChild<QToolButton*>(QStringLiteral("Fremdsprache%1Tab").arg(k))) {
            const QPixmap p = Reiterbild(kTabInaktiv, code, ZuUnicode(Sprachcodename(code)), dpr, fenster.font());
            tab->setIcon(QIcon(p));
            tab->setIconSize(Skinzustand().TabBitmapList.Groesse(kTabInaktiv));
            tab->setToolButtonStyle(Qt::ToolButtonIconOnly);
            tab->setAutoRaise(true);
        }
    }
}

}  // namespace zanit
