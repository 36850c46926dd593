#pragma once
// The system's own message box: a borderless window with a text, a title and a button strip that shows
// "Ja"/"Nein" or "OK" in the dialog language. Every catalogue message goes through Meldungsfenster.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace zanit {

inline constexpr int kErgebnisJa = 6;
inline constexpr int kErgebnisNein = 2;

// Cuts the lower-right corner of a borderless window diagonally by 21 pixels (client coordinates).
void DialogFormSetzen(QWidget* window, int width, int height);

// The caption of the strip's buttons in one of the seven button languages (0 German ... 6 Swedish).
QString ButtonText(int language, bool left, bool yesNo);

// The painted button strip, 193 x 23: two buttons (yes/no) or one in the right half (OK).
class TButtonLeiste : public QWidget {
    Q_OBJECT
public:
    explicit TButtonLeiste(QWidget* parent = nullptr);
    void setDoppelt(bool on);
    bool doppelt() const { return doppelt_; }
    void setSprache(int language);
    int sprache() const { return sprache_; }
    void setHervorgehoben(int button);  // 0 left, 1 right, -1 none
    // The button under a point of the strip: 0 left, 1 right, -1 none.
    int knopfBei(QPoint p) const;

signals:
    void gedrueckt(int button);   // mouse pressed on a button
    void geklickt(int button);    // mouse released on the button it was pressed on

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QRect knopfRechteck(int button) const;
    bool doppelt_ = false;
    int sprache_ = 0;
    int hervorgehoben_ = -1;
    int gedrueckt_ = -1;
};

class TMeldungDialog : public QDialog {
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
    void paintEvent(QPaintEvent*) override;
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
