// Arbitrary bytes as a hive file: parsing never fails or reads out of bounds, and what we write of a parsed
// hive parses again to the same text (damaged lines are kept verbatim, so the round trip must be stable).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/RegistryFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto quiet = [](std::string_view) {};
    zanit::registry::Hive hive = zanit::registry::ParseHive(bytes, "fuzz.reg", quiet);
    for (const auto& key : hive.keys) {
        std::string full;
        if (zanit::registry::NormalizeKeyPath(key.path, full)) {
            (void)zanit::registry::KeyExists(hive, full);
            (void)zanit::registry::SubkeyNames(hive, full);
        }
    }
    const std::string once = zanit::registry::SerializeHive(hive);
    const std::string twice = zanit::registry::SerializeHive(zanit::registry::ParseHive(once, "fuzz.reg", quiet));
    if (once != twice) std::abort();
    return 0;
}
