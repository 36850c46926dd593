#include "ui/widgets/Unicode.h"

#include <QList>

#include "xbase/Codepage.h"

namespace zanit {

QString ZuUnicode(std::string_view cp1252) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1252.size()));
    for (unsigned char c : cp1252) {
        const char32_t cp = xbase::Cp1252ToUnicode(c);
        out.append(QChar(static_cast<char16_t>(cp)));  // every Windows-1252 code point lies in the BMP
    }
    return out;
}

std::string ZuCp1252(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    // toUcs4 joins surrogate pairs, so a character outside the BMP becomes one "?", not two.
    for (const uint cp : text.toUcs4()) {
        const int b = xbase::UnicodeToCp1252(static_cast<char32_t>(cp));
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

}  // namespace zanit
