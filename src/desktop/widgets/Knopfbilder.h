#pragma once
// The picture faces of the main window's buttons: the classic layout's buttons take the faces of
// "wbbtnhi.bml", the multi-language layout's those of "Buttons.bml", the search direction buttons those of
// "Search.bml". The filter buttons are dressed by the filter itself. A button whose list lacks its faces
// keeps its ordinary look.
#include <QString>
#include <vector>

class QWidget;

namespace zanit {

class TBitmapListe;

enum class Knopfliste { Grau, Buttons, Suche };

struct Knopfbild {
    const char* name;  // object name of the button in the main window
    Knopfliste liste;
    int normal, heiss, gedrueckt;
    bool symbol;  // the faces carry the button's symbol
};

// Which button wears which faces.
const std::vector<Knopfbild>& Knopfbilder();

// Dresses the buttons of `fenster` that the loaded lists have faces for.
void KnoepfeBemalen(QWidget& fenster);

}  // namespace zanit
