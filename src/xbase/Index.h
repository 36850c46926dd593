#pragma once
// The compound index file (.zix): every tag of a table as a sorted array of fixed-width entries
// (key bytes + record number), read through a memory map so that a seek is a binary search on the file.
// The layout is described in docs/index-format.md.

#include "xbase/Crypto.h"
#include "xbase/File.h"
#include "xbase/Format.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xbase::detail {

// The table state an index belongs to; any difference makes the index stale.
struct TableStamp {
    std::uint64_t fileSize = 0;
    std::uint32_t count = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t recordLength = 0;
    std::array<std::uint8_t, 16> headerDigest{};
    bool operator==(const TableStamp&) const = default;
};

class Tag {
public:
    std::string name;
    std::string field;
    int fieldIndex = -1;
    KeyKind kind = KeyKind::Character;
    std::uint32_t width = 0;

    std::uint32_t EntrySize() const { return width + 4; }
    std::size_t Count() const { return owned_ ? data_.size() / EntrySize() : mappedCount_; }
    // Entry i, decrypted; the pointer stays valid until the next access to this tag. An encrypted mapped tag
    // decrypts a run of entries at once when it is read forward, as walks do.
    const std::uint8_t* Entry(std::size_t i) const {
        if (owned_) return data_.data() + i * EntrySize();
        if (!cipher_.Active()) return mapped_ + i * EntrySize();
        if (i - windowFirst_ < windowCount_) return windowData_ + (i - windowFirst_) * EntrySize();
        return DecryptedEntry(i);
    }
    const std::uint8_t* Key(std::size_t i) const { return Entry(i); }
    std::uint32_t RecNo(std::size_t i) const {
        const std::uint8_t* n = Entry(i) + width;
        return std::uint32_t(n[0]) | (std::uint32_t(n[1]) << 8) | (std::uint32_t(n[2]) << 16) | (std::uint32_t(n[3]) << 24);
    }

    // First entry whose key is not below the given key. A character key shorter than the width is a
    // prefix: every key starting with it compares equal.
    std::size_t LowerBound(const std::uint8_t* key, std::size_t length) const;
    // 0 when entry i's key begins with (character) or equals (numeric) the given key.
    int Compare(std::size_t i, const std::uint8_t* key, std::size_t length) const;
    // Position of the entry (key, recNo), or Count() when absent.
    std::size_t Find(const std::uint8_t* key, std::uint32_t recNo) const;

    // Changes (owned storage only). Inserts are collected and merged by Settle, so bulk appends stay linear.
    void Insert(const std::uint8_t* key, std::uint32_t recNo);
    bool Remove(const std::uint8_t* key, std::uint32_t recNo);
    void Settle() {
        if (!pending_.empty()) Merge();
    }
    void Clear();

    void SetMapped(const std::uint8_t* base, std::size_t count, std::uint64_t fileOffset, const Cipher& cipher);
    // Mapped tags whose file is not in memory (the first search after a start): asks for the entries that
    // the first steps of every binary search can visit, all at once, so that the first seek waits for one
    // round of reads instead of one read per step. Once per tag; otherwise costs one look at the root's page.
    void PrefetchSearchLevels() const;
    // Encrypted mapped tags of read-only tables: keep the runs of entries decrypted so far, up to about
    // `bytes` (0 keeps only the current run). When full, everything kept is dropped and keeping starts again.
    void KeepDecrypted(std::size_t bytes);
    void SetOwned(std::vector<std::uint8_t> entries);
    void MakeOwned();
    bool Owned() const { return owned_; }
    const std::vector<std::uint8_t>& OwnedData() const { return data_; }

private:
    void Merge();  // the collected inserts into the sorted entries
    const std::uint8_t* DecryptedEntry(std::size_t i) const;
    void FillWindow(std::size_t first, std::size_t n) const;
    bool UseKeptWindow(std::size_t w) const;  // makes run w (entries from w * run length) current
    const std::uint8_t* SearchEntry(std::size_t node, std::size_t i) const;
    void ForgetDecrypted();

    const std::uint8_t* mapped_ = nullptr;
    std::size_t mappedCount_ = 0;
    mutable bool prefetched_ = false;
    std::uint64_t fileOffset_ = 0;
    Cipher cipher_;
    bool owned_ = true;
    std::vector<std::uint8_t> data_;
    std::vector<std::uint8_t> pending_;
    mutable std::vector<std::uint8_t> scratch_;
    mutable std::size_t scratchIndex_ = SIZE_MAX;
    // Encrypted mapped tags: decrypted entries [windowFirst_, windowFirst_ + windowCount_) ...
    mutable std::vector<std::uint8_t> window_;
    mutable const std::uint8_t* windowData_ = nullptr;  // window_ or a kept run
    mutable std::size_t windowFirst_ = 0, windowCount_ = 0;
    // Kept runs: keptRunAt_[w] is 1 + the offset of run w in keptRuns_, 0 when it is not kept.
    std::size_t keepBudget_ = 0;
    mutable ZeroSlots keptRunAt_;  // zero pages: no cost for the tag's size until runs are kept
    mutable std::vector<std::uint8_t> keptRuns_;
    // ... and the entries the first steps of every binary search visit, by their node in the search tree:
    // per node the entry's position + 1 (0: none yet) and the decrypted entry. Zero pages, so that a
    // process that seeks once pays only for the pages of the nodes on its one path.
    mutable ZeroPages searchTree_;
};

// Calls back with every record (1..count, deleted included), decrypted.
using RecordVisitor = std::function<void(std::uint32_t recNo, const std::uint8_t* record)>;
using RecordWalker = std::function<void(const RecordVisitor&)>;

class Index {
public:
    enum class Status { Ok, Missing, Stale, Foreign };

    // Loads an index file. owned: copy the entries into memory (writable tables) instead of mapping them.
    // storedTags receives the tag definitions of a readable file even when it is stale.
    // anyState: load an index of another state of the table too (same record layout and encryption; tag
    // sizes not compared with the table), for the verifier to compare its entries with the records.
    Status Load(const std::string& path, const TableStamp& stamp, const std::vector<FieldInfo>& fields,
                const Cipher& tableCipher, bool owned, std::vector<TagDef>& storedTags, std::string& why,
                bool anyState = false);
    // Builds the given tags (those whose field exists and can be a key) from the records.
    void Build(const std::vector<TagDef>& defs, const std::vector<FieldInfo>& fields, std::uint32_t count,
               const RecordWalker& walk);
    // Writes the index atomically (temporary file, fsync, rename).
    void Save(const std::string& path, const TableStamp& stamp, const Cipher& tableCipher);
    void Close();

    int FindTag(std::string_view name) const;  // 0-based, -1 when absent
    // The first bytes of the file as loaded or last saved: tells whether another writer replaced it since.
    static std::vector<std::uint8_t> ReadFileHeader(const std::string& path);
    std::vector<std::uint8_t> fileHeader;
    std::vector<Tag> tags;
    bool Damaged() const { return map_.Damaged(); }  // see Mapping

private:
    File file_;
    Mapping map_;
};

// Verification of a loaded tag: order, record numbers in range and each key equal to its record's key.
std::vector<std::string> CheckTag(const Tag& tag, std::uint32_t count, const FieldInfo& field,
                                  const std::function<const std::uint8_t*(std::uint32_t)>& record);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
int FindField(const std::vector<FieldInfo>& fields, std::string_view name);

}  // namespace xbase::detail
