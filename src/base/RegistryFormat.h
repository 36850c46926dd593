#pragma once
// The hive file of the POSIX settings store: the text format regedit exports.
//
// Reading takes "Windows Registry Editor Version 5.00" files in UTF-8 (with or without byte-order mark) or
// UTF-16LE with byte-order mark, and "REGEDIT4" files in Windows-1252. What we write is UTF-8 without
// byte-order mark (REGEDIT4 files stay REGEDIT4 in Windows-1252), LF line ends, keys in the order read.
// Every line we do not change is written back exactly as read: values of other types (hex:, hex(2):, ...),
// comments and damaged lines included. Damaged lines are reported and ignored for reading.
//
// Names and texts in this model are Windows-1252, like everywhere in the core.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zanit::registry {

enum class ValueType { None, String, Dword, Other };

struct HiveItem {
    ValueType type = ValueType::Other;  // Other: a value of another type, a comment or a damaged line
    bool named = false;                 // a value with a name ("@" is the unnamed default value, name "")
    std::string name;
    std::string text;                   // String
    std::uint32_t dword = 0;            // Dword
    std::string line;                   // the line(s) as read, UTF-8; empty when changed by us
};

struct HiveKey {
    std::string path;   // full path, "HKEY_LOCAL_MACHINE\..." for ours; other roots are kept but not used
    bool valid = true;  // false: a damaged key line, kept with the lines that follow it
    std::string line;   // the key line as read; empty when created by us
    std::vector<HiveItem> items;
};

struct Hive {
    bool regedit4 = false;
    std::vector<HiveItem> preamble;  // comments and stray lines before the first key
    std::vector<HiveKey> keys;
};

using Reporter = std::function<void(std::string_view message)>;

inline constexpr std::string_view kMachineRoot = "HKEY_LOCAL_MACHINE";

// Parses a hive file's bytes. `origin` names the file in reports. Never fails: damaged lines are reported
// through `report` and kept verbatim.
Hive ParseHive(std::string_view bytes, std::string_view origin, const Reporter& report);
// The file's bytes.
std::string SerializeHive(const Hive& hive);

// Windows compares key and value names without regard to case.
bool SameName(std::string_view a, std::string_view b);

// Subkey names in the order Windows enumerates them: sorted without regard to case.
void SortKeyNames(std::vector<std::string>& names);

// Key paths relative to HKEY_LOCAL_MACHINE: "\Software\X\" and "Software\X" name the same key. False when
// the path has an empty component or a character that cannot stand in a key name.
bool NormalizeKeyPath(std::string_view path, std::string& full);

// Queries and changes on the model; `full` is a normalized full path.
const HiveKey* FindKey(const Hive& hive, std::string_view full);
bool KeyExists(const Hive& hive, std::string_view full);  // explicit, or implied by a subkey
std::vector<std::string> SubkeyNames(const Hive& hive, std::string_view full);  // sorted
const HiveItem* FindValue(const HiveKey& key, std::string_view name);
std::vector<std::string> ValueNames(const HiveKey& key);
// True when the text can be stored (no line breaks or NUL).
bool StorableText(std::string_view text);
bool CreateKey(Hive& hive, std::string_view full);  // true when the hive changed
bool SetString(Hive& hive, std::string_view full, std::string_view name, std::string_view text);  // true when changed
bool SetDword(Hive& hive, std::string_view full, std::string_view name, std::uint32_t value);
bool RemoveValue(Hive& hive, std::string_view full, std::string_view name);
bool RemoveKey(Hive& hive, std::string_view full);  // the key and its subkeys; its parent stays

}  // namespace zanit::registry
