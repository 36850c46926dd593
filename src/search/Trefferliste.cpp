#include "search/Trefferliste.h"

#include "data/Woerterbuecher.h"

namespace zanit {

Trefferliste::Zeile& Trefferliste::Neue() {
    if (anzahl_ == zeilen_.size()) zeilen_.emplace_back();
    return zeilen_[anzahl_++];
}

void Trefferliste::Hinzufuegen(std::string_view quelle, std::string_view uebersetzungen,
                               std::string_view wortartname, int code) {
    Zeile& z = Neue();
    z.text.assign(quelle);
    z.text += '|';
    z.text.append(uebersetzungen);
    z.text += '|';
    z.text.append(wortartname);
    z.wortart = code;
}

std::string& Trefferliste::NeueZeile(int code) {
    Zeile& z = Neue();
    z.text.clear();
    z.wortart = code;
    return z.text;
}

void Trefferliste::Hinzufuegen(std::string_view text, int code) {
    Zeile& z = Neue();
    z.text.assign(text);
    z.wortart = code;
}

std::string_view Spalte(std::string_view zeile, int n) { return Listenfeld(zeile, n); }

}  // namespace zanit
