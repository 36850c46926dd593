// zanit-voc: a trainer installation and its vocabulary collections, laid out as the trainer program does,
// for the demo installation and the tests; and a view of a collection as the dictionary reads it.
// Arguments and output are UTF-8.
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Utils.h"
#include "common/Args.h"
#include "trainer/Sammlungen.h"
#include "trainer/Sammlungsbau.h"
#include "trainer/Uebertragung.h"
#include "data/Woerterbuecher.h"
#include "xbase/Table.h"
#include "xbase/Codepage.h"

namespace {

constexpr int kOk = 0;

const char* const kUsageText =
    "usage: zanit-voc install DIR             a trainer installation in DIR (program file, DIR/Voc)\n"
    "       zanit-voc register DIR            the trainer key's Program value := DIR\n"
    "       zanit-voc create FOLDER --file NAME --language NAME [--group NAME] [--text NAME]\n"
    "                 [--base NAME] [--lesson NAME]... [--next N] [--protect USER]\n"
    "       zanit-voc show FOLDER FILE        header, lessons and entries of a collection\n"
    "The settings store is the file named by ZANIT_REGISTRY, else /etc/zanit/machine.reg.\n";

using zanit_tools::UsageError;

std::string Cp(const std::string& utf8, const std::string& what) {
    std::size_t unmappable = 0;
    std::string text = xbase::Utf8ToCp1252(utf8, &unmappable);
    if (unmappable) throw UsageError(what + " \"" + utf8 + "\" has characters that cannot be stored");
    return text;
}

std::string Utf8(const std::string& cp) { return xbase::Cp1252ToUtf8(cp); }

int Install(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("install needs exactly one DIR");
    std::cout << zanit::LegeTrainerAn(args[1]) << '\n';
    return kOk;
}

int Register(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("register needs exactly one DIR");
    const std::string dir = std::filesystem::absolute(args[1]).lexically_normal().string();
    if (!zanit::RegTextSchreiben(zanit::RegRoot::LocalMachine, zanit::kProduktSchluessel, "Vocabulary",
                                 Cp(zanit::MitBackslash(dir), "DIR"), "Program"))
        throw std::runtime_error("the settings store refused to write the trainer key");
    return kOk;
}

int Create(const std::vector<std::string>& args) {
    zanit::TNeueSammlung s;
    std::string folder;
    zanit_tools::ArgReader r(args, 1);
    bool haveLanguage = false;
    while (!r.Done()) {
        const std::string a = r.Next();
        if (!zanit_tools::IsLongOption(a)) {
            if (!folder.empty()) throw UsageError("create needs exactly one FOLDER");
            folder = a;
        } else if (a == "--file") {
            s.datei = Cp(r.ValueOf(a), a);
        } else if (a == "--language") {
            s.sprache = Cp(r.ValueOf(a), a);
            haveLanguage = true;
        } else if (a == "--group") {
            s.gruppe = Cp(r.ValueOf(a), a);
        } else if (a == "--text") {
            s.text = Cp(r.ValueOf(a), a);
        } else if (a == "--base") {
            s.basis = Cp(r.ValueOf(a), a);
        } else if (a == "--lesson") {
            s.lektionen.push_back(Cp(r.ValueOf(a), a));
        } else if (a == "--next" || a == "--protect") {
            const auto n = zanit_tools::WholeNumber(r.ValueOf(a));
            if (!n) throw UsageError(a + " needs a whole number");
            if (a == "--next") {
                s.naechsteNummer = *n;
            } else {
                s.schreibschutz = true;
                s.schutzbenutzer = static_cast<std::uint32_t>(*n);
            }
        } else {
            throw UsageError("unknown option " + a);
        }
    }
    if (folder.empty()) throw UsageError("create needs a FOLDER");
    if (s.datei.empty() || !haveLanguage) throw UsageError("--file and --language are required");
    if (s.text.empty()) s.text = s.datei;
    zanit::LegeSammlungAn(folder, s);
    return kOk;
}

int Show(const std::vector<std::string>& args) {
    if (args.size() != 3) throw UsageError("show needs FOLDER and FILE");
    const std::string folder = zanit::MitBackslash(args[1]);
    zanit::TSammlung s;
    s.Waehlen(folder, Cp(args[2], "FILE"));
    if (!s.gueltig) throw std::runtime_error(s.Kopfpfad() + ": no valid collection header");
    const zanit::TSammlungskopf& k = s.kopf;
    std::cout << "base\t" << Utf8(k.Basisname()) << "\nlessons\t" << k.Lektionszahl() << "\nnext\t"
              << k.NaechsteNummer() << "\ncounterA\t" << k.ZaehlerA() << "\ncounterB\t" << k.ZaehlerB()
              << "\nprotected\t" << (k.Schreibschutz() ? 1 : 0) << ' ' << k.Schutzbenutzer() << "\ndate\t"
              << static_cast<long long>(k.Aenderungsdatum()) << '\n';
    for (int n = 1; n <= zanit::kMaxLektionen; ++n) {
        const zanit::TLektion& l = s.plaetze[static_cast<std::size_t>(n)];
        if (l.nr == 0) continue;
        std::cout << "lesson\t" << n << '\t' << Utf8(l.name) << (k.Lektionsflag(n) ? "\t+" : "\t-");
        for (long long c : l.kasten) std::cout << '\t' << c;
        std::cout << '\n';
    }
    xbase::Table t;
    t.SetFolder(zanit::Dateisystempfad(folder));
    t.SetFileName(zanit::Vokabeltabellenname(k.Basisname()));
    t.SetReadOnly(true);
    t.Open();
    for (t.First(); !t.Eof(); t.Skip(1)) {
        std::cout << "entry";
        for (const char* f : {"NR", "LEK", "KAR", "ART", "S1", "S2", "SI1", "SI2", "WF1", "WF2", "WF3", "WF4", "WF5"})
            std::cout << '\t' << Utf8(t.FieldByName(f).AsString());
        std::cout << '\n';
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<std::string_view, zanit_tools::Command>> commands = {
        {"install", Install},
        {"register", Register},
        {"create", Create},
        {"show", Show},
    };
    return zanit_tools::RunCommand("zanit-voc", kUsageText, std::vector<std::string>(argv + 1, argv + argc), commands,
                                   std::cout, std::cerr);
}
