#include "sound/Vertonung.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <vector>

#include "search/Suchbegriff.h"
#include "sound/Tontabelle.h"
#include "xbase/Table.h"

namespace zanit {

std::string Sprechtext(std::string_view feld) { return BereinigeEintrag(EntferneZusaetze(feld), false); }

Vertonungsergebnis VertoneWoerterbuch(const std::string& woerterbuch, int seite, const std::string& tontabelle,
                                      const std::function<PcmAudio(const std::string&)>& sprich,
                                      const Vertonungsoptionen& optionen) {
    const std::string feldW = seite == 1 ? "W1" : "W2", feldWW = seite == 1 ? "WW1" : "WW2";
    xbase::Table t;
    t.SetFileName(woerterbuch);
    t.SetTableType(xbase::TableType::ttSXNSX);
    t.SetPassword(optionen.passwort);
    t.SetExclusive(true);
    t.Open();
    t.SetSyncOnPost(false);
    t.SetOrder(0);

    // The spoken texts, how many records carry each, in the order met, and the numbers records already give
    // them: a number a record carries is kept, so that what refers to it stays valid.
    std::vector<std::string> texte;
    std::unordered_map<std::string, std::size_t> haeufigkeit;
    std::unordered_map<std::string, std::vector<std::int32_t>> vorhanden;
    std::int32_t hoechste = 0;
    xbase::Field w = t.FieldByName(feldW), ww = t.FieldByName(feldWW);
    for (t.First(); !t.Eof(); t.Next()) {
        const std::string text = Sprechtext(w.AsString());
        if (text.empty()) continue;
        if (optionen.nurEinzelwoerter && text.find(' ') != std::string::npos) continue;
        if (haeufigkeit[text]++ == 0) texte.push_back(text);
        const long long n = ww.AsInteger();
        if (n > 0 && n <= INT32_MAX) {
            std::vector<std::int32_t>& liste = vorhanden[text];
            if (std::find(liste.begin(), liste.end(), n) == liste.end()) liste.push_back(static_cast<std::int32_t>(n));
            hoechste = std::max(hoechste, static_cast<std::int32_t>(n));
        }
    }
    if (optionen.grenze > 0 && texte.size() > optionen.grenze) {
        std::stable_sort(texte.begin(), texte.end(), [&](const std::string& a, const std::string& b) {
            const std::size_t ha = haeufigkeit[a], hb = haeufigkeit[b];
            if (ha != hb) return ha > hb;
            const bool ea = a.find(' ') == std::string::npos, eb = b.find(' ') == std::string::npos;
            if (ea != eb) return ea;
            return a.size() < b.size();
        });
        texte.resize(optionen.grenze);
    }

    // Recordings first: a text the synthesizer cannot speak gets no number. A text without a number gets the
    // next free one; a text under several numbers is stored under each.
    std::unordered_map<std::string, std::int32_t> neue;
    std::vector<Aufnahme> aufnahmen;
    std::int32_t naechste = std::max(optionen.start, hoechste + 1);
    for (const std::string& text : texte) {
        const PcmAudio audio = sprich(text);
        if (audio.samples.empty()) continue;
        const std::string bild = ImaWaveBild(audio, kWaveIma33, 512);
        const auto alt = vorhanden.find(text);
        if (alt != vorhanden.end()) {
            for (std::int32_t n : alt->second) aufnahmen.push_back({n, bild});
            neue[text] = alt->second.front();
        } else {
            aufnahmen.push_back({naechste, bild});
            neue[text] = naechste++;
        }
    }
    std::sort(aufnahmen.begin(), aufnahmen.end(), [](const Aufnahme& a, const Aufnahme& b) { return a.nummer < b.nummer; });
    SchreibeTontabelle(tontabelle, aufnahmen);

    Vertonungsergebnis ergebnis;
    ergebnis.texte = aufnahmen.size();
    for (t.First(); !t.Eof(); t.Next()) {
        const auto it = neue.find(Sprechtext(w.AsString()));
        if (it == neue.end()) continue;
        ++ergebnis.datensaetze;
        if (ww.AsInteger() > 0) continue;
        t.Edit();
        ww.SetAsInteger(it->second);
        t.Post();
    }
    t.Close();
    return ergebnis;
}

}  // namespace zanit
