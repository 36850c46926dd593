#pragma once
// Test helpers: a private temporary folder that also holds the machine hive (ZANIT_REGISTRY) and the user
// overlay (XDG_CONFIG_HOME), and dictionary sections written into that hive.

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Utils.h"
#include "data/Woerterbuecher.h"
#include "search/Woerterbuchbau.h"

namespace zanit::test {

class Testumgebung {
public:
    Testumgebung() {
        std::string muster = (std::filesystem::temp_directory_path() / "zanit-walk-XXXXXX").string();
        if (!mkdtemp(muster.data())) throw std::runtime_error("mkdtemp failed");
        ordner_ = muster;
        std::filesystem::create_directories(ordner_ / "config");
        setenv("ZANIT_REGISTRY", Hive().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (ordner_ / "config").c_str(), 1);
    }
    ~Testumgebung() {
        std::error_code fehler;
        std::filesystem::remove_all(ordner_, fehler);
    }
    Testumgebung(const Testumgebung&) = delete;
    Testumgebung& operator=(const Testumgebung&) = delete;

    std::string Pfad(std::string_view name) const { return (ordner_ / name).string(); }
    std::string Hive() const { return Pfad("machine.reg"); }

    // Writes a value of a dictionary section (Windows-1252 texts).
    static void Setze(std::string_view abschnitt, std::string_view name, std::string_view wert) {
        if (!RegTextSchreiben(RegRoot::LocalMachine, Einstellungsschluessel(), abschnitt, wert, name)) {
            throw std::runtime_error("registry write refused");
        }
    }
    // A value of the settings key itself ("CD", "Section", "Program", ...).
    static void SetzeEinstellung(std::string_view name, std::string_view wert) {
        if (!RegTextSchreiben(RegRoot::LocalMachine, std::string(kProduktSchluessel), "Dictionary", wert, name)) {
            throw std::runtime_error("registry write refused");
        }
    }

    // Writes a dictionary table and registers it under `abschnitt`; returns the table path.
    std::string Woerterbuch(std::string_view abschnitt, std::string_view datei, std::string_view textM,
                            std::string_view textF, const std::vector<Woerterbucheintrag>& eintraege) {
        const std::string pfad = Pfad(datei);
        SchreibeWoerterbuch(pfad, textM, textF, eintraege);
        Setze(abschnitt, "Dictionary", pfad);
        Setze(abschnitt, "TextM", textM);
        Setze(abschnitt, "TextF", textF);
        return pfad;
    }

private:
    std::filesystem::path ordner_;
};

}  // namespace zanit::test
