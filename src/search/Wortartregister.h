#pragma once
// The records of one part of speech in the key order of a dictionary tag, for the filtered walk: a filter
// on a rare part of speech would otherwise read nearly every record under a short key (and under its
// shortened key after that) at every search. The register is kept in parts, one per first key character,
// each built at the first filtered walk that reaches it by reading the part of speech of the records under
// that character once (what a walk reading forward reads anyway); the codes read serve every later part and
// code. Kept until the dictionary table changes.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace xbase {
class Table;
}

namespace zanit {

class TWortartregister {
public:
    // The keys (as the tag holds them) and record numbers of the code's records under one first character,
    // in tag order.
    class Liste {
    public:
        std::size_t Anzahl() const { return saetze_.size(); }
        std::string_view Schluessel(std::size_t i) const {
            const std::uint32_t von = i == 0 ? 0 : enden_[i - 1];
            return std::string_view(schluessel_).substr(von, enden_[i] - von);
        }
        std::uint32_t Satz(std::size_t i) const { return saetze_[i]; }
        // The first entry whose key is not below `key` (Anzahl() when none).
        std::size_t Erster(std::string_view key) const;

    private:
        friend class TWortartregister;
        std::string schluessel_;
        std::vector<std::uint32_t> enden_, saetze_;
    };

    // Forgets everything (another table, or the same one opened again).
    void Leeren();
    // The records of `code` whose key in tag number `tag` of `tabelle` begins with `erstes`; leaves the
    // table's order and position anywhere. Table errors pass through and keep nothing half built.
    const Liste& Fuer(xbase::Table& tabelle, int tag, int code, char erstes);

private:
    std::vector<std::uint8_t> wortarten_;  // by record number: code + 1 (codes above 254 as 254), 0 unknown
    std::map<std::tuple<int, int, char>, Liste> listen_;
};

}  // namespace zanit
