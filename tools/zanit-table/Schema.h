#pragma once
// The field list of a table given as text, e.g. "W1:C:60,WA:N:11,WAVE:M:B", and index tags as NAME=FIELD.
#include <string_view>
#include <vector>

#include "xbase/Table.h"

namespace zanit_table {

// Throws std::invalid_argument with a message naming the offending item.
std::vector<xbase::FieldDef> ParseSchema(std::string_view text);
xbase::TagDef ParseTag(std::string_view text, const std::vector<xbase::FieldDef>& fields);
// -1 when the name (any case) is not a field.
int FindField(const std::vector<xbase::FieldDef>& fields, std::string_view name);

}  // namespace zanit_table
