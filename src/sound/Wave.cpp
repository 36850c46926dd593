#include "sound/Wave.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace zanit {

namespace {

std::uint16_t Le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}
std::int16_t Le16s(std::string_view b, std::size_t at) { return static_cast<std::int16_t>(Le16(b, at)); }
std::uint32_t Le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(Le16(b, at)) | (static_cast<std::uint32_t>(Le16(b, at + 2)) << 16);
}

void Put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::int16_t Begrenzt(long long v) {
    return static_cast<std::int16_t>(std::clamp<long long>(v, std::numeric_limits<std::int16_t>::min(),
                                                           std::numeric_limits<std::int16_t>::max()));
}
// Two's complement wrap into 16 bits.
std::int16_t Umgebrochen(long long v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<unsigned long long>(v) & 0xFFFFu));
}

constexpr std::array<int, 89> kImaSchritte = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr std::array<int, 8> kImaIndexSchritt = {-1, -1, -1, -1, 2, 4, 6, 8};

// One IMA channel: predicted sample and step index.
struct ImaKanal {
    int wert = 0;
    int index = 0;

    std::int16_t Dekodiere(int nibble, bool begrenzen) {
        const int schritt = kImaSchritte[static_cast<std::size_t>(index)];
        int diff = schritt >> 3;
        if (nibble & 4) diff += schritt;
        if (nibble & 2) diff += schritt >> 1;
        if (nibble & 1) diff += schritt >> 2;
        const long long neu = (nibble & 8) ? static_cast<long long>(wert) - diff : static_cast<long long>(wert) + diff;
        wert = begrenzen ? Begrenzt(neu) : Umgebrochen(neu);
        index = std::clamp(index + kImaIndexSchritt[static_cast<std::size_t>(nibble & 7)], 0, 88);
        return static_cast<std::int16_t>(wert);
    }

    // The nibble whose decoding comes closest to `ziel`; the state moves as the decoder's will.
    int Kodiere(int ziel, bool begrenzen) {
        int schritt = kImaSchritte[static_cast<std::size_t>(index)];
        int diff = ziel - wert;
        int nibble = 0;
        if (diff < 0) {
            nibble = 8;
            diff = -diff;
        }
        for (int bit = 4; bit > 0; bit >>= 1) {
            if (diff >= schritt) {
                nibble |= bit;
                diff -= schritt;
            }
            schritt >>= 1;
        }
        Dekodiere(nibble, begrenzen);
        return nibble;
    }
};

constexpr std::array<int, 16> kMsAnpassung = {230, 230, 230, 230, 307, 409, 512, 614,
                                              768, 614, 512, 409, 307, 230, 230, 230};
constexpr std::array<std::array<int, 2>, 7> kMsKoeffizienten = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};

bool IstIma(std::uint16_t tag) { return tag == kWaveImaWrap || tag == kWaveIma33 || tag == kWaveIma206 || tag == kWaveImaStandard; }

void PruefeKanaele(int kanaele) {
    if (kanaele < 1 || kanaele > 2) throw WaveFehler("only mono and stereo recordings can be played");
}

}  // namespace

ImaVariante ImaVarianteVon(std::uint16_t tag) {
    if (tag == kWaveImaStandard) return {false, true};
    return {true, tag != kWaveImaWrap};
}

WaveTeile LeseWave(std::string_view bild) {
    if (bild.size() < 12 || bild.substr(0, 4) != "RIFF" || bild.substr(8, 4) != "WAVE")
        throw WaveFehler("not a RIFF WAVE image");
    // The declared RIFF length never lets the chunks reach past the image.
    const std::size_t ende = std::min<std::size_t>(bild.size(), std::size_t(8) + Le32(bild, 4));
    WaveTeile teile;
    bool format = false, daten = false;
    std::size_t pos = 12;
    while (pos + 8 <= ende) {
        const std::string_view id = bild.substr(pos, 4);
        const std::size_t groesse = Le32(bild, pos + 4);
        const std::size_t inhalt = pos + 8;
        if (groesse > ende - inhalt) throw WaveFehler("chunk longer than the image");
        if (id == "fmt ") {
            if (groesse < 16) throw WaveFehler("format chunk too short");
            WaveFormat& f = teile.format;
            f.tag = Le16(bild, inhalt);
            f.kanaele = Le16(bild, inhalt + 2);
            f.rate = Le32(bild, inhalt + 4);
            f.blockgroesse = Le16(bild, inhalt + 12);
            f.bits = Le16(bild, inhalt + 14);
            if (groesse >= 20 && Le16(bild, inhalt + 16) >= 2) f.blockSamples = Le16(bild, inhalt + 18);
            format = true;
        } else if (id == "fact" && groesse >= 4) {
            teile.frames = Le32(bild, inhalt);
        } else if (id == "data") {
            teile.daten = bild.substr(inhalt, groesse);
            daten = true;
        }
        pos = inhalt + groesse + (groesse & 1);
    }
    if (!format) throw WaveFehler("no format chunk");
    if (!daten) throw WaveFehler("no data chunk");
    return teile;
}

std::vector<std::int16_t> DekodiereIma(std::string_view daten, int kanaele, int blockgroesse, int blockSamples,
                                       ImaVariante variante) {
    PruefeKanaele(kanaele);
    const std::size_t kopf = 4 * static_cast<std::size_t>(kanaele);
    const std::size_t block = static_cast<std::size_t>(blockgroesse);
    if (block < kopf || block % kopf != 0) throw WaveFehler("IMA ADPCM block size does not fit the channels");
    const std::size_t hoechstens = (block - kopf) * 2 / static_cast<std::size_t>(kanaele) + 1;
    std::size_t jeBlock = blockSamples > 0 ? static_cast<std::size_t>(blockSamples) : hoechstens;
    if (jeBlock > hoechstens) throw WaveFehler("more IMA ADPCM samples per block than the block holds");

    std::vector<std::int16_t> aus;
    aus.reserve(daten.size() * 2 + kanaele);
    std::array<ImaKanal, 2> k{};
    for (std::size_t start = 0; start + kopf <= daten.size(); start += block) {
        const std::string_view b = daten.substr(start, std::min(block, daten.size() - start));
        // A partial block holds whole groups of 4 bytes per channel.
        const std::size_t gruppen = (b.size() - kopf) / kopf;
        const std::size_t n = std::min(jeBlock, gruppen * 8 + 1);
        const std::size_t basis = aus.size();
        aus.resize(basis + n * static_cast<std::size_t>(kanaele));
        for (int c = 0; c < kanaele; ++c) {
            ImaKanal& kanal = k[static_cast<std::size_t>(c)];
            kanal.wert = Le16s(b, 4 * static_cast<std::size_t>(c));
            kanal.index = std::clamp<int>(static_cast<unsigned char>(b[4 * static_cast<std::size_t>(c) + 2]), 0, 88);
            aus[basis + static_cast<std::size_t>(c)] = static_cast<std::int16_t>(kanal.wert);
            for (std::size_t i = 1; i < n; ++i) {
                // Sample i (1-based after the header) lies in group (i-1)/8 of this channel.
                const std::size_t g = (i - 1) / 8, innen = (i - 1) % 8;
                const std::size_t byte = kopf + (g * static_cast<std::size_t>(kanaele) + static_cast<std::size_t>(c)) * 4 + innen / 2;
                const int v = static_cast<unsigned char>(b[byte]);
                const bool frueh = innen % 2 == 0;
                const int nibble = (frueh == variante.hohesNibbleZuerst) ? (v >> 4) : (v & 0x0F);
                aus[basis + i * static_cast<std::size_t>(kanaele) + static_cast<std::size_t>(c)] =
                    kanal.Dekodiere(nibble, variante.begrenzen);
            }
        }
    }
    return aus;
}

std::vector<std::int16_t> DekodiereMsAdpcm(std::string_view daten, int kanaele, int blockgroesse,
                                           int blockSamples) {
    PruefeKanaele(kanaele);
    const std::size_t ch = static_cast<std::size_t>(kanaele);
    const std::size_t kopf = 7 * ch;
    const std::size_t block = static_cast<std::size_t>(blockgroesse);
    if (block < kopf) throw WaveFehler("MS ADPCM block smaller than its header");
    const std::size_t hoechstens = (block - kopf) * 2 / ch + 2;
    const std::size_t jeBlock = blockSamples > 0 ? static_cast<std::size_t>(blockSamples) : hoechstens;
    if (jeBlock > hoechstens) throw WaveFehler("more MS ADPCM samples per block than the block holds");

    std::vector<std::int16_t> aus;
    aus.reserve(daten.size() * 2 + 2 * ch);
    for (std::size_t start = 0; start + kopf <= daten.size(); start += block) {
        const std::string_view b = daten.substr(start, std::min(block, daten.size() - start));
        const std::size_t n = std::min(jeBlock, (b.size() - kopf) * 2 / ch + 2);
        std::array<int, 2> c1{}, c2{}, delta{}, s1{}, s2{};
        for (std::size_t c = 0; c < ch; ++c) {
            const unsigned pred = static_cast<unsigned char>(b[c]);
            if (pred >= kMsKoeffizienten.size()) throw WaveFehler("MS ADPCM predictor out of range");
            c1[c] = kMsKoeffizienten[pred][0];
            c2[c] = kMsKoeffizienten[pred][1];
            delta[c] = Le16s(b, ch + 2 * c);
            s1[c] = Le16s(b, 3 * ch + 2 * c);
            s2[c] = Le16s(b, 5 * ch + 2 * c);
        }
        const std::size_t basis = aus.size();
        aus.resize(basis + n * ch);
        // The header's second sample is the earlier one.
        for (std::size_t c = 0; c < ch && n > 0; ++c) aus[basis + c] = static_cast<std::int16_t>(s2[c]);
        for (std::size_t c = 0; c < ch && n > 1; ++c) aus[basis + ch + c] = static_cast<std::int16_t>(s1[c]);
        for (std::size_t i = 2 * ch; i < n * ch; ++i) {
            const std::size_t nib = i - 2 * ch;
            const int v = static_cast<unsigned char>(b[kopf + nib / 2]);
            int nibble = (nib % 2 == 0) ? (v >> 4) : (v & 0x0F);
            const std::size_t c = i % ch;
            const long long vorhersage = (static_cast<long long>(s1[c]) * c1[c] + static_cast<long long>(s2[c]) * c2[c]) >> 8;
            const long long schritt = delta[c];
            // Damaged data cannot make the step grow without bound.
            delta[c] = static_cast<int>(std::clamp<long long>((kMsAnpassung[static_cast<std::size_t>(nibble)] * schritt) >> 8,
                                                              16, 1 << 24));
            if (nibble & 8) nibble -= 16;
            const std::int16_t s = Begrenzt(vorhersage + nibble * schritt);
            s2[c] = s1[c];
            s1[c] = s;
            aus[basis + i] = s;
        }
    }
    return aus;
}

PcmAudio DekodiereWave(std::string_view bild) {
    const WaveTeile teile = LeseWave(bild);
    const WaveFormat& f = teile.format;
    PruefeKanaele(f.kanaele);
    if (f.rate < 1000 || f.rate > 192000) throw WaveFehler("sample rate out of range");
    PcmAudio audio;
    audio.kanaele = f.kanaele;
    audio.rate = static_cast<int>(f.rate);
    const std::string_view d = teile.daten;
    if (f.tag == kWavePcm) {
        if (f.bits == 16) {
            const std::size_t n = d.size() / (2 * f.kanaele) * f.kanaele;
            audio.samples.resize(n);
            for (std::size_t i = 0; i < n; ++i) audio.samples[i] = Le16s(d, 2 * i);
        } else if (f.bits == 8) {
            const std::size_t n = d.size() / f.kanaele * f.kanaele;
            audio.samples.resize(n);
            for (std::size_t i = 0; i < n; ++i)
                audio.samples[i] = static_cast<std::int16_t>((static_cast<unsigned char>(d[i]) - 128) * 256);
        } else {
            throw WaveFehler("PCM recordings must have 8 or 16 bits");
        }
    } else if (f.tag == kWaveMsAdpcm) {
        audio.samples = DekodiereMsAdpcm(d, f.kanaele, f.blockgroesse, f.blockSamples);
    } else if (IstIma(f.tag) && f.tag != kWaveImaStandard) {
        audio.samples = DekodiereIma(d, f.kanaele, f.blockgroesse, f.blockSamples, ImaVarianteVon(f.tag));
    } else {
        throw WaveFehler("unsupported format tag " + std::to_string(f.tag));
    }
    // The ADPCM codings fill their last block; the frame count says where the recording ends.
    if (f.tag != kWavePcm && teile.frames > 0 && teile.frames < audio.Frames())
        audio.samples.resize(std::size_t(teile.frames) * f.kanaele);
    return audio;
}

std::string KodiereIma(const std::vector<std::int16_t>& samples, int kanaele, int blockgroesse,
                       ImaVariante variante) {
    PruefeKanaele(kanaele);
    const std::size_t ch = static_cast<std::size_t>(kanaele);
    const std::size_t kopf = 4 * ch;
    const std::size_t block = static_cast<std::size_t>(blockgroesse);
    if (block < 2 * kopf || block % kopf != 0) throw WaveFehler("IMA ADPCM block size does not fit the channels");
    const std::size_t jeBlock = (block - kopf) * 2 / ch + 1;
    const std::size_t frames = samples.size() / ch;
    std::string aus;
    std::array<ImaKanal, 2> k{};
    for (std::size_t f0 = 0; f0 < frames; f0 += jeBlock) {
        const std::size_t n = std::min(jeBlock, frames - f0);
        std::string b(block, '\0');
        for (std::size_t c = 0; c < ch; ++c) {
            ImaKanal& kanal = k[c];
            kanal.wert = samples[f0 * ch + c];
            b[4 * c] = static_cast<char>(kanal.wert & 0xFF);
            b[4 * c + 1] = static_cast<char>((kanal.wert >> 8) & 0xFF);
            b[4 * c + 2] = static_cast<char>(kanal.index);
            for (std::size_t i = 1; i < jeBlock; ++i) {
                // Past the end of the audio the block is filled with silence towards the last sample.
                const int ziel = i < n ? samples[(f0 + i) * ch + c] : kanal.wert;
                const int nibble = kanal.Kodiere(ziel, variante.begrenzen);
                const std::size_t g = (i - 1) / 8, innen = (i - 1) % 8;
                const std::size_t byte = kopf + (g * ch + c) * 4 + innen / 2;
                const bool frueh = innen % 2 == 0;
                const int schiebe = (frueh == variante.hohesNibbleZuerst) ? 4 : 0;
                b[byte] = static_cast<char>(static_cast<unsigned char>(b[byte]) | (nibble << schiebe));
            }
        }
        // The last block keeps only the groups the audio needs.
        if (n < jeBlock) b.resize(kopf + ((n - 1 + 7) / 8) * kopf);
        aus += b;
    }
    return aus;
}

namespace {

std::string RiffBild(const std::string& fmt, const std::string& fact, std::string_view daten) {
    std::string inhalt = "WAVE";
    inhalt += "fmt ";
    Put32(inhalt, static_cast<std::uint32_t>(fmt.size()));
    inhalt += fmt;
    if (!fact.empty()) {
        inhalt += "fact";
        Put32(inhalt, static_cast<std::uint32_t>(fact.size()));
        inhalt += fact;
    }
    inhalt += "data";
    Put32(inhalt, static_cast<std::uint32_t>(daten.size()));
    inhalt += daten;
    if (daten.size() % 2) inhalt.push_back('\0');
    std::string bild = "RIFF";
    Put32(bild, static_cast<std::uint32_t>(inhalt.size()));
    return bild + inhalt;
}

}  // namespace

std::string ImaWaveBild(const PcmAudio& audio, std::uint16_t tag, int blockgroesse) {
    if (!IstIma(tag)) throw WaveFehler("not an IMA ADPCM tag");
    const std::string daten = KodiereIma(audio.samples, audio.kanaele, blockgroesse, ImaVarianteVon(tag));
    const int jeBlock = (blockgroesse - 4 * audio.kanaele) * 2 / audio.kanaele + 1;
    std::string fmt;
    Put16(fmt, tag);
    Put16(fmt, static_cast<std::uint16_t>(audio.kanaele));
    Put32(fmt, static_cast<std::uint32_t>(audio.rate));
    Put32(fmt, static_cast<std::uint32_t>(static_cast<long long>(audio.rate) * blockgroesse / jeBlock));
    Put16(fmt, static_cast<std::uint16_t>(blockgroesse));
    Put16(fmt, 4);
    Put16(fmt, 2);
    Put16(fmt, static_cast<std::uint16_t>(jeBlock));
    std::string fact;
    Put32(fact, static_cast<std::uint32_t>(audio.Frames()));
    return RiffBild(fmt, fact, daten);
}

std::string PcmWaveBild(const PcmAudio& audio) {
    std::string fmt;
    Put16(fmt, kWavePcm);
    Put16(fmt, static_cast<std::uint16_t>(audio.kanaele));
    Put32(fmt, static_cast<std::uint32_t>(audio.rate));
    Put32(fmt, static_cast<std::uint32_t>(audio.rate * audio.kanaele * 2));
    Put16(fmt, static_cast<std::uint16_t>(audio.kanaele * 2));
    Put16(fmt, 16);
    std::string daten;
    daten.reserve(audio.samples.size() * 2);
    for (std::int16_t s : audio.samples) Put16(daten, static_cast<std::uint16_t>(s));
    return RiffBild(fmt, {}, daten);
}

}  // namespace zanit
