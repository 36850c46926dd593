#pragma once
// The base of the borderless dialogs: it paints the frame lines and the title bar (from bitmap 0 of the
// skin, plain colours without one) with the caption, gives the window its shape with the lower-right corner
// cut off, offers a help and a close spot in the title bar, and lets the user drag the window by any free
// spot. A dialog derives from it, sets its Tag (99: frame round the whole window; any other value leaves the
// corner of the 193 x 23 button box free) and its help context, and places its controls below y 30.
#include <QDialog>
#include <QPoint>
#include <functional>

namespace zanit {

// Cuts the lower-right corner of a borderless window diagonally by 21 pixels (client coordinates).
void DialogFormSetzen(QWidget* window, int width, int height);

// Centres a dialog on the main window's rectangle once the main window has been shown, else on the screen.
void ZentriereDialog(QWidget* dialog);

class TOwnFenster : public QDialog {
    Q_OBJECT
public:
    explicit TOwnFenster(QWidget* parent = nullptr);

    int Tag() const;
    void SetzeTag(int tag);
    // Help topic of the help spot (0: the general topic 9999).
    int Hilfekontext() const { return hilfekontext_; }
    void SetzeHilfekontext(int context) { hilfekontext_ = context; }

    // The help seam: what the help spot opens (topic number). Until a help viewer installs itself, nothing.
    static void SetzeHilfeaufruf(std::function<void(int topic)> aufruf);

    // True while the user drags the window by a free spot.
    bool Zieht() const { return zieht_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

    // Paints frame, title bar and caption; derived dialogs that paint more call it first.
    void MaleRahmen(QPainter& p);

private:
    int hilfekontext_ = 0;
    bool zieht_ = false;
    bool systemZug_ = false;
    QPoint griff_;  // pointer position relative to the window's top-left while dragging by hand
};

}  // namespace zanit
