#pragma once
// The program's settings: every value of the settings key with its type and default, read at start with the
// readers' fall-back rules and written back by EinstellungenSpeichern. Texts are Windows-1252.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zanit {

// The settings key below the product key.
inline constexpr std::string_view kEinstellungsSchluessel = "Dictionary";
// The autostart entry: key base + "Run", value "MORAVWBuch".
inline constexpr std::string_view kAutostartBasis = "Software\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr std::string_view kAutostartSchluessel = "Run";
inline constexpr std::string_view kAutostartWert = "MORAVWBuch";

struct Einstellungen {
    std::string Program;                 // program folder (written by the installer only)
    std::string CD;                      // sound medium path (written by the installer only)
    std::string Section;                 // dictionary section last used
    char GLC = 'D';                      // dialog language letter; ' ' when stored as an empty text
    bool NoLanguageChange = false;
    int Part = 1;                        // search direction, 1 or 2
    int HotKey = 16471;                  // Ctrl+W
    int HotKey1 = 16433;                 // Ctrl+1
    int HotKey2 = 16434;                 // Ctrl+2
    bool HotKeyOn = true;
    bool Seek = true;
    int Interval = 100;                  // milliseconds
    bool Tray = false;
    bool Autostart = false;
    bool LatGen = false;
    bool Save = true;
    bool Sound = true;
    std::string Fontname = "Tahoma";
    int Fontsize = 8;
    int PX = 0;
    int PY = 0;
    int PW = 0;
    int PH = 0;
    int PV = 0;
    int FTPDelay = 0;
    int InfoID = 101;
};

// Reads every value; a missing key or value gives its default as the readers specify. `Part` is clamped to
// 1..2; `GLC` keeps the first character of the stored text (a blank when that text is empty).
Einstellungen EinstellungenLesen();
// `InfoID` alone, read again each time the main window is shown.
int InfoIDLesen();

// Writes the user-changeable values in the program's fixed order, then the autostart entry (on Linux also the
// desktop autostart file). `abschnitt` is the current dictionary's section name, none when no dictionary is
// current. The caller puts the hotkeys' current shortcuts into HotKey, HotKey1, HotKey2 and the main hotkey's
// active state into HotKeyOn before calling. `programmDatei` is the executable's full path (Windows-1252).
// With `bisher` (the values as read at start, or as last saved) only the values that differ from it are
// written, merged into the current file in one locked update: what the installer tool or another user
// changed meanwhile stays. Returns false when any write was refused or failed (the cause is reported
// through the store's reporter); the caller may ignore that.
bool EinstellungenSpeichern(const Einstellungen& werte, std::optional<std::string_view> abschnitt,
                            std::string_view programmDatei, const Einstellungen* bisher = nullptr);

// The stored window placement (PX, PY, PW, PH) when it is usable on a screen of this size: left and top not
// negative, width and height positive, the window wholly on the screen. Computed without overflow; a
// placement that does not fit counts as absent.
bool PlatzierungPasst(const Einstellungen& werte, int bildschirmBreite, int bildschirmHoehe);

// The autostart entry alone: the executable's path + " AUTOSTART" when `an`, an empty text otherwise; on Linux
// also creates or removes the desktop autostart file.
bool AutostartSchreiben(bool an, std::string_view programmDatei);
// $XDG_CONFIG_HOME/autostart/zanit-wb.desktop (~/.config when unset); empty off Linux.
std::string AutostartDesktopDatei();

// Start-up clean-up of the predecessor's keys: when `Release` of both "Software\MORAV\Vocabulary" and
// "Software\MORAV\Dictionary" is 0 or 49 (missing counts as 0), both keys are deleted; failures are ignored.
void AlteSchluesselEntfernen();

// Every value as text, in the order of the settings table (booleans 1 or 0, `GLC` the letter).
std::vector<std::pair<std::string, std::string>> EinstellungenAlsText(const Einstellungen& werte);

}  // namespace zanit
