#pragma once
// The process-wide start state that the main window sets while it starts and that dialogs and later
// subsystems read: layout, switches, the program folder, the window rectangle dialogs centre on.
#include <string>

namespace zanit {

struct Fensterrechteck {
    int left = 0, top = 0, width = 0, height = 0;
};

struct TStartzustand {
    bool beenden = false;          // start-up decided to end the process
    bool service = false;          // "service" on the command line
    bool mehrsprachig = false;     // "newservice": the multi-language layout
    int infoNummer = 0;            // 999: no news picture at all
    std::string programmordner;    // setting Program, upper case, trailing separator
    std::string cdPfad;            // setting CD, upper case, trailing separator
    bool tonGeraet = false;        // an audio output device exists
    int farbtiefe = 24;            // bits per pixel of the screen
    Fensterrechteck fensterCache;  // the main window's rectangle, refreshed on every idle pass
    bool einmalGezeigt = false;    // the main window has been shown at least once
    bool fensterSichtbar = false;  // shown (true) or in the tray (false)
    bool trayBeenden = false;      // closing through the tray menu: no exit notice
    int gemerktLinks = 0, gemerktOben = 0;  // real position while parked off-screen for a tray start
};

// The one instance of the running process.
inline TStartzustand& Startzustand() {
    static TStartzustand zustand;
    return zustand;
}

}  // namespace zanit
