#include "trainer/widgets/WBSchreibschutzInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Startzustand.h"
#include "ui/widgets/Fensterhilfen.h"

namespace zanit {

TSchreibschutzInfoDialog::TSchreibschutzInfoDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("SchreibschutzInfoDialog"));
    setWindowTitle(KText(5006, "Hinweis"));
    Ueberschrift = new QLabel(KText(12501, "Diese Sammlung ist schreibgeschützt!"), this);
    QFont fett = Ueberschrift->font();
    fett.setBold(true);
    Ueberschrift->setFont(fett);
    TextLabel = new QLabel(this);
    Text2Label = new QLabel(this);
    for (QLabel* l : {TextLabel, Text2Label}) {
        l->setWordWrap(true);
        l->setMinimumWidth(360);
    }
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setDefault(true);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(OkButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Ueberschrift);
    layout->addWidget(TextLabel);
    layout->addWidget(Text2Label);
    layout->addLayout(knoepfe);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
}

}  // namespace zanit
