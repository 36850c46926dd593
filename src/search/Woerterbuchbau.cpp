#include "search/Woerterbuchbau.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <stdexcept>
#include <system_error>

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

namespace fs = std::filesystem;

fs::path StagingBase(const std::string& requested, const fs::path& destination) {
    if (!requested.empty()) return requested;
    std::error_code ec;
    const fs::path shm = "/dev/shm";
    if (fs::is_directory(shm, ec)) {
        const auto perms = fs::status(shm, ec).permissions();
        if (!ec && (perms & fs::perms::others_write) != fs::perms::none) return shm;
    }
    return destination;
}

constexpr std::string_view kStagingPrefix = "zanit-woerterbuch-";

// Staging folders left behind by a builder that was killed: nothing in them changed for an hour (a running
// build writes its table all the time).
void RemoveAbandonedStagingFolders(const fs::path& base) {
    std::error_code ec;
    const auto limit = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->path().filename().string().starts_with(kStagingPrefix) || !it->is_directory(ec)) continue;
        auto newest = fs::last_write_time(it->path(), ec);
        for (fs::directory_iterator f(it->path(), ec); !ec && f != end; f.increment(ec))
            newest = std::max(newest, fs::last_write_time(f->path(), ec));
        if (!ec && newest < limit) fs::remove_all(it->path(), ec);
        ec.clear();
    }
}

// A new folder of our own below `base`.
fs::path MakeStagingFolder(const fs::path& base, const std::string& forPath) {
    RemoveAbandonedStagingFolders(base);
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir =
            base / (std::string(kStagingPrefix) + std::to_string(random()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir;
        if (ec) throw xbase::IoError(forPath, "cannot create the staging folder " + dir.string() + ": " + ec.message());
    }
    throw xbase::IoError(forPath, "no free staging folder name below " + base.string());
}

// Moves a file, replacing the target; across file systems by copying to a sibling and renaming, so that the
// target is never seen half-written.
void MoveReplacing(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return;
    const fs::path temp = to.string() + ".zanit-neu";
    fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(temp, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw xbase::IoError(to.string(), "cannot move the built table into place: " + ec.message());
    }
    fs::remove(from, ec);
}

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
    fs::path staging;      // our folder; the table is built there under the same file name
    std::string textM, textF;
    std::size_t width = 0;
    std::size_t count = 0, cut = 0;
    bool open = false;

    // The records wait here until Abschliessen writes them in the order of WI1, so that a walk in the
    // common direction reads the table file front to back. Texts lie one after the other in `texte`.
    struct Satz {
        std::size_t at;
        std::uint16_t w1, w2;
        std::uint8_t wi1, wi2;
        std::int8_t wa;
        std::int32_t ww1, ww2;
    };
    std::string texte;
    std::vector<Satz> saetze;

    std::string_view Text(const Satz& s, int teil) const {
        const std::size_t laengen[4] = {s.w1, s.w2, s.wi1, s.wi2};
        std::size_t at = s.at;
        for (int i = 0; i < teil; ++i) at += laengen[i];
        return std::string_view(texte).substr(at, laengen[teil]);
    }
    void Schreibe();
};

void TWoerterbuchbau::Impl::Schreibe() {
    std::vector<std::uint32_t> folge(saetze.size());
    for (std::size_t i = 0; i < folge.size(); ++i) folge[i] = static_cast<std::uint32_t>(i);
    // Stable: records of one key keep the order they were given in.
    std::stable_sort(folge.begin(), folge.end(), [this](std::uint32_t a, std::uint32_t b) {
        return VergleicheSchluessel(Text(saetze[a], 2), Text(saetze[b], 2)) < 0;
    });
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
    if (optionen.textLaenge < 1 || optionen.textLaenge > kTextfeldLaengeMax)
        throw std::invalid_argument("Textfeldbreite muss zwischen 1 und 254 liegen: " + std::to_string(optionen.textLaenge));
    impl_->textM = std::move(textM);
    impl_->textF = std::move(textF);
    impl_->width = static_cast<std::size_t>(optionen.textLaenge);
    impl_->destination = fs::absolute(fs::path(pfad));
    const fs::path folder = impl_->destination.parent_path();
    if (impl_->destination.filename().empty() || !fs::is_directory(folder))
        throw xbase::IoError(pfad, "the folder of the table does not exist");
    impl_->staging = MakeStagingFolder(StagingBase(optionen.zwischenordner, folder), pfad);
    const std::string work = (impl_->staging / impl_->destination.filename()).string();
    try {
        xbase::Table::Create(work, WoerterbuchFelder(optionen.textLaenge), WoerterbuchTags(), optionen.passwort);
        xbase::Table& t = impl_->table;
        t.SetFileName(work);
        t.SetTableType(xbase::TableType::ttSXNSX);
        t.SetPassword(optionen.passwort);
        t.SetExclusive(true);
        t.Open();
        // The staged table is private until Abschliessen, which makes it durable when it closes it.
        t.SetSyncOnPost(false);
    } catch (...) {
        impl_->table.Close();
        std::error_code ignored;
        fs::remove_all(impl_->staging, ignored);
        throw;
    }
    impl_->open = true;
}

TWoerterbuchbau::~TWoerterbuchbau() {
    try {
        impl_->table.Close();
    } catch (...) {
        // Nothing is published anyway; the staging folder goes below.
    }
    std::error_code ignored;
    fs::remove_all(impl_->staging, ignored);
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
    d.saetze.push_back({d.texte.size(), static_cast<std::uint16_t>(w1.size()), static_cast<std::uint16_t>(w2.size()),
                        static_cast<std::uint8_t>(wi1.size()), static_cast<std::uint8_t>(wi2.size()),
                        static_cast<std::int8_t>(e.WA), static_cast<std::int32_t>(e.WW1),
                        static_cast<std::int32_t>(e.WW2)});
    d.texte.append(w1).append(w2).append(wi1).append(wi2);
    ++d.count;
    if (cut1 || cut2) ++d.cut;
}

void TWoerterbuchbau::Abschliessen() {
    Impl& d = *impl_;
    if (!d.open) return;
    d.open = false;
    d.Schreibe();
    std::vector<Impl::Satz>().swap(d.saetze);
    std::string().swap(d.texte);
    d.table.Close();
    // The table file and its companions (index) all carry the table's file name stem.
    const fs::path folder = d.destination.parent_path();
    for (const fs::directory_entry& entry : fs::directory_iterator(d.staging))
        MoveReplacing(entry.path(), folder / entry.path().filename());
    std::error_code ignored;
    fs::remove_all(d.staging, ignored);
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
