// The news archive: what the packer builds, the dictionary extracts; every damaged or hostile archive is
// refused as a whole, with nothing written outside the data folder, nothing half-written inside it and the
// old picture with its date untouched.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "online/Infoarchiv.h"
#include "tools/import/Prozess.h"

using namespace zanit;
namespace fs = std::filesystem;

namespace {

std::string Lies(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void Schreib(const fs::path& p, std::string_view daten) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(daten.data(), static_cast<std::streamsize>(daten.size()));
}

// Name -> content and modification time of everything below a folder (links as their target text).
using Bestand = std::map<std::string, std::pair<std::string, fs::file_time_type>>;

Bestand Bestandsaufnahme(const fs::path& ordner) {
    Bestand b;
    for (const auto& e : fs::recursive_directory_iterator(ordner)) {
        const std::string name = fs::relative(e.path(), ordner).string();
        if (e.is_symlink())
            b[name] = {"-> " + fs::read_symlink(e.path()).string(), {}};
        else if (e.is_regular_file())
            b[name] = {Lies(e.path()), fs::last_write_time(e.path())};
        else
            b[name] = {"<folder>", {}};
    }
    return b;
}

class Datenordner : public ::testing::Test {
protected:
    void SetUp() override {
        wurzel_ = fs::temp_directory_path() / ("zanit-infoarchiv-" + std::to_string(::getpid()));
        fs::remove_all(wurzel_);
        fs::create_directories(daten_ = wurzel_ / "Data");
        fs::create_directories(draussen_ = wurzel_ / "outside");
        Schreib(daten_ / "INFO_W.JPG", "altes Bild");
        Schreib(daten_ / "INFO_W.DAT", "1,2,3,4,http://alt.example/\n");
        Schreib(daten_ / "zanit_D.glc", "Katalog");
        // The picture's date records the last download: a month ago.
        fs::last_write_time(daten_ / "INFO_W.JPG", fs::file_time_type::clock::now() - std::chrono::hours(24 * 30));
    }
    void TearDown() override { fs::remove_all(wurzel_); }

    fs::path Archiv(const std::string& bytes) {
        const fs::path p = wurzel_ / "i101.gz";
        Schreib(p, bytes);
        return p;
    }
    // Extracting `bytes` is refused and neither the data folder nor the folder beside it changes.
    void WirdAbgelehnt(const std::string& bytes, const TArchivGrenzen& grenzen = {}) {
        const Bestand vorher = Bestandsaufnahme(wurzel_);
        const TEntpackErgebnis e = EntpackeInfoarchiv(Archiv(bytes), daten_, grenzen);
        EXPECT_FALSE(e.ok);
        EXPECT_FALSE(e.fehler.empty());
        EXPECT_TRUE(e.dateien.empty());
        fs::remove(wurzel_ / "i101.gz");
        EXPECT_EQ(Bestandsaufnahme(wurzel_), vorher) << e.fehler;
    }

    fs::path wurzel_, daten_, draussen_;
};

// A sound first entry, so that a refusal also proves that nothing before the bad entry was put in place.
std::string MitBild(std::vector<TArchivEintrag> danach) {
    danach.insert(danach.begin(), {"INFO_W.JPG", "neues Bild"});
    return SchreibeInfoarchiv(danach);
}

// Offset of the first entry's 32-bit fields (size, packed size, CRC) behind its name.
std::size_t Feldanfang(const std::string& name) { return 8 + 2 + name.size(); }

// A zlib stream of `n` zero bytes, packed piecewise so that the test itself stays small.
std::string Nullstrom(std::uint64_t n) {
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    std::string aus;
    const std::string nullen(1 << 20, '\0');
    char puffer[1 << 16];
    for (std::uint64_t rest = n;;) {
        const std::size_t stueck = static_cast<std::size_t>(std::min<std::uint64_t>(rest, nullen.size()));
        rest -= stueck;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(nullen.data()));
        z.avail_in = static_cast<uInt>(stueck);
        int rc;
        do {
            z.next_out = reinterpret_cast<Bytef*>(puffer);
            z.avail_out = sizeof puffer;
            rc = deflate(&z, rest ? Z_NO_FLUSH : Z_FINISH);
            aus.append(puffer, sizeof puffer - z.avail_out);
        } while (z.avail_out == 0 || (!rest && rc != Z_STREAM_END));
        if (!rest) break;
    }
    deflateEnd(&z);
    return aus;
}

std::uint32_t Zahl32(const std::string& a, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(a[pos + i]);
    return v;
}

// One entry by hand: name, announced size, CRC and packed bytes as given.
std::string Rohbau(const std::string& name, std::uint32_t groesse, std::uint32_t crc, const std::string& gepackt) {
    std::string a = SchreibeInfoarchiv({{name, ""}});
    a.resize(Feldanfang(name));
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) a.push_back(static_cast<char>(v >> (8 * i)));
    };
    u32(groesse);
    u32(static_cast<std::uint32_t>(gepackt.size()));
    u32(crc);
    return a + gepackt;
}

}  // namespace

TEST_F(Datenordner, ThePackersArchiveReplacesPictureAndAreasAndAddsFilesInSubfolders) {
    Schreib(wurzel_ / "bild.jpg", std::string(5000, '\xff') + "JPEG");
    Schreib(wurzel_ / "INFO_W.DAT", "10,20,100,30,https://example.org/\n");
    Schreib(wurzel_ / "leer", "");
    const fs::path archiv = wurzel_ / "i101.gz";
    const std::string pack = std::string(ZANIT_PACK_TOOL) + " create " + archiv.string() + " --as INFO_W.JPG " +
                             (wurzel_ / "bild.jpg").string() + " " + (wurzel_ / "INFO_W.DAT").string() +
                             " --as neu/leer " + (wurzel_ / "leer").string();
    const zanit_test::Lauf lauf = zanit_test::Starte(pack);
    ASSERT_EQ(lauf.code, 0) << lauf.ausgabe;
    EXPECT_EQ(Lies(archiv).substr(0, 4), std::string("\x38\x12\0\0", 4));
    EXPECT_EQ(zanit_test::Starte(std::string(ZANIT_PACK_TOOL) + " list " + archiv.string(), true).ausgabe,
              "5004\tINFO_W.JPG\n34\tINFO_W.DAT\n0\tneu/leer\n");

    // What an extraction killed halfway left behind goes with the next one.
    Schreib(daten_ / ".zanit-entpack-0badf00d", "halb");
    const TEntpackErgebnis e = EntpackeInfoarchiv(archiv, daten_);
    ASSERT_TRUE(e.ok) << e.fehler;
    EXPECT_EQ(e.dateien, (std::vector<std::string>{"INFO_W.JPG", "INFO_W.DAT", "neu/leer"}));
    EXPECT_EQ(Lies(daten_ / "INFO_W.JPG"), Lies(wurzel_ / "bild.jpg"));
    EXPECT_EQ(Lies(daten_ / "INFO_W.DAT"), "10,20,100,30,https://example.org/\n");
    EXPECT_TRUE(fs::is_regular_file(daten_ / "neu" / "leer"));
    // Only the archive's files and what was there before; no prepared file is left behind.
    std::vector<std::string> namen;
    for (const auto& d : fs::directory_iterator(daten_)) namen.push_back(d.path().filename().string());
    std::sort(namen.begin(), namen.end());
    EXPECT_EQ(namen, (std::vector<std::string>{"INFO_W.DAT", "INFO_W.JPG", "neu", "zanit_D.glc"}));

    // The packer takes no name that the reader would refuse.
    EXPECT_EQ(zanit_test::Starte(pack + " --as ../x " + (wurzel_ / "leer").string()).code, 2);
}

TEST_F(Datenordner, NamesLeavingTheDataFolderAreRefused) {
    for (const std::string& name : std::vector<std::string>{"../INFO_W.JPG", "neu/../../x", "/tmp/x", "C:x", "C:/x", "..\\x", "a\\..\\..\\x", "", "a//b", "./x",
          "neu/", std::string("x\0y", 3), "INFO_W.JPG.", "INFO_W.JPG ", "nul.txt", "COM1", "a/..", "x\ny"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(SichererArchivname(name));
        WirdAbgelehnt(MitBild({{name, "boese"}}));
    }
    EXPECT_TRUE(SichererArchivname("INFO_W.JPG"));
    EXPECT_TRUE(SichererArchivname("neu/bilder/a..b.png"));
    // The same file twice, also in another case (one file on Windows), is refused rather than choosing one.
    WirdAbgelehnt(MitBild({{"info_w.jpg", "zweites Bild"}}));
    // Nor may one name be a file and a folder of another, in either order.
    WirdAbgelehnt(MitBild({{"neu", "x"}, {"Neu/x", "y"}}));
    WirdAbgelehnt(MitBild({{"neu/x", "y"}, {"NEU", "x"}}));
}

TEST_F(Datenordner, LinksInTheDataFolderAreNeverFollowedOrReplaced) {
    Schreib(draussen_ / "ziel", "fremd");
    fs::create_directory_symlink(draussen_, daten_ / "neu");
    WirdAbgelehnt(MitBild({{"neu/ziel", "boese"}}));
    fs::create_symlink(draussen_ / "ziel", daten_ / "LINK.DAT");
    WirdAbgelehnt(MitBild({{"LINK.DAT", "boese"}}));
    // A dangling link is no way out either.
    fs::create_symlink(draussen_ / "gibtsnicht", daten_ / "HAENGT.DAT");
    WirdAbgelehnt(MitBild({{"HAENGT.DAT", "boese"}}));
    // A folder, or a file in the way of a folder, where the archive wants the other.
    fs::create_directory(daten_ / "ORDNER");
    WirdAbgelehnt(MitBild({{"ORDNER", "boese"}}));
    WirdAbgelehnt(MitBild({{"zanit_D.glc/x", "boese"}}));
    EXPECT_FALSE(fs::exists(draussen_ / "gibtsnicht"));
    EXPECT_EQ(Lies(draussen_ / "ziel"), "fremd");
}

TEST_F(Datenordner, DamagedArchivesAreRefusedWhole) {
    const std::string gut = MitBild({{"INFO_W.DAT", std::string(2000, 'a')}});
    ASSERT_TRUE(LeseInfoarchiv(gut).ok);
    // Wrong CRC of the second entry: it starts behind the first entry's fields and packed bytes.
    const std::size_t packed1 = Zahl32(gut, Feldanfang("INFO_W.JPG") + 4);
    const std::size_t zweiter = Feldanfang("INFO_W.JPG") + 12 + packed1;
    std::string crc = gut;
    crc[zweiter + 2 + 10 + 8] ^= 0x01;
    WirdAbgelehnt(crc);
    EXPECT_NE(LeseInfoarchiv(crc).fehler.find("CRC"), std::string::npos) << LeseInfoarchiv(crc).fehler;
    // Cut anywhere: in the header, in a name, in the fields, in the packed block.
    for (std::size_t n : {std::size_t{0}, std::size_t{3}, std::size_t{7}, std::size_t{12}, zweiter + 5, zweiter + 20,
                          gut.size() - 1}) {
        SCOPED_TRACE(n);
        WirdAbgelehnt(gut.substr(0, n));
    }
    // A block whose bytes are damaged, and bytes after the last entry.
    std::string kaputt = gut;
    kaputt[gut.size() - 8] ^= 0x55;
    WirdAbgelehnt(kaputt);
    WirdAbgelehnt(gut + "x");
    // Another signature or version.
    std::string fremd = gut;
    fremd[0] = 0x39;
    WirdAbgelehnt(fremd);
    EXPECT_NE(LeseInfoarchiv(fremd).fehler.find("Kennung"), std::string::npos);
    std::string version = gut;
    version[4] = 2;
    WirdAbgelehnt(version);
}

TEST_F(Datenordner, ABombIsStoppedWhileInflatingAndTheBoundsHold) {
    // 128 MiB of zeros in well under a MiB; announced as 1000 bytes, the reader stops at byte 1001.
    const std::string strom = Nullstrom(128ull << 20);
    ASSERT_LT(strom.size(), 1u << 20);
    const auto start = std::chrono::steady_clock::now();
    WirdAbgelehnt(Rohbau("INFO_W.JPG", 1000, 0, strom));
    EXPECT_NE(LeseInfoarchiv(Rohbau("INFO_W.JPG", 1000, 0, strom)).fehler.find("größer"), std::string::npos);
    // Announced truthfully, it is above the bound for one file and refused before inflating.
    WirdAbgelehnt(Rohbau("INFO_W.JPG", 128u << 20, crc32(0, Z_NULL, 0), strom));
    // Stopping early is what keeps this fast; inflating 128 MiB twice would not be.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // Smaller bounds: files, total and the archive itself.
    TArchivGrenzen klein;
    klein.dateiBytes = 100;
    WirdAbgelehnt(MitBild({{"A.DAT", std::string(101, 'x')}}), klein);
    klein = {};
    klein.gesamtBytes = 100;
    WirdAbgelehnt(MitBild({{"A.DAT", std::string(91, 'x')}}), klein);
    klein = {};
    klein.dateien = 1;
    WirdAbgelehnt(MitBild({{"A.DAT", "x"}}), klein);
    klein = {};
    klein.archivBytes = 20;
    WirdAbgelehnt(MitBild({}), klein);
}

TEST_F(Datenordner, AMissingDataFolderOrArchiveIsReported) {
    const fs::path archiv = Archiv(MitBild({}));
    EXPECT_FALSE(EntpackeInfoarchiv(archiv, wurzel_ / "fehlt").ok);
    EXPECT_FALSE(EntpackeInfoarchiv(wurzel_ / "fehlt.gz", daten_).ok);
    EXPECT_FALSE(fs::exists(wurzel_ / "fehlt"));
}
