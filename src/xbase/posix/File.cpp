// POSIX file access: pread/pwrite, mmap and open-file-description locks (fcntl F_OFD_SETLK), so that two
// table objects in one process exclude each other exactly like two processes do.
#include "xbase/File.h"

#include "xbase/Table.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <cstring>
#include <new>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xbase::detail {
namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

bool SetLock(int fd, short type, std::uint64_t offset, std::uint64_t length, bool wait) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;
#ifdef F_OFD_SETLK
    int cmd = wait ? F_OFD_SETLKW : F_OFD_SETLK;
    for (;;) {
        if (::fcntl(fd, cmd, &fl) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EINVAL) break;
        cmd = wait ? F_SETLKW : F_SETLK;  // kernel without OFD locks
        fl.l_pid = 0;
    }
#else
    int cmd = wait ? F_SETLKW : F_SETLK;
    for (;;) {
        if (::fcntl(fd, cmd, &fl) == 0) return true;
        if (errno != EINTR) break;
    }
#endif
    return false;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept
    : path_(std::move(other.path_)), write_(other.write_), fd_(other.fd_), lockFd_(other.lockFd_) {
    other.fd_ = -1;
    other.lockFd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        write_ = other.write_;
        fd_ = other.fd_;
        lockFd_ = other.lockFd_;
        other.fd_ = -1;
        other.lockFd_ = -1;
    }
    return *this;
}

OpenResult File::Open(const std::string& path, bool write, bool create, bool /*exclusiveShare*/) {
    Close();
    path_ = path;
    write_ = write || create;
    // Non-blocking, so that a pipe in the table's place cannot hang the open; the file test follows.
    int flags = (write_ ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    if (create) flags |= O_CREAT | O_TRUNC;
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT) return OpenResult::NotFound;
        return errno == EISDIR || errno == ENXIO ? OpenResult::NotAFile : OpenResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return OpenResult::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenResult::NotAFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    return OpenResult::Ok;
}

void File::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

bool File::IsOpen() const { return fd_ >= 0; }

std::uint64_t File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw IoError(path_, "cannot read the file size: " + ErrnoText(errno));
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::ReadSome(std::uint64_t offset, void* buffer, std::size_t n) const {
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < n) {
        ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw IoError(path_, "read failed: " + ErrnoText(errno));
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void File::ReadExact(std::uint64_t offset, void* buffer, std::size_t n) const {
    if (ReadSome(offset, buffer, n) != n) throw FormatError(path_, "file is truncated");
}

void File::Write(std::uint64_t offset, const void* data, std::size_t n) {
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(data);
    while (done < n) {
        ssize_t r = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw IoError(path_, "write failed: " + ErrnoText(errno));
        }
        done += static_cast<std::size_t>(r);
    }
}

void File::Truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw IoError(path_, "truncate failed: " + ErrnoText(errno));
}

void File::Sync() {
    if (::fdatasync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        throw IoError(path_, "sync failed: " + ErrnoText(errno));
    }
}

bool File::OpenLock(bool exclusive) {
    if (!exclusive) return SetLock(fd_, F_RDLCK, kOpenLockOffset, 1, false);
    if (write_) return SetLock(fd_, F_WRLCK, kOpenLockOffset, 1, false);
    // A write lock needs a descriptor opened for writing. A read-only exclusive open takes one just for the
    // lock; where the file cannot be written at all (read-only medium) nobody else can change it either,
    // and a read lock keeps out exclusive openers.
    if (lockFd_ < 0) {
        // The same file again: whatever stands at the path now (a pipe, another file) is not locked for it.
        lockFd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        struct stat mine {}, again {};
        if (lockFd_ >= 0 && (::fstat(fd_, &mine) != 0 || ::fstat(lockFd_, &again) != 0 ||
                             mine.st_dev != again.st_dev || mine.st_ino != again.st_ino)) {
            ::close(lockFd_);
            lockFd_ = -1;
        }
    }
    if (lockFd_ < 0) return SetLock(fd_, F_RDLCK, kOpenLockOffset, 1, false);
    return SetLock(lockFd_, F_WRLCK, kOpenLockOffset, 1, false);
}

bool File::TryLock(std::uint64_t offset, std::uint64_t length) { return SetLock(fd_, F_WRLCK, offset, length, false); }

void File::Lock(std::uint64_t offset, std::uint64_t length) {
    if (!SetLock(fd_, F_WRLCK, offset, length, true)) throw LockError(path_, "cannot lock: " + ErrnoText(errno));
}

void File::Unlock(std::uint64_t offset, std::uint64_t length) { SetLock(fd_, F_UNLCK, offset, length, false); }

// ---- Mapped files cut short under the view ----
//
// A read of a mapped page that lies wholly past the end of its file raises SIGBUS. The handler looks the
// address up among the views of this process; for one of ours it maps a page of zeros over the missing page,
// marks the view damaged and returns, so the read is done again and sees zeros. The engine checks the mark
// at every table operation and reports the table damaged. Faults outside our views go to the handler that
// was installed before, or end the process as they would have without us.

namespace {

struct GuardedView {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<std::atomic<bool>*> damaged{nullptr};
};

constexpr std::size_t kGuardedViews = 1024;
GuardedView g_views[kGuardedViews];
std::mutex g_viewsMutex;
struct sigaction g_previousBus {};
std::uintptr_t g_pageSize = 4096;

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (auto& view : g_views) {
        const std::uintptr_t begin = view.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= view.end.load(std::memory_order_acquire)) continue;
        void* page = reinterpret_cast<void*>(address & ~(g_pageSize - 1));
        if (::mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) break;
        if (std::atomic<bool>* damaged = view.damaged.load(std::memory_order_acquire)) damaged->store(true);
        return;
    }
    if (g_previousBus.sa_flags & SA_SIGINFO) {
        if (g_previousBus.sa_sigaction) {
            g_previousBus.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previousBus.sa_handler != SIG_DFL && g_previousBus.sa_handler != SIG_IGN) {
        g_previousBus.sa_handler(signal);
        return;
    }
    // The default action: delivered again once this handler returns (the signal is blocked until then).
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

void InstallBusHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        g_pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = &OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previousBus);
    });
}

void Guard(const std::uint8_t* data, std::uint64_t size, std::atomic<bool>* damaged) {
    InstallBusHandler();
    std::lock_guard<std::mutex> lock(g_viewsMutex);
    for (auto& view : g_views) {
        if (view.begin.load(std::memory_order_relaxed) != 0) continue;
        view.damaged.store(damaged, std::memory_order_relaxed);
        view.end.store(reinterpret_cast<std::uintptr_t>(data) + size, std::memory_order_relaxed);
        view.begin.store(reinterpret_cast<std::uintptr_t>(data), std::memory_order_release);
        return;
    }
    // More views than slots: this one goes unguarded, as every view did before.
}

void Unguard(const std::uint8_t* data) {
    std::lock_guard<std::mutex> lock(g_viewsMutex);
    for (auto& view : g_views) {
        if (view.begin.load(std::memory_order_relaxed) != reinterpret_cast<std::uintptr_t>(data)) continue;
        view.begin.store(0, std::memory_order_release);
        view.end.store(0, std::memory_order_relaxed);
        view.damaged.store(nullptr, std::memory_order_relaxed);
        return;
    }
}

}  // namespace

Mapping::~Mapping() { Unmap(); }

void Mapping::Map(const File& file, std::uint64_t size) {
    Unmap();
    if (size == 0) return;
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, file.Descriptor(), 0);
    if (p == MAP_FAILED) throw IoError(file.Path(), "cannot map the file: " + ErrnoText(errno));
    data_ = static_cast<const std::uint8_t*>(p);
    size_ = size;
    Guard(data_, size_, &damaged_);
}

void Mapping::Unmap() {
    if (data_) {
        Unguard(data_);
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    data_ = nullptr;
    size_ = 0;
}

namespace {

std::uintptr_t PageStart(const void* p) {
    static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    return reinterpret_cast<std::uintptr_t>(p) & ~(page - 1);
}

}  // namespace

bool PageResident(const void* p) {
    unsigned char in = 1;
    if (::mincore(reinterpret_cast<void*>(PageStart(p)), 1, &in) != 0) return true;
    return (in & 1) != 0;
}

void PrefetchPages(const void* p, std::size_t n) {
    const std::uintptr_t start = PageStart(p);
    ::madvise(reinterpret_cast<void*>(start), reinterpret_cast<std::uintptr_t>(p) + n - start, MADV_WILLNEED);
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::TryLock(const std::string& folder) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return false;
    struct stat st {};
    // A folder removed by the holder before us has no links left: it is nobody's to use.
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd_, &st) == 0 && st.st_nlink > 0) return true;
    ::close(fd_);
    fd_ = -1;
    return false;
}

ZeroPages::~ZeroPages() { Release(); }

void ZeroPages::Allocate(std::size_t bytes) {
    Release();
    if (bytes == 0) return;
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<std::uint8_t*>(p);
    size_ = bytes;
}

void ZeroPages::Clear() {
    if (!data_) return;
#ifdef MADV_DONTNEED
    // Private anonymous pages read as zeros again after this, without being written.
    if (::madvise(data_, size_, MADV_DONTNEED) == 0) return;
#endif
    std::memset(data_, 0, size_);
}

void ZeroPages::Release() {
    if (data_) ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

void ReplaceAtomically(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        int err = errno;
        ::unlink(from.c_str());
        throw IoError(to, "cannot replace the file: " + ErrnoText(err));
    }
    // Make the rename durable: sync the folder.
    std::string dir = to;
    auto slash = dir.find_last_of('/');
    dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash == 0 ? 1 : slash);
    SyncFolder(dir);
}

void SyncFolder(const std::string& folder) {
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

std::string TempSibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

}  // namespace xbase::detail
