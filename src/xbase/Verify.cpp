// Verification of a table: every structure the engine relies on, reported instead of repaired.
#include "xbase/TableImpl.h"

#include <algorithm>
#include <cstring>

namespace xbase {

using namespace detail;

namespace {

constexpr std::size_t kMaxRecordProblems = 50;

std::string CheckValue(const FieldInfo& f, const std::uint8_t* rec) {
    std::string_view raw = RawValue(f, rec);
    switch (f.def.type) {
    case 'N':
    case 'F': {
        double d = 0;
        if (!Trim(raw).empty() && !ParseNumber(raw, d)) return "is not a number";
        return {};
    }
    case 'D': {
        if (Trim(raw).empty()) return {};
        for (char c : raw) {
            if (c < '0' || c > '9') return "is not a date";
        }
        return {};
    }
    case 'L':
        if (std::string_view(" ?TtFfYyNn").find(raw[0]) == std::string_view::npos) return "is not a logical value";
        return {};
    default: return {};
    }
}

// An index that does not fit the table's current state is either one of an earlier state of this table (a
// writer killed before it saved the index: every entry it has still names a record with that record's key)
// or one of another table. A writer killed after appending a record and saving the index, but before it
// counted the record in the header, leaves entries for records the file holds past the count: those belong to
// this table too. `held` is the number of records the file holds. Returns why it is another table's, empty for
// an earlier or interrupted state.
std::string ForeignIndex(const Table::Impl& impl, std::uint64_t held) {
    Index old;
    std::vector<TagDef> stored;
    std::string why;
    if (old.Load(impl.indexPath, impl.Stamp(), impl.header.fields, impl.master, true, stored, why, true) !=
        Index::Status::Ok)
        return why;
    std::vector<std::uint8_t> key;
    for (const Tag& tag : old.tags) {
        if (tag.Count() > std::max<std::uint64_t>(impl.count, held))
            return "tag " + tag.name + " has " + std::to_string(tag.Count()) + " entries for " +
                   std::to_string(impl.count) + " records";
        const FieldInfo& field = impl.header.fields[static_cast<std::size_t>(tag.fieldIndex)];
        key.resize(tag.width);
        for (std::size_t i = 0; i < tag.Count(); ++i) {
            const std::uint8_t* e = tag.Entry(i);
            const std::uint32_t rec = tag.RecNo(i);
            if (rec > impl.count && rec <= held) continue;  // appended, not yet counted
            if (rec < 1 || rec > impl.count) return "tag " + tag.name + " names a record the table does not have";
            MakeKey(field, impl.RecordBytes(rec), key.data());
            if (std::memcmp(key.data(), e, tag.width) != 0)
                return "tag " + tag.name + " holds another key for record " + std::to_string(rec);
        }
    }
    return {};
}

}  // namespace

std::vector<std::string> VerifyTable(const std::string& path, const std::string& password) {
    return VerifyTable(path, password, nullptr);
}

std::vector<std::string> VerifyTable(const std::string& path, const std::string& password,
                                     std::vector<std::string>* notes) {
    std::vector<std::string> problems;
    Table::Impl impl;
    impl.acceptCutTable = true;  // reported below with the rest
    try {
        impl.Open(path, password, true, false, Table::Impl::IndexPolicy::Report);
    } catch (const TableError& e) {
        problems.push_back(e.reason());
        return problems;
    }
    try {
        const std::uint64_t size = impl.dbf.Size();
        const std::uint64_t fromSize = (size - impl.header.headerLength) / impl.header.recordLength;
        if (impl.header.storedCount != fromSize) {
            // Fewer counted than held: an append was interrupted before its header update, so its Post never
            // returned; the record past the count is ignored and the next append takes its place.
            // More counted than held: records are lost.
            auto& to = (notes && impl.header.storedCount < fromSize) ? *notes : problems;
            to.push_back("header says " + std::to_string(impl.header.storedCount) + " records, the file holds " +
                               std::to_string(fromSize));
        }
        std::size_t recordProblems = 0;
        bool memoReported = false;
        auto report = [&](std::uint32_t r, const std::string& text) {
            if (recordProblems++ < kMaxRecordProblems) problems.push_back("record " + std::to_string(r) + ": " + text);
        };
        for (std::uint32_t r = 1; r <= impl.count; ++r) {
            const std::uint8_t* rec = impl.RecordBytes(r);
            if (rec[0] != ' ' && rec[0] != '*') report(r, "bad deletion mark");
            for (const auto& f : impl.header.fields) {
                if (!f.memo) {
                    std::string why = CheckValue(f, rec);
                    if (!why.empty()) report(r, "field " + f.def.name + " " + why);
                    continue;
                }
                std::uint32_t block = 0;
                try {
                    block = MemoPointer(f, rec, path);
                } catch (const TableError& e) {
                    report(r, e.reason());
                    continue;
                }
                if (block == 0) continue;
                if (!impl.memo.Usable()) {
                    if (!memoReported) problems.push_back(impl.memo.Path() + ": " + impl.memo.Problem());
                    memoReported = true;
                    continue;
                }
                std::string why = impl.memo.Check(block);
                if (!why.empty()) report(r, "field " + f.def.name + ": " + why);
            }
        }
        if (recordProblems > kMaxRecordProblems) {
            problems.push_back(std::to_string(recordProblems - kMaxRecordProblems) + " more record problems");
        }
        const std::string foreign =
            impl.indexStatus == Index::Status::Stale ? ForeignIndex(impl, fromSize) : std::string();
        if (impl.indexStatus == Index::Status::Missing) {
            // The next open would build the registered tags, but the tags the table was made with are gone.
            problems.push_back(impl.indexPath + ": " + (impl.indexProblem.empty() ? "index file is missing" : impl.indexProblem));
        } else if (!foreign.empty()) {
            problems.push_back(impl.indexPath + ": the index belongs to another table (" + foreign + ")");
        } else if (notes && impl.indexStatus == Index::Status::Stale) {
            // An index of an earlier state of this table is rebuilt by the next open; check what that gives.
            notes->push_back(impl.indexPath + ": " + impl.indexProblem + "; rebuilt when the table is next opened");
            impl.Close();
            impl.Open(path, password, true, false, Table::Impl::IndexPolicy::Rebuild);
        } else if (!impl.indexProblem.empty()) {
            problems.push_back(impl.indexPath + ": " + impl.indexProblem);
        }
        for (const auto& tag : impl.index.tags) {
            auto found = CheckTag(tag, impl.count, impl.header.fields[static_cast<std::size_t>(tag.fieldIndex)],
                                  [&](std::uint32_t r) { return impl.RecordBytes(r); });
            problems.insert(problems.end(), found.begin(), found.end());
        }
    } catch (const TableError& e) {
        problems.push_back(e.reason());
    }
    impl.Close();
    return problems;
}

}  // namespace xbase
