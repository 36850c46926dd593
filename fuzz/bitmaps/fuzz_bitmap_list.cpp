// Arbitrary bytes as a bitmap-list file: reading either refuses them with BitmaplistenFehler or yields a list
// that writes back to exactly the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/Bitmapliste.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const auto bilder = zanit::BitmaplisteLesen(bytes);
        if (zanit::BitmaplisteSchreiben(bilder) != bytes) std::abort();
    } catch (const zanit::BitmaplistenFehler&) {
    }
    return 0;
}
