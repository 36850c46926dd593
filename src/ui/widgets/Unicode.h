#pragma once
// The one place where the window's Unicode text meets the core's Windows-1252 bytes.
#include <QString>
#include <string>
#include <string_view>

namespace zanit {

// Windows-1252 bytes to Unicode.
QString ZuUnicode(std::string_view cp1252);
// Unicode to Windows-1252; a character the code page cannot hold becomes "?".
std::string ZuCp1252(const QString& text);

}  // namespace zanit
