#include "search/Suche.h"

#include <algorithm>
#include <charconv>

#include "base/Katalog.h"
#include "data/Datendialog.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "xbase/Table.h"

namespace zanit {

namespace {

// Field and tag names are a stem and the language number.
constexpr const char* kW[] = {"W1", "W2"};
constexpr const char* kWI[] = {"WI1", "WI2"};
constexpr const char* kIWI[] = {"IWI1", "IWI2"};

// Index 0 for language 1, 1 for language 2.
int Quelle(int richtung) { return richtung == 2 ? 1 : 0; }
int Ziel(int richtung) { return richtung == 2 ? 0 : 1; }

bool BeginntMit(std::string_view text, std::string_view anfang) {
    return text.size() >= anfang.size() && text.compare(0, anfang.size(), anfang) == 0;
}

// Ä Ö Ü ß ä ö ü: two key characters each; their base letters.
char Grundbuchstabe(unsigned char c) {
    switch (c) {
        case 0xC4: return 'A';
        case 0xD6: return 'O';
        case 0xDC: return 'U';
        case 0xDF: return 's';
        case 0xE4: return 'a';
        case 0xF6: return 'o';
        case 0xFC: return 'u';
        default: return 0;
    }
}

// Characters the folding deletes (and blanks): a beginning of the text ending in one adds nothing to its key.
bool FaelltWeg(unsigned char c) {
    if (c <= 32) return true;
    switch (c) {
        case ',': case ';': case '.': case '-': case '!': case 161: case '?': case 191:
        case '/': case '\'': case '`': case 145: case 146: case 180:
            return true;
        default:
            return false;
    }
}

// Counting rule: every character is one key character, the seven above two.
std::string NachZeichenzahl(std::string_view text, std::size_t schluessellaenge) {
    std::string s(text);
    std::size_t i = 0, n = 0;
    while (i + n < schluessellaenge && i < s.size()) {
        ++i;
        const char basis = Grundbuchstabe(static_cast<unsigned char>(s[i - 1]));
        if (basis == 0) continue;
        if (i + n < schluessellaenge) {
            ++n;
        } else {
            s[i - 1] = basis;
        }
    }
    s.resize(std::min(s.size(), schluessellaenge - n));
    return s;
}

// Longest beginning of the search text whose key is tried: the key holds at most 20 characters, so a
// beginning that maps onto a shortened key lies near the start of any text.
constexpr std::size_t kLaengsteAbbildung = 120;

std::string Zahl(int wert) {
    char puffer[16];
    const auto ende = std::to_chars(puffer, puffer + sizeof puffer, wert).ptr;
    return std::string(puffer, ende);
}

}  // namespace

std::string_view OhneDoppelte(std::string_view t, std::string_view liste) {
    if (t.empty()) return t;
    for (std::size_t p = liste.find(t); p != std::string_view::npos; p = liste.find(t, p + 1)) {
        const bool anfang = p == 0 || (p >= 2 && liste.compare(p - 2, 2, ", ") == 0);
        const std::size_t e = p + t.size();
        const bool ende = e == liste.size() || liste[e] == ',';
        if (anfang && ende) return {};
    }
    return t;
}

std::string KorrigiereSuchfeld(std::string_view text, std::string_view kurz, std::string_view sprache) {
    if (!kurz.empty()) {
        // The longest beginning of the text that yields exactly the shortened key; one that ends in a
        // character the folding drops only when nothing else fits.
        std::size_t bester = 0, notfalls = 0;
        std::size_t ueberschiesst = 0;  // first beginning whose key runs past the shortened key
        const std::size_t laengste = std::min(text.size(), kLaengsteAbbildung);
        for (std::size_t l = 1; l <= laengste; ++l) {
            const std::string k = Suchschluessel(text.substr(0, l), sprache);
            if (k == kurz) {
                notfalls = l;
                if (!FaelltWeg(static_cast<unsigned char>(text[l - 1]))) bester = l;
            } else if (ueberschiesst == 0 && k.size() > kurz.size() && BeginntMit(k, kurz) &&
                       BeginntMit(kurz, Suchschluessel(text.substr(0, l - 1), sprache))) {
                ueberschiesst = l;
            }
        }
        if (bester > 0) return std::string(text.substr(0, bester));
        if (notfalls > 0) return std::string(text.substr(0, notfalls));
        if (ueberschiesst > 0) {
            // An umlaut or "ß" of which the key keeps only the first letter: show that letter.
            const char basis = Grundbuchstabe(static_cast<unsigned char>(text[ueberschiesst - 1]));
            if (basis != 0) {
                std::string kandidat(text.substr(0, ueberschiesst - 1));
                kandidat += basis;
                if (Suchschluessel(kandidat, sprache) == kurz) return kandidat;
            }
        }
    }
    // The field must search what the list shows: the counted beginning only when its key is the shortened
    // key, else the key itself (its own key).
    std::string gezaehlt = NachZeichenzahl(text, kurz.size());
    if (Suchschluessel(gezaehlt, sprache) == kurz) return gezaehlt;
    return std::string(kurz);
}

TSuche::TSuche(TDatendialog& daten, const TWoerterbuecher& woerterbuecher)
    : daten_(daten), woerterbuecher_(woerterbuecher) {}

const std::string& TSuche::QuellspracheFuer(int richtung) const {
    return richtung == 2 ? woerterbuecher_.TextF : woerterbuecher_.TextM;
}

void TSuche::Sprachen(int richtung) {
    Quellsprache = QuellspracheFuer(richtung);
    Zielsprache = QuellspracheFuer(richtung == 2 ? 1 : 2);
}

std::string_view TSuche::Gereinigt(std::string_view roh) {
    return EntferneEckklammern(roh, LatGen, Klammerentfernung, uebersetzung_, AlsSicht{});
}

void TSuche::ZeileAnfuegen(Trefferliste& liste, int code) {
    std::string& zeile = liste.NeueZeile(code);
    zeile.append(BereinigeEintrag(gruppenwort_, LatGen, zeilenwort_, AlsSicht{}));
    zeile += '|';
    zeile += uebersetzungen_;
    zeile += '|';
    zeile += Wortartname(code);
    ++liste.Zeilenzahl;
}

Suchergebnis TSuche::FuelleTrefferliste(Trefferliste& liste, std::string_view text, bool korrigieren,
                                        bool inkrementell, int richtung) {
    Suchergebnis ergebnis;
    if (!inkrementell) daten_.SetzeWartecursor(true);
    Abbruch = false;
    liste.Leeren();
    liste.Trefferzahl = 0;
    liste.Zeilenzahl = 0;
    Sprachen(richtung);
    schluessel_ = Suchschluessel(text, Quellsprache);
    const std::size_t volleLaenge = schluessel_.size();  // the walk only ever shortens the key

    if (!woerterbuecher_.Offen || !daten_.BuchDatei.Active()) {
        ergebnis.status = Suchstatus::KeinWoerterbuch;
    } else if (!schluessel_.empty()) {
        // A text of blanks and punctuation only has an empty key, which would match every record.
        try {
            Durchlaufe(liste, inkrementell, richtung);
        } catch (const xbase::TableError& fehler) {
            ergebnis.status = Suchstatus::Tabellenfehler;
            ergebnis.fehler = fehler.what();
        }
        if (!uebersetzungen_.empty()) ZeileAnfuegen(liste, zeilencode_);
        if (korrigieren && liste.Trefferzahl > 0 && schluessel_.size() != volleLaenge) {
            ergebnis.korrigiert = true;
            ergebnis.suchfeld = KorrigiereSuchfeld(text, schluessel_, Quellsprache);
        }
    }
    daten_.SetzeWartecursor(false);
    return ergebnis;
}

void TSuche::Durchlaufe(Trefferliste& liste, bool inkrementell, int richtung) {
    xbase::Table& tabelle = daten_.BuchDatei;
    const int q = Quelle(richtung), z = Ziel(richtung);
    const int grenze = inkrementell ? kGrenzeInkrementell : kGrenzeVoll;
    gruppenwort_.clear();
    uebersetzungen_.clear();
    zeilencode_ = 0;

    // With a filter the walk runs through the register of that part of speech instead of the whole tag: the
    // same records in the same order, less those it would pass over.
    const int tag = tabelle.TagArea(kIWI[q]);
    const TWortartregister::Liste* nurCode = nullptr;
    if (Wortartfilter != 0) {
        if (registerWechsel_ != woerterbuecher_.Tabellenwechsel) {
            register_.Leeren();
            registerWechsel_ = woerterbuecher_.Tabellenwechsel;
        }
        // Every key the walk tries (also shortened) begins with the key's first character.
        nurCode = &register_.Fuer(tabelle, tag, Wortartfilter, schluessel_[0]);
    }
    tabelle.SetOrder(tag);
    const xbase::Field wortart = tabelle.FieldByName("WA");
    const xbase::Field quellwort = tabelle.FieldByName(kW[q]);
    const xbase::Field zielwort = tabelle.FieldByName(kW[z]);
    std::size_t pos = 0;
    auto suche = [&] {
        if (!nurCode) {
            tabelle.Seek(schluessel_);
        } else if ((pos = nurCode->Erster(schluessel_)) < nurCode->Anzahl()) {
            tabelle.Go(nurCode->Satz(pos));
        }
    };
    auto amEnde = [&] { return nurCode ? pos >= nurCode->Anzahl() : tabelle.Eof(); };
    auto schluessel = [&] { return nurCode ? nurCode->Schluessel(pos) : tabelle.OrderKey(); };
    auto weiter = [&] {
        if (!nurCode) tabelle.Next();
        else if (++pos < nurCode->Anzahl()) tabelle.Go(nurCode->Satz(pos));
    };
    int gruppencode = 0;
    suche();
    for (;;) {
        if (inkrementell) {
            if (NachrichtenVerarbeiten) NachrichtenVerarbeiten();
            if (Abbruch) break;
        }
        // After a missed seek the table stands at its end: nothing there begins with the key. The key
        // comes from the index entry (the tag is over WI<src>), so a record is read only when it matches.
        const bool passt = !amEnde() && BeginntMit(schluessel(), schluessel_);
        if (!passt) {
            if (!inkrementell && liste.Trefferzahl == 0 && schluessel_.size() >= 2) {
                schluessel_.pop_back();
                suche();
                continue;
            }
            break;
        }
        const int code = nurCode ? Wortartfilter : static_cast<int>(wortart.AsInteger());
        if (Wortartfilter == 0 || Wortartfilter == code) {
            ++liste.Trefferzahl;
            const std::string_view wort = quellwort.ReadView(wort_);
            if (wort != gruppenwort_ || code != gruppencode) {
                if (!uebersetzungen_.empty()) ZeileAnfuegen(liste, zeilencode_);
                gruppencode = code;
                gruppenwort_.assign(wort);
                uebersetzungen_.assign(Gereinigt(zielwort.ReadView(roh_)));
                zeilencode_ = code;
            } else if (!uebersetzungen_.empty()) {
                const std::string_view uebersetzung = Gereinigt(zielwort.ReadView(roh_));
                // An empty translation adds nothing, not even a separator.
                if (!OhneDoppelte(uebersetzung, uebersetzungen_).empty()) {
                    uebersetzungen_ += ", ";
                    uebersetzungen_ += uebersetzung;
                }
            } else {
                uebersetzungen_.assign(Gereinigt(zielwort.ReadView(roh_)));
                zeilencode_ = code;
            }
        }
        weiter();
        if (amEnde() || liste.Trefferzahl >= grenze) break;
    }
}

Suchergebnis TSuche::FuelleGegenliste(std::vector<std::string>& liste, std::string_view wort, int richtung) {
    Suchergebnis ergebnis;
    daten_.SetzeWartecursor(true);
    liste.clear();
    Sprachen(richtung);
    if (!woerterbuecher_.Offen || !daten_.BuchDatei.Active()) {
        ergebnis.status = Suchstatus::KeinWoerterbuch;
        daten_.SetzeWartecursor(false);
        return ergebnis;
    }
    const int q = Quelle(richtung), z = Ziel(richtung);
    xbase::Table& tabelle = daten_.BuchDatei;
    try {
        const xbase::Field quellschluessel = tabelle.FieldByName(kWI[q]);
        const xbase::Field zielschluessel = tabelle.FieldByName(kWI[z]);
        const xbase::Field quellwort = tabelle.FieldByName(kW[q]);
        const xbase::Field zielwort = tabelle.FieldByName(kW[z]);

        // Every translation of the word, once each, in index order.
        const std::string schluessel = Suchschluessel(wort, Quellsprache);
        std::vector<std::string> uebersetzungen;
        tabelle.SetOrder(tabelle.TagArea(kIWI[q]));
        if (tabelle.Seek(schluessel)) {
            for (; !tabelle.Eof(); tabelle.Next()) {
                if (BereinigeEintrag(quellschluessel.AsString(), LatGen) != schluessel) break;
                if (BereinigeEintrag(quellwort.AsString(), LatGen) != wort) continue;
                std::string t = zielwort.AsString();
                if (std::find(uebersetzungen.begin(), uebersetzungen.end(), t) == uebersetzungen.end()) {
                    uebersetzungen.push_back(std::move(t));
                }
            }
        }

        // For each translation, every word that it translates back to.
        tabelle.SetOrder(tabelle.TagArea(kIWI[z]));
        std::string rueck;
        for (const std::string& t : uebersetzungen) {
            const std::string k = Suchschluessel(t, Zielsprache);
            rueck.clear();
            if (tabelle.Seek(k)) {
                for (; !tabelle.Eof(); tabelle.Next()) {
                    if (zielschluessel.AsString() != k) break;
                    if (zielwort.AsString() != t) continue;
                    const std::string w = BereinigeEintrag(quellwort.AsString(), LatGen);
                    if (w.empty() || OhneDoppelte(w, rueck).empty()) continue;
                    if (!rueck.empty()) rueck += ", ";
                    rueck += w;
                }
            }
            if (!rueck.empty()) liste.push_back(BereinigeEintrag(t, LatGen) + "|" + rueck);
        }
    } catch (const xbase::TableError& fehler) {
        ergebnis.status = Suchstatus::Tabellenfehler;
        ergebnis.fehler = fehler.what();
    }
    daten_.SetzeWartecursor(false);
    return ergebnis;
}

std::string TSuche::ZeigeTrefferzahl(int treffer, int zeilen) const {
    if (treffer <= 0 && Wortartfilter == 0) return {};
    const std::string wort = zeilen == 1 ? KatalogText(30050, "Zeile") : KatalogText(30051, "Zeilen");
    return KatalogTextMitArgumenten(30052, "&# Treffer in &# &#", Zahl(treffer), Zahl(zeilen), wort);
}

std::string TSuche::Meldungstext(const Suchergebnis& ergebnis) const {
    switch (ergebnis.status) {
        case Suchstatus::KeinWoerterbuch:
            return KatalogTextMitArgumenten(30120, "Das Wörterbuch &§&#&§ ist zurzeit nicht verfügbar. Legen Sie den Datenträger ein, auf dem es liegt, und öffnen Sie das Wörterbuch erneut.", woerterbuecher_.TextF);
        case Suchstatus::Tabellenfehler:
            return KatalogTextMitArgumenten(30121, "Das Wörterbuch konnte nicht gelesen werden: &#",
                                            ergebnis.fehler);
        case Suchstatus::Ok:
            break;
    }
    return {};
}

}  // namespace zanit
