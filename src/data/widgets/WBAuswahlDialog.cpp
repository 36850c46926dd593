#include "data/widgets/WBAuswahlDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "base/Katalog.h"
#include "ui/widgets/Fensterhilfen.h"

namespace zanit {

TWBAuswahlDialog::TWBAuswahlDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WBAuswahlDialog"));
    setModal(true);
    InstallierteLabel = new QLabel(this);
    InstallierteLabel->setObjectName(QStringLiteral("InstallierteLabel"));
    WBListbox = new QListWidget(this);
    WBListbox->setObjectName(QStringLiteral("WBListbox"));
    InstallierteLabel->setBuddy(WBListbox);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(AbbrechenButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(InstallierteLabel);
    layout->addWidget(WBListbox);
    layout->addLayout(buttons);
    resize(320, 260);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(WBListbox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void TWBAuswahlDialog::Fuellen(const QStringList& entries, int marked) {
    WBListbox->clear();
    WBListbox->addItems(entries);
    if (marked >= 0 && marked < WBListbox->count()) WBListbox->setCurrentRow(marked);
}

int TWBAuswahlDialog::Markiert() const { return WBListbox->currentRow(); }

void TWBAuswahlDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(32001, "Wörterbuch wechseln"));
    InstallierteLabel->setText(KText(32010, "&Verfügbare Wörterbücher:"));
    AbbrechenButton->setText(AbbrechenText(Knopfsprache()));
    // Centred over the main window.
    const Fensterrechteck r = Startzustand().einmalGezeigt ? Startzustand().fensterCache : BildschirmRechteck();
    move(r.left + (r.width - width()) / 2, r.top + (r.height - height()) / 2);
    WBListbox->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(e);
}

}  // namespace zanit
