#include "desktop/Tastenfolge.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace zanit {
namespace {

constexpr std::array<std::pair<std::string_view, int>, 19> kNamen{{
    {"ENTER", 0x0D},  {"TAB", 0x09},      {"ESC", 0x1B},    {"ESCAPE", 0x1B}, {"BACKSPACE", 0x08},
    {"BS", 0x08},     {"BKSP", 0x08},     {"DEL", 0x2E},    {"DELETE", 0x2E}, {"INS", 0x2D},
    {"INSERT", 0x2D}, {"HOME", 0x24},     {"END", 0x23},    {"PGUP", 0x21},   {"PGDN", 0x22},
    {"UP", 0x26},     {"DOWN", 0x28},     {"LEFT", 0x25},   {"RIGHT", 0x27},
}};

// The key of a name in braces, 0 when it names none.
int BenannteTaste(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto& [n, vk] : kNamen)
        if (upper == n) return vk;
    if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F') {
        int n = 0;
        for (std::size_t i = 1; i < upper.size(); ++i) {
            if (upper[i] < '0' || upper[i] > '9') return 0;
            n = n * 10 + (upper[i] - '0');
        }
        if (n >= 1 && n <= 24) return 0x70 + n - 1;
    }
    return 0;
}

int ZeichenTaste(char c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return c;
    return 0;
}

}  // namespace

Tastenkuerzel ZerlegeKuerzel(int gespeichert) {
    Tastenkuerzel k;
    k.taste = gespeichert & 0xFF;
    k.shift = (gespeichert & 0x2000) != 0;
    k.strg = (gespeichert & 0x4000) != 0;
    k.alt = (gespeichert & 0x8000) != 0;
    return k;
}

int SetzeKuerzel(const Tastenkuerzel& k) {
    return (k.taste & 0xFF) | (k.shift ? 0x2000 : 0) | (k.strg ? 0x4000 : 0) | (k.alt ? 0x8000 : 0);
}

std::string KuerzelText(int gespeichert, const Tastennamen& namen) {
    const Tastenkuerzel k = ZerlegeKuerzel(gespeichert);
    if (k.taste == 0) return {};
    std::string taste;
    if ((k.taste >= '0' && k.taste <= '9') || (k.taste >= 'A' && k.taste <= 'Z')) taste = std::string(1, static_cast<char>(k.taste));
    else if (k.taste >= 0x70 && k.taste <= 0x87) taste = "F" + std::to_string(k.taste - 0x6F);
    else if (k.taste >= 0x60 && k.taste <= 0x69) taste = "Num " + std::to_string(k.taste - 0x60);
    else if (k.taste == ' ') taste = namen.leertaste;
    else {
        for (const auto& [name, vk] : kNamen)
            if (vk == k.taste && taste.empty()) taste = name;
        if (taste.empty()) {
            taste = namen.taste;
            const std::size_t stelle = taste.find("&#");
            if (stelle != std::string::npos) taste.replace(stelle, 2, std::to_string(k.taste));
        }
    }
    std::string text;
    for (const auto& [an, wort] : {std::pair{k.strg, &namen.strg}, {k.shift, &namen.umschalt}, {k.alt, &namen.alt}})
        if (an) text += *wort + "+";
    return text + taste;
}

int ParseTastenfolge(std::string_view folge, std::vector<Tastenereignis>& ereignisse) {
    ereignisse.clear();
    std::vector<Tastenereignis> out;
    std::vector<int> modifiers;  // pending for the next key, in the order given
    auto key = [&](int vk) {
        for (int m : modifiers) out.push_back({m, true});
        out.push_back({vk, true});
        out.push_back({vk, false});
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) out.push_back({*it, false});
        modifiers.clear();
    };
    for (std::size_t i = 0; i < folge.size(); ++i) {
        const char c = folge[i];
        int modifier = 0;
        if (c == '^') modifier = kVkControl;
        else if (c == '+') modifier = kVkShift;
        else if (c == '%') modifier = kVkAlt;
        if (modifier) {
            for (int m : modifiers)
                if (m == modifier) return kUngueltigeTaste;  // "^^C"
            modifiers.push_back(modifier);
            continue;
        }
        if (c == '~') {
            key(0x0D);
        } else if (c == '{') {
            const std::size_t end = folge.find('}', i + 1);
            if (end == std::string_view::npos) return kUngueltigeTaste;
            const int vk = BenannteTaste(folge.substr(i + 1, end - i - 1));
            if (!vk) return kUngueltigeTaste;
            key(vk);
            i = end;
        } else {
            const int vk = ZeichenTaste(c);
            if (!vk) return kUngueltigeTaste;
            key(vk);
        }
    }
    if (!modifiers.empty()) return kUngueltigeTaste;  // a modifier with no key after it
    ereignisse = std::move(out);
    return kEingespielt;
}

}  // namespace zanit
