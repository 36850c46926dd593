#include "desktop/widgets/Knopfbilder.h"

#include <QAbstractButton>
#include <QWidget>

#include "ui/widgets/Skin.h"
#include "ui/widgets/TBildKnopf.h"

namespace zanit {
namespace {

const TBitmapListe& Liste(Knopfliste l) {
    const TSkin& s = Skinzustand();
    switch (l) {
    case Knopfliste::Grau:
        return s.GrauBitmapListe;
    case Knopfliste::Buttons:
        return s.ButtonsBitmapList;
    case Knopfliste::Suche:
        break;
    }
    return s.SuchspracheButtonBitmapList;
}

}  // namespace

// Faces of "Buttons.bml" (see docs/bitmap-list.md): 0-2 plain, 3-8 the filter's, 9-11 reverse search,
// 12-14 training, 15-17 speech.
const std::vector<Knopfbild>& Knopfbilder() {
    static const std::vector<Knopfbild> tabelle = {
        {"EingabeButton", Knopfliste::Grau, 0, 1, 2, false},
        {"WPlaybutton", Knopfliste::Grau, 0, 1, 2, false},
        {"Detailbutton", Knopfliste::Grau, 0, 1, 2, false},
        {"UebernehmenButton", Knopfliste::Grau, 0, 1, 2, false},
        {"EingabeMMButton", Knopfliste::Buttons, 0, 1, 2, false},
        {"UmkehrsucheMMButton", Knopfliste::Buttons, 9, 10, 11, true},
        {"UmkehrMMButton", Knopfliste::Buttons, 9, 10, 11, true},
        {"UebernahmeMMButton", Knopfliste::Buttons, 12, 13, 14, true},
        {"Sound1MMButton", Knopfliste::Buttons, 15, 16, 17, true},
        {"Sound2MMButton", Knopfliste::Buttons, 15, 16, 17, true},
        {"Suchsprache1Button", Knopfliste::Suche, 0, 1, 2, false},
        {"Suchsprache2Button", Knopfliste::Suche, 0, 1, 2, false},
    };
    return tabelle;
}

void KnoepfeBemalen(QWidget& fenster) {
    for (const Knopfbild& k : Knopfbilder()) {
        const TBitmapListe& liste = Liste(k.liste);
        if (!liste.Hat(k.normal) || !liste.Hat(k.heiss) || !liste.Hat(k.gedrueckt)) continue;
        auto* knopf = fenster.findChild<QAbstractButton*>(QString::fromLatin1(k.name));
        if (knopf) FlaechenAnbringen(knopf, {&liste, k.normal, k.heiss, k.gedrueckt, k.symbol});
    }
}

}  // namespace zanit
