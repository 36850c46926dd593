// Exclusion between processes (a forked child) and between table objects of one process. Windows has no
// fork: the Windows build tests the exclusion between processes with real child processes instead
// (tests/xbase/crash/process_lock_test.cpp).
#include "EngineTestSupport.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace enginetest;
using xbase::Table;

namespace {

#ifndef _WIN32
// A child process that opens the table, reports, and holds it until told to let go.
class Holder {
public:
    Holder(const std::string& path, bool exclusive, bool readOnly) {
        if (::pipe(ready_) != 0 || ::pipe(release_) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            char status = 'E';
            try {
                Table t;
                OpenTable(t, path, readOnly, exclusive);
                status = 'O';
                (void)!::write(ready_[1], &status, 1);
                char c;
                (void)!::read(release_[0], &c, 1);
                t.Close();
            } catch (const xbase::LockError&) {
                status = 'L';
                (void)!::write(ready_[1], &status, 1);
            } catch (...) {
                (void)!::write(ready_[1], &status, 1);
            }
            ::_exit(0);
        }
        char c = 0;
        (void)!::read(ready_[0], &c, 1);
        status_ = c;
    }
    ~Holder() {
        char c = 'x';
        (void)!::write(release_[1], &c, 1);
        int st = 0;
        ::waitpid(pid_, &st, 0);
        for (int fd : {ready_[0], ready_[1], release_[0], release_[1]}) ::close(fd);
    }
    char Status() const { return status_; }  // 'O' opened, 'L' lock refused, 'E' other error

private:
    int ready_[2]{};
    int release_[2]{};
    pid_t pid_ = -1;
    char status_ = 0;
};

#endif

class LockTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("sammlung.dbf");
    void SetUp() override { Table::Create(path, {{"NR", 'N', 5, 0, false}}, {{"INR", "NR"}}); }
};

#ifndef _WIN32
TEST_F(LockTest, ExclusiveOpenFailsAtOnceWhileAnotherProcessHasTheTableOpen) {
    Holder reader(path, false, true);
    ASSERT_EQ(reader.Status(), 'O');
    Table t;
    EXPECT_THROW(OpenTable(t, path, false, true), xbase::LockError);
    EXPECT_FALSE(t.Active());
    EXPECT_NO_THROW(OpenTable(t, path, true, false));  // shared opens coexist
}

TEST_F(LockTest, SharedOpenFailsWhileAnotherProcessHoldsItExclusively) {
    {
        Holder owner(path, true, false);
        ASSERT_EQ(owner.Status(), 'O');
        Table t;
        EXPECT_THROW(OpenTable(t, path, true, false), xbase::LockError);
        EXPECT_THROW(OpenTable(t, path, false, true), xbase::LockError);
    }
    Table t;
    EXPECT_NO_THROW(OpenTable(t, path, false, true));  // released with the process
    Holder late(path, false, true);
    EXPECT_EQ(late.Status(), 'L');
}

#endif

TEST_F(LockTest, TwoTableObjectsInOneProcessExcludeEachOther) {
    Table a, b;
    OpenTable(a, path, false, true);
    EXPECT_THROW(OpenTable(b, path, true, false), xbase::LockError);
    a.Close();
    OpenTable(b, path, true, false);
    EXPECT_THROW(OpenTable(a, path, false, true), xbase::LockError);
    EXPECT_THROW(OpenTable(a, path, true, true), xbase::LockError);  // exclusive also when only reading
    b.Close();
    OpenTable(a, path, true, true);
    EXPECT_THROW(OpenTable(b, path, true, false), xbase::LockError);
}

TEST_F(LockTest, SharedWritersAppendWithoutLosingRecords) {
    Table a, b;
    OpenTable(a, path, false, false);
    OpenTable(b, path, false, false);
    for (int i = 0; i < 3; ++i) {
        a.AppendBlank();
        a.FieldByName("NR").SetAsInteger(10 + i);
        a.Post();
        b.AppendBlank();
        b.FieldByName("NR").SetAsInteger(20 + i);
        b.Post();
    }
    EXPECT_EQ(b.RecCount(), 6u);
    b.SetOrder(b.TagArea("INR"));
    ASSERT_TRUE(b.Seek("12"));  // appended by the other object
    a.Close();
    b.Close();
    Table t;
    OpenTable(t, path);
    EXPECT_EQ(t.RecCount(), 6u);
    t.SetOrder(t.TagArea("INR"));
    std::vector<long long> numbers;
    for (t.First(); !t.Eof(); t.Next()) numbers.push_back(t.FieldByName("NR").AsInteger());
    EXPECT_EQ(numbers, (std::vector<long long>{10, 11, 12, 20, 21, 22}));
    EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
}

TEST_F(LockTest, KeyEditOfOneSharedWriterSurvivesTheOthersClose) {
    for (bool editorClosesFirst : {true, false}) {
        SCOPED_TRACE(editorClosesFirst);
        Table::Create(path, {{"NR", 'N', 5, 0, false}}, {{"INR", "NR"}});
        {
            Table t;
            OpenTable(t, path, false, true);
            for (int nr : {1, 2}) {
                t.AppendBlank();
                t.FieldByName("NR").SetAsInteger(nr);
            }
        }
        Table a, b;
        OpenTable(a, path, false, false);
        OpenTable(b, path, false, false);
        a.First();
        a.Edit();
        a.FieldByName("NR").SetAsInteger(50);
        a.Post();
        b.AppendBlank();
        b.FieldByName("NR").SetAsInteger(3);
        b.Post();
        (editorClosesFirst ? a : b).Close();
        (editorClosesFirst ? b : a).Close();

        EXPECT_TRUE(xbase::VerifyTable(path, "").empty());
        Table t;
        OpenTable(t, path);
        t.SetOrder(t.TagArea("INR"));
        EXPECT_TRUE(t.Seek("50"));
        EXPECT_TRUE(t.Seek("3"));
        EXPECT_FALSE(t.Seek("1"));
    }
}

TEST_F(LockTest, RecordBeingEditedByAnotherWriterCannotBeEdited) {
    {
        Table t;
        OpenTable(t, path, false, true);
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(1);
    }
    Table a, b;
    OpenTable(a, path, false, false);
    OpenTable(b, path, false, false);
    a.First();
    b.First();
    a.Edit();
    EXPECT_THROW(b.Edit(), xbase::LockError);
    a.Post();
    EXPECT_NO_THROW(b.Edit());
}

}  // namespace
