#include "online/widgets/WBInfo.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "online/widgets/TVerweisLabel.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"

namespace zanit {
namespace {

constexpr int kBreite = 400;
constexpr int kHoehe = 330;

QLabel* Zeile(QWidget* eltern, const char* name, int x, int y, int breite) {
    auto* l = new QLabel(eltern);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, breite, 18);
    return l;
}

}  // namespace

TInfoDialog::TInfoDialog(QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("InfoDialog"));
    setFixedSize(kBreite, kHoehe);
    TitelLabel = Zeile(this, "TitelLabel", 24, 40, kBreite - 48);
    TitelLabel->setFixedHeight(32);
    QFont gross = TitelLabel->font();
    gross.setPointSize(16);
    gross.setBold(true);
    TitelLabel->setFont(gross);
    VersionsLabel = Zeile(this, "VersionsLabel", 24, 76, 250);
    VersionsLabel->setCursor(Qt::PointingHandCursor);
    VersionsLabel->installEventFilter(this);
    RechteLabel = Zeile(this, "RechteLabel", 24, 104, kBreite - 48);
    CopyLabel = Zeile(this, "CopyLabel", 24, 122, kBreite - 48);
    const int mitte = kBreite / 2;
    Zeile1a = Zeile(this, "Zeile1a", 24, 152, mitte - 28);
    Zeile2a = Zeile(this, "Zeile2a", 24, 170, mitte - 28);
    Zeile3a = Zeile(this, "Zeile3a", 24, 188, mitte - 28);
    Zeile1b = Zeile(this, "Zeile1b", mitte, 152, mitte - 24);
    Zeile2b = Zeile(this, "Zeile2b", mitte, 170, mitte - 24);
    Zeile3b = Zeile(this, "Zeile3b", mitte, 188, mitte - 24);
    MailTitelLabel = Zeile(this, "MailTitelLabel", 24, 218, 80);
    MailLabel = new TVerweisLabel(this);
    MailLabel->setObjectName(QStringLiteral("MailLabel"));
    MailLabel->setGeometry(108, 218, kBreite - 132, 18);
    WebTitelLabel = Zeile(this, "WebTitelLabel", 24, 238, 80);
    WebLabel = new TVerweisLabel(this);
    WebLabel->setObjectName(QStringLiteral("WebLabel"));
    WebLabel->setGeometry(108, 238, kBreite - 132, 18);
    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OK, OkButton, nullptr);
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
}

void TInfoDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(14001, "Info"));
    buttonbox->setSprache(Knopfsprache());
    OkButton->setText(KnopfText(Knopflayout::OK, Knopfsprache(), false));
    TitelLabel->setText(KTextZanit(98001, "&#-Wörterbuch"));
    VersionsLabel->setText(QString::fromLatin1(kVersion));
    RechteLabel->setText(KText(14023, "© 2002-2009"));
    CopyLabel->setText(KText(14022, "zanit-Projekt"));
    Zeile1a->setText(KText(14016, "zanit-Projekt"));
    Zeile2a->setText(KText(14017, "Postfach 10 10 10"));
    Zeile3a->setText(KText(14018, "12345 Musterstadt") + QLatin1Char('/') + KText(14019, "Deutschland"));
    Zeile1b->clear();
    Zeile2b->setText(KText(14020, "Telefon: +49 30 23125 000"));
    Zeile3b->setText(KText(14021, "Telefax: +49 30 23125 001"));
    MailTitelLabel->setText(KText(14024, "E-Mail:"));
    MailLabel->setText(KText(14012, "info@example.com"));
    MailLabel->SetzeZiel(KText(14013, "mailto:info@example.com"));
    WebTitelLabel->setText(KText(14025, "Homepage:"));
    WebLabel->setText(KText(14014, "www.example.com"));
    WebLabel->SetzeZiel(KText(14015, "https://www.example.com/"));
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    ZentriereDialog(this);
    TOwnFenster::showEvent(e);
    OkButton->setFocus(Qt::OtherFocusReason);
}

void TInfoDialog::VersionsLabelClick() {
    if (VersionsLabel->text().contains(QLatin1String(kVersion)))
        VersionsLabel->setText(KText(14031, "Erstellungsdatum:") + QLatin1Char(' ') +
                               QString::fromLatin1(kErstellungsdatum));
    else
        VersionsLabel->setText(QString::fromLatin1(kVersion));
}

bool TInfoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == VersionsLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        VersionsLabelClick();
    return TOwnFenster::eventFilter(watched, event);
}

}  // namespace zanit
