#include "zanit-dict/Quelle.h"

#include <charconv>
#include <fstream>
#include <string_view>

#include "xbase/Codepage.h"

namespace zanit_dict {

namespace {

std::string Message(long long zeile, const std::string& grund, const std::string& datei) {
    std::string where = datei;
    if (zeile > 0) where += (where.empty() ? "Zeile " : ":") + std::to_string(zeile);
    return where.empty() ? grund : where + ": " + grund;
}

}  // namespace

QuellenFehler::QuellenFehler(long long zeile, const std::string& grund, const std::string& datei)
    : std::runtime_error(Message(zeile, grund, datei)), zeile_(zeile), grund_(grund) {}

namespace {

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return out;
        line.remove_prefix(tab + 1);
    }
}

long long Number(std::string_view text, long long min, long long max, long long line, const char* what) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text.front() == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last || value < min || value > max)
        throw QuellenFehler(line, std::string(what) + " ist keine Zahl von " + std::to_string(min) + " bis " +
                                      std::to_string(max) + ": \"" + std::string(text) + "\"");
    return value;
}

std::string Text(std::string_view utf8, long long line, const char* what) {
    std::size_t unmappable = 0;
    std::string text = xbase::Utf8ToCp1252(utf8, &unmappable);
    if (unmappable > 0)
        throw QuellenFehler(line, std::string(what) + " enthält Zeichen außerhalb von Windows-1252: \"" +
                                      std::string(utf8) + "\"");
    if (text.find_first_not_of(' ') == std::string::npos) throw QuellenFehler(line, std::string(what) + " ist leer");
    return text;
}

}  // namespace

std::vector<zanit::Woerterbucheintrag> LeseQuelle(std::istream& in) {
    std::vector<zanit::Woerterbucheintrag> records;
    std::string line;
    long long number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> f = Split(line);
        if (f.size() < 3 || f.size() > 5)
            throw QuellenFehler(number, "erwartet 3 bis 5 Felder (W1, W2, WA, WW1, WW2), gefunden " +
                                            std::to_string(f.size()));
        zanit::Woerterbucheintrag e;
        e.W1 = Text(f[0], number, "W1");
        e.W2 = Text(f[1], number, "W2");
        e.WA = static_cast<int>(Number(f[2], 0, zanit::kWortartMax, number, "WA"));
        constexpr long long lo = -2147483648LL, hi = 2147483647LL;
        if (f.size() > 3) e.WW1 = Number(f[3], lo, hi, number, "WW1");
        if (f.size() > 4) e.WW2 = Number(f[4], lo, hi, number, "WW2");
        records.push_back(std::move(e));
    }
    if (in.bad()) throw QuellenFehler(number, "Lesefehler");
    return records;
}

std::vector<zanit::Woerterbucheintrag> LeseQuelldatei(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    if (!in) throw QuellenFehler(0, "Datei lässt sich nicht lesen", pfad);
    try {
        return LeseQuelle(in);
    } catch (const QuellenFehler& e) {
        throw QuellenFehler(e.Zeile(), e.Grund(), pfad);
    }
}

}  // namespace zanit_dict
