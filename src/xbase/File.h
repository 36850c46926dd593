#pragma once
// Platform file access for the engine: positioned reads and writes, size, sync, read-only memory maps and
// byte-range locks. One implementation per platform (posix/, win/).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace xbase::detail {

// Byte ranges the engine locks in the table file. They lie far beyond the data (locking past the end is
// allowed) so that Windows' mandatory locks never hide record bytes from readers. The append and record
// locks follow the conventional FoxPro layout for tables without a structural index.
constexpr std::uint64_t kOpenLockOffset = 0x3FFFFFFF;  // shared opens read-lock it, exclusive opens write-lock it
constexpr std::uint64_t kAppendLockOffset = 0x40000000;
inline std::uint64_t RecordLockOffset(std::uint32_t headerLength, std::uint32_t recordLength, std::uint32_t recNo) {
    return kAppendLockOffset + headerLength + std::uint64_t(recNo - 1) * recordLength;
}

// NotAFile: a folder, device, pipe or socket stands at the path; it is never read (a pipe would block).
enum class OpenResult { Ok, NotFound, Busy, NotAFile, Failed };

class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens an existing file (create = false) or creates/truncates one. exclusiveShare asks the platform to
    // refuse other opens while this one lasts where it can (Windows share modes); POSIX relies on OpenLock.
    OpenResult Open(const std::string& path, bool write, bool create, bool exclusiveShare = false);
    void Close();
    bool IsOpen() const;
    const std::string& Path() const { return path_; }
    bool Writable() const { return write_; }

    std::uint64_t Size() const;                                  // throws IoError
    std::size_t ReadSome(std::uint64_t offset, void* buffer, std::size_t n) const;  // bytes read, throws IoError
    void ReadExact(std::uint64_t offset, void* buffer, std::size_t n) const;      // FormatError when short
    void Write(std::uint64_t offset, const void* data, std::size_t n);           // throws IoError
    void Truncate(std::uint64_t size);
    void Sync();

    // Open-mode lock: shared opens coexist, an exclusive one excludes every other. Non-blocking.
    bool OpenLock(bool exclusive);
    // One-byte-range write locks, non-blocking (TryLock) or waiting (Lock).
    bool TryLock(std::uint64_t offset, std::uint64_t length);
    void Lock(std::uint64_t offset, std::uint64_t length);
    void Unlock(std::uint64_t offset, std::uint64_t length);

#ifdef _WIN32
    void* Handle() const { return handle_; }
#else
    int Descriptor() const { return fd_; }
#endif

private:
    std::string path_;
    bool write_ = false;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
    int lockFd_ = -1;  // a writable descriptor that carries the exclusive lock of a read-only open
#endif
};

// A read-only view of a file's first bytes. On POSIX a file cut short under the view would kill the process
// with SIGBUS at the first read past its new end; instead, the pages past the end read as zeros and the view
// reports itself damaged, so that the table turns the reads into a FormatError.
class Mapping {
public:
    Mapping() = default;
    ~Mapping();
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    void Map(const File& file, std::uint64_t size);  // size 0 gives an empty view; throws IoError
    void Unmap();
    const std::uint8_t* Data() const { return data_; }
    std::uint64_t Size() const { return size_; }
    // A read met a page that the file no longer holds (the file was cut short or replaced in place while
    // mapped). Stays set for the life of this object, across Unmap and Map.
    bool Damaged() const { return damaged_.load(std::memory_order_relaxed); }

private:
    const std::uint8_t* data_ = nullptr;
    std::uint64_t size_ = 0;
    std::atomic<bool> damaged_{false};
#ifdef _WIN32
    void* mapping_ = nullptr;
#endif
};

// Pages of a mapped file: whether the page holding `p` is in memory, and a request to read the pages of
// [p, p + n) in the background (the reads of several requests go out together). Where the system cannot
// tell, a page counts as in memory and the request does nothing.
bool PageResident(const void* p);
void PrefetchPages(const void* p, std::size_t n);

// An advisory lock on a folder, held while the object lives: flock on the folder on POSIX, a locked file in
// it on Windows. TryLock does not wait; false when another holder has it or the folder is gone.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool TryLock(const std::string& folder);

private:
#ifdef _WIN32
    File file_;
#else
    int fd_ = -1;
#endif
};

// Zero-filled memory that the system hands out page by page when it is first written: a table of a slot per
// record costs nothing at allocation, however many records the file holds, and clearing gives the written
// pages back. Throws std::bad_alloc when the address space is not available.
class ZeroPages {
public:
    ZeroPages() = default;
    ~ZeroPages();
    ZeroPages(const ZeroPages&) = delete;
    ZeroPages& operator=(const ZeroPages&) = delete;
    ZeroPages(ZeroPages&& other) noexcept { Swap(other); }
    ZeroPages& operator=(ZeroPages&& other) noexcept {
        ZeroPages gone(std::move(other));
        Swap(gone);
        return *this;
    }
    void Allocate(std::size_t bytes);  // replaces what was there with `bytes` zero bytes
    void Clear();                      // every byte zero again
    void Release();
    void Swap(ZeroPages& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
    }
    std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// A table of 32-bit slots in ZeroPages, every slot 0 until it is set (slots per record or index run).
class ZeroSlots {
public:
    std::size_t size() const { return pages_.Size() / sizeof(std::uint32_t); }
    bool empty() const { return pages_.Size() == 0; }
    std::uint32_t& operator[](std::size_t i) const { return reinterpret_cast<std::uint32_t*>(pages_.Data())[i]; }
    // At least n slots; the slots set so far keep their values.
    void Resize(std::size_t n) {
        if (n <= size()) return;
        ZeroPages larger;
        larger.Allocate(n * sizeof(std::uint32_t));
        if (!empty()) std::memcpy(larger.Data(), pages_.Data(), pages_.Size());
        pages_.Swap(larger);
    }
    void Clear() { pages_.Clear(); }  // every slot 0
    void Release() { pages_.Release(); }  // no slots

private:
    ZeroPages pages_;
};

bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);                                   // ignores a missing file
void ReplaceAtomically(const std::string& from, const std::string& to);          // atomic rename, throws IoError
std::string TempSibling(const std::string& path);                          // unique name beside path
void SyncFolder(const std::string& folder);  // makes renames in the folder durable where the platform can

}  // namespace xbase::detail
