#pragma once
// The word list a dictionary is built from: UTF-8 text, one record a line, fields separated by tabs:
// W1, W2, WA and optionally WW1, WW2 (missing sound numbers are 0). Empty lines and lines starting with "#"
// are skipped; a byte-order mark at the start is allowed.

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "search/Woerterbuchbau.h"

namespace zanit_dict {

// A line that cannot be read; what() names the line number and the reason.
class QuellenFehler : public std::runtime_error {
public:
    // zeile 0: the file as a whole. `datei` (optional) goes in front of the message.
    QuellenFehler(long long zeile, const std::string& grund, const std::string& datei = {});
    long long Zeile() const { return zeile_; }
    const std::string& Grund() const { return grund_; }

private:
    long long zeile_;
    std::string grund_;
};

// Reads every record (texts converted to Windows-1252). Throws QuellenFehler at the first bad line.
std::vector<zanit::Woerterbucheintrag> LeseQuelle(std::istream& in);
std::vector<zanit::Woerterbucheintrag> LeseQuelldatei(const std::string& pfad);  // also throws when unreadable

}  // namespace zanit_dict
