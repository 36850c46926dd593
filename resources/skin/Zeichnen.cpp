// Draws the skin's bitmap lists: `zanit-artwork <output folder> <flag folder>`. Each image is a function that
// paints it in logical pixels; it is rendered at scale 1 and at scale 2.
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>
#include <vector>

#include "ui/Bitmapliste.h"

namespace {

using Maler = std::function<void(QPainter&, int w, int h)>;

struct Bild {
    int w, h;
    Maler malen;
};

const QColor kSchiefer(62, 84, 112);      // title and frame
const QColor kSchieferDunkel(44, 61, 84);
const QColor kSchieferHell(96, 113, 147);  // menu strip
const QColor kAkzent(232, 162, 66);       // active filter
const QColor kFlaeche(246, 248, 251);
const QColor kKante(160, 172, 190);

std::string Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

QImage Rendern(const Bild& b, int skala) {
    QImage image(b.w * skala, b.h * skala, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(skala, skala);
    b.malen(p, b.w, b.h);
    p.end();
    return image;
}

bool Schreiben(const QString& pfad, const std::vector<Bild>& bilder) {
    std::vector<zanit::BmlBild> liste;
    for (const Bild& b : bilder) liste.push_back({b.w, b.h, Png(Rendern(b, 1)), Png(Rendern(b, 2))});
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const std::string bytes = zanit::BitmaplisteSchreiben(liste);
    return f.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

void Verlauf(QPainter& p, const QRectF& r, const QColor& oben, const QColor& unten) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, oben);
    g.setColorAt(1, unten);
    p.fillRect(r, g);
}

// A bar in the title colours; a thin light line on top gives it depth.
void Leiste(QPainter& p, int w, int h) {
    Verlauf(p, QRectF(0, 0, w, h), kSchiefer.lighter(112), kSchieferDunkel);
    p.fillRect(QRectF(0, 0, w, 1), QColor(255, 255, 255, 50));
}

void Fragezeichen(QPainter& p, const QRectF& r) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
}

void Kreuz(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    const QRectF k = r.adjusted(3.5, 4.5, -3.5, -4.5);
    p.drawLine(k.topLeft(), k.bottomRight());
    p.drawLine(k.topRight(), k.bottomLeft());
}

void Strich(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.left() + 4, r.bottom() - 5), QPointF(r.right() - 4, r.bottom() - 5));
}

// The dialogs' title bar: 400 wide, caps of 130 with the help and close marks in the right cap.
void Titel(QPainter& p, int w, int h) {
    Leiste(p, w, h);
    // Spots relative to the window: help at W-33..W-24, close at W-23..W-9, y 8..24; the bar starts at y 5.
    const int kappe = w - 135;  // window x W-135 is the cap's left edge, drawn at x 5 of the window
    Fragezeichen(p, QRectF(kappe + 102, 3, 10, 17));
    Kreuz(p, QRectF(kappe + 112, 3, 15, 17));
}

void Rahmenstueck(QPainter& p, int w, int h, bool senkrecht) {
    if (senkrecht) {
        QLinearGradient g(0, 0, w, 0);
        g.setColorAt(0, kSchieferDunkel);
        g.setColorAt(1, kSchiefer);
        p.fillRect(QRectF(0, 0, w, h), g);
    } else {
        Verlauf(p, QRectF(0, 0, w, h), kSchiefer, kSchieferDunkel);
    }
}

void Knopfflaeche(QPainter& p, const QRectF& r, int zustand, const QColor& rand) {
    QPainterPath path;
    path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    const QColor oben = zustand == 2 ? QColor(214, 222, 233) : zustand == 1 ? QColor(255, 255, 255) : kFlaeche;
    const QColor unten = zustand == 2 ? QColor(228, 234, 242) : zustand == 1 ? QColor(236, 242, 250)
                                                                             : QColor(230, 235, 242);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, oben);
    g.setColorAt(1, unten);
    p.fillPath(path, g);
    p.setPen(QPen(rand, 1));
    p.drawPath(path);
}

void Trichter(QPainter& p, const QRectF& r, bool aktiv) {
    QPainterPath t;
    t.moveTo(r.left(), r.top());
    t.lineTo(r.right(), r.top());
    t.lineTo(r.center().x() + 1.5, r.center().y() + 1);
    t.lineTo(r.center().x() + 1.5, r.bottom());
    t.lineTo(r.center().x() - 1.5, r.bottom() - 2);
    t.lineTo(r.center().x() - 1.5, r.center().y() + 1);
    t.closeSubpath();
    if (aktiv) p.fillPath(t, kAkzent);
    p.setPen(QPen(aktiv ? kAkzent.darker(140) : kSchiefer, 1.2));
    p.drawPath(t);
}

void Pfeile(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kSchiefer, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal y1 = r.top() + r.height() * 0.33, y2 = r.top() + r.height() * 0.67;
    p.drawLine(QPointF(r.left(), y1), QPointF(r.right(), y1));
    p.drawPolyline(QPolygonF({QPointF(r.right() - 3, y1 - 3), QPointF(r.right(), y1), QPointF(r.right() - 3, y1 + 3)}));
    p.drawLine(QPointF(r.left(), y2), QPointF(r.right(), y2));
    p.drawPolyline(QPolygonF({QPointF(r.left() + 3, y2 - 3), QPointF(r.left(), y2), QPointF(r.left() + 3, y2 + 3)}));
}

void Ablage(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kSchiefer, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(r.left(), r.center().y()), QPointF(r.left(), r.bottom()),
                              QPointF(r.right(), r.bottom()), QPointF(r.right(), r.center().y())}));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom() - 3));
    p.drawPolyline(QPolygonF({QPointF(r.center().x() - 3, r.bottom() - 6), QPointF(r.center().x(), r.bottom() - 3),
                              QPointF(r.center().x() + 3, r.bottom() - 6)}));
}

void Lautsprecher(QPainter& p, const QRectF& r) {
    QPainterPath s;
    s.moveTo(r.left(), r.center().y() - 2.5);
    s.lineTo(r.left() + 3.5, r.center().y() - 2.5);
    s.lineTo(r.left() + 7.5, r.top());
    s.lineTo(r.left() + 7.5, r.bottom());
    s.lineTo(r.left() + 3.5, r.center().y() + 2.5);
    s.lineTo(r.left(), r.center().y() + 2.5);
    s.closeSubpath();
    p.fillPath(s, kSchiefer);
    p.setPen(QPen(kSchiefer, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(r.left() + 5, r.center().y() - 4, 8, 8), -50 * 16, 100 * 16);
    p.drawArc(QRectF(r.left() + 5, r.center().y() - 7, 13, 14), -50 * 16, 100 * 16);
}

// Three faces (normal, hot, pressed) of a button with a symbol at the left.
void DreiFlaechen(std::vector<Bild>& l, int w, int h, const std::function<void(QPainter&, const QRectF&)>& symbol,
                  const QColor& rand = kKante) {
    for (int z = 0; z < 3; ++z)
        l.push_back({w, h, [=](QPainter& p, int bw, int bh) {
                         Knopfflaeche(p, QRectF(0, 0, bw, bh), z, z == 1 ? kSchieferHell : rand);
                         if (symbol) symbol(p, QRectF(6 + (z == 2), 5 + (z == 2), bh - 10, bh - 10));
                     }});
}

QImage Flagge(const QString& ordner, const char* land) {
    QImage f(ordner + "/" + QString::fromLatin1(land) + ".png");
    return f;
}

// A language tab: a light card with a slate top line; the active one is taller and carries the accent.
void Reiter(QPainter& p, int w, int h, bool aktiv, const QImage& flagge) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, w - 1, h + 6), 6, 6);
    p.save();
    p.setClipRect(QRectF(0, 0, w, h));
    Verlauf(p, QRectF(0, 0, w, h), aktiv ? QColor(255, 255, 255) : QColor(228, 233, 240),
            aktiv ? QColor(240, 225, 215).lighter(104) : QColor(214, 221, 231));
    p.setPen(QPen(kKante, 1));
    p.drawPath(path);
    p.fillRect(QRectF(1, 1, w - 2, 3), aktiv ? kAkzent : kSchieferHell);
    p.restore();
    if (!flagge.isNull()) {
        // The flag sits left of the label, which the window places 44 pixels in.
        const QRectF ziel(12, h - 24, 22, 15);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(ziel, flagge);
        p.setPen(QPen(QColor(0, 0, 0, 60), 1));
        p.drawRect(ziel);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: zanit-artwork <output folder> <flag folder>\n");
        return 2;
    }
    const QString aus = QString::fromLocal8Bit(argv[1]);
    const QString flaggen = QString::fromLocal8Bit(argv[2]);

    // wbhi.bml
    std::vector<Bild> skin = {
        {400, 20, Titel},
        // 1: caption buttons, minimise and close, 20 x 20 each.
        {40, 20, [](QPainter& p, int w, int h) {
             Leiste(p, w, h);
             Strich(p, QRectF(2, 2, 16, 16));
             Kreuz(p, QRectF(22, 1.5, 16, 17));
         }},
        {32, 20, Leiste},  // 2: caption background tile
        {10, 6, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, false); }},
        {32, 6, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, false); }},
        {10, 6, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, false); }},
        {10, 8, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, false); }},
        {32, 8, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, false); }},
        {10, 8, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, false); }},
        {6, 32, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, true); }},
        {6, 32, [](QPainter& p, int w, int h) { Rahmenstueck(p, w, h, true); }},
        // 11-13: menu strip.
        {10, 20, [](QPainter& p, int w, int h) { Verlauf(p, QRectF(0, 0, w, h), kSchieferHell, kSchiefer); }},
        {32, 20, [](QPainter& p, int w, int h) { Verlauf(p, QRectF(0, 0, w, h), kSchieferHell, kSchiefer); }},
        {10, 20, [](QPainter& p, int w, int h) { Verlauf(p, QRectF(0, 0, w, h), kSchieferHell, kSchiefer); }},
    };
    // The frame corners and edges must be opaque: the window copies them without transparency.
    std::vector<Bild> grau;
    DreiFlaechen(grau, 96, 24, {});

    std::vector<Bild> knoepfe;
    DreiFlaechen(knoepfe, 96, 24, {});                                                         // 0-2
    DreiFlaechen(knoepfe, 96, 24, [](QPainter& p, const QRectF& r) { Trichter(p, r, false); });  // 3-5
    DreiFlaechen(knoepfe, 96, 24, [](QPainter& p, const QRectF& r) { Trichter(p, r, true); },
                 kAkzent);                                                                         // 6-8
    DreiFlaechen(knoepfe, 96, 24, [](QPainter& p, const QRectF& r) { Pfeile(p, r); });           // 9-11
    DreiFlaechen(knoepfe, 96, 24, [](QPainter& p, const QRectF& r) { Ablage(p, r); });           // 12-14
    DreiFlaechen(knoepfe, 24, 24, [](QPainter& p, const QRectF& r) { Lautsprecher(p, r.adjusted(-1, 0, 4, 0)); });  // 15-17

    // Tab.bml: 0 mother tongue (active), 1 active foreign tab, 2 inactive tab, 3.. flags of language codes 1..6.
    std::vector<Bild> reiter = {
        {150, 64, [](QPainter& p, int w, int h) { Reiter(p, w, h, true, {}); }},
        {110, 58, [](QPainter& p, int w, int h) { Reiter(p, w, h, true, {}); }},
        {110, 58, [](QPainter& p, int w, int h) { Reiter(p, w, h, false, {}); }},
    };
    for (const char* land : {"de", "gb", "fr", "it", "es", "va"}) {
        const QImage f = Flagge(flaggen, land);
        if (f.isNull()) {
            std::fprintf(stderr, "zanit-artwork: flag %s missing in %s\n", land, argv[2]);
            return 1;
        }
        reiter.push_back({16, 11, [f](QPainter& p, int w, int h) {
                              p.setRenderHint(QPainter::SmoothPixmapTransform, false);
                              p.drawImage(QRectF(0, 0, w, h), f);
                          }});
    }

    // Search.bml: direction button, normal / hot / active.
    std::vector<Bild> suche;
    for (int z = 0; z < 3; ++z)
        suche.push_back({113, 24, [z](QPainter& p, int w, int h) {
                             if (z == 2) {
                                 QPainterPath path;
                                 path.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 4, 4);
                                 p.fillPath(path, kSchiefer);
                             } else {
                                 Knopfflaeche(p, QRectF(0, 0, w, h), z, z == 1 ? kSchieferHell : kKante);
                             }
                         }});

    const std::vector<std::pair<const char*, const std::vector<Bild>*>> listen = {
        {"wbhi.bml", &skin}, {"wbbtnhi.bml", &grau}, {"Buttons.bml", &knoepfe}, {"Tab.bml", &reiter},
        {"Search.bml", &suche}};
    for (const auto& [name, bilder] : listen) {
        if (!Schreiben(aus + "/" + QString::fromLatin1(name), *bilder)) {
            std::fprintf(stderr, "zanit-artwork: cannot write %s\n", name);
            return 1;
        }
    }
    return 0;
}
