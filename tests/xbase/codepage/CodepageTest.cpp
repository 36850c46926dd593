#include "xbase/Codepage.h"

#include <gtest/gtest.h>

namespace {

std::string Utf8(char32_t cp) {
    std::string out;
    xbase::AppendUtf8(out, cp);
    return out;
}

TEST(AppendUtf8, EncodesEachLengthAtItsBounds) {
    EXPECT_EQ(Utf8(0x00), std::string(1, '\0'));
    EXPECT_EQ(Utf8(0x7F), "\x7F");
    EXPECT_EQ(Utf8(0x80), "\xC2\x80");
    EXPECT_EQ(Utf8(0xE4), "\xC3\xA4");
    EXPECT_EQ(Utf8(0x7FF), "\xDF\xBF");
    EXPECT_EQ(Utf8(0x800), "\xE0\xA0\x80");
    EXPECT_EQ(Utf8(0x20AC), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8(0xFFFF), "\xEF\xBF\xBF");
    EXPECT_EQ(Utf8(0x10000), "\xF0\x90\x80\x80");
    EXPECT_EQ(Utf8(0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8(0x10FFFF), "\xF4\x8F\xBF\xBF");
}

TEST(AppendUtf8, CodePointsWithoutUtf8FormBecomeReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    for (char32_t cp : {char32_t{0xD800}, char32_t{0xDBFF}, char32_t{0xDC00}, char32_t{0xDFFF}, char32_t{0x110000},
                        char32_t{0xFFFFFFFF}})
        EXPECT_EQ(Utf8(cp), replacement) << std::hex << static_cast<unsigned long>(cp);
    std::string out = "a";
    xbase::AppendUtf8(out, 0xD800);
    xbase::AppendUtf8(out, U'b');
    EXPECT_EQ(out, "a" + replacement + "b");
}

TEST(Codepage, EveryByteSurvivesTheWayThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::size_t unmappable = 0;
    EXPECT_EQ(xbase::Utf8ToCp1252(xbase::Cp1252ToUtf8(all), &unmappable), all);
    EXPECT_EQ(unmappable, 0u);
    EXPECT_EQ(xbase::Cp1252ToUtf8("\x80\xE4"), "\xE2\x82\xAC\xC3\xA4");
}

TEST(Codepage, AsciiRunsBetweenOtherBytesStayInPlace) {
    EXPECT_EQ(xbase::Cp1252ToUtf8(std::string_view("H\xE4user\x80 und \x9F\xFF, ab\0c", 20)),
              std::string("H\xC3\xA4user\xE2\x82\xAC und \xC5\xB8\xC3\xBF, ab\0c", 25));
    EXPECT_EQ(xbase::Cp1252ToUtf8("\xE4\xE4"), "\xC3\xA4\xC3\xA4");
    EXPECT_EQ(xbase::Cp1252ToUtf8("nur ASCII"), "nur ASCII");
    EXPECT_EQ(xbase::Cp1252ToUtf8(""), "");
}

}  // namespace

TEST(Utf8ToCp1252, OverlongFormsAndSurrogatesAreNotCharacters) {
    std::size_t bad = 0;
    // an overlong line break must not reach a single-line field as one
    EXPECT_EQ(xbase::Utf8ToCp1252("a\xC0\x8A" "b", &bad), "a??b");
    EXPECT_EQ(bad, 2u);
    EXPECT_EQ(xbase::Utf8ToCp1252("\xE0\x80\xBB", &bad), "???");  // overlong ";"
    EXPECT_EQ(xbase::Utf8ToCp1252("\xED\xA0\x80", &bad), "???");  // a lone surrogate half
    EXPECT_EQ(xbase::Utf8ToCp1252("\xF4\x90\x80\x80", &bad), "????");  // past U+10FFFF
    EXPECT_EQ(bad, 4u);
    EXPECT_EQ(xbase::Utf8ToCp1252("\xC3\xA4\xE2\x82\xAC", &bad), "\xE4\x80");  // ä € stay
    EXPECT_EQ(bad, 0u);
}
