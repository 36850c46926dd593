#include "trainer/Uebertragung.h"

#include <algorithm>
#include <limits>
#include <set>

#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "trainer/Dateiersatz.h"

namespace zanit {

namespace {

// All fields of one record as text, to carry a lesson over when the lesson table is written anew.
struct Satz {
    long long nr = 0;
    std::vector<std::string> werte;
};

std::vector<Satz> LeseSaetze(xbase::Table& t) {
    std::vector<Satz> saetze;
    const auto& felder = t.Fields();
    for (t.First(); !t.Eof(); t.Skip(1)) {
        Satz s;
        s.nr = t.FieldByName("NR").AsInteger();
        for (const auto& f : felder) s.werte.push_back(t.FieldByName(f.name).AsString());
        saetze.push_back(std::move(s));
    }
    return saetze;
}

void SchreibeSatz(xbase::Table& t, const Satz& s) {
    const auto& felder = t.Fields();
    for (std::size_t i = 0; i < felder.size() && i < s.werte.size(); ++i)
        t.FieldByName(felder[i].name).SetAsString(s.werte[i]);
}

// Counters wrap as the trainer's 32-bit integers do, without signed overflow.
std::int32_t Plus1(std::int32_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) + 1u); }

std::string Kastenfeld(int k) { return "KASTEN" + std::to_string(k + 1); }

// Writes the lesson table anew from the lesson list, in list order. A lesson the table already holds keeps
// its other fields and its box counts as they are on disk now (the trainer may have counted since the
// collection was read); lessons of the table that the list does not show are kept after them.
void SchreibeLektionenNeu(xbase::Table& t, const TSammlung& s) {
    const std::vector<Satz> alt = LeseSaetze(t);
    t.Zap();
    std::set<long long> geschrieben;
    for (const auto& [nr, name] : s.liste) {
        const auto a = std::find_if(alt.begin(), alt.end(), [nr = nr](const Satz& x) { return x.nr == nr; });
        t.AppendBlank();
        if (a != alt.end()) SchreibeSatz(t, *a);
        t.FieldByName("NR").SetAsInteger(nr);
        t.FieldByName("NAME").SetAsString(name);
        if (a == alt.end()) {
            const TLektion& slot = s.plaetze[static_cast<std::size_t>(nr)];
            for (int k = 0; k < 7; ++k) t.FieldByName(Kastenfeld(k)).SetAsInteger(slot.kasten[k]);
        }
        t.Post();
        geschrieben.insert(nr);
    }
    for (const Satz& a : alt) {
        if (geschrieben.count(a.nr)) continue;
        t.AppendBlank();
        SchreibeSatz(t, a);
        t.Post();
    }
}

// Adds one card to box 1 of the lesson; false when the table has no such lesson.
bool ZaehleInKasten1(xbase::Table& t, int lektion) {
    const int order = t.TagArea("INR");
    bool gefunden = false;
    if (order > 0) {
        t.SetOrder(order);
        gefunden = t.Seek(std::to_string(lektion)) && !t.Eof() && t.FieldByName("NR").AsInteger() == lektion;
    } else {
        for (t.First(); !t.Eof() && !gefunden; ) {
            if (t.FieldByName("NR").AsInteger() == lektion) gefunden = true;
            else t.Skip(1);
        }
    }
    if (!gefunden) return false;
    t.Edit();
    auto feld = t.FieldByName("KASTEN1");
    feld.SetAsInteger(feld.AsInteger() + 1);
    t.Post();
    return true;
}

void Schliessen(xbase::Table& t) {
    try {
        t.Close();
    } catch (const std::exception&) {
        // Nothing is pending when a transfer ends; a failing close changes nothing on disk.
    }
}

}  // namespace

void TSammlung::Leeren() {
    gueltig = false;
    lektionstabelle = false;
    kopf = geladen = TSammlungskopf{};
    for (TLektion& l : plaetze) l = TLektion{};
    liste.clear();
    hinzugefuegt.clear();
}

void TSammlung::Waehlen(const std::string& sammlungsordner, const std::string& d) {
    Leeren();
    ordner = sammlungsordner;
    datei = d;
    // Names from the index and the header name files; one that would reach outside the folder is refused.
    if (!SichererDateiname(datei.substr(0, 8))) return;
    const auto k = LeseKopf(Kopfpfad());
    if (!k || !k->SignaturOk() || !SichererDateiname(k->Basisname())) return;
    gueltig = true;
    kopf = geladen = *k;
    if (!LadeLektionen(ordner, Lektionstabellenname(kopf.Basisname()), plaetze)) return;
    lektionstabelle = true;
    liste = Lektionsliste(plaetze, kopf.Lektionszahl());
}

int TSammlung::NeueLektion(std::string_view name) {
    if (!lektionstabelle) return 0;
    const int nr = FuegeLektionHinzu(kopf, plaetze, name);
    if (nr == 0) return 0;
    liste.emplace_back(nr, plaetze[static_cast<std::size_t>(nr)].name);
    hinzugefuegt.push_back(nr);
    return nr;
}

std::string TSammlung::Kopfpfad() const { return Kopfdatei(ordner, datei); }

std::string TSammlung::Schreibkopfpfad() const { return Ordnerdatei(ordner, kopf.Basisname() + ".lvh"); }

TVokabel MachVokabel(std::string s1, std::string s2, std::string_view textM, std::string_view textF, int art,
                     const std::array<std::int32_t, 5>& ton) {
    TVokabel v;
    v.si1 = MachSuchbegriff(s1, textM);
    v.si2 = MachSuchbegriff(s2, textF);
    v.s1 = std::move(s1);
    v.s2 = std::move(s2);
    v.art = art;
    v.ton = ton;
    return v;
}

std::pair<std::string, std::string> ZerlegeTrefferzeile(std::string_view zeile, int richtung) {
    // The text before the first "|" (empty when there is none), and the rest after it (all when none).
    auto teile = [](std::string_view t) -> std::pair<std::string_view, std::string_view> {
        const std::size_t p = t.find('|');
        if (p == std::string_view::npos) return {std::string_view{}, t};
        return {t.substr(0, p), t.substr(p + 1)};
    };
    const auto [quelle, rest] = teile(zeile);
    const std::string restGetrimmt = Getrimmt(rest);
    const std::string uebersetzung = Getrimmt(teile(restGetrimmt).first);
    std::string q = Getrimmt(quelle);
    if (richtung == 2) return {uebersetzung, q};
    return {q, uebersetzung};
}

TVokabelziel::TVokabelziel(TSammlung& sammlung) : s_(sammlung) {}

TVokabelziel::~TVokabelziel() {
    Schliessen(vokabeln_);
    Schliessen(lektionen_);
}

TUebernahmeStatus TVokabelziel::Oeffnen() {
    fehler_.clear();
    const std::string ordner = Dateisystempfad(s_.ordner);
    vokabeln_.SetFolder(ordner);
    vokabeln_.SetFileName(Dateisystempfad(Vokabeltabellenname(s_.kopf.Basisname())));
    vokabeln_.SetExclusive(true);
    vokabeln_.SetReadOnly(false);
    // The lesson table is replaced, never written in place: holding it exclusively keeps the trainer out
    // while the new one is prepared, and a read-only open never writes to the file that is replaced.
    lektionen_.SetFolder(ordner);
    lektionen_.SetFileName(Dateisystempfad(Lektionstabellenname(s_.kopf.Basisname()) + ".dbf"));
    lektionen_.SetExclusive(true);
    lektionen_.SetReadOnly(true);
    try {
        lektionen_.Open();  // read-only: a refusal after it has written nothing
        vokabeln_.Open();
    } catch (const xbase::TableError& e) {
        fehler_ = e.what();
        Schliessen(vokabeln_);
        Schliessen(lektionen_);
        return TUebernahmeStatus::Belegt;
    }
    if (s_.kopf.NaechsteNummer() < 1) {
        Schliessen(vokabeln_);
        Schliessen(lektionen_);
        return TUebernahmeStatus::Veraltet;
    }
    return TUebernahmeStatus::Bereit;
}

TUebernahmeStatus TVokabelziel::Speichern(int lektion, const TVokabel& v) {
    fehler_.clear();
    if (!vokabeln_.Active() || !lektionen_.Active()) {
        fehler_ = "the collection is not open";
        return TUebernahmeStatus::NichtGespeichert;
    }
    const std::string ordner = Dateisystempfad(s_.ordner);
    EntferneReste(ordner);

    // The header as it is on disk now, with this showing's lessons, unless the trainer left it as read.
    TSammlungskopf basis = s_.kopf;
    if (const auto disk = LeseKopf(s_.Kopfpfad()); disk && disk->SignaturOk() && !(*disk == s_.geladen)) {
        basis = *disk;
        for (int n : s_.hinzugefuegt) {
            basis.SetzeLektionszahl(Plus1(basis.Lektionszahl()));
            basis.SetzeLektionsflag(n, true);
        }
    }
    if (basis.NaechsteNummer() < 1) return TUebernahmeStatus::Veraltet;

    std::unique_ptr<TErsatzdatei> kopfErsatz;
    std::unique_ptr<TErsatzordner> lektionsErsatz;
    const std::string lektionsdatei = Lektionstabellenname(basis.Basisname()) + ".dbf";
    TSammlungskopf neu = basis;
    try {
        // The number of the new entry: the header's, unless the table already holds it or a higher one (a
        // header that was not written after an entry was stored).
        long long nr = basis.NaechsteNummer();
        auto nrFeld = vokabeln_.FieldByName("NR");
        for (vokabeln_.First(); !vokabeln_.Eof(); vokabeln_.Skip(1))
            nr = std::max(nr, std::min<long long>(nrFeld.AsInteger(), std::numeric_limits<std::int32_t>::max()) + 1);
        if (nr >= std::numeric_limits<std::int32_t>::max()) throw std::runtime_error("no entry number left");
        neu.SetzeNaechsteNummer(static_cast<std::int32_t>(nr + 1));
        neu.SetzeZaehlerA(Plus1(basis.ZaehlerA()));
        neu.SetzeZaehlerB(Plus1(basis.ZaehlerB()));
        neu.SetzeAenderungsdatum(HeutigesKopfdatum());

        kopfErsatz = std::make_unique<TErsatzdatei>(s_.Schreibkopfpfad());
        kopfErsatz->Schreiben(std::string_view(reinterpret_cast<const char*>(neu.Bytes().data()), neu.Bytes().size()));

        lektionsErsatz = std::make_unique<TErsatzordner>(ordner);
        for (const std::string& name : Tabellendateien(ordner, lektionsdatei)) lektionsErsatz->Kopieren(name);
        xbase::Table t;
        t.SetFolder(lektionsErsatz->Pfad());
        t.SetFileName(lektionsdatei);
        t.SetExclusive(true);
        t.SetSyncOnPost(false);  // the whole table is synced before it is put in place
        t.Open();
        if (!s_.hinzugefuegt.empty()) SchreibeLektionenNeu(t, s_);
        ZaehleInKasten1(t, lektion);
        t.Close();

        vokabeln_.AppendBlank();
        vokabeln_.FieldByName("NR").SetAsInteger(nr);
        vokabeln_.FieldByName("S1").SetAsString(v.s1);
        vokabeln_.FieldByName("S2").SetAsString(v.s2);
        vokabeln_.FieldByName("SI1").SetAsString(v.si1);
        vokabeln_.FieldByName("SI2").SetAsString(v.si2);
        vokabeln_.FieldByName("KAR").SetAsInteger(1);
        vokabeln_.FieldByName("LEK").SetAsInteger(lektion);
        vokabeln_.FieldByName("ART").SetAsInteger(v.art);
        vokabeln_.FieldByName("KAT").SetAsInteger(0);
        for (int i = 0; i < 5; ++i) vokabeln_.FieldByName("WF" + std::to_string(i + 1)).SetAsInteger(v.ton[i]);
        vokabeln_.Post();
    } catch (const std::exception& e) {
        try {
            vokabeln_.Cancel();
        } catch (const std::exception&) {
        }
        fehler_ = e.what();
        return TUebernahmeStatus::NichtGespeichert;
    }

    // The entry is stored. From here on a failure leaves the entry without its counts; the next transfer
    // still gives a unique number and writes the lessons again.
    s_.kopf = neu;
    try {
        lektionsErsatz->Einsetzen(Tabellendateien(lektionsErsatz->Pfad(), lektionsdatei));
        s_.hinzugefuegt.clear();
        TLektion& slot = s_.plaetze[static_cast<std::size_t>(std::clamp(lektion, 0, kMaxLektionen))];
        if (slot.nr == lektion) slot.kasten[0] += 1;
        kopfErsatz->Einsetzen();
        s_.geladen = neu;
    } catch (const std::exception& e) {
        fehler_ = e.what();
        return TUebernahmeStatus::Unvollstaendig;
    }
    return TUebernahmeStatus::Gespeichert;
}

}  // namespace zanit
