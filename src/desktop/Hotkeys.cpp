#include "desktop/Hotkeys.h"

namespace zanit {
namespace {

class TKeinHotkeySystem : public THotkeySystem {
public:
    bool Registrieren(int, int, std::string& fehler) override {
        fehler = "keine Verbindung zum Fenstersystem";
        return false;
    }
    void Freigeben(int) override {}
    int Hotkey(const char*, void*) override { return -1; }
    int Einspielen(const std::vector<Tastenereignis>&) override { return kKeinEinspielen; }
};

}  // namespace

std::unique_ptr<THotkeySystem> KeinHotkeySystem() { return std::make_unique<TKeinHotkeySystem>(); }

int SendeTasten(THotkeySystem& system, std::string_view folge) {
    std::vector<Tastenereignis> ereignisse;
    if (const int r = ParseTastenfolge(folge, ereignisse); r != kEingespielt) return r;
    return system.Einspielen(ereignisse);
}

}  // namespace zanit
