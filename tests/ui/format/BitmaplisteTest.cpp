// The bitmap-list file: what the writer produces reads back unchanged, and every kind of damage ends in a
// clear error instead of a read past the end.
#include <gtest/gtest.h>

#include "ui/Bitmapliste.h"
#include "ui/format/PngKopf.h"

using namespace zanit;
using zanit::test::PngKopf;

namespace {

std::vector<BmlBild> Beispiel() {
    std::vector<BmlBild> b(3);
    b[0] = {400, 20, PngKopf(400, 20) + "rest-of-image-0", PngKopf(800, 40) + "double"};
    b[1] = {8, 32, PngKopf(8, 32), ""};
    b[2] = {1, 1, PngKopf(1, 1) + "x", PngKopf(2, 2)};
    return b;
}

std::string Fehlertext(const std::string& bytes) {
    try {
        BitmaplisteLesen(bytes);
    } catch (const BitmaplistenFehler& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(Bitmapliste, WrittenListReadsBackUnchanged) {
    const std::vector<BmlBild> b = Beispiel();
    const std::vector<BmlBild> gelesen = BitmaplisteLesen(BitmaplisteSchreiben(b));
    ASSERT_EQ(gelesen.size(), b.size());
    for (std::size_t i = 0; i < b.size(); ++i) {
        EXPECT_EQ(gelesen[i].breite, b[i].breite);
        EXPECT_EQ(gelesen[i].hoehe, b[i].hoehe);
        EXPECT_EQ(gelesen[i].png, b[i].png);
        EXPECT_EQ(gelesen[i].png2x, b[i].png2x);
    }
    EXPECT_TRUE(BitmaplisteLesen(BitmaplisteSchreiben({})).empty());
}

TEST(Bitmapliste, DamagedFilesAreRefusedWithTheirReason) {
    const std::string gut = BitmaplisteSchreiben(Beispiel());
    const auto mit = [&gut](std::size_t at, std::uint32_t v, int bytes) {
        std::string s = gut;
        for (int i = 0; i < bytes; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    EXPECT_EQ(Fehlertext(""), "shorter than its header");
    EXPECT_EQ(Fehlertext(std::string("GIF89a\x01\x00\x00", 9)), "not a bitmap list (wrong signature)");
    EXPECT_EQ(Fehlertext(mit(4, 2, 2)), "unknown bitmap list version 2");
    EXPECT_EQ(Fehlertext(mit(6, 5000, 2)), "too many images (5000)");
    EXPECT_EQ(Fehlertext(mit(6, 40, 2)), "directory cut short");
    EXPECT_EQ(Fehlertext(mit(8, 0, 2)), "image 0: size out of range");
    EXPECT_EQ(Fehlertext(mit(8, 401, 2)), "image 0: size differs from its PNG");
    // Lengths that point past the end, also ones whose sum would overflow.
    EXPECT_EQ(Fehlertext(mit(12, 0xFFFFFFFF, 4)), "image 0: data runs past the end of the file");
    EXPECT_EQ(Fehlertext(mit(16, 0xFFFFFFF0, 4)), "image 0: double-size data runs past the end of the file");
    EXPECT_EQ(Fehlertext(gut + "x"), "trailing bytes after the last image");

    std::vector<BmlBild> b = Beispiel();
    b[1].png = "not a png at all, but long enough";
    EXPECT_EQ(Fehlertext(BitmaplisteSchreiben(b)), "image 1: not a PNG image");
    b = Beispiel();
    b[2].png2x = PngKopf(3, 2);
    EXPECT_EQ(Fehlertext(BitmaplisteSchreiben(b)), "image 2: double-size image is not twice the size");
}

TEST(Bitmapliste, EveryCutOfAGoodFileIsRefused) {
    const std::string gut = BitmaplisteSchreiben(Beispiel());
    for (std::size_t n = 0; n < gut.size(); ++n)
        EXPECT_THROW(BitmaplisteLesen(std::string_view(gut).substr(0, n)), BitmaplistenFehler) << n;
}

TEST(Bitmapliste, WriterRefusesWhatTheReaderWould) {
    std::vector<BmlBild> b = Beispiel();
    b[0].breite = 0;
    EXPECT_THROW(BitmaplisteSchreiben(b), BitmaplistenFehler);
    b = Beispiel();
    b[1].png.clear();
    EXPECT_THROW(BitmaplisteSchreiben(b), BitmaplistenFehler);
    b = Beispiel();
    b[0].hoehe = kBmlMaxSeite + 1;
    EXPECT_THROW(BitmaplisteSchreiben(b), BitmaplistenFehler);
}

TEST(Bitmapliste, PngSizeComesFromTheHeaderChunk) {
    int w = 0, h = 0;
    EXPECT_TRUE(PngGroesse(PngKopf(130, 24), w, h));
    EXPECT_EQ(w, 130);
    EXPECT_EQ(h, 24);
    EXPECT_FALSE(PngGroesse(PngKopf(0, 24), w, h));
    EXPECT_FALSE(PngGroesse(PngKopf(130, 24).substr(0, 23), w, h));
    std::string falsch = PngKopf(1, 1);
    falsch[12] = 'X';  // chunk type not IHDR
    EXPECT_FALSE(PngGroesse(falsch, w, h));
}
