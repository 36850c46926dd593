#include "search/Woerterbuchbau.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "search/Suchbegriff.h"

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

}  // namespace

struct TWoerterbuchbau::Impl {
    xbase::Table table;
    std::string textM, textF;
    std::size_t width = 0;
    std::size_t count = 0, cut = 0;
    bool open = false;
    // Field handles looked up once; FieldByName per record would cost a name search each time.
    std::vector<xbase::Field> fields;  // W1, W2, WI1, WI2, WA, WW1, WW2
};

TWoerterbuchbau::TWoerterbuchbau(const std::string& pfad, std::string textM, std::string textF,
                                 WoerterbuchOptionen optionen)
    : impl_(std::make_unique<Impl>()) {
    if (optionen.textLaenge < 1 || optionen.textLaenge > kTextfeldLaengeMax)
        throw std::invalid_argument("Textfeldbreite muss zwischen 1 und 254 liegen: " + std::to_string(optionen.textLaenge));
    impl_->textM = std::move(textM);
    impl_->textF = std::move(textF);
    impl_->width = static_cast<std::size_t>(optionen.textLaenge);
    xbase::Table::Create(pfad, WoerterbuchFelder(optionen.textLaenge), WoerterbuchTags(), optionen.passwort);
    xbase::Table& t = impl_->table;
    t.SetFileName(pfad);
    t.SetTableType(xbase::TableType::ttSXNSX);
    t.SetPassword(optionen.passwort);
    t.SetExclusive(true);
    t.Open();
    impl_->open = true;
    for (const char* name : {"W1", "W2", "WI1", "WI2", "WA", "WW1", "WW2"}) impl_->fields.push_back(t.FieldByName(name));
}

TWoerterbuchbau::~TWoerterbuchbau() {
    try {
        Abschliessen();
    } catch (...) {
        // A destructor must not throw; callers that care call Abschliessen themselves.
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
    const std::string wi1 = MachSuchbegriff(w1, d.textM);
    const std::string wi2 = MachSuchbegriff(w2, d.textF);
    d.table.AppendBlank();
    d.fields[0].SetAsString(w1);
    d.fields[1].SetAsString(w2);
    d.fields[2].SetAsString(wi1);
    d.fields[3].SetAsString(wi2);
    d.fields[4].SetAsInteger(e.WA);
    d.fields[5].SetAsInteger(e.WW1);
    d.fields[6].SetAsInteger(e.WW2);
    d.table.Post();
    ++d.count;
    if (cut1 || cut2) ++d.cut;
}

void TWoerterbuchbau::Abschliessen() {
    if (!impl_->open) return;
    impl_->open = false;
    impl_->fields.clear();
    impl_->table.Close();
}

std::size_t TWoerterbuchbau::Anzahl() const { return impl_->count; }
std::size_t TWoerterbuchbau::Gekuerzt() const { return impl_->cut; }

std::size_t SchreibeWoerterbuch(const std::string& pfad, std::string_view textM, std::string_view textF,
                                const std::vector<Woerterbucheintrag>& eintraege, WoerterbuchOptionen optionen) {
    TWoerterbuchbau bau(pfad, std::string(textM), std::string(textF), std::move(optionen));
    for (const Woerterbucheintrag& e : eintraege) bau.Hinzufuegen(e);
    bau.Abschliessen();
    return bau.Anzahl();
}

}  // namespace zanit
