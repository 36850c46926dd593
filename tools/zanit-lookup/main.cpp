// zanit-lookup: the dictionary search from a terminal. It reads the dictionaries registered in the machine
// hive (ZANIT_REGISTRY names the hive file), opens one and runs the same walk as the main window, printing
// each hit line as the list holds it and then the hit count text. Output is UTF-8.
//
//   zanit-lookup [--dictionary SECTION] [--direction 1|2] [--incremental] [--filter CODE]
//                [--language LETTER] [--corrected] WORD
//   zanit-lookup [--dictionary SECTION] [--direction 1|2] [--language LETTER] --reverse WORD
//   zanit-lookup --key TEXT --language NAME
//
// Exit status: 0 lines were found, 1 none, 2 an error.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Katalog.h"
#include "base/Utils.h"
#include "common/Args.h"
#include "data/Datendialog.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "xbase/Codepage.h"

namespace {

constexpr int kGefunden = 0, kNichts = 1, kFehler = 2;

const char* const kAufruf =
    "Aufruf: zanit-lookup [--dictionary ABSCHNITT] [--direction 1|2] [--incremental] [--filter CODE]\n"
    "                     [--language BUCHSTABE] [--corrected] WORT\n"
    "        zanit-lookup [--dictionary ABSCHNITT] [--direction 1|2] [--language BUCHSTABE] --reverse WORT\n"
    "        zanit-lookup --key TEXT --language SPRACHNAME\n";

struct Optionen {
    std::optional<std::string> woerterbuch;
    int richtung = 0;  // 0: the "Part" setting
    bool inkrementell = false;
    int filter = 0;
    std::optional<std::string> sprache;
    bool korrigiert = false;
    bool umkehr = false;
    bool schluessel = false;
    std::string wort;
};

void Ausgabe(std::string_view cp1252) {
    const std::string utf8 = xbase::Cp1252ToUtf8(cp1252);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

int Fehler(const std::string& text) {
    std::fprintf(stderr, "zanit-lookup: %s\n", text.c_str());
    return kFehler;
}

bool Ganzzahl(std::string_view text, int unten, int oben, int& wert) {
    int w = 0;
    if (!zanit::ZahlAusText(text, w) || w < unten || w > oben) return false;
    wert = w;
    return true;
}

// Parses the command line; returns an error text, empty on success.
std::string LeseOptionen(int argc, char** argv, Optionen& o) {
    bool wortGesetzt = false;
    zanit_tools::ArgReader args(argc, argv, 1);
    std::string w;
    while (!args.Done()) {
        const std::string a = args.Next();
        if (a == "--dictionary") {
            if (!args.ValueInto(w)) return "--dictionary braucht einen Abschnittsnamen";
            o.woerterbuch = xbase::Utf8ToCp1252(w);
        } else if (a == "--direction") {
            if (!args.ValueInto(w) || !Ganzzahl(w, 1, 2, o.richtung)) return "--direction braucht 1 oder 2";
        } else if (a == "--incremental") {
            o.inkrementell = true;
        } else if (a == "--filter") {
            if (!args.ValueInto(w) || !Ganzzahl(w, 0, 11, o.filter)) return "--filter braucht eine Wortart 0..11";
        } else if (a == "--language") {
            if (!args.ValueInto(w) || w.empty()) return "--language braucht einen Wert";
            o.sprache = xbase::Utf8ToCp1252(w);
        } else if (a == "--corrected") {
            o.korrigiert = true;
        } else if (a == "--reverse" || a == "--key") {
            (a == "--reverse" ? o.umkehr : o.schluessel) = true;
            if (!args.ValueInto(w)) return a + " braucht einen Text";
            if (wortGesetzt) return "nur ein Suchwort ist erlaubt";
            o.wort = xbase::Utf8ToCp1252(w);
            wortGesetzt = true;
        } else if (a == "--help" || a == "-h") {
            return "hilfe";
        } else if (zanit_tools::IsLongOption(a)) {
            return "unbekannte Option " + a;
        } else {
            if (wortGesetzt) return "nur ein Suchwort ist erlaubt";
            o.wort = xbase::Utf8ToCp1252(a);
            wortGesetzt = true;
        }
    }
    if (o.umkehr && o.schluessel) return "--reverse und --key schließen einander aus";
    if (o.schluessel && !o.sprache) return "--key braucht --language SPRACHNAME";
    if (!wortGesetzt) return "kein Suchwort angegeben";
    if (!o.schluessel && o.sprache && o.sprache->size() != 1) return "--language braucht einen Buchstaben (D, E, F, I, S, N, V)";
    return {};
}

std::string Getrimmt(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return std::string(s);
}

int Suche(const Optionen& o) {
    using namespace zanit;
    const std::string basis(kProduktSchluessel);
    auto einstellung = [&](std::string_view name) { return RegTextLesen(RegRoot::LocalMachine, basis, "Dictionary", "", name); };

    // The program folder holds Data/ with the catalogues: the "Program" setting, else this program's folder.
    const std::string programm = einstellung("Program");
    Katalog().SetzeProgrammordner(programm.empty() ? OrdnerDerAnwendung() : Dateisystempfad(programm));
    KatalogOeffnen(o.sprache ? (*o.sprache)[0] : 'D');

    TDatendialog daten;
    TWoerterbuecher woerterbuecher(daten);
    woerterbuecher.CDPfad = einstellung("CD");
    const std::string abschnitt = o.woerterbuch ? *o.woerterbuch : einstellung("Section");
    const int index = woerterbuecher.LeseWoerterbuchliste(abschnitt);
    if (woerterbuecher.Liste.empty()) return Fehler(xbase::Cp1252ToUtf8(KatalogText(98050, "Es ist kein Wörterbuch installiert!")));
    if (o.woerterbuch && index < 0) return Fehler("kein registriertes Wörterbuch \"" + xbase::Cp1252ToUtf8(*o.woerterbuch) + "\"");
    if (!woerterbuecher.OeffneWoerterbuch(index >= 0 ? index : 0)) {
        return Fehler("das Wörterbuch \"" + xbase::Cp1252ToUtf8(woerterbuecher.Datei) + "\" lässt sich nicht öffnen");
    }

    // One walk reads each record once: keeping decoded records, as the window does for the next key typed,
    // would only cost.
    daten.BuchDatei.SetRecordCache(0);
    TSuche suche(daten, woerterbuecher);
    suche.Wortartfilter = o.filter;
    suche.LatGen = RegSchalterLesen(RegRoot::LocalMachine, basis, "Dictionary", false, "LatGen");
    int richtung = o.richtung;
    if (richtung == 0) richtung = std::clamp(RegZahlLesen(RegRoot::LocalMachine, basis, "Dictionary", 1, "Part"), 1, 2);

    const std::string text = Getrimmt(o.wort);
    if (text.empty()) return Fehler("das Suchwort ist leer");

    if (o.umkehr) {
        std::vector<std::string> zeilen;
        const Suchergebnis ergebnis = suche.FuelleGegenliste(zeilen, text, richtung);
        if (ergebnis.status != Suchstatus::Ok) return Fehler(xbase::Cp1252ToUtf8(suche.Meldungstext(ergebnis)));
        for (const std::string& z : zeilen) Ausgabe(z);
        return zeilen.empty() ? kNichts : kGefunden;
    }

    Trefferliste liste;
    const Suchergebnis ergebnis = suche.FuelleTrefferliste(liste, text, true, o.inkrementell, richtung);
    if (ergebnis.status != Suchstatus::Ok) return Fehler(xbase::Cp1252ToUtf8(suche.Meldungstext(ergebnis)));
    for (std::size_t i = 0; i < liste.Anzahl(); ++i) Ausgabe(liste.Text(i));
    const std::string zahl = suche.ZeigeTrefferzahl(liste.Trefferzahl, liste.Zeilenzahl);
    if (!zahl.empty()) Ausgabe(zahl);
    if (o.korrigiert) Ausgabe("Suchfeld: " + (ergebnis.korrigiert ? ergebnis.suchfeld : text));
    return liste.Anzahl() > 0 ? kGefunden : kNichts;
}

}  // namespace

int main(int argc, char** argv) {
    Optionen o;
    const std::string fehler = LeseOptionen(argc, argv, o);
    if (fehler == "hilfe") {
        std::fputs(kAufruf, stdout);
        return kGefunden;
    }
    if (!fehler.empty()) {
        Fehler(fehler);
        std::fputs(kAufruf, stderr);
        return kFehler;
    }
    try {
        if (o.schluessel) {
            const std::string k = zanit::Suchschluessel(o.wort, *o.sprache);
            Ausgabe(k);
            return k.empty() ? kNichts : kGefunden;
        }
        return Suche(o);
    } catch (const std::exception& e) {
        return Fehler(e.what());
    }
}
