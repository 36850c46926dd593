#pragma once
// One hive file of the POSIX settings store: loading (cached per file version), and atomic replacement under
// a lock file beside it ("<file>.lock"; the new content is written to "<file>.tmp", synced and renamed).
#include <functional>
#include <string>

#include "base/RegistryFormat.h"

namespace zanit::registry {

// ZANIT_REGISTRY, else /etc/zanit/machine.reg.
std::string MachineHivePath();
// $XDG_CONFIG_HOME/zanit/machine.reg, ~/.config when unset; empty when there is no home folder.
std::string OverlayHivePath();

class HiveFile {
public:
    explicit HiveFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }
    // A missing file is an empty hive; false when the file exists but cannot be read.
    bool Load(Hive& hive) const;
    // Whether this process may replace the file: file (when present) and folder writable. Root counts as
    // refused when the permission bits grant nobody write access.
    bool MayWrite() const;
    // Locks, loads the current file, applies `change` and, when it reports a change, replaces the file.
    // False when any step fails; the file is then left as it was.
    bool Update(const std::function<bool(Hive&)>& change);

private:
    bool Load(Hive& hive, bool cached) const;
    std::string path_;
};

namespace testing {
// Called after the new content is synced and before it replaces the file (crash tests).
void SetBeforeReplaceHook(std::function<void(const std::string& file)> hook);
}  // namespace testing

}  // namespace zanit::registry
