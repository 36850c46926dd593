// Replacing a table by a new set of files (the kills are in tests/xbase/crash): what is removed, what is kept,
// and that a table in use is not replaced under its reader.
#include "EngineTestSupport.h"

#include "xbase/Replace.h"

#include <algorithm>
#include <filesystem>
#include <memory>

using namespace enginetest;
using xbase::Table;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Fill(const std::string& path, const std::string& text) {
    Table t;
    OpenTable(t, path, false, true);
    t.AppendBlank();
    t.FieldByName("W1").SetAsString(text);
    t.Post();
}

std::string FirstW1(const std::string& path) {
    Table t;
    OpenTable(t, path);
    t.First();
    return t.FieldByName("W1").AsString();
}

TEST(ReplaceTest, NewSetReplacesTheOldAndDropsTheFilesItLacks) {
    TempFolder dir;
    const std::string path = dir.File("wb.dbf"), root = fs::path(path).parent_path().string();
    Table::Create(path, {{"W1", 'C', 20, 0, false}, {"NOTE", 'M', 10, 0, false}}, {{"IW1", "W1"}});
    Fill(path, "alt");
    {
        xbase::TableReplacement r(path);
        Table::Create(r.StagedPath(), {{"W1", 'C', 20, 0, false}}, {{"IW1", "W1"}});  // no memo field
        Fill(r.StagedPath(), "neu");
        EXPECT_EQ(FirstW1(path), "alt");  // nothing changes before the commit
        r.Commit();
    }
    EXPECT_EQ(FirstW1(path), "neu");
    EXPECT_EQ(Names(root), (std::vector<std::string>{"wb.dbf", "wb.zix"}));
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());

    // Abandoned without a commit: the old table stays, the working folder goes.
    {
        xbase::TableReplacement r(path);
        Table::Create(r.StagedPath(), {{"W1", 'C', 20, 0, false}}, {});
    }
    EXPECT_EQ(FirstW1(path), "neu");
    EXPECT_EQ(Names(root), (std::vector<std::string>{"wb.dbf", "wb.zix"}));
}

TEST(ReplaceTest, TableInUseIsNotReplacedAndOnlyDeadWorkingFoldersAreCleared) {
    TempFolder dir;
    const std::string path = dir.File("wb.dbf"), root = fs::path(path).parent_path().string();
    Table::Create(path, {{"W1", 'C', 20, 0, false}}, {});
    Fill(path, "alt");

    // A folder left by a killed run (nobody holds its lock) and one of a live replacement.
    fs::create_directory(root + "/.zanit-table.tot000");
    WriteAll(root + "/.zanit-table.tot000/wb.dbf", "halb");
    auto live = std::make_unique<xbase::TableReplacement>(dir.File("anders.dbf"));
    const std::string liveFolder = fs::path(live->StagedPath()).parent_path().filename().string();

    Table reader;
    OpenTable(reader, path);
    {
        xbase::TableReplacement r(path);
        EXPECT_FALSE(fs::exists(root + "/.zanit-table.tot000"));
        EXPECT_TRUE(fs::exists(root + "/" + liveFolder));
        Table::Create(r.StagedPath(), {{"W1", 'C', 20, 0, false}}, {});
        Fill(r.StagedPath(), "neu");
        EXPECT_THROW(r.Commit(), xbase::LockError);
    }
    reader.First();
    EXPECT_EQ(reader.FieldByName("W1").AsString(), "alt");
    reader.Close();
    EXPECT_EQ(FirstW1(path), "alt");
    live.reset();
    EXPECT_EQ(Names(root), (std::vector<std::string>{"wb.dbf", "wb.zix"}));
}

}  // namespace
