#include "data/Woerterbuecher.h"

#include <filesystem>
#include <system_error>

#include "base/Katalog.h"
#include "base/Startzustand.h"
#include "base/Utils.h"
#include "data/Datendialog.h"
#include "data/Woerterbuchdatei.h"
#include "xbase/Codepage.h"

namespace zanit {

namespace {

constexpr RegRoot kRoot = RegRoot::LocalMachine;

std::string Getrimmt(std::string_view s) {
    std::size_t a = 0, e = s.size();
    while (a < e && static_cast<unsigned char>(s[a]) <= 32) ++a;
    while (e > a && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return std::string(s.substr(a, e - a));
}

char Gross(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool GleichOhneFall(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Gross(a[i]) != Gross(b[i])) return false;
    }
    return true;
}

bool IstTrenner(char c) { return c == '/' || c == '\\'; }

bool HatLaufwerk(std::string_view p) {
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

bool DateiVorhanden(std::string_view gespeichert) {
    if (gespeichert.empty()) return false;
    std::error_code fehler;
    return std::filesystem::is_regular_file(Dateisystempfad(gespeichert), fehler);
}

std::string Wert(std::string_view abschnitt, std::string_view vorgabe, std::string_view name) {
    return RegTextLesen(kRoot, Einstellungsschluessel(), abschnitt, vorgabe, name);
}

std::string Eintrag(std::string_view abschnitt, std::string_view textM, std::string_view textF) {
    std::string e(abschnitt);
    e += '|';
    e += textM;
    e += '|';
    e += textF;
    return e;
}

}  // namespace

std::string Einstellungsschluessel() {
    std::string s(kProduktSchluessel);
    s += "Dictionary\\";
    return s;
}

std::string_view Listenfeld(std::string_view eintrag, int n) {
    std::size_t anfang = 0;
    for (int i = 0; i < n; ++i) {
        const std::size_t p = eintrag.find('|', anfang);
        if (p == std::string_view::npos) return {};
        anfang = p + 1;
    }
    const std::size_t ende = eintrag.find('|', anfang);
    return eintrag.substr(anfang, ende == std::string_view::npos ? std::string_view::npos : ende - anfang);
}

bool LiegtAufMedium(std::string_view pfad, std::string_view wurzel) {
    if (pfad.empty() || wurzel.empty()) return false;
    if (HatLaufwerk(wurzel) || HatLaufwerk(pfad)) return Gross(pfad[0]) == Gross(wurzel[0]);
    // Folder root: the path must continue below it, separators of either kind being equal.
    while (wurzel.size() > 1 && IstTrenner(wurzel.back())) wurzel.remove_suffix(1);
    if (pfad.size() <= wurzel.size()) return false;
    for (std::size_t i = 0; i < wurzel.size(); ++i) {
        const bool beideTrenner = IstTrenner(pfad[i]) && IstTrenner(wurzel[i]);
        if (!beideTrenner && pfad[i] != wurzel[i]) return false;
    }
    return IstTrenner(wurzel.back()) || IstTrenner(pfad[wurzel.size()]);
}

std::string Dateisystempfad(std::string_view gespeichert) {
#ifdef _WIN32
    return std::string(gespeichert);
#else
    std::string p = xbase::Cp1252ToUtf8(gespeichert);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
#endif
}

std::string ZweiterReitertext(std::string_view textM, std::string_view textF) {
    std::string r(textF);
    // Every character is compared with the first one of TextM, so that names sharing a longer beginning
    // ("Deutsch", "Deutsch (Schweiz)") still differ in their accelerators.
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (textM.empty() || r[i] != textM.front()) {
            r.insert(i, 1, '&');
            break;
        }
    }
    return r;
}

TWoerterbuecher::TWoerterbuecher(TDatendialog& daten) : daten_(daten) {}

int TWoerterbuecher::LeseWoerterbuchliste(std::string_view abschnitt) {
    Liste.clear();
    Sprachcodes.clear();
    int gefunden = -1;
    for (const std::string& schluessel : RegUnterschluesselLesen(kRoot, Einstellungsschluessel())) {
        if (schluessel == "DfA") continue;
        const std::string pfad = Wert(schluessel, "", "Dictionary");
        if (pfad.empty()) continue;
        const std::string textM = Wert(schluessel, "Deutsch", "TextM");
        const std::string textF = Wert(schluessel, schluessel, "TextF");
        // A dictionary on the sound medium counts as present even while the medium is out of its drive.
        const bool vorhanden = (!CDPfad.empty() && LiegtAufMedium(pfad, CDPfad)) || DateiVorhanden(pfad);
        if (!vorhanden) continue;
        Liste.push_back(Eintrag(schluessel, textM, textF));
        if (schluessel == abschnitt) gefunden = static_cast<int>(Liste.size()) - 1;
    }
    return gefunden;
}

int TWoerterbuecher::LeseSprachenliste(std::string_view abschnitt, char dialogbuchstabe) {
    const int mutterCode = SprachcodeAusBuchstabe(dialogbuchstabe);
    const std::string mutter = Eigenname(mutterCode);
    const bool deutsch = mutter == "Deutsch";
    // The stored section names of language codes 1..6. They never change with the dialog language: the
    // catalogue's texts 10..15 translate them, and serve only where an installation registered its sections
    // under those translated names, and to leave out a language (a blank text).
    static const char* const kAbschnitte[] = {"Deutsch", "Englisch", "Franzoesisch", "Italienisch", "Spanisch",
                                              "Latein"};
    Liste.clear();
    Sprachcodes.clear();
    int vorwahl = 1;
    for (int i = 10; i <= 15; ++i) {
        if (i - 9 == mutterCode) continue;  // the mother tongue has no tab of its own
        std::string schluessel = kAbschnitte[i - 10];
        std::string pfad = Wert(schluessel, "", "Dictionary");
        if (!deutsch) {
            const std::string uebersetzt = KatalogText(i, kAbschnitte[i - 10]);
            if (uebersetzt.empty()) continue;
            if (!DateiVorhanden(pfad) && uebersetzt != schluessel) {
                schluessel = uebersetzt;
                pfad = Wert(schluessel, "", "Dictionary");
            }
        }
        if (!DateiVorhanden(pfad)) continue;
        const std::string textM = Wert(schluessel, mutter, "TextM");
        const std::string textF = Wert(schluessel, schluessel, "TextF");
        Liste.push_back(Eintrag(schluessel, textM, textF));
        Sprachcodes.push_back(i - 9);
        if (GleichOhneFall(schluessel, abschnitt)) vorwahl = static_cast<int>(Liste.size());
    }
    return vorwahl;
}

bool TWoerterbuecher::OeffneWoerterbuch(int n) { return Oeffne(n); }

bool TWoerterbuecher::OeffneSprache(int n) {
    if (BeiSprachwechsel) BeiSprachwechsel();
    return Oeffne(n);
}

bool TWoerterbuecher::Oeffne(int n) {
    Fehlerart = Oeffnungsfehler::Keiner;
    Fehler.clear();
    Fehlergrund.clear();
    if (n < 0 || n >= static_cast<int>(Liste.size())) {
        Offen = false;
        daten_.TonFremdsprache = false;
        daten_.TonMuttersprache = false;
        Index = -1;
        return false;
    }
    const std::string& eintrag = Liste[static_cast<std::size_t>(n)];
    const std::string schluessel = Getrimmt(Listenfeld(eintrag, 0));
    const std::string datei = Wert(schluessel, "", "Dictionary");
    fehlerName_ = std::string(Listenfeld(eintrag, 2));
    fehlerDatei_ = datei;

    const bool vorhanden = DateiVorhanden(datei);
    xbase::Table neu;
    if (vorhanden) {
        // Opened aside: a table that fails leaves the dictionary open before in force.
        const std::string pfad = Dateisystempfad(datei);
        const std::filesystem::path p(pfad);
        neu.SetFolder(p.parent_path().string());
        neu.SetFileName(p.filename().string());
        neu.SetTableType(xbase::TableType::ttSXNSX);
        neu.SetReadOnly(true);
        neu.SetExclusive(false);
        neu.SetOEMTranslate(false);
        neu.SetPassword(std::string(kWoerterbuchPasswort));
        neu.SetRecordCache(kWoerterbuchZwischenspeicher);
        try {
            neu.Open();
        } catch (const xbase::TableError& fehler) {
            Fehler = fehler.what();
            Fehlergrund = fehler.reason();
            if (dynamic_cast<const xbase::PasswordError*>(&fehler)) Fehlerart = Oeffnungsfehler::Kennwort;
            else if (dynamic_cast<const xbase::FormatError*>(&fehler)) Fehlerart = Oeffnungsfehler::Beschaedigt;
            else if (dynamic_cast<const xbase::LockError*>(&fehler)) Fehlerart = Oeffnungsfehler::Gesperrt;
            else if (!DateiVorhanden(datei)) Fehlerart = Oeffnungsfehler::DateiFehlt;
            else Fehlerart = Oeffnungsfehler::Lesefehler;
            return false;
        }
    } else {
        Fehlerart = Oeffnungsfehler::DateiFehlt;
    }

    // The previous dictionary is closed in every case: a search must never run on the table of another
    // dictionary while the names of this one head the list.
    daten_.BuchDatei.Close();
    ++Tabellenwechsel;
    if (vorhanden) daten_.BuchDatei.Swap(neu);
    TextM = std::string(Listenfeld(eintrag, 1));
    TextF = std::string(Listenfeld(eintrag, 2));
    Datei = datei;
    Offen = vorhanden;
    daten_.TonFremdsprache = false;
    daten_.TonMuttersprache = false;
    Index = Offen ? n : -1;
    SetzeWoerterbuchdatei(Offen ? std::string_view(Datei) : std::string_view());

    if (Startzustand().tonGeraet) daten_.Tonmedium().SucheSprachausgabe(schluessel, Mehrsprachig);
    return true;
}

bool TWoerterbuecher::OeffneAlsWechsel(int n) {
    if (n >= 0 && n < static_cast<int>(Liste.size())) {
        const std::string& eintrag = Liste[static_cast<std::size_t>(n)];
        const std::string datei = Wert(Getrimmt(Listenfeld(eintrag, 0)), "", "Dictionary");
        if (!DateiVorhanden(datei)) {
            Fehlerart = Oeffnungsfehler::DateiFehlt;
            Fehler.clear();
            Fehlergrund.clear();
            fehlerName_ = std::string(Listenfeld(eintrag, 2));
            fehlerDatei_ = datei;
            return false;
        }
    }
    return OeffneWoerterbuch(n);
}

std::string TWoerterbuecher::Fehlermeldung() const {
    std::string grund;
    switch (Fehlerart) {
        case Oeffnungsfehler::Keiner:
            return {};
        case Oeffnungsfehler::DateiFehlt:
            // A dictionary on the sound medium is there again once the medium is.
            if (!CDPfad.empty() && LiegtAufMedium(fehlerDatei_, CDPfad))
                return KatalogTextMitArgumenten(30120, "Das Wörterbuch &§&#&§ ist zurzeit nicht verfügbar. Legen Sie den Datenträger ein, auf dem es liegt, und öffnen Sie das Wörterbuch erneut.", fehlerName_);
            grund = KatalogTextMitArgumenten(32023, "Die Datei &§&#&§ fehlt.", fehlerDatei_);
            break;
        case Oeffnungsfehler::Kennwort:
            grund = KatalogText(32021, "Das Kennwort der Datei stimmt nicht.");
            break;
        case Oeffnungsfehler::Beschaedigt:
            grund = KatalogText(32022, "Die Datei ist beschädigt.");
            break;
        case Oeffnungsfehler::Gesperrt:
            grund = KatalogText(32024, "Ein anderes Programm hat die Datei gesperrt.");
            break;
        case Oeffnungsfehler::Lesefehler:
            grund = KatalogTextMitArgumenten(32025, "Die Datei lässt sich nicht lesen: &#", Fehlergrund);
            break;
    }
    return KatalogTextMitArgumenten(32020, "Das Wörterbuch &§&#&§ lässt sich nicht öffnen. &#", fehlerName_, grund);
}

std::string TWoerterbuecher::Abschnitt() const {
    if (Index < 0 || Index >= static_cast<int>(Liste.size())) return {};
    return std::string(Listenfeld(Liste[static_cast<std::size_t>(Index)], 0));
}

}  // namespace zanit
