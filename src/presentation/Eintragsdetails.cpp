#include "presentation/Eintragsdetails.h"

namespace zanit {

int Befehlszeile(int zeilen, int markiert) {
    if (zeilen <= 0) return -1;
    if (markiert >= 0 && markiert < zeilen) return markiert;
    return zeilen == 1 ? 0 : -1;
}

std::optional<std::string> Rueckuebersetzungen(std::string_view gegenzeile) {
    const std::size_t p = gegenzeile.find('|');
    if (p == std::string_view::npos) return std::nullopt;
    return std::string(gegenzeile.substr(p + 1));
}

int Detailzeilen(std::string_view text) {
    if (text.empty()) return 1;
    return static_cast<int>((text.size() - 1) / 50 + 1);
}

std::optional<std::string> Gegenkopie(std::string_view gegenzeile) {
    const std::size_t p = gegenzeile.find('|');
    if (p == std::string_view::npos) return std::nullopt;
    return std::string(gegenzeile.substr(0, std::min(p, kKopiergrenze)));
}

std::optional<std::string> Trefferkopie(std::string_view trefferzeile) {
    const std::size_t erste = trefferzeile.find('|');
    if (erste == std::string_view::npos || erste + 1 >= trefferzeile.size()) return std::nullopt;
    const std::string_view rest = trefferzeile.substr(erste + 1);
    const std::size_t zweite = rest.find('|');
    if (zweite == std::string_view::npos) return std::nullopt;
    return std::string(rest.substr(0, std::min(zweite, kKopiergrenze)));
}

std::optional<std::string> Sprechtext(std::string_view gegenzeile, int richtung) {
    const std::size_t p = gegenzeile.find('|');
    if (p == std::string_view::npos) return std::nullopt;
    return std::string(richtung == 2 ? gegenzeile.substr(p + 1) : gegenzeile.substr(0, p));
}

Kopfbreiten GegenKopfbreiten(int listenbreite) {
    const int links = listenbreite / 3;
    return {links, listenbreite - links + 5};
}

}  // namespace zanit
