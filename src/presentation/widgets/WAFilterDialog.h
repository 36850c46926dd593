#pragma once
// The part-of-speech filter dialog "Wortart-Filter": a list of "(kein Wortart-Filter)" and the eleven
// part-of-speech names, whose item index is the filter code, with OK and Cancel. Ctrl+F1..F11 choose a part
// of speech and confirm at once.
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zanit {

class TButtonLeiste;

class TWAFilterDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TWAFilterDialog(QWidget* owner = nullptr);

    // Shows the dialog modally with `code` selected. On OK returns true and stores the chosen item index in
    // `code` (-1 when none is selected); on Cancel returns false and leaves `code` alone.
    bool Auswaehlen(int& code);

    QLabel* WortartLabel = nullptr;
    QListWidget* Wortartcombo = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* AbbrechenButton = nullptr;
    TButtonLeiste* buttonbox = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FormShow();
    void OkButtonClick();

    int code_ = 0;
    int gewaehlt_ = -1;
};

}  // namespace zanit
