#pragma once
// Replacing a table, its memo file and its index by a new set as one step. The new files are built in a
// hidden working folder beside the table; a journal beside the table, written atomically, is the point of
// no return; then the files are renamed into place. Whoever meets a journal (the next Open of the table, the
// next replacement) finishes the renames, so that a process killed at any moment leaves either the whole old
// set or the whole new one. The working folder is locked while its replacement lives, so the next
// replacement in that folder removes only working folders left by killed processes.

#include <string>

namespace xbase {

class TableReplacement {
public:
    // Removes working folders that killed replacements left beside `target`, finishes an interrupted switch
    // of `target`, and creates a new locked working folder. `target` need not exist. Throws IoError.
    explicit TableReplacement(const std::string& target);
    ~TableReplacement();  // removes the working folder unless Commit finished
    TableReplacement(const TableReplacement&) = delete;
    TableReplacement& operator=(const TableReplacement&) = delete;

    // The new table file to build (same file name as the target, inside the working folder). Build it with
    // Table::Create and fill it; close it before Commit.
    const std::string& StagedPath() const { return staged_; }
    const std::string& Target() const { return target_; }

    // Makes the staged files durable and switches them in: every staged file takes its place beside the
    // target under the target's stem, and files of the old table that the new set lacks (memo, index) are
    // removed. Refused with LockError while another program has the old table open. Durable on return.
    void Commit();

private:
    std::string target_, folder_, work_, staged_;
    struct Lock;
    Lock* lock_ = nullptr;
    bool committed_ = false;
};

// Finishes a replacement of `table` that was killed after its point of no return. Table::Open calls it;
// cheap when there is nothing to do (one file test). Throws IoError when the journal cannot be carried out.
void FinishTableReplacement(const std::string& table);

// The journal's name beside a table (for tests and tools that list a table's files).
std::string ReplacementJournalPath(const std::string& table);

}  // namespace xbase
