#include "trainer/Sammlungskopf.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <stdexcept>

#include "base/Utils.h"
#include "trainer/Dateiersatz.h"

namespace zanit {

namespace {

constexpr std::size_t kSignatur = 0;
constexpr std::size_t kBasisname = 6;
constexpr std::size_t kBasisnameMax = 49;  // length byte at 6, text up to offset 55
constexpr std::size_t kSchutzbenutzer = 56;
constexpr std::size_t kSchutzflag = 60;
constexpr std::size_t kZaehlerA = 292;
constexpr std::size_t kLektionszahl = 296;
constexpr std::size_t kLektionsflags = 301;  // + lesson number
constexpr std::size_t kZaehlerB = 512;
constexpr std::size_t kDatum = 540;
constexpr std::size_t kNaechsteNummer = 584;

constexpr char kSignaturText[] = "\x05LMVOK";

}  // namespace

TSammlungskopf TSammlungskopf::Neu(std::string_view basisname) {
    TSammlungskopf k;
    std::memcpy(k.bytes_.data() + kSignatur, kSignaturText, 6);
    k.SetzeBasisname(basisname);
    k.SetzeNaechsteNummer(1);
    return k;
}

bool TSammlungskopf::SignaturOk() const { return std::memcmp(bytes_.data() + kSignatur, kSignaturText, 6) == 0; }

std::string TSammlungskopf::Basisname() const {
    const std::size_t n = std::min<std::size_t>(bytes_[kBasisname], kBasisnameMax);
    return std::string(reinterpret_cast<const char*>(bytes_.data() + kBasisname + 1), n);
}

void TSammlungskopf::SetzeBasisname(std::string_view name) {
    const std::size_t n = std::min(name.size(), kBasisnameMax);
    bytes_[kBasisname] = static_cast<std::uint8_t>(n);
    std::memcpy(bytes_.data() + kBasisname + 1, name.data(), n);
}

std::int32_t TSammlungskopf::Zahl(std::size_t o) const {
    const std::uint32_t u = std::uint32_t(bytes_[o]) | std::uint32_t(bytes_[o + 1]) << 8 |
                            std::uint32_t(bytes_[o + 2]) << 16 | std::uint32_t(bytes_[o + 3]) << 24;
    return static_cast<std::int32_t>(u);
}

void TSammlungskopf::SetzeZahl(std::size_t o, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes_[o + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::uint32_t TSammlungskopf::Schutzbenutzer() const { return static_cast<std::uint32_t>(Zahl(kSchutzbenutzer)); }
bool TSammlungskopf::Schreibschutz() const { return bytes_[kSchutzflag] != 0; }
std::int32_t TSammlungskopf::ZaehlerA() const { return Zahl(kZaehlerA); }
std::int32_t TSammlungskopf::Lektionszahl() const { return Zahl(kLektionszahl); }
std::int32_t TSammlungskopf::ZaehlerB() const { return Zahl(kZaehlerB); }
std::int32_t TSammlungskopf::NaechsteNummer() const { return Zahl(kNaechsteNummer); }

bool TSammlungskopf::Lektionsflag(int lektion) const {
    return lektion >= 1 && lektion <= kMaxLektionen && bytes_[kLektionsflags + lektion] != 0;
}

double TSammlungskopf::Aenderungsdatum() const {
    double d;
    std::memcpy(&d, bytes_.data() + kDatum, sizeof d);  // little-endian IEEE double on every target we build
    return d;
}

void TSammlungskopf::SetzeSchutz(bool an, std::uint32_t benutzer) {
    bytes_[kSchutzflag] = an ? 1 : 0;
    SetzeZahl(kSchutzbenutzer, static_cast<std::int32_t>(benutzer));
}
void TSammlungskopf::SetzeZaehlerA(std::int32_t v) { SetzeZahl(kZaehlerA, v); }
void TSammlungskopf::SetzeLektionszahl(std::int32_t v) { SetzeZahl(kLektionszahl, v); }
void TSammlungskopf::SetzeZaehlerB(std::int32_t v) { SetzeZahl(kZaehlerB, v); }
void TSammlungskopf::SetzeNaechsteNummer(std::int32_t v) { SetzeZahl(kNaechsteNummer, v); }

void TSammlungskopf::SetzeLektionsflag(int lektion, bool an) {
    if (lektion >= 1 && lektion <= kMaxLektionen) bytes_[kLektionsflags + lektion] = an ? 1 : 0;
}

void TSammlungskopf::SetzeAenderungsdatum(double tage) { std::memcpy(bytes_.data() + kDatum, &tage, sizeof tage); }

double HeutigesKopfdatum() {
    // Days from 1899-12-30 (25569 days before 1970-01-01) to the local calendar date.
    return static_cast<double>(LokalerTag(std::time(nullptr)) + 25569);
}

std::optional<TSammlungskopf> LeseKopf(const std::string& pfad) {
    std::ifstream f(pfad, std::ios::binary);
    if (!f) return std::nullopt;
    std::array<std::uint8_t, kKopfgroesse> bytes{};
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (f.gcount() != static_cast<std::streamsize>(bytes.size())) return std::nullopt;
    return TSammlungskopf(bytes);
}

void SchreibeKopf(const std::string& pfad, TSammlungskopf& kopf) {
    TSammlungskopf neu = kopf;
    neu.SetzeAenderungsdatum(HeutigesKopfdatum());
    const auto& b = neu.Bytes();
    TErsatzdatei datei(pfad);
    datei.Schreiben(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    datei.Einsetzen();
    kopf = neu;
}

}  // namespace zanit
