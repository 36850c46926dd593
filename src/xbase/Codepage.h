#pragma once
// Windows-1252, the code page of every text the tables hold, and UTF-8 at the edges (terminals, TSV files,
// the window's Unicode strings).
#include <cstddef>
#include <string>
#include <string_view>

namespace xbase {

// UTF-8 to Windows-1252. A character the code page cannot hold (or a malformed byte sequence) becomes "?"
// and is counted in *unmappable when given.
std::string Utf8ToCp1252(std::string_view utf8, std::size_t* unmappable = nullptr);
// Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to U+0081 etc. unchanged.
std::string Cp1252ToUtf8(std::string_view cp1252);
// The code point of one Windows-1252 byte, and back (-1 when the code page cannot hold it).
char32_t Cp1252ToUnicode(unsigned char byte);
int UnicodeToCp1252(char32_t codePoint);
// Appends the UTF-8 form of one code point; surrogate halves and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace xbase
