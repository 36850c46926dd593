#include "search/Woerterbuchbau.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "search/Suchbegriff.h"
#include "xbase/Replace.h"

namespace zanit {

std::vector<xbase::FieldDef> WoerterbuchFelder(int textLaenge) {
    const int key = static_cast<int>(kSuchbegriffLaenge);
    return {
        {"W1", 'C', textLaenge, 0, false},  {"W2", 'C', textLaenge, 0, false}, {"WI1", 'C', key, 0, false},
        {"WI2", 'C', key, 0, false},        {"WA", 'N', 11, 0, false},         {"WW1", 'N', 11, 0, false},
        {"WW2", 'N', 11, 0, false},
    };
}

std::vector<xbase::TagDef> WoerterbuchTags() { return {{"IWI1", "WI1"}, {"IWI2", "WI2"}}; }

int PassendeTextlaenge(const std::vector<Woerterbucheintrag>& eintraege) {
    std::size_t longest = 1;
    for (const Woerterbucheintrag& e : eintraege) longest = std::max({longest, e.W1.size(), e.W2.size()});
    return static_cast<int>(std::min<std::size_t>(longest, kTextfeldLaengeMax));
}

namespace {

// What a C field keeps of a text: at most `width` characters, without trailing blanks.
std::string_view Stored(std::string_view text, std::size_t width, bool& cut) {
    cut = text.size() > width;
    if (cut) text = text.substr(0, width);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool FitsSoundNumber(long long n) {
    return n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max();
}

namespace fs = std::filesystem;

// Key bytes as the IWI1 tag orders them: blank-padded to the key width.
int VergleicheSchluessel(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (const int r = n ? std::memcmp(a.data(), b.data(), n) : 0) return r;
    const std::string_view rest = a.size() > n ? a.substr(n) : b.substr(n);
    for (const char c : rest) {
        if (c != ' ') {
            const int r = static_cast<unsigned char>(c) < static_cast<unsigned char>(' ') ? -1 : 1;
            return a.size() > n ? r : -r;
        }
    }
    return 0;
}

}  // namespace

struct TWoerterbuchbau::Impl {
    xbase::Table table;
    fs::path destination;  // the table file as the caller named it
    // The working folder beside the destination, on its file system; the table is built there under the
    // same file name and switched in with its index as one step.
    std::unique_ptr<xbase::TableReplacement> ersatz;
    std::string passwort;
    std::string textM, textF;
    std::size_t width = 0;  // what texts are cut to while they are collected
    bool passend = false;   // the table's width is the longest text, decided at the end
    std::size_t longest = 1;
    std::size_t count = 0, cut = 0;
    bool open = false;

    // The records wait here until Abschliessen writes them in the order of WI1, so that a walk in the
    // common direction reads the table file front to back. A record's texts lie one after the other in one
    // block of `texte`; blocks are allocated whole, so that collecting never copies what it has.
    static constexpr std::size_t kBlock = std::size_t{8} << 20;
    struct Satz {
        std::uint32_t block, at;
        std::uint8_t w1, w2;  // lengths; a text is at most 254 bytes
        std::uint8_t wi1, wi2;
        std::int8_t wa;
        std::int32_t ww1, ww2;
    };
    std::vector<std::string> texte;
    std::vector<Satz> saetze;

    std::string_view Text(const Satz& s, int teil) const {
        const std::size_t laengen[4] = {s.w1, s.w2, s.wi1, s.wi2};
        std::size_t at = s.at;
        for (int i = 0; i < teil; ++i) at += laengen[i];
        return std::string_view(texte[s.block]).substr(at, laengen[teil]);
    }
    void Schreibe();
};

void TWoerterbuchbau::Impl::Schreibe() {
    // The first twelve key bytes (blank-padded, as the tag compares them) decide most comparisons in one
    // step; the rest of the key only where they are equal, then the order given, so that records of one key
    // keep it.
    struct Platz {
        std::uint64_t vorn;
        std::uint32_t mitte, satz;
    };
    std::vector<Platz> plaetze(saetze.size());
    for (std::size_t i = 0; i < plaetze.size(); ++i) {
        const std::string_view key = Text(saetze[i], 2);
        unsigned char kopf[12];
        std::memset(kopf, ' ', sizeof kopf);
        std::memcpy(kopf, key.data(), std::min(key.size(), sizeof kopf));
        std::uint64_t vorn = 0;
        std::uint32_t mitte = 0;
        for (int b = 0; b < 8; ++b) vorn = vorn << 8 | kopf[b];
        for (int b = 8; b < 12; ++b) mitte = mitte << 8 | kopf[b];
        plaetze[i] = {vorn, mitte, static_cast<std::uint32_t>(i)};
    }
    std::sort(plaetze.begin(), plaetze.end(), [this](const Platz& a, const Platz& b) {
        if (a.vorn != b.vorn) return a.vorn < b.vorn;
        if (a.mitte != b.mitte) return a.mitte < b.mitte;
        const std::string_view ka = Text(saetze[a.satz], 2), kb = Text(saetze[b.satz], 2);
        if (ka.size() > 12 || kb.size() > 12)
            if (const int r = VergleicheSchluessel(ka, kb)) return r < 0;
        return a.satz < b.satz;
    });
    std::vector<std::uint32_t> folge(plaetze.size());
    for (std::size_t i = 0; i < folge.size(); ++i) folge[i] = plaetze[i].satz;
    std::vector<Platz>().swap(plaetze);
    std::vector<xbase::Field> felder;
    for (const char* name : {"W1", "W2", "WI1", "WI2", "WA", "WW1", "WW2"}) felder.push_back(table.FieldByName(name));
    for (const std::uint32_t i : folge) {
        const Satz& s = saetze[i];
        table.AppendBlank();
        for (int teil = 0; teil < 4; ++teil) felder[static_cast<std::size_t>(teil)].SetAsString(Text(s, teil));
        felder[4].SetAsInteger(s.wa);
        felder[5].SetAsInteger(s.ww1);
        felder[6].SetAsInteger(s.ww2);
        table.Post();
    }
}

TWoerterbuchbau::TWoerterbuchbau(const std::string& pfad, std::string textM, std::string textF,
                                 WoerterbuchOptionen optionen)
    : impl_(std::make_unique<Impl>()) {
    if (!optionen.passendeBreite && (optionen.textLaenge < 1 || optionen.textLaenge > kTextfeldLaengeMax))
        throw std::invalid_argument("Textfeldbreite muss zwischen 1 und 254 liegen: " + std::to_string(optionen.textLaenge));
    impl_->textM = std::move(textM);
    impl_->textF = std::move(textF);
    impl_->passwort = std::move(optionen.passwort);
    impl_->passend = optionen.passendeBreite;
    impl_->width = static_cast<std::size_t>(impl_->passend ? kTextfeldLaengeMax : optionen.textLaenge);
    impl_->destination = fs::absolute(fs::path(pfad));
    const fs::path folder = impl_->destination.parent_path();
    if (impl_->destination.filename().empty() || !fs::is_directory(folder))
        throw xbase::IoError(pfad, "the folder of the table does not exist");
    impl_->ersatz = std::make_unique<xbase::TableReplacement>(impl_->destination.string());
    impl_->open = true;
}

TWoerterbuchbau::~TWoerterbuchbau() {
    try {
        impl_->table.Close();
    } catch (...) {
        // Nothing is published anyway; the working folder goes with the replacement.
    }
}

void TWoerterbuchbau::Hinzufuegen(const Woerterbucheintrag& e) {
    Impl& d = *impl_;
    if (!d.open) throw std::logic_error("Wörterbuch ist bereits abgeschlossen");
    if (e.WA < 0 || e.WA > kWortartMax) throw std::invalid_argument("Wortart außerhalb 0..11: " + std::to_string(e.WA));
    if (!FitsSoundNumber(e.WW1) || !FitsSoundNumber(e.WW2))
        throw std::invalid_argument("Tonnummer außerhalb des 32-Bit-Bereichs");
    bool cut1 = false, cut2 = false;
    const std::string_view w1 = Stored(e.W1, d.width, cut1);
    const std::string_view w2 = Stored(e.W2, d.width, cut2);
    // Keys longer than their field are cut as the field would cut them.
    const std::string wi1 = MachSuchbegriff(w1, d.textM).substr(0, kSuchbegriffLaenge);
    const std::string wi2 = MachSuchbegriff(w2, d.textF).substr(0, kSuchbegriffLaenge);
    const std::size_t size = w1.size() + w2.size() + wi1.size() + wi2.size();
    if (d.texte.empty() || d.texte.back().size() + size > Impl::kBlock) {
        d.texte.emplace_back();
        d.texte.back().reserve(Impl::kBlock);
    }
    std::string& block = d.texte.back();
    d.saetze.push_back({static_cast<std::uint32_t>(d.texte.size() - 1), static_cast<std::uint32_t>(block.size()),
                        static_cast<std::uint8_t>(w1.size()), static_cast<std::uint8_t>(w2.size()),
                        static_cast<std::uint8_t>(wi1.size()), static_cast<std::uint8_t>(wi2.size()),
                        static_cast<std::int8_t>(e.WA), static_cast<std::int32_t>(e.WW1),
                        static_cast<std::int32_t>(e.WW2)});
    block.append(w1).append(w2).append(wi1).append(wi2);
    d.longest = std::max({d.longest, w1.size(), w2.size()});
    ++d.count;
    if (cut1 || cut2) ++d.cut;
}

void TWoerterbuchbau::Abschliessen() {
    Impl& d = *impl_;
    if (!d.open) return;
    d.open = false;
    if (d.passend) d.width = d.longest;
    const std::string& work = d.ersatz->StagedPath();
    xbase::Table::Create(work, WoerterbuchFelder(static_cast<int>(d.width)), WoerterbuchTags(), d.passwort);
    xbase::Table& t = d.table;
    t.SetFileName(work);
    t.SetTableType(xbase::TableType::ttSXNSX);
    t.SetPassword(d.passwort);
    t.SetExclusive(true);
    t.Open();
    // The staged table is private until it is switched in; closing it makes it durable, and the engine
    // then writes the records in large runs instead of one by one.
    t.SetSyncOnPost(false);
    d.Schreibe();
    std::vector<Impl::Satz>().swap(d.saetze);
    std::vector<std::string>().swap(d.texte);
    d.table.Close();
    d.ersatz->Commit();
}

std::size_t TWoerterbuchbau::Anzahl() const { return impl_->count; }
std::size_t TWoerterbuchbau::Gekuerzt() const { return impl_->cut; }
int TWoerterbuchbau::TextBreite() const { return static_cast<int>(impl_->width); }

std::size_t SchreibeWoerterbuch(const std::string& pfad, std::string_view textM, std::string_view textF,
                                const std::vector<Woerterbucheintrag>& eintraege, WoerterbuchOptionen optionen) {
    TWoerterbuchbau bau(pfad, std::string(textM), std::string(textF), std::move(optionen));
    for (const Woerterbucheintrag& e : eintraege) bau.Hinzufuegen(e);
    bau.Abschliessen();
    return bau.Anzahl();
}

}  // namespace zanit
