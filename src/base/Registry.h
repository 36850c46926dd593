#pragma once
// The settings store below HKEY_LOCAL_MACHINE, one interface over the platform's store: the real registry on
// Windows, hive files in regedit's export format on POSIX (see RegistryFormat.h).
//
// POSIX: the machine hive is the file named by ZANIT_REGISTRY, else /etc/zanit/machine.reg. Writes that the
// machine hive refuses (file or folder not writable) land in the per-user overlay
// $XDG_CONFIG_HOME/zanit/machine.reg (~/.config when unset), and reads consult the overlay first. Every write is
// one locked read-modify-write of the file, replaced atomically, so concurrent writers never lose each other's
// values. Both paths are looked up again on every open.
//
// Paths are relative to HKEY_LOCAL_MACHINE; a leading backslash is allowed ("\Software\X" = "Software\X").
// Key and value names compare without regard to case. Texts are Windows-1252. Nothing here throws.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/RegistryFormat.h"

namespace zanit::registry {

class Key {
public:
    virtual ~Key() = default;
    virtual ValueType TypeOf(std::string_view name) const = 0;                     // None when missing
    virtual std::optional<std::string> ReadString(std::string_view name) const = 0;  // string values only
    virtual std::optional<std::uint32_t> ReadDword(std::string_view name) const = 0;  // DWORD values only
    virtual std::vector<std::string> ValueNames() const = 0;
    virtual std::vector<std::string> SubkeyNames() const = 0;
    // Only on keys opened for writing; false when the store refuses.
    virtual bool WriteString(std::string_view name, std::string_view text) = 0;
    virtual bool WriteDword(std::string_view name, std::uint32_t value) = 0;
    // Several values in order, in one replacement of the hive file on POSIX; false when any was refused.
    virtual bool WriteValues(const std::vector<ValueWrite>& values) = 0;
};

enum class Access { Read, Write };

// Read: nullptr when the key does not exist. Write: the key (and its parents) are created when missing;
// nullptr when that is refused or the path is not a valid key name.
std::unique_ptr<Key> OpenKey(std::string_view path, Access access);
// Deletes the key with all its subkeys; false when it does not exist or cannot be deleted everywhere.
bool DeleteKey(std::string_view path);
// Registers a key afresh: afterwards it holds exactly `values` and no subkeys (created when missing). On POSIX
// this is one replacement of the hive file under its lock, so no reader or crash ever sees half of it.
// False when refused or when a value cannot be stored (then nothing is written).
bool ReplaceKey(std::string_view path, const std::vector<ValueWrite>& values);
// Writes the values into the key, creating it when missing, in one update (the key never exists without
// them). False when refused or when a value cannot be stored (then nothing is written).
bool WriteValues(std::string_view path, const std::vector<ValueWrite>& values);

// Where problems go (damaged hive lines, files that cannot be read or replaced). Default: stderr.
// An empty function restores the default.
void SetReporter(Reporter reporter);
void ReportProblem(std::string_view message);

}  // namespace zanit::registry
