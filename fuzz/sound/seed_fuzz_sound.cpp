// Writes the seed corpus of fuzz_sound into a folder: recordings in every coding the sound tables hold.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "sound/Wave.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_fuzz_sound FOLDER\n");
        return 2;
    }
    int n = 0;
    auto schreibe = [&](const std::string& bild) {
        std::ofstream(std::string(argv[1]) + "/seed" + std::to_string(n++), std::ios::binary) << bild;
    };
    for (int kanaele = 1; kanaele <= 2; ++kanaele) {
        zanit::PcmAudio a{kanaele, 8000, {}};
        for (int i = 0; i < 600 * kanaele; ++i) a.samples.push_back(static_cast<std::int16_t>(20000 * std::sin(i * 0.07)));
        schreibe(zanit::PcmWaveBild(a));
        for (std::uint16_t tag : {zanit::kWaveImaWrap, zanit::kWaveIma33, zanit::kWaveIma206})
            schreibe(zanit::ImaWaveBild(a, tag, 64 * kanaele));
        // The same blocks labelled as Microsoft ADPCM reach that decoder.
        std::string ms = zanit::ImaWaveBild(a, zanit::kWaveIma33, 256);
        ms[20] = 2;
        ms[21] = 0;
        schreibe(ms);
    }
    return 0;
}
