#include "ui/Bitmapliste.h"

#include <cstring>

namespace zanit {
namespace {

constexpr char kMagie[4] = {'Z', 'B', 'M', 'L'};
constexpr std::size_t kKopf = 8;      // magic, version, count
constexpr std::size_t kEintrag = 12;  // width, height, two lengths
constexpr char kPngSignatur[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};

std::uint32_t Lese16(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

std::uint32_t Lese32(std::string_view b, std::size_t at) {
    return Lese16(b, at) | Lese16(b, at + 2) << 16;
}

std::uint32_t Lese32BE(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

void Schreibe16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Schreibe32(std::string& out, std::uint32_t v) {
    Schreibe16(out, v & 0xFFFF);
    Schreibe16(out, v >> 16);
}

[[noreturn]] void Fehler(const std::string& grund) { throw BitmaplistenFehler(grund); }

bool IstPng(std::string_view b) {
    return b.size() >= sizeof kPngSignatur && std::memcmp(b.data(), kPngSignatur, sizeof kPngSignatur) == 0;
}

}  // namespace

bool PngGroesse(std::string_view png, int& breite, int& hoehe) {
    // Signature, then the IHDR chunk: length 13, type, width, height (big-endian).
    if (png.size() < 24 || !IstPng(png) || png.substr(12, 4) != "IHDR") return false;
    const std::uint32_t w = Lese32BE(png, 16), h = Lese32BE(png, 20);
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return false;
    breite = static_cast<int>(w);
    hoehe = static_cast<int>(h);
    return true;
}

std::vector<BmlBild> BitmaplisteLesen(std::string_view bytes) {
    if (bytes.size() < kKopf) Fehler("shorter than its header");
    if (std::memcmp(bytes.data(), kMagie, sizeof kMagie) != 0) Fehler("not a bitmap list (wrong signature)");
    const std::uint32_t version = Lese16(bytes, 4);
    if (version != kBmlVersion) Fehler("unknown bitmap list version " + std::to_string(version));
    const std::uint32_t anzahl = Lese16(bytes, 6);
    if (anzahl > kBmlMaxBilder) Fehler("too many images (" + std::to_string(anzahl) + ")");
    const std::size_t verzeichnisEnde = kKopf + kEintrag * anzahl;
    if (bytes.size() < verzeichnisEnde) Fehler("directory cut short");

    std::vector<BmlBild> bilder(anzahl);
    std::size_t pos = verzeichnisEnde;
    for (std::uint32_t i = 0; i < anzahl; ++i) {
        const std::size_t e = kKopf + kEintrag * i;
        const std::string bild = "image " + std::to_string(i) + ": ";
        const std::uint32_t w = Lese16(bytes, e), h = Lese16(bytes, e + 2);
        const std::uint32_t laenge = Lese32(bytes, e + 4), laenge2x = Lese32(bytes, e + 8);
        if (w == 0 || h == 0 || w > kBmlMaxSeite || h > kBmlMaxSeite) Fehler(bild + "size out of range");
        // Compared against what is left, so no sum can overflow.
        if (laenge > bytes.size() - pos) Fehler(bild + "data runs past the end of the file");
        const std::string_view png = bytes.substr(pos, laenge);
        pos += laenge;
        if (laenge2x > bytes.size() - pos) Fehler(bild + "double-size data runs past the end of the file");
        const std::string_view png2x = bytes.substr(pos, laenge2x);
        pos += laenge2x;

        int pw = 0, ph = 0;
        if (!PngGroesse(png, pw, ph)) Fehler(bild + "not a PNG image");
        if (pw != static_cast<int>(w) || ph != static_cast<int>(h)) Fehler(bild + "size differs from its PNG");
        if (!png2x.empty()) {
            if (!PngGroesse(png2x, pw, ph)) Fehler(bild + "double-size data is not a PNG image");
            if (pw != static_cast<int>(2 * w) || ph != static_cast<int>(2 * h))
                Fehler(bild + "double-size image is not twice the size");
        }
        bilder[i].breite = static_cast<int>(w);
        bilder[i].hoehe = static_cast<int>(h);
        bilder[i].png.assign(png);
        bilder[i].png2x.assign(png2x);
    }
    if (pos != bytes.size()) Fehler("trailing bytes after the last image");
    return bilder;
}

std::string BitmaplisteSchreiben(const std::vector<BmlBild>& bilder) {
    if (bilder.size() > static_cast<std::size_t>(kBmlMaxBilder)) Fehler("too many images");
    std::string out(kMagie, sizeof kMagie);
    Schreibe16(out, kBmlVersion);
    Schreibe16(out, static_cast<std::uint32_t>(bilder.size()));
    for (std::size_t i = 0; i < bilder.size(); ++i) {
        const BmlBild& b = bilder[i];
        if (b.breite <= 0 || b.hoehe <= 0 || b.breite > kBmlMaxSeite || b.hoehe > kBmlMaxSeite)
            Fehler("image " + std::to_string(i) + ": size out of range");
        if (b.png.empty()) Fehler("image " + std::to_string(i) + ": no image at scale 1");
        Schreibe16(out, static_cast<std::uint32_t>(b.breite));
        Schreibe16(out, static_cast<std::uint32_t>(b.hoehe));
        Schreibe32(out, static_cast<std::uint32_t>(b.png.size()));
        Schreibe32(out, static_cast<std::uint32_t>(b.png2x.size()));
    }
    for (const BmlBild& b : bilder) out += b.png + b.png2x;
    return out;
}

}  // namespace zanit
