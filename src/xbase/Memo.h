#pragma once
// Memo files: FoxPro .fpt (length-prefixed blocks, binary-safe; written by the engine) and dBASE III .dbt
// (text ended by 0x1A). Every pointer and length is checked against the file before anything is read.

#include "xbase/Crypto.h"
#include "xbase/File.h"
#include "xbase/Format.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace xbase::detail {

constexpr std::uint32_t kFptHeaderSize = 512;
constexpr std::uint32_t kFptBlockSize = 64;
constexpr std::uint32_t kDbtBlockSize = 512;
constexpr std::uint32_t kMemoTypeBinary = 0;
constexpr std::uint32_t kMemoTypeText = 1;

class MemoFile {
public:
    // Writes an empty .fpt (header only).
    static void CreateFpt(const std::string& path, std::uint32_t blockSize = kFptBlockSize);

    // Opens the memo file of a table. A missing or damaged file does not fail the open: the problem is kept
    // and reported by the first Read or Write.
    void Open(const std::string& path, MemoKind kind, bool write, const Cipher& cipher);
    void Close();
    bool Usable() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    const std::string& Path() const { return path_; }

    std::string Read(std::uint32_t block) const;                 // throws FormatError
    std::uint32_t Write(std::string_view data, bool binary);       // appends; returns the block number
    void Reset();                                                  // empties the file (Zap)
    void Sync();
    void SetCipher(const Cipher& cipher) { cipher_ = cipher; }

    // Structural check for verification: the reasons a block is unreadable, empty when fine.
    std::string Check(std::uint32_t block) const;

private:
    std::string ReadFpt(std::uint32_t block) const;
    std::string ReadDbt(std::uint32_t block) const;
    void Require() const;

    File file_;
    std::string path_;
    std::string problem_ = "memo file is not open";
    MemoKind kind_ = MemoKind::None;
    std::uint32_t blockSize_ = 0;
    Cipher cipher_;
};

std::uint32_t Be32(const std::uint8_t* p);
void PutBe32(std::uint8_t* p, std::uint32_t v);

}  // namespace xbase::detail
