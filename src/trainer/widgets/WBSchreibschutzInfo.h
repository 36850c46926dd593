#pragma once
// The notice that the chosen collection is write-protected.
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QPushButton;

namespace zanit {

class TButtonLeiste;

class TSchreibschutzInfoDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TSchreibschutzInfoDialog(QWidget* owner = nullptr);
    QLabel* Ueberschrift = nullptr;
    QLabel* TextLabel = nullptr;
    QLabel* Text2Label = nullptr;
    QPushButton* OkButton = nullptr;
    TButtonLeiste* buttonbox = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
};

}  // namespace zanit
