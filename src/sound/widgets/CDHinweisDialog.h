#pragma once
// The notice that asks for a sound medium: a heading, the message, the check box "do not show this notice at
// program start again" when the caller offers it, and "Wiederholen" (result 1) / "Ignorieren" (result 2).

#include "sound/Tonmedium.h"
#include "ui/widgets/TOwnFenster.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zanit {

class TButtonLeiste;

class TCDHinweisDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TCDHinweisDialog(QWidget* parent = nullptr);

    QLabel* Ueberschrift = nullptr;
    QLabel* TextLabel = nullptr;
    QCheckBox* SprachCheck = nullptr;
    TButtonLeiste* buttonbox = nullptr;      // "Wiederholen" | "Ignorieren"
    QPushButton* OkButton = nullptr;         // "Wiederholen", Return
    QPushButton* AbbrechenButton = nullptr;  // "Ignorieren", Escape

    // Shows the dialog modally; 1 Wiederholen, 2 Ignorieren. An empty heading shows 99015.
    int Zeige(const QString& ueberschrift, const QString& text, bool mitCheckbox);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The notice as the sound medium search asks for it: a new dialog for each showing.
class TCDHinweis : public Medienhinweis {
public:
    explicit TCDHinweis(QWidget* parent = nullptr) : parent_(parent) {}
    void SetzeParent(QWidget* parent) { parent_ = parent; }
    int Zeige(const std::string& ueberschrift, const std::string& text, bool mitCheckbox, bool& angekreuzt) override;

private:
    QWidget* parent_;
};

}  // namespace zanit
