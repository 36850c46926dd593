// Arbitrary bytes as a hive file: parsing never fails or reads out of bounds, what we write of a parsed hive
// parses again to the same text (damaged lines are kept verbatim, so the round trip must be stable), and
// setting one value changes that value's line (or adds one line) and no other byte of the file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/RegistryFormat.h"
#include "xbase/Codepage.h"

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string Joined(const std::vector<std::string_view>& lines, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from) out += '\n';
        out += lines[i];
    }
    return out;
}

// Sets one value of one key, chosen by the input's last bytes, and checks what changed in the file.
void SetOneValue(std::string_view bytes, const std::string& once, const zanit::registry::Reporter& quiet) {
    using namespace zanit::registry;
    Hive hive = ParseHive(once, "fuzz.reg", quiet);
    std::vector<const HiveKey*> keys;
    for (const auto& key : hive.keys)
        if (key.valid) keys.push_back(&key);
    if (keys.empty() || bytes.size() < 3) return;
    const auto pick = [&](std::size_t back) { return static_cast<unsigned char>(bytes[bytes.size() - back]); };
    const HiveKey& key = *keys[pick(1) % keys.size()];
    const std::string path = key.path;
    const std::vector<std::string> names = ValueNames(key);
    const std::string name = names.empty() || pick(2) % 4 == 0 ? std::string("FuzzNeu") : names[pick(2) % names.size()];
    const HiveItem* old = FindValue(key, name);
    // the line as the file holds it (a REGEDIT4 file is Windows-1252, the model UTF-8)
    const std::string oldLine = !old ? std::string() : hive.regedit4 ? xbase::Utf8ToCp1252(old->line) : old->line;
    const std::string text = "Wert " + std::to_string(pick(3)) + " \xE4";
    if (!SetString(hive, path, name, text)) {
        if (SerializeHive(hive) != once) std::abort();  // no change reported: no byte may differ
        return;
    }
    const std::string after = SerializeHive(hive);
    const auto before = Lines(once), now = Lines(after);
    std::size_t head = 0;
    while (head < before.size() && head < now.size() && before[head] == now[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < now.size() - head &&
           before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    // exactly one line is new ...
    if (now.size() - head - tail != 1) std::abort();
    // ... and what it replaced is nothing (a new value) or the old value's own line(s)
    const std::string replaced = Joined(before, head, before.size() - tail);
    if (!replaced.empty() && (!old || (oldLine != replaced && oldLine.find(replaced) == std::string::npos))) std::abort();
    const Hive again = ParseHive(after, "fuzz.reg", quiet);
    const HiveKey* changed = FindKey(again, path);
    const HiveItem* item = changed ? FindValue(*changed, name) : nullptr;
    if (!item || item->type != ValueType::String || item->text != text) std::abort();
}

}  // namespace

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
    SetOneValue(bytes, once, quiet);
    return 0;
}
