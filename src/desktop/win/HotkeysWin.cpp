// System-wide hotkeys on Windows: RegisterHotKey for the thread (WM_HOTKEY reaches the toolkit's native
// event filter as a thread message) and SendInput for the injection.
#include <windows.h>

#include <cstring>
#include <set>

#include "desktop/Hotkeys.h"

#ifndef MOD_NOREPEAT
#define MOD_NOREPEAT 0x4000  // a held combination reports once (older SDK headers lack the name)
#endif

namespace zanit {
namespace {

class TWinHotkeys : public THotkeySystem {
public:
    ~TWinHotkeys() override {
        while (!ids_.empty()) Freigeben(*ids_.begin());
    }

    bool Registrieren(int id, int kuerzel, std::string& fehler) override {
        Freigeben(id);
        const Tastenkuerzel k = ZerlegeKuerzel(kuerzel);
        const UINT mods = MOD_NOREPEAT | (k.shift ? MOD_SHIFT : 0u) | (k.strg ? MOD_CONTROL : 0u) |
                          (k.alt ? MOD_ALT : 0u);
        if (k.taste == 0 || !RegisterHotKey(nullptr, id, mods, static_cast<UINT>(k.taste))) {
            fehler = GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED
                         ? "ein anderes Programm belegt die Tastenkombination"
                         : "Fehler " + std::to_string(GetLastError());
            return false;
        }
        ids_.insert(id);
        return true;
    }

    void Freigeben(int id) override {
        if (ids_.erase(id)) UnregisterHotKey(nullptr, id);
    }

    int Hotkey(const char* typ, void* ereignis) override {
        if (!typ || !ereignis || std::strcmp(typ, "windows_generic_MSG") != 0) return -1;
        const MSG* msg = static_cast<const MSG*>(ereignis);
        if (msg->message != WM_HOTKEY || msg->hwnd != nullptr) return -1;
        const int id = static_cast<int>(msg->wParam);
        return ids_.count(id) ? id : -1;
    }

    int Einspielen(const std::vector<Tastenereignis>& ereignisse) override {
        std::vector<INPUT> eingaben;
        auto taste = [&](WORD vk, bool unten) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
            in.ki.dwFlags = unten ? 0 : KEYEVENTF_KEYUP;
            eingaben.push_back(in);
        };
        // Modifiers the user holds: kept when the sequence needs them, else let go and pressed again after.
        const WORD einzelne[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN};
        auto art = [](int vk) -> int {
            switch (vk) {
                case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
                case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
                case VK_MENU: case VK_LMENU: case VK_RMENU: return VK_MENU;
                case VK_LWIN: case VK_RWIN: return VK_LWIN;
                default: return 0;
            }
        };
        std::set<int> benoetigt, gehalten;
        for (const Tastenereignis& t : ereignisse)
            if (art(t.taste)) benoetigt.insert(art(t.taste));
        std::vector<WORD> loslassen;
        for (WORD vk : einzelne) {
            if (!(GetAsyncKeyState(vk) & 0x8000)) continue;
            gehalten.insert(art(vk));
            if (!benoetigt.count(art(vk))) loslassen.push_back(vk);
        }
        for (WORD vk : loslassen) taste(vk, false);
        for (const Tastenereignis& t : ereignisse) {
            if (art(t.taste) && gehalten.count(art(t.taste))) continue;
            taste(static_cast<WORD>(t.taste), t.unten);
        }
        for (auto it = loslassen.rbegin(); it != loslassen.rend(); ++it) taste(*it, true);
        if (eingaben.empty()) return kEingespielt;
        const UINT gesendet = SendInput(static_cast<UINT>(eingaben.size()), eingaben.data(), sizeof(INPUT));
        return gesendet == eingaben.size() ? kEingespielt : kEinspielfehler;
    }

private:
    std::set<int> ids_;
};

}  // namespace

std::unique_ptr<THotkeySystem> ErzeugeHotkeySystem(void*) { return std::make_unique<TWinHotkeys>(); }

}  // namespace zanit
