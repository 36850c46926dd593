#include "online/Infoarchiv.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <set>
#include <stdexcept>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace zanit {

namespace {

constexpr std::uint32_t kSignatur = 0x1238;
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kMaxName = 255;
constexpr std::string_view kVerboten = "\\:<>\"|?*";  // never in a name (Windows refuses most)
constexpr std::string_view kTempVorsilbe = ".zanit-entpack-";

std::uint32_t Crc(std::string_view daten) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as uInt; feed in pieces that fit.
    while (!daten.empty()) {
        const std::size_t n = std::min<std::size_t>(daten.size(), 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(daten.data()), static_cast<uInt>(n));
        daten.remove_prefix(n);
    }
    return static_cast<std::uint32_t>(crc);
}

// Little-endian reading with a bounds check on every field.
class Leser {
public:
    explicit Leser(std::string_view b) : b_(b) {}
    bool U16(std::uint16_t& v) {
        if (Rest() < 2) return false;
        v = static_cast<std::uint16_t>(Byte(0) | Byte(1) << 8);
        pos_ += 2;
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (Rest() < 4) return false;
        v = Byte(0) | Byte(1) << 8 | Byte(2) << 16 | static_cast<std::uint32_t>(Byte(3)) << 24;
        pos_ += 4;
        return true;
    }
    bool Teil(std::size_t n, std::string_view& v) {
        if (Rest() < n) return false;
        v = b_.substr(pos_, n);
        pos_ += n;
        return true;
    }
    std::size_t Rest() const { return b_.size() - pos_; }

private:
    std::uint32_t Byte(std::size_t i) const { return static_cast<unsigned char>(b_[pos_ + i]); }
    std::string_view b_;
    std::size_t pos_ = 0;
};

void U16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8));
}

void U32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

// Inflates one zlib stream that must fill exactly `groesse` bytes and end exactly at the end of `komprimiert`.
// Stops as soon as the output would pass `groesse`, so a small stream that inflates to gigabytes costs no more
// than `groesse` bytes of memory.
bool Inflate(std::string_view komprimiert, std::uint32_t groesse, std::string& daten, std::string& fehler) {
    daten.assign(groesse, '\0');
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        fehler = "zlib kann nicht entpacken";
        return false;
    }
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(komprimiert.data()));
    z.avail_in = static_cast<uInt>(komprimiert.size());
    z.next_out = reinterpret_cast<Bytef*>(daten.data());
    z.avail_out = static_cast<uInt>(groesse);
    int rc = inflate(&z, Z_FINISH);
    // A stream that would give more than announced stops with its output full (Z_BUF_ERROR or Z_OK); probe
    // for one more byte to tell "exactly full" from "more to come".
    if (rc != Z_STREAM_END && z.avail_out == 0) {
        unsigned char mehr = 0;
        z.next_out = &mehr;
        z.avail_out = 1;
        rc = inflate(&z, Z_FINISH);
        if (rc != Z_STREAM_END || z.avail_out == 0) {
            inflateEnd(&z);
            fehler = "entpackt größer als angegeben";
            return false;
        }
    }
    const bool ende = rc == Z_STREAM_END;
    const uLong aus = z.total_out;
    const uInt restEin = z.avail_in;
    inflateEnd(&z);
    if (!ende) {
        fehler = rc == Z_DATA_ERROR ? "Daten beschädigt" : "Daten abgeschnitten";
        return false;
    }
    if (aus != groesse) {
        fehler = "entpackt kleiner als angegeben";
        return false;
    }
    if (restEin != 0) {
        fehler = "Daten nach dem Ende des Blocks";
        return false;
    }
    return true;
}

std::string Klein(std::string_view s) {
    std::string k(s);
    for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return k;
}

bool Geraetename(std::string_view teil) {
    // Windows opens these devices whatever extension follows ("nul.txt").
    std::string stamm = Klein(teil.substr(0, teil.find('.')));
    static const std::set<std::string> namen = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    if (namen.count(stamm)) return true;
    if (stamm.size() == 4 && (stamm.starts_with("com") || stamm.starts_with("lpt")) && stamm[3] >= '0' &&
        stamm[3] <= '9')
        return true;
    return false;
}

// Creates a new file in `ordner` under a temporary name, exclusively (never through an existing name or
// link), and writes `daten` into it; `pfad` gets its name.
bool SchreibeNeu(const fs::path& ordner, std::string_view daten, fs::path& pfad, std::string& fehler) {
    thread_local std::random_device zufall;
    std::FILE* f = nullptr;
    for (int versuch = 0; !f && versuch < 20; ++versuch) {
        char name[16];
        std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(zufall()));
        pfad = ordner / (std::string(kTempVorsilbe) + name);
        f = std::fopen(pfad.string().c_str(), "wbx");
        if (!f && errno != EEXIST) break;
    }
    if (!f) {
        fehler = pfad.string() + ": " + std::strerror(errno);
        pfad.clear();
        return false;
    }
    bool ok = daten.empty() || std::fwrite(daten.data(), 1, daten.size(), f) == daten.size();
    ok = std::fflush(f) == 0 && ok;
#ifndef _WIN32
    ok = ok && ::fsync(fileno(f)) == 0;
#endif
    ok = std::fclose(f) == 0 && ok;
    if (!ok) fehler = pfad.string() + ": Schreiben fehlgeschlagen";
    return ok;
}

// The folders on the way to `name` below `ordner` must be real folders (a link is never followed); missing
// ones are listed in `anzulegen`, outermost first.
bool PruefeWeg(const fs::path& ordner, std::string_view name, std::vector<fs::path>& anzulegen,
               std::string& fehler) {
    fs::path weg = ordner;
    std::size_t anfang = 0;
    bool fehlt = false;
    for (;;) {
        const std::size_t ende = name.find('/', anfang);
        const std::string teil(name.substr(anfang, ende == std::string_view::npos ? name.npos : ende - anfang));
        weg /= teil;
        const bool letzter = ende == std::string_view::npos;
        if (!fehlt) {
            std::error_code ec;
            const fs::file_status st = fs::symlink_status(weg, ec);
            if (ec && st.type() != fs::file_type::not_found) {
                fehler = std::string(name) + ": " + ec.message();
                return false;
            }
            if (st.type() == fs::file_type::not_found) {
                fehlt = true;
            } else if (letzter ? st.type() != fs::file_type::regular : st.type() != fs::file_type::directory) {
                fehler = std::string(name) + ": an dieser Stelle liegt " +
                         (st.type() == fs::file_type::symlink ? "eine Verknüpfung" : "etwas anderes als eine Datei");
                return false;
            }
        }
        if (letzter) return true;
        if (fehlt) anzulegen.push_back(weg);
        anfang = ende + 1;
    }
}

}  // namespace

bool SichererArchivname(std::string_view name) {
    if (name.empty() || name.size() > kMaxName || name.front() == '/') return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || kVerboten.find(c) != std::string_view::npos)
            return false;
    std::size_t anfang = 0;
    for (;;) {
        const std::size_t ende = name.find('/', anfang);
        const std::string_view teil = name.substr(anfang, ende == std::string_view::npos ? name.npos : ende - anfang);
        if (teil.empty() || teil == "." || teil == "..") return false;
        // Windows drops trailing dots and blanks, which would make "INFO_W.JPG." another spelling of a file.
        if (teil.back() == '.' || teil.back() == ' ') return false;
        if (Geraetename(teil)) return false;
        if (ende == std::string_view::npos) return true;
        anfang = ende + 1;
    }
}

TArchivInhalt LeseInfoarchiv(std::string_view bytes, const TArchivGrenzen& grenzen) {
    TArchivInhalt inhalt;
    auto fehler = [&](std::string text) {
        inhalt.eintraege.clear();
        inhalt.fehler = std::move(text);
        return inhalt;
    };
    if (bytes.size() > grenzen.archivBytes) return fehler("Archiv zu groß");
    Leser l(bytes);
    std::uint32_t signatur = 0;
    std::uint16_t version = 0, anzahl = 0;
    if (!l.U32(signatur) || signatur != kSignatur) return fehler("kein Infoarchiv (Kennung fehlt)");
    if (!l.U16(version) || !l.U16(anzahl)) return fehler("Archivkopf abgeschnitten");
    if (version != kVersion) return fehler("unbekannte Archivversion " + std::to_string(version));
    if (anzahl > grenzen.dateien) return fehler("zu viele Dateien im Archiv");
    std::set<std::string> gesehen, ordner;  // names and the folders on their way, lower case
    std::uint64_t gesamt = 0;
    for (std::size_t i = 0; i < anzahl; ++i) {
        const std::string nr = "Eintrag " + std::to_string(i + 1);
        std::uint16_t laenge = 0;
        std::string_view name, komprimiert;
        std::uint32_t groesse = 0, kgroesse = 0, crc = 0;
        if (!l.U16(laenge) || !l.Teil(laenge, name)) return fehler(nr + ": abgeschnitten");
        if (!SichererArchivname(name)) return fehler(nr + ": unzulässiger Name");
        // One name may not be both a file and a folder on the way to another ("a" and "a/b").
        const std::string klein = Klein(name);
        if (!gesehen.insert(klein).second || ordner.count(klein))
            return fehler(std::string(name) + ": doppelt im Archiv");
        for (std::size_t p = klein.find('/'); p != std::string::npos; p = klein.find('/', p + 1)) {
            if (gesehen.count(klein.substr(0, p))) return fehler(std::string(name) + ": doppelt im Archiv");
            ordner.insert(klein.substr(0, p));
        }
        if (!l.U32(groesse) || !l.U32(kgroesse) || !l.U32(crc)) return fehler(std::string(name) + ": abgeschnitten");
        if (groesse > grenzen.dateiBytes) return fehler(std::string(name) + ": Datei zu groß");
        gesamt += groesse;
        if (gesamt > grenzen.gesamtBytes) return fehler(std::string(name) + ": Archiv entpackt zu groß");
        if (!l.Teil(kgroesse, komprimiert)) return fehler(std::string(name) + ": Daten abgeschnitten");
        TArchivEintrag e;
        e.name = std::string(name);
        std::string grund;
        if (!Inflate(komprimiert, groesse, e.daten, grund)) return fehler(e.name + ": " + grund);
        if (Crc(e.daten) != crc) return fehler(e.name + ": Prüfsumme (CRC) falsch");
        inhalt.eintraege.push_back(std::move(e));
    }
    if (l.Rest() != 0) return fehler("Daten nach dem letzten Eintrag");
    inhalt.ok = true;
    return inhalt;
}

std::string SchreibeInfoarchiv(const std::vector<TArchivEintrag>& eintraege) {
    std::string out;
    U32(out, kSignatur);
    U16(out, kVersion);
    U16(out, static_cast<std::uint16_t>(eintraege.size()));
    for (const TArchivEintrag& e : eintraege) {
        uLongf kgroesse = compressBound(static_cast<uLong>(e.daten.size()));
        std::string komprimiert(kgroesse, '\0');
        if (compress2(reinterpret_cast<Bytef*>(komprimiert.data()), &kgroesse,
                      reinterpret_cast<const Bytef*>(e.daten.data()), static_cast<uLong>(e.daten.size()),
                      Z_BEST_COMPRESSION) != Z_OK)
            throw std::runtime_error(e.name + ": zlib kann nicht packen");
        komprimiert.resize(kgroesse);
        U16(out, static_cast<std::uint16_t>(e.name.size()));
        out += e.name;
        U32(out, static_cast<std::uint32_t>(e.daten.size()));
        U32(out, static_cast<std::uint32_t>(komprimiert.size()));
        U32(out, Crc(e.daten));
        out += komprimiert;
    }
    return out;
}

TEntpackErgebnis EntpackeInfoarchiv(const fs::path& archiv, const fs::path& datenordner,
                                    const TArchivGrenzen& grenzen) {
    TEntpackErgebnis ergebnis;
    auto fehler = [&](std::string text) {
        ergebnis.dateien.clear();
        ergebnis.fehler = archiv.filename().string() + ": " + std::move(text);
        return ergebnis;
    };
    std::error_code ec;
    if (!fs::is_directory(datenordner, ec)) return fehler("Datenordner fehlt: " + datenordner.string());
    const std::uintmax_t groesse = fs::file_size(archiv, ec);
    if (ec) return fehler(ec.message());
    if (groesse > grenzen.archivBytes) return fehler("Archiv zu groß");
    std::string bytes(static_cast<std::size_t>(groesse), '\0');
    {
        std::ifstream f(archiv, std::ios::binary);
        if (!f || !f.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) || f.peek() != EOF)
            return fehler("Archiv nicht lesbar");
    }
    TArchivInhalt inhalt = LeseInfoarchiv(bytes, grenzen);
    if (!inhalt.ok) return fehler(inhalt.fehler);
    bytes.clear();
    bytes.shrink_to_fit();

    // Prepared files that a process killed while extracting left behind.
    for (const auto& e : fs::directory_iterator(datenordner, ec)) {
        std::error_code ec2;
        if (e.path().filename().string().starts_with(kTempVorsilbe) && e.is_regular_file(ec2)) fs::remove(e.path(), ec2);
    }

    // Every way must be sound before anything is created.
    std::vector<fs::path> ordner;
    for (const TArchivEintrag& e : inhalt.eintraege) {
        std::string grund;
        if (!PruefeWeg(datenordner, e.name, ordner, grund)) return fehler(grund);
    }

    // Each file beside its target under a name of this process; put in place only when all are written.
    struct Neu {
        fs::path ziel, daneben;
    };
    std::vector<Neu> neu;
    auto aufraeumen = [&] {
        for (const Neu& n : neu) fs::remove(n.daneben, ec);
    };
    for (const fs::path& o : ordner) {
        fs::create_directory(o, ec);
        if (ec || fs::symlink_status(o, ec).type() != fs::file_type::directory)
            return fehler(o.string() + ": Ordner kann nicht angelegt werden");
    }
    for (const TArchivEintrag& e : inhalt.eintraege) {
        const fs::path ziel = datenordner / fs::path(e.name);
        fs::path daneben;
        std::string grund;
        if (!SchreibeNeu(ziel.parent_path(), e.daten, daneben, grund)) {
            if (!daneben.empty()) fs::remove(daneben, ec);
            aufraeumen();
            return fehler(grund);
        }
        neu.push_back({ziel, daneben});
    }
    for (std::size_t i = 0; i < neu.size(); ++i) {
        fs::rename(neu[i].daneben, neu[i].ziel, ec);
        if (ec) {
            const std::string grund = neu[i].ziel.string() + ": " + ec.message();
            neu.erase(neu.begin(), neu.begin() + static_cast<std::ptrdiff_t>(i));
            aufraeumen();
            return fehler(grund);
        }
        ergebnis.dateien.push_back(inhalt.eintraege[i].name);
    }
    ergebnis.ok = true;
    return ergebnis;
}

}  // namespace zanit
