#pragma once
// The skinned main window: without the system's frame, it paints its caption, frame and menu strip from the
// skin images, moves by the caption, resizes by the border, minimises and closes through the caption's
// buttons, and shows the language tabs as pictures. Installed into the main window through its skin joint;
// without a loadable skin the window keeps the system frame and plain colours.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <vector>

#include "app/widgets/Erweiterungen.h"
#include "desktop/Skinform.h"

class QWidget;
class QPainter;

namespace zanit {

// Paints and drives one main window (event filter on the window and its menu strip).
class TSkinForm : public QObject {
    Q_OBJECT
public:
    TSkinForm(QWidget* fenster, QWidget* menupanel);

    // tfSkinFormPaint: the frame of the painted size h x w; menupanelPaint: the menu strip.
    void tfSkinFormPaint(QPainter& p, int h, int w);
    void menupanelPaint(QPainter& p);
    void BeschriftungMalen(QPainter& p);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RandzeigerSetzen(QPoint pos);

    QWidget* fenster_;
    QWidget* menupanel_;
    Treffer griff_{};
    QPoint griffStart_;
    QRect griffRechteck_;
    bool handgriff_ = false;
};

// The skin joint of the main window.
class TSkinErweiterung : public Skin {
public:
    // The lists are read from `ordner`, by default the program folder.
    explicit TSkinErweiterung(QString ordner = {}) : ordner_(std::move(ordner)) {}
    bool Vorhanden() const override { return true; }
    void BitmaplistenLaden(QWidget& fenster) override;
    void LadeSkin(QWidget& fenster, int colourSet) override;
    int L9() const override;
    int W10() const override;
    int H7() const override;
    void SprachreiterBilder(QWidget& fenster, const std::vector<int>& codes, int mutter) override;

    TSkinForm* Form() const { return form_; }

private:
    QString Ordner() const;
    QString ordner_;
    QPointer<TSkinForm> form_;
};

// The sizes of the loaded skin images.
Skinmasse AktuelleSkinmasse();

}  // namespace zanit
