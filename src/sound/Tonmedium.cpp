#include "sound/Tonmedium.h"

#include <algorithm>
#include <filesystem>

#include "base/Katalog.h"
#include "base/Utils.h"
#include "data/Woerterbuecher.h"
#include "sound/Ini.h"
#include "sound/Tontabelle.h"
#include "xbase/Table.h"

namespace zanit {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProduktwort = "zanit";

std::string Getrimmt(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return std::string(s);
}

bool DateiDa(const std::string& pfad) {
    if (pfad.empty()) return false;
    std::error_code fehler;
    return fs::is_regular_file(Dateisystempfad(pfad), fehler);
}

std::string Wert(const std::string& abschnitt, std::string_view name) {
    return RegTextLesen(RegRoot::LocalMachine, Einstellungsschluessel(), abschnitt, "", name);
}

bool IstTrenner(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string UnterWurzel(const std::string& wurzel, const std::string& relativ) {
    std::string_view r = relativ;
    // A drive in front of the relative path is not part of it.
    if (r.size() >= 2 && r[1] == ':') r.remove_prefix(2);
    while (!r.empty() && IstTrenner(r.front())) r.remove_prefix(1);
    std::string rest(r);
    // Below a root in "/" spelling the rest is spelt the same way.
    if (wurzel.find('/') != std::string::npos && wurzel.find('\\') == std::string::npos)
        std::replace(rest.begin(), rest.end(), '\\', '/');
    std::string pfad = wurzel;
    if (!pfad.empty() && !IstTrenner(pfad.back())) pfad += '/';
    return pfad + rest;
}

std::string Beschreibungsdatei(const std::string& wurzel) {
    for (const char* name : {"zanit.ini", "LM.ini"}) {
        const std::string pfad = UnterWurzel(wurzel, name);
        if (DateiDa(pfad)) return pfad;
    }
    return {};
}

TTonmediumSuche::TTonmediumSuche(TDatendialog& daten, Laufwerksabfrage& laufwerke, Medienhinweis& hinweis)
    : daten_(daten), abfrage_(laufwerke), hinweis_(hinweis) {}

void TTonmediumSuche::LeseLaufwerke() { laufwerke_ = abfrage_.LeseLaufwerke(); }

const Laufwerk* TTonmediumSuche::LaufwerkVon(const std::string& pfad) const {
    const Laufwerk* bestes = nullptr;
    for (const Laufwerk& l : laufwerke_) {
        if (l.wurzel.empty() || !LiegtAufMedium(pfad, l.wurzel)) continue;
        if (!bestes || l.wurzel.size() > bestes->wurzel.size()) bestes = &l;
    }
    return bestes;
}

// One pass over the CD drives: the file of the highest release of the foreign language, scanning until one
// reaches the required release (among equal releases the first drive wins).
std::string TTonmediumSuche::DurchsucheMedien(const std::string& textF, int verlangt, int& release) {
    std::string bestes;
    release = 0;
    for (const Laufwerk& l : laufwerke_) {
        if (!l.cd || abfrage_.LeseDatentraeger(l.wurzel) == kKeinMedium) continue;
        const std::string beschreibung = Beschreibungsdatei(l.wurzel);
        if (beschreibung.empty()) continue;
        const std::optional<TIniDatei> ini = TIniDatei::Lies(beschreibung);
        if (!ini) continue;
        const std::string s = Getrimmt(ini->Text("Dictionary", "Sound"));
        const int r = ini->Zahl("Dictionary", "ReleaseS", 0);
        const std::string t = Getrimmt(ini->Text("Dictionary", "TextF"));
        if (t != textF || s.empty()) continue;
        const std::string datei = UnterWurzel(l.wurzel, s);
        if (!DateiDa(datei)) continue;
        if (release < r) {
            bestes = datei;
            release = r;
        }
        if (release >= verlangt) break;
    }
    return bestes;
}

void TTonmediumSuche::SucheSprachausgabe(const std::string& abschnitt, bool mehrsprachig) {
    const std::string pfad = Wert(abschnitt, "Sound");
    const int verlangt = RegZahlLesen(RegRoot::LocalMachine, Einstellungsschluessel(), abschnitt, 0, "ReleaseS");
    const std::string cdName = Wert(abschnitt, "CDName");
    const std::string textF = Getrimmt(Wert(abschnitt, "TextF"));
    // The tables of the previous dictionary close; a sequence still playing from them ends.
    daten_.TonFremdsprache = false;
    daten_.TonMuttersprache = false;
    daten_.WaveTableFremdsprache.Close();
    daten_.WaveTableMuttersprache.Close();
    FremdTondatei.clear();
    // Media come and go between dictionary openings.
    LeseLaufwerke();

    std::string datei;
    for (;;) {
        // 1. The registered medium: present, and on a drive that holds a medium.
        bool ok = true;
        const Laufwerk* laufwerk = pfad.empty() ? nullptr : LaufwerkVon(pfad);
        if (laufwerk && laufwerk->cd && abfrage_.LeseDatentraeger(laufwerk->wurzel) == kKeinMedium) ok = false;
        if (ok) ok = DateiDa(pfad);
        // 2. Its release, from the description file at the root of its drive.
        int m = verlangt;
        if (ok && laufwerk) {
            const std::string beschreibung = Beschreibungsdatei(laufwerk->wurzel);
            if (!beschreibung.empty()) {
                const std::optional<TIniDatei> ini = TIniDatei::Lies(beschreibung);
                m = ini ? ini->Zahl("Dictionary", "ReleaseS", 0) : 0;
            }
        }
        // 3. Recent enough.
        if (ok && m >= verlangt) {
            datei = pfad;
            break;
        }
        // 4. The CD drives, until the user accepts what was found.
        int b = 0;
        std::string bestes;
        for (;;) {
            bestes = DurchsucheMedien(textF, verlangt, b);
            if (b > 0 && b < verlangt) {
                bool egal = false;
                const int antwort = hinweis_.Zeige(
                    KatalogText(90100, "Inaktuelle Sprachausgabe!"),
                    KatalogTextMitArgumenten(
                        90101,
                        "Auf der &#-CD \"&#\" liegt eine aktuellere Version der Sprachausgabe für diese Fremdsprache "
                        "vor. Legen Sie diese CD in das Laufwerk und wählen Sie \"Wiederholen\" oder wählen Sie "
                        "\"Ignorieren\", um mit der gefundenen Version der Sprachausgabe fortzufahren.",
                        kProduktwort, cdName),
                    false, egal);
                if (antwort == 1) {
                    // The user may have inserted a medium since the drives were read.
                    LeseLaufwerke();
                    continue;
                }
            }
            break;
        }
        if (ok && b <= m)
            datei = pfad;
        else if (b > 0)
            datei = bestes;
        if (!datei.empty()) break;

        // 5. Nothing found: the notice, unless the user asked not to see it at the start of a run.
        const bool erste = ErsteOeffnung;
        ErsteOeffnung = false;
        if (!SoundLesen() && erste) return;
        bool angekreuzt = false;
        const int antwort = hinweis_.Zeige(
            KatalogText(99015, "Sprachausgabe nicht gefunden!"),
            KatalogTextMitArgumenten(
                90103,
                "Auf die Sprachausgabe für &# kann nicht zugegriffen werden. Legen Sie eine entsprechende &#-CD in "
                "das Laufwerk und wählen Sie \"Wiederholen\" oder wählen Sie \"Ignorieren\", um ohne Sprachausgabe "
                "fortzufahren.",
                textF, kProduktwort),
            erste, angekreuzt);
        if (erste && angekreuzt) SoundSchreiben(false);
        if (antwort != 1) return;
        LeseLaufwerke();
    }

    // 6. The foreign-language sound table; 7. in multi-language mode the mother tongue's.
    FremdTondatei = datei;
    try {
        OeffneTontabelle(daten_.WaveTableFremdsprache, datei);
        daten_.TonFremdsprache = true;
    } catch (const xbase::TableError&) {
        daten_.TonFremdsprache = false;
    }
    if (mehrsprachig) {
        const std::string mutter = Wert(abschnitt, "SoundM");
        if (DateiDa(mutter)) {
            try {
                OeffneTontabelle(daten_.WaveTableMuttersprache, mutter);
                daten_.TonMuttersprache = true;
            } catch (const xbase::TableError&) {
                daten_.TonMuttersprache = false;
            }
        }
    }
}

}  // namespace zanit
