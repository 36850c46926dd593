#pragma once
// A drawn edge: a rectangle framed by up to two bevelled lines, the outer line first, each raised (light
// above and left, dark below and right) or sunken (the other way round). Dialogs group controls with it.
#include <QWidget>

namespace zanit {

enum class Kantenart { Keine, Erhaben, Vertieft };

class TKante : public QWidget {
    Q_OBJECT
public:
    explicit TKante(QWidget* parent = nullptr, Kantenart aussen = Kantenart::Vertieft,
                    Kantenart innen = Kantenart::Erhaben);
    void SetzeStile(Kantenart aussen, Kantenart innen);
    Kantenart Aussen() const { return aussen_; }
    Kantenart Innen() const { return innen_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Kantenart aussen_, innen_;
};

}  // namespace zanit
