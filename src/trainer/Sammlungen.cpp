#include "trainer/Sammlungen.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/Utils.h"
#include "data/Woerterbuecher.h"
#include "xbase/Table.h"

namespace zanit {

namespace {

constexpr std::size_t kNamenslaenge = 50;

bool IstTrenner(char c) { return c == '/' || c == '\\'; }

bool DateiExistiert(const std::string& gespeichert) {
    std::error_code fehler;
    return std::filesystem::is_regular_file(std::filesystem::path(Dateisystempfad(gespeichert)), fehler);
}

// The letter a byte sorts under: a..z and the accented Windows-1252 letters as their upper-case base letter.
unsigned char Grundbuchstabe(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c < 0xC0) return c;
    static const char* const tabelle =
        "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTs"   // 0xC0 .. 0xDF
        "AAAAAAACEEEEIIIIDNOOOOO/OUUUUYTY";  // 0xE0 .. 0xFF
    const char b = tabelle[c - 0xC0];
    return (b == 'x' || b == '/' || b == 's') ? c : static_cast<unsigned char>(b);
}

std::string Sortierschluessel(std::string_view text) {
    std::string k;
    k.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0xDF) k += "SS";  // ß
        else k += static_cast<char>(Grundbuchstabe(c));
    }
    return k;
}

void Sortiere(TSammlungsknoten& knoten) {
    std::stable_sort(knoten.kinder.begin(), knoten.kinder.end(),
                     [](const TSammlungsknoten& a, const TSammlungsknoten& b) { return VorImAlphabet(a.text, b.text); });
    for (TSammlungsknoten& k : knoten.kinder) Sortiere(k);
}

}  // namespace

std::string Getrimmt(std::string_view s) {
    std::size_t a = 0, e = s.size();
    while (a < e && static_cast<unsigned char>(s[a]) <= 32) ++a;
    while (e > a && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return std::string(s.substr(a, e - a));
}

bool SichererDateiname(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) return false;
    return true;
}

TTrainerort LokalisiereTrainer() {
    TTrainerort ort;
    const std::string ordner = RegTextLesen(RegRoot::LocalMachine, kProduktSchluessel, "Vocabulary", "", "Program");
    if (ordner.empty()) return ort;
    std::string programm = ordner;
    if (!IstTrenner(programm.back())) programm += (programm.find('/') != std::string::npos ? '/' : '\\');
    programm += "zanit.exe";
    if (!DateiExistiert(programm)) return ort;
    ort.programm = programm;
    const char trenner = programm[programm.find_last_of("/\\")];
    ort.sammlungsordner = programm.substr(0, programm.find_last_of("/\\") + 1) + "Voc" + trenner;
    return ort;
}

int Wurzelbild(char b) {
    switch (b) {
        case 'D': return 0;
        case 'E': return 1;
        case 'F': return 3;
        case 'I': return 4;
        case 'S': return 5;
        case 'L': return 6;
        case 'V': return 11;
        default: return 20;
    }
}

char Sprachbuchstabe(std::string_view datei, bool mehrsprachig) {
    const std::size_t p = datei.find_last_of("/\\");
    const std::string_view name = p == std::string_view::npos ? datei : datei.substr(p + 1);
    const std::size_t i = mehrsprachig ? 1 : 0;
    if (name.size() <= i) return 0;
    const char c = name[i];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool VorImAlphabet(std::string_view a, std::string_view b) {
    const std::string ka = Sortierschluessel(a), kb = Sortierschluessel(b);
    if (ka != kb) return ka < kb;
    return a < b;
}

bool ListeSammlungen(const std::string& ordner, std::string_view textF, int wurzelbild, TSammlungsknoten& wurzel) {
    wurzel = TSammlungsknoten{};
    wurzel.text = std::string(textF);
    wurzel.bild = wurzelbild;
    xbase::Table index;
    index.SetFolder(Dateisystempfad(ordner));
    index.SetFileName("INHALT.DBF");
    index.SetReadOnly(true);
    index.SetExclusive(false);
    try {
        index.Open();
        index.SetOrder(index.TagArea("IDATEI"));
        index.First();
        while (!index.Eof()) {
            const std::string sprache = index.FieldByName("SPRACHE").AsString();
            const std::string datei = index.FieldByName("DATEI").AsString();
            if (sprache == textF && !datei.empty()) {
                const std::string gruppe = index.FieldByName("GRUPPE").AsString();
                auto g = std::find_if(wurzel.kinder.begin(), wurzel.kinder.end(),
                                      [&](const TSammlungsknoten& k) { return k.text == gruppe; });
                if (g == wurzel.kinder.end()) {
                    wurzel.kinder.push_back({gruppe, kGruppenbild, {}, {}});
                    g = wurzel.kinder.end() - 1;
                }
                g->kinder.push_back({index.FieldByName("TEXT").AsString(), kSammlungsbild, datei, {}});
            }
            index.Skip(1);
        }
    } catch (const xbase::TableError&) {
        // An index that cannot be read lists what was read before the failure.
    }
    index.Close();
    if (wurzel.kinder.empty()) return false;
    Sortiere(wurzel);
    return true;
}

std::string Ordnerdatei(const std::string& ordner, std::string_view name) {
    std::string p = Dateisystempfad(ordner);
    if (!p.empty() && !IstTrenner(p.back())) p += '/';
    return p + Dateisystempfad(name);
}

std::string Kopfdatei(const std::string& ordner, std::string_view datei) {
    return Ordnerdatei(ordner, std::string(datei.substr(0, 8)) + ".lvh");
}

std::string Lektionstabellenname(std::string_view basisname) {
    std::string n = std::string(basisname) + "L";
    if (n.size() > 8) n.resize(8);
    return n;
}

std::string Vokabeltabellenname(std::string_view basisname) {
    std::string n(basisname);
    if (n.find('.') == std::string::npos) n += ".dbf";
    return n;
}

bool LadeLektionen(const std::string& ordner, const std::string& tabellenname, TLektionsplaetze& plaetze) {
    const std::string datei = tabellenname + ".dbf";
    std::error_code fehler;
    if (!std::filesystem::is_regular_file(std::filesystem::path(Ordnerdatei(ordner, datei)), fehler)) return false;
    for (TLektion& l : plaetze) l = TLektion{};
    xbase::Table t;
    t.SetFolder(Dateisystempfad(ordner));
    t.SetFileName(Dateisystempfad(datei));
    t.SetReadOnly(true);
    t.SetExclusive(false);
    t.Open();
    for (t.First(); !t.Eof(); t.Skip(1)) {
        const long long n = t.FieldByName("NR").AsInteger();
        if (n < 1 || n > kMaxLektionen) continue;
        TLektion& l = plaetze[static_cast<std::size_t>(n)];
        l.nr = static_cast<int>(n);
        l.name = Getrimmt(t.FieldByName("NAME").AsString());
        if (l.name.size() > kNamenslaenge) l.name.resize(kNamenslaenge);
        for (int k = 0; k < 7; ++k) l.kasten[k] = t.FieldByName("KASTEN" + std::to_string(k + 1)).AsInteger();
    }
    t.Close();
    return true;
}

std::vector<TLektionseintrag> Lektionsliste(const TLektionsplaetze& plaetze, int lektionszahl) {
    std::vector<TLektionseintrag> liste;
    for (int n = 1; n <= kMaxLektionen; ++n) {
        if (plaetze[n].nr == 0) continue;
        liste.emplace_back(n, plaetze[n].name);
        if (static_cast<int>(liste.size()) == lektionszahl) break;
    }
    return liste;
}

int FreieLektionsnummer(int c, const TLektionsplaetze& plaetze) {
    const int start = std::clamp(c, 0, kMaxLektionen);
    for (int n = start + 1; n <= kMaxLektionen; ++n)
        if (plaetze[n].nr == 0) return n;
    for (int n = 1; n <= start; ++n)
        if (plaetze[n].nr == 0) return n;
    return 0;
}

bool LektionsnameVorhanden(const TLektionsplaetze& plaetze, std::string_view name) {
    const std::string gesucht = Getrimmt(name);
    for (int n = 1; n <= kMaxLektionen; ++n)
        if (plaetze[n].nr != 0 && Getrimmt(plaetze[n].name) == gesucht) return true;
    return false;
}

int FuegeLektionHinzu(TSammlungskopf& kopf, TLektionsplaetze& plaetze, std::string_view name) {
    const std::string n = Getrimmt(name);
    if (kopf.Lektionszahl() >= kMaxLektionen || n.empty() || LektionsnameVorhanden(plaetze, n)) return 0;
    const int nr = FreieLektionsnummer(kopf.Lektionszahl(), plaetze);
    if (nr == 0) return 0;
    kopf.SetzeLektionszahl(kopf.Lektionszahl() + 1);
    TLektion& l = plaetze[static_cast<std::size_t>(nr)];
    l = TLektion{};
    l.nr = nr;
    l.name = n.substr(0, kNamenslaenge);
    kopf.SetzeLektionsflag(nr, true);
    return nr;
}

}  // namespace zanit
