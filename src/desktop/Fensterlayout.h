#pragma once
// The placement of the main window's controls at a given size, without a display: the classic layout
// (MachResize), the multi-language layout (MachResizeNeu) and its language tabs (PlatziereSprachreiter). The
// window hands in the sizes its controls have and moves them to the rectangles that come back.
#include <array>

#include "ui/Skinmass.h"

namespace zanit {

struct Groesse {
    int breite = 0, hoehe = 0;
};

inline constexpr int kKlassischMinBreite = 490;  // outer size
inline constexpr int kKlassischMinHoehe = 245;
inline constexpr int kNeuMinBreite = 731;        // client size
inline constexpr int kNeuMinHoehe = 450;

// The hit list's columns: the two language columns share what the part-of-speech column leaves.
struct Spalten {
    int sprache = 0, wortart = 0;
};
Spalten Listenspalten(int listenBreite, int wortartBreite);

struct KlassischeEingabe {
    int clientBreite = 0, clientHoehe = 0, aussenBreite = 0;
    int filterLabelBreite = 0, trefferHoehe = 0;
};
struct KlassischesLayout {
    Flaeche Edge, Rahmen, menupanel, Trefferlabel;
    Punkt FilterLabel;
    int FilterAnButtonX = 0, FilterAusButtonX = 0;
};
KlassischesLayout MachResize(const KlassischeEingabe& e);

struct SprachreiterEingabe {
    int l9 = 0;
    Groesse mutterBild;                  // MutterspracheImage
    std::array<Groesse, 5> fremdBild{};  // Fremdsprache1Image ... 5
    int labelHoehe = 18;
};
struct SprachreiterLayout {
    Flaeche MutterspracheImage, MutterspracheTitelLabel, MutterspracheLabel, FremdspracheTitelLabel;
    std::array<Flaeche, 5> FremdspracheImage{}, FremdspracheAktivLabel{};
    std::array<Punkt, 5> FremdspracheTab{};
};
SprachreiterLayout PlatziereSprachreiter(const SprachreiterEingabe& e);

struct NeuEingabe {
    int clientBreite = 0, clientHoehe = 0, aussenBreite = 0;
    int l9 = 0, w10 = 0, h7 = 0;
    SprachreiterLayout reiter;
    Groesse suchbegriffLabel, suchEditNeu, suchenInLabel, suchergebnisLabel, vertonungenTitelLabel;
    Groesse sound1, sound2, umkehrsuche, filterMM, uebernahme;
    int umkehrMMBreite = 0, filterLabelBreite = 0, trefferHoehe = 0;
};
struct NeuLayout {
    Flaeche HintergrundShape, VerlaufImage, SuchbegriffLabel, SuchEditNeuBorderShape, SuchEditNeu, SuchenInLabel,
        Suchsprache1Button, Suchsprache2Button, SuchergebnisLabel, Rahmen, Trefferlabel, FilterLabel,
        VertonungenTitelLabel, Sound1MMButton, Sound2MMButton, Eintrag1Label, Eintrag2Label, UmkehrsucheMMButton,
        FilterMMButton, UebernahmeMMButton, menupanel;
};
// Sizes below the minimum client size are laid out as the minimum.
NeuLayout MachResizeNeu(const NeuEingabe& e);

}  // namespace zanit
