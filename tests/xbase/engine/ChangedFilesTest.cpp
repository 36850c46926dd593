// Files that are not what the table expects: a pipe or device in the place of a table, memo or index, a copy
// cut short, a file cut under an open table, an index that is missing or another table's.
#include "EngineTestSupport.h"

#ifndef _WIN32
// Pipes in place of files and files cut under a mapped view are POSIX matters: Windows refuses to cut a file
// that a view maps, and a table path there never names a pipe.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>

using namespace enginetest;
using xbase::Table;

namespace {

bool Mentions(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

// (copy_options::overwrite_existing fails on an existing file in the Windows build's C++ library.)
void CopyOver(const std::string& from, const std::string& to) {
    std::filesystem::remove(to);
    std::filesystem::copy_file(from, to);
}

class ChangedFilesTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("wb.dbf");

    void SetUp() override { xbase::RegisterTagDefinition("IW1", "W1"); }

    // A table with a memo field and an index, big enough to span many pages.
    void Build(const std::string& file, const std::string& prefix, int records) {
        Table::Create(file, {{"W1", 'C', 30, 0, false}, {"NOTE", 'M', 10, 0, false}}, {{"IW1", "W1"}});
        Table t;
        OpenTable(t, file, false, true);
        t.SetSyncOnPost(false);
        for (int i = 0; i < records; ++i) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString(prefix + std::to_string(100000 + i));
            t.FieldByName("NOTE").SetAsString("memo of " + prefix + std::to_string(i));
            t.Post();
        }
    }

    std::string Sibling(const std::string& ext) const { return dir.File("wb" + ext); }

#ifndef _WIN32
    static void MakeFifo(const std::string& file) {
        std::filesystem::remove(file);
        ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    }

    // Runs `open` on another thread; a pipe that blocks it is unblocked by a writer so the test ends.
    static bool ReturnsPromptly(const std::string& fifo, const std::function<void()>& open) {
        auto done = std::async(std::launch::async, open);
        if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
            done.get();
            return true;
        }
        const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
        done.wait();
        if (fd >= 0) ::close(fd);
        return false;
    }
#endif
};

#ifndef _WIN32
TEST_F(ChangedFilesTest, PipeOrDeviceInPlaceOfTableMemoOrIndexIsRefusedWithoutBlocking) {
    Build(path, "w", 3);

    // The table itself: a clear error, at once.
    const std::string saved = dir.File("saved.dbf");
    std::filesystem::rename(path, saved);
    MakeFifo(path);
    std::string reason;
    EXPECT_TRUE(ReturnsPromptly(path, [&] {
        Table t;
        try {
            OpenTable(t, path);
        } catch (const xbase::IoError& e) {
            reason = e.reason();
        }
    }));
    EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    reason.clear();
    try {
        Table t;
        OpenTable(t, "/dev/null");
    } catch (const xbase::IoError& e) {
        reason = e.reason();
    }
    EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    std::filesystem::remove(path);
    std::filesystem::rename(saved, path);

    // The memo: the table opens, reading a memo names the problem.
    MakeFifo(Sibling(".fpt"));
    EXPECT_TRUE(ReturnsPromptly(Sibling(".fpt"), [&] {
        Table t;
        OpenTable(t, path);
        t.First();
        EXPECT_EQ(t.FieldByName("W1").AsString(), "w100000");
        try {
            t.FieldByName("NOTE").AsString();
            ADD_FAILURE() << "read a memo from a pipe";
        } catch (const xbase::FormatError& e) {
            EXPECT_NE(e.reason().find("not a regular file"), std::string::npos) << e.reason();
        }
    }));

    // The index: the tags are built from the records; the verifier names the file.
    MakeFifo(Sibling(".zix"));
    EXPECT_TRUE(ReturnsPromptly(Sibling(".zix"), [&] {
        Table t;
        OpenTable(t, path);
        t.SetOrder(t.TagArea("IW1"));
        EXPECT_TRUE(t.Seek("w100002"));
        EXPECT_TRUE(Mentions(xbase::VerifyTable(path, ""), "not a regular file"));
    }));
}

#endif

TEST_F(ChangedFilesTest, CopyCutShortIsRefusedByReadersAndRecoveredByWriters) {
    Build(path, "w", 40);
    const std::string data = ReadAll(path);
    const std::size_t recordLength = 1 + 30 + 10;
    const std::size_t headerLength = data.size() - 40 * recordLength - 1;
    for (const std::size_t keep : {std::size_t(25), std::size_t(0)}) {
        SCOPED_TRACE(keep);
        WriteAll(path, data.substr(0, headerLength + keep * recordLength + 7));  // a part record after the cut
        try {
            Table t;
            OpenTable(t, path);
            ADD_FAILURE() << "a cut table opened for reading";
        } catch (const xbase::FormatError& e) {
            EXPECT_NE(e.reason().find("counts 40 records, the file holds " + std::to_string(keep)), std::string::npos)
                << e.reason();
        }
        EXPECT_FALSE(xbase::VerifyTable(path, "").empty());

        // A writer goes on with what the file holds, says so in the log, and leaves a sound table.
        LogCapture log;
        {
            Table t;
            OpenTable(t, path, false, true);
            EXPECT_EQ(t.RecCount(), keep);
            t.AppendBlank();
            t.FieldByName("W1").SetAsString("neu");
            t.Post();
        }
        EXPECT_TRUE(Mentions(log.lines, "header says 40 records"));
        Table t;
        OpenTable(t, path);
        EXPECT_EQ(t.RecCount(), keep + 1);
        t.SetOrder(t.TagArea("IW1"));
        EXPECT_TRUE(t.Seek("neu"));
        t.Close();
        EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
    }
}

#ifndef _WIN32
TEST_F(ChangedFilesTest, TableOrIndexCutUnderAnOpenTableIsReportedNotAFatalSignal) {
    Build(path, "w", 3000);
    for (const std::string ext : {".dbf", ".zix"}) {
        SCOPED_TRACE(ext);
        Table t;
        OpenTable(t, path);
        t.SetOrder(t.TagArea("IW1"));
        ASSERT_TRUE(t.Seek("w101500"));
        ASSERT_EQ(::truncate(Sibling(ext).c_str(), 0), 0);  // another program empties the file in place
        std::string reason;
        try {
            // A walk as the search runs it: every step reads the mapped files.
            for (int k = 0; k < 3000 && t.Seek("w10" + std::to_string(k % 10)); ++k)
                for (int n = 0; n < 50 && !t.Eof(); ++n, t.Next()) t.FieldByName("W1").AsString();
        } catch (const xbase::FormatError& e) {
            reason = e.reason();
        }
        EXPECT_NE(reason.find("cut short or overwritten"), std::string::npos) << reason;
        EXPECT_THROW(t.FieldByName("W1").AsString(), xbase::FormatError);  // it stays damaged
        t.Close();
        Build(path, "w", 3000);
        OpenTable(t, path);  // a new open of the whole files reads again
        t.SetOrder(t.TagArea("IW1"));
        EXPECT_TRUE(t.Seek("w102999"));
    }
}

#endif

TEST_F(ChangedFilesTest, VerifyReportsAMissingIndexAndAnIndexOfAnotherTable) {
    Build(path, "w", 30);
    const std::string other = dir.File("anders.dbf");
    Build(other, "x", 20);
    std::vector<std::string> notes;
    ASSERT_TRUE(xbase::VerifyTable(path, "", &notes).empty());

    CopyOver(dir.File("anders.zix"), Sibling(".zix"));
    auto problems = xbase::VerifyTable(path, "", &notes);
    EXPECT_TRUE(Mentions(problems, "belongs to another table")) << ::testing::PrintToString(problems);
    EXPECT_TRUE(notes.empty()) << ::testing::PrintToString(notes);

    std::filesystem::remove(Sibling(".zix"));
    problems = xbase::VerifyTable(path, "", &notes);
    EXPECT_TRUE(Mentions(problems, "index file is missing")) << ::testing::PrintToString(problems);

    // An index of an earlier state of the same table (a writer killed before saving it) is still a note.
    std::filesystem::copy_file(dir.File("anders.zix"), dir.File("frueher.zix"));
    {
        Table t;
        OpenTable(t, other, false, true);
        t.AppendBlank();
        t.FieldByName("W1").SetAsString("x-spaet");
        t.Post();
    }
    CopyOver(dir.File("frueher.zix"), dir.File("anders.zix"));
    notes.clear();
    EXPECT_TRUE(xbase::VerifyTable(other, "", &notes).empty());
    EXPECT_EQ(notes.size(), 1u);

    // A writer killed after it appended a record and saved the index, before it counted the record in the
    // header: the index names a record the file holds past the count. That is this table's index, not another's.
    {
        Table t;
        OpenTable(t, other, false, true);
        t.AppendBlank();
        t.FieldByName("W1").SetAsString("x-ungezaehlt");
        t.Post();
    }
    {
        std::fstream f(other, std::ios::in | std::ios::out | std::ios::binary);
        char count[4];
        f.seekg(4);
        f.read(count, 4);
        std::uint32_t n = static_cast<std::uint8_t>(count[0]) | static_cast<std::uint8_t>(count[1]) << 8 |
                          static_cast<std::uint8_t>(count[2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(count[3])) << 24;
        ASSERT_EQ(n, 22u);
        --n;
        for (int i = 0; i < 4; ++i) count[i] = static_cast<char>(n >> (8 * i));
        f.seekp(4);
        f.write(count, 4);
    }
    notes.clear();
    problems = xbase::VerifyTable(other, "", &notes);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
    EXPECT_FALSE(notes.empty());
}

}  // namespace
