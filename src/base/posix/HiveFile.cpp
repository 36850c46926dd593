#include "base/posix/HiveFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "base/Registry.h"

namespace zanit::registry {
namespace {

constexpr off_t kMaxHiveSize = 64 << 20;

std::function<void(const std::string&)>& BeforeReplaceHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

std::function<long(int, const char*, std::size_t)>& WriteHook() {
    static std::function<long(int, const char*, std::size_t)> hook;
    return hook;
}

std::chrono::milliseconds& LockWait() {
    static std::chrono::milliseconds wait = kLockWait;
    return wait;
}

// Failures that mean "this process may not write here": the overlay takes the write instead. Anything else
// (a full disk, an I/O error, a held lock) is a failure that must not split the settings between two files.
bool IsRefusal(int error) { return error == EACCES || error == EPERM || error == EROFS; }

void Problem(const std::string& file, std::string_view what, int error) {
    std::string message = file + ": " + std::string(what);
    if (error != 0) message += std::string(": ") + std::strerror(error);
    ReportProblem(message);
}

// A hive that cannot be read is reported once, not at every one of the many reads of a start.
void ProblemOnce(const std::string& file, std::string_view what, int error) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    {
        std::lock_guard lock(mutex);
        if (!reported.insert(file + '\n' + std::string(what) + '\n' + std::to_string(error)).second) return;
    }
    Problem(file, what, error);
}

// A file descriptor closed on scope exit.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = WriteHook() ? WriteHook()(fd, bytes.data(), bytes.size()) : ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool Writable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (::access(path.c_str(), W_OK) != 0) return false;
    // root passes every access check; a hive nobody may write is still meant to be read-only
    return ::geteuid() != 0 || (st.st_mode & 0222) != 0;
}

std::string ParentOf(const std::string& path) {
    const std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

// Parsed hives by file version, so that a run of reads parses (and reports) each version once.
struct CachedHive {
    dev_t dev;
    ino_t ino;
    off_t size;
    struct timespec mtime;
    struct timespec ctime;
    std::shared_ptr<const Hive> hive;
};

std::mutex& CacheMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, CachedHive>& Cache() {
    static std::map<std::string, CachedHive> cache;
    return cache;
}

bool SameVersion(const CachedHive& cached, const struct stat& st) {
    return cached.dev == st.st_dev && cached.ino == st.st_ino && cached.size == st.st_size &&
           cached.mtime.tv_sec == st.st_mtim.tv_sec && cached.mtime.tv_nsec == st.st_mtim.tv_nsec &&
           cached.ctime.tv_sec == st.st_ctim.tv_sec && cached.ctime.tv_nsec == st.st_ctim.tv_nsec;
}

}  // namespace

std::string MachineHivePath() {
    const char* env = std::getenv("ZANIT_REGISTRY");
    return env && *env ? std::string(env) : std::string("/etc/zanit/machine.reg");
}

std::string OverlayHivePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/zanit/machine.reg";
    const char* home = std::getenv("HOME");
    std::string folder = home && *home ? home : "";
    if (folder.empty()) {
        if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir) folder = user->pw_dir;
    }
    return folder.empty() ? std::string() : folder + "/.config/zanit/machine.reg";
}

bool HiveFile::Load(Hive& hive) const {
    int error = 0;
    std::shared_ptr<const Hive> loaded = Load(true, error);
    if (!loaded) return false;
    hive = *loaded;
    return true;
}

std::shared_ptr<const Hive> HiveFile::Snapshot() const {
    int error = 0;
    return Load(true, error);
}

std::shared_ptr<const Hive> HiveFile::Load(bool cached, int& error) const {
    static const auto kEmpty = std::make_shared<const Hive>();
    error = 0;
    if (cached) {
        // the common case, a version read before, costs one stat
        struct stat st {};
        if (::stat(path_.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return kEmpty;
        } else if (S_ISREG(st.st_mode)) {
            std::lock_guard lock(CacheMutex());
            auto it = Cache().find(path_);
            if (it != Cache().end() && SameVersion(it->second, st)) return it->second.hive;
        }
    }
    Fd fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));  // a FIFO in its place must not block
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return kEmpty;
        error = errno;
        ProblemOnce(path_, "cannot be read", errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = EACCES;  // nothing we may replace
        ProblemOnce(path_, "is not a regular file", 0);
        return nullptr;
    }
    if (st.st_size > kMaxHiveSize) {
        error = EFBIG;
        ProblemOnce(path_, "is too large for a settings hive", 0);
        return nullptr;
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            Problem(path_, "cannot be read", errno);
            return nullptr;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    auto hive = std::make_shared<const Hive>(ParseHive(bytes, path_, [](std::string_view message) { ReportProblem(message); }));
    std::lock_guard lock(CacheMutex());
    Cache()[path_] = CachedHive{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, hive};
    return hive;
}

bool HiveFile::MayWrite() const {
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        // a device, pipe or folder in the hive's place is never replaced, and no lock file is made beside it
        if (!S_ISREG(st.st_mode) || !Writable(path_)) return false;
    } else if (errno != ENOENT) {
        return false;
    }
    // the nearest existing folder must take the temporary and lock files (missing folders get created)
    std::string folder = ParentOf(path_);
    while (::access(folder.c_str(), F_OK) != 0) {
        const std::string up = ParentOf(folder);
        if (up == folder) return false;
        folder = up;
    }
    return Writable(folder);
}

bool HiveFile::Update(const std::function<bool(Hive&)>& change, bool* refused) {
    auto fail = [&](int error) {
        if (refused) *refused = IsRefusal(error);
        return false;
    };
    std::error_code ignored;
    // a hive that is a symbolic link is replaced at its target; the link stays
    std::filesystem::path file = path_;
    for (int depth = 0; depth < 40 && std::filesystem::is_symlink(file, ignored); ++depth) {
        const auto target = std::filesystem::read_symlink(file, ignored);
        if (ignored) break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    std::filesystem::create_directories(ParentOf(file.string()), ignored);
    Fd lock(::open((file.string() + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666));
    if (lock.get() < 0) {
        const int error = errno;
        Problem(path_, "cannot create its lock file", error);
        return fail(error);
    }
    const auto deadline = std::chrono::steady_clock::now() + LockWait();
    while (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EWOULDBLOCK) {
            Problem(path_, "cannot be locked", error);
            return fail(error);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            const auto seconds = std::chrono::duration<double>(LockWait()).count();
            char waited[32];
            std::snprintf(waited, sizeof waited, "%.1f", seconds);
            Problem(path_, std::string("another process holds the settings (waited ") + waited + " s); nothing was written", 0);
            return fail(EWOULDBLOCK);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // under the lock the file is always read again: a cached version could miss another writer's change
    int error = 0;
    std::shared_ptr<const Hive> current = Load(false, error);
    if (!current) return fail(error);
    Hive hive = *current;
    if (!change(hive)) return true;

    const std::string bytes = SerializeHive(hive);
    const std::string temp = file.string() + ".tmp";
    struct stat old {};
    const bool existed = ::stat(file.c_str(), &old) == 0;
    ::unlink(temp.c_str());  // left by a writer that died; we hold the lock, so it is nobody's now
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (out.get() < 0) {
        error = errno;
        Problem(temp, "cannot be created", error);
        return fail(error);
    }
    if (existed) {
        // the new file keeps the permissions (and, for root, the owner) of the one it replaces
        (void)::fchmod(out.get(), old.st_mode & 07777);
        if (::geteuid() == 0) (void)::fchown(out.get(), old.st_uid, old.st_gid);
    }
    if (!WriteAll(out.get(), bytes) || ::fsync(out.get()) != 0 || ::close(out.release()) != 0) {
        error = errno;
        Problem(temp, "cannot be written; the settings file was left as it was", error);
        ::unlink(temp.c_str());
        return fail(error);
    }
    if (BeforeReplaceHook()) BeforeReplaceHook()(file.string());
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        error = errno;
        Problem(file.string(), "cannot be replaced", error);
        ::unlink(temp.c_str());
        return fail(error);
    }
    Fd folder(::open(ParentOf(file.string()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) (void)::fsync(folder.get());
    return true;
}

namespace testing {
void SetBeforeReplaceHook(std::function<void(const std::string& file)> hook) { BeforeReplaceHook() = std::move(hook); }
void SetWriteHook(std::function<long(int fd, const char* data, std::size_t size)> hook) { WriteHook() = std::move(hook); }
void SetLockWait(std::chrono::milliseconds wait) { LockWait() = wait.count() > 0 ? wait : kLockWait; }
}  // namespace testing

}  // namespace zanit::registry
