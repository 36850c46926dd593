#include "base/Utils.h"

#include <chrono>
#include <cstdint>

#include "base/Registry.h"

namespace zanit {
namespace {

// The key a reader or writer opens: base path, a backslash when missing, the subkey.
std::string KeyPath(std::string_view basis, std::string_view schluessel) {
    std::string path(basis);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += schluessel;
    return path;
}

// Trims what the run-time library's Trim trims: every character up to and including the blank.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

std::unique_ptr<registry::Key> Open(std::string_view basis, std::string_view schluessel, registry::Access access) {
    return registry::OpenKey(KeyPath(basis, schluessel), access);
}

// Runs a registry access; any exception (out of memory, a broken store) becomes the fallback.
template <typename T, typename F>
T Guarded(T fallback, F access) noexcept {
    try {
        return access();
    } catch (...) {
        return fallback;
    }
}

int AsInt(std::uint32_t value) { return static_cast<int>(static_cast<std::int32_t>(value)); }

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

}  // namespace

std::string RegTextLesen(RegRoot, std::string_view basis, std::string_view schluessel, std::string_view vorgabe,
                         std::string_view name) {
    return Guarded(std::string(vorgabe), [&] {
        auto key = Open(basis, schluessel, registry::Access::Read);
        auto text = key ? key->ReadString(name) : std::nullopt;
        return text && !text->empty() ? *text : std::string(vorgabe);
    });
}

int RegZahlLesen(RegRoot, std::string_view basis, std::string_view schluessel, int vorgabe, std::string_view name) {
    return Guarded(vorgabe, [&] {
        auto key = Open(basis, schluessel, registry::Access::Read);
        if (!key) return vorgabe;
        if (auto number = key->ReadDword(name)) return AsInt(*number);
        // not a DWORD: the value as text; a missing value or one of another type gives the default
        auto text = key->ReadString(name);
        if (!text) return vorgabe;
        const std::string_view trimmed = Trim(*text);
        return trimmed.empty() ? vorgabe : ZahlAusText(trimmed);
    });
}

bool RegSchalterLesen(RegRoot, std::string_view basis, std::string_view schluessel, bool vorgabe, std::string_view name) {
    return Guarded(vorgabe, [&] {
        auto key = Open(basis, schluessel, registry::Access::Read);
        if (!key) return vorgabe;
        if (auto number = key->ReadDword(name)) return *number != 0;
        // a missing value reads as an empty text, which converts to 0: false, not the default
        const registry::ValueType type = key->TypeOf(name);
        if (type != registry::ValueType::None && type != registry::ValueType::String) return vorgabe;
        const int number = ZahlAusText(key->ReadString(name).value_or(std::string()));
        if (number == 1) return true;
        if (number == 0) return false;
        return vorgabe;
    });
}

bool RegTextSchreiben(RegRoot, std::string_view basis, std::string_view schluessel, std::string_view wert,
                      std::string_view name) {
    return Guarded(false, [&] {
        auto key = Open(basis, schluessel, registry::Access::Write);
        return key && key->WriteString(name, wert);
    });
}

bool RegZahlSchreiben(RegRoot, std::string_view basis, std::string_view schluessel, int wert, std::string_view name) {
    return Guarded(false, [&] {
        auto key = Open(basis, schluessel, registry::Access::Write);
        return key && key->WriteDword(name, static_cast<std::uint32_t>(wert));
    });
}

bool RegSchalterSchreiben(RegRoot root, std::string_view basis, std::string_view schluessel, bool wert,
                          std::string_view name) {
    return RegZahlSchreiben(root, basis, schluessel, wert ? 1 : 0, name);
}

std::vector<std::string> RegUnterschluesselLesen(RegRoot, std::string_view pfad) {
    return Guarded(std::vector<std::string>{}, [&] {
        auto key = registry::OpenKey(pfad, registry::Access::Read);
        return key ? key->SubkeyNames() : std::vector<std::string>{};
    });
}

bool RegSchluesselLoeschen(RegRoot, std::string_view pfad) {
    return Guarded(false, [&] { return registry::DeleteKey(pfad); });
}

std::string MitBackslash(std::string_view text) {
    std::string result(text);
    if (result.empty()) return result;
#ifdef _WIN32
    if (result.back() != '\\') result += '\\';
#else
    if (result.back() != '/' && result.back() != '\\') result += '/';
#endif
    return result;
}

bool ZahlAusText(std::string_view text, int& wert) {
    wert = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    // hexadecimal fills all 32 bits (a set top bit gives a negative number); decimal must stay in range
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= static_cast<int>(base)) return false;
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit) return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    wert = AsInt(bits);
    return true;
}

int ZahlAusText(std::string_view text) {
    int wert = 0;
    ZahlAusText(text, wert);
    return wert;
}

std::string AlleEntfernen(std::string_view text, std::string_view teil) {
    std::string result(text);
    if (teil.empty()) return result;
    for (std::size_t pos = result.find(teil); pos != std::string::npos;) {
        result.erase(pos, teil.size());
        // the removal may join the text around it into a new occurrence starting just before `pos`
        pos = result.find(teil, pos >= teil.size() ? pos - teil.size() + 1 : 0);
    }
    return result;
}

long long LokalerTag(std::time_t t, long long* sekunde) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    using namespace std::chrono;
    const sys_days d = year{tm.tm_year + 1900} / month{static_cast<unsigned>(tm.tm_mon + 1)} /
                       day{static_cast<unsigned>(tm.tm_mday)};
    if (sekunde) *sekunde = tm.tm_hour * 3600LL + tm.tm_min * 60LL + tm.tm_sec;
    return d.time_since_epoch().count();
}

}  // namespace zanit
