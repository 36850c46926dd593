#pragma once
// One field value between its TSV form (UTF-8, escaped) and the form the table stores (Windows-1252 text,
// normalised numbers, raw memo bytes).
//
// C, text M: UTF-8 text; characters outside Windows-1252 become '?' and are counted.
// N: [+-]digits[.digits], at most the field's decimals, fitting its length. L: T/F/Y/N (any case), '?' or
// empty. D: YYYYMMDD. Binary M: hexadecimal digits. A memo value "@path" loads the memo from that file
// (path relative to the TSV file's folder; a text memo file is UTF-8, a binary one is taken as it is);
// "\@" at the start stands for a literal '@'.
#include <cstddef>
#include <string>
#include <string_view>

#include "xbase/Table.h"

namespace zanit_table {

struct ValueContext {
    std::string baseDir;          // folder that "@path" is relative to; empty = current folder
    std::size_t unmappable = 0;   // characters replaced by '?' so far
};

// Throws std::invalid_argument with the reason.
std::string ToStoredValue(const xbase::FieldDef& field, std::string_view tsvValue, ValueContext& context);
void AppendTsvValue(std::string& out, const xbase::FieldDef& field, std::string_view stored);

// Normalised decimal text of a number for an N field; throws std::invalid_argument.
std::string NormaliseNumber(std::string_view text, int length, int decimals);

}  // namespace zanit_table
