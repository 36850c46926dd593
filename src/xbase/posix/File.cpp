// POSIX file access: pread/pwrite, mmap and open-file-description locks (fcntl F_OFD_SETLK), so that two
// table objects in one process exclude each other exactly like two processes do.
#include "xbase/File.h"

#include "xbase/Table.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    int flags = (write_ ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    if (create) flags |= O_CREAT | O_TRUNC;
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno == ENOENT ? OpenResult::NotFound : OpenResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenResult::Failed;
    }
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
    if (lockFd_ < 0) lockFd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (lockFd_ < 0) return SetLock(fd_, F_RDLCK, kOpenLockOffset, 1, false);
    return SetLock(lockFd_, F_WRLCK, kOpenLockOffset, 1, false);
}

bool File::TryLock(std::uint64_t offset, std::uint64_t length) { return SetLock(fd_, F_WRLCK, offset, length, false); }

void File::Lock(std::uint64_t offset, std::uint64_t length) {
    if (!SetLock(fd_, F_WRLCK, offset, length, true)) throw LockError(path_, "cannot lock: " + ErrnoText(errno));
}

void File::Unlock(std::uint64_t offset, std::uint64_t length) { SetLock(fd_, F_UNLCK, offset, length, false); }

Mapping::~Mapping() { Unmap(); }

void Mapping::Map(const File& file, std::uint64_t size) {
    Unmap();
    if (size == 0) return;
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, file.Descriptor(), 0);
    if (p == MAP_FAILED) throw IoError(file.Path(), "cannot map the file: " + ErrnoText(errno));
    data_ = static_cast<const std::uint8_t*>(p);
    size_ = size;
}

void Mapping::Unmap() {
    if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
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
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
