// zanit-import: builds dictionary tables from open word lists.
//   zanit-import ding FILE --out PATH.DBF [--password TEXT] [--textm NAME] [--textf NAME] [--width N]
//   zanit-import freedict INDEX DICT.dz --out PATH.DBF --textm NAME --textf NAME [--swap] [--password TEXT]
//                [--width N]
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Args.h"
#include "import/ImportDing.h"
#include "import/ImportFreeDict.h"
#include "search/Woerterbuchbau.h"
#include "xbase/Codepage.h"
#include "zanit-import/Entpacken.h"
#include "zanit-import/Fortschritt.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Aufruf:\n"
    "  zanit-import ding DATEI --out PFAD.DBF [--password TEXT] [--textm NAME] [--textf NAME] [--width N]\n"
    "  zanit-import freedict INDEX DATEN.dict.dz --out PFAD.DBF --textm NAME --textf NAME [--swap]\n"
    "               [--password TEXT] [--width N]\n"
    "  ding       Wortliste \"Deutsch :: Englisch\" (UTF-8); Sprachnamen Vorgabe Deutsch / Englisch\n"
    "  freedict   dictd-Datenbank (.index und .dict oder .dict.dz)\n"
    "  --textm    Name der Sprache 1 (bestimmt die Faltung von WI1)\n"
    "  --textf    Name der Sprache 2 (bestimmt die Faltung von WI2)\n"
    "  --swap     die Übersetzungen werden Sprache 1 (aus Latein-Deutsch wird Deutsch-Latein)\n"
    "  --password Passwort der Tabelle (Vorgabe: das Wörterbuchpasswort)\n"
    "  --width    Breite von W1/W2, 1..254 (Vorgabe: der längste Text, höchstens 254)\n";

int Usage(const std::string& problem) { return zanit_tools::UsageFailure(std::cerr, "zanit-import", problem, kUsage); }

struct Aufruf {
    std::vector<std::string> dateien;
    std::string out, textM, textF, password{zanit::kWoerterbuchPasswort};
    int width = 0;
    bool swap = false;
};

// Parses the options after the command; returns an error text or empty.
std::string LeseArgumente(int argc, char** argv, Aufruf& a) {
    zanit_tools::ArgReader args(argc, argv, 2);
    while (!args.Done()) {
        const std::string arg = args.Next();
        if (arg == "--out") {
            if (!args.ValueInto(a.out) || a.out.empty()) return "--out ohne Pfad";
        } else if (arg == "--textm") {
            if (!args.ValueInto(a.textM) || a.textM.empty()) return "--textm ohne Namen";
        } else if (arg == "--textf") {
            if (!args.ValueInto(a.textF) || a.textF.empty()) return "--textf ohne Namen";
        } else if (arg == "--password") {
            if (!args.ValueInto(a.password)) return "--password ohne Text";
        } else if (arg == "--swap") {
            a.swap = true;
        } else if (arg == "--width") {
            if (std::string problem = zanit_tools::ReadNumber(args, arg, 1, zanit::kTextfeldLaengeMax, a.width);
                !problem.empty())
                return problem;
        } else if (!zanit_tools::IsLongOption(arg)) {
            a.dateien.push_back(arg);
        } else {
            return "unbekanntes Argument: " + arg;
        }
    }
    if (a.out.empty()) return "--out fehlt";
    return {};
}

// The writer builds the table aside and replaces the files at the destination only when it is complete, so a
// failed import leaves an existing dictionary untouched. Records go to it as they are read; the width of the
// text fields is the longest text unless --width names one.
std::unique_ptr<zanit::TWoerterbuchbau> NeuerBau(const Aufruf& a) {
    const fs::path target = fs::absolute(a.out);
    fs::create_directories(target.parent_path());
    zanit::WoerterbuchOptionen options;
    options.passwort = xbase::Utf8ToCp1252(a.password);
    options.passendeBreite = a.width == 0;
    if (a.width > 0) options.textLaenge = a.width;
    return std::make_unique<zanit::TWoerterbuchbau>(target.string(), xbase::Utf8ToCp1252(a.textM),
                                                    xbase::Utf8ToCp1252(a.textF), options);
}

std::function<void(zanit::ImportEintrag&&)> In(zanit::TWoerterbuchbau& bau) {
    return [&bau](zanit::ImportEintrag&& e) { bau.Hinzufuegen({std::move(e.w1), std::move(e.w2), e.wa, 0, 0}); };
}

// "zanit-import: 3 fehlerhafte Zeilen übersprungen (10, 11, 40)"
void MeldeStellen(std::size_t anzahl, const std::vector<std::size_t>& erste, const std::string& was) {
    if (anzahl == 0) return;
    std::cerr << "zanit-import: " << anzahl << " " << was << " übersprungen (";
    for (std::size_t i = 0; i < erste.size(); ++i) std::cerr << (i ? ", " : "") << erste[i];
    std::cerr << (anzahl > erste.size() ? ", ...)\n" : ")\n");
}

int Abschluss(const char* what, const Aufruf& a, const zanit::ImportBericht& bericht, zanit::TWoerterbuchbau& bau) {
    MeldeStellen(bericht.fehlerhaft, bericht.fehlerhafteStellen, std::string("fehlerhafte ") + what);
    MeldeStellen(bericht.zuGross.anzahl, bericht.zuGross.erste,
                 std::string(what) + " über der Grenze einer Zeile (" + std::to_string(zanit::kZeileMaxBytes) +
                     " Bytes, " + std::to_string(zanit::kPaareJeZeileMax) + " Einträge)");
    MeldeStellen(bericht.steuerzeichen.anzahl, bericht.steuerzeichen.erste,
                 std::string(what) + " mit Steuerzeichen");
    if (bericht.nichtAbbildbar > 0)
        std::cerr << "zanit-import: " << bericht.nichtAbbildbar
                  << " Zeichen ohne Entsprechung in Windows-1252, als \"?\" übernommen\n";
    if (bau.Anzahl() == 0) {
        std::cerr << "zanit-import: keine Einträge gefunden, keine Tabelle geschrieben\n";
        return 1;
    }
    bau.Abschliessen();
    const int width = bau.TextBreite();
    std::cout << bau.Anzahl() << " Einträge aus " << bericht.gelesen << " " << what << " nach " << a.out
              << " geschrieben (Textbreite " << width << ", " << bericht.fehlerhaft << " fehlerhaft, "
              << bericht.nichtAbbildbar << " Zeichen nicht abbildbar)\n";
    if (bau.Gekuerzt() > 0)
        std::cerr << "zanit-import: Warnung: " << bau.Gekuerzt() << " Einträge auf " << width << " Zeichen gekürzt\n";
    return 0;
}

int Ding(int argc, char** argv) {
    Aufruf a;
    a.textM = "Deutsch";
    a.textF = "Englisch";
    if (const std::string problem = LeseArgumente(argc, argv, a); !problem.empty()) return Usage(problem);
    if (a.dateien.size() != 1) return Usage("ding erwartet genau eine Datei");
    if (a.swap) return Usage("--swap gilt nur für freedict");
    std::ifstream in(a.dateien[0], std::ios::binary);
    if (!in) {
        std::cerr << "zanit-import: " << a.dateien[0] << ": kann nicht geöffnet werden\n";
        return 1;
    }
    std::error_code ec;
    const std::uint64_t size = fs::file_size(a.dateien[0], ec);
    const auto bau = NeuerBau(a);
    zanit::ImportBericht bericht;
    {
        zanit_import::Fortschrittsbalken bar("Lesen");
        zanit::LeseDing(in, In(*bau), bericht, [&](std::uint64_t done) { bar.Zeige(done, ec ? 0 : size); });
    }
    if (in.bad()) {
        std::cerr << "zanit-import: " << a.dateien[0] << ": Lesefehler\n";
        return 1;
    }
    return Abschluss("Zeilen", a, bericht, *bau);
}

int FreeDict(int argc, char** argv) {
    Aufruf a;
    if (const std::string problem = LeseArgumente(argc, argv, a); !problem.empty()) return Usage(problem);
    if (a.dateien.size() != 2) return Usage("freedict erwartet die Indexdatei und die Datendatei");
    if (a.textM.empty() || a.textF.empty()) return Usage("--textm und --textf sind nötig");
    std::ifstream indexFile(a.dateien[0], std::ios::binary);
    if (!indexFile) {
        std::cerr << "zanit-import: " << a.dateien[0] << ": kann nicht geöffnet werden\n";
        return 1;
    }
    zanit::ImportBericht indexBericht;
    const std::vector<zanit::DictdVerweis> index = zanit::LeseDictdIndex(indexFile, indexBericht);
    MeldeStellen(indexBericht.fehlerhaft, indexBericht.fehlerhafteStellen, "fehlerhafte Indexzeilen");
    MeldeStellen(indexBericht.zuGross.anzahl, indexBericht.zuGross.erste,
                 "Indexzeilen über " + std::to_string(zanit::kZeileMaxBytes) + " Bytes");
    const std::string data = zanit_import::LeseDatendatei(a.dateien[1]);
    const auto bau = NeuerBau(a);
    zanit::ImportBericht bericht;
    {
        zanit_import::Fortschrittsbalken bar("Lesen");
        zanit::LeseFreeDict(index, data, a.swap, In(*bau), bericht,
                            [&](std::uint64_t done, std::uint64_t total) { bar.Zeige(done, total); });
    }
    return Abschluss("Artikel", a, bericht, *bau);
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto done = zanit_tools::AnswerWithoutCommand(argc, argv, "zanit-import", kUsage, std::cout, std::cerr))
        return *done;
    const std::string_view command = argv[1];
    try {
        if (command == "ding") return Ding(argc, argv);
        if (command == "freedict") return FreeDict(argc, argv);
        return Usage("unbekannter Befehl: " + std::string(command));
    } catch (const std::exception& e) {
        std::cerr << "zanit-import: " << e.what() << "\n";
        return 1;
    }
}
