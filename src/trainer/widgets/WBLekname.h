#pragma once
// The lesson name dialog: asks for the name of a new lesson.
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zanit {
class TButtonLeiste;
}

namespace zanit {

class TLekNameDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TLekNameDialog(QWidget* owner = nullptr);
    // Lesson mode: caption, label and a name of at most 50 characters.
    void Lektionsmodus();
    // Shows the dialog with `vorschlag` in the entry, all of it selected; true on OK.
    bool Fragen(const QString& vorschlag);
    QString Name() const;

    QLabel* NameLabel = nullptr;
    QLineEdit* NameEdit = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* AbbrechenButton = nullptr;
    TButtonLeiste* buttonbox = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void OkButtonClick();
};

}  // namespace zanit
