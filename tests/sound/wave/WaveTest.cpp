// Recordings decoded to PCM: sox, an independent implementation of the same codecs, encodes test signals and
// decodes them; our decoding must agree sample for sample. The IMA ADPCM variants of the sound tables differ
// from sox's in the nibble order (high nibble first) and, under tag 3, in wrapping instead of clamping; both
// differences are tested on their own. Damaged images must be refused, never read out of bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound/Soxhilfe.h"
#include "sound/Wave.h"

namespace zanit {
namespace {

using test::Soxordner;

std::size_t Versatz(const std::string& bild, std::string_view teil) {
    return static_cast<std::size_t>(teil.data() - bild.data());
}

void SetzeTag(std::string& bild, std::uint16_t tag) {
    // Every image here starts with its format chunk.
    ASSERT_EQ(bild.substr(12, 4), "fmt ");
    bild[20] = static_cast<char>(tag & 0xFF);
    bild[21] = static_cast<char>(tag >> 8);
}

// Swaps the nibbles of every data byte of the IMA ADPCM blocks (the headers stay).
void TauscheNibbles(std::string& bild) {
    const WaveTeile t = LeseWave(bild);
    const std::size_t start = Versatz(bild, t.daten), kopf = 4u * t.format.kanaele;
    for (std::size_t i = 0; i < t.daten.size(); ++i) {
        if (i % t.format.blockgroesse < kopf) continue;
        const auto v = static_cast<unsigned char>(bild[start + i]);
        bild[start + i] = static_cast<char>(((v & 0x0F) << 4) | (v >> 4));
    }
}

std::vector<std::int16_t> Anfang(const std::vector<std::int16_t>& s, std::size_t n) {
    return std::vector<std::int16_t>(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(std::min(n, s.size())));
}

struct Signal {
    const char* name;
    int rate;
    int kanaele;
    const char* synth;
};
// Loud enough to reach the clamping of the predictor, with steps that drive the step index to both ends.
const Signal kSignale[] = {
    {"mono", 16000, 1, "synth 0.3 sine 440 square 1500 vol 0.95"},
    {"stereo", 22050, 2, "synth 0.25 sine 300 square 2000 vol 0.99"},
};

TEST(Wave, ImaBlocksDecodeAsSoxDecodesThem) {
    Soxordner o;
    for (const Signal& s : kSignale) {
        SCOPED_TRACE(s.name);
        o.Sox("-n -r " + std::to_string(s.rate) + " -c " + std::to_string(s.kanaele) + " -b 16 sig.wav " + s.synth);
        o.Sox("sig.wav -e ima-adpcm ima.wav");
        const std::string bild = o.Lies("ima.wav");
        const std::vector<std::int16_t> sox = o.Dekodiert("ima.wav");

        // sox's layout: low nibble first, clamping.
        const WaveTeile t = LeseWave(bild);
        ASSERT_EQ(t.format.tag, kWaveImaStandard);
        EXPECT_EQ(DekodiereIma(t.daten, t.format.kanaele, t.format.blockgroesse, t.format.blockSamples, {false, true}), sox);

        // The same audio with the high nibble first under the clamping tags of the sound tables; the image
        // ends where its frame count says, sox decodes its padding too.
        for (std::uint16_t tag : {kWaveIma33, kWaveIma206}) {
            std::string gedreht = bild;
            TauscheNibbles(gedreht);
            SetzeTag(gedreht, tag);
            const PcmAudio a = DekodiereWave(gedreht);
            EXPECT_EQ(a.kanaele, s.kanaele);
            EXPECT_EQ(a.rate, s.rate);
            EXPECT_EQ(a.Frames(), t.frames);
            EXPECT_EQ(a.samples, Anfang(sox, a.samples.size()));
        }
        // sox's own tag is not one of the sound tables' codings.
        EXPECT_THROW(DekodiereWave(bild), WaveFehler);
    }
}

TEST(Wave, ImaTag3WrapsWhereTheOthersClamp) {
    // One mono block: first sample 32000 at the largest step; nibble 7 adds 61436.
    std::string daten = {'\x00', '\x7D', 88, 0, '\x70', '\x00', '\x00', '\x00'};
    daten[0] = static_cast<char>(32000 & 0xFF);
    daten[1] = static_cast<char>(32000 >> 8);
    const auto klemmt = DekodiereIma(daten, 1, 8, 0, ImaVarianteVon(kWaveIma33));
    const auto bricht = DekodiereIma(daten, 1, 8, 0, ImaVarianteVon(kWaveImaWrap));
    ASSERT_EQ(klemmt.size(), 9u);
    EXPECT_EQ(klemmt[0], 32000);
    EXPECT_EQ(klemmt[1], 32767);
    EXPECT_EQ(bricht[1], 32000 + 61436 - 65536);
    // The high nibble came first: the low nibble 0 of the same byte is the next sample (+4095).
    EXPECT_EQ(bricht[2], 32000 + 61436 - 65536 + 4095);
    EXPECT_EQ(klemmt[2], 32767);
    // A step index beyond the table counts as its last entry.
    daten[2] = static_cast<char>(200);
    EXPECT_EQ(DekodiereIma(daten, 1, 8, 0, ImaVarianteVon(kWaveIma33)), klemmt);
}

TEST(Wave, MsAdpcmDecodesAsSoxDecodesIt) {
    Soxordner o;
    for (const Signal& s : kSignale) {
        SCOPED_TRACE(s.name);
        o.Sox("-n -r " + std::to_string(s.rate) + " -c " + std::to_string(s.kanaele) + " -b 16 sig.wav " + s.synth);
        o.Sox("sig.wav -e ms-adpcm ms.wav");
        const PcmAudio a = DekodiereWave(o.Lies("ms.wav"));
        const std::vector<std::int16_t> sox = o.Dekodiert("ms.wav");
        EXPECT_EQ(a.Frames(), DekodiereWave(o.Lies("sig.wav")).Frames());
        EXPECT_EQ(a.samples, Anfang(sox, a.samples.size()));
    }
}

TEST(Wave, PcmOf8And16Bits) {
    Soxordner o;
    o.Sox("-n -r 11025 -c 2 -b 16 sig16.wav synth 0.1 sine 500 sine 700");
    o.Sox("-n -r 8000 -c 1 -b 8 -e unsigned sig8.wav synth 0.1 sine 500");
    for (const char* name : {"sig16.wav", "sig8.wav"}) {
        SCOPED_TRACE(name);
        const PcmAudio a = DekodiereWave(o.Lies(name));
        EXPECT_GT(a.Frames(), 700u);
        EXPECT_EQ(a.samples, o.Dekodiert(name));
    }
}

// Signal to noise ratio of a coding in dB.
double Rauschabstand(const std::vector<std::int16_t>& original, const std::vector<std::int16_t>& kodiert) {
    double fehler = 1e-9, energie = 0;
    for (std::size_t i = 0; i < original.size() && i < kodiert.size(); ++i) {
        const double d = original[i] - kodiert[i];
        fehler += d * d;
        energie += static_cast<double>(original[i]) * original[i];
    }
    return 10 * std::log10(energie / fehler);
}

// Our encoder writes the sound tables' coding; sox, given the same blocks in its own nibble order, must hear
// what our decoder hears, and that must be close to the signal encoded.
TEST(Wave, OwnImaEncoderAgreesWithSox) {
    Soxordner o;
    for (const Signal& s : kSignale) {
        SCOPED_TRACE(s.name);
        o.Sox("-n -r " + std::to_string(s.rate) + " -c " + std::to_string(s.kanaele) + " -b 16 sig.wav " + s.synth);
        const PcmAudio original = DekodiereWave(o.Lies("sig.wav"));
        const std::string bild = ImaWaveBild(original, kWaveIma33, 512);
        const PcmAudio unser = DekodiereWave(bild);
        ASSERT_EQ(unser.samples.size(), original.samples.size());

        std::string fuerSox = bild;
        TauscheNibbles(fuerSox);
        SetzeTag(fuerSox, kWaveImaStandard);
        o.Schreibe("unser.wav", fuerSox);
        EXPECT_EQ(unser.samples, Anfang(o.Dekodiert("unser.wav"), unser.samples.size()));

        // As faithful as sox's own encoder, within 1 dB of signal to noise ratio.
        o.Sox("sig.wav -e ima-adpcm sox.wav");
        const std::vector<std::int16_t> vonSox = o.Dekodiert("sox.wav");
        EXPECT_GT(Rauschabstand(original.samples, unser.samples), Rauschabstand(original.samples, vonSox) - 1.0);
    }
}

TEST(Wave, DamagedImagesCannotBePlayed) {
    PcmAudio ton{1, 8000, std::vector<std::int16_t>(1000, 1234)};
    const std::string pcm = PcmWaveBild(ton);
    const std::string ima = ImaWaveBild(ton, kWaveIma33, 256);
    const WaveTeile t = LeseWave(ima);
    const std::size_t fmt = 20;  // format chunk contents
    auto geaendert = [](std::string b, std::size_t at, std::initializer_list<int> bytes) {
        for (int v : bytes) b[at++] = static_cast<char>(v);
        return b;
    };
    auto ohne = [](std::string b, std::size_t n) { return b.substr(0, b.size() - n); };
    const std::size_t datenGroesse = Versatz(ima, t.daten) - 4;
    const std::vector<std::pair<const char*, std::string>> faelle = {
        {"empty", ""},
        {"no WAVE form", geaendert(pcm, 8, {'A', 'V', 'I', ' '})},
        {"header only", pcm.substr(0, 12)},
        {"format chunk cut", pcm.substr(0, 30)},
        {"format chunk too short", geaendert(pcm, 16, {8, 0, 0, 0})},
        {"data chunk longer than the image", ohne(ima, 10)},
        {"data size near 4 GiB", geaendert(ima, datenGroesse, {0xF0, 0xFF, 0xFF, 0xFF})},
        {"zero channels", geaendert(ima, fmt + 2, {0, 0})},
        {"three channels", geaendert(pcm, fmt + 2, {3, 0})},
        {"rate 0", geaendert(pcm, fmt + 4, {0, 0, 0, 0})},
        {"12-bit PCM", geaendert(pcm, fmt + 14, {12, 0})},
        {"IMA block align 0", geaendert(ima, fmt + 12, {0, 0})},
        {"IMA block align odd", geaendert(ima, fmt + 12, {0x01, 0x01})},
        {"IMA samples per block beyond the block", geaendert(ima, fmt + 18, {0xFF, 0x7F})},
        {"unknown format tag", geaendert(pcm, fmt, {0x55, 0})},
    };
    for (const auto& [name, bild] : faelle) EXPECT_THROW(DekodiereWave(bild), WaveFehler) << name;

    // Every cut of a sound image is decoded as far as it goes or refused.
    for (const std::string* bild : {&pcm, &ima}) {
        for (std::size_t n = 0; n < bild->size(); n += 7) {
            try {
                const PcmAudio a = DekodiereWave(bild->substr(0, n));
                EXPECT_LE(a.Frames(), ton.Frames());
            } catch (const WaveFehler&) {
            }
        }
    }
}

TEST(Wave, MsAdpcmPredictorOutOfRangeIsRefused) {
    Soxordner o;
    o.Sox("-n -r 8000 -c 1 -b 16 sig.wav synth 0.05 sine 440");
    o.Sox("sig.wav -e ms-adpcm ms.wav");
    std::string bild = o.Lies("ms.wav");
    const std::size_t daten = Versatz(bild, LeseWave(bild).daten);
    ASSERT_NO_THROW(DekodiereWave(bild));
    bild[daten] = 7;
    EXPECT_THROW(DekodiereWave(bild), WaveFehler);
}

}  // namespace
}  // namespace zanit
