// Arbitrary bytes as a key sequence: the parser never crashes, and what it accepts is balanced: every key
// pressed is released, modifiers last.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "desktop/Tastenfolge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<zanit::Tastenereignis> ereignisse;
    const int r = zanit::ParseTastenfolge(text, ereignisse);
    if (r != zanit::kEingespielt) {
        if (r != zanit::kUngueltigeTaste || !ereignisse.empty()) std::abort();
        return 0;
    }
    std::vector<int> unten;
    for (const zanit::Tastenereignis& e : ereignisse) {
        if (e.taste <= 0 || e.taste > 0xFF) std::abort();
        if (e.unten) {
            unten.push_back(e.taste);
        } else {
            if (unten.empty() || unten.back() != e.taste) std::abort();
            unten.pop_back();
        }
    }
    if (!unten.empty()) std::abort();
    return 0;
}
