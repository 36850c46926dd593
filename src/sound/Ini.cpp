#include "sound/Ini.h"

#include <charconv>
#include <fstream>
#include <iterator>

#include "data/Woerterbuecher.h"
#include "base/RegistryFormat.h"

namespace zanit {

namespace {

std::string_view Trimme(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

TIniDatei::TIniDatei(std::string_view inhalt) {
    if (inhalt.size() > kIniHoechstgroesse) return;
    // A byte-order mark of UTF-8 is not part of the first line.
    if (inhalt.substr(0, 3) == "\xEF\xBB\xBF") inhalt.remove_prefix(3);
    std::string abschnitt;
    bool imAbschnitt = false;
    while (!inhalt.empty()) {
        const std::size_t ende = inhalt.find('\n');
        std::string_view zeile = Trimme(inhalt.substr(0, ende));
        inhalt.remove_prefix(ende == std::string_view::npos ? inhalt.size() : ende + 1);
        if (zeile.empty() || zeile.front() == ';' || zeile.front() == '#') continue;
        if (zeile.front() == '[') {
            const std::size_t zu = zeile.find(']');
            imAbschnitt = zu != std::string_view::npos && Trimme(zeile.substr(zu + 1)).empty();
            if (imAbschnitt) abschnitt = std::string(Trimme(zeile.substr(1, zu - 1)));
            continue;
        }
        const std::size_t gleich = zeile.find('=');
        if (!imAbschnitt || gleich == std::string_view::npos || gleich == 0) continue;
        if (zeile.find('\0') != std::string_view::npos) continue;
        werte_.push_back({abschnitt, std::string(Trimme(zeile.substr(0, gleich))),
                          std::string(Trimme(zeile.substr(gleich + 1)))});
    }
}

std::optional<TIniDatei> TIniDatei::Lies(const std::string& pfad) {
    std::ifstream f(Dateisystempfad(pfad), std::ios::binary);
    if (!f) return std::nullopt;
    std::string inhalt;
    char puffer[4096];
    while (f.read(puffer, sizeof puffer) || f.gcount() > 0) {
        inhalt.append(puffer, static_cast<std::size_t>(f.gcount()));
        if (inhalt.size() > kIniHoechstgroesse) return std::nullopt;
    }
    return TIniDatei(inhalt);
}

std::string TIniDatei::Text(std::string_view abschnitt, std::string_view name, std::string_view vorgabe) const {
    for (const Wert& w : werte_)
        if (registry::SameName(w.abschnitt, abschnitt) && registry::SameName(w.name, name)) return w.wert;
    return std::string(vorgabe);
}

int TIniDatei::Zahl(std::string_view abschnitt, std::string_view name, int vorgabe) const {
    const std::string text = Text(abschnitt, name, "");
    std::string_view s = text;
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int wert = 0;
    const auto [ende, fehler] = std::from_chars(s.data(), s.data() + s.size(), wert);
    if (fehler != std::errc() || ende == s.data()) return vorgabe;
    return wert;
}

}  // namespace zanit
