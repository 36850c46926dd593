#pragma once
// The dictionary selection dialog of the classic layout: the installed dictionaries as "TextM/TextF".
#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace zanit {

class TWBAuswahlDialog : public QDialog {
    Q_OBJECT
public:
    explicit TWBAuswahlDialog(QWidget* parent = nullptr);

    // Fills the list and marks `marked` (-1: none).
    void Fuellen(const QStringList& entries, int marked);
    // The marked list position, -1 when none.
    int Markiert() const;

    QLabel* InstallierteLabel = nullptr;
    QListWidget* WBListbox = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* AbbrechenButton = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
};

}  // namespace zanit
