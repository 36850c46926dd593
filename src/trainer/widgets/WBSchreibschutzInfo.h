#pragma once
// The notice that the chosen collection is write-protected.
#include <QDialog>

class QLabel;
class QPushButton;

namespace zanit {

class TSchreibschutzInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSchreibschutzInfoDialog(QWidget* owner = nullptr);
    QLabel* Ueberschrift = nullptr;
    QLabel* TextLabel = nullptr;
    QLabel* Text2Label = nullptr;
    QPushButton* OkButton = nullptr;
};

}  // namespace zanit
