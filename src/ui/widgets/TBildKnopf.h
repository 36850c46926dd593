#pragma once
// Buttons painted from three faces of a bitmap list: normal, hot while the pointer is over it, pressed while
// held down (and while the button stands for the active choice, its property "Aktiv"). The caption is drawn
// over the face, right of the face's symbol when the face carries one. Without the list's images a button
// is painted as a plain flat button, so a missing list never leaves it invisible.
//
// `TBildKnopf` is such a button of its own; `FlaechenAnbringen` gives any existing button the same faces,
// so a window can dress the buttons it built without building them anew.
#include <QAbstractButton>

class QPainter;

namespace zanit {

class TBitmapListe;

struct Knopfflaechen {
    const TBitmapListe* liste = nullptr;
    int normal = -1, heiss = -1, gedrueckt = -1;
    bool symbol = false;  // the faces carry the button's symbol at their left (the button's icon is not drawn)
};

// The face index a button shows now, `ueber` telling whether the pointer is over it (-1 when the list lacks
// it or there is none).
int KnopfFlaeche(const QAbstractButton& knopf, const Knopfflaechen& f, bool ueber);

// Paints the button with face `flaeche` (-1: plain): the face stretched between its end caps when the button
// is wider or narrower, dimmed when the button is disabled; then icon, caption and focus mark.
void MaleKnopf(QPainter& p, const QAbstractButton& knopf, const Knopfflaechen& f, int flaeche);

// Gives `knopf` the faces (again, when it has some already): its own painting is replaced by the faces.
void FlaechenAnbringen(QAbstractButton* knopf, const Knopfflaechen& f);
// The face index painted now on a button that was given faces, -1 otherwise.
int AngebrachteFlaeche(const QAbstractButton* knopf);

class TBildKnopf : public QAbstractButton {
    Q_OBJECT
public:
    explicit TBildKnopf(QWidget* parent = nullptr);
    void SetzeBilder(const TBitmapListe* liste, int normal, int heiss, int gedrueckt);
    // The face index painted now (-1 without a list).
    int Flaeche() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    Knopfflaechen flaechen_;
    bool ueber_ = false;
};

}  // namespace zanit
