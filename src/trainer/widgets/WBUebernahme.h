#pragma once
// The train-entry command: the checks and messages around the transfer dialog, and the state the main
// window keeps for it (trainer location, collections-possible and tree-built flags).
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "trainer/Sammlungen.h"

class QWidget;

namespace zanit {

class TVerschiebenDialog;

// What the command needs to know of the main window at the moment it runs.
struct TUebernahmeAnfrage {
    QWidget* fenster = nullptr;     // owner of the dialogs
    int zeilen = 0;                 // lines of the hit list
    int markiert = -1;              // marked line, -1 none
    QString zeile;                  // its text: "source|translations|part of speech"
    int daten = 0;                  // its item data; the low byte is the part-of-speech code
    int richtung = 1;               // search direction 1 or 2
    std::string textM, textF;       // language names of the open dictionary (Windows-1252)
    std::string woerterbuchdatei;   // its table file (the language letter of the tree's root)
    bool mehrsprachig = false;
    QWidget* suchfeld = nullptr;    // the active search field
    // The sound numbers of the foreign-language text (its first five are stored); empty: none known.
    std::function<std::array<std::int32_t, 5>(const std::string& text, int wortart)> tonnummern;
};

class TTrainerUebernahme {
public:
    TTrainerUebernahme();
    ~TTrainerUebernahme();

    void TrainerErkennen();            // at start: locate the trainer
    const TTrainerort& Ort() const { return ort_; }
    void WoerterbuchGeoeffnet();       // another dictionary: the tree is built anew on the next command
    void UebernehmenButtonClick(const TUebernahmeAnfrage& a);
    TVerschiebenDialog* Dialog() const;  // nullptr before the first transfer
    bool SammlungenMoeglich() const { return moeglich_; }
    bool BaumGebaut() const { return gebaut_; }

private:
    TTrainerort ort_;
    bool moeglich_ = true;
    bool gebaut_ = false;
    QPointer<TVerschiebenDialog> dialog_;
};

}  // namespace zanit
