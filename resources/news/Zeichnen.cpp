// Draws the demo news picture and its area list: `zanit-newsart <output folder>` writes INFO_W.JPG and
// INFO_W.DAT. The two buttons drawn on the picture are the two clickable areas of the list.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRect>
#include <cstdio>

namespace {

const QColor kSchiefer(62, 84, 112);
const QColor kSchieferDunkel(44, 61, 84);
const QColor kAkzent(232, 162, 66);
const QColor kFlaeche(246, 248, 251);

struct Knopf {
    QRect rect;
    const char* text;
    const char* adresse;
};

const Knopf kKnoepfe[] = {
    {QRect(30, 190, 170, 36), "Zur Website", "https://www.example.com/zanit/"},
    {QRect(230, 190, 170, 36), "Schreiben Sie uns", "mailto:info@example.com?subject=zanit"},
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zanit-newsart FOLDER\n");
        return 2;
    }
    const QString ordner = QString::fromLocal8Bit(argv[1]);
    QImage bild(430, 250, QImage::Format_RGB32);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient verlauf(0, 0, 0, 250);
    verlauf.setColorAt(0, kSchiefer);
    verlauf.setColorAt(1, kSchieferDunkel);
    p.fillRect(bild.rect(), verlauf);
    p.setPen(kFlaeche);
    QFont titel = p.font();
    titel.setPixelSize(30);
    titel.setBold(true);
    p.setFont(titel);
    p.drawText(QRect(30, 24, 370, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("zanit Wörterbuch"));
    QFont text = p.font();
    text.setPixelSize(16);
    text.setBold(false);
    p.setFont(text);
    p.drawText(QRect(30, 80, 370, 90), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Neu: die Wortlisten der Demo-Installation sind jetzt vertont. "
                              "Drücken Sie F12 auf einem englischen Wort."));
    QString liste;
    for (const Knopf& k : kKnoepfe) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAkzent);
        p.drawRoundedRect(k.rect, 6, 6);
        p.setPen(kSchieferDunkel);
        p.drawText(k.rect, Qt::AlignCenter, QString::fromUtf8(k.text));
        liste += QStringLiteral("%1, %2, %3, %4, %5\r\n")
                     .arg(k.rect.x())
                     .arg(k.rect.y())
                     .arg(k.rect.width())
                     .arg(k.rect.height())
                     .arg(QString::fromLatin1(k.adresse));
    }
    p.end();
    if (!bild.save(ordner + QStringLiteral("/INFO_W.JPG"), "JPG", 90)) return 1;
    QFile dat(ordner + QStringLiteral("/INFO_W.DAT"));
    if (!dat.open(QIODevice::WriteOnly | QIODevice::Truncate) || dat.write(liste.toLatin1()) < 0) return 1;
    return 0;
}
