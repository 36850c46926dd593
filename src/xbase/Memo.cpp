#include "xbase/Memo.h"

#include <cstring>
#include <vector>

namespace xbase::detail {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t HeaderBlocks(std::uint32_t blockSize) { return (kFptHeaderSize + blockSize - 1) / blockSize; }

// A dBASE III memo has no length; a text longer than this is taken as damage.
constexpr std::uint64_t kDbtMaxText = 64ull * 1024 * 1024;

}  // namespace

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
}

void PutBe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

void MemoFile::CreateFpt(const std::string& path, std::uint32_t blockSize) {
    File f;
    if (f.Open(path, true, true) != OpenResult::Ok) throw IoError(path, "cannot create the memo file");
    std::vector<std::uint8_t> header(kFptHeaderSize, 0);
    PutBe32(header.data(), HeaderBlocks(blockSize));
    header[6] = static_cast<std::uint8_t>(blockSize >> 8);
    header[7] = static_cast<std::uint8_t>(blockSize);
    f.Write(0, header.data(), header.size());
    f.Sync();
}

void MemoFile::Open(const std::string& path, MemoKind kind, bool write, const Cipher& cipher) {
    Close();
    path_ = path;
    kind_ = kind;
    cipher_ = cipher;
    OpenResult r = file_.Open(path, write, false);
    if (r != OpenResult::Ok) {
        problem_ = r == OpenResult::NotFound   ? "memo file is missing"
                   : r == OpenResult::NotAFile ? "memo file is not a regular file"
                                               : "memo file cannot be opened";
        return;
    }
    std::uint8_t h[32] = {};
    if (file_.ReadSome(0, h, sizeof h) < (kind == MemoKind::Fpt ? 8u : 4u)) {
        problem_ = "memo file header is truncated";
        return;
    }
    if (kind == MemoKind::Fpt) {
        blockSize_ = (std::uint32_t(h[6]) << 8) | h[7];
        if (blockSize_ == 0) {
            problem_ = "memo block size is 0";
            return;
        }
    } else {
        blockSize_ = kDbtBlockSize;
        std::uint32_t iv = h[20] | (std::uint32_t(h[21]) << 8);  // dBASE IV keeps its block size here
        if (h[16] == 0x03 && iv >= 64 && iv % 64 == 0) blockSize_ = iv;
    }
    problem_.clear();
}

void MemoFile::Close() {
    file_.Close();
    problem_ = "memo file is not open";
}

void MemoFile::Require() const {
    if (!problem_.empty()) throw FormatError(path_, problem_);
}

std::string MemoFile::Check(std::uint32_t block) const {
    try {
        Read(block);
        return {};
    } catch (const TableError& e) {
        return e.reason();
    }
}

std::string MemoFile::Read(std::uint32_t block) const {
    Require();
    return kind_ == MemoKind::Fpt ? ReadFpt(block) : ReadDbt(block);
}

std::string MemoFile::ReadFpt(std::uint32_t block) const {
    const std::uint64_t size = file_.Size();
    const std::uint64_t offset = std::uint64_t(block) * blockSize_;
    const std::string where = "memo block " + std::to_string(block);
    if (offset < kFptHeaderSize) throw FormatError(path_, where + " lies in the memo header");
    if (offset + 8 > size) throw FormatError(path_, where + " lies past the end of the memo file");
    std::uint8_t h[8];
    file_.ReadExact(offset, h, 8);
    const std::uint32_t type = Be32(h);
    const std::uint32_t length = Be32(h + 4);
    if (type > 2) throw FormatError(path_, where + " has unknown type " + std::to_string(type));
    if (length > size - offset - 8) {
        throw FormatError(path_, where + " claims " + std::to_string(length) + " bytes, more than the file holds");
    }
    std::string data(length, '\0');
    file_.ReadExact(offset + 8, data.data(), length);
    cipher_.Apply(reinterpret_cast<std::uint8_t*>(data.data()), length, offset + 8);
    return data;
}

std::string MemoFile::ReadDbt(std::uint32_t block) const {
    const std::uint64_t size = file_.Size();
    const std::uint64_t offset = std::uint64_t(block) * blockSize_;
    const std::string where = "memo block " + std::to_string(block);
    if (block == 0) throw FormatError(path_, where + " lies in the memo header");
    if (offset >= size) throw FormatError(path_, where + " lies past the end of the memo file");
    std::uint8_t h[8] = {};
    std::size_t got = file_.ReadSome(offset, h, 8);
    if (got == 8 && h[0] == 0xFF && h[1] == 0xFF && h[2] == 0x08 && h[3] == 0x00) {
        // dBASE IV block: length includes the 8 header bytes.
        std::uint32_t length = Le32(h + 4);
        if (length < 8 || length - 8 > size - offset - 8) throw FormatError(path_, where + " has a bad length");
        std::string data(length - 8, '\0');
        file_.ReadExact(offset + 8, data.data(), data.size());
        return data;
    }
    std::string data;
    std::uint64_t pos = offset;
    char buf[4096];
    while (pos < size) {
        std::size_t n = file_.ReadSome(pos, buf, sizeof buf);
        if (n == 0) break;
        const void* end = std::memchr(buf, 0x1A, n);
        if (end) {
            data.append(buf, static_cast<std::size_t>(static_cast<const char*>(end) - buf));
            return data;
        }
        data.append(buf, n);
        pos += n;
        if (data.size() > kDbtMaxText) throw FormatError(path_, where + " has no end mark");
    }
    return data;  // text running to the end of the file
}

std::uint32_t MemoFile::Write(std::string_view data, bool binary) {
    Require();
    if (!file_.Writable()) throw UsageError(path_, "memo file is read-only");
    const bool dbt = kind_ == MemoKind::Dbt;
    if (dbt && std::memchr(data.data(), 0x1A, data.size())) {
        throw UsageError(path_, "a dBASE III memo cannot hold the byte 0x1A");
    }
    // New blocks go to the end of the file, whatever the free pointer says: behind the end it would
    // overwrite blocks written before a crash, beyond it leave a hole.
    const std::uint64_t first = dbt ? 1 : HeaderBlocks(blockSize_);
    const std::uint64_t block = std::max<std::uint64_t>(first, (file_.Size() + blockSize_ - 1) / blockSize_);
    const std::uint64_t offset = block * blockSize_;
    const std::size_t prefix = dbt ? 0 : 8;  // .fpt: type and length; .dbt: text ended by 0x1A 0x1A
    const std::size_t suffix = dbt ? 2 : 0;
    const std::uint64_t blocks = (prefix + data.size() + suffix + blockSize_ - 1) / blockSize_;
    if (block + blocks > 0xFFFFFFFFull || data.size() > 0xFFFFFFFFull) throw IoError(path_, "memo file is full");
    std::vector<std::uint8_t> out(blocks * blockSize_, 0);
    std::memcpy(out.data() + prefix, data.data(), data.size());
    if (dbt) {
        out[data.size()] = 0x1A;
        out[data.size() + 1] = 0x1A;
    } else {
        PutBe32(out.data(), binary ? kMemoTypeBinary : kMemoTypeText);
        PutBe32(out.data() + 4, static_cast<std::uint32_t>(data.size()));
        cipher_.Apply(out.data() + 8, data.size(), offset + 8);
    }
    file_.Write(offset, out.data(), out.size());
    std::uint8_t h[4];
    const auto next = static_cast<std::uint32_t>(block + blocks);
    if (dbt) PutLe32(h, next);
    else PutBe32(h, next);
    file_.Write(0, h, 4);
    return static_cast<std::uint32_t>(block);
}

void MemoFile::Reset() {
    Require();
    if (kind_ == MemoKind::Fpt) {
        std::uint32_t first = HeaderBlocks(blockSize_);
        file_.Truncate(std::uint64_t(first) * blockSize_ > kFptHeaderSize ? std::uint64_t(first) * blockSize_
                                                                          : kFptHeaderSize);
        std::uint8_t h[4];
        PutBe32(h, first);
        file_.Write(0, h, 4);
    } else {
        file_.Truncate(blockSize_);
        std::uint8_t h[4];
        PutLe32(h, 1);
        file_.Write(0, h, 4);
    }
}

void MemoFile::Sync() {
    if (file_.IsOpen() && file_.Writable()) file_.Sync();
}

}  // namespace xbase::detail
