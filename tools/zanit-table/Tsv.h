#pragma once
// Tab-separated text: one record a line, fields split at tabs; a value escapes tab, line feed, carriage
// return and backslash as \t \n \r \\ (and a leading '@' as \@, see Values.h).
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zanit_table {

// Splits a line at tabs (no unescaping).
void SplitTsv(std::string_view line, std::vector<std::string_view>& out);
// Throws std::invalid_argument on an unknown escape or a trailing backslash.
std::string UnescapeTsv(std::string_view value);
void AppendEscapedTsv(std::string& out, std::string_view value);

// Reads lines from a stream with a large buffer; strips the line feed and a carriage return before it.
class LineReader {
public:
    explicit LineReader(std::FILE* in) : in_(in) {}
    bool Next(std::string& line);
    long long LineNumber() const { return lineNumber_; }

private:
    std::FILE* in_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    long long lineNumber_ = 0;
};

}  // namespace zanit_table
