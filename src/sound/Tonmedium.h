#pragma once
// Where the recordings of a dictionary are: at the path registered for it, or on a sound medium whose
// description file names the dictionary's foreign language and a recent enough release. Runs at every
// dictionary opening, asks the user to insert a medium when needed, and opens the sound tables.

#include <functional>
#include <string>
#include <vector>

#include "data/Datendialog.h"
#include "sound/Laufwerke.h"

namespace zanit {

// The notice "insert the medium": heading, message, whether the check box "do not show again" is offered.
// Returns 1 for "Wiederholen" and 2 for "Ignorieren"; `angekreuzt` tells the state of the check box.
class Medienhinweis {
public:
    virtual ~Medienhinweis() = default;
    virtual int Zeige(const std::string& ueberschrift, const std::string& text, bool mitCheckbox,
                      bool& angekreuzt) = 0;
};

class TTonmediumSuche : public TonmediumSuche {
public:
    TTonmediumSuche(TDatendialog& daten, Laufwerksabfrage& laufwerke, Medienhinweis& hinweis);

    // The setting "Sound": show the not-found notice at the first opening of a run.
    std::function<bool()> SoundLesen = [] { return true; };
    std::function<void(bool)> SoundSchreiben = [](bool) {};

    // Set at program start, cleared when a search first reaches "nothing found".
    bool ErsteOeffnung = true;
    // The foreign-language sound table chosen by the last search (stored spelling).
    std::string FremdTondatei;

    // Refills the drive table.
    void LeseLaufwerke();
    const std::vector<Laufwerk>& Laufwerke() const { return laufwerke_; }

    void SucheSprachausgabe(const std::string& abschnitt, bool mehrsprachig) override;

private:
    // The root of the drive `pfad` lies on (the deepest one), or nullptr.
    const Laufwerk* LaufwerkVon(const std::string& pfad) const;
    std::string DurchsucheMedien(const std::string& textF, int verlangt, int& release);

    TDatendialog& daten_;
    Laufwerksabfrage& abfrage_;
    Medienhinweis& hinweis_;
    std::vector<Laufwerk> laufwerke_;
};

// The description file at a medium root: "zanit.ini", else "LM.ini"; empty when neither exists.
std::string Beschreibungsdatei(const std::string& wurzel);
// A path below a medium root ("\SOUND\E.DBF" or "SOUND/E.DBF" below "/media/cd").
std::string UnterWurzel(const std::string& wurzel, const std::string& relativ);

}  // namespace zanit
