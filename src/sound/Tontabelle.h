#pragma once
// Sound tables: one record per recording, its sound number in NR (order INR) and the RIFF WAVE image in the
// binary memo field WAVE.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace xbase {
class Table;
}

namespace zanit {

struct Aufnahme {
    std::int32_t nummer = 0;
    std::string wave;  // RIFF WAVE image
};

// Writes a new sound table at `pfad` (replacing one that is there). Throws xbase::TableError.
void SchreibeTontabelle(const std::string& pfad, const std::vector<Aufnahme>& aufnahmen);

// Opens a sound table read-only and shared with the order INR. Throws xbase::TableError, also when the table
// has no INR order; the table is closed then.
void OeffneTontabelle(xbase::Table& tabelle, const std::string& pfad);

}  // namespace zanit
