#pragma once
// The entry details dialog "Wörterbucheintrag": the marked entry with its part of speech and the reverse
// list, one line per translation with every word of the searched language that translates back to it. From
// that list the user sees the back-translations in full, copies a translation or hears it spoken.
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "ui/widgets/TOwnFenster.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace zanit {

class TButtonLeiste;
class TErgebnisListe;

// What one opening shows.
struct Anzeigeinhalt {
    QString eintrag;                      // the marked hit's left column
    QString wortart;                      // its part-of-speech name
    QString suchsprache;                  // name of the searched language
    QString kopfLinks, kopfRechts;        // header: result language, searched language
    int richtung = 1;                     // search direction
    std::vector<std::string> gegenliste;  // "translation|back-translations" (Windows-1252)
    bool sprechen = false;                // the speak button's enabled state
};

class TWBAnzeigeDialog : public TOwnFenster {
    Q_OBJECT
public:
    explicit TWBAnzeigeDialog(QWidget* owner = nullptr);

    // Fills the dialog and shows it modally.
    void Zeigen(const Anzeigeinhalt& inhalt);

    // Speaks a foreign-language text (Windows-1252; several texts joined by ", " are spoken in turn). Set by
    // whoever owns the speech output; without it the speak command does nothing.
    std::function<void(const std::string& text)> Sprechen;

    QFrame* MutterRahmen = nullptr;
    QLabel* MutterspracheLabel = nullptr;
    QLabel* MutterLabel = nullptr;
    QLabel* Wortartlabel = nullptr;
    QFrame* GegenPanel = nullptr;
    TErgebnisListe* GegenListe = nullptr;
    QPushButton* Playbutton = nullptr;
    QPushButton* Detailbutton = nullptr;
    QPushButton* OkButton = nullptr;
    TButtonLeiste* buttonbox = nullptr;
    QMenu* PopiMenu = nullptr;
    QAction *PopSprachausgabe = nullptr, *PopDetails = nullptr, *PopKopieren = nullptr;

    void PlaybuttonClick();
    void DetailbuttonClick();
    void PopKopierenClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    // The line a command acts on (marking the only line of a one-line list); -1 after `meldung` was shown.
    int Befehlszeile(int meldung, const char* text);

    int richtung_ = 1;
};

}  // namespace zanit
