#pragma once
// The system's own message box: a borderless window with a text, a title and a button strip that shows
// "Ja"/"Nein" or "OK" in the dialog language. Every catalogue message goes through Meldungsfenster.
#include <QString>

#include "ui/widgets/TButtonLeiste.h"
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QPushButton;

namespace zanit {

inline constexpr int kErgebnisJa = 6;
inline constexpr int kErgebnisNein = 2;

class TMeldungDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TMeldungDialog(QWidget* owner = nullptr);
    // Shows the message modally and returns 6 (yes) or 2 (no, OK, Escape).
    int Meldungsfenster(const QString& text, const QString& title, int lines, bool centred, bool yesNo);

    QLabel* Textfeld = nullptr;
    QPushButton* jabutton = nullptr;
    QPushButton* neinbutton = nullptr;
    TButtonLeiste* buttonbox = nullptr;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool vorschau(QKeyEvent* event);
};

// The main window's one message dialog (created by the window; nullptr before and after its life).
TMeldungDialog* Meldungsdialog();
void SetzeMeldungsdialog(TMeldungDialog* dialog);

// Meldungsfenster(text, title, lines, centred, yes-no) through the main window's dialog (a temporary one when
// it does not exist). When the environment names a file in ZANIT_MELDUNGSPROTOKOLL, the message is appended
// there and answered with ZANIT_MELDUNGSANTWORT (default 2) without showing: start-up tests read it.
int Meldungsfenster(const QString& text, const QString& title, int lines, bool centred, bool yesNo);

// The plain system message box (the installation check), with the same test hook.
void Systemmeldung(const QString& text, const QString& title);

// Test hook: appends a message to the file named by ZANIT_MELDUNGSPROTOKOLL; false when none is named.
bool MeldungProtokollieren(const QString& title, const QString& text);

}  // namespace zanit
