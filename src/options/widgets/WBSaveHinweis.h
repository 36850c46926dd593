#pragma once
// The notice shown when the main window is closed: with the program the hotkeys end too. OK closes,
// cancel keeps the program open; its check box switches the notice off either way.
#include "ui/widgets/TOwnFenster.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zanit {

class TButtonLeiste;

class TSaveHinweisDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TSaveHinweisDialog(QWidget* parent = nullptr);
    // Modal; 1 OK, 2 cancel (also Escape and the close spot).
    int Zeige();

    QLabel *TextLabel1 = nullptr, *TextLabel2 = nullptr, *TextLabel3 = nullptr;
    QCheckBox* EndCheck = nullptr;
    TButtonLeiste* buttonbox = nullptr;
    QPushButton *OkButton = nullptr, *AbbrechenButton = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
};

}  // namespace zanit
