#include "ui/widgets/Knopfkasten.h"

#include <QDialog>
#include <QEvent>
#include <QPushButton>
#include <utility>

#include "base/Katalog.h"
#include "ui/Skinmass.h"

namespace zanit {

namespace {

// Shows on the box which of its buttons has the focus.
class Fokusanzeige : public QObject {
public:
    Fokusanzeige(TButtonLeiste* kasten, QPushButton* links, QPushButton* rechts)
        : QObject(kasten), kasten_(kasten), links_(links), rechts_(rechts) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) kasten_->setHervorgehoben(watched == links_ && rechts_ ? 0 : 1);
        else if (event->type() == QEvent::FocusOut) kasten_->setHervorgehoben(-1);
        return false;
    }

private:
    TButtonLeiste* kasten_;
    QPushButton* links_;
    QPushButton* rechts_;
};

}  // namespace

TButtonLeiste* SetzeKnopfkasten(QDialog* dialog, Knopflayout layout, QPushButton* links, QPushButton* rechts) {
    auto* kasten = new TButtonLeiste(dialog);
    kasten->setObjectName(QStringLiteral("buttonbox"));
    kasten->setKnopflayout(layout);
    kasten->setSprache(Knopfsprache());
    kasten->move(dialog->width() - kButtonboxBreite, dialog->height() - kButtonboxHoehe);
    auto* anzeige = new Fokusanzeige(kasten, links, rechts);
    // Each small button lies under the painted button it stands for (a single one under the right half).
    const std::pair<QPushButton*, int> knoepfe[] = {{links, rechts ? 0 : 1}, {rechts, 1}};
    for (const auto& [b, knopf] : knoepfe) {
        if (!b) continue;
        b->setFixedSize(28, 15);
        b->move(kasten->pos() + kasten->knopfRechteck(knopf).topLeft() + QPoint(2, 2));
        b->installEventFilter(anzeige);
    }
    kasten->raise();
    QObject::connect(kasten, &TButtonLeiste::geklickt, dialog, [links, rechts](int knopf) {
        (knopf == 0 || !rechts ? links : rechts)->click();
    });
    return kasten;
}

}  // namespace zanit
