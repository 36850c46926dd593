// Child process of the crash test: transfers entries into a collection for ever, now and then into a lesson
// it adds, and writes "ok TEXT" to standard output after every transfer that returned.
//   trainer_transfer_child FOLDER DATEI SEED [KILLSTEP]
// With KILLSTEP the process kills itself at that write, sync or rename of the file replacement layer.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "trainer/Dateiersatz.h"
#include "trainer/Uebertragung.h"

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string ordner = argv[1], datei = argv[2], seed = argv[3];
    if (argc > 4) zanit::SetzeAbbruchstelle(std::atol(argv[4]));
    std::mt19937 zufall(static_cast<unsigned>(std::stoul(seed)));
    for (long i = 1;; ++i) {
        zanit::TSammlung s;
        s.Waehlen(ordner, datei);
        if (!s.lektionstabelle || s.liste.empty()) {
            std::fprintf(stderr, "collection not readable\n");
            return 3;
        }
        int lektion = 0;
        if (zufall() % 4 == 0) lektion = s.NeueLektion("L" + seed + "-" + std::to_string(i));
        if (lektion == 0) lektion = s.liste[zufall() % s.liste.size()].first;
        const std::string text = "K" + seed + "-" + std::to_string(i);
        zanit::TVokabelziel ziel(s);
        if (ziel.Oeffnen() != zanit::TUebernahmeStatus::Bereit) {
            std::fprintf(stderr, "open failed: %s\n", ziel.Fehlertext().c_str());
            return 4;
        }
        const auto status = ziel.Speichern(lektion, zanit::MachVokabel(text, "word", "Deutsch", "Englisch", 2, {}));
        if (status != zanit::TUebernahmeStatus::Gespeichert) {
            std::fprintf(stderr, "transfer failed: %s\n", ziel.Fehlertext().c_str());
            return 5;
        }
        std::printf("ok %s\n", text.c_str());
        std::fflush(stdout);
    }
}
