#include "xbase/Index.h"

#include <algorithm>
#include <cstring>

namespace xbase::detail {
namespace {

constexpr char kMagic[8] = {'Z', 'A', 'N', 'I', 'T', 'Z', 'I', 'X'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kDirEntrySize = 64;
constexpr std::size_t kMaxTags = 256;
constexpr std::uint32_t kFlagEncrypted = 1;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint64_t Le64(const std::uint8_t* p) { return Le32(p) | (std::uint64_t(Le32(p + 4)) << 32); }
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void PutLe64(std::uint8_t* p, std::uint64_t v) {
    PutLe32(p, static_cast<std::uint32_t>(v));
    PutLe32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

std::string FixedString(const std::uint8_t* p, std::size_t n) {
    std::size_t len = 0;
    while (len < n && p[len] != 0) ++len;
    return std::string(reinterpret_cast<const char*>(p), len);
}

// Entries compare by key bytes, then by record number.
int CompareEntries(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t width) {
    int r = std::memcmp(a, b, width);
    if (r) return r;
    std::uint32_t ra = Le32(a + width), rb = Le32(b + width);
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

// The order of n keys of the given width, stored stride bytes apart; equal keys by record number, which
// follows the key (recNoAfterKey) or is the position + 1.
std::vector<std::uint32_t> SortedOrder(const std::uint8_t* base, std::size_t n, std::size_t stride, std::uint32_t width,
                                       bool recNoAfterKey) {
    struct Item {
        std::uint64_t prefix;
        std::uint32_t tie;
        std::uint32_t index;
    };
    std::vector<Item> items(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = base + i * stride;
        std::uint64_t prefix = 0;
        for (std::uint32_t b = 0; b < 8; ++b) prefix = (prefix << 8) | (b < width ? p[b] : 0);
        items[i] = {prefix, recNoAfterKey ? Le32(p + width) : static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i)};
    }
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        if (width > 8) {
            int r = std::memcmp(base + a.index * stride + 8, base + b.index * stride + 8, width - 8);
            if (r) return r < 0;
        }
        return a.tie < b.tie;
    });
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = items[i].index;
    return order;
}

bool Keyable(const FieldInfo& f) { return !f.memo && f.def.type != '0'; }

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

int FindField(const std::vector<FieldInfo>& fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (EqualsIgnoreCase(fields[i].def.name, name)) return static_cast<int>(i);
    }
    return -1;
}

// ---- Tag ----

namespace {

// Entries an encrypted tag decrypts at once: a binary search ends inside such a run and a walk goes on in it.
constexpr std::size_t kWindowEntries = 64;
// Levels of the binary search whose entries are kept decrypted: every seek passes through them.
constexpr unsigned kSearchLevels = 12;
// Levels of the binary search whose entries are asked for at once when the index file is not in memory: a
// few more single reads follow below them, the system's read-around covering the last steps.
constexpr unsigned kPrefetchedLevels = 7;
// Entries of a kept run: shorter than a window, so that the single entries a seek probes cost little memory.
constexpr std::size_t kKeptRunEntries = 16;

}  // namespace

const std::uint8_t* Tag::DecryptedEntry(std::size_t i) const {
    if (keepBudget_ > 0 && UseKeptWindow(i / kKeptRunEntries)) return windowData_ + (i - windowFirst_) * EntrySize();
    if (windowCount_ > 0 && i == windowFirst_ + windowCount_) {
        FillWindow(i, kWindowEntries);  // reading forward: the next run
        return windowData_;
    }
    const std::size_t es = EntrySize();
    if (scratchIndex_ != i) {
        scratch_.resize(es);
        std::memcpy(scratch_.data(), mapped_ + i * es, es);
        cipher_.Apply(scratch_.data(), es, fileOffset_ + std::uint64_t(i) * es);
        scratchIndex_ = i;
    }
    return scratch_.data();
}

void Tag::FillWindow(std::size_t first, std::size_t n) const {
    const std::size_t es = EntrySize();
    n = std::min(n, Count() - first);
    window_.assign(mapped_ + first * es, mapped_ + (first + n) * es);
    cipher_.Apply(window_.data(), window_.size(), fileOffset_ + std::uint64_t(first) * es);
    windowData_ = window_.data();
    windowFirst_ = first;
    windowCount_ = n;
}

void Tag::KeepDecrypted(std::size_t bytes) {
    keepBudget_ = owned_ || !cipher_.Active() ? 0 : bytes;
    keptRunAt_.Release();
    keptRuns_.clear();
    windowCount_ = 0;
}

bool Tag::UseKeptWindow(std::size_t w) const {
    const std::size_t es = EntrySize();
    const std::size_t first = w * kKeptRunEntries;
    const std::size_t n = std::min(kKeptRunEntries, Count() - first);
    const std::size_t bytes = n * es;
    if (bytes > keepBudget_) return false;
    if (keptRunAt_.empty()) keptRunAt_.Resize((Count() + kKeptRunEntries - 1) / kKeptRunEntries);
    std::uint32_t at = keptRunAt_[w];
    if (at == 0) {
        if (keptRuns_.size() + bytes > keepBudget_ || keptRuns_.size() + bytes >= 0xFFFFFFFFu) {
            keptRuns_.clear();
            keptRunAt_.Clear();
        }
        const std::size_t base = keptRuns_.size();
        keptRuns_.insert(keptRuns_.end(), mapped_ + first * es, mapped_ + first * es + bytes);
        cipher_.Apply(keptRuns_.data() + base, bytes, fileOffset_ + std::uint64_t(first) * es);
        at = static_cast<std::uint32_t>(base + 1);
        keptRunAt_[w] = at;
    }
    windowData_ = keptRuns_.data() + (at - 1);
    windowFirst_ = first;
    windowCount_ = n;
    return true;
}

const std::uint8_t* Tag::SearchEntry(std::size_t node, std::size_t i) const {
    const std::size_t es = EntrySize();
    const std::size_t slot = sizeof(std::uint64_t) + es;
    if (searchTree_.Size() == 0) searchTree_.Allocate(((std::size_t(1) << kSearchLevels) - 1) * slot);
    std::uint8_t* at = searchTree_.Data() + node * slot;
    std::uint64_t stored;
    std::memcpy(&stored, at, sizeof stored);
    std::uint8_t* entry = at + sizeof stored;
    if (stored != std::uint64_t(i) + 1) {
        std::memcpy(entry, mapped_ + i * es, es);
        cipher_.Apply(entry, es, fileOffset_ + std::uint64_t(i) * es);
        stored = std::uint64_t(i) + 1;
        std::memcpy(at, &stored, sizeof stored);
    }
    return entry;
}

void Tag::ForgetDecrypted() {
    scratchIndex_ = SIZE_MAX;
    windowCount_ = 0;
    keptRunAt_.Release();
    keptRuns_.clear();
    searchTree_.Release();
}


namespace {

int CompareKey(const std::uint8_t* k, std::uint32_t width, KeyKind kind, const std::uint8_t* key, std::size_t length) {
    const std::size_t n = std::min<std::size_t>(length, width);
    const int r = std::memcmp(k, key, n);
    if (r || kind == KeyKind::Numeric) return r;
    return length > width ? -1 : 0;
}

}  // namespace

int Tag::Compare(std::size_t i, const std::uint8_t* key, std::size_t length) const {
    return CompareKey(Key(i), width, kind, key, length);
}

std::size_t Tag::LowerBound(const std::uint8_t* key, std::size_t length) const {
    std::size_t lo = 0, hi = Count();
    if (!owned_ && cipher_.Active()) {
        // The first levels come from the kept entries, the last ones from one decrypted run.
        std::size_t node = 0;
        for (unsigned level = 0; lo < hi; ++level) {
            if (hi - lo <= kWindowEntries) {
                // Kept runs are aligned and short: the rest of the search reads a few of them.
                if (keepBudget_ == 0 && (lo < windowFirst_ || hi > windowFirst_ + windowCount_))
                    FillWindow(lo, kWindowEntries);
                break;
            }
            const std::size_t mid = lo + (hi - lo) / 2;
            const std::uint8_t* k = level < kSearchLevels ? SearchEntry(node, mid) : Entry(mid);
            if (CompareKey(k, width, kind, key, length) < 0) {
                lo = mid + 1;
                node = 2 * node + 2;
            } else {
                hi = mid;
                node = 2 * node + 1;
            }
        }
    }
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (Compare(mid, key, length) < 0) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

std::size_t Tag::Find(const std::uint8_t* key, std::uint32_t recNo) const {
    std::vector<std::uint8_t> probe(EntrySize());
    std::memcpy(probe.data(), key, width);
    PutLe32(probe.data() + width, recNo);
    std::size_t lo = 0, hi = Count();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (CompareEntries(Entry(mid), probe.data(), width) < 0) lo = mid + 1;
        else hi = mid;
    }
    if (lo < Count() && CompareEntries(Entry(lo), probe.data(), width) == 0) return lo;
    return Count();
}

void Tag::Insert(const std::uint8_t* key, std::uint32_t recNo) {
    MakeOwned();
    const std::size_t es = EntrySize();
    std::vector<std::uint8_t>& target =
        (pending_.empty() && (data_.empty() || [&] {
             const std::uint8_t* last = data_.data() + data_.size() - es;
             int r = std::memcmp(last, key, width);
             return r < 0 || (r == 0 && Le32(last + width) < recNo);
         }()))
            ? data_
            : pending_;
    std::size_t at = target.size();
    target.resize(at + es);
    std::memcpy(target.data() + at, key, width);
    PutLe32(target.data() + at + width, recNo);
}

void Tag::Merge() {
    const std::size_t es = EntrySize();
    const std::size_t n = pending_.size() / es;
    const std::vector<std::uint32_t> order = SortedOrder(pending_.data(), n, es, width, true);
    const std::uint8_t* p = pending_.data();
    const std::size_t m = data_.size() / es;
    std::vector<std::uint8_t> merged(data_.size() + pending_.size());
    std::uint8_t* out = merged.data();
    std::size_t i = 0, j = 0;
    while (i < m || j < n) {
        const std::uint8_t* src;
        if (j >= n || (i < m && CompareEntries(data_.data() + i * es, p + order[j] * es, width) <= 0)) {
            src = data_.data() + (i++) * es;
        } else {
            src = p + std::size_t(order[j++]) * es;
        }
        std::memcpy(out, src, es);
        out += es;
    }
    data_.swap(merged);
    pending_.clear();
}

bool Tag::Remove(const std::uint8_t* key, std::uint32_t recNo) {
    MakeOwned();
    Settle();
    std::size_t at = Find(key, recNo);
    if (at >= Count()) return false;
    const std::size_t es = EntrySize();
    data_.erase(data_.begin() + static_cast<std::ptrdiff_t>(at * es),
                data_.begin() + static_cast<std::ptrdiff_t>((at + 1) * es));
    return true;
}

void Tag::Clear() {
    owned_ = true;
    mapped_ = nullptr;
    mappedCount_ = 0;
    data_.clear();
    pending_.clear();
    ForgetDecrypted();
}

void Tag::PrefetchSearchLevels() const {
    const std::size_t n = Count();
    if (owned_ || n == 0 || prefetched_) return;
    prefetched_ = true;
    const std::size_t es = EntrySize();
    if (PageResident(mapped_ + (n / 2) * es)) return;  // every search starts there: the index is in memory
    struct Range {
        std::size_t lo, hi;
        unsigned level;
    };
    std::vector<Range> open{{0, n, 0}};  // the halves LowerBound can go on with, as it halves them
    while (!open.empty()) {
        const Range b = open.back();
        open.pop_back();
        if (b.lo >= b.hi || b.level >= kPrefetchedLevels) continue;
        const std::size_t mid = b.lo + (b.hi - b.lo) / 2;
        PrefetchPages(mapped_ + mid * es, es);
        open.push_back({b.lo, mid, b.level + 1});
        open.push_back({mid + 1, b.hi, b.level + 1});
    }
}

void Tag::SetMapped(const std::uint8_t* base, std::size_t count, std::uint64_t fileOffset, const Cipher& cipher) {
    Clear();
    owned_ = false;
    mapped_ = base;
    mappedCount_ = count;
    fileOffset_ = fileOffset;
    cipher_ = cipher;
    prefetched_ = false;
}

void Tag::SetOwned(std::vector<std::uint8_t> entries) {
    Clear();
    data_ = std::move(entries);
}

void Tag::MakeOwned() {
    if (owned_) return;
    const std::size_t es = EntrySize();
    std::vector<std::uint8_t> copy(mapped_, mapped_ + mappedCount_ * es);
    cipher_.Apply(copy.data(), copy.size(), fileOffset_);
    SetOwned(std::move(copy));
}

// ---- Index ----

int Index::FindTag(std::string_view name) const {
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (EqualsIgnoreCase(tags[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::uint8_t> Index::ReadFileHeader(const std::string& path) {
    File f;
    std::vector<std::uint8_t> head(kHeaderSize);
    if (f.Open(path, false, false) != OpenResult::Ok) return {};
    head.resize(f.ReadSome(0, head.data(), head.size()));
    return head;
}

void Index::Close() {
    fileHeader.clear();
    tags.clear();
    map_.Unmap();
    file_.Close();
}

Index::Status Index::Load(const std::string& path, const TableStamp& stamp, const std::vector<FieldInfo>& fields,
                          const Cipher& tableCipher, bool owned, std::vector<TagDef>& storedTags, std::string& why,
                          bool anyState) {
    Close();
    storedTags.clear();
    OpenResult r = file_.Open(path, false, false);
    if (r == OpenResult::NotFound) {
        why = "index file is missing";
        return Status::Missing;
    }
    if (r != OpenResult::Ok) {
        why = r == OpenResult::NotAFile ? "index file is not a regular file" : "index file cannot be opened";
        return Status::Missing;
    }
    const std::uint64_t size = file_.Size();
    if (size < kHeaderSize) {
        why = "index file is too short";
        return Status::Foreign;
    }
    map_.Map(file_, size);
    const std::uint8_t* d = map_.Data();
    if (std::memcmp(d, kMagic, 8) != 0 || Le32(d + 8) != kFormatVersion) {
        why = "not an index file of this engine";
        Close();
        return Status::Foreign;
    }
    const std::uint32_t tagCount = Le32(d + 12);
    if (tagCount > kMaxTags || kHeaderSize + kDirEntrySize * tagCount > size) {
        why = "index tag directory is damaged";
        Close();
        return Status::Foreign;
    }
    for (std::uint32_t t = 0; t < tagCount; ++t) {
        const std::uint8_t* e = d + kHeaderSize + kDirEntrySize * t;
        TagDef def{FixedString(e, 16), FixedString(e + 16, 16)};
        if (!def.name.empty() && !def.field.empty()) storedTags.push_back(def);
    }
    TableStamp found;
    found.fileSize = Le64(d + 16);
    found.count = Le32(d + 24);
    found.headerLength = Le32(d + 28);
    found.recordLength = Le32(d + 32);
    std::memcpy(found.headerDigest.data(), d + 40, 16);
    const bool encrypted = (Le32(d + 36) & kFlagEncrypted) != 0;
    const bool sameLayout = found.headerLength == stamp.headerLength && found.recordLength == stamp.recordLength &&
                            encrypted == tableCipher.Active();
    if (anyState ? !sameLayout : !(found == stamp) || encrypted != tableCipher.Active()) {
        why = anyState ? "index belongs to a table of another record layout" : "index belongs to another state of the table";
        Close();
        return anyState ? Status::Foreign : Status::Stale;
    }
    Cipher cipher = tableCipher.Derive("index", d + 56, 16);
    const std::uint64_t dirEnd = kHeaderSize + kDirEntrySize * tagCount;
    for (std::uint32_t t = 0; t < tagCount; ++t) {
        const std::uint8_t* e = d + kHeaderSize + kDirEntrySize * t;
        Tag tag;
        tag.name = FixedString(e, 16);
        tag.field = FixedString(e + 16, 16);
        tag.fieldIndex = FindField(fields, tag.field);
        const char kind = static_cast<char>(e[32]);
        tag.width = Le32(e + 36);
        const std::uint32_t count = Le32(e + 40);
        const std::uint64_t offset = Le64(e + 48);
        bool ok = !tag.name.empty() && tag.fieldIndex >= 0 && (kind == 'C' || kind == 'N');
        if (ok) {
            const FieldInfo& f = fields[static_cast<std::size_t>(tag.fieldIndex)];
            tag.kind = kind == 'N' ? KeyKind::Numeric : KeyKind::Character;
            ok = Keyable(f) && tag.kind == KeyKindOf(f) && tag.width == KeyWidth(f) && (anyState || count == stamp.count) &&
                 offset >= dirEnd && offset <= size && std::uint64_t(count) * tag.EntrySize() <= size - offset;
        }
        if (!ok) {
            why = "index tag " + tag.name + " does not fit the table";
            Close();
            return Status::Stale;
        }
        tag.SetMapped(d + offset, count, offset, cipher);
        if (owned) tag.MakeOwned();
        tags.push_back(std::move(tag));
    }
    fileHeader.assign(d, d + kHeaderSize);
    if (owned) {
        map_.Unmap();
        file_.Close();
    }
    return Status::Ok;
}

void Index::Build(const std::vector<TagDef>& defs, const std::vector<FieldInfo>& fields, std::uint32_t count,
                  const RecordWalker& walk) {
    Close();
    for (const auto& def : defs) {
        int fi = FindField(fields, def.field);
        if (fi < 0 || def.name.empty() || def.name.size() > 15 || FindTag(def.name) >= 0) continue;
        const FieldInfo& f = fields[static_cast<std::size_t>(fi)];
        if (!Keyable(f)) continue;
        Tag tag;
        tag.name = def.name;
        tag.field = f.def.name;
        tag.fieldIndex = fi;
        tag.kind = KeyKindOf(f);
        tag.width = static_cast<std::uint32_t>(KeyWidth(f));
        tags.push_back(std::move(tag));
    }
    if (tags.empty()) return;

    // Keys of every record, tag by tag, in record order.
    std::vector<std::vector<std::uint8_t>> keys(tags.size());
    for (std::size_t t = 0; t < tags.size(); ++t) keys[t].resize(std::size_t(count) * tags[t].width);
    if (count) {
        walk([&](std::uint32_t recNo, const std::uint8_t* record) {
            if (recNo < 1 || recNo > count) return;
            for (std::size_t t = 0; t < tags.size(); ++t) {
                const Tag& tag = tags[t];
                MakeKey(fields[static_cast<std::size_t>(tag.fieldIndex)], record,
                        keys[t].data() + std::size_t(recNo - 1) * tag.width);
            }
        });
    }

    for (std::size_t t = 0; t < tags.size(); ++t) {
        Tag& tag = tags[t];
        const std::uint32_t w = tag.width;
        const std::uint8_t* k = keys[t].data();
        const std::vector<std::uint32_t> order = SortedOrder(k, count, w, w, false);
        const std::size_t es = tag.EntrySize();
        std::vector<std::uint8_t> entries(std::size_t(count) * es);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t* e = entries.data() + std::size_t(i) * es;
            std::memcpy(e, k + std::size_t(order[i]) * w, w);
            PutLe32(e + w, order[i] + 1);
        }
        tag.SetOwned(std::move(entries));
        std::vector<std::uint8_t>().swap(keys[t]);
    }
}

void Index::Save(const std::string& path, const TableStamp& stamp, const Cipher& tableCipher) {
    for (auto& tag : tags) tag.Settle();
    std::vector<std::uint8_t> head(kHeaderSize + kDirEntrySize * tags.size(), 0);
    std::uint8_t* d = head.data();
    std::memcpy(d, kMagic, 8);
    PutLe32(d + 8, kFormatVersion);
    PutLe32(d + 12, static_cast<std::uint32_t>(tags.size()));
    PutLe64(d + 16, stamp.fileSize);
    PutLe32(d + 24, stamp.count);
    PutLe32(d + 28, stamp.headerLength);
    PutLe32(d + 32, stamp.recordLength);
    PutLe32(d + 36, tableCipher.Active() ? kFlagEncrypted : 0);
    std::memcpy(d + 40, stamp.headerDigest.data(), 16);
    if (tableCipher.Active()) RandomBytes(d + 56, 16);  // a fresh key stream for every version of the file
    Cipher cipher = tableCipher.Derive("index", d + 56, 16);

    std::uint64_t offset = head.size();
    std::vector<std::uint64_t> offsets;
    for (std::size_t t = 0; t < tags.size(); ++t) {
        offset = (offset + 7) & ~std::uint64_t(7);
        offsets.push_back(offset);
        const Tag& tag = tags[t];
        std::uint8_t* e = d + kHeaderSize + kDirEntrySize * t;
        std::memcpy(e, tag.name.data(), std::min<std::size_t>(tag.name.size(), 15));
        std::memcpy(e + 16, tag.field.data(), std::min<std::size_t>(tag.field.size(), 15));
        e[32] = tag.kind == KeyKind::Numeric ? 'N' : 'C';
        PutLe32(e + 36, tag.width);
        PutLe32(e + 40, static_cast<std::uint32_t>(tag.Count()));
        PutLe64(e + 48, offset);
        offset += std::uint64_t(tag.Count()) * tag.EntrySize();
    }

    const std::string temp = TempSibling(path);
    {
        File out;
        if (out.Open(temp, true, true) != OpenResult::Ok) throw IoError(path, "cannot write the index file");
        try {
            out.Write(0, head.data(), head.size());
            std::vector<std::uint8_t> chunk;
            for (std::size_t t = 0; t < tags.size(); ++t) {
                Tag& tag = tags[t];
                tag.MakeOwned();
                const auto& data = tag.OwnedData();
                const std::size_t step = 1 << 20;
                for (std::size_t at = 0; at < data.size(); at += step) {
                    std::size_t n = std::min(step, data.size() - at);
                    chunk.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                                 data.begin() + static_cast<std::ptrdiff_t>(at + n));
                    cipher.Apply(chunk.data(), n, offsets[t] + at);
                    out.Write(offsets[t] + at, chunk.data(), n);
                }
            }
            out.Sync();
        } catch (...) {
            out.Close();
            RemoveFile(temp);
            throw;
        }
    }
    ReplaceAtomically(temp, path);
    fileHeader.assign(head.begin(), head.begin() + kHeaderSize);
}

std::vector<std::string> CheckTag(const Tag& tag, std::uint32_t count, const FieldInfo& field,
                                  const std::function<const std::uint8_t*(std::uint32_t)>& record) {
    std::vector<std::string> problems;
    const std::string name = "index tag " + tag.name + ": ";
    if (tag.Count() != count) {
        problems.push_back(name + std::to_string(tag.Count()) + " entries for " + std::to_string(count) + " records");
    }
    std::vector<std::uint8_t> prev(tag.EntrySize()), key(tag.width);
    std::vector<bool> seen(std::size_t(count) + 1, false);
    std::size_t reported = 0;
    auto report = [&](std::string text) {
        if (reported++ < 20) problems.push_back(name + text);
    };
    for (std::size_t i = 0; i < tag.Count(); ++i) {
        const std::uint8_t* e = tag.Entry(i);
        std::uint32_t rec = Le32(e + tag.width);
        if (i > 0 && CompareEntries(prev.data(), e, tag.width) >= 0) report("entry " + std::to_string(i + 1) + " is out of order");
        std::memcpy(prev.data(), e, tag.EntrySize());
        if (rec < 1 || rec > count) {
            report("entry " + std::to_string(i + 1) + " points past the table (record " + std::to_string(rec) + ")");
            continue;
        }
        if (seen[rec]) report("record " + std::to_string(rec) + " is listed twice");
        seen[rec] = true;
        const std::uint8_t* r = record(rec);
        if (!r) continue;
        MakeKey(field, r, key.data());
        if (std::memcmp(key.data(), prev.data(), tag.width) != 0) {
            report("key of record " + std::to_string(rec) + " differs from the record");
        }
    }
    if (reported > 20) problems.push_back(name + std::to_string(reported - 20) + " more problems");
    return problems;
}

}  // namespace xbase::detail
