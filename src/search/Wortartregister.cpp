#include "search/Wortartregister.h"

#include <algorithm>

#include "xbase/Table.h"

namespace zanit {

std::size_t TWortartregister::Liste::Erster(std::string_view key) const {
    std::size_t lo = 0, hi = Anzahl();
    while (lo < hi) {
        const std::size_t mitte = lo + (hi - lo) / 2;
        if (Schluessel(mitte) < key) lo = mitte + 1;
        else hi = mitte;
    }
    return lo;
}

void TWortartregister::Leeren() {
    wortarten_.clear();
    listen_.clear();
}

const TWortartregister::Liste& TWortartregister::Fuer(xbase::Table& tabelle, int tag, int code, char erstes) {
    const auto gefunden = listen_.find({tag, code, erstes});
    if (gefunden != listen_.end()) return gefunden->second;
    if (wortarten_.size() != tabelle.RecCount() + 1u) wortarten_.assign(tabelle.RecCount() + 1u, 0);
    const xbase::Field wortart = tabelle.FieldByName("WA");
    Liste liste;
    tabelle.SetOrder(tag);
    const std::string anfang(1, erstes);
    if (tabelle.Seek(anfang)) {
        for (; !tabelle.Eof(); tabelle.Next()) {
            const std::string_view key = tabelle.OrderKey();
            if (key.empty() || key[0] != erstes) break;
            const std::uint32_t nr = tabelle.RecNo();
            if (nr >= wortarten_.size()) continue;
            std::uint8_t& bekannt = wortarten_[nr];
            if (bekannt == 0) bekannt = static_cast<std::uint8_t>(std::clamp<long long>(wortart.AsInteger(), 0, 254) + 1);
            if (bekannt - 1 != code) continue;
            liste.schluessel_ += key;
            liste.enden_.push_back(static_cast<std::uint32_t>(liste.schluessel_.size()));
            liste.saetze_.push_back(nr);
        }
    }
    return listen_.emplace(std::tuple{tag, code, erstes}, std::move(liste)).first->second;
}

}  // namespace zanit
