#pragma once
// Shortcuts as the settings store them and key sequences in the notation of the keystroke injection, both in
// the platform-neutral virtual key codes (0x30..0x39 digits, 0x41..0x5A letters, 0x70.. F1.., 0x10 Shift,
// 0x11 Control, 0x12 Alt).
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkAlt = 0x12;

// A stored shortcut: the key code in the low byte, 0x2000 Shift, 0x4000 Control, 0x8000 Alt.
struct Tastenkuerzel {
    int taste = 0;
    bool shift = false, strg = false, alt = false;
};
Tastenkuerzel ZerlegeKuerzel(int gespeichert);
// The stored form of a key with its modifiers.
int SetzeKuerzel(const Tastenkuerzel& k);
// The words a shortcut is spelled with; "&#" in `taste` stands for the number of a key without a name.
struct Tastennamen {
    std::string strg = "Strg", umschalt = "Umschalt", alt = "Alt", leertaste = "Leertaste", taste = "Taste &#";
};
// A shortcut as the user reads it: "Strg+Umschalt+Alt+W", "Strg+F5"; empty for none (key code 0). The text
// is in the encoding of `namen` (the German default names are ASCII).
std::string KuerzelText(int gespeichert, const Tastennamen& namen = {});

// The results of an injection.
enum Einspielergebnis : int {
    kEingespielt = 0,           // played
    kKeinEinspielen = 1,        // the system offers no way to inject keys
    kUngueltigeTaste = 2,       // a token of the sequence names no key
    kEinspielfehler = 3,        // any other failure
};

struct Tastenereignis {
    int taste = 0;   // virtual key code
    bool unten = true;
    bool operator==(const Tastenereignis&) const = default;
};

// Parses a key sequence: "^" Control, "+" Shift, "%" Alt for the key that follows, a letter, digit or blank
// for its key, "~" Return, a name in braces for a named key ("{F5}", "{ENTER}"). Each key becomes
// its modifiers down, key down, key up, modifiers up in reverse order. Returns kEingespielt and fills
// `ereignisse`, or kUngueltigeTaste (and leaves them empty).
int ParseTastenfolge(std::string_view folge, std::vector<Tastenereignis>& ereignisse);

}  // namespace zanit
