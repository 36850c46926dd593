#include "xbase/Replace.h"

#include "xbase/Crypto.h"
#include "xbase/File.h"
#include "xbase/Table.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace xbase {

using namespace detail;

namespace {

namespace fs = std::filesystem;

constexpr const char* kWorkPrefix = ".zanit-table.";  // working folders beside the target
constexpr const char* kJournalSuffix = ".zanit-switch";
constexpr const char* kJournalHead = "zanit table switch 1";
constexpr std::uint64_t kLongestJournal = 64 * 1024;

std::string Folder(const std::string& path) {
    const fs::path p(path);
    return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

std::string Join(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

bool TableExtension(const fs::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".dbf" || ext == ".fpt" || ext == ".dbt" || ext == ".zix";
}

// A plain file name: no folder part, nothing that leads out of the folder.
bool PlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

struct Journal {
    std::string work;                 // working folder name, beside the table
    std::vector<std::string> moves;   // file names, moved from the working folder into the table's folder
    std::vector<std::string> removes; // file names of the old table that the new set lacks
};

std::string Render(const Journal& j) {
    std::string text = std::string(kJournalHead) + "\nfolder " + j.work + "\n";
    for (const auto& m : j.moves) text += "move " + m + "\n";
    for (const auto& r : j.removes) text += "remove " + r + "\n";
    return text + "end\n";
}

Journal Parse(const std::string& path, const std::string& text) {
    Journal j;
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) break;  // the last line must be ended
        lines.push_back(text.substr(at, nl - at));
        at = nl + 1;
    }
    auto bad = [&] { return IoError(path, "the journal of an interrupted table replacement is damaged"); };
    if (lines.size() < 3 || lines.front() != kJournalHead || lines.back() != "end" || at != text.size()) throw bad();
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos) throw bad();
        const std::string word = line.substr(0, blank), name = line.substr(blank + 1);
        if (!PlainName(name)) throw bad();
        if (word == "folder" && j.work.empty() && name.rfind(kWorkPrefix, 0) == 0) j.work = name;
        else if (word == "move") j.moves.push_back(name);
        else if (word == "remove") j.removes.push_back(name);
        else throw bad();
    }
    if (j.work.empty() || j.moves.empty()) throw bad();
    return j;
}

std::string ReadJournal(const std::string& path) {
    File in;
    if (in.Open(path, false, false) != OpenResult::Ok) throw IoError(path, "cannot read the journal of a table replacement");
    const std::uint64_t size = in.Size();
    if (size > kLongestJournal) throw IoError(path, "the journal of an interrupted table replacement is damaged");
    std::string text(static_cast<std::size_t>(size), '\0');
    in.ReadExact(0, text.data(), text.size());
    return text;
}

// Written in the working folder (so a kill leaves nothing beside the table) and renamed beside the table.
void WriteJournal(const std::string& work, const std::string& path, const std::string& text) {
    const std::string temp = Join(work, "journal");
    {
        File out;
        if (out.Open(temp, true, true) != OpenResult::Ok) throw IoError(path, "cannot write the replacement journal");
        try {
            out.Write(0, text.data(), text.size());
            out.Sync();
        } catch (...) {
            out.Close();
            RemoveFile(temp);
            throw;
        }
    }
    ReplaceAtomically(temp, path);  // syncs the folder: from here on the switch is carried out whatever happens
}

// Carries out a journal; every step may have been done already by a killed predecessor or by another process
// finishing the same journal at the same moment.
void Carry(const std::string& folder, const std::string& journalPath, const Journal& j) {
    const std::string work = Join(folder, j.work);
    for (const auto& name : j.moves) {
        std::error_code ec;
        fs::rename(Join(work, name), Join(folder, name), ec);
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw IoError(Join(folder, name), "cannot move the new file into place: " + ec.message());
    }
    for (const auto& name : j.removes) {
        if (std::find(j.moves.begin(), j.moves.end(), name) != j.moves.end()) continue;
        std::error_code ec;
        fs::remove(Join(folder, name), ec);
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw IoError(Join(folder, name), "cannot remove the file of the old table: " + ec.message());
    }
    SyncFolder(folder);
    RemoveFile(journalPath);
    SyncFolder(folder);
    std::error_code ec;
    fs::remove_all(work, ec);
}

void FinishJournal(const std::string& folder, const std::string& journalPath) {
    Carry(folder, journalPath, Parse(journalPath, ReadJournal(journalPath)));
}

}  // namespace

struct TableReplacement::Lock {
    FolderLock folder;
};

std::string ReplacementJournalPath(const std::string& table) {
    return Join(Folder(table), "." + fs::path(table).filename().string() + kJournalSuffix);
}

void FinishTableReplacement(const std::string& table) {
    const std::string journal = ReplacementJournalPath(table);
    if (!FileExists(journal)) return;
    FinishJournal(Folder(table), journal);
}

TableReplacement::TableReplacement(const std::string& target) : target_(target), folder_(Folder(target)) {
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) throw IoError(target, "the folder \"" + folder_ + "\" does not exist");

    // Journals of killed replacements first (they name the working folders they still need), then the
    // working folders nobody holds.
    std::vector<fs::path> works;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (name.rfind(kWorkPrefix, 0) == 0 && entry.is_directory(typeError)) {
            works.push_back(entry.path());
        } else if (name.size() > std::string(kJournalSuffix).size() + 1 && name[0] == '.' &&
                   name.compare(name.size() - std::string(kJournalSuffix).size(), std::string::npos, kJournalSuffix) == 0 &&
                   entry.is_regular_file(typeError)) {
            FinishJournal(folder_, entry.path().string());
        }
    }
    for (const auto& work : works) {
        {
            FolderLock lock;
            if (!lock.TryLock(work.string())) continue;
            fs::remove_all(work, ec);  // removed while we hold its lock
        }
        fs::remove(work, ec);  // Windows: the folder empties only once the lock file is closed
    }
    FinishTableReplacement(target_);

    for (int attempt = 0; attempt < 16 && !lock_; ++attempt) {
        std::uint8_t random[6];
        RandomBytes(random, sizeof random);
        std::string name = kWorkPrefix;
        for (std::uint8_t b : random) {
            name += "0123456789abcdef"[b >> 4];
            name += "0123456789abcdef"[b & 15];
        }
        const std::string work = Join(folder_, name);
        if (!fs::create_directory(work, ec)) {
            if (ec) throw IoError(target, "cannot create a working folder: " + ec.message());
            continue;  // the name is taken
        }
        // A cleaner that took the new folder for a leftover before we locked it has removed it: try another.
        auto lock = std::make_unique<Lock>();
        if (lock->folder.TryLock(work)) {
            work_ = work;
            lock_ = lock.release();
        }
    }
    if (!lock_) throw IoError(target, "cannot create a working folder");
    staged_ = Join(work_, fs::path(target_).filename().string());
}

TableReplacement::~TableReplacement() {
    if (!committed_ && !work_.empty()) {
        std::error_code ec;
        fs::remove_all(work_, ec);
    }
    delete lock_;
    std::error_code ec;
    if (!work_.empty()) fs::remove(work_, ec);  // Windows: left empty while the lock file was open
}

void TableReplacement::Commit() {
    if (committed_) return;
    const fs::path target(target_);
    const std::string stem = target.stem().string();
    if (!FileExists(staged_)) throw UsageError(target_, "no new table was built to replace it");

    Journal j;
    j.work = fs::path(work_).filename().string();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(work_, ec)) {
        std::error_code typeError;
        const fs::path& p = entry.path();
        if (!entry.is_regular_file(typeError) || p.stem().string() != stem || !TableExtension(p)) continue;
        File f;
        if (f.Open(p.string(), true, false) != OpenResult::Ok) throw IoError(p.string(), "cannot sync the new file");
        f.Sync();
        if (p.string() != staged_) j.moves.push_back(p.filename().string());
    }
    if (ec) throw IoError(work_, "cannot list the working folder: " + ec.message());
    std::sort(j.moves.begin(), j.moves.end());
    j.moves.push_back(fs::path(staged_).filename().string());  // the table file last
    SyncFolder(work_);

    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        std::error_code typeError;
        const fs::path& p = entry.path();
        const std::string name = p.filename().string();
        if (!entry.is_regular_file(typeError) || p.stem().string() != stem || !TableExtension(p)) continue;
        if (std::find(j.moves.begin(), j.moves.end(), name) == j.moves.end()) j.removes.push_back(name);
    }

    // Nobody may open the old table while its files are switched: an opener would meet the old table file
    // with the new memo. Opens that come later fail on this lock or find the new files.
    // (On Windows the share mode of the open refuses a table that another program holds, and the files are
    // switched once this handle is closed: a file that is open cannot be replaced there.)
    File old;
    const OpenResult inUse = old.Open(target_, false, false, true);
    if (inUse == OpenResult::Busy || (inUse == OpenResult::Ok && !old.OpenLock(true)))
        throw LockError(target_, "the table is in use by another program; it is not replaced");
#ifdef _WIN32
    old.Close();
#endif

    const std::string journal = ReplacementJournalPath(target_);
    WriteJournal(work_, journal, Render(j));
    committed_ = true;
    Carry(folder_, journal, j);
}

}  // namespace xbase
