#include "sound/widgets/CDHinweisDialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "base/Katalog.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

namespace {
QString KText(int nummer, std::string_view deutsch) { return ZuUnicode(KatalogText(nummer, deutsch)); }
}  // namespace

TCDHinweisDialog::TCDHinweisDialog(QWidget* parent) : QDialog(parent) {
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
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    // The button box: 193 x 23 at the bottom right, Repeat on the left, Ignore on the right.
    OkButton->setGeometry(width() - 193, height() - 23, 96, 23);
    AbbrechenButton->setGeometry(width() - 97, height() - 23, 97, 23);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(AbbrechenButton, &QPushButton::clicked, this, [this] { done(2); });
}

void TCDHinweisDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(5006, "Hinweis"));
    SprachCheck->setText(KText(99017, "Diesen Hinweis beim Programmstart nicht mehr anzeigen"));
    SprachCheck->adjustSize();
    OkButton->setText(QStringLiteral("Wiederholen"));
    AbbrechenButton->setText(QStringLiteral("Ignorieren"));
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(e);
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
