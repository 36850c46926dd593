#include "sound/widgets/CDHinweisDialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "base/Katalog.h"
#include "ui/Skinmass.h"
#include "ui/widgets/TButtonLeiste.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

namespace {
QString KText(int nummer, std::string_view deutsch) { return ZuUnicode(KatalogText(nummer, deutsch)); }
}  // namespace

TCDHinweisDialog::TCDHinweisDialog(QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("CDHinweisDialog"));
    setFixedSize(378, 215);
    Ueberschrift = new QLabel(this);
    Ueberschrift->setObjectName(QStringLiteral("Ueberschrift"));
    Ueberschrift->setAlignment(Qt::AlignCenter);
    QFont fett(QStringLiteral("Arial"));
    fett.setBold(true);
    Ueberschrift->setFont(fett);
    Ueberschrift->setAutoFillBackground(true);
    Ueberschrift->setForegroundRole(QPalette::HighlightedText);
    Ueberschrift->setBackgroundRole(QPalette::Shadow);
    Ueberschrift->setGeometry(18, 41, 343, 33);
    TextLabel = new QLabel(this);
    TextLabel->setObjectName(QStringLiteral("TextLabel"));
    TextLabel->setWordWrap(true);
    TextLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TextLabel->setGeometry(26, 85, 326, 68);
    SprachCheck = new QCheckBox(this);
    SprachCheck->setObjectName(QStringLiteral("SprachCheck"));
    SprachCheck->move(37, 152);
    SprachCheck->hide();
    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    // The button box at the bottom right: Repeat on the left, Ignore on the right; the small buttons below it
    // take Return and Escape.
    buttonbox = new TButtonLeiste(this);
    buttonbox->setObjectName(QStringLiteral("buttonbox"));
    buttonbox->setKnopflayout(Knopflayout::WiederholenIgnorieren);
    buttonbox->move(width() - kButtonboxBreite, height() - kButtonboxHoehe);
    for (QPushButton* b : {OkButton, AbbrechenButton}) {
        b->setFixedSize(28, 15);
        b->installEventFilter(this);
    }
    OkButton->move(buttonbox->x() + 2, buttonbox->y() + 2);
    AbbrechenButton->move(buttonbox->x() + 20, buttonbox->y() + 2);
    buttonbox->raise();
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(AbbrechenButton, &QPushButton::clicked, this, [this] { done(2); });
    connect(buttonbox, &TButtonLeiste::geklickt, this, [this](int b) { done(b == 0 ? 1 : 2); });
}

bool TCDHinweisDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == OkButton || watched == AbbrechenButton) {
        if (event->type() == QEvent::FocusIn) buttonbox->setHervorgehoben(watched == OkButton ? 0 : 1);
        else if (event->type() == QEvent::FocusOut) buttonbox->setHervorgehoben(-1);
    }
    return TOwnFenster::eventFilter(watched, event);
}

void TCDHinweisDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(5006, "Hinweis"));
    SprachCheck->setText(KText(99017, "Diesen Hinweis beim Programmstart nicht mehr anzeigen"));
    SprachCheck->adjustSize();
    buttonbox->setSprache(Knopfsprache());
    OkButton->setText(KnopfText(Knopflayout::WiederholenIgnorieren, Knopfsprache(), true));
    AbbrechenButton->setText(KnopfText(Knopflayout::WiederholenIgnorieren, Knopfsprache(), false));
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    TOwnFenster::showEvent(e);
    OkButton->setFocus(Qt::OtherFocusReason);
}

int TCDHinweisDialog::Zeige(const QString& ueberschrift, const QString& text, bool mitCheckbox) {
    Ueberschrift->setText(ueberschrift.isEmpty() ? KText(99015, "Sprachausgabe nicht gefunden!") : ueberschrift);
    TextLabel->setText(text);
    SprachCheck->setVisible(mitCheckbox);
    // Escape and closing the window answer "Ignorieren".
    const int ergebnis = exec();
    return ergebnis == 1 ? 1 : 2;
}

int TCDHinweis::Zeige(const std::string& ueberschrift, const std::string& text, bool mitCheckbox,
                      bool& angekreuzt) {
    TCDHinweisDialog dialog(parent_);
    const int ergebnis = dialog.Zeige(ZuUnicode(ueberschrift), ZuUnicode(text), mitCheckbox);
    angekreuzt = mitCheckbox && dialog.SprachCheck->isChecked();
    return ergebnis;
}

}  // namespace zanit
