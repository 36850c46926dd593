// Windows file access: positioned ReadFile/WriteFile, file mappings, share modes for exclusive opens and
// LockFileEx byte-range locks.
#include "xbase/File.h"

#include "xbase/Table.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <windows.h>

namespace xbase::detail {
namespace {

// Paths are Windows-1252 text like every other text of the core.
std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string LastErrorText() { return "system error " + std::to_string(::GetLastError()); }

HANDLE H(void* h) { return static_cast<HANDLE>(h); }

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED ov{};
    ov.Offset = static_cast<DWORD>(offset);
    ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ov;
}

bool LockRange(void* handle, std::uint64_t offset, std::uint64_t length, bool wait) {
    OVERLAPPED ov = At(offset);
    DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    return ::LockFileEx(H(handle), flags, 0, static_cast<DWORD>(length), static_cast<DWORD>(length >> 32), &ov) != 0;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : path_(std::move(other.path_)), write_(other.write_), handle_(other.handle_) {
    other.handle_ = nullptr;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        write_ = other.write_;
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

OpenResult File::Open(const std::string& path, bool write, bool create, bool exclusiveShare) {
    Close();
    path_ = path;
    write_ = write || create;
    DWORD access = GENERIC_READ | (write_ ? GENERIC_WRITE : 0);
    // An exclusive table shares nothing: every other open fails at once with a sharing violation.
    DWORD share = exclusiveShare ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    HANDLE h = ::CreateFileW(Widen(path).c_str(), access, share, nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return OpenResult::NotFound;
        if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION) return OpenResult::Busy;
        return OpenResult::Failed;
    }
    if (::GetFileType(h) != FILE_TYPE_DISK) {  // a device or pipe in the table's place
        ::CloseHandle(h);
        return OpenResult::NotAFile;
    }
    handle_ = h;
    return OpenResult::Ok;
}

void File::Close() {
    if (handle_) {
        ::CloseHandle(H(handle_));
        handle_ = nullptr;
    }
}

bool File::IsOpen() const { return handle_ != nullptr; }

std::uint64_t File::Size() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(H(handle_), &size)) throw IoError(path_, "cannot read the file size: " + LastErrorText());
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t File::ReadSome(std::uint64_t offset, void* buffer, std::size_t n) const {
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < n) {
        OVERLAPPED ov = At(offset + done);
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(H(handle_), out + done, chunk, &got, &ov)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            throw IoError(path_, "read failed: " + LastErrorText());
        }
        if (got == 0) break;
        done += got;
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
        OVERLAPPED ov = At(offset + done);
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(H(handle_), in + done, chunk, &put, &ov)) throw IoError(path_, "write failed: " + LastErrorText());
        done += put;
    }
}

void File::Truncate(std::uint64_t size) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFileInformationByHandle(H(handle_), FileEndOfFileInfo, &info, sizeof info)) {
        throw IoError(path_, "truncate failed: " + LastErrorText());
    }
}

void File::Sync() {
    if (!::FlushFileBuffers(H(handle_))) throw IoError(path_, "sync failed: " + LastErrorText());
}

bool File::OpenLock(bool /*exclusive*/) { return true; }  // the share mode of Open did it

bool File::TryLock(std::uint64_t offset, std::uint64_t length) { return LockRange(handle_, offset, length, false); }

void File::Lock(std::uint64_t offset, std::uint64_t length) {
    if (!LockRange(handle_, offset, length, true)) throw LockError(path_, "cannot lock: " + LastErrorText());
}

void File::Unlock(std::uint64_t offset, std::uint64_t length) {
    OVERLAPPED ov = At(offset);
    ::UnlockFileEx(H(handle_), 0, static_cast<DWORD>(length), static_cast<DWORD>(length >> 32), &ov);
}

Mapping::~Mapping() { Unmap(); }

void Mapping::Map(const File& file, std::uint64_t size) {
    Unmap();
    if (size == 0) return;
    HANDLE m = ::CreateFileMappingW(H(file.Handle()), nullptr, PAGE_READONLY, static_cast<DWORD>(size >> 32),
                                    static_cast<DWORD>(size), nullptr);
    if (!m) throw IoError(file.Path(), "cannot map the file: " + LastErrorText());
    void* view = ::MapViewOfFile(m, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    if (!view) {
        ::CloseHandle(m);
        throw IoError(file.Path(), "cannot map the file: " + LastErrorText());
    }
    mapping_ = m;
    data_ = static_cast<const std::uint8_t*>(view);
    size_ = size;
}

void Mapping::Unmap() {
    if (data_) ::UnmapViewOfFile(data_);
    if (mapping_) ::CloseHandle(H(mapping_));
    data_ = nullptr;
    mapping_ = nullptr;
    size_ = 0;
}

FolderLock::~FolderLock() = default;

// A byte-range lock on a file in the folder. The file stays shared for deletion, so that its holder can remove
// the folder's contents while it holds the lock; a lock file waiting for deletion cannot be opened again, so
// nobody else takes the folder in the meantime. The emptied folder goes once the lock is released (see
// Replace.cpp).
bool FolderLock::TryLock(const std::string& folder) {
    const std::string path = folder + "\\lock";
    OpenResult r = file_.Open(path, true, false);
    if (r == OpenResult::NotFound) {
        DWORD a = ::GetFileAttributesW(Widen(folder).c_str());
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return false;  // the folder is gone
        HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
        r = file_.Open(path, true, false);
    }
    if (r == OpenResult::Ok && file_.TryLock(0, 1)) return true;
    file_.Close();
    return false;
}

ZeroPages::~ZeroPages() { Release(); }

void ZeroPages::Allocate(std::size_t bytes) {
    Release();
    if (bytes == 0) return;
    // Committed pages are zero and take memory only when first touched.
    void* p = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!p) throw std::bad_alloc();
    data_ = static_cast<std::uint8_t*>(p);
    size_ = bytes;
}

void ZeroPages::Clear() {
    if (!data_) return;
    // Decommitted and committed again, the pages read as zeros.
    if (::VirtualFree(data_, size_, MEM_DECOMMIT) && ::VirtualAlloc(data_, size_, MEM_COMMIT, PAGE_READWRITE)) return;
    std::memset(data_, 0, size_);
}

void ZeroPages::Release() {
    if (data_) ::VirtualFree(data_, 0, MEM_RELEASE);
    data_ = nullptr;
    size_ = 0;
}

bool FileExists(const std::string& path) {
    DWORD attr = ::GetFileAttributesW(Widen(path).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveFile(const std::string& path) { ::DeleteFileW(Widen(path).c_str()); }

void ReplaceAtomically(const std::string& from, const std::string& to) {
    if (!::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::string why = LastErrorText();
        ::DeleteFileW(Widen(from).c_str());
        throw IoError(to, "cannot replace the file: " + why);
    }
}

std::string TempSibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(counter++);
}

// MOVEFILE_WRITE_THROUGH makes each rename durable; a folder cannot be flushed on its own.
void SyncFolder(const std::string& /*folder*/) {}

bool PageResident(const void*) { return true; }
void PrefetchPages(const void*, std::size_t) {}

}  // namespace xbase::detail
