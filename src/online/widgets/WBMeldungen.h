#pragma once
// The feedback dialog: it invites the user to report missing or wrong dictionary entries and offers one
// button that starts a new message in the user's own e-mail program, addressed to the dictionary editors
// (catalogue text 24010, so each dialog language may name its own address). Nothing is sent by the program.
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QPushButton;

namespace zanit {

class TButtonLeiste;
class TVerweisLabel;

class TWBMeldungenDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TWBMeldungenDialog(QWidget* parent = nullptr);

    QLabel *PanelLabel = nullptr, *LabelOben = nullptr, *LabelMitte = nullptr, *LabelMitte2 = nullptr,
           *LabelUnten = nullptr;
    QPushButton* EMailButton = nullptr;
    TVerweisLabel* EMailLabel = nullptr;  // hidden; performs the opening
    TButtonLeiste* buttonbox = nullptr;
    QPushButton* OkButton = nullptr;

    // "mailto:" followed by the editors' address, nothing else; then opened (switched off after a failure).
    void EMailButtonClick();

protected:
    void showEvent(QShowEvent* e) override;
};

}  // namespace zanit
