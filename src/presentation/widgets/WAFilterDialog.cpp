#include "presentation/widgets/WAFilterDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "presentation/Wortartfilter.h"
#include "ui/widgets/Fensterhilfen.h"
#include "ui/widgets/Knopfkasten.h"
#include "ui/widgets/Unicode.h"

namespace zanit {

TWAFilterDialog::TWAFilterDialog(QWidget* owner) : TOwnFenster(owner) {
    setObjectName(QStringLiteral("WAFilterDialog"));
    setModal(true);
    setFixedSize(234, 256);
    WortartLabel = new QLabel(this);
    WortartLabel->setObjectName(QStringLiteral("WortartLabel"));
    WortartLabel->setGeometry(16, 36, 201, 18);
    Wortartcombo = new QListWidget(this);
    Wortartcombo->setObjectName(QStringLiteral("Wortartcombo"));
    Wortartcombo->setGeometry(16, 56, 201, 160);
    Wortartcombo->setUniformItemSizes(true);
    WortartLabel->setBuddy(Wortartcombo);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    AbbrechenButton = new QPushButton(this);
    AbbrechenButton->setObjectName(QStringLiteral("AbbrechenButton"));
    buttonbox = SetzeKnopfkasten(this, Knopflayout::OKAbbrechen, OkButton, AbbrechenButton);
    connect(OkButton, &QPushButton::clicked, this, &TWAFilterDialog::OkButtonClick);
    connect(AbbrechenButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Wortartcombo, &QListWidget::itemDoubleClicked, this, &TWAFilterDialog::OkButtonClick);
}

bool TWAFilterDialog::Auswaehlen(int& code) {
    code_ = code;
    gewaehlt_ = -1;
    if (exec() != QDialog::Accepted) return false;
    code = gewaehlt_;
    return true;
}

void TWAFilterDialog::showEvent(QShowEvent* e) {
    FormShow();
    TOwnFenster::showEvent(e);
}

void TWAFilterDialog::FormShow() {
    ZentriereDialog(this);
    if (Startzustand().mehrsprachig) FaerbeDialog(this);
    setWindowTitle(KText(33001, "Wortart-Filter"));
    WortartLabel->setText(KText(3037, "&Wortart:"));
    Wortartcombo->clear();
    Wortartcombo->addItem(KText(33050, "(kein Wortart-Filter)"));
    for (int code = 1; code <= kHoechsteWortart; ++code) Wortartcombo->addItem(ZuUnicode(Wortartname(code)));
    buttonbox->setSprache(Knopfsprache());
    AbbrechenButton->setText(AbbrechenText(Knopfsprache()));
    Wortartcombo->setCurrentRow(code_ >= 0 && code_ <= kHoechsteWortart ? code_ : -1);
    Wortartcombo->setFocus(Qt::OtherFocusReason);
}

void TWAFilterDialog::OkButtonClick() {
    const QList<QListWidgetItem*> markiert = Wortartcombo->selectedItems();
    gewaehlt_ = markiert.isEmpty() ? -1 : Wortartcombo->row(markiert.first());
    accept();
}

// Keys the focused control leaves alone reach the form: the list and the buttons pass the function keys on,
// so Ctrl+F1..F11 act wherever the focus is in the dialog.
void TWAFilterDialog::keyPressEvent(QKeyEvent* e) {
    const int f = e->key() - Qt::Key_F1 + 1;
    if ((e->modifiers() & Qt::ControlModifier) && f >= 1 && f <= kHoechsteWortart) {
        e->accept();
        Wortartcombo->setCurrentRow(f);
        OkButtonClick();
        return;
    }
    TOwnFenster::keyPressEvent(e);
}

}  // namespace zanit
