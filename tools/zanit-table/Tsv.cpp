#include "zanit-table/Tsv.h"

#include <cstring>
#include <stdexcept>

namespace zanit_table {

void SplitTsv(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            out.push_back(line.substr(start));
            return;
        }
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::string UnescapeTsv(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == value.size()) throw std::invalid_argument("a value ends in a lone backslash");
        switch (value[i]) {
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            case '@': out += '@'; break;
            default:
                throw std::invalid_argument(std::string("unknown escape \\") + value[i] +
                                            " (use \\t \\n \\r \\\\ or \\@)");
        }
    }
    return out;
}

void AppendEscapedTsv(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
}

bool LineReader::Next(std::string& line) {
    line.clear();
    while (true) {
        const char* begin = buffer_.data() + pos_;
        const std::size_t avail = buffer_.size() - pos_;
        const void* nl = avail ? std::memchr(begin, '\n', avail) : nullptr;
        if (nl) {
            const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(nl) - begin);
            line.append(begin, len);
            pos_ += len + 1;
            break;
        }
        line.append(begin, avail);
        pos_ = buffer_.size();
        if (eof_) {
            if (line.empty()) return false;
            break;
        }
        buffer_.resize(1 << 20);
        const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), in_);
        buffer_.resize(got);
        pos_ = 0;
        if (got == 0) eof_ = true;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++lineNumber_;
    return true;
}

}  // namespace zanit_table
