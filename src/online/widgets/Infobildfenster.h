#pragma once
// The news picture shown when the program closes: the picture in a 2-pixel frame, up to six transparent
// areas on it that open their address when clicked, one OK button.
#include <QPoint>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Startzustand.h"
#include "online/Infobild.h"
#include "ui/widgets/TOwnFenster.h"

class QLabel;
class QPushButton;

namespace zanit {

class TButtonLeiste;

// Position of the picture window (client size breite x hoehe): centred horizontally on `bezug`; vertically
// too, unless the screen is lower than the window, then its bottom sits on the screen's bottom.
QPoint Infofensterlage(const Fensterrechteck& bezug, int bildschirmHoehe, int breite, int hoehe);

// Hands an area's address (Windows-1252) to the desktop when it is an http, https or mailto address; other
// schemes (file, javascript, programs of the system) are never opened. True when it was handed on.
bool InfoadresseOeffnen(std::string_view adresse);

// A transparent clickable area of the picture.
class TInfoflaeche : public QWidget {
    Q_OBJECT
public:
    TInfoflaeche(const TInfobereich& bereich, QWidget* parent);
    const std::string& Adresse() const { return adresse_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::string adresse_;
    bool gedrueckt_ = false;
};

class TInfobildDialog : public TOwnFenster {
    Q_OBJECT
public:
    // The picture INFO_W.JPG and the areas of INFO_W.DAT from `datenordner`.
    explicit TInfobildDialog(const std::filesystem::path& datenordner, QWidget* parent = nullptr);

    QLabel* Bild = nullptr;  // the picture with its frame
    std::vector<TInfoflaeche*> Flaechen;
    TButtonLeiste* buttonbox = nullptr;
    QPushButton* OkButton = nullptr;

    // Distance of the picture's top left corner from the window's, inside the frame.
    static constexpr int kBildLinks = 19, kBildOben = 33;

protected:
    void showEvent(QShowEvent* e) override;
};

// Shows the picture window modally when `datenordner` holds INFO_W.JPG.
void ZeigeInfobild(const std::filesystem::path& datenordner, QWidget* parent);

}  // namespace zanit
