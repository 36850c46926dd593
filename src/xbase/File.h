#pragma once
// Platform file access for the engine: positioned reads and writes, size, sync, read-only memory maps and
// byte-range locks. One implementation per platform (posix/, win/).

#include <cstddef>
#include <cstdint>
#include <string>

namespace xbase::detail {

// Byte ranges the engine locks in the table file. They lie far beyond the data (locking past the end is
// allowed) so that Windows' mandatory locks never hide record bytes from readers. The append and record
// locks follow the conventional FoxPro layout for tables without a structural index.
constexpr std::uint64_t kOpenLockOffset = 0x3FFFFFFF;  // shared opens read-lock it, exclusive opens write-lock it
constexpr std::uint64_t kAppendLockOffset = 0x40000000;
inline std::uint64_t RecordLockOffset(std::uint32_t headerLength, std::uint32_t recordLength, std::uint32_t recNo) {
    return kAppendLockOffset + headerLength + std::uint64_t(recNo - 1) * recordLength;
}

enum class OpenResult { Ok, NotFound, Busy, Failed };

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

// A read-only view of a file's first bytes.
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

private:
    const std::uint8_t* data_ = nullptr;
    std::uint64_t size_ = 0;
#ifdef _WIN32
    void* mapping_ = nullptr;
#endif
};

bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);                                   // ignores a missing file
void ReplaceAtomically(const std::string& from, const std::string& to);          // atomic rename, throws IoError
std::string TempSibling(const std::string& path);                          // unique name beside path

}  // namespace xbase::detail
