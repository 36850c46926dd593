#include "options/widgets/WBSaveHinweis.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "base/Katalog.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"

namespace zanit {

TSaveHinweisDialog::TSaveHinweisDialog(QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("SaveHinweisDialog"));
    setFixedSize(400, 230);
    QLabel** labels[3] = {&TextLabel1, &TextLabel2, &TextLabel3};
    const int oben[3] = {42, 86, 130};
    for (int i = 0; i < 3; ++i) {
        *labels[i] = new QLabel(this);
        (*labels[i])->setObjectName(QStringLiteral("TextLabel%1").arg(i + 1));
        (*labels[i])->setWordWrap(true);
        (*labels[i])->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        (*labels[i])->setGeometry(20, oben[i], width() - 40, 40);
    }
    EndCheck = new QCheckBox(this);
    EndCheck->setObjectName(QStringLiteral("EndCheck"));
    EndCheck->move(20, 176);
    OkButton = new QPushButton(this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OKAbbrechen, OkButton, AbbrechenButton);
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(AbbrechenButton, &QPushButton::clicked, this, [this] { done(2); });
}

void TSaveHinweisDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(5006, "Hinweis"));
    TextLabel1->setText(KText(98200, "Wenn Sie das Programm beenden, sind die Hotkeys nicht mehr aktiv."));
    TextLabel2->setText(
        KText(98201, "Sollen die Hotkeys weiterhin aktiv bleiben, dann klicken Sie nun auf ABBRECHEN und minimieren Sie das Programm."));
    TextLabel3->setText(KText(98202, "Möchten Sie das Programm wirklich beenden, dann klicken Sie auf OK."));
    EndCheck->setText(KText(99014, "Diesen Hinweis nicht mehr anzeigen"));
    EndCheck->adjustSize();
    buttonbox->setSprache(Knopfsprache());
    OkButton->setText(KnopfText(Knopflayout::OKAbbrechen, Knopfsprache(), true));
    AbbrechenButton->setText(KnopfText(Knopflayout::OKAbbrechen, Knopfsprache(), false));
    ZentriereDialog(this);
    TOwnFenster::showEvent(e);
    OkButton->setFocus(Qt::OtherFocusReason);
}

int TSaveHinweisDialog::Zeige() { return exec() == 1 ? 1 : 2; }

}  // namespace zanit
