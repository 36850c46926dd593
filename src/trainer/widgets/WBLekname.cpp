#include "trainer/widgets/WBLekname.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "ui/widgets/Knopfkasten.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"

namespace zanit {

TLekNameDialog::TLekNameDialog(QWidget* owner) : TOwnFenster(owner) {
    setObjectName(QStringLiteral("LekNameDialog"));
    setModal(true);
    setFixedSize(300, 118);
    NameLabel = new QLabel(this);
    NameLabel->setGeometry(16, 36, 268, 18);
    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setGeometry(16, 56, 268, 22);
    NameLabel->setBuddy(NameEdit);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(AbbrechenText(Knopfsprache()), this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OKAbbrechen, OkButton, AbbrechenButton);
    connect(OkButton, &QPushButton::clicked, this, &TLekNameDialog::OkButtonClick);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
}

void TLekNameDialog::showEvent(QShowEvent* e) {
    ZentriereDialog(this);
    TOwnFenster::showEvent(e);
}

void TLekNameDialog::Lektionsmodus() {
    setWindowTitle(KText(11501, "Lektion"));
    NameLabel->setText(KText(11511, "&Name der Lektion:"));
    NameEdit->setMaxLength(50);
}

bool TLekNameDialog::Fragen(const QString& vorschlag) {
    NameEdit->setText(vorschlag);
    if (!vorschlag.isEmpty()) NameEdit->selectAll();
    NameEdit->setFocus();
    return exec() == QDialog::Accepted;
}

QString TLekNameDialog::Name() const { return NameEdit->text(); }

void TLekNameDialog::OkButtonClick() {
    if (NameEdit->text().trimmed().isEmpty()) {
        Meldungsfenster(KText(11600, "Bitte geben Sie einen Lektionsnamen ein."), KText(5006, "Hinweis"), 1, true,
                        false);
        NameEdit->setFocus();
        return;
    }
    accept();
}

}  // namespace zanit
