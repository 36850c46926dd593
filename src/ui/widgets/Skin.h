#pragma once
// The skin: the bitmap lists of the program folder and the colours painted with them, held once for the
// process. The main window's frame and menu strip, the dialogs' title bar and the picture buttons read it.
// A list that is missing or damaged leaves its slot empty; painters then use plain colours, and the reason
// goes to the error log.
#include <QColor>
#include <QSize>
#include <QString>
#include <functional>

#include "ui/widgets/TBitmapListe.h"

namespace zanit {

inline constexpr int kKeinFarbset = 200;    // nothing loaded yet
inline constexpr int kReduziertesFarbset = 20;  // screens below 16 bits per pixel

struct TSkin {
    TBitmapListe DesktopBMPListe;              // "wbhi.bml": title bar, frame, menu strip
    TBitmapListe GrauBitmapListe;              // "wbbtnhi.bml": classic layout's button faces
    TBitmapListe ButtonsBitmapList;            // "Buttons.bml": faces of the multi-language buttons
    TBitmapListe TabBitmapList;                // "Tab.bml": language tab pictures
    TBitmapListe SuchspracheButtonBitmapList;  // "Search.bml": search direction buttons
    int geladenesFarbset = kKeinFarbset;
    bool geladen = false;                      // DesktopBMPListe holds the skin
    QColor Titelfarbe = Qt::white;             // caption text of the dialogs' title bar
    QColor Menuefarbe12 = Qt::white;           // menu strip colours
    QColor Menuefarbe13 = Qt::white;

    // Size of bitmap i of DesktopBMPListe, taken when the skin was loaded (empty without a skin).
    QSize Mass(int i) const;
    QSize masse[14];
};

// The process-wide skin.
TSkin& Skinzustand();

// Where failures to load a list are reported; by default appended to the error log in the program folder.
void SetzeSkinProtokoll(std::function<void(const QString&)> protokoll);

// Loads the skin lists from `ordner` for colour set `farbset` (below 16 bits of colour depth the reduced
// set 20). Loads only when the set differs from the loaded one; "wbbtnhi.bml" only for the classic layout.
// Returns whether the skin is loaded afterwards.
bool LadeSkin(const QString& ordner, int farbset, int farbtiefe, bool klassisch);

// The multi-language layout's lists: "Buttons.bml", "Tab.bml", "Search.bml". False when any failed.
bool LadeBitmaplisten(const QString& ordner);

// Forgets everything loaded (tests, and a new start of the window in one process).
void SkinZuruecksetzen();

}  // namespace zanit
