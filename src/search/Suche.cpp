#include "search/Suche.h"

#include <algorithm>
#include <bit>
#include <charconv>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

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
    const std::size_t n = liste.size();
    // A whole item begins at the start or after ", " and ends at the end or before ",": only those few
    // places are compared, not every place where the text occurs.
    const auto ganz = [&](std::size_t p) {
        const std::size_t e = p + t.size();
        return e <= n && (e == n || liste[e] == ',') && liste[p] == t[0] && liste.compare(p, t.size(), t) == 0;
    };
    if (ganz(0)) return {};
    std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    // The ", " of the list sixteen places at a time.
    const __m128i komma = _mm_set1_epi8(','), leer = _mm_set1_epi8(' ');
    for (; i + 17 <= n; i += 16) {
        const __m128i hier = _mm_loadu_si128(reinterpret_cast<const __m128i*>(liste.data() + i));
        const __m128i danach = _mm_loadu_si128(reinterpret_cast<const __m128i*>(liste.data() + i + 1));
        auto treffer = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(hier, komma), _mm_cmpeq_epi8(danach, leer))));
        for (; treffer != 0; treffer &= treffer - 1)
            if (ganz(i + static_cast<std::size_t>(std::countr_zero(treffer)) + 2)) return {};
    }
#endif
    for (; i + 1 < n; ++i)
        if (liste[i] == ',' && liste[i + 1] == ' ' && ganz(i + 2)) return {};
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

void TSuche::GruppeBeginnen(std::string_view wort, int code) {
    gruppenwort_.clear();
    gruppenwort_.append(wort);
    gruppencode_ = code;
    zeile_.clear();
    zeile_.append(BereinigeEintrag(wort, LatGen, zeilenwort_, AlsSicht{}));
    zeile_ += '|';
    uebersetzungsanfang_ = zeile_.size();
}

void TSuche::UebersetzungAnfuegen(std::string_view uebersetzung) {
    if (zeile_.size() == uebersetzungsanfang_) {
        zeile_.append(uebersetzung);
    } else if (!OhneDoppelte(uebersetzung, std::string_view(zeile_).substr(uebersetzungsanfang_)).empty()) {
        // An empty translation adds nothing, not even a separator.
        zeile_ += ", ";
        zeile_.append(uebersetzung);
    }
}

void TSuche::ZeileAbschliessen(Trefferliste& liste) {
    if (zeile_.size() == uebersetzungsanfang_) return;  // no translation: the group makes no line
    zeile_ += '|';
    zeile_ += Wortartname(gruppencode_);
    // The finished line moves into the list; the buffer takes over the storage of the line it replaces.
    liste.NeueZeile(gruppencode_).swap(zeile_);
    zeile_.clear();
    uebersetzungsanfang_ = 0;
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
        ZeileAbschliessen(liste);
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
    GruppeBeginnen({}, 0);  // a first record of an empty word and code 0 belongs to this group

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
    const xbase::Field felder[] = {wortart, quellwort, zielwort};
    std::string_view texte[std::size(felder)];
    std::size_t pos = 0;
    std::string_view hier;  // walking the tag: the key of the record the table stands on
    auto suche = [&] {
        if (!nurCode) {
            tabelle.Seek(schluessel_);
            hier = tabelle.OrderKey();
        } else if ((pos = nurCode->Erster(schluessel_)) < nurCode->Anzahl()) {
            tabelle.Go(nurCode->Satz(pos));
        }
    };
    auto amEnde = [&] { return nurCode ? pos >= nurCode->Anzahl() : tabelle.Eof(); };
    auto schluessel = [&] { return nurCode ? nurCode->Schluessel(pos) : hier; };
    auto weiter = [&] {
        if (!nurCode) hier = tabelle.NextKey();
        else if (++pos < nurCode->Anzahl()) tabelle.Go(nurCode->Satz(pos));
    };
    suche();
    for (;;) {
        if (inkrementell) {
            if (NachrichtenVerarbeiten) NachrichtenVerarbeiten();
            if (Abbruch) break;
            if (!nurCode) hier = tabelle.OrderKey();  // anew: the key is not held across the messages
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
        // A kept record gives its three fields with one look-up; another is read field by field.
        const bool behalten = tabelle.ReadKeptViews(felder, texte);
        int code = Wortartfilter;
        if (!nurCode) code = static_cast<int>(behalten ? xbase::KeptInteger(texte[0]) : wortart.AsInteger());
        if (Wortartfilter == 0 || Wortartfilter == code) {
            ++liste.Trefferzahl;
            const std::string_view wort = behalten ? texte[1] : quellwort.ReadView(wort_);
            if (code != gruppencode_ || wort != gruppenwort_) {
                ZeileAbschliessen(liste);
                GruppeBeginnen(wort, code);
            }
            UebersetzungAnfuegen(Gereinigt(behalten ? texte[2] : zielwort.ReadView(roh_)));
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
