#include "ui/widgets/TButtonLeiste.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/Skinmass.h"
#include "ui/widgets/Fensterhilfen.h"

namespace zanit {
namespace {

// German, English, French, Italian, Spanish, Dutch, Swedish.
struct Paar {
    const char* links;
    const char* rechts;
};
constexpr Paar kJaNein[7] = {
    {"Ja", "Nein"}, {"Yes", "No"}, {"Oui", "Non"}, {"S\u00ec", "No"}, {"Si", "No"}, {"Ja", "Nee"}, {"Ja", "Nej"},
};
constexpr Paar kWiederholen[7] = {
    {"Wiederholen", "Ignorieren"}, {"Retry", "Ignore"},       {"R\u00e9essayer", "Ignorer"},
    {"Riprova", "Ignora"},         {"Reintentar", "Omitir"},  {"Opnieuw", "Negeren"},
    {"F\u00f6rs\u00f6k igen", "Ignorera"},
};
constexpr const char* kSchliessen[7] = {"Schlie\u00dfen", "Close", "Fermer", "Chiudi", "Cerrar", "Sluiten",
                                        "St\u00e4ng"};

int Sprache(int language) { return (language >= 0 && language <= 6) ? language : 0; }

}  // namespace

QString KnopfText(Knopflayout layout, int language, bool links) {
    const int l = Sprache(language);
    switch (layout) {
    case Knopflayout::JaNein:
        return QString::fromUtf8(links ? kJaNein[l].links : kJaNein[l].rechts);
    case Knopflayout::OK:
        return QStringLiteral("OK");
    case Knopflayout::OKAbbrechen:
        return links ? QStringLiteral("OK") : AbbrechenText(l);
    case Knopflayout::Schliessen:
        return QString::fromUtf8(kSchliessen[l]);
    case Knopflayout::WiederholenIgnorieren:
        return QString::fromUtf8(links ? kWiederholen[l].links : kWiederholen[l].rechts);
    }
    return {};
}

QString ButtonText(int language, bool left, bool yesNo) {
    return KnopfText(yesNo ? Knopflayout::JaNein : Knopflayout::OK, language, left);
}

TButtonLeiste::TButtonLeiste(QWidget* parent) : QWidget(parent) {
    setFixedSize(kButtonboxBreite, kButtonboxHoehe);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void TButtonLeiste::setKnopflayout(Knopflayout layout) {
    layout_ = layout;
    update();
}

void TButtonLeiste::setDoppelt(bool on) { setKnopflayout(on ? Knopflayout::JaNein : Knopflayout::OK); }

bool TButtonLeiste::doppelt() const {
    return layout_ != Knopflayout::OK && layout_ != Knopflayout::Schliessen;
}

void TButtonLeiste::setSprache(int language) {
    sprache_ = Sprache(language);
    update();
}

void TButtonLeiste::setHervorgehoben(int button) {
    hervorgehoben_ = button;
    update();
}

QRect TButtonLeiste::knopfRechteck(int button) const {
    const int half = width() / 2;
    return button == 0 ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
}

int TButtonLeiste::knopfBei(QPoint p) const {
    if (!rect().contains(p)) return -1;
    const int b = knopfRechteck(0).contains(p) ? 0 : 1;
    if (b == 0 && !doppelt()) return -1;  // single-button layouts use the right half only
    return b;
}

void TButtonLeiste::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    for (int b = doppelt() ? 0 : 1; b <= 1; ++b) {
        const QRectF r = QRectF(knopfRechteck(b)).adjusted(1.5, 1.5, -1.5, -1.5);
        QColor face = pal.color(QPalette::Button);
        if (b == gedrueckt_) face = face.darker(118);
        else if (b == heiss_) face = face.lighter(108);
        QPainterPath path;
        path.addRoundedRect(r, 3, 3);
        p.fillPath(path, face);
        p.setPen(QPen(b == hervorgehoben_ ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid),
                      b == hervorgehoben_ ? 1.5 : 1.0));
        p.drawPath(path);
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(r.translated(b == gedrueckt_ ? 1 : 0, b == gedrueckt_ ? 1 : 0), Qt::AlignCenter,
                   KnopfText(layout_, sprache_, b == 0));
    }
}

void TButtonLeiste::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    gedrueckt_ = knopfBei(e->position().toPoint());
    if (gedrueckt_ >= 0) emit gedrueckt(gedrueckt_);
    update();
}

void TButtonLeiste::mouseReleaseEvent(QMouseEvent* e) {
    const int b = gedrueckt_;
    gedrueckt_ = -1;
    update();
    if (b >= 0 && e->button() == Qt::LeftButton && knopfBei(e->position().toPoint()) == b) emit geklickt(b);
}

void TButtonLeiste::mouseMoveEvent(QMouseEvent* e) {
    const int b = knopfBei(e->position().toPoint());
    if (b != heiss_) {
        heiss_ = b;
        update();
    }
}

void TButtonLeiste::leaveEvent(QEvent*) {
    heiss_ = -1;
    update();
}

}  // namespace zanit
