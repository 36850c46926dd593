#pragma once
// A button painted from three faces of a bitmap list (normal, hot while the pointer is over it, pressed),
// with its caption drawn over the face right of the face's symbol. Without the list's images it is painted
// as a plain flat button, so a missing list never leaves it invisible.
#include <QAbstractButton>

namespace zanit {

class TBitmapListe;

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
    const TBitmapListe* liste_ = nullptr;
    int normal_ = -1, heiss_ = -1, gedrueckt_ = -1;
    bool ueber_ = false;
};

}  // namespace zanit
