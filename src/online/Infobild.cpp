#include "online/Infobild.h"

#include <charconv>
#include <cstdio>

#include "base/Utils.h"

namespace zanit {

namespace {

std::string_view OhneRand(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A decimal integer with an optional sign; anything else (also a number out of range) is 0.
int Zahl(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int wert = 0;
    const auto [ende, fehler] = std::from_chars(s.data(), s.data() + s.size(), wert);
    return fehler == std::errc() && ende == s.data() + s.size() ? wert : 0;
}

}  // namespace

std::vector<TInfobereich> LeseInfobereiche(std::string_view text) {
    std::vector<TInfobereich> bereiche;
    while (!text.empty() && static_cast<int>(bereiche.size()) < kMaxInfobereiche) {
        const std::size_t nl = text.find('\n');
        const std::string_view zeile = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        int zahlen[4] = {0, 0, 0, 0};
        std::size_t anfang = 0;
        bool vollstaendig = true;
        for (int& z : zahlen) {
            const std::size_t komma = zeile.find(',', anfang);
            if (komma == std::string_view::npos) {
                vollstaendig = false;
                break;
            }
            z = Zahl(OhneRand(zeile.substr(anfang, komma - anfang)));
            anfang = komma + 1;
        }
        if (!vollstaendig) continue;
        const std::string_view adresse = OhneRand(zeile.substr(anfang));
        if (adresse.empty()) continue;
        bereiche.push_back({zahlen[0], zahlen[1], zahlen[2], zahlen[3], std::string(adresse)});
    }
    return bereiche;
}

std::string Infoarchivname(std::string_view vorsilbe, int infoNummer) {
    char ziffern[8];
    std::snprintf(ziffern, sizeof ziffern, "%03d", (infoNummer % 1000 + 1000) % 1000);
    return std::string(vorsilbe) + ziffern + ".gz";
}

bool InfobildFaellig(bool vorhanden, std::time_t dateizeit, std::time_t jetzt) {
    if (!vorhanden) return true;
    long long sekJetzt = 0;
    const long long tagDatei = LokalerTag(dateizeit);
    const long long tagJetzt = LokalerTag(jetzt, &sekJetzt);
    return (tagJetzt - tagDatei) * 86400 + sekJetzt > 14 * 86400;
}

}  // namespace zanit
