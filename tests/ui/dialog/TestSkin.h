#pragma once
// Bitmap lists for the window tests, drawn in the test: every pixel's colour tells which image and which
// source column and row it came from, so painted windows can be compared pixel by pixel.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <vector>

#include "ui/Bitmapliste.h"

namespace zanit::test {

inline QRgb Musterfarbe(int bild, int x, int y) {
    return qRgb(x & 0xFF, ((x >> 8) << 6) | (y & 0x3F), (bild * 17) & 0xFF);
}

inline std::string Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// The double-size image has a pattern of its own, by physical pixel, so tests see which of the two was drawn.
inline QRgb Musterfarbe2x(int bild, int x, int y) {
    return qRgb(x & 0xFF, ((x >> 8) << 6) | (y & 0x3F), (bild * 17 + 128) & 0xFF);
}

inline QImage Musterbild(int bild, int w, int h, int skala = 1) {
    QImage image(w * skala, h * skala, QImage::Format_RGB32);
    for (int y = 0; y < h * skala; ++y)
        for (int x = 0; x < w * skala; ++x)
            image.setPixel(x, y, skala == 1 ? Musterfarbe(bild, x, y) : Musterfarbe2x(bild, x, y));
    return image;
}

// The sizes of the fourteen skin images used by the tests.
inline const std::vector<std::pair<int, int>>& Skingroessen() {
    static const std::vector<std::pair<int, int>> g = {
        {400, 20}, {60, 20}, {40, 20},                 // title bar, caption pieces
        {12, 10},  {32, 10}, {12, 10},                 // top: corner, tile, corner
        {12, 9},   {32, 9},  {12, 9},                  // bottom
        {7, 32},   {8, 32},                            // left, right edge
        {14, 20},  {32, 20}, {14, 20},                 // menu strip
    };
    return g;
}

inline QByteArray Musterliste(const std::vector<std::pair<int, int>>& groessen, bool doppelt = true) {
    std::vector<BmlBild> bilder;
    for (std::size_t i = 0; i < groessen.size(); ++i) {
        const auto [w, h] = groessen[i];
        BmlBild b;
        b.breite = w;
        b.hoehe = h;
        b.png = Png(Musterbild(static_cast<int>(i), w, h));
        if (doppelt) b.png2x = Png(Musterbild(static_cast<int>(i), w, h, 2));
        bilder.push_back(b);
    }
    return QByteArray::fromStdString(BitmaplisteSchreiben(bilder));
}

inline void Schreiben(const QString& pfad, const QByteArray& daten) {
    QFile f(pfad);
    if (f.open(QIODevice::WriteOnly)) f.write(daten);
}

}  // namespace zanit::test
