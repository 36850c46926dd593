// Arbitrary bytes as a recording and as a sound medium's description file: the WAVE reader and every decoder either refuse them with WaveFehler or
// decode them, never reading out of bounds, and the decoded audio never grows beyond what the bytes can hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sound/Ini.h"
#include "sound/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const zanit::PcmAudio a = zanit::DekodiereWave(bytes);
        if (a.samples.size() > 4 * size + 16) std::abort();
        if (a.kanaele < 1 || a.kanaele > 2 || a.samples.size() % static_cast<std::size_t>(a.kanaele) != 0) std::abort();
    } catch (const zanit::WaveFehler&) {
    }
    // The block decoders on their own, with channels and block size from the first bytes.
    if (size >= 3) {
        const int kanaele = data[0] % 3;
        const int block = data[1] * 4 + (data[2] & 3);
        const std::string_view rest = bytes.substr(3);
        try {
            (void)zanit::DekodiereIma(rest, kanaele, block, data[2] >> 2, {(data[2] & 1) != 0, (data[2] & 2) != 0});
        } catch (const zanit::WaveFehler&) {
        }
        try {
            (void)zanit::DekodiereMsAdpcm(rest, kanaele, block, data[2] >> 2);
        } catch (const zanit::WaveFehler&) {
        }
    }
    // The same bytes as a medium's description file.
    const zanit::TIniDatei ini(bytes);
    for (const char* name : {"Sound", "ReleaseS", "TextF"}) {
        if (ini.Text("Dictionary", name).size() > size) std::abort();
        (void)ini.Zahl("Dictionary", name, -1);
    }
    return 0;
}
