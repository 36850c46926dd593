#include "trainer/widgets/WBSchreibschutzInfo.h"

#include <QLabel>
#include <QPushButton>

#include "base/Startzustand.h"
#include "ui/widgets/Knopfkasten.h"
#include "ui/widgets/Fensterhilfen.h"

namespace zanit {

TSchreibschutzInfoDialog::TSchreibschutzInfoDialog(QWidget* owner) : TOwnFenster(owner) {
    setObjectName(QStringLiteral("SchreibschutzInfoDialog"));
    setModal(true);
    setFixedSize(400, 224);
    setWindowTitle(KText(5006, "Hinweis"));
    Ueberschrift = new QLabel(KText(12501, "Diese Sammlung ist schreibgeschützt!"), this);
    Ueberschrift->setGeometry(16, 36, 368, 20);
    QFont fett = Ueberschrift->font();
    fett.setBold(true);
    Ueberschrift->setFont(fett);
    TextLabel = new QLabel(this);
    TextLabel->setGeometry(16, 60, 368, 64);
    Text2Label = new QLabel(this);
    Text2Label->setGeometry(16, 126, 368, 64);
    for (QLabel* l : {TextLabel, Text2Label}) {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OK, OkButton, nullptr);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
}

void TSchreibschutzInfoDialog::showEvent(QShowEvent* e) {
    ZentriereDialog(this);
    OkButton->setFocus();
    TOwnFenster::showEvent(e);
}

}  // namespace zanit
