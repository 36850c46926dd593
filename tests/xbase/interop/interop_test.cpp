// Tables written by the table tool read by the Python dBASE libraries, and tables those libraries write read,
// indexed and searched by our engine: every field and every memo byte must come out as it went in.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "child_process.h"
#include "listing.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"

namespace {

using interop::Hex;
using interop::Listing;

const std::string kPython = "/usr/bin/python3";

Listing PeerRead(const std::string& reader, const std::string& table) {
    const auto r = crashtest::Run({kPython, PEER_SCRIPT, reader, table});
    if (r.exitCode != 0) ADD_FAILURE() << reader << " failed on " << table << ":\n" << r.err;
    return interop::ParseListing(r.out);
}

class InteropTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = crashtest::MakeTempDir(); }
    void TearDown() override { crashtest::RemoveTree(dir_); }
    std::string dir_;
};

// One record: the TSV line given to the tool, the bytes every reader must see, and the line dump prints.
struct Row {
    std::string tsv;
    std::vector<std::string> stored;
    std::string dumped;
};

std::string Cp(const std::string& utf8) { return xbase::Utf8ToCp1252(utf8); }

std::vector<Row> SampleRows(const std::string& dir) {
    std::string everyByte = "RIFF";
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    everyByte += std::string("\x1a\x1a\x00\x1a", 4);
    interop::WriteFile(dir + "/wave1.bin", everyByte);

    std::vector<Row> rows;
    rows.push_back({"Häuser (Pl.)\thouses\tHAEUSER\t2\t1234\t12.5\ty\t20261208\tZeile 1\\nZeile\\t2 \\\\ € ß\t@wave1.bin",
                    {Cp("Häuser (Pl.)"), "houses", "HAEUSER", "2", "1234", "12.50", "T", "20261208",
                     Cp("Zeile 1\nZeile\t2 \\ € ß"), everyByte},
                    "Häuser (Pl.)\thouses\tHAEUSER\t2\t1234\t12.50\tT\t20261208\tZeile 1\\nZeile\\t2 \\\\ € ß\t" +
                        Hex(everyByte)});
    rows.push_back({"Œuvre\tœuvre\tOEUVRE\t-3\t\t-0.5\tF\t\t\t",
                    {Cp("Œuvre"), Cp("œuvre"), "OEUVRE", "-3", "", "-0.50", "F", "", "", ""},
                    "Œuvre\tœuvre\tOEUVRE\t-3\t\t-0.50\tF\t\t\t"});
    rows.push_back({"@home\tx\t\t+7\t0\t\t?\t20000229\t\\@literal\t52494646001a00",
                    {"@home", "x", "", "7", "0", "", "", "20000229", "@literal", std::string("RIFF\x00\x1a\x00", 7)},
                    "@home\tx\t\t7\t0\t\t\t20000229\t\\@literal\t52494646001a00"});
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        std::string note;
        for (int k = 0; k < (i * 13) % 500; ++k) note += static_cast<char>('a' + k % 26);
        std::string wave;
        if (i % 5) wave = "RIFF" + std::string(1, static_cast<char>(i)) + std::string("\x00\x1a", 2) + std::string(i, 'w');
        const std::string line = "Wort " + n + " ä\tword " + n + "\tWORT" + n + "\t" + std::to_string(i % 12) + "\t" +
                                 std::to_string(i * 7) + "\t\tT\t\t" + note + "\t" + Hex(wave);
        rows.push_back({line,
                        {Cp("Wort " + n + " ä"), "word " + n, "WORT" + n, std::to_string(i % 12), std::to_string(i * 7),
                         "", "T", "", note, wave},
                        line});
    }
    return rows;
}

const char* const kSchema = "W1:C:60,W2:C:60,WI1:C:20,WA:N:11,WW1:N:11,PREIS:N:8:2,OK:L,DATUM:D,NOTE:M,WAVE:M:B";
const char* const kHeader = "W1\tW2\tWI1\tWA\tWW1\tPREIS\tOK\tDATUM\tNOTE\tWAVE\n";

TEST_F(InteropTest, PeersReadEveryFieldAndMemoByteTheToolWrote) {
    const auto rows = SampleRows(dir_);
    std::string tsv = kHeader;
    for (const auto& r : rows) tsv += r.tsv + "\n";
    interop::WriteFile(dir_ + "/in.tsv", tsv);
    const std::string table = dir_ + "/SAMPLE.DBF";
    const auto create = crashtest::Run({crashtest::BinaryPath("zanit-table"), "create", table, "--schema", kSchema,
                                        "--tag", "IWI1=WI1", dir_ + "/in.tsv"});
    ASSERT_EQ(create.exitCode, 0) << create.err;
    EXPECT_EQ(create.err, "");  // nothing was outside the code page

    for (const std::string reader : {"read-dbfread", "read-dbf"}) {
        SCOPED_TRACE(reader);
        const Listing got = PeerRead(reader, table);
        EXPECT_EQ(got.names, (std::vector<std::string>{"W1", "W2", "WI1", "WA", "WW1", "PREIS", "OK", "DATUM", "NOTE",
                                                       "WAVE"}));
        ASSERT_EQ(got.rows.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t f = 0; f < got.names.size(); ++f)
                ASSERT_EQ(Hex(got.rows[i][f]), Hex(rows[i].stored[f])) << "record " << i + 1 << " " << got.names[f];
    }

    const auto dump = crashtest::Run({crashtest::BinaryPath("zanit-table"), "dump", table});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    std::string expected = kHeader;
    for (const auto& r : rows) expected += r.dumped + "\n";
    EXPECT_EQ(dump.out, expected);
}

// The engine opens a table a peer wrote, builds the registered tags for it and finds keys through them.
void CheckEngineReads(const std::string& table, const Listing& written) {
    xbase::RegisterTagDefinition("IWI1", "WI1");
    xbase::RegisterTagDefinition("INR", "NR");
    xbase::Table t;
    t.SetFileName(table);
    t.SetReadOnly(true);
    t.Open();
    ASSERT_EQ(t.RecCount(), written.rows.size());
    std::size_t n = 0;
    for (t.First(); !t.Eof(); t.Next(), ++n) {
        ASSERT_LT(n, written.rows.size());
        for (std::size_t f = 0; f < written.names.size(); ++f)
            ASSERT_EQ(Hex(t.FieldByName(written.names[f]).AsString()), Hex(written.rows[n][f]))
                << "record " << n + 1 << " " << written.names[f];
    }
    EXPECT_EQ(n, written.rows.size());

    // Character tag: the walk is sorted by unsigned bytes, and a prefix seek lands on the first match.
    std::vector<std::string> keys;
    for (const auto& row : written.rows) keys.push_back(row[1]);
    auto unsignedLess = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    };
    std::sort(keys.begin(), keys.end(), unsignedLess);
    const int order = t.TagArea("IWI1");
    ASSERT_GT(order, 0);
    t.SetOrder(order);
    EXPECT_EQ(t.IndexOrd(), order);
    std::vector<std::string> walked;
    for (t.First(); !t.Eof(); t.Next()) walked.push_back(t.FieldByName("WI1").AsString());
    EXPECT_EQ(walked, keys);
    for (const std::string& prefix : std::vector<std::string>{"H", "HAUS1", Cp("BÄR"), Cp("ÖL2"), "Z", Cp("ŒUVRE4"), Cp("TÜR9")}) {
        const auto first = std::find_if(keys.begin(), keys.end(), [&](const std::string& k) { return k.rfind(prefix, 0) == 0; });
        if (first == keys.end()) {
            EXPECT_FALSE(t.Seek(prefix)) << prefix;
            EXPECT_TRUE(t.Eof());
            continue;
        }
        ASSERT_TRUE(t.Seek(prefix)) << Hex(prefix);
        EXPECT_EQ(t.FieldByName("WI1").AsString(), *first);
    }
    EXPECT_FALSE(t.Seek("QQQ"));
    EXPECT_TRUE(t.Eof());

    // Numeric tag: the decimal text of the number.
    t.SetOrder(t.TagArea("INR"));
    for (std::size_t i = 0; i < written.rows.size(); i += 37) {
        ASSERT_TRUE(t.Seek(written.rows[i][3])) << written.rows[i][3];
        EXPECT_EQ(t.FieldByName("W1").AsString(), written.rows[i][0]);
    }
    EXPECT_FALSE(t.Seek("100000"));
}

TEST_F(InteropTest, EngineReadsIndexesAndSearchesFoxProTablesWithMemos) {
    const std::string table = dir_ + "/FOX.DBF";
    const auto r = crashtest::Run({kPython, PEER_SCRIPT, "write", table, "600", "fp"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    CheckEngineReads(table, interop::ParseListing(r.out));
    // The tool gives it an index file of its own and then dumps it in key order.
    const auto reindex =
        crashtest::Run({crashtest::BinaryPath("zanit-table"), "reindex", table, "--tag", "INR=NR", "--tag", "IWI1=WI1"});
    ASSERT_EQ(reindex.exitCode, 0) << reindex.err;
    EXPECT_EQ(reindex.out, table + ": 600 records, 2 tag(s) built\n");
    const auto dump = crashtest::Run({crashtest::BinaryPath("zanit-table"), "dump", table, "--order", "INR"});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("\nBär 1\tBÄR1\t-7\t919\tNotiz 1\\r\\nzweite Zeile € ß\t5249464601001a0d0a001a1a\n"),
              std::string::npos);
}

TEST_F(InteropTest, EngineReadsDBaseThreeTablesWithTextMemos) {
    const std::string table = dir_ + "/DB3.DBF";
    const auto r = crashtest::Run({kPython, PEER_SCRIPT, "write", table, "250", "db3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    CheckEngineReads(table, interop::ParseListing(r.out));
}

}  // namespace
