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

    // The spoken texts, how many records carry each, in the order met.
    std::vector<std::string> texte;
    std::unordered_map<std::string, std::size_t> haeufigkeit;
    xbase::Field w = t.FieldByName(feldW), ww = t.FieldByName(feldWW);
    for (t.First(); !t.Eof(); t.Next()) {
        const std::string text = Sprechtext(w.AsString());
        if (text.empty()) continue;
        if (optionen.nurEinzelwoerter && text.find(' ') != std::string::npos) continue;
        if (haeufigkeit[text]++ == 0) texte.push_back(text);
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

    // Recordings first: a text the synthesizer cannot speak gets no number.
    std::unordered_map<std::string, std::int32_t> nummern;
    std::vector<Aufnahme> aufnahmen;
    std::int32_t naechste = optionen.start;
    for (const std::string& text : texte) {
        const PcmAudio audio = sprich(text);
        if (audio.samples.empty()) continue;
        aufnahmen.push_back({naechste, ImaWaveBild(audio, kWaveIma33, 512)});
        nummern[text] = naechste++;
    }
    SchreibeTontabelle(tontabelle, aufnahmen);

    Vertonungsergebnis ergebnis;
    ergebnis.texte = aufnahmen.size();
    for (t.First(); !t.Eof(); t.Next()) {
        const auto it = nummern.find(Sprechtext(w.AsString()));
        const std::int32_t nummer = it == nummern.end() ? 0 : it->second;
        if (nummer > 0) ++ergebnis.datensaetze;
        if (ww.AsInteger() == nummer) continue;
        t.Edit();
        ww.SetAsInteger(nummer);
        t.Post();
    }
    t.Close();
    return ergebnis;
}

}  // namespace zanit
