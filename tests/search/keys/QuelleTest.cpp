#include "zanit-dict/Quelle.h"

#include <gtest/gtest.h>

#include <sstream>

#include "xbase/Codepage.h"

namespace zanit_dict {
namespace {

std::vector<zanit::Woerterbucheintrag> Read(const std::string& text) {
    std::istringstream in(text);
    return LeseQuelle(in);
}

long long ErrorLine(const std::string& text) {
    try {
        Read(text);
    } catch (const QuellenFehler& e) {
        return e.Zeile();
    }
    return -1;
}

TEST(LeseQuelle, ReadsRecordsAndSkipsCommentsAndBlankLines) {
    const auto records = Read("\xEF\xBB\xBF# Kopf\nHaus\thouse\t2\t1\t5\r\n\n# noch einer\nStra\xC3\x9F" "e\tstreet\t2\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].W1, "Haus");
    EXPECT_EQ(records[0].W2, "house");
    EXPECT_EQ(records[0].WA, 2);
    EXPECT_EQ(records[0].WW1, 1);
    EXPECT_EQ(records[0].WW2, 5);
    EXPECT_EQ(records[1].W1, "Stra\xDF" "e");  // Windows-1252
    EXPECT_EQ(records[1].WW1, 0);
    EXPECT_EQ(records[1].WW2, 0);
}

TEST(LeseQuelle, NamesTheLineOfABadRecord) {
    EXPECT_EQ(ErrorLine("a\tb\t1\nnur eins\n"), 2);
    EXPECT_EQ(ErrorLine("a\tb\t1\t2\t3\t4\n"), 1);
    EXPECT_EQ(ErrorLine("# x\na\tb\t12\n"), 2);
    EXPECT_EQ(ErrorLine("a\tb\t-1\n"), 1);
    EXPECT_EQ(ErrorLine("a\tb\tVerb\n"), 1);
    EXPECT_EQ(ErrorLine("a\tb\t1 \n"), 1);
    EXPECT_EQ(ErrorLine("a\tb\t1\t2147483648\n"), 1);
    EXPECT_EQ(ErrorLine("a\tb\t1\t\t3\n"), 1);
    EXPECT_EQ(ErrorLine("\tb\t1\n"), 1);
    EXPECT_EQ(ErrorLine("a\t  \t1\n"), 1);
    // A character Windows-1252 cannot hold would otherwise be stored as "?".
    EXPECT_EQ(ErrorLine("a\tb\t1\n\xE6\xBC\xA2\tb\t1\n"), 2);
    EXPECT_EQ(ErrorLine("a\tb\t1\t+7\t-2147483648\n"), -1);
}

TEST(LeseQuelldatei, MissingFileIsAnError) {
    EXPECT_THROW(LeseQuelldatei("/nonexistent/zanit/none.tsv"), QuellenFehler);
}

}  // namespace
}  // namespace zanit_dict
