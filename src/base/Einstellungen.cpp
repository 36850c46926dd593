#include "base/Einstellungen.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <variant>

#include "base/Registry.h"
#include "base/Utils.h"
#include "xbase/Codepage.h"

namespace zanit {
namespace {

using Feld = std::variant<std::string Einstellungen::*, char Einstellungen::*, bool Einstellungen::*, int Einstellungen::*>;

struct Eintrag {
    std::string_view name;
    Feld feld;
};

// The settings table, in its documented order; defaults come from the struct's initialisers.
const std::array<Eintrag, 26> kTabelle = {{
    {"Program", &Einstellungen::Program},   {"CD", &Einstellungen::CD},
    {"Section", &Einstellungen::Section},   {"GLC", &Einstellungen::GLC},
    {"NoLanguageChange", &Einstellungen::NoLanguageChange},
    {"Part", &Einstellungen::Part},         {"HotKey", &Einstellungen::HotKey},
    {"HotKey1", &Einstellungen::HotKey1},   {"HotKey2", &Einstellungen::HotKey2},
    {"HotKeyOn", &Einstellungen::HotKeyOn}, {"Seek", &Einstellungen::Seek},
    {"Interval", &Einstellungen::Interval}, {"Tray", &Einstellungen::Tray},
    {"Autostart", &Einstellungen::Autostart}, {"LatGen", &Einstellungen::LatGen},
    {"Save", &Einstellungen::Save},         {"Sound", &Einstellungen::Sound},
    {"Fontname", &Einstellungen::Fontname}, {"Fontsize", &Einstellungen::Fontsize},
    {"PX", &Einstellungen::PX},             {"PY", &Einstellungen::PY},
    {"PW", &Einstellungen::PW},             {"PH", &Einstellungen::PH},
    {"PV", &Einstellungen::PV},             {"FTPDelay", &Einstellungen::FTPDelay},
    {"InfoID", &Einstellungen::InfoID},
}};

// The order in which saving writes them (Section and the autostart entry aside).
constexpr std::array<std::string_view, 21> kSpeicherFolge = {
    "Part",     "HotKey",   "HotKey1",   "HotKey2", "Interval", "PX",     "PY",
    "PW",       "PH",       "PV",        "GLC",     "NoLanguageChange",   "HotKeyOn",
    "Seek",     "Tray",     "Autostart", "LatGen",  "Save",     "Sound",  "Fontname",
    "Fontsize",
};

template <class... F>
struct Je : F... {
    using F::operator()...;
};
template <class... F>
Je(F...) -> Je<F...>;  // clang (the fuzz build) does not deduce aggregate templates by itself

const Eintrag& EintragFuer(std::string_view name) {
    return *std::find_if(kTabelle.begin(), kTabelle.end(), [&](const Eintrag& e) { return e.name == name; });
}

// True when the settings key holds the value as an empty text (the text reader then gives its default).
bool LeerGespeichert(std::string_view name) {
    try {
        auto key = registry::OpenKey(std::string(kProduktSchluessel) + std::string(kEinstellungsSchluessel), registry::Access::Read);
        auto text = key ? key->ReadString(name) : std::nullopt;
        return text && text->empty();
    } catch (...) {
        return false;
    }
}

void WertLesen(const Eintrag& eintrag, Einstellungen& werte) {
    static const Einstellungen vorgaben;
    const auto basis = kProduktSchluessel;
    const auto schluessel = kEinstellungsSchluessel;
    const auto root = RegRoot::LocalMachine;
    std::visit(Je{
                   [&](std::string Einstellungen::*f) {
                       werte.*f = RegTextLesen(root, basis, schluessel, vorgaben.*f, eintrag.name);
                   },
                   [&](char Einstellungen::*f) {
                       // the letter is the first character; a value stored as an empty text gives a blank
                       // (which counts as German), a missing one the default
                       const std::string text = RegTextLesen(root, basis, schluessel, std::string(1, vorgaben.*f), eintrag.name);
                       werte.*f = LeerGespeichert(eintrag.name) ? ' ' : text[0];
                   },
                   [&](bool Einstellungen::*f) {
                       werte.*f = RegSchalterLesen(root, basis, schluessel, vorgaben.*f, eintrag.name);
                   },
                   [&](int Einstellungen::*f) {
                       werte.*f = RegZahlLesen(root, basis, schluessel, vorgaben.*f, eintrag.name);
                   },
               },
               eintrag.feld);
}

registry::ValueWrite AlsWert(const Eintrag& eintrag, const Einstellungen& werte) {
    using registry::ValueType;
    const std::string name(eintrag.name);
    return std::visit(Je{
                          [&](std::string Einstellungen::*f) { return registry::ValueWrite{name, ValueType::String, werte.*f, 0}; },
                          [&](char Einstellungen::*f) {
                              return registry::ValueWrite{name, ValueType::String, std::string(1, werte.*f), 0};
                          },
                          [&](bool Einstellungen::*f) {
                              return registry::ValueWrite{name, ValueType::Dword, {}, werte.*f ? 1u : 0u};
                          },
                          [&](int Einstellungen::*f) {
                              return registry::ValueWrite{name, ValueType::Dword, {}, static_cast<std::uint32_t>(werte.*f)};
                          },
                      },
                      eintrag.feld);
}

#ifdef __linux__
// One argument of a desktop file's Exec line: quoted when it holds a reserved character, then escaped for the
// file's string syntax.
std::string ExecArgument(std::string_view utf8) {
    constexpr std::string_view kReserviert = " \t\n\"'\\><~|&;$*?#()`";
    const bool quoten = utf8.empty() || utf8.find_first_of(kReserviert) != std::string_view::npos;
    std::string argument;
    for (char c : utf8) {
        if (c == '%') {
            argument += "%%";
            continue;
        }
        if (quoten && (c == '"' || c == '`' || c == '$' || c == '\\')) argument += '\\';
        argument += c;
    }
    if (quoten) argument = '"' + argument + '"';
    std::string zeile;
    for (char c : argument) {
        switch (c) {
            case '\\': zeile += "\\\\"; break;
            case '\n': zeile += "\\n"; break;
            case '\t': zeile += "\\t"; break;
            case '\r': zeile += "\\r"; break;
            default: zeile += c;
        }
    }
    return zeile;
}

bool DesktopDateiSchreiben(bool an, std::string_view programmDatei) {
    const std::filesystem::path datei = AutostartDesktopDatei();
    if (datei.empty()) return false;
    std::error_code fehler;
    if (!an) {
        std::filesystem::remove(datei, fehler);
        return !fehler;
    }
    std::filesystem::create_directories(datei.parent_path(), fehler);
    const std::filesystem::path neu = datei.string() + ".tmp";
    {
        std::ofstream aus(neu, std::ios::binary | std::ios::trunc);
        aus << "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=zanit WB\n"
               "Exec="
            << ExecArgument(xbase::Cp1252ToUtf8(programmDatei))
            << " AUTOSTART\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n";
        aus.close();
        if (!aus) {
            std::filesystem::remove(neu, fehler);
            return false;
        }
    }
    std::filesystem::rename(neu, datei, fehler);
    return !fehler;
}
#endif

}  // namespace

Einstellungen EinstellungenLesen() {
    Einstellungen werte;
    for (const auto& eintrag : kTabelle) WertLesen(eintrag, werte);
    werte.Part = std::clamp(werte.Part, 1, 2);
    return werte;
}

int InfoIDLesen() {
    Einstellungen werte;
    WertLesen(EintragFuer("InfoID"), werte);
    return werte.InfoID;
}

bool EinstellungenSpeichern(const Einstellungen& werte, std::optional<std::string_view> abschnitt,
                            std::string_view programmDatei, const Einstellungen* bisher) {
    // one batch: on POSIX the whole save is a single replacement of the hive file
    std::vector<registry::ValueWrite> batch;
    if (abschnitt && (!bisher || *abschnitt != bisher->Section))
        batch.push_back({"Section", registry::ValueType::String, std::string(*abschnitt), 0});
    for (std::string_view name : kSpeicherFolge) {
        registry::ValueWrite wert = AlsWert(EintragFuer(name), werte);
        if (bisher) {
            const registry::ValueWrite alt = AlsWert(EintragFuer(name), *bisher);
            if (wert.type == alt.type && wert.text == alt.text && wert.dword == alt.dword) continue;
        }
        batch.push_back(std::move(wert));
    }
    if (batch.empty()) return AutostartSchreiben(werte.Autostart, programmDatei);
    bool alle = false;
    try {
        const std::string pfad = std::string(kProduktSchluessel) + std::string(kEinstellungsSchluessel);
        // a text that cannot be stored (a line break) is left out; the others are still saved
        const auto vorher = batch.size();
        std::erase_if(batch, [](const registry::ValueWrite& w) { return !registry::StorableValue(w); });
        alle = registry::WriteValues(pfad, batch) && batch.size() == vorher;
    } catch (...) {
        alle = false;  // a refused save leaves the values in force for this run only
    }
    return AutostartSchreiben(werte.Autostart, programmDatei) && alle;
}

bool PlatzierungPasst(const Einstellungen& werte, int bildschirmBreite, int bildschirmHoehe) {
    const std::int64_t x = werte.PX, y = werte.PY, w = werte.PW, h = werte.PH;
    return x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= bildschirmBreite && y + h <= bildschirmHoehe;
}

bool AutostartSchreiben(bool an, std::string_view programmDatei) {
    const std::string eintrag = an ? std::string(programmDatei) + " AUTOSTART" : std::string();
    bool ok = RegTextSchreiben(RegRoot::LocalMachine, kAutostartBasis, kAutostartSchluessel, eintrag, kAutostartWert);
#ifdef __linux__
    ok = DesktopDateiSchreiben(an, programmDatei) && ok;
#endif
    return ok;
}

std::string AutostartDesktopDatei() {
#ifdef __linux__
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/autostart/zanit-wb.desktop";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/autostart/zanit-wb.desktop";
#endif
    return {};
}

void AlteSchluesselEntfernen() {
    constexpr std::string_view kBasis = "Software\\MORAV\\";
    const int trainer = RegZahlLesen(RegRoot::LocalMachine, kBasis, "Vocabulary", 0, "Release");
    const int woerterbuch = RegZahlLesen(RegRoot::LocalMachine, kBasis, "Dictionary", 0, "Release");
    auto alt = [](int release) { return release == 0 || release == 49; };
    if (alt(trainer) && alt(woerterbuch)) {
        RegSchluesselLoeschen(RegRoot::LocalMachine, "Software\\MORAV\\Vocabulary");
        RegSchluesselLoeschen(RegRoot::LocalMachine, "Software\\MORAV\\Dictionary");
    }
}

std::vector<std::pair<std::string, std::string>> EinstellungenAlsText(const Einstellungen& werte) {
    std::vector<std::pair<std::string, std::string>> zeilen;
    for (const auto& eintrag : kTabelle) {
        std::string text = std::visit(Je{
                                          [&](std::string Einstellungen::*f) { return werte.*f; },
                                          [&](char Einstellungen::*f) { return std::string(1, werte.*f); },
                                          [&](bool Einstellungen::*f) { return std::string(werte.*f ? "1" : "0"); },
                                          [&](int Einstellungen::*f) { return std::to_string(werte.*f); },
                                      },
                                      eintrag.feld);
        zeilen.emplace_back(eintrag.name, std::move(text));
    }
    return zeilen;
}

}  // namespace zanit
