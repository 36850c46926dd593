#include "options/Optionen.h"

#include <filesystem>

#include "base/Katalog.h"
#include "base/Utils.h"

namespace zanit {

std::string Katalogdatei(std::string_view programmordner, char buchstabe) {
    return MitBackslash(MitBackslash(programmordner) + "Data") + "zanit_" + std::string(1, buchstabe) + ".glc";
}

Sprachliste BaueSprachliste(std::string_view programmordner, bool noLanguageChange, char aktuell) {
    Sprachliste l;
    if (noLanguageChange) return l;
    l.eintraege.push_back({'D', ""});
    l.markiert = 0;
    l.eintraege.push_back({'D', "Deutsch"});
    for (const Dialogsprache& s : Dialogsprachen()) {
        std::error_code fehler;
        if (!std::filesystem::is_regular_file(Katalogdatei(programmordner, s.buchstabe), fehler)) continue;
        if (s.buchstabe == aktuell) l.markiert = static_cast<int>(l.eintraege.size());
        l.eintraege.push_back({s.buchstabe, s.name});
    }
    l.sichtbar = l.eintraege.size() >= 3;
    return l;
}

char BuchstabeAusEintrag(int index, std::string_view text) {
    if (index <= 0 || text.empty()) return 'D';
    if (text.find("Español") != std::string_view::npos || text.find("Espa\xF1ol") != std::string_view::npos)
        return 'S';
    if (text.find("Svensk") != std::string_view::npos) return 'V';
    return text.front();
}

int VerzoegerungAusText(std::string_view text) { return ZahlAusText(text); }

Optionswerte OptionswerteAus(const Einstellungen& e, bool hotkeysAktiv, const std::array<int, 3>& kuerzel) {
    Optionswerte o;
    o.hotkeysAn = hotkeysAktiv;
    o.kuerzel = kuerzel;
    o.direktsuche = e.Seek;
    o.verzoegerung = std::to_string(e.Interval);
    o.fontname = e.Fontname;
    o.fontsize = e.Fontsize;
    o.autostart = e.Autostart;
    o.tray = e.Tray;
    o.keinSprachhinweis = !e.Sound;
    o.keinEndhinweis = !e.Save;
    o.buchstabe = e.GLC;
    return o;
}

void OptionswerteUebernehmen(const Optionswerte& o, Einstellungen& e) {
    e.Seek = o.direktsuche;
    e.Tray = o.tray;
    e.Autostart = o.autostart;
    e.Interval = VerzoegerungAusText(o.verzoegerung);
    e.Fontname = o.fontname;
    e.Fontsize = o.fontsize;
    e.Save = !o.keinEndhinweis;
    e.Sound = !o.keinSprachhinweis;
}

char NeuerDialogbuchstabe(const Optionswerte& o) { return o.sprachenSichtbar ? o.buchstabe : 'D'; }

}  // namespace zanit
