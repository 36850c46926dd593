#include "online/widgets/Infobildfenster.h"

#include <QDesktopServices>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "base/Katalog.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

namespace {

constexpr int kRahmen = 2;
constexpr int kZusatzBreite = 39, kZusatzHoehe = 78;
// The OK box (193 pixels) and the title bar's spots must fit even beside a tiny or unreadable picture.
constexpr int kMindestbreite = 240;
// An area list is a few lines; more is not read.
constexpr qint64 kMaxListe = 64 * 1024;

QString Pfad(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

}  // namespace

QPoint Infofensterlage(const Fensterrechteck& bezug, int bildschirmHoehe, int breite, int hoehe) {
    const int links = bezug.left + (bezug.width - breite) / 2;
    const int oben = bildschirmHoehe < hoehe ? bildschirmHoehe - hoehe : bezug.top + (bezug.height - hoehe) / 2;
    return {links, oben};
}

bool InfoadresseOeffnen(std::string_view adresse) {
    const QUrl url(ZuUnicode(adresse).trimmed(), QUrl::StrictMode);
    const QString schema = url.scheme().toLower();
    if (!url.isValid()) return false;
    if (schema == QLatin1String("http") || schema == QLatin1String("https")) {
        if (url.host().isEmpty()) return false;
    } else if (schema != QLatin1String("mailto")) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

TInfoflaeche::TInfoflaeche(const TInfobereich& bereich, QWidget* parent) : QWidget(parent), adresse_(bereich.adresse) {
    // Nothing painted: the picture shows through.
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::PointingHandCursor);
    setToolTip(ZuUnicode(adresse_));
}

void TInfoflaeche::mousePressEvent(QMouseEvent* e) {
    gedrueckt_ = e->button() == Qt::LeftButton;
    e->accept();
}

void TInfoflaeche::mouseReleaseEvent(QMouseEvent* e) {
    const bool klick = gedrueckt_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    gedrueckt_ = false;
    e->accept();
    if (klick) InfoadresseOeffnen(adresse_);
}

TInfobildDialog::TInfobildDialog(const std::filesystem::path& datenordner, QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("InfobildDialog"));
    QImageReader leser(Pfad(datenordner / "INFO_W.JPG"));
    leser.setAutoTransform(true);
    const QImage bild = leser.read();  // an unreadable picture leaves the image empty
    const int w = bild.isNull() ? 0 : bild.width(), h = bild.isNull() ? 0 : bild.height();
    setFixedSize(std::max(w + kZusatzBreite, kMindestbreite), h + kZusatzHoehe);

    Bild = new QLabel(this);
    Bild->setObjectName(QStringLiteral("Bild"));
    Bild->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bild->setLineWidth(kRahmen);
    Bild->setGeometry(kBildLinks - kRahmen, kBildOben - kRahmen, w + 2 * kRahmen, h + 2 * kRahmen);
    if (!bild.isNull()) Bild->setPixmap(QPixmap::fromImage(bild));

    QFile liste(Pfad(datenordner / "INFO_W.DAT"));
    if (liste.open(QIODevice::ReadOnly)) {
        const QByteArray text = liste.read(kMaxListe);
        for (const TInfobereich& b : LeseInfobereiche(std::string_view(text.constData(), static_cast<std::size_t>(text.size())))) {
            auto* f = new TInfoflaeche(b, this);
            f->setObjectName(QStringLiteral("Bereich%1").arg(Flaechen.size() + 1));
            f->setGeometry(kBildLinks + b.links, kBildOben + b.oben, std::max(b.breite, 0), std::max(b.hoehe, 0));
            f->raise();
            Flaechen.push_back(f);
        }
    }

    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OK, OkButton, nullptr);
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
}

void TInfobildDialog::showEvent(QShowEvent* e) {
    setWindowTitle(QStringLiteral("zanit"));
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    buttonbox->setSprache(Knopfsprache());
    OkButton->setText(KnopfText(Knopflayout::OK, Knopfsprache(), false));
    const TStartzustand& st = Startzustand();
    const Fensterrechteck bezug = st.einmalGezeigt ? st.fensterCache : BildschirmRechteck();
    move(Infofensterlage(bezug, BildschirmRechteck().height, width(), height()));
    TOwnFenster::showEvent(e);
    OkButton->setFocus(Qt::OtherFocusReason);
}

void ZeigeInfobild(const std::filesystem::path& datenordner, QWidget* parent) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(datenordner / "INFO_W.JPG", ec)) return;
    TInfobildDialog dialog(datenordner, parent);
    dialog.exec();
}

}  // namespace zanit
