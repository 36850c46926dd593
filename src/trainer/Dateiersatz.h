#pragma once
// Replacing files of a collection so that a crash or a full disk at any moment leaves either the old or the
// new version: the new bytes are written beside the file, synced, and renamed over it (a rename within one
// folder is atomic), then the folder is synced so that the rename itself is durable. Failures throw
// std::runtime_error with the file and the reason; the file that was to be replaced is then untouched.
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

// A new version of one file, prepared beside it.
class TErsatzdatei {
public:
    explicit TErsatzdatei(std::string ziel);
    ~TErsatzdatei();  // removes the prepared file unless it was put in place
    TErsatzdatei(const TErsatzdatei&) = delete;
    TErsatzdatei& operator=(const TErsatzdatei&) = delete;

    void Schreiben(std::string_view daten);  // creates the file beside, writes everything, syncs
    void Einsetzen();                        // renames it over the target, syncs the folder
    const std::string& Daneben() const { return daneben_; }

private:
    std::string ziel_, daneben_;
    bool eingesetzt_ = false;
};

// A hidden folder beside a collection's files in which new versions of a table's files are assembled.
class TErsatzordner {
public:
    explicit TErsatzordner(std::string ordner);  // creates the folder; throws
    ~TErsatzordner();                             // removes it with whatever is still in it
    TErsatzordner(const TErsatzordner&) = delete;
    TErsatzordner& operator=(const TErsatzordner&) = delete;

    const std::string& Pfad() const { return pfad_; }
    // Copies a file of the collection folder (by name) into this folder; throws.
    void Kopieren(const std::string& name);
    // Syncs the named files of this folder, renames them into the collection folder in the order given and
    // syncs that folder. A crash between two renames leaves some files old and some new; callers order
    // them so that this is harmless (an index of the table's earlier state is rebuilt when opened).
    void Einsetzen(const std::vector<std::string>& namen);

private:
    std::string ordner_, pfad_;
};

// The files of a table in `ordner`: the table file `tabelle` and the memo and index files of its stem, in
// the order in which replacements are put in place (memo, table, index last).
std::vector<std::string> Tabellendateien(const std::string& ordner, const std::string& tabelle);

// Removes what writers that were killed left behind in `ordner` (prepared files and folders of processes
// that no longer run).
void EntferneReste(const std::string& ordner);

// Syncs a file or folder to disk; throws.
void SyncPfad(const std::string& pfad, bool ordner);

// Test seam: fails every write of this layer after `bytes` more bytes, as a full disk does (negative: no
// limit, the default). Lets tests reach the failure paths where no small file system can be mounted.
void SetzeSchreibgrenze(long long bytes);
// Test seam for crash tests: the process kills itself (SIGKILL) at the n-th write, sync or rename of this
// layer from now on (0: never, the default), so that kills land inside every step of a replacement.
void SetzeAbbruchstelle(long n);

}  // namespace zanit
