#pragma once
// The description file of a sound medium ("zanit.ini" or "LM.ini"): sections in brackets and "name=value"
// lines, names without regard to case (as Windows compares them), the first occurrence of a name winning. The reader is strict: a file
// larger than 64 KiB is not read, and a line that is neither a section, a value, a comment nor empty is
// ignored. Texts stay the bytes of the file (Windows-1252).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zanit {

class TIniDatei {
public:
    explicit TIniDatei(std::string_view inhalt);
    // The file at `pfad` (stored spelling); nothing when it cannot be read or is too large.
    static std::optional<TIniDatei> Lies(const std::string& pfad);

    // The trimmed value, or `vorgabe` when the section or the name is missing.
    std::string Text(std::string_view abschnitt, std::string_view name, std::string_view vorgabe = {}) const;
    // The value's leading decimal number (optional sign), or `vorgabe` when it has none or it does not fit.
    int Zahl(std::string_view abschnitt, std::string_view name, int vorgabe = 0) const;

private:
    struct Wert {
        std::string abschnitt, name, wert;
    };
    std::vector<Wert> werte_;
};

inline constexpr std::size_t kIniHoechstgroesse = 64 * 1024;

}  // namespace zanit
