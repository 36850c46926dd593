#pragma once
// The main window's joints to the subsystems that plug into it (part-of-speech filter, entry details, speech
// output, vocabulary trainer, hotkeys and tray, options, news picture, help and about box, skin). Each is a
// small interface whose default does nothing and reports itself absent; the window keeps the controls of an
// absent one disabled. A subsystem installs its implementation before the main window is created.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace zanit {

class TWBuchDialog;
struct Einstellungen;

class Wortartfilter {
public:
    virtual ~Wortartfilter() = default;
    virtual bool Vorhanden() const { return false; }
    virtual int Filter() const { return 0; }         // 0 none, else the only code listed
    virtual void FilterZuruecksetzen() {}           // back to none
    virtual void FilterStatusAnwenden(TWBuchDialog&) {}  // re-label the filter controls
    virtual void FilterAnClick(TWBuchDialog&) {}
    virtual void FilterAusClick(TWBuchDialog&) {}
    virtual void FilterMMClick(TWBuchDialog&) {}     // multi-language button: clear when set, else set
    virtual void FilterLabelClick(TWBuchDialog&) {}
};

class Eintragsdetails {
public:
    virtual ~Eintragsdetails() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void Umkehrsuche(TWBuchDialog&) {}      // the reverse search of the marked entry
    virtual void Kopieren(TWBuchDialog&) {}         // the marked hit's translation to the clipboard
};

class Sprachausgabe {
public:
    virtual ~Sprachausgabe() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void LaufwerkeAktualisieren() {}       // refresh the drive table at start
    virtual void Sprechen(TWBuchDialog&, int language) { (void)language; }  // speak column of language 1/2
    // Speak a foreign-language text (Windows-1252, texts joined by ", " in turn) of part of speech `wortart`.
    virtual void SprichText(TWBuchDialog&, const std::string& text, int wortart) { (void)text, (void)wortart; }
    virtual void TabellenSchliessen() {}          // close the sound tables at exit
};

class Trainer {
public:
    virtual ~Trainer() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void TrainerErkennen() {}              // locate the trainer and its collection folder
    virtual void Uebernehmen(TWBuchDialog&) {}      // copy the marked entry into a lesson
    virtual void WoerterbuchGeoeffnet() {}         // another dictionary opened: collections are listed anew
};

// Hotkeys and the notification-area icon.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void Einrichten(TWBuchDialog&) {}       // after the settings are read
    virtual bool HotkeysAktiv() const { return false; }
    virtual bool TrayVerfuegbar() const { return false; }
    virtual void InsTray(TWBuchDialog&) {}
    virtual void HotkeyStatusAnwenden(TWBuchDialog&) {}  // on every show
    virtual void TrayHinweis(const QString& text) { (void)text; }
    // The clipboard text a hotkey lookup searches for ("" when there is none).
    virtual QString Zwischenablagentext() { return {}; }
    // Set by the main window: shows it; direction 0 without a lookup, 1 or 2 looking up the clipboard text.
    std::function<void(int direction)> ZeigeFenster;
    // At close, before saving: the hotkeys' current shortcuts and state into the settings.
    virtual void NachSchliessen(Einstellungen&) {}
    virtual void Freigeben() {}                     // at close
};

// Options dialog and the exit notice.
class Optionen {
public:
    virtual ~Optionen() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void OptionenAnwenden(TWBuchDialog&) {}
    // The exit notice: false when it is not available. Otherwise `cancelled` tells whether the close was
    // cancelled and `endCheck` the state of its "do not show again" box.
    virtual bool SaveHinweis(TWBuchDialog&, bool& cancelled, bool& endCheck) {
        cancelled = false;
        endCheck = false;
        return false;
    }
};

// News picture download, feedback, about box, web links, help.
class Online {
public:
    virtual ~Online() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void StartPruefung(TWBuchDialog&) {}    // decide and start the news download (FormShow)
    virtual void BildZeigen(TWBuchDialog&) {}       // the downloaded picture at exit
    virtual bool Hilfe() const { return false; }
    virtual void HilfeInhalt() {}
    virtual void Info(TWBuchDialog&) {}
    virtual void Kontakt(TWBuchDialog&) {}
    virtual void Internet(TWBuchDialog&) {}
    virtual void Serie(TWBuchDialog&) {}
    virtual void WBMeldungen(TWBuchDialog&) {}
};

// Skinned frame, bitmap lists and language pictures.
class Skin {
public:
    virtual ~Skin() = default;
    virtual bool Vorhanden() const { return false; }
    virtual void BitmaplistenLaden(QWidget& window) { (void)window; }
    virtual void LadeSkin(QWidget& window, int colourSet) { (void)window, (void)colourSet; }
    // The pictures of the language tabs for the listed language codes (tab k shows codes[k - 1]).
    virtual void SprachreiterBilder(QWidget& window, const std::vector<int>& codes, int motherTongue) {
        (void)window, (void)codes, (void)motherTongue;
    }
    // Widths of the frame's left and right edge tiles and height of the bottom tile (0 without a skin).
    virtual int L9() const { return 0; }
    virtual int W10() const { return 0; }
    virtual int H7() const { return 0; }
};

struct TErweiterungen {
    std::shared_ptr<Wortartfilter> filter = std::make_shared<Wortartfilter>();
    std::shared_ptr<Eintragsdetails> details = std::make_shared<Eintragsdetails>();
    std::shared_ptr<Sprachausgabe> sprache = std::make_shared<Sprachausgabe>();
    std::shared_ptr<Trainer> trainer = std::make_shared<Trainer>();
    std::shared_ptr<Desktop> desktop = std::make_shared<Desktop>();
    std::shared_ptr<Optionen> optionen = std::make_shared<Optionen>();
    std::shared_ptr<Online> online = std::make_shared<Online>();
    std::shared_ptr<Skin> skin = std::make_shared<Skin>();
};

// The process-wide set; subsystems replace members before the main window is created.
inline TErweiterungen& Erweiterungen() {
    static TErweiterungen set;
    return set;
}

}  // namespace zanit
