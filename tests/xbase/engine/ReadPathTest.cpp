// The read path of walks: seeks, forward and backward steps, record-number moves, index keys and field
// reads, on plain and encrypted tables large enough that records and index entries are decrypted in runs.
#include "EngineTestSupport.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <tuple>

using namespace enginetest;
using xbase::Table;

namespace {

const std::string kPassword = "qT#4m2-w";
constexpr int kRecords = 3000;

struct Satz {
    std::string w1, wi1, note;
    long long nr = 0;
    std::uint32_t recNo = 0;
};

std::vector<Satz> MakeRecords() {
    std::mt19937 rng(4711);
    const char* syllables[] = {"HAU", "S", "BA", "UM", "KRO", "NE", "TUE", "RE", "A", "ZZ"};
    std::vector<Satz> out;
    for (int i = 0; i < kRecords; ++i) {
        Satz s;
        // Few distinct keys, so that runs of equal keys cross the decrypted runs; some keys fill the field.
        const int parts = 1 + static_cast<int>(rng() % 7);
        for (int p = 0; p < parts; ++p) s.wi1 += syllables[(rng() % 10 + static_cast<unsigned>(i % 3)) % 10];
        s.wi1 = s.wi1.substr(0, 20);
        // Runs of blanks inside a text stay; only the padding goes.
        s.w1 = s.wi1 + std::string(static_cast<std::size_t>(i % 19), ' ') + "-" + std::to_string(i) +
               std::string(rng() % 17, 'x');  // at most 60 characters in all
        s.nr = static_cast<long long>(rng() % 500) - 100;
        if (i % 7 == 0) s.note = "memo " + std::to_string(i);
        s.recNo = static_cast<std::uint32_t>(i + 1);
        out.push_back(s);
    }
    return out;
}

// Plain or encrypted; records and index runs kept as they are read (a budget that holds them all, one so
// small that it is dropped again and again) or not kept.
struct Variante {
    bool encrypted;
    std::size_t keep;
    const char* name;
};

void PrintTo(const Variante& v, std::ostream* os) { *os << v.name; }

class ReadPathTest : public ::testing::TestWithParam<Variante> {
protected:
    TempFolder dir;
    std::string path = dir.File("walk.dbf");
    std::vector<Satz> records = MakeRecords();

    std::string Password() const { return GetParam().encrypted ? kPassword : std::string(); }
    void OpenReader(Table& t) {
        t.SetRecordCache(GetParam().keep);
        OpenTable(t, path, true, false, Password());
    }

    void SetUp() override {
        Table::Create(path,
                      {{"W1", 'C', 60, 0, false}, {"WI1", 'C', 20, 0, false}, {"NR", 'N', 11, 0, false},
                       {"NOTE", 'M', 10, 0, false}},
                      {{"IWI1", "WI1"}, {"INR", "NR"}}, Password());
        Table t;
        OpenTable(t, path, false, true, Password());
        t.SetSyncOnPost(false);
        for (const Satz& s : records) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString(s.w1);
            t.FieldByName("WI1").SetAsString(s.wi1);
            t.FieldByName("NR").SetAsInteger(s.nr);
            if (!s.note.empty()) t.FieldByName("NOTE").SetAsString(s.note);
            t.Post();
        }
    }

    // The records in the order of IWI1: key bytes, then record number.
    std::vector<Satz> ByKey() const {
        std::vector<Satz> sorted = records;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Satz& a, const Satz& b) {
            std::string ka = a.wi1, kb = b.wi1;
            ka.resize(20, ' ');
            kb.resize(20, ' ');
            return ka < kb;
        });
        return sorted;
    }

    // The current record is `s`, read every way a walk reads it: fields alone first, then (after the memo
    // pointer) from the whole record.
    static void ExpectCurrent(Table& t, const Satz& s) {
        ASSERT_FALSE(t.Eof());
        EXPECT_EQ(t.RecNo(), s.recNo);
        EXPECT_EQ(t.FieldByName("NR").AsInteger(), s.nr);
        EXPECT_EQ(t.FieldByName("W1").AsString(), s.w1);
        std::string buffer = "left over from before";
        t.FieldByName("W1").ReadString(buffer);
        EXPECT_EQ(buffer, s.w1);
        t.FieldByName("NOTE").ReadString(buffer);
        EXPECT_EQ(buffer, s.note);
        t.FieldByName("NR").ReadString(buffer);
        EXPECT_EQ(buffer, std::to_string(s.nr));
        EXPECT_EQ(t.FieldByName("NR").AsInteger(), s.nr);
        EXPECT_EQ(t.FieldByName("WI1").AsString(), s.wi1);
        // Several fields at once from a kept record, in any order: what each field reads alone.
        const xbase::Field felder[] = {t.FieldByName("WI1"), t.FieldByName("NR"), t.FieldByName("W1")};
        std::string_view texte[3];
        const bool behalten = GetParam().keep > 0;  // else the fields are to be read one by one
        ASSERT_EQ(t.ReadKeptViews(felder, texte), behalten);
        if (behalten) {
            EXPECT_EQ(texte[0], s.wi1);
            EXPECT_EQ(texte[1], std::to_string(s.nr));
            EXPECT_EQ(texte[2], s.w1);
        }
        const xbase::Field mitMemo[] = {t.FieldByName("W1"), t.FieldByName("NOTE")};
        EXPECT_FALSE(t.ReadKeptViews(mitMemo, texte));  // a memo is never kept
        EXPECT_FALSE(t.ReadKeptViews(felder, std::span(texte, 2)));
    }
};

TEST_P(ReadPathTest, EverySeekAndWalkReadsTheRecordsInKeyOrder) {
    const std::vector<Satz> sorted = ByKey();
    Table t;
    OpenReader(t);
    t.SetOrder(t.TagArea("IWI1"));
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        const Satz& probe = records[rng() % records.size()];
        std::string prefix = probe.wi1.substr(0, 1 + rng() % probe.wi1.size());
        if (round % 10 == 0) prefix += "Q";  // a miss
        SCOPED_TRACE("prefix " + prefix);
        const auto first = std::find_if(sorted.begin(), sorted.end(),
                                        [&](const Satz& s) { return s.wi1.compare(0, prefix.size(), prefix) == 0; });
        const bool found = t.Seek(prefix);
        ASSERT_EQ(found, first != sorted.end());
        if (!found) {
            EXPECT_TRUE(t.Eof());
            EXPECT_EQ(t.OrderKey(), sorted.back().wi1);  // standing on the last record
            continue;
        }
        const int steps = static_cast<int>(rng() % 150);
        const bool mitSchluessel = round % 2 == 1;  // steps that give the key, or steps and keys apart
        auto it = first;
        std::string_view schluessel = t.OrderKey();
        for (int i = 0; i <= steps && it != sorted.end(); ++i, ++it) {
            EXPECT_EQ(mitSchluessel ? schluessel : t.OrderKey(), it->wi1);
            ExpectCurrent(t, *it);
            if (::testing::Test::HasFailure()) return;
            if (mitSchluessel) schluessel = t.NextKey();
            else t.Next();
        }
        if (it == sorted.end()) {
            EXPECT_TRUE(t.Eof());
            if (mitSchluessel) {
                EXPECT_EQ(schluessel, "");
            }
        }
    }
}

TEST_P(ReadPathTest, BackwardStepsRecordMovesAndNumericKeys) {
    const std::vector<Satz> sorted = ByKey();
    Table t;
    OpenReader(t);
    t.SetOrder(t.TagArea("IWI1"));
    t.First();
    t.Skip(500);
    t.Skip(-130);  // back across decrypted runs
    ExpectCurrent(t, sorted[370]);
    EXPECT_EQ(t.OrderKey(), sorted[370].wi1);

    std::mt19937 rng(7);
    for (int i = 0; i < 100; ++i) {
        const Satz& s = records[rng() % records.size()];
        t.Go(s.recNo);  // positioned by record number: the key comes from the record
        EXPECT_EQ(t.OrderKey(), s.wi1);
        ExpectCurrent(t, s);
        t.Next();
        EXPECT_EQ(t.OrderKey(), t.FieldByName("WI1").AsString());
    }

    // Physical order, front to back and from the end.
    t.SetOrder(0);
    EXPECT_TRUE(t.OrderKey().empty());
    std::uint32_t n = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        ASSERT_EQ(t.FieldByName("W1").AsString(), records[n].w1);
        ++n;
    }
    EXPECT_EQ(n, records.size());
    t.Go(kRecords);
    t.Skip(-2);
    EXPECT_EQ(t.FieldByName("W1").AsString(), records[kRecords - 3].w1);

    // A numeric tag: its key is the 8 ordered bytes, equal for equal numbers.
    t.SetOrder(t.TagArea("INR"));
    ASSERT_TRUE(t.Seek("-100"));
    const std::string lowest(t.OrderKey());
    EXPECT_EQ(lowest.size(), 8u);
    EXPECT_EQ(t.FieldByName("NR").AsInteger(), -100);
    t.Skip(1);
    EXPECT_LE(lowest, std::string(t.OrderKey()));
}

TEST_P(ReadPathTest, ReaderSeesWhatAnotherWriterPostedBesideIt) {
    Table reader;
    OpenReader(reader);
    reader.SetOrder(0);
    reader.First();
    reader.Next();  // a walk in sequence: the following records are prepared ahead
    ASSERT_EQ(reader.FieldByName("W1").AsString(), records[1].w1);
    {
        Table writer;
        OpenTable(writer, path, false, false, Password());
        writer.Go(3);
        writer.Edit();
        writer.FieldByName("W1").SetAsString("GEAENDERT");
        writer.Post();
    }
    reader.Next();
    EXPECT_EQ(reader.FieldByName("W1").AsString(), "GEAENDERT");
    reader.Next();
    EXPECT_EQ(reader.FieldByName("W1").AsString(), records[3].w1);
}

TEST_P(ReadPathTest, TableReadAfterZapAndChangesInTheSameOpen) {
    Table t;
    t.SetRecordCache(GetParam().keep);  // a writer keeps nothing: what it changes is read back at once
    OpenTable(t, path, false, true, Password());
    t.SetOrder(t.TagArea("IWI1"));
    for (t.First(); t.RecNo() < 100 && !t.Eof(); t.Next()) t.FieldByName("W1").AsString();
    t.Zap();
    for (const char* w : {"NEU", "ALT", "MITTE"}) {
        t.AppendBlank();
        t.FieldByName("W1").SetAsString(std::string(w) + "-wort");
        t.FieldByName("WI1").SetAsString(w);
        EXPECT_EQ(t.OrderKey(), w);  // the key of the record being made
        t.Post();
    }
    std::vector<std::string> walked;
    for (t.First(); !t.Eof(); t.Next()) walked.push_back(std::string(t.OrderKey()) + "=" + t.FieldByName("W1").AsString());
    EXPECT_EQ(walked, (std::vector<std::string>{"ALT=ALT-wort", "MITTE=MITTE-wort", "NEU=NEU-wort"}));

    ASSERT_TRUE(t.Seek("MITTE"));
    t.Edit();
    t.FieldByName("WI1").SetAsString("ZULETZT");
    EXPECT_EQ(t.OrderKey(), "ZULETZT");  // not yet posted: the edited key
    t.Post();
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("W1").AsString(), "MITTE-wort");
    t.Close();
    EXPECT_THROW(t.OrderKey(), xbase::NotOpenError);
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, ReadPathTest,
                         ::testing::Values(Variante{false, 0, "Plain"}, Variante{true, 0, "Encrypted"},
                                           Variante{false, 1 << 20, "PlainKept"},
                                           Variante{true, 1 << 20, "EncryptedKept"},
                                           Variante{true, 2000, "EncryptedKeptAndDropped"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Deletion marks written by another program: a kept record is read as it was when first read, until the
// budget is set again; records never kept show the mark at once.
TEST(ReadPathKeptRecords, KeptRecordsKeepTheirStateUntilTheBudgetIsSetAgain) {
    TempFolder dir;
    const std::string path = dir.File("marken.dbf");
    Table::Create(path, {{"W1", 'C', 10, 0, false}, {"NR", 'N', 5, 0, false}}, {});
    {
        Table t;
        OpenTable(t, path, false, true);
        for (int i = 1; i <= 50; ++i) {
            t.AppendBlank();
            t.FieldByName("W1").SetAsString("wort" + std::to_string(i));
            t.FieldByName("NR").SetAsInteger(i);
            t.Post();
        }
    }
    const std::uint32_t headerLength = 32 + 2 * 32 + 1, recordLength = 1 + 10 + 5;
    auto markDeleted = [&](std::uint32_t r) {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(headerLength + (r - 1) * recordLength);
        f.put('*');
    };
    auto walk = [](Table& t) {
        std::vector<long long> numbers;
        for (t.First(); !t.Eof(); t.Next()) {
            numbers.push_back(t.FieldByName("NR").AsInteger());
            EXPECT_EQ(t.FieldByName("W1").AsString(), "wort" + std::to_string(numbers.back()));
        }
        return numbers;
    };
    auto without = [](std::initializer_list<long long> gone) {
        std::vector<long long> v;
        for (long long i = 1; i <= 50; ++i)
            if (std::find(gone.begin(), gone.end(), i) == gone.end()) v.push_back(i);
        return v;
    };
    markDeleted(10);
    Table kept, plain;
    kept.SetRecordCache(1 << 16);
    OpenTable(kept, path);
    OpenTable(plain, path);
    EXPECT_EQ(walk(kept), without({10}));
    EXPECT_EQ(walk(kept), without({10}));  // from the kept records
    markDeleted(20);
    EXPECT_EQ(walk(kept), without({10}));
    EXPECT_EQ(walk(plain), without({10, 20}));
    kept.SetRecordCache(1 << 16);
    EXPECT_EQ(walk(kept), without({10, 20}));
    kept.Go(20);
    EXPECT_TRUE(kept.Deleted());
}

}  // namespace

// Records longer than the longest key stream made at once (a table may declare records of up to 64 KB):
// every byte is still decrypted from a stream that covers it, in sequence, backwards and while editing.
TEST(ReadPathLongRecords, EncryptedRecordsLongerThanOneKeyStream) {
    TempFolder dir;
    const std::string path = dir.File("lang.dbf");
    std::vector<xbase::FieldDef> fields;
    for (int i = 0; i < 24; ++i) fields.push_back({"T" + std::to_string(i), 'C', 254, 0, false});  // 6,097 bytes
    Table::Create(path, fields, {}, kPassword);
    {
        Table t;
        OpenTable(t, path, false, true, kPassword);
        for (int r = 1; r <= 5; ++r) {
            t.AppendBlank();
            for (int i = 0; i < 24; ++i)
                t.FieldByName("T" + std::to_string(i)).SetAsString(std::string(254, static_cast<char>('a' + (r + i) % 26)));
            t.Post();
        }
    }
    Table t;
    OpenTable(t, path, false, false, kPassword);
    auto expect = [&](int r) {
        for (int i : {0, 11, 23})
            EXPECT_EQ(t.FieldByName("T" + std::to_string(i)).AsString(),
                      std::string(254, static_cast<char>('a' + (r + i) % 26)))
                << "record " << r << " field " << i;
    };
    int r = 0;
    for (t.First(); !t.Eof(); t.Next()) expect(++r);
    EXPECT_EQ(r, 5);
    t.Go(5);
    expect(5);
    t.Skip(-3);
    expect(2);
    t.Edit();
    t.FieldByName("T23").SetAsString("geaendert");
    t.Post();
    EXPECT_EQ(t.FieldByName("T23").AsString(), "geaendert");
    EXPECT_EQ(t.FieldByName("T11").AsString(), std::string(254, static_cast<char>('a' + (2 + 11) % 26)));
    t.Go(3);
    expect(3);
}
