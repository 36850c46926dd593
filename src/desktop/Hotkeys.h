#pragma once
// The platform's system-wide hotkeys and keystroke injection: X11 (XGrabKey on the root window, XTEST) on
// POSIX, RegisterHotKey and SendInput on Windows; the implementation is chosen at build time.
#include <memory>
#include <string>
#include <vector>

#include "desktop/Tastenfolge.h"

namespace zanit {

class THotkeySystem {
public:
    virtual ~THotkeySystem() = default;

    // Claims a stored shortcut (Tastenkuerzel's encoding) system-wide under `id`. False when the system
    // refused it, most often because another program holds the combination; `fehler` then says why.
    virtual bool Registrieren(int id, int kuerzel, std::string& fehler) = 0;
    virtual void Freigeben(int id) = 0;

    // A native event of the toolkit's event loop (`typ` names its kind, as the toolkit does): the id of the
    // hotkey it reports, or -1 when it is no hotkey press.
    virtual int Hotkey(const char* typ, void* ereignis) = 0;

    // Plays key events into the program that has the keyboard focus, as if typed (Einspielergebnis). Modifier
    // keys the user still holds are released around the events and pressed again afterwards, except those
    // the events themselves need, so the program sees exactly the sequence.
    virtual int Einspielen(const std::vector<Tastenereignis>& ereignisse) = 0;
};

// The system's implementation. `anzeige` is the toolkit's connection to the display where the platform has
// one (the X11 Display); nullptr leaves a system that registers nothing and reports kKeinEinspielen.
std::unique_ptr<THotkeySystem> ErzeugeHotkeySystem(void* anzeige);

// A system that offers nothing: every registration fails, injection reports kKeinEinspielen.
std::unique_ptr<THotkeySystem> KeinHotkeySystem();

// Parses and plays a key sequence (ParseTastenfolge's notation).
int SendeTasten(THotkeySystem& system, std::string_view folge);

}  // namespace zanit
