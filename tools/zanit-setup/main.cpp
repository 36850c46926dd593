// zanit-setup: what an installer does to the settings store (program folder, sound medium, dictionary
// sections), and a view of the settings as the program reads them. Arguments and output are UTF-8.
#include <cstdio>
#include <filesystem>
#include <cstdint>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Einstellungen.h"
#include "base/Registry.h"
#include "base/Utils.h"
#include "common/Args.h"
#include "xbase/Codepage.h"

namespace {

constexpr int kOk = 0;

const char* const kUsageText =
    "usage: zanit-setup install --program DIR --medium DIR\n"
    "       zanit-setup settings\n"
    "       zanit-setup add-dictionary SECTION --file PATH [--textm NAME] [--textf NAME]\n"
    "                  [--sound PATH] [--release N] [--cdname NAME] [--soundm PATH]\n"
    "       zanit-setup remove-dictionary SECTION\n"
    "       zanit-setup list\n"
    "The store is the file named by ZANIT_REGISTRY, else /etc/zanit/machine.reg.\n";

using zanit_tools::UsageError;
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string SettingsKey() { return std::string(zanit::kProduktSchluessel) + std::string(zanit::kEinstellungsSchluessel); }

// An argument in the store's code page; refused when it has characters the code page cannot hold.
std::string Stored(const std::string& utf8, const std::string& what) {
    std::size_t unmappable = 0;
    std::string text = xbase::Utf8ToCp1252(utf8, &unmappable);
    if (unmappable != 0) throw UsageError(what + " \"" + utf8 + "\" has characters that cannot be stored");
    if (!zanit::registry::StorableText(text)) throw UsageError(what + " must not contain line breaks");
    return text;
}

std::string AbsolutePath(const std::string& path) {
    return std::filesystem::absolute(std::filesystem::path(path)).lexically_normal().string();
}

// Options after the command: "--name value" pairs and positional arguments.
struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
};

Args Parse(const std::vector<std::string>& args, const std::vector<std::string>& allowed) {
    Args parsed;
    zanit_tools::ArgReader reader(args, 1);
    while (!reader.Done()) {
        const std::string a = reader.Next();
        if (!zanit_tools::IsLongOption(a)) {
            parsed.positional.push_back(a);
            continue;
        }
        bool known = false;
        for (const auto& name : allowed) known = known || name == a;
        if (!known) throw UsageError("unknown option " + a + " for " + args[0]);
        parsed.options[a] = reader.ValueOf(a);
    }
    return parsed;
}

std::string Required(const Args& args, const std::string& option) {
    auto it = args.options.find(option);
    if (it == args.options.end() || it->second.empty()) throw UsageError(option + " is required");
    return it->second;
}

// The store has reported the cause (no permission, full disk, a lock held by another process) on stderr.
void Write(bool ok, const std::string& what) {
    if (!ok) throw Failure("the settings store refused to write " + what + "; nothing of it was written");
}

int Install(const std::vector<std::string>& args) {
    const Args a = Parse(args, {"--program", "--medium"});
    if (!a.positional.empty()) throw UsageError("install takes no positional arguments");
    const std::string program = Stored(zanit::MitBackslash(AbsolutePath(Required(a, "--program"))), "--program");
    const std::string medium = Stored(zanit::MitBackslash(AbsolutePath(Required(a, "--medium"))), "--medium");
    // One update of the store: the paths, and the defaults of the switches that are not there yet. The
    // program reads a switch whose value is missing from an existing settings key as off, so an installation
    // that wrote only the paths would start with automatic search, hotkeys and notices off; values already
    // set are left alone.
    const zanit::Einstellungen vorgaben;
    const std::pair<const char*, bool> schalter[] = {
        {"NoLanguageChange", vorgaben.NoLanguageChange}, {"HotKeyOn", vorgaben.HotKeyOn},
        {"Seek", vorgaben.Seek},         {"Tray", vorgaben.Tray},     {"Autostart", vorgaben.Autostart},
        {"LatGen", vorgaben.LatGen},     {"Save", vorgaben.Save},     {"Sound", vorgaben.Sound}};
    using zanit::registry::ValueType;
    std::vector<zanit::registry::ValueWrite> werte = {{"Program", ValueType::String, program, 0, false},
                                                       {"CD", ValueType::String, medium, 0, false}};
    for (const auto& [name, wert] : schalter) werte.push_back({name, ValueType::Dword, {}, wert ? 1u : 0u, true});
    Write(zanit::registry::WriteValues(SettingsKey(), werte), "the installation values");
    return kOk;
}

int Settings(const std::vector<std::string>& args) {
    if (args.size() > 1) throw UsageError("settings takes no arguments");
    for (const auto& [name, value] : zanit::EinstellungenAlsText(zanit::EinstellungenLesen()))
        std::cout << name << '=' << xbase::Cp1252ToUtf8(value) << '\n';
    return kOk;
}

std::string Section(const Args& a, const std::string& command) {
    if (a.positional.size() != 1) throw UsageError(command + " needs exactly one SECTION");
    const std::string section = Stored(a.positional[0], "SECTION");
    if (section.empty() || section.find('\\') != std::string::npos)
        throw UsageError("SECTION must be a non-empty name without backslash");
    return section;
}

int AddDictionary(const std::vector<std::string>& args) {
    const Args a = Parse(args, {"--file", "--textm", "--textf", "--sound", "--release", "--cdname", "--soundm"});
    const std::string section = Section(a, "add-dictionary");
    if (zanit::registry::SameName(section, "DfA"))
        throw UsageError("the section name DfA is reserved; the program never lists it");
    const std::string file = AbsolutePath(Required(a, "--file"));
    int release = 0;
    if (a.options.count("--release") && !zanit::ZahlAusText(a.options.at("--release"), release))
        throw UsageError("--release needs a whole number");
    if (!std::filesystem::exists(file))
        std::cerr << "zanit-setup: note: " << file << " does not exist (a dictionary on a removable medium?)\n";

    // every argument is checked before anything is written
    std::vector<std::pair<const char*, std::string>> texts = {{"Dictionary", Stored(file, "--file")}};
    const std::pair<const char*, const char*> optional[] = {{"--textm", "TextM"},   {"--textf", "TextF"},
                                                            {"--cdname", "CDName"}, {"--sound", "Sound"},
                                                            {"--soundm", "SoundM"}};
    for (const auto& [option, name] : optional) {
        if (!a.options.count(option)) continue;
        const std::string& value = a.options.at(option);
        const bool path = name == std::string_view("Sound") || name == std::string_view("SoundM");
        texts.emplace_back(name, Stored(path ? AbsolutePath(value) : value, option));
    }

    // a section is registered afresh (values of an earlier registration do not linger), in one update of the
    // store: a crash, a reader or a second registration never meets half a section
    std::vector<zanit::registry::ValueWrite> werte;
    for (const auto& [name, value] : texts) werte.push_back({name, zanit::registry::ValueType::String, value, 0, false});
    if (a.options.count("--release"))
        werte.push_back({"ReleaseS", zanit::registry::ValueType::Dword, {}, static_cast<std::uint32_t>(release), false});
    Write(zanit::registry::ReplaceKey(SettingsKey() + "\\" + section, werte), "the section \"" + a.positional[0] + "\"");
    return kOk;
}

int RemoveDictionary(const std::vector<std::string>& args) {
    const Args a = Parse(args, {});
    const std::string section = Section(a, "remove-dictionary");
    const std::string key = SettingsKey() + "\\" + section;
    if (!zanit::registry::OpenKey(key, zanit::registry::Access::Read))
        throw Failure("no dictionary section \"" + a.positional[0] + "\"");
    if (!zanit::RegSchluesselLoeschen(zanit::RegRoot::LocalMachine, key))
        throw Failure("the settings store refused to delete \"" + a.positional[0] + "\"");
    return kOk;
}

int List(const std::vector<std::string>& args) {
    if (args.size() > 1) throw UsageError("list takes no arguments");
    for (const auto& section : zanit::RegUnterschluesselLesen(zanit::RegRoot::LocalMachine, SettingsKey())) {
        auto key = zanit::registry::OpenKey(SettingsKey() + "\\" + section, zanit::registry::Access::Read);
        if (!key) continue;
        std::cout << '[' << xbase::Cp1252ToUtf8(section) << "]\n";
        for (const auto& name : key->ValueNames()) {
            std::string value = "(value of another type)";
            if (auto text = key->ReadString(name)) value = xbase::Cp1252ToUtf8(*text);
            if (auto number = key->ReadDword(name)) value = std::to_string(*number);
            std::cout << xbase::Cp1252ToUtf8(name) << '=' << value << '\n';
        }
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<std::string_view, zanit_tools::Command>> commands = {
        {"install", Install},
        {"settings", Settings},
        {"add-dictionary", AddDictionary},
        {"remove-dictionary", RemoveDictionary},
        {"list", List},
    };
    return zanit_tools::RunCommand("zanit-setup", kUsageText, std::vector<std::string>(argv + 1, argv + argc), commands,
                                   std::cout, std::cerr);
}
