#pragma once
// The hive file of the POSIX settings store: the text format regedit exports.
//
// Reading takes "Windows Registry Editor Version 5.00" files in UTF-8 (with or without byte-order mark) or
// UTF-16LE with byte-order mark, and "REGEDIT4" files in Windows-1252. What we write is UTF-8 without
// byte-order mark (REGEDIT4 files stay REGEDIT4 in Windows-1252), LF line ends, keys in the order read.
// Every line we do not change is written back exactly as read: values of other types (hex:, hex(2):, ...),
// comments and damaged lines included. Damaged lines are reported and ignored for reading, and stay where
// they stood even when the key around them is removed. A version 5 file is decoded line by line: a line that
// is not valid UTF-8 is read as Windows-1252 and written back with its bytes unchanged, so one stray byte
// never changes how the other lines read.
//
// Names and texts in this model are Windows-1252, like everywhere in the core.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
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

// Lookup tables over a hive's keys, kept by the functions below, so that finding a key does not walk them
// all (a hive may hold thousands of dictionary sections). Rebuilt on demand when it no longer matches.
struct HiveIndex {
    bool current = true;
    std::size_t keys = 0;                                  // how many keys it covers
    std::unordered_map<std::string, std::size_t> exact;    // folded path -> position of the valid key
    std::unordered_set<std::string> parents;               // folded paths with a valid key below them
};

struct Hive {
    bool regedit4 = false;
    std::vector<HiveItem> preamble;  // comments and stray lines before the first key
    std::vector<HiveKey> keys;
    mutable HiveIndex index;
};

// One value to write.
struct ValueWrite {
    std::string name;
    ValueType type = ValueType::String;  // String or Dword
    std::string text;
    std::uint32_t dword = 0;
    bool keepExisting = false;           // leave a value that is already there as it is
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
// The name in the form SameName compares: equal folded names are the same name.
std::string FoldName(std::string_view name);

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
// Sets the values in order (created with its key when missing); true when the hive changed. Values whose
// name or text cannot be stored are left out.
bool SetValues(Hive& hive, std::string_view full, const std::vector<ValueWrite>& values);
// The key afterwards holds exactly `values`: its other values and its subkeys are gone. It keeps its place
// in the file, its comments and its damaged lines. True when the hive changed.
bool ReplaceKey(Hive& hive, std::string_view full, const std::vector<ValueWrite>& values);
// True when the value can be written (storable name and text).
bool StorableValue(const ValueWrite& value);

}  // namespace zanit::registry
