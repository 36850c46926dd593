// Damaged files: a typed error or a skipped item, never a crash or a read out of bounds.
#include "EngineTestSupport.h"

#include <algorithm>

using namespace enginetest;
using xbase::Table;

namespace {

class DamageTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string path = dir.File("kaputt.dbf");

    RawTable Simple(int records) {
        RawTable raw;
        raw.version = 0xF5;
        raw.fields = {{"NR", 'N', 4}, {"NAME", 'C', 6}};
        for (int i = 1; i <= records; ++i) raw.records.push_back(" " + Right(std::to_string(i), 4) + Left("n" + std::to_string(i), 6));
        return raw;
    }

    std::vector<long long> Numbers(bool readOnly = true) {
        Table t;
        OpenTable(t, path, readOnly, !readOnly);
        std::vector<long long> out;
        for (t.First(); !t.Eof(); t.Next()) out.push_back(t.FieldByName("NR").AsInteger());
        return out;
    }

    void ExpectFormatError(const std::string& bytes, const std::string& reasonPart) {
        WriteAll(path, bytes);
        Table t;
        try {
            OpenTable(t, path);
            ADD_FAILURE() << "opened a damaged table";
        } catch (const xbase::FormatError& e) {
            EXPECT_NE(e.reason().find(reasonPart), std::string::npos) << e.reason();
            EXPECT_EQ(e.file(), path);
        }
        EXPECT_FALSE(t.Active());
        EXPECT_FALSE(xbase::VerifyTable(path, "").empty());
    }

    // A memo table whose single record points at block 8 of the given memo file.
    void MemoTable(const std::string& fpt, const std::string& pointer = "8") {
        RawTable raw;
        raw.version = 0xF5;
        raw.fields = {{"TEXT", 'M', 10}};
        raw.records = {" " + Right(pointer, 10)};
        WriteAll(path, raw.Bytes());
        WriteAll(dir.File("kaputt.fpt"), fpt);
    }

    static std::string FptHeader(unsigned blockSize, std::uint32_t next = 9) {
        std::string h(512, '\0');
        h.replace(0, 4, Be32(next));
        h[6] = static_cast<char>(blockSize >> 8);
        h[7] = static_cast<char>(blockSize & 0xFF);
        return h;
    }

    void ExpectMemoError(const std::string& reasonPart) {
        Table t;
        OpenTable(t, path);  // the table itself is readable
        t.First();
        try {
            t.FieldByName("TEXT").AsString();
            ADD_FAILURE() << "read a damaged memo";
        } catch (const xbase::FormatError& e) {
            EXPECT_NE(e.reason().find(reasonPart), std::string::npos) << e.reason();
        }
        t.Close();
        auto problems = xbase::VerifyTable(path, "");
        EXPECT_TRUE(std::any_of(problems.begin(), problems.end(),
                                [&](const std::string& p) { return p.find(reasonPart) != std::string::npos; }));
    }
};

TEST_F(DamageTest, RecordCountDisagreeingWithFileSizeUsesTheSmallerAndIsLogged) {
    RawTable raw = Simple(3);
    raw.countOverride = 1000;
    WriteAll(path, raw.Bytes());
    // Fewer records than counted: readers refuse the cut table (see ChangedFilesTest), writers go on.
    EXPECT_THROW(Numbers(), xbase::FormatError);
    {
        LogCapture log;
        EXPECT_EQ(Numbers(false), (std::vector<long long>{1, 2, 3}));
        ASSERT_FALSE(log.lines.empty());
        EXPECT_NE(log.lines[0].find("1000"), std::string::npos);
    }
    // Records counted that the file does not hold are lost: a problem even where lags are only notes.
    WriteAll(path, raw.Bytes());
    std::vector<std::string> notes;
    EXPECT_EQ(xbase::VerifyTable(path, "", &notes).size(), 1u);
    EXPECT_TRUE(notes.empty());

    raw.countOverride = 2;  // a crash after the record, before the count
    WriteAll(path, raw.Bytes());
    LogCapture log;
    EXPECT_EQ(Numbers(false), (std::vector<long long>{1, 2}));  // the writer's index: only the count lags
    EXPECT_EQ(Numbers(), (std::vector<long long>{1, 2}));
    EXPECT_FALSE(log.lines.empty());
    // The interrupted append is what a killed writer leaves: a note, and a problem only for a strict check.
    EXPECT_FALSE(xbase::VerifyTable(path, "").empty());
    EXPECT_TRUE(xbase::VerifyTable(path, "", &notes).empty());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("the file holds 3"), std::string::npos) << notes[0];
}

TEST_F(DamageTest, WithoutAHandlerTheLogGoesToStandardError) {
    RawTable raw = Simple(3);
    raw.countOverride = 1000;
    WriteAll(path, raw.Bytes());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Numbers(false), (std::vector<long long>{1, 2, 3}));
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(text.rfind("table engine: ", 0), 0u) << text;
    EXPECT_NE(text.find("1000"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    // A handler takes the lines instead.
    WriteAll(path, raw.Bytes());
    LogCapture log;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Numbers(false), (std::vector<long long>{1, 2, 3}));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(log.lines.empty());
}

TEST_F(DamageTest, PartialLastRecordIsNotARecord) {
    std::string bytes = Simple(3).Bytes();
    bytes.resize(bytes.size() - 6);  // end mark and part of record 3 gone
    WriteAll(path, bytes);
    LogCapture log;
    EXPECT_THROW(Numbers(), xbase::FormatError);  // counted 3: a cut copy for readers
    EXPECT_EQ(Numbers(false), (std::vector<long long>{1, 2}));
}

TEST_F(DamageTest, InconsistentHeaderIsAFormatError) {
    const std::string good = Simple(2).Bytes();
    std::string b = good;
    b.replace(8, 2, Le16(24));
    ExpectFormatError(b, "header length");
    b = good;
    b.replace(8, 2, Le16(60000));
    ExpectFormatError(b, "shorter than its header");
    b = good;
    b.replace(10, 2, Le16(5));  // fields need 11 bytes
    ExpectFormatError(b, "record length");
    b = good;
    b.replace(10, 2, Le16(0));
    ExpectFormatError(b, "record length");
    b = good;
    b[32 + 2 * 32] = ' ';  // terminator gone
    ExpectFormatError(b, "0x0D");
    ExpectFormatError(good.substr(0, 20), "shorter than a table header");
    ExpectFormatError(good.substr(0, 50), "shorter than its header");
    ExpectFormatError("", "shorter");
}

TEST_F(DamageTest, FieldLengthsThatCannotBeRightAreFormatErrors) {
    for (auto [type, length] : std::vector<std::pair<char, int>>{{'D', 5}, {'L', 2}, {'M', 3}, {'I', 8}, {'C', 0}}) {
        SCOPED_TRACE(std::string(1, type));
        RawTable raw;
        raw.fields = {{"F", type, length}};
        ExpectFormatError(raw.Bytes(), "field F");
    }
}

TEST_F(DamageTest, DamagedMemosAreFormatErrorsWhileTheTableStaysReadable) {
    const std::string block = Be32(1) + Be32(3) + "abc";
    struct Case {
        std::string fpt, pointer, reason;
    };
    const std::vector<Case> cases = {
        {FptHeader(64), "500", "past the end"},
        {FptHeader(64) + block, "2", "memo header"},
        {FptHeader(64) + block, "8x", "not a number"},
        {FptHeader(0) + block, "8", "block size is 0"},
        {FptHeader(64) + Be32(1) + Be32(0xFFFFFFF0u) + "abc", "8", "more than the file holds"},
        {FptHeader(64) + Be32(7) + Be32(3) + "abc", "8", "unknown type"},
        {std::string("\0\0\0", 3), "8", "truncated"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        MemoTable(c.fpt, c.pointer);
        ExpectMemoError(c.reason);
    }
    std::filesystem::remove(dir.File("kaputt.fpt"));
    ExpectMemoError("missing");
}

TEST_F(DamageTest, WrongFreeBlockPointerDoesNotOverwriteMemos) {
    MemoTable(FptHeader(64, 8) + Be32(1) + Be32(3) + "alt" + std::string(64 - 11, '\0'));
    {
        Table t;
        OpenTable(t, path, false, true);
        t.AppendBlank();
        t.FieldByName("TEXT").SetAsString("neu");
        t.Post();
    }
    Table t;
    OpenTable(t, path);
    t.First();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "alt");
    t.Next();
    EXPECT_EQ(t.FieldByName("TEXT").AsString(), "neu");
}

TEST_F(DamageTest, DamagedTableCannotBeWrittenThrough) {
    MemoTable(FptHeader(0));
    Table t;
    OpenTable(t, path, false, true);
    t.AppendBlank();
    t.FieldByName("TEXT").SetAsString("neu");
    EXPECT_THROW(t.Post(), xbase::FormatError);
    t.Cancel();
    t.Close();
    EXPECT_EQ(ReadAll(path).size(), 32u + 32 + 1 + 11 + 1);  // nothing was appended
}

}  // namespace
