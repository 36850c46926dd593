// System-wide hotkeys on X11: each shortcut is grabbed on the root window together with its variants under
// CapsLock, NumLock and ScrollLock, so the lock keys do not switch it off. The key presses arrive through
// the toolkit's own connection (its native event filter); injection goes through the XTEST extension.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "desktop/Hotkeys.h"

namespace zanit {
namespace {

KeySym TastenSymbol(int vk) {
    if (vk >= 0x30 && vk <= 0x39) return XK_0 + (vk - 0x30);
    if (vk >= 0x41 && vk <= 0x5A) return XK_a + (vk - 0x41);
    if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
    if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
    switch (vk) {
        case 0x08: return XK_BackSpace;
        case 0x09: return XK_Tab;
        case 0x0D: return XK_Return;
        case 0x10: return XK_Shift_L;
        case 0x11: return XK_Control_L;
        case 0x12: return XK_Alt_L;
        case 0x13: return XK_Pause;
        case 0x1B: return XK_Escape;
        case 0x20: return XK_space;
        case 0x21: return XK_Prior;
        case 0x22: return XK_Next;
        case 0x23: return XK_End;
        case 0x24: return XK_Home;
        case 0x25: return XK_Left;
        case 0x26: return XK_Up;
        case 0x27: return XK_Right;
        case 0x28: return XK_Down;
        case 0x2C: return XK_Print;
        case 0x2D: return XK_Insert;
        case 0x2E: return XK_Delete;
        case 0x6A: return XK_KP_Multiply;
        case 0x6B: return XK_KP_Add;
        case 0x6D: return XK_KP_Subtract;
        case 0x6E: return XK_KP_Decimal;
        case 0x6F: return XK_KP_Divide;
        default: return NoSymbol;
    }
}

// Errors of the grab requests, caught while a grab is checked (the toolkit's handler ignores them).
int g_fehlercode = 0;
int MerkeFehler(Display*, XErrorEvent* e) {
    g_fehlercode = e->error_code;
    return 0;
}

class TModifierkarte {
public:
    explicit TModifierkarte(Display* d) : karte_(XGetModifierMapping(d)) {}
    ~TModifierkarte() {
        if (karte_) XFreeModifiermap(karte_);
    }
    TModifierkarte(const TModifierkarte&) = delete;
    TModifierkarte& operator=(const TModifierkarte&) = delete;

    // The modifier index (0 Shift .. 7 Mod5) a key code is bound to, -1 when none.
    int Index(KeyCode code) const {
        if (!karte_ || code == 0) return -1;
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < karte_->max_keypermod; ++k)
                if (karte_->modifiermap[i * karte_->max_keypermod + k] == code) return i;
        return -1;
    }
    template <class F>
    void FuerJedeTaste(F f) const {
        if (!karte_) return;
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < karte_->max_keypermod; ++k)
                if (KeyCode c = karte_->modifiermap[i * karte_->max_keypermod + k]) f(c, i);
    }

private:
    XModifierKeymap* karte_;
};

class TX11Hotkeys : public THotkeySystem {
public:
    explicit TX11Hotkeys(Display* d) : d_(d), wurzel_(DefaultRootWindow(d)) {
        const TModifierkarte karte(d_);
        for (KeySym lock : {XK_Num_Lock, XK_Scroll_Lock}) {
            const int i = karte.Index(XKeysymToKeycode(d_, lock));
            if (i > 2) sperrmasken_ |= 1u << i;  // never Shift or Control
        }
    }
    ~TX11Hotkeys() override {
        while (!grabs_.empty()) Freigeben(grabs_.begin()->first);
        XSync(d_, False);
    }

    bool Registrieren(int id, int kuerzel, std::string& fehler) override {
        Freigeben(id);
        const Tastenkuerzel k = ZerlegeKuerzel(kuerzel);
        const KeySym sym = TastenSymbol(k.taste);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d_, sym);
        if (code == 0) {
            fehler = "die Taste " + std::to_string(k.taste) + " gibt es auf dieser Tastatur nicht";
            return false;
        }
        const unsigned mods = (k.shift ? ShiftMask : 0u) | (k.strg ? ControlMask : 0u) | (k.alt ? Mod1Mask : 0u);
        XSync(d_, False);
        g_fehlercode = 0;
        XErrorHandler vorher = XSetErrorHandler(MerkeFehler);
        for (unsigned v : Varianten()) XGrabKey(d_, code, mods | v, wurzel_, False, GrabModeAsync, GrabModeAsync);
        XSync(d_, False);
        XSetErrorHandler(vorher);
        if (g_fehlercode != 0) {
            for (unsigned v : Varianten()) XUngrabKey(d_, code, mods | v, wurzel_);
            XSync(d_, False);
            fehler = g_fehlercode == BadAccess ? "ein anderes Programm belegt die Tastenkombination"
                                               : "X-Fehler " + std::to_string(g_fehlercode);
            return false;
        }
        grabs_[id] = {code, mods};
        return true;
    }

    void Freigeben(int id) override {
        const auto it = grabs_.find(id);
        if (it == grabs_.end()) return;
        for (unsigned v : Varianten()) XUngrabKey(d_, it->second.code, it->second.mods | v, wurzel_);
        XFlush(d_);
        grabs_.erase(it);
    }

    int Hotkey(const char* typ, void* ereignis) override {
        if (!typ || !ereignis || std::strcmp(typ, "xcb_generic_event_t") != 0) return -1;
        const auto* e = static_cast<const xcb_generic_event_t*>(ereignis);
        if ((e->response_type & 0x7F) != XCB_KEY_PRESS) return -1;
        const auto* k = static_cast<const xcb_key_press_event_t*>(ereignis);
        if (k->event != wurzel_) return -1;  // an ordinary key press in one of our windows
        const unsigned mods = k->state & 0xFFu & ~(LockMask | sperrmasken_);
        for (const auto& [id, g] : grabs_)
            if (g.code == k->detail && g.mods == mods) return id;
        return -1;
    }

    int Einspielen(const std::vector<Tastenereignis>& ereignisse) override {
        int ev = 0, err = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(d_, &ev, &err, &major, &minor)) return kKeinEinspielen;
        const TModifierkarte karte(d_);
        // Key codes first: nothing is pressed when one is missing.
        std::vector<KeyCode> codes;
        for (const Tastenereignis& t : ereignisse) {
            const KeySym sym = TastenSymbol(t.taste);
            const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d_, sym);
            if (code == 0) return kEinspielfehler;
            codes.push_back(code);
        }
        // The hotkey's own grab would take the keys we play: end it (it ends anyway when its key is let go).
        XUngrabKeyboard(d_, CurrentTime);

        char tasten[32] = {};
        XQueryKeymap(d_, tasten);
        auto unten = [&](KeyCode c) { return (tasten[c / 8] >> (c % 8)) & 1; };
        unsigned gehalten = 0;  // modifier indexes the user holds
        std::vector<KeyCode> loslassen;
        unsigned benoetigt = 0;  // modifier indexes the sequence presses
        for (KeyCode c : codes)
            if (const int i = karte.Index(c); i >= 0) benoetigt |= 1u << i;
        const KeyCode sperren[] = {XKeysymToKeycode(d_, XK_Caps_Lock), XKeysymToKeycode(d_, XK_Num_Lock),
                                   XKeysymToKeycode(d_, XK_Scroll_Lock), XKeysymToKeycode(d_, XK_Shift_Lock)};
        karte.FuerJedeTaste([&](KeyCode c, int i) {
            if (!unten(c) || i == 1 || std::find(std::begin(sperren), std::end(sperren), c) != std::end(sperren))
                return;
            gehalten |= 1u << i;
            if (!(benoetigt & (1u << i)) && std::find(loslassen.begin(), loslassen.end(), c) == loslassen.end())
                loslassen.push_back(c);
        });

        bool ok = true;
        for (KeyCode c : loslassen) ok &= XTestFakeKeyEvent(d_, c, False, CurrentTime) != 0;
        for (std::size_t n = 0; n < codes.size(); ++n) {
            // A modifier the user already holds is in force: pressing or releasing it would unbalance the keys.
            const int i = karte.Index(codes[n]);
            if (i >= 0 && (gehalten & (1u << i))) continue;
            ok &= XTestFakeKeyEvent(d_, codes[n], ereignisse[n].unten ? True : False, CurrentTime) != 0;
        }
        for (auto it = loslassen.rbegin(); it != loslassen.rend(); ++it)
            ok &= XTestFakeKeyEvent(d_, *it, True, CurrentTime) != 0;
        XSync(d_, False);
        return ok ? kEingespielt : kEinspielfehler;
    }

private:
    struct Grab {
        KeyCode code;
        unsigned mods;
    };

    // Every combination of the lock modifiers.
    std::vector<unsigned> Varianten() const {
        std::vector<unsigned> bits = {LockMask};
        for (unsigned b = 1; b < 256; b <<= 1)
            if (sperrmasken_ & b) bits.push_back(b);
        std::vector<unsigned> out;
        for (unsigned wahl = 0; wahl < (1u << bits.size()); ++wahl) {
            unsigned m = 0;
            for (std::size_t i = 0; i < bits.size(); ++i)
                if (wahl & (1u << i)) m |= bits[i];
            out.push_back(m);
        }
        return out;
    }

    Display* d_;
    Window wurzel_;
    unsigned sperrmasken_ = 0;
    std::map<int, Grab> grabs_;
};

}  // namespace

std::unique_ptr<THotkeySystem> ErzeugeHotkeySystem(void* anzeige) {
    if (!anzeige) return KeinHotkeySystem();
    return std::make_unique<TX11Hotkeys>(static_cast<Display*>(anzeige));
}

}  // namespace zanit
