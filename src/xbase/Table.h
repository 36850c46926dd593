#pragma once
// The table store: dBASE tables (FoxPro 2.x layout) with a memo file and a compound index file of our own,
// optional password encryption and cross-process locking. This header is the contract every data file of
// the product goes through; it depends on nothing of ours.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xbase {

// Every failure carries the file and the reason.
class TableError : public std::runtime_error {
public:
    TableError(std::string file, std::string reason);
    const std::string& file() const { return file_; }
    const std::string& reason() const { return reason_; }

private:
    std::string file_;
    std::string reason_;
};
class NotOpenError : public TableError { using TableError::TableError; };   // operation on a closed table
class NoOrderError : public TableError { using TableError::TableError; };   // Seek without an active order
class FormatError : public TableError { using TableError::TableError; };    // malformed table, memo or index
class LockError : public TableError { using TableError::TableError; };      // another process holds it
class PasswordError : public TableError { using TableError::TableError; };  // wrong or missing password
class IoError : public TableError { using TableError::TableError; };        // open/read/write failed
class UsageError : public TableError { using TableError::TableError; };     // e.g. Zap on a shared table

enum class TableType { ttSXNSX };

// Field types the engine writes: C, N, L, D, M.
struct FieldDef {
    std::string name;  // upper case, at most 10 characters
    char type = 'C';
    int length = 0;    // M is always 10; D is always 8; L is always 1
    int decimals = 0;
    bool binary = false;  // M only: the memo holds bytes (block type 0), not text (block type 1)
};

// An index tag: its name and the field whose value is the key. Character fields give character keys
// (compared as unsigned bytes); N fields give numeric keys.
struct TagDef {
    std::string name;
    std::string field;
};

// Tag definitions known to the whole process, used to rebuild an index that is missing, stale or foreign
// (the product registers IWI1 = WI1, IWI2 = WI2, INR = NR, IDATEI = DATEI once at start).
void RegisterTagDefinition(const std::string& tag, const std::string& field);
std::vector<TagDef> RegisteredTagDefinitions();

// Where the engine reports what it repaired or ignored while reading (e.g. a record count that disagrees
// with the file size). Default: standard error. An empty handler restores the default.
void SetLogHandler(std::function<void(const std::string&)> handler);

// Checks a table, its memo file and its index: header, records, memos, index order and keys.
// Returns the problems found, empty when the table is sound.
std::vector<std::string> VerifyTable(const std::string& path, const std::string& password);
// The same, but what a writer interrupted between its steps leaves behind and the engine recovers by itself at
// the next open (a header count below the records the file holds, an index of an earlier state of the table)
// goes to *notes instead of the problems; the index tags are then checked as the next open rebuilds them.
std::vector<std::string> VerifyTable(const std::string& path, const std::string& password,
                                     std::vector<std::string>* notes);

class Table;

// The integer of a number field's text as Table::ReadKeptViews gives it: what Field::AsInteger reads there.
long long KeptInteger(std::string_view text);

// The field of the current record, read and written as text or as integer.
class Field {
public:
    // Character fields: the stored text without trailing blanks. Memo fields: the memo's bytes exactly.
    // N fields: the digits without padding. L: "T"/"F"/"" . D: "YYYYMMDD".
    std::string AsString() const;
    // AsString into the caller's buffer, which keeps its storage from call to call (for walks).
    void ReadString(std::string& out) const;
    // The same text without a copy where the table keeps the record (see Table::SetRecordCache), else read
    // into `buffer`. The view is valid until the table moves, changes or reads another field.
    std::string_view ReadView(std::string& buffer) const;
    // N fields: the number (0 when blank or not a number); other fields: the text converted, 0 on failure.
    long long AsInteger() const;
    void SetAsString(std::string_view value);  // needs Edit or AppendBlank first
    void SetAsInteger(long long value);
    const FieldDef& Def() const;

private:
    friend class Table;
    Field(Table* table, int index) : table_(table), index_(index) {}
    Table* table_;
    int index_;
};

class Table {
public:
    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // configure: takes effect at the next Open.
    void SetFolder(std::string folder);
    void SetFileName(std::string name);  // with or without folder; the folder is prepended when relative
    void SetTableType(TableType type) { type_ = type; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    void SetExclusive(bool on) { exclusive_ = on; }
    void SetPassword(std::string password) { password_ = std::move(password); }
    void SetOEMTranslate(bool on) { oemTranslate_ = on; }  // only "off" is supported; kept for the interface
    // On (default): Post returns once the change is on disk (fsync). Off, for bulk loads: Post leaves the
    // change to the system's cache and Close makes everything durable. Takes effect at once.
    void SetSyncOnPost(bool on);
    // Read-only opens keep the decoded character and number fields of the records they read, up to about
    // `bytes` (0, the default, keeps none; when full, everything kept is dropped and keeping starts again).
    // A walk that passes the same records again then neither decrypts nor trims them. Meant for tables
    // that no one writes while they are open, such as installed dictionaries: a record that another
    // program changes afterwards is still read as it was. Takes effect at once and drops what was kept.
    void SetRecordCache(std::size_t bytes);
    std::string Path() const;  // folder + file name
    // Exchanges everything with `other`: configuration and, where open, the open file. A table opened aside
    // takes the place of this one only once it is known to open.
    void Swap(Table& other) noexcept;

    void Open();         // throws TableError (IoError, FormatError, LockError, PasswordError)
    void Close();        // allowed on a closed table
    bool Active() const;

    int TagArea(std::string_view tagName) const;  // 1-based order number, 0 when the table has no such tag
    void SetOrder(int order);                     // 0 = physical (record number) order
    int IndexOrd() const;
    // Character tag: prefix seek. Numeric tag: the number whose decimal text is given.
    // On a miss: false, standing on the last record in order with Eof() true.
    bool Seek(std::string_view key);
    // The key of the current record in the active order, as the index holds it: a character key without
    // trailing blanks (what AsString of its field gives), a numeric key as its 8 ordered bytes. Empty without
    // an order or a current record. Valid until the table moves or changes. Needs no record bytes, so a walk
    // that tests keys reads records only where they match.
    std::string_view OrderKey();
    // The texts of several fields of the current record at once, as Field::ReadView gives them, from the kept
    // records (see SetRecordCache) with one look-up of the record instead of one per field: for walks that
    // read the same fields of every record. False, with `out` untouched, where that cannot be: records are
    // not kept, the record is being changed, there is no current record, `out` is shorter than `fields`, or
    // a field is a memo, of a type kept records do not hold or of another table; then read the fields one
    // by one. The views are valid until the table moves, changes or reads another field.
    bool ReadKeptViews(std::span<const Field> fields, std::span<std::string_view> out);
    bool Eof() const;
    void Next();
    // Next, then OrderKey of the record reached (empty at the end, Eof true): one call per step for walks
    // that test each key as they go. The key is valid as OrderKey's.
    std::string_view NextKey();
    void Skip(int n);
    void First();
    std::uint32_t RecCount() const;  // records in the file, deleted included
    std::uint32_t RecNo() const;     // 1-based physical number of the current record, 0 when none
    void Go(std::uint32_t recNo);    // physical positioning (deleted records too); UsageError when out of range
    bool Deleted() const;            // the current record carries the deletion mark
    std::vector<TagDef> Tags() const;  // the tags of the open table, in order number order

    Field FieldByName(std::string_view name);  // throws FormatError for an unknown field
    bool HasField(std::string_view name) const;
    const std::vector<FieldDef>& Fields() const;

    void AppendBlank();  // new blank record, current, in edit state
    void Edit();         // start changing the current record
    // Navigation, SetOrder, Seek and Close store pending changes of Edit or AppendBlank first.
    void Post();         // store the changes; fsync'd when it returns
    void Cancel();       // drop the changes of Edit or AppendBlank
    void Zap();          // exclusive + writable: remove all records
    static void ErrorLevel(int level);  // the engine never shows dialogs; kept for the interface

    // Creates an empty table (and memo and index files) and leaves it closed. Replaces existing files.
    static void Create(const std::string& path, const std::vector<FieldDef>& fields,
                       const std::vector<TagDef>& tags, const std::string& password = {});

    struct Impl;

private:
    friend class Field;
    std::unique_ptr<Impl> impl_;
    std::string folder_, fileName_, password_;
    TableType type_ = TableType::ttSXNSX;
    bool readOnly_ = false, exclusive_ = false, oemTranslate_ = false, syncOnPost_ = true;
    std::size_t recordCache_ = 0;
};

}  // namespace xbase
