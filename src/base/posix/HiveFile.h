#pragma once
// One hive file of the POSIX settings store: loading (cached per file version), and atomic replacement under
// a lock file beside it ("<file>.lock"; the new content is written to "<file>.tmp" in the same folder, synced,
// renamed over the file, and the folder synced). The lock is waited for a bounded time only.
#include <chrono>
#include <functional>
#include <memory>
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
    // The same without a copy: the parsed version shared with the cache; nullptr when it cannot be read.
    std::shared_ptr<const Hive> Snapshot() const;
    // Whether this process may replace the file: file (when present) and folder writable. Root counts as
    // refused when the permission bits grant nobody write access.
    bool MayWrite() const;
    // Locks, loads the current file, applies `change` and, when it reports a change, replaces the file.
    // False when any step fails; the file is then left as it was and the cause reported. `refused` (when
    // given) tells whether the failure was a refusal of the permission to write (or a read-only file
    // system, or a hive that is no regular file) rather than a failure such as a full disk or an I/O error.
    bool Update(const std::function<bool(Hive&)>& change, bool* refused = nullptr);

private:
    std::shared_ptr<const Hive> Load(bool cached, int& error) const;
    std::string path_;
};

// How long a writer waits for another process's lock before it gives up.
inline constexpr std::chrono::milliseconds kLockWait{5000};

namespace testing {
// Called after the new content is synced and before it replaces the file (crash tests).
void SetBeforeReplaceHook(std::function<void(const std::string& file)> hook);
// Replaces the write of the new content (full disk and I/O error tests): returns the bytes written or -1
// with errno set, like write(2). An empty function restores the real write.
void SetWriteHook(std::function<long(int fd, const char* data, std::size_t size)> hook);
// The lock wait for tests; zero or negative restores kLockWait.
void SetLockWait(std::chrono::milliseconds wait);
}  // namespace testing

}  // namespace zanit::registry
