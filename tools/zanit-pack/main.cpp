// zanit-pack: builds the news archive that carries the info picture and its area list (docs/news-archive.md),
// lists one, and extracts one as the dictionary does, for the demo installation, the tests and the people who
// publish a new picture.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Args.h"
#include "online/Infoarchiv.h"

namespace {

namespace fs = std::filesystem;
using zanit_tools::UsageError;

constexpr int kOk = 0;
constexpr int kFailed = 1;

const char* const kUsageText =
    "usage: zanit-pack create ARCHIVE [--as NAME] FILE...\n"
    "                                  each FILE under its file name, or under NAME (a relative path with /)\n"
    "       zanit-pack list ARCHIVE      checks every entry and prints size and name\n"
    "       zanit-pack extract ARCHIVE FOLDER\n"
    "                                  all files into FOLDER, replacing, or nothing when the archive is refused\n";

std::string LeseDatei(const fs::path& pfad) {
    std::ifstream f(pfad, std::ios::binary);
    if (!f) throw std::runtime_error(pfad.string() + ": cannot be read");
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

int Create(const std::vector<std::string>& args) {
    zanit_tools::ArgReader a(args, 1);
    if (a.Done()) throw UsageError("create needs an ARCHIVE");
    const std::string archiv = a.Next();
    std::vector<zanit::TArchivEintrag> eintraege;
    std::string als;
    while (!a.Done()) {
        const std::string arg = a.Next();
        if (arg == "--as") {
            als = a.ValueOf("--as");
            continue;
        }
        zanit::TArchivEintrag e;
        e.name = als.empty() ? fs::path(arg).filename().string() : als;
        als.clear();
        if (!zanit::SichererArchivname(e.name))
            throw UsageError("\"" + e.name + "\" is no name an archive may carry (relative, / between folders)");
        e.daten = LeseDatei(arg);
        eintraege.push_back(std::move(e));
    }
    if (!als.empty()) throw UsageError("--as without a FILE");
    if (eintraege.empty()) throw UsageError("create needs at least one FILE");
    const std::string bytes = zanit::SchreibeInfoarchiv(eintraege);
    // The packer checks its own output with the reader, so an archive it writes is one the dictionary takes.
    const zanit::TArchivInhalt probe = zanit::LeseInfoarchiv(bytes);
    if (!probe.ok) throw std::runtime_error(archiv + ": " + probe.fehler);
    std::ofstream f(archiv, std::ios::binary | std::ios::trunc);
    if (!f.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !f.flush())
        throw std::runtime_error(archiv + ": cannot be written");
    return kOk;
}

int List(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("list needs exactly one ARCHIVE");
    const zanit::TArchivInhalt inhalt = zanit::LeseInfoarchiv(LeseDatei(args[1]));
    if (!inhalt.ok) {
        std::cerr << "zanit-pack: " << args[1] << ": " << inhalt.fehler << '\n';
        return kFailed;
    }
    for (const auto& e : inhalt.eintraege) std::cout << e.daten.size() << '\t' << e.name << '\n';
    return kOk;
}

int Extract(const std::vector<std::string>& args) {
    if (args.size() != 3) throw UsageError("extract needs an ARCHIVE and a FOLDER");
    const zanit::TEntpackErgebnis e = zanit::EntpackeInfoarchiv(args[1], args[2]);
    if (!e.ok) {
        std::cerr << "zanit-pack: " << e.fehler << '\n';
        return kFailed;
    }
    for (const auto& name : e.dateien) std::cout << name << '\n';
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<std::string_view, zanit_tools::Command>> commands = {
        {"create", Create},
        {"list", List},
        {"extract", Extract},
    };
    return zanit_tools::RunCommand("zanit-pack", kUsageText, std::vector<std::string>(argv + 1, argv + argc), commands,
                                   std::cout, std::cerr);
}
