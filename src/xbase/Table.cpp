#include "xbase/Table.h"

#include "xbase/TableImpl.h"

#include "xbase/Replace.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

namespace xbase {

using namespace detail;

TableError::TableError(std::string file, std::string reason)
    : std::runtime_error(file + ": " + reason), file_(std::move(file)), reason_(std::move(reason)) {}

namespace {

std::mutex& GlobalMutex() {
    static std::mutex m;
    return m;
}
std::vector<TagDef>& TagRegistry() {
    static std::vector<TagDef> tags;
    return tags;
}
std::function<void(const std::string&)>& LogHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

// Appends that wait for one write (exclusive bulk loads) are written when they reach this size.
constexpr std::size_t kAppendRun = std::size_t{4} << 20;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsAbsolute(const std::string& p) {
    if (p.empty()) return false;
    if (IsSeparator(p[0])) return true;
    return p.size() >= 2 && p[1] == ':';
}

// The file beside a table with another extension, in the case of the table's extension; an existing file
// in the other case is taken when only that one exists.
std::string SiblingPath(const std::string& path, std::string_view lowerExt) {
    std::size_t sep = path.find_last_of("/\\");
    std::size_t dot = path.find_last_of('.');
    std::string stem = (dot != std::string::npos && (sep == std::string::npos || dot > sep)) ? path.substr(0, dot) : path;
    std::string ext = path.substr(stem.size());
    bool upper = std::any_of(ext.begin(), ext.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    std::string lower = stem + std::string(lowerExt);
    std::string up = lower;
    for (std::size_t i = stem.size(); i < up.size(); ++i) {
        if (up[i] >= 'a' && up[i] <= 'z') up[i] = static_cast<char>(up[i] - 32);
    }
    const std::string& preferred = upper ? up : lower;
    const std::string& other = upper ? lower : up;
    if (!FileExists(preferred) && FileExists(other)) return other;
    return preferred;
}

std::string MemoExtension(MemoKind kind) { return kind == MemoKind::Dbt ? ".dbt" : ".fpt"; }

}  // namespace

void LogMessage(const std::string& text) {
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard<std::mutex> lock(GlobalMutex());
        handler = LogHandler();
    }
    if (handler) handler(text);
    else {
        // stdio rather than the C++ streams: a tool that reports nothing does not set those up at its start
        std::fputs("table engine: ", stderr);
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc('\n', stderr);
    }
}

void SetLogHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard<std::mutex> lock(GlobalMutex());
    LogHandler() = std::move(handler);
}

void RegisterTagDefinition(const std::string& tag, const std::string& field) {
    std::lock_guard<std::mutex> lock(GlobalMutex());
    auto& tags = TagRegistry();
    for (auto& t : tags) {
        if (EqualsIgnoreCase(t.name, tag)) {
            t.field = field;
            return;
        }
    }
    tags.push_back({tag, field});
}

std::vector<TagDef> RegisteredTagDefinitions() {
    std::lock_guard<std::mutex> lock(GlobalMutex());
    return TagRegistry();
}

// ---- Impl: open and close ----

void Table::Impl::Open(const std::string& file, const std::string& password, bool readOnly, bool exclusiveOpen,
                       IndexPolicy policy) {
    path = file;
    writable = !readOnly;
    exclusive = exclusiveOpen;
    FinishTableReplacement(path);  // a replacement killed half-way is carried out first
    OpenResult r = dbf.Open(path, writable, false, exclusive);
    if (r == OpenResult::NotFound) throw IoError(path, "table file not found");
    if (r == OpenResult::Busy) throw LockError(path, "the table is in use by another program");
    if (r == OpenResult::NotAFile) throw IoError(path, "not a regular file (a folder, device or pipe)");
    if (r != OpenResult::Ok) throw IoError(path, writable ? "cannot open the table for writing" : "cannot open the table");
    if (!dbf.OpenLock(exclusive)) {
        throw LockError(path, exclusive ? "the table is in use and cannot be opened exclusively"
                                        : "the table is opened exclusively by another program");
    }

    const std::uint64_t size = dbf.Size();
    std::uint8_t first[32];
    if (size < 32) throw FormatError(path, "file is shorter than a table header");
    dbf.ReadExact(0, first, 32);
    const std::uint32_t hlen = HeaderLengthOf(first, path);
    if (hlen > size) throw FormatError(path, "file is shorter than its header length");
    headerBytes.resize(hlen);
    dbf.ReadExact(0, headerBytes.data(), hlen);
    header = ParseHeader(headerBytes.data(), headerBytes.size(), path);
    defs.clear();
    for (const auto& f : header.fields) defs.push_back(f.def);

    const std::uint64_t fromSize = (size - hlen) / header.recordLength;
    count = static_cast<std::uint32_t>(std::min<std::uint64_t>(header.storedCount, fromSize));
    if (header.storedCount > fromSize && !writable && !acceptCutTable) {
        // No writer leaves this behind (an append writes its record before the count), so records are
        // missing: a copy cut short. Reading on would answer "no entry" for everything past the cut.
        throw FormatError(path, "the table is cut short: its header counts " + std::to_string(header.storedCount) +
                                    " records, the file holds " + std::to_string(fromSize));
    }
    if (header.storedCount != fromSize) {
        // Writable opens go on with the records the file holds: a writer that is told of the loss
        // (the log) can still save what is left, and the next append writes the right count.
        // A trailing 0x1A or a partial record is not a record; any other difference is reported.
        LogMessage(path + ": header says " + std::to_string(header.storedCount) + " records, the file holds " +
                   std::to_string(fromSize) + "; using " + std::to_string(count));
    }

    if (header.encrypted) {
        if (!header.hasKeyBlock) throw FormatError(path, "the table is encrypted in an unknown way");
        if (password.empty()) throw PasswordError(path, "the table is protected by a password");
        master = Cipher::FromPassword(password, header.salt);
        Verifier v = master.MakeVerifier();
        if (!EqualConstantTime(v.data(), header.verifier.data(), v.size())) throw PasswordError(path, "wrong password");
        records = master.Derive("records");
        keyBlockOffset = 32 + 32 * header.fields.size() + 1;
    }
    map.Map(dbf, size);

    hasMemo = header.memo != MemoKind::None;
    if (hasMemo) memo.Open(SiblingPath(path, MemoExtension(header.memo)), header.memo, writable, master.Derive("memo"));

    indexPath = SiblingPath(path, ".zix");
    std::vector<TagDef> stored;
    Index::Status status =
        index.Load(indexPath, Stamp(), header.fields, master, writable, stored, indexProblem);
    indexStatus = status;
    if (status == Index::Status::Ok) {
        indexProblem.clear();
    } else if (policy == IndexPolicy::Rebuild) {
        BuildIndex(stored);
    } else {
        index.Close();
    }

    order = 0;
    pos = 0;
    posValid = true;
    recNo = 0;
    eof = true;
    StandOn(0);
}

void Table::Impl::BuildIndex(const std::vector<TagDef>& stored) {
    std::vector<TagDef> defs = stored;
    for (const auto& d : RegisteredTagDefinitions()) {
        bool known = std::any_of(defs.begin(), defs.end(), [&](const TagDef& t) { return EqualsIgnoreCase(t.name, d.name); });
        if (!known) defs.push_back(d);
    }
    index.Build(defs, header.fields, count, [this](const RecordVisitor& v) { WalkRecords(v); });
    if (writable) {
        try {
            index.Save(indexPath, Stamp(), master);
        } catch (const TableError& e) {
            LogMessage(e.what() + std::string(" (the index is kept in memory)"));
            indexDirty = true;
        }
    }
}

void Table::Impl::Close() {
    try {
        FinishWriter();
    } catch (...) {
        // Close releases; a failed write was reported by the Sync before it.
    }
    if (recordLocked) dbf.Unlock(RecordLockOffset(header.headerLength, header.recordLength, recNo), 1);
    recordLocked = false;
    index.Close();
    memo.Close();
    map.Unmap();
    dbf.Close();
}

void Table::Impl::ReportDamaged() const {
    throw FormatError(path, "the table's files were cut short or overwritten while it was open");
}

void Table::Impl::Sync() {
    if (!writable) return;
    WriteAppends();
    dbf.Sync();
    memo.Sync();
}

// ---- Impl: records ----

const std::uint8_t* Table::Impl::RecordStart(std::uint32_t r) const {
    // A waiting appended record is read from the file like any other: the run is written first. (Impl objects
    // are never const; only this accessor is.)
    if (WriterBusy() || (!appendBuffer.empty() && r >= appendFirst)) const_cast<Impl*>(this)->WriteAppends();
    const std::uint64_t end = RecordOffset(r) + header.recordLength;
    if (end > map.Size()) {
        map.Map(dbf, dbf.Size());
        if (end > map.Size()) throw FormatError(path, "record " + std::to_string(r) + " lies past the end of the file");
    }
    return map.Data() + RecordOffset(r);
}

namespace {

// Longest key stream made at once for records read in sequence.
constexpr std::uint64_t kLongestStream = 4096;
constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;

std::uint64_t Load8(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The key of an index entry (or one made from a record) as OrderKey gives it: character keys without their
// padding.
std::string_view KeyView(const Tag& tag, const std::uint8_t* key) {
    const std::string_view bytes(reinterpret_cast<const char*>(key), tag.width);
    return tag.kind == KeyKind::Character ? TrimRight(bytes) : bytes;
}

// out = a XOR b over n bytes, eight at a time.
void Xor(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t v = Load8(a + i) ^ Load8(b + i);
        std::memcpy(out + i, &v, 8);
    }
    for (; i < n; ++i) out[i] = a[i] ^ b[i];
}

}  // namespace

void Table::Impl::FillStream(std::uint32_t r) const {
    // A record right after the covered ones continues a sequence: each further step doubles the run.
    streamRun = streamCount > 0 && r == streamFirst + streamCount ? std::min(streamRun + 1, 8u) : 0;
    const std::uint64_t want = streamRun == 0 ? header.recordLength
                                              : std::max<std::uint64_t>(header.recordLength, 256u << streamRun);
    const std::uint64_t at = RecordOffset(r);
    const std::uint64_t start = at & ~std::uint64_t(63);
    // Whole groups of four 64-byte blocks: the cipher's fast path. Always at least the whole record, however
    // long the header says records are.
    const std::uint64_t span = std::max<std::uint64_t>(std::min(want, kLongestStream), header.recordLength);
    const std::uint64_t length = (at + span - start + 255) & ~std::uint64_t(255);
    stream.resize(length);
    records.KeyStream(stream.data(), length, start);
    streamOffset = start;
    streamFirst = r;
    streamCount = static_cast<std::uint32_t>((start + length - at) / header.recordLength);  // at least r
}

const std::uint8_t* Table::Impl::RecordBytes(std::uint32_t r) const {
    const std::uint8_t* p = RecordStart(r);
    if (!records.Active()) return p;
    if (bufferedRecNo != r) {
        if (r - streamFirst >= streamCount) FillStream(r);
        const std::uint32_t length = header.recordLength;
        recordBuffer.resize(length);
        Xor(recordBuffer.data(), p, stream.data() + (RecordOffset(r) - streamOffset), length);
        recordBuffer[0] = p[0];  // the deletion mark is plain
        bufferedRecNo = r;
    }
    return recordBuffer.data();
}

bool Table::Impl::FieldInStream(const FieldInfo& f, const std::uint8_t*& data, const std::uint8_t*& key) const {
    if (!records.Active() || state != State::Browse || recNo < 1 || recNo > count || bufferedRecNo == recNo) return false;
    data = RecordStart(recNo) + f.offset;
    if (recNo - streamFirst >= streamCount) FillStream(recNo);
    key = stream.data() + (RecordOffset(recNo) - streamOffset) + f.offset;
    return true;
}

bool Table::Impl::ReadText(const FieldInfo& f, std::string& out) const {
    const std::uint8_t *data, *key;
    if (f.def.type != 'C' || !FieldInStream(f, data, key)) return false;
    // The padding is found from the back without storing it; only the text is decrypted into `out`.
    std::size_t n = static_cast<std::size_t>(f.def.length);
    auto notBlank = [&](std::size_t at) { return Load8(data + at) ^ Load8(key + at) ^ kEightBlanks; };
    while (n >= 32 && (notBlank(n - 32) | notBlank(n - 24) | notBlank(n - 16) | notBlank(n - 8)) == 0) n -= 32;
    while (n >= 8 && notBlank(n - 8) == 0) n -= 8;
    out.resize(n);
    Xor(reinterpret_cast<std::uint8_t*>(out.data()), data, key, n);
    out.resize(TrimRight(out).size());
    return true;
}

std::uint32_t Table::Impl::KeepCurrent() const {
    const std::size_t n = header.fields.size();
    if (keptAt.size() <= count) keptAt.Resize(std::size_t(count) + 1);  // first use, records appended by others
    const std::size_t largest = 1 + 2 * n + header.recordLength;
    if (largest > keepBudget || largest > 0xFFFF) return 0;
    if (kept.size() + largest > keepBudget || kept.size() + largest >= 0xFFFFFFFFu) ForgetKept();
    const std::uint8_t* rec = RecordBytes(recNo);
    kept.push_back(rec[0]);
    const std::size_t base = kept.size();
    kept.resize(base + 2 * n);
    std::size_t end = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const FieldInfo& f = header.fields[j];
        std::string_view text;
        if (keptField[j]) text = f.def.type == 'C' ? TrimRight(RawValue(f, rec)) : Trim(RawValue(f, rec));
        kept.insert(kept.end(), text.begin(), text.end());
        end += text.size();
        kept[base + 2 * j] = static_cast<std::uint8_t>(end & 0xFF);
        kept[base + 2 * j + 1] = static_cast<std::uint8_t>(end >> 8);
    }
    keptAt[recNo] = static_cast<std::uint32_t>(base);  // 1 + the offset of the deletion mark
    return keptAt[recNo];
}

const std::uint8_t* Table::Impl::Current() const {
    if (state != State::Browse) return editBuffer.data();
    if (recNo < 1 || recNo > count) return nullptr;
    return RecordBytes(recNo);
}

void Table::Impl::WalkRecords(const RecordVisitor& visit) const {
    const std::uint32_t reclen = header.recordLength;
    if (count == 0) return;
    RecordStart(count);  // maps every record
    if (!records.Active()) {
        for (std::uint32_t r = 1; r <= count; ++r) visit(r, map.Data() + RecordOffset(r));
        return;
    }
    const std::uint32_t chunk = std::max<std::uint32_t>(1, (1u << 20) / reclen);
    std::vector<std::uint8_t> buffer;
    for (std::uint32_t start = 1; start <= count; start += chunk) {
        std::uint32_t n = std::min(chunk, count - start + 1);
        const std::uint8_t* src = map.Data() + RecordOffset(start);
        buffer.assign(src, src + std::size_t(n) * reclen);
        records.Apply(buffer.data(), buffer.size(), RecordOffset(start));
        for (std::uint32_t i = 0; i < n; ++i) {
            buffer[std::size_t(i) * reclen] = src[std::size_t(i) * reclen];  // the deletion mark is plain
            visit(start + i, buffer.data() + std::size_t(i) * reclen);
        }
    }
}

TableStamp Table::Impl::Stamp() const {
    if (AppendsWaiting()) const_cast<Impl*>(this)->WriteAppends();  // the stamp holds the file's size
    TableStamp s;
    s.fileSize = dbf.Size();
    s.count = count;
    s.headerLength = header.headerLength;
    s.recordLength = header.recordLength;
    s.headerDigest = Digest16(headerBytes.data(), headerBytes.size());
    return s;
}

void Table::Impl::Remap() {
    map.Unmap();
    ForgetKept();
    bufferedRecNo = 0;
    streamCount = 0;  // Zap draws a new key
}

// ---- Impl: navigation ----

std::size_t Table::Impl::OrderSize() const { return order == 0 ? count : index.tags[order - 1].Count(); }

std::uint32_t Table::Impl::RecAt(std::size_t p) const {
    return order == 0 ? static_cast<std::uint32_t>(p + 1) : index.tags[order - 1].RecNo(p);
}

void Table::Impl::Settle() {
    if (order > 0) index.tags[order - 1].Settle();
}

void Table::Impl::EnsurePos() {
    if (posValid) return;
    if (order == 0) {
        pos = recNo ? recNo - 1 : 0;
    } else {
        Tag& tag = index.tags[order - 1];
        tag.Settle();
        const std::uint8_t* rec = recNo >= 1 && recNo <= count ? RecordBytes(recNo) : nullptr;
        if (!rec) {
            pos = 0;
        } else {
            std::vector<std::uint8_t> key(tag.width);
            MakeKey(header.fields[static_cast<std::size_t>(tag.fieldIndex)], rec, key.data());
            pos = tag.Find(key.data(), recNo);
            if (pos >= tag.Count()) pos = tag.LowerBound(key.data(), key.size());
        }
    }
    posValid = true;
}

bool Table::Impl::StandOn(std::size_t p) {
    Settle();
    const std::size_t n = OrderSize();
    for (; p < n; ++p) {
        const std::uint32_t r = RecAt(p);
        if (!Live(r)) continue;
        pos = p;
        recNo = r;
        posValid = true;
        eof = false;
        return true;
    }
    return false;
}

void Table::Impl::StandOnLast() {
    Settle();
    std::size_t p = OrderSize();
    while (p > 0) {
        --p;
        std::uint32_t r = RecAt(p);
        if (Live(r)) {
            pos = p;
            recNo = r;
            posValid = true;
            eof = true;
            return;
        }
    }
    recNo = 0;
    pos = 0;
    posValid = true;
    eof = true;
}

std::string_view Table::Impl::OrderKey() {
    if (order == 0 || recNo < 1 || (state == State::Browse && recNo > count)) return {};
    Tag& tag = index.tags[static_cast<std::size_t>(order - 1)];
    const FieldInfo& f = header.fields[static_cast<std::size_t>(tag.fieldIndex)];
    const std::uint8_t* key = nullptr;
    if (state == State::Browse) {
        EnsurePos();
        if (pos < tag.Count()) {
            const std::uint8_t* e = tag.Entry(pos);
            const std::uint8_t* n = e + tag.width;
            const std::uint32_t entryRec = std::uint32_t(n[0]) | (std::uint32_t(n[1]) << 8) |
                                           (std::uint32_t(n[2]) << 16) | (std::uint32_t(n[3]) << 24);
            if (entryRec == recNo) key = e;
        }
    }
    if (!key) {
        // Positioned by record number, or changes not yet posted: the key as the record makes it.
        keyScratch.resize(tag.width);
        MakeKey(f, Current(), keyScratch.data());
        key = keyScratch.data();
    }
    return KeyView(tag, key);
}

// ---- Impl: changes ----

void Table::Impl::Refresh() {
    std::uint8_t first[32];
    dbf.ReadExact(0, first, 32);
    const std::uint64_t size = dbf.Size();
    const std::uint32_t stored = std::uint32_t(first[4]) | (std::uint32_t(first[5]) << 8) |
                                 (std::uint32_t(first[6]) << 16) | (std::uint32_t(first[7]) << 24);
    const std::uint64_t fromSize = size >= header.headerLength ? (size - header.headerLength) / header.recordLength : 0;
    const auto onDisk = static_cast<std::uint32_t>(std::min<std::uint64_t>(stored, fromSize));
    if (onDisk < count) return;  // cannot happen while we hold the table open; keep our view
    std::memcpy(headerBytes.data(), first, 8);  // date and count as the other writers left them
    if (onDisk == count) return;
    Remap();
    for (std::uint32_t r = count + 1; r <= onDisk; ++r) {
        const std::uint8_t* rec = RecordBytes(r);
        for (auto& tag : index.tags) {
            std::vector<std::uint8_t> key(tag.width);
            MakeKey(header.fields[static_cast<std::size_t>(tag.fieldIndex)], rec, key.data());
            tag.Insert(key.data(), r);
        }
    }
    count = onDisk;
    indexDirty = true;
    posValid = order == 0;
}

void Table::Impl::Post() {
    if (state == State::Browse) return;
    const bool shared = !exclusive;
    if (shared) dbf.Lock(kAppendLockOffset, 1);
    struct Unlock {
        Impl* self;
        bool on;
        ~Unlock() {
            if (on) self->dbf.Unlock(kAppendLockOffset, 1);
        }
    } unlock{this, shared};

    if (shared) Refresh();
    for (const auto& [fi, value] : pendingMemos) {
        const FieldInfo& f = header.fields[static_cast<std::size_t>(fi)];
        std::uint32_t block = value.empty() ? 0 : memo.Write(value, f.def.binary);
        StoreMemoPointer(f, editBuffer.data(), block);
    }
    if (!pendingMemos.empty() && syncOnPost) memo.Sync();

    const bool append = state == State::Append;
    const std::uint32_t target = append ? count + 1 : recNo;
    const std::uint32_t newCount = append ? target : count;
    if (append && exclusive && !syncOnPost) {
        // No one else reads the file while it is open exclusively: the record waits for a large write.
        if (appendBuffer.empty()) appendFirst = target;
        appendBuffer.insert(appendBuffer.end(), editBuffer.begin(), editBuffer.end());
        if (appendBuffer.size() >= kAppendRun) WriteAppendsBehind();
    } else {
        WriteAppends();
        const std::uint64_t offset = RecordOffset(target);
        std::vector<std::uint8_t> out(editBuffer);
        records.Apply(out.data() + 1, out.size() - 1, offset + 1);
        if (append) out.push_back(0x1A);  // the end mark follows a new last record
        dbf.Write(offset, out.data(), out.size());
        StampHeader(headerBytes.data(), newCount);
        dbf.Write(0, headerBytes.data(), 8);
        if (syncOnPost) dbf.Sync();
    }

    for (auto& tag : index.tags) {
        const FieldInfo& f = header.fields[static_cast<std::size_t>(tag.fieldIndex)];
        std::vector<std::uint8_t>& key = postKey;  // members: a bulk load allocates nothing per record
        std::vector<std::uint8_t>& old = postOldKey;
        key.resize(tag.width);
        old.resize(tag.width);
        MakeKey(f, editBuffer.data(), key.data());
        if (append) {
            tag.Insert(key.data(), target);
        } else {
            MakeKey(f, originalBuffer.data(), old.data());
            if (old != key) {
                tag.Remove(old.data(), target);
                tag.Insert(key.data(), target);
            }
        }
    }
    indexDirty = true;  // the index file records the table state, so it follows every change, tags or not
    count = newCount;
    bufferedRecNo = 0;
    recNo = target;
    eof = false;
    posValid = false;
    state = State::Browse;
    pendingMemos.clear();
    if (recordLocked) {
        dbf.Unlock(RecordLockOffset(header.headerLength, header.recordLength, target), 1);
        recordLocked = false;
    }
}

void Table::Impl::WriteRun(std::vector<std::uint8_t>& run, std::uint32_t first, const std::uint8_t* stamped) {
    const std::size_t reclen = header.recordLength;
    const std::size_t n = run.size() / reclen;
    const std::uint64_t offset = RecordOffset(first);
    if (records.Active()) {
        // One pass of the key stream over the whole run; the deletion marks stay plain.
        std::vector<std::uint8_t> marks(n);
        for (std::size_t i = 0; i < n; ++i) marks[i] = run[i * reclen];
        records.Apply(run.data(), run.size(), offset);
        for (std::size_t i = 0; i < n; ++i) run[i * reclen] = marks[i];
    }
    run.push_back(0x1A);  // the end mark follows the new last record
    dbf.Write(offset, run.data(), run.size());
    dbf.Write(0, stamped, 8);
    run.clear();
}

void Table::Impl::WriteAppends() {
    FinishWriter();
    if (appendBuffer.empty()) return;
    std::vector<std::uint8_t> run;
    run.swap(appendBuffer);  // on failure the records are dropped, not written twice; the error is reported
    StampHeader(headerBytes.data(), appendFirst + static_cast<std::uint32_t>(run.size() / header.recordLength) - 1);
    WriteRun(run, appendFirst, headerBytes.data());
    run.swap(appendBuffer);  // keeps the storage for the next run
}

void Table::Impl::WriteAppendsBehind() {
    FinishWriter();
    runOnItsWay.swap(appendBuffer);  // the next run fills the storage of the one written before
    appendBuffer.clear();
    const std::uint32_t first = appendFirst;
    StampHeader(headerBytes.data(), first + static_cast<std::uint32_t>(runOnItsWay.size() / header.recordLength) - 1);
    std::array<std::uint8_t, 8> stamped{};
    std::memcpy(stamped.data(), headerBytes.data(), stamped.size());
    laeufer = std::async(std::launch::async, [this, first, stamped] { WriteRun(runOnItsWay, first, stamped.data()); });
}

void Table::Impl::Cancel() {
    if (state == State::Append) {
        recNo = 0;
        eof = true;
        posValid = true;
        StandOn(0);
    }
    if (recordLocked) {
        dbf.Unlock(RecordLockOffset(header.headerLength, header.recordLength, recNo), 1);
        recordLocked = false;
    }
    state = State::Browse;
    pendingMemos.clear();
}

void Table::Impl::SaveIndex() {
    if (!indexDirty || !writable) return;
    const bool shared = !exclusive;
    if (shared) dbf.Lock(kAppendLockOffset, 1);
    try {
        if (shared) Refresh();
        if (shared && Index::ReadFileHeader(indexPath) != index.fileHeader) {
            // Another writer saved the index since we loaded it; our entries lack its key edits, so the
            // index is built again from the table, which holds everybody's changes.
            std::vector<TagDef> defs;
            for (const auto& t : index.tags) defs.push_back({t.name, t.field});
            index.Build(defs, header.fields, count, [this](const RecordVisitor& v) { WalkRecords(v); });
            posValid = false;
        }
        index.Save(indexPath, Stamp(), master);
        indexDirty = false;
    } catch (const TableError& e) {
        LogMessage(e.what() + std::string(" (the index will be rebuilt at the next open)"));
    }
    if (shared) dbf.Unlock(kAppendLockOffset, 1);
}

// ---- Table ----

namespace {

// The path is only built for the error: this check runs on every step of a walk.
[[noreturn, gnu::cold, gnu::noinline]] void ThrowNotOpen(const Table& table) {
    throw NotOpenError(table.Path(), "the table is not open");
}

// Every operation passes here, walks several times per record: the test stays inline, the throw does not.
inline Table::Impl& RequireOpen(const std::unique_ptr<Table::Impl>& impl, const Table& table) {
    if (!impl) [[unlikely]] ThrowNotOpen(table);
    impl->CheckIntact();
    return *impl;
}

void RequireWritable(const Table::Impl& impl) {
    if (!impl.writable) throw UsageError(impl.path, "the table is opened read-only");
}

}  // namespace

Table::Table() = default;

Table::~Table() {
    try {
        Close();
    } catch (const std::exception& e) {
        LogMessage(std::string("closing failed: ") + e.what());
    }
}

void Table::SetSyncOnPost(bool on) {
    syncOnPost_ = on;
    if (impl_) impl_->syncOnPost = on;
}

void Table::SetRecordCache(std::size_t bytes) {
    recordCache_ = bytes;
    if (!impl_) return;
    impl_->Keep(bytes);
}

void Table::Impl::ForgetKept() const {
    kept.clear();
    keptAt.Clear();
}


void Table::Impl::Keep(std::size_t bytes) {
    keepBudget = writable ? 0 : bytes;
    ForgetKept();
    keptField.clear();
    for (const FieldInfo& f : header.fields)
        keptField.push_back(!f.memo && (f.def.type == 'C' || f.def.type == 'N' || f.def.type == 'F'));
    keptFieldCount = header.fields.size();
    // Each tag keeps a quarter as much: index entries are short, a record's fields are not.
    for (detail::Tag& tag : index.tags) tag.KeepDecrypted(keepBudget / 4);
}

void Table::Swap(Table& other) noexcept {
    std::swap(impl_, other.impl_);
    std::swap(folder_, other.folder_);
    std::swap(fileName_, other.fileName_);
    std::swap(password_, other.password_);
    std::swap(type_, other.type_);
    std::swap(readOnly_, other.readOnly_);
    std::swap(exclusive_, other.exclusive_);
    std::swap(oemTranslate_, other.oemTranslate_);
    std::swap(syncOnPost_, other.syncOnPost_);
    std::swap(recordCache_, other.recordCache_);
}

void Table::SetFolder(std::string folder) { folder_ = std::move(folder); }
void Table::SetFileName(std::string name) { fileName_ = std::move(name); }

std::string Table::Path() const {
    if (folder_.empty() || IsAbsolute(fileName_)) return fileName_;
    if (IsSeparator(folder_.back())) return folder_ + fileName_;
#ifdef _WIN32
    return folder_ + "\\" + fileName_;
#else
    return folder_ + "/" + fileName_;
#endif
}

void Table::Open() {
    Close();
    auto impl = std::make_unique<Impl>();
    impl->syncOnPost = syncOnPost_;
    impl->Open(Path(), password_, readOnly_, exclusive_, Impl::IndexPolicy::Rebuild);
    impl->Keep(recordCache_);
    impl_ = std::move(impl);
}

void Table::Close() {
    if (!impl_) return;
    std::unique_ptr<Impl> impl = std::move(impl_);
    std::exception_ptr failure;
    try {
        impl->Post();
    } catch (...) {
        failure = std::current_exception();
        impl->Cancel();
    }
    impl->SaveIndex();
    try {
        impl->Sync();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    impl->Close();
    if (failure) std::rethrow_exception(failure);
}

bool Table::Active() const { return impl_ != nullptr; }

int Table::TagArea(std::string_view tagName) const {
    auto& impl = RequireOpen(impl_, *this);
    return impl.index.FindTag(tagName) + 1;
}

std::vector<TagDef> Table::Tags() const {
    auto& impl = RequireOpen(impl_, *this);
    std::vector<TagDef> out;
    for (const auto& t : impl.index.tags) out.push_back({t.name, t.field});
    return out;
}

void Table::SetOrder(int order) {
    auto& impl = RequireOpen(impl_, *this);
    if (order < 0 || order > static_cast<int>(impl.index.tags.size())) {
        throw UsageError(impl.path, "there is no index order " + std::to_string(order));
    }
    impl.Post();
    if (impl.order == order) return;
    impl.order = order;
    impl.posValid = false;
    if (order > 0) impl.index.tags[static_cast<std::size_t>(order - 1)].PrefetchSearchLevels();
}

int Table::IndexOrd() const { return RequireOpen(impl_, *this).order; }

bool Table::Seek(std::string_view key) {
    auto& impl = RequireOpen(impl_, *this);
    if (impl.order == 0) throw NoOrderError(impl.path, "Seek needs an index order");
    impl.Post();
    Tag& tag = impl.index.tags[static_cast<std::size_t>(impl.order - 1)];
    tag.Settle();
    std::uint8_t number[kNumericKeyWidth];
    const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(key.data());
    std::size_t length = key.size();
    bool valid = true;
    if (tag.kind == KeyKind::Numeric) {
        double value = 0;
        valid = ParseNumber(key, value);
        EncodeNumber(value, number);
        bytes = number;
        length = sizeof number;
    }
    if (valid) {
        std::size_t p = tag.LowerBound(bytes, length);
        const bool found = impl.StandOn(p) && tag.Compare(impl.pos, bytes, length) == 0;
        impl.CheckIntact();  // what the search read is only an answer when the files were whole
        if (found) return true;
    }
    impl.StandOnLast();
    impl.CheckIntact();
    return false;
}

std::string_view Table::OrderKey() { return RequireOpen(impl_, *this).OrderKey(); }

bool Table::ReadKeptViews(std::span<const Field> fields, std::span<std::string_view> out) {
    auto& impl = RequireOpen(impl_, *this);
    if (impl.keepBudget == 0 || out.size() < fields.size()) return false;
    for (const Field& f : fields)
        if (f.table_ != this || !impl.keptField[static_cast<std::size_t>(f.index_)]) return false;
    const std::uint32_t at = impl.KeptEntry();
    if (at == 0) return false;
    for (std::size_t k = 0; k < fields.size(); ++k)
        out[k] = impl.KeptField(at, static_cast<std::size_t>(fields[k].index_));
    return true;
}

bool Table::Eof() const { return RequireOpen(impl_, *this).eof; }

void Table::Next() {
    auto& impl = RequireOpen(impl_, *this);
    impl.Post();
    if (impl.eof) return;
    if (impl.recNo == 0) {
        impl.eof = true;
        return;
    }
    impl.EnsurePos();
    std::size_t here = impl.pos;
    std::uint32_t rec = impl.recNo;
    if (!impl.StandOn(here + 1)) {
        impl.pos = here;
        impl.recNo = rec;
        impl.eof = true;
    }
}

std::string_view Table::NextKey() {
    Next();
    auto& impl = *impl_;  // Next found it open
    if (impl.eof) return {};
    impl.CheckIntact();  // the step read the index: its entry is only an answer when the files were whole
    if (impl.order == 0 || impl.state != Impl::State::Browse) return impl.OrderKey();
    // The step stood on entry `pos` of the active tag, which names the record reached: the key is that
    // entry's, without looking the record up again.
    const Tag& tag = impl.index.tags[static_cast<std::size_t>(impl.order - 1)];
    return KeyView(tag, tag.Entry(impl.pos));
}

void Table::Skip(int n) {
    auto& impl = RequireOpen(impl_, *this);
    impl.Post();
    for (; n > 0 && !impl.eof; --n) Next();
    if (n >= 0 || impl.recNo == 0) return;
    impl.EnsurePos();
    impl.eof = false;
    while (n < 0) {
        std::size_t p = impl.pos;
        bool moved = false;
        while (p > 0) {
            --p;
            std::uint32_t r = impl.RecAt(p);
            if (impl.Live(r)) {
                impl.pos = p;
                impl.recNo = r;
                moved = true;
                break;
            }
        }
        if (!moved) return;  // at the first record
        ++n;
    }
}

void Table::First() {
    auto& impl = RequireOpen(impl_, *this);
    impl.Post();
    if (!impl.StandOn(0)) {
        impl.recNo = 0;
        impl.pos = 0;
        impl.posValid = true;
        impl.eof = true;
    }
}

void Table::Go(std::uint32_t recNo) {
    auto& impl = RequireOpen(impl_, *this);
    impl.Post();
    if (recNo < 1 || recNo > impl.count) throw UsageError(impl.path, "there is no record " + std::to_string(recNo));
    impl.recNo = recNo;
    impl.eof = false;
    impl.posValid = false;
}

bool Table::Deleted() const {
    auto& impl = RequireOpen(impl_, *this);
    return impl.state == Impl::State::Browse && impl.recNo >= 1 && impl.recNo <= impl.count && !impl.Live(impl.recNo);
}

std::uint32_t Table::RecCount() const { return RequireOpen(impl_, *this).count; }

std::uint32_t Table::RecNo() const { return RequireOpen(impl_, *this).recNo; }

Field Table::FieldByName(std::string_view name) {
    auto& impl = RequireOpen(impl_, *this);
    int i = FindField(impl.header.fields, name);
    if (i < 0) throw FormatError(impl.path, "the table has no field " + std::string(name));
    return Field(this, i);
}

bool Table::HasField(std::string_view name) const {
    return FindField(RequireOpen(impl_, *this).header.fields, name) >= 0;
}

const std::vector<FieldDef>& Table::Fields() const { return RequireOpen(impl_, *this).defs; }

void Table::AppendBlank() {
    auto& impl = RequireOpen(impl_, *this);
    RequireWritable(impl);
    impl.Post();
    impl.editBuffer.assign(impl.header.recordLength, ' ');
    for (const auto& f : impl.header.fields) {
        if (f.def.type == 'I' || f.binaryPointer) std::memset(impl.editBuffer.data() + f.offset, 0, 4);
    }
    impl.originalBuffer = impl.editBuffer;
    impl.pendingMemos.clear();
    impl.state = Impl::State::Append;
    impl.recNo = impl.count + 1;
    impl.eof = false;
    impl.posValid = false;
}

void Table::Edit() {
    auto& impl = RequireOpen(impl_, *this);
    RequireWritable(impl);
    if (impl.state != Impl::State::Browse) return;
    const std::uint8_t* rec = impl.Current();
    if (!rec) throw UsageError(impl.path, "there is no current record to edit");
    if (!impl.exclusive) {
        if (!impl.dbf.TryLock(RecordLockOffset(impl.header.headerLength, impl.header.recordLength, impl.recNo), 1)) {
            throw LockError(impl.path, "record " + std::to_string(impl.recNo) + " is being changed by another program");
        }
        impl.recordLocked = true;
        impl.bufferedRecNo = 0;
        rec = impl.Current();  // read again under the lock
    }
    impl.editBuffer.assign(rec, rec + impl.header.recordLength);
    impl.originalBuffer = impl.editBuffer;
    impl.pendingMemos.clear();
    impl.state = Impl::State::Edit;
}

void Table::Post() { RequireOpen(impl_, *this).Post(); }

void Table::Cancel() { RequireOpen(impl_, *this).Cancel(); }

void Table::Zap() {
    auto& impl = RequireOpen(impl_, *this);
    if (!impl.writable || !impl.exclusive) throw UsageError(impl.path, "Zap needs the table opened exclusively and writable");
    impl.Cancel();
    impl.FinishWriter();
    impl.appendBuffer.clear();  // waiting appends go with the rest
    if (impl.keyBlockOffset) {
        // A fresh salt, so that no key stream of the old contents is ever used again.
        Salt salt;
        RandomBytes(salt.data(), salt.size());
        impl.master = Cipher::FromPassword(password_, salt);
        Verifier v = impl.master.MakeVerifier();
        std::memcpy(impl.headerBytes.data() + impl.keyBlockOffset + 8, salt.data(), salt.size());
        std::memcpy(impl.headerBytes.data() + impl.keyBlockOffset + 8 + kSaltSize, v.data(), v.size());
        impl.records = impl.master.Derive("records");
        impl.memo.SetCipher(impl.master.Derive("memo"));
    }
    impl.map.Unmap();
    impl.dbf.Truncate(impl.header.headerLength);
    StampHeader(impl.headerBytes.data(), 0);
    impl.dbf.Write(0, impl.headerBytes.data(), impl.headerBytes.size());
    const std::uint8_t eofMark = 0x1A;
    impl.dbf.Write(impl.header.headerLength, &eofMark, 1);
    impl.dbf.Sync();
    impl.count = 0;
    impl.Remap();
    if (impl.hasMemo && impl.memo.Usable()) {
        impl.memo.Reset();
        impl.memo.Sync();
    }
    for (auto& tag : impl.index.tags) tag.Clear();
    impl.indexDirty = true;
    impl.SaveIndex();
    impl.recNo = 0;
    impl.pos = 0;
    impl.posValid = true;
    impl.eof = true;
}

void Table::ErrorLevel(int /*level*/) {}

void Table::Create(const std::string& path, const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags,
                   const std::string& password) {
    std::vector<FieldInfo> infos = CheckNewFields(fields, path);
    for (const auto& t : tags) {
        int fi = FindField(infos, t.field);
        if (t.name.empty() || t.name.size() > 10) throw UsageError(path, "tag name '" + t.name + "' must have 1 to 10 characters");
        if (fi < 0) throw UsageError(path, "tag " + t.name + ": the table has no field " + t.field);
        if (infos[static_cast<std::size_t>(fi)].memo) throw UsageError(path, "tag " + t.name + ": a memo field cannot be a key");
    }
    Cipher master;
    std::vector<std::uint8_t> header;
    if (!password.empty()) {
        Salt salt;
        RandomBytes(salt.data(), salt.size());
        master = Cipher::FromPassword(password, salt);
        Verifier v = master.MakeVerifier();
        header = BuildHeader(infos, &salt, &v);
    } else {
        header = BuildHeader(infos, nullptr, nullptr);
    }
    header.push_back(0x1A);

    const bool anyMemo = std::any_of(infos.begin(), infos.end(), [](const FieldInfo& f) { return f.memo; });
    const std::string memoPath = SiblingPath(path, ".fpt");
    if (anyMemo) {
        std::string temp = TempSibling(memoPath);
        MemoFile::CreateFpt(temp);
        ReplaceAtomically(temp, memoPath);
    } else {
        RemoveFile(memoPath);
    }
    RemoveFile(SiblingPath(path, ".dbt"));

    const std::string temp = TempSibling(path);
    {
        File out;
        if (out.Open(temp, true, true) != OpenResult::Ok) throw IoError(path, "cannot create the table");
        out.Write(0, header.data(), header.size());
        out.Sync();
    }
    ReplaceAtomically(temp, path);

    Index index;
    index.Build(tags, infos, 0, [](const RecordVisitor&) {});
    TableStamp stamp;
    stamp.fileSize = header.size();
    stamp.count = 0;
    stamp.headerLength = static_cast<std::uint32_t>(header.size() - 1);
    std::uint32_t reclen = 1;
    for (const auto& f : infos) reclen += static_cast<std::uint32_t>(f.def.length);
    stamp.recordLength = reclen;
    stamp.headerDigest = Digest16(header.data(), header.size() - 1);
    index.Save(SiblingPath(path, ".zix"), stamp, master);
}

// ---- Field ----

std::string Field::AsString() const {
    auto& impl = RequireOpen(table_->impl_, *table_);
    const FieldInfo& f = impl.header.fields[static_cast<std::size_t>(index_)];
    if (f.memo) {
        if (impl.state != Table::Impl::State::Browse) {
            auto it = impl.pendingMemos.find(index_);
            if (it != impl.pendingMemos.end()) return it->second;
        }
        const std::uint8_t* rec = impl.Current();
        if (!rec) return {};
        std::uint32_t block = MemoPointer(f, rec, impl.path);
        if (block == 0) return {};
        return impl.memo.Read(block);
    }
    std::string_view keptText;
    if (impl.KeptText(static_cast<std::size_t>(index_), keptText)) return std::string(keptText);
    std::string text;
    if (impl.ReadText(f, text)) return text;
    const std::uint8_t* rec = impl.Current();
    if (!rec) return {};
    return FieldText(f, rec);
}

void Field::ReadString(std::string& out) const {
    auto& impl = RequireOpen(table_->impl_, *table_);
    const FieldInfo& f = impl.header.fields[static_cast<std::size_t>(index_)];
    std::string_view keptText;
    if (impl.KeptText(static_cast<std::size_t>(index_), keptText)) {
        out.assign(keptText);
        return;
    }
    if (impl.ReadText(f, out)) return;
    const std::uint8_t* rec = f.memo ? nullptr : impl.Current();
    if (f.memo) out = AsString();
    else if (!rec) out.clear();
    else if (f.def.type == 'C') out.assign(TrimRight(RawValue(f, rec)));
    else out = FieldText(f, rec);
}

std::string_view Field::ReadView(std::string& buffer) const {
    auto& impl = RequireOpen(table_->impl_, *table_);
    std::string_view keptText;
    if (impl.KeptText(static_cast<std::size_t>(index_), keptText)) return keptText;
    ReadString(buffer);
    return buffer;
}

long long KeptInteger(std::string_view text) {
    // Kept numbers have no padding; a short run of digits (a code, a count) needs no general parse.
    if (text.empty() || text.size() > 18) return ParseInteger(text);
    long long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return ParseInteger(text);
        v = v * 10 + (c - '0');
    }
    return v;
}

long long Field::AsInteger() const {
    auto& impl = RequireOpen(table_->impl_, *table_);
    const FieldInfo& f = impl.header.fields[static_cast<std::size_t>(index_)];
    if (f.memo) return ParseInteger(AsString());
    std::string_view keptText;
    if (impl.KeptText(static_cast<std::size_t>(index_), keptText)) return KeptInteger(keptText);
    const std::uint8_t *data, *key;
    if ((f.def.type == 'N' || f.def.type == 'F') && f.def.length <= 32 && impl.FieldInStream(f, data, key)) {
        std::uint8_t digits[32];  // decrypts the number alone
        Xor(digits, data, key, static_cast<std::size_t>(f.def.length));
        return ParseInteger({reinterpret_cast<const char*>(digits), static_cast<std::size_t>(f.def.length)});
    }
    const std::uint8_t* rec = impl.Current();
    if (!rec) return 0;
    return FieldInteger(f, rec);
}

void Field::SetAsString(std::string_view value) {
    auto& impl = RequireOpen(table_->impl_, *table_);
    if (impl.state == Table::Impl::State::Browse) throw UsageError(impl.path, "call Edit or AppendBlank before changing a field");
    const FieldInfo& f = impl.header.fields[static_cast<std::size_t>(index_)];
    if (f.memo) {
        impl.pendingMemos[index_] = std::string(value);
        return;
    }
    StoreText(f, impl.editBuffer.data(), value, impl.path);
}

void Field::SetAsInteger(long long value) {
    auto& impl = RequireOpen(table_->impl_, *table_);
    if (impl.state == Table::Impl::State::Browse) throw UsageError(impl.path, "call Edit or AppendBlank before changing a field");
    const FieldInfo& f = impl.header.fields[static_cast<std::size_t>(index_)];
    if (f.memo) {
        impl.pendingMemos[index_] = std::to_string(value);
        return;
    }
    StoreInteger(f, impl.editBuffer.data(), value, impl.path);
}

const FieldDef& Field::Def() const {
    auto& impl = RequireOpen(table_->impl_, *table_);
    return impl.defs[static_cast<std::size_t>(index_)];
}

}  // namespace xbase
