#include "import/Import.h"

#include <algorithm>
#include <cstring>

#include "xbase/Codepage.h"

namespace zanit {

void ImportBericht::MerkeFehler(std::size_t stelle) {
    ++fehlerhaft;
    if (fehlerhafteStellen.size() < kGemerkteStellen) fehlerhafteStellen.push_back(stelle);
}

void ImportStellen::Merke(std::size_t stelle) {
    ++anzahl;
    if (erste.size() < kGemerkt) erste.push_back(stelle);
}

bool HatSteuerzeichen(std::string_view text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7F) return true;
    }
    return false;
}

ZeilenLeser::ZeilenLeser(std::istream& in, std::size_t maxBytes)
    : in_(in), max_(maxBytes), puffer_(std::max<std::size_t>(std::size_t{1} << 20, 2 * maxBytes + 2)) {}

bool ZeilenLeser::Fuellen() {
    if (anfang_ > 0) {  // what is left moves to the front
        std::memmove(puffer_.data(), puffer_.data() + anfang_, ende_ - anfang_);
        ende_ -= anfang_;
        anfang_ = 0;
    }
    if (ende_ == puffer_.size() || !in_) return false;
    in_.read(puffer_.data() + ende_, static_cast<std::streamsize>(puffer_.size() - ende_));
    const auto n = static_cast<std::size_t>(in_.gcount());
    ende_ += n;
    return n > 0;
}

bool ZeilenLeser::Naechste(std::string_view& zeile, bool& zuLang) {
    zuLang = false;
    zeile = {};
    std::size_t gesucht = anfang_;  // bytes before it hold no line feed
    while (true) {
        const char* data = puffer_.data();
        const void* lf = std::memchr(data + gesucht, '\n', ende_ - gesucht);
        if (lf) {
            const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
            gelesen_ += end + 1 - anfang_;
            zuLang = zuLang || end - anfang_ > max_;
            if (!zuLang) zeile = std::string_view(data + anfang_, end - anfang_);
            anfang_ = end + 1;
            return true;
        }
        if (ende_ - anfang_ > max_) {
            // too long: forget what we have of it and look only for its end
            zuLang = true;
            gelesen_ += ende_ - anfang_;
            anfang_ = ende_;
        }
        gesucht = ende_ - anfang_;
        if (!Fuellen()) break;
    }
    // the last line without a line feed
    if (anfang_ == ende_ && !zuLang) return false;
    gelesen_ += ende_ - anfang_;
    if (!zuLang) zeile = std::string_view(puffer_.data() + anfang_, ende_ - anfang_);
    anfang_ = ende_;
    return true;
}

std::string_view TrimmeLeerraum(std::string_view text) {
    auto leer = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && leer(text.front())) text.remove_prefix(1);
    while (!text.empty() && leer(text.back())) text.remove_suffix(1);
    return text;
}

std::string EntferneKlammerteile(std::string_view text, char open, char close) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == open) {
            const std::size_t end = text.find(close, i + 1);
            if (end == std::string_view::npos) {  // unbalanced: keep the rest as it is
                out.append(text.substr(i));
                break;
            }
            i = end + 1;
            continue;
        }
        out += text[i++];
    }
    return out;
}

std::string BereinigeLeerraum(std::string_view text) {
    text = TrimmeLeerraum(text);
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t';
        if (blank) {
            if (!out.empty() && out.back() == ' ') continue;
            out += ' ';
        } else {
            if ((c == ',' || c == ';') && !out.empty() && out.back() == ' ') out.pop_back();
            out += c;
        }
    }
    return out;
}

std::vector<std::string_view> TrenneText(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = text.find(separator, start);
        const std::string_view part =
            TrimmeLeerraum(text.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        if (!part.empty()) parts.push_back(part);
        if (pos == std::string_view::npos) break;
        start = pos + separator.size();
    }
    return parts;
}

std::vector<std::string_view> TrenneAufObersterEbene(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t start = 0;
    auto take = [&](std::size_t end) {
        const std::string_view part = TrimmeLeerraum(text.substr(start, end - start));
        if (!part.empty()) parts.push_back(part);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if ((c == ')' || c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if (depth == 0 && !separator.empty() && c == separator.front() &&
                   text.compare(i, separator.size(), separator) == 0) {
            take(i);
            start = i + separator.size();
            i = start - 1;
        }
    }
    take(text.size());
    return parts;
}

bool HatMehrereWoerter(std::string_view text) {
    std::string bare = EntferneKlammerteile(text, '(', ')');
    bare = EntferneKlammerteile(bare, '[', ']');
    bare = EntferneKlammerteile(bare, '{', '}');
    bare = EntferneKlammerteile(bare, '<', '>');
    return TrenneText(bare, " ").size() > 1;
}

std::string NachCp1252(std::string_view utf8, std::size_t& nichtAbbildbar) {
    std::size_t bad = 0;
    std::string out = xbase::Utf8ToCp1252(utf8, &bad);
    nichtAbbildbar += bad;
    return out;
}

}  // namespace zanit
