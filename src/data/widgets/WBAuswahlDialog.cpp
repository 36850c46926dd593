#include "data/widgets/WBAuswahlDialog.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "ui/Skinmass.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/TButtonLeiste.h"

namespace zanit {

namespace {
constexpr int kBreite = 320, kHoehe = 260;
}

TWBAuswahlDialog::TWBAuswahlDialog(QWidget* parent) : TOwnFenster(parent) {
    setObjectName(QStringLiteral("WBAuswahlDialog"));
    setModal(true);
    setFixedSize(kBreite, kHoehe);
    InstallierteLabel = new QLabel(this);
    InstallierteLabel->setObjectName(QStringLiteral("InstallierteLabel"));
    InstallierteLabel->setGeometry(16, 34, kBreite - 32, 18);
    WBListbox = new QListWidget(this);
    WBListbox->setObjectName(QStringLiteral("WBListbox"));
    WBListbox->setGeometry(16, 54, kBreite - 32, kHoehe - 54 - kButtonboxHoehe - 10);
    InstallierteLabel->setBuddy(WBListbox);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    buttonbox = new TButtonLeiste(this);
    buttonbox->setObjectName(QStringLiteral("buttonbox"));
    buttonbox->setKnopflayout(Knopflayout::OKAbbrechen);
    buttonbox->move(kBreite - kButtonboxBreite, kHoehe - kButtonboxHoehe);
    for (QPushButton* b : {OKButton, AbbrechenButton}) {
        b->setFixedSize(28, 15);
        b->installEventFilter(this);
    }
    OKButton->move(buttonbox->x() + 2, buttonbox->y() + 2);
    AbbrechenButton->move(buttonbox->x() + 20, buttonbox->y() + 2);
    buttonbox->raise();

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(WBListbox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttonbox, &TButtonLeiste::geklickt, this, [this](int b) { b == 0 ? accept() : reject(); });
}

void TWBAuswahlDialog::Fuellen(const QStringList& entries, int marked) {
    WBListbox->clear();
    WBListbox->addItems(entries);
    if (marked >= 0 && marked < WBListbox->count()) WBListbox->setCurrentRow(marked);
}

int TWBAuswahlDialog::Markiert() const { return WBListbox->currentRow(); }

bool TWBAuswahlDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == OKButton || watched == AbbrechenButton) {
        if (event->type() == QEvent::FocusIn) buttonbox->setHervorgehoben(watched == OKButton ? 0 : 1);
        else if (event->type() == QEvent::FocusOut) buttonbox->setHervorgehoben(-1);
    }
    return TOwnFenster::eventFilter(watched, event);
}

void TWBAuswahlDialog::showEvent(QShowEvent* e) {
    setWindowTitle(KText(32001, "Wörterbuch wechseln"));
    InstallierteLabel->setText(KText(32010, "&Verfügbare Wörterbücher:"));
    AbbrechenButton->setText(AbbrechenText(Knopfsprache()));
    buttonbox->setSprache(Knopfsprache());
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    ZentriereDialog(this);
    WBListbox->setFocus(Qt::OtherFocusReason);
    TOwnFenster::showEvent(e);
}

}  // namespace zanit
