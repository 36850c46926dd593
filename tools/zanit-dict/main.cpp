// zanit-dict: builds a dictionary table from a word list.
//   zanit-dict build SOURCE.tsv --out PATH.DBF --textm NAME --textf NAME [--password TEXT] [--width N]
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "common/Args.h"
#include "search/Woerterbuchbau.h"
#include "xbase/Codepage.h"
#include "zanit-dict/Quelle.h"

namespace {

constexpr const char* kUsage =
    "Aufruf: zanit-dict build QUELLE.tsv --out PFAD.DBF --textm NAME --textf NAME [--password TEXT] [--width N]\n"
    "  QUELLE.tsv  UTF-8, eine Zeile je Wortpaar: W1 <Tab> W2 <Tab> WA [<Tab> WW1 [<Tab> WW2]]\n"
    "  --textm     Name der Sprache 1 (bestimmt die Faltung von WI1), z. B. Deutsch\n"
    "  --textf     Name der Sprache 2 (bestimmt die Faltung von WI2), z. B. Englisch\n"
    "  --password  Passwort der Tabelle (Vorgabe: das Wörterbuchpasswort)\n"
    "  --width     Breite von W1/W2, 1..254 (Vorgabe: der längste Text der Quelle)\n";

int Usage(const std::string& problem) { return zanit_tools::UsageFailure(std::cerr, "zanit-dict", problem, kUsage); }

int Build(int argc, char** argv) {
    std::string source, out, textM, textF, password(zanit::kWoerterbuchPasswort);
    bool haveTextM = false, haveTextF = false;
    int width = 0;
    zanit_tools::ArgReader args(argc, argv, 2);
    while (!args.Done()) {
        const std::string arg = args.Next();
        if (arg == "--out") {
            if (!args.ValueInto(out)) return Usage("--out ohne Pfad");
        } else if (arg == "--textm") {
            if (!args.ValueInto(textM)) return Usage("--textm ohne Namen");
            haveTextM = true;
        } else if (arg == "--textf") {
            if (!args.ValueInto(textF)) return Usage("--textf ohne Namen");
            haveTextF = true;
        } else if (arg == "--password") {
            if (!args.ValueInto(password)) return Usage("--password ohne Text");
        } else if (arg == "--width") {
            const std::string problem = zanit_tools::ReadNumber(args, arg, 1, zanit::kTextfeldLaengeMax, width);
            if (!problem.empty()) return Usage(problem);
        } else if (!zanit_tools::IsLongOption(arg) && source.empty()) {
            source = arg;
        } else {
            return Usage("unbekanntes Argument: " + arg);
        }
    }
    if (source.empty()) return Usage("keine Quelldatei angegeben");
    if (out.empty()) return Usage("--out fehlt");
    if (!haveTextM || !haveTextF) return Usage("--textm und --textf sind nötig");

    // Read everything first: a bad line must not leave a half-written table behind.
    const std::vector<zanit::Woerterbucheintrag> records = zanit_dict::LeseQuelldatei(source);
    zanit::WoerterbuchOptionen options;
    options.passwort = xbase::Utf8ToCp1252(password);
    options.textLaenge = width > 0 ? width : zanit::PassendeTextlaenge(records);
    zanit::TWoerterbuchbau bau(out, xbase::Utf8ToCp1252(textM), xbase::Utf8ToCp1252(textF), options);
    for (const zanit::Woerterbucheintrag& e : records) bau.Hinzufuegen(e);
    bau.Abschliessen();
    std::cout << bau.Anzahl() << " Einträge nach " << out << " geschrieben (Textbreite " << options.textLaenge
              << ")\n";
    if (bau.Gekuerzt() > 0)
        std::cerr << "zanit-dict: Warnung: " << bau.Gekuerzt() << " Einträge auf " << options.textLaenge
                  << " Zeichen gekürzt\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto done = zanit_tools::AnswerWithoutCommand(argc, argv, "zanit-dict", kUsage, std::cout, std::cerr))
        return *done;
    const std::string_view command = argv[1];
    if (command != "build") return Usage("unbekannter Befehl: " + std::string(command));
    try {
        return Build(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "zanit-dict: " << e.what() << "\n";
        return 1;
    }
}
