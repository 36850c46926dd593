#pragma once
// The painted button box of the borderless dialogs, 193 x 23, in the dialog's lower-right corner: two buttons
// (yes/no, OK/cancel, repeat/ignore) or one in the right half (OK, close), captioned in the button language
// (0 German ... 6 Swedish). The dialog keeps small ordinary buttons under it for focus and keyboard; the box
// only shows which of them has the focus and reports clicks.
#include <QString>
#include <QWidget>

namespace zanit {

enum class Knopflayout { JaNein, OK, OKAbbrechen, Schliessen, WiederholenIgnorieren };

// The caption of a button of the box: `links` the left button, else the right (or the single) one.
QString KnopfText(Knopflayout layout, int language, bool links);
// The yes/no and OK captions (yesNo false: "OK").
QString ButtonText(int language, bool left, bool yesNo);

class TButtonLeiste : public QWidget {
    Q_OBJECT
public:
    explicit TButtonLeiste(QWidget* parent = nullptr);
    void setKnopflayout(Knopflayout layout);
    Knopflayout knopflayout() const { return layout_; }
    // Two buttons (yes/no) or the single OK button.
    void setDoppelt(bool on);
    bool doppelt() const;
    void setSprache(int language);
    int sprache() const { return sprache_; }
    void setHervorgehoben(int button);  // 0 left, 1 right, -1 none
    int hervorgehoben() const { return hervorgehoben_; }
    // The button under a point of the box: 0 left, 1 right, -1 none.
    int knopfBei(QPoint p) const;
    QRect knopfRechteck(int button) const;

signals:
    void gedrueckt(int button);  // mouse pressed on a button
    void geklickt(int button);   // mouse released on the button it was pressed on

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    Knopflayout layout_ = Knopflayout::OK;
    int sprache_ = 0;
    int hervorgehoben_ = -1;
    int gedrueckt_ = -1;
    int heiss_ = -1;
};

}  // namespace zanit
