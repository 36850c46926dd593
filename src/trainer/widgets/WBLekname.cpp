#include "trainer/widgets/WBLekname.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Startzustand.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/MeldungDialog.h"

namespace zanit {

TLekNameDialog::TLekNameDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("LekNameDialog"));
    NameLabel = new QLabel(this);
    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameLabel->setBuddy(NameEdit);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(AbbrechenText(0), this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(OkButton);
    knoepfe->addWidget(AbbrechenButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NameLabel);
    layout->addWidget(NameEdit);
    layout->addLayout(knoepfe);
    connect(OkButton, &QPushButton::clicked, this, &TLekNameDialog::OkButtonClick);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
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
