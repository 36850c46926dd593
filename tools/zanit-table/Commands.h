#pragma once
// The commands of the table tool. Exit codes: 0 fine, 1 bad data or a table that fails verification,
// 2 usage errors and tables that cannot be opened.
#include <cstdio>
#include <string>
#include <vector>

namespace zanit_table {

int RunTableTool(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace zanit_table
