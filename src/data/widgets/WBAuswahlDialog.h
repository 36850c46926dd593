#pragma once
// The dictionary selection dialog of the classic layout: the installed dictionaries as "TextM/TextF".
#include <QStringList>

#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zanit {

class TButtonLeiste;

class TWBAuswahlDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TWBAuswahlDialog(QWidget* parent = nullptr);

    // Fills the list and marks `marked` (-1: none).
    void Fuellen(const QStringList& entries, int marked);
    // The marked list position, -1 when none.
    int Markiert() const;

    QLabel* InstallierteLabel = nullptr;
    QListWidget* WBListbox = nullptr;
    // OK and cancel sit under the painted button box and carry focus and keyboard.
    QPushButton* OKButton = nullptr;
    QPushButton* AbbrechenButton = nullptr;
    TButtonLeiste* buttonbox = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zanit
