#pragma once
// Recordings of the sound tables: RIFF WAVE images decoded to 16-bit PCM. Format tags: 1 (PCM, 8 or 16 bit),
// 2 (Microsoft ADPCM), 3, 0x33 and 0x206 (4-bit IMA ADPCM with the high nibble as the earlier sample;
// 0x33 and 0x206 clamp the predicted sample to 16 bits, 3 lets it wrap). Everything else cannot be played.
// A damaged image gives WaveFehler; nothing in an image can make the reader go out of its bounds.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

// A recording that cannot be played, with the reason.
class WaveFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decoded audio: interleaved signed 16-bit samples.
struct PcmAudio {
    int kanaele = 0;
    int rate = 0;  // frames per second
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return kanaele > 0 ? samples.size() / static_cast<std::size_t>(kanaele) : 0; }
    double Sekunden() const { return rate > 0 ? static_cast<double>(Frames()) / rate : 0.0; }
};

// The format chunk as far as decoding needs it.
struct WaveFormat {
    std::uint16_t tag = 0;
    std::uint16_t kanaele = 0;
    std::uint32_t rate = 0;
    std::uint16_t blockgroesse = 0;   // block align
    std::uint16_t bits = 0;
    std::uint16_t blockSamples = 0;   // samples per block of the ADPCM codings (0 when not given)
};

inline constexpr std::uint16_t kWavePcm = 1;
inline constexpr std::uint16_t kWaveMsAdpcm = 2;
inline constexpr std::uint16_t kWaveImaWrap = 3;
inline constexpr std::uint16_t kWaveIma33 = 0x33;
inline constexpr std::uint16_t kWaveIma206 = 0x206;
// The common IMA ADPCM tag (low nibble first, clamping); only the encoder's tests and tools use it.
inline constexpr std::uint16_t kWaveImaStandard = 0x11;

// The parts of a RIFF WAVE image: the format and the bytes of the data chunk (a view into the image).
struct WaveTeile {
    WaveFormat format;
    std::string_view daten;
    std::uint32_t frames = 0;  // the "fact" chunk's frame count, 0 when there is none
};
WaveTeile LeseWave(std::string_view bild);

// Decodes a whole image. Throws WaveFehler.
PcmAudio DekodiereWave(std::string_view bild);

// How the IMA ADPCM variants differ: nibble order within a byte and what happens past the 16-bit range.
struct ImaVariante {
    bool hohesNibbleZuerst = true;
    bool begrenzen = true;  // clamp; otherwise the predicted sample wraps around
};
ImaVariante ImaVarianteVon(std::uint16_t tag);

// IMA ADPCM blocks (per channel a 4-byte header: first sample, step index, reserved; then groups of 4 bytes
// per channel). A trailing partial block is decoded as far as it goes.
std::vector<std::int16_t> DekodiereIma(std::string_view daten, int kanaele, int blockgroesse, int blockSamples,
                                       ImaVariante variante);
// Microsoft ADPCM blocks with the standard coefficients.
std::vector<std::int16_t> DekodiereMsAdpcm(std::string_view daten, int kanaele, int blockgroesse,
                                           int blockSamples);

// Encodes 16-bit PCM (interleaved, 1 or 2 channels) as IMA ADPCM blocks of `blockgroesse` bytes in the given
// variant, and the complete RIFF WAVE image around it.
std::string KodiereIma(const std::vector<std::int16_t>& samples, int kanaele, int blockgroesse,
                       ImaVariante variante);
std::string ImaWaveBild(const PcmAudio& audio, std::uint16_t tag, int blockgroesse = 256);
// A PCM 16-bit image.
std::string PcmWaveBild(const PcmAudio& audio);

}  // namespace zanit
