#include "sound/Tonausgabe.h"

#include <algorithm>
#include <string>

#include "data/Datendialog.h"
#include "search/Suchbegriff.h"
#include "xbase/Table.h"

namespace zanit {

namespace {

// Trimming as the keys are stored: blanks and control characters at both ends.
std::string_view Getrimmt(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return s;
}

constexpr std::size_t kWortlaenge = 100;
constexpr int kFehlerpauseMs = 250;

}  // namespace

void SucheTonnummern(Tonliste& liste, std::string_view text, xbase::Table& tabelle, bool offen, int wortart,
                     int wortgrenze, char trenner, char trenner2, int seite, std::string_view sprache) {
    const int grenze = std::clamp(wortgrenze, 0, kTonSlots);
    std::fill(liste.begin(), liste.begin() + grenze, 0);
    if (!offen || grenze == 0) return;
    const std::string s = seite == 1 ? "1" : "2";
    const std::string feldW = "W" + s, feldWI = "WI" + s, feldWW = "WW" + s;

    std::string rest(text);
    std::replace(rest.begin(), rest.end(), trenner2, trenner);
    std::size_t gespeichert = 0;
    std::int32_t letzte = 0;
    try {
        tabelle.SetOrder(tabelle.TagArea("IWI" + s));
        xbase::Field w = tabelle.FieldByName(feldW), wi = tabelle.FieldByName(feldWI),
                     ww = tabelle.FieldByName(feldWW), wa = tabelle.FieldByName("WA");
        bool letztesWort = false;
        for (int n = 0; n < grenze && !letztesWort; ++n) {
            std::string wort;
            const std::size_t p = rest.find(trenner);
            if (p == std::string::npos) {
                wort = rest;
                letztesWort = true;
            } else {
                wort = rest.substr(0, p);
                rest.erase(0, p + 1);
            }
            if (wort.size() > kWortlaenge) wort.resize(kWortlaenge);

            const std::string key = Suchschluessel(wort, sprache);
            const std::string form = MachVergleichsform(wort, wortart);
            if (!tabelle.Seek(key)) continue;
            bool fertig = false;
            while (!fertig && !tabelle.Eof() && Getrimmt(wi.AsString()) == key) {
                if (MachVergleichsform(Getrimmt(w.AsString()), wortart) == form) {
                    long long nummer = ww.AsInteger();
                    // A record of the same key with the hit's part of speech gives the number.
                    while (!tabelle.Eof() && wa.AsInteger() != wortart && Getrimmt(wi.AsString()) == key)
                        tabelle.Next();
                    if (!tabelle.Eof() && Getrimmt(wi.AsString()) == key) nummer = ww.AsInteger();
                    if (nummer > 0 && nummer <= INT32_MAX && nummer != letzte && gespeichert < liste.size()) {
                        letzte = static_cast<std::int32_t>(nummer);
                        liste[gespeichert++] = letzte;
                        fertig = true;
                    }
                }
                if (!tabelle.Eof()) tabelle.Next();
            }
        }
    } catch (const xbase::TableError&) {
        // A table that fails keeps the numbers found so far.
    }
}

TTonausgabe::TTonausgabe(TDatendialog& daten, Wellenausgabe& ausgabe, Zeitgeber& fehlerTimer)
    : daten_(daten), ausgabe_(ausgabe), fehlerTimer_(fehlerTimer) {
    TonGeraet = ausgabe_.GeraetVorhanden();
    ausgabe_.SetzeEmpfaenger(this);
}

TTonausgabe::~TTonausgabe() {
    fehlerTimer_.Stoppe();
    ausgabe_.SetzeEmpfaenger(nullptr);
}

void TTonausgabe::SucheTonnummern(std::string_view text, int wortart, int seite, bool offen,
                                  std::string_view sprache) {
    zanit::SucheTonnummern(Tonnummern, text, daten_.BuchDatei, offen, wortart, kTonSlots, ',', ';', seite, sprache);
}

Sprechmeldung TTonausgabe::SprichEintrag(int seite, const Sprechauftrag& auftrag) {
    if (seite != 1) seite = 2;
    xbase::Table& tabelle = seite == 1 ? daten_.WaveTableMuttersprache : daten_.WaveTableFremdsprache;
    const bool offen = seite == 1 ? daten_.TonMuttersprache : daten_.TonFremdsprache;
    if (!offen || !tabelle.Active()) return Sprechmeldung::Keine;
    if (auftrag.zeilen == 0) return Sprechmeldung::KeineEintraege;
    if (auftrag.markiert < 0) return Sprechmeldung::NichtsMarkiert;

    // Only the left and the right column count.
    std::string_view zeile = auftrag.zeile;
    const std::size_t erster = zeile.find('|');
    if (erster != std::string_view::npos) {
        const std::size_t zweiter = zeile.find('|', erster + 1);
        if (zweiter != std::string_view::npos) zeile = zeile.substr(0, zweiter);
    }
    std::string_view text;
    if (seite == auftrag.suchrichtung)
        text = zeile.substr(0, erster);
    else if (erster != std::string_view::npos)
        text = zeile.substr(erster + 1);

    // Each side's words are folded with the rules of their own language, as the stored keys were.
    SucheTonnummern(text, auftrag.wortart, seite, auftrag.woerterbuchOffen, seite == 1 ? auftrag.textM : auftrag.textF);
    SpieleTonliste(&tabelle, kTonSlots);
    return Sprechmeldung::Keine;
}

bool TTonausgabe::SpieleTonliste(xbase::Table* tabelle, int slots) {
    daten_.SetzeWartecursor(true);
    bool ergebnis = false;
    // Whatever plays ends here, and nothing that it may still report reaches the new sequence: its events
    // carry the number of the old recording, and the error pause of the old sequence ends too.
    ++aufnahme_;
    ausgabe_.Stoppe();
    fehlerTimer_.Stoppe();
    Fehlerpause = false;
    Spielposition = 0;
    tabelle_ = tabelle;
    if (TonGeraet && tabelle_ && Tonnummern[0] > 0) {
        const int n = std::clamp(slots, 0, kTonSlots);
        auto ende = std::stable_partition(Tonnummern.begin(), Tonnummern.begin() + n,
                                          [](std::int32_t v) { return v > 0; });
        std::fill(ende, Tonnummern.begin() + n, 0);
        Listenlaenge = static_cast<int>(ende - Tonnummern.begin());
        if (Suche(Tonnummern[0])) {
            Spielposition = 1;
            ergebnis = true;
            SpieleAktuelle();
        }
    }
    daten_.SetzeWartecursor(false);
    return ergebnis;
}

void TTonausgabe::Anhalten() {
    ++aufnahme_;
    fehlerTimer_.Stoppe();
    Fehlerpause = false;
    Spielposition = 0;
    tabelle_ = nullptr;
    ausgabe_.Stoppe();
}

bool TTonausgabe::Suche(std::int32_t nummer) {
    if (!tabelle_) return false;
    try {
        return tabelle_->Seek(std::to_string(nummer));
    } catch (const xbase::TableError&) {
        return false;
    }
}

// Plays the recording of the current record. A recording that cannot be read or decoded is passed over like
// one missing from the table; an output that cannot start ends the sequence.
bool TTonausgabe::SpieleAktuelle() {
    PcmAudio audio;
    try {
        audio = DekodiereWave(tabelle_->FieldByName("WAVE").AsString());
    } catch (const std::exception&) {
        Weiter();
        return false;
    }
    ++aufnahme_;
    try {
        ausgabe_.Starte(audio, aufnahme_);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void TTonausgabe::Weiter() {
    if (Spielposition == 0 || Fehlerpause) return;
    ++Spielposition;
    while (Spielposition <= Listenlaenge && Tonnummern[static_cast<std::size_t>(Spielposition - 1)] > 0) {
        if (Suche(Tonnummern[static_cast<std::size_t>(Spielposition - 1)])) {
            SpieleAktuelle();
            return;
        }
        ++Spielposition;
    }
}

void TTonausgabe::WaveOutStop(unsigned aufnahme) {
    if (aufnahme != aufnahme_) return;
    ausgabe_.Schliesse();
}

void TTonausgabe::WaveOutClose(unsigned aufnahme) {
    if (aufnahme != aufnahme_) return;
    Weiter();
}

void TTonausgabe::WaveOutError(unsigned aufnahme) {
    if (aufnahme != aufnahme_) return;
    Fehlerpause = true;
    ausgabe_.Zuruecksetzen();
    fehlerTimer_.Starte(kFehlerpauseMs, [this] { FehlerTimerTimer(); });
}

void TTonausgabe::FehlerTimerTimer() {
    fehlerTimer_.Stoppe();
    Fehlerpause = false;
    Weiter();
}

}  // namespace zanit
