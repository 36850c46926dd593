#pragma once
// The state of an open table, shared by the table operations and the verifier.

#include "xbase/Crypto.h"
#include "xbase/File.h"
#include "xbase/Format.h"
#include "xbase/Index.h"
#include "xbase/Memo.h"
#include "xbase/Table.h"

#include <cstdint>
#include <future>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace xbase {

void LogMessage(const std::string& text);

struct Table::Impl {
    enum class State { Browse, Edit, Append };
    enum class IndexPolicy { Rebuild, Report };

    std::string path;
    bool writable = false;
    bool exclusive = false;

    detail::File dbf;
    mutable detail::Mapping map;  // grows lazily after appends
    detail::Header header;
    std::vector<std::uint8_t> headerBytes;
    std::vector<FieldDef> defs;
    std::uint32_t count = 0;
    std::size_t keyBlockOffset = 0;  // position of the key block in the header, 0 when none

    detail::Cipher master;
    detail::Cipher records;
    detail::MemoFile memo;
    bool hasMemo = false;

    detail::Index index;
    std::string indexPath;
    bool indexDirty = false;
    std::string indexProblem;  // why the index was rebuilt at open, empty when it was current
    detail::Index::Status indexStatus = detail::Index::Status::Missing;

    int order = 0;
    std::size_t pos = 0;
    bool posValid = true;
    std::uint32_t recNo = 0;
    bool eof = true;

    mutable std::vector<std::uint8_t> recordBuffer;
    mutable std::uint32_t bufferedRecNo = 0;
    // Encrypted tables: the key stream of records [streamFirst, streamFirst + streamCount), from file offset
    // streamOffset. Records read one after the other (a walk on a table stored in key order) get longer runs.
    mutable std::vector<std::uint8_t> stream;
    mutable std::uint64_t streamOffset = 0;
    mutable std::uint32_t streamFirst = 0, streamCount = 0;
    mutable unsigned streamRun = 0;
    std::vector<std::uint8_t> keyScratch;  // OrderKey of a record whose index entry is not at hand
    std::vector<std::uint8_t> postKey, postOldKey;  // Post: the new and the old key of a record for each tag
    // Read-only opens: the decoded C, N and F fields of records read so far, up to keepBudget bytes (see
    // Table::SetRecordCache). keptAt[r] is 1 + the offset of record r's entry in `kept`, 0 when it has none.
    // An entry is the deletion mark, one 16-bit end offset per field, then the fields' texts in a row.
    std::size_t keepBudget = 0;
    std::vector<std::uint8_t> keptField;  // per field: 1 for a C, N or F field, which kept entries hold
    std::size_t keptFieldCount = 0;
    // Its slots lie in pages the system zero-fills on first use: opening costs nothing for the table's
    // size, and a lookup pays only for the pages of the records it reads.
    mutable detail::ZeroSlots keptAt;
    mutable std::vector<std::uint8_t> kept;

    State state = State::Browse;
    std::vector<std::uint8_t> editBuffer;
    std::vector<std::uint8_t> originalBuffer;
    std::map<int, std::string> pendingMemos;
    bool recordLocked = false;
    bool syncOnPost = true;
    // Exclusive opens with sync-on-post off (bulk loads): appended records wait here, from record appendFirst
    // on, and go to the file in large writes with the header's count; reading one of them writes them first.
    std::vector<std::uint8_t> appendBuffer;
    std::uint32_t appendFirst = 0;
    // A full run is encrypted and written by one background thread while the next run fills, so a bulk load
    // spends its time once instead of formatting and writing by turns. At most one run is on its way; anything
    // that reads the file, changes it otherwise or closes it waits for that run first (WriteAppends).
    std::vector<std::uint8_t> runOnItsWay;  // the records the background writer is writing
    std::future<void> laeufer;  // declared after what its work uses, so its end is awaited first
    bool WriterBusy() const { return laeufer.valid(); }
    void FinishWriter() {  // waits for the run on its way; its failure is reported here, once
        if (laeufer.valid()) laeufer.get();
    }

    // A read-only open refuses a table whose file holds fewer records than its header counts (a cut copy);
    // the verifier sets this to look at such a table all the same.
    bool acceptCutTable = false;

    void Open(const std::string& file, const std::string& password, bool readOnly, bool exclusiveOpen,
              IndexPolicy policy);
    void Close();  // releases everything; pending changes must have been handled
    void Sync();   // makes written changes durable
    void WriteAppends();  // writes the waiting appended records (encrypted) and the header's count
    void WriteAppendsBehind();  // the same for a full run, on the background writer
    bool AppendsWaiting() const { return WriterBusy() || !appendBuffer.empty(); }
    void WriteRun(std::vector<std::uint8_t>& run, std::uint32_t first, const std::uint8_t* stamped);

    // A mapped file was cut short or overwritten under the table (see detail::Mapping): every later operation
    // reports the table damaged instead of reading what is left.
    bool Damaged() const { return map.Damaged() || index.Damaged(); }
    void CheckIntact() const {
        if (Damaged()) [[unlikely]] ReportDamaged();
    }
    [[noreturn, gnu::cold, gnu::noinline]] void ReportDamaged() const;

    std::uint64_t RecordOffset(std::uint32_t r) const {
        return header.headerLength + std::uint64_t(r - 1) * header.recordLength;
    }
    bool Live(std::uint32_t r) const {
        if (r < 1 || r > count) return false;
        // A kept record answers from its entry: a walk over kept records does not touch the file.
        if (r < keptAt.size() && keptAt[r] != 0) return kept[keptAt[r] - 1] != '*';
        return *RecordStart(r) != '*';
    }
    const std::uint8_t* RecordStart(std::uint32_t r) const;  // raw bytes in the map, r in 1..count
    const std::uint8_t* RecordBytes(std::uint32_t r) const;  // decrypted, r in 1..count
    const std::uint8_t* Current() const;                     // nullptr when there is no current record
    void FillStream(std::uint32_t r) const;                  // key stream covering record r
    // Encrypted tables, current record not yet decrypted as a whole: its field's stored bytes and the key
    // stream over them, so that one field is decrypted alone. False when the record is to be read whole.
    bool FieldInStream(const detail::FieldInfo& f, const std::uint8_t*& data, const std::uint8_t*& key) const;
    // A C field decrypted alone into `out` (without trailing blanks); false when FieldInStream is.
    bool ReadText(const detail::FieldInfo& f, std::string& out) const;
    // Field i of the current record from the kept records, decoding the record into them first; false when
    // records are not kept or the field is of another type. `out` is valid until the next read.
    bool KeptText(std::size_t i, std::string_view& out) const {
        if (keepBudget == 0 || !keptField[i]) return false;
        const std::uint32_t at = KeptEntry();
        if (at == 0) return false;
        out = KeptField(at, i);
        return true;
    }
    // The kept entry of the current record (1 + its offset in `kept`), decoding the record into the kept
    // records first; 0 when records are not kept or the current record cannot be.
    std::uint32_t KeptEntry() const {
        if (keepBudget == 0 || state != State::Browse || recNo < 1 || recNo > count) return 0;
        const std::uint32_t at = recNo < keptAt.size() ? keptAt[recNo] : 0;
        return at != 0 ? at : KeepCurrent();
    }
    // Field i's text in the kept entry `at` (a C, N or F field).
    std::string_view KeptField(std::uint32_t at, std::size_t i) const {
        const std::uint8_t* entry = kept.data() + at;  // the end offsets, after the deletion mark
        const auto endOf = [entry](std::size_t j) {
            return std::size_t(entry[2 * j]) | std::size_t(entry[2 * j + 1]) << 8;
        };
        const std::size_t from = i == 0 ? 0 : endOf(i - 1);
        return {reinterpret_cast<const char*>(entry + 2 * keptFieldCount + from), endOf(i) - from};
    }
    std::uint32_t KeepCurrent() const;  // keeps the current record; its slot, 0 when it does not fit
    void ForgetKept() const;
    void Keep(std::size_t bytes);  // the budget of kept records and index runs; drops what was kept
    void WalkRecords(const detail::RecordVisitor& visit) const;
    detail::TableStamp Stamp() const;
    void Remap();

    // Navigation in the active order.
    std::size_t OrderSize() const;
    std::uint32_t RecAt(std::size_t p) const;
    void EnsurePos();
    bool StandOn(std::size_t p);  // first live entry from p forward
    std::string_view OrderKey();  // see Table::OrderKey
    void StandOnLast();
    void Settle();

    void Post();
    void Cancel();
    void Refresh();  // shared writers: take in records appended by others
    void SaveIndex();
    void BuildIndex(const std::vector<TagDef>& stored);
};

}  // namespace xbase
