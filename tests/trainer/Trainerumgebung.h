#pragma once
// Test helpers: a trainer installation in a private temporary folder (its own machine hive), collections
// made as the trainer makes them, and reading back what a transfer wrote.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Utils.h"
#include "trainer/Sammlungen.h"
#include "trainer/Sammlungsbau.h"
#include "trainer/Uebertragung.h"
#include "xbase/Table.h"

namespace zanit::test {

// A collection made as the trainer makes it (texts Windows-1252).
inline void NeueSammlung(const std::string& ordner, const std::string& datei, const std::string& sprache,
                         const std::string& gruppe, const std::string& text, std::vector<std::string> lektionen,
                         std::int32_t naechste = 1, const std::string& basis = {}) {
    TNeueSammlung s;
    s.datei = datei;
    s.basis = basis;
    s.sprache = sprache;
    s.gruppe = gruppe;
    s.text = text;
    s.lektionen = std::move(lektionen);
    s.naechsteNummer = naechste;
    LegeSammlungAn(ordner, s);
}

class Trainerumgebung {
public:
    Trainerumgebung() {
        std::string muster = (std::filesystem::temp_directory_path() / "zanit-voc-XXXXXX").string();
        if (!mkdtemp(muster.data())) throw std::runtime_error("mkdtemp failed");
        wurzel_ = muster;
        std::filesystem::create_directories(wurzel_ / "config");
        setenv("ZANIT_REGISTRY", (wurzel_ / "machine.reg").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (wurzel_ / "config").c_str(), 1);
        programm_ = (wurzel_ / "Trainer").string();
        ordner_ = LegeTrainerAn(programm_) + "/";
    }
    ~Trainerumgebung() {
        std::error_code fehler;
        std::filesystem::remove_all(wurzel_, fehler);
    }
    Trainerumgebung(const Trainerumgebung&) = delete;
    Trainerumgebung& operator=(const Trainerumgebung&) = delete;

    const std::string& Ordner() const { return ordner_; }  // the collection folder, trailing "/"
    const std::string& Programmordner() const { return programm_; }
    std::string Wurzel() const { return wurzel_.string(); }
    void Registrieren(const std::string& wert) const {
        if (!RegTextSchreiben(RegRoot::LocalMachine, kProduktSchluessel, "Vocabulary", wert, "Program"))
            throw std::runtime_error("registry write refused");
    }

    void Sammlung(const std::string& datei, const std::string& sprache, const std::string& gruppe,
                  const std::string& text, std::vector<std::string> lektionen = {"Erste", "Zweite"},
                  std::int32_t naechste = 1, const std::string& basis = {}) const {
        NeueSammlung(ordner_, datei, sprache, gruppe, text, std::move(lektionen), naechste, basis);
    }

private:
    std::filesystem::path wurzel_;
    std::string programm_, ordner_;
};

// Every file of a folder (not below it) with its bytes: "nothing changed" compares two of these.
inline std::map<std::string, std::string> Dateibestand(const std::string& ordner) {
    std::map<std::string, std::string> bestand;
    for (const auto& e : std::filesystem::directory_iterator(ordner)) {
        if (!e.is_regular_file()) {
            bestand[e.path().filename().string()] = "<folder>";
            continue;
        }
        std::ifstream f(e.path(), std::ios::binary);
        bestand[e.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    return bestand;
}

// One vocabulary record as text.
struct Vokabelsatz {
    long long nr = 0, lek = 0, kar = 0, art = 0, kat = 0;
    std::string s1, s2, si1, si2;
    std::array<long long, 5> wf{};
};

inline std::vector<Vokabelsatz> LeseVokabeln(const std::string& ordner, const std::string& basis) {
    xbase::Table t;
    t.SetFolder(ordner);
    t.SetFileName(Vokabeltabellenname(basis));
    t.SetReadOnly(true);
    t.Open();
    std::vector<Vokabelsatz> saetze;
    for (t.First(); !t.Eof(); t.Skip(1)) {
        Vokabelsatz v;
        v.nr = t.FieldByName("NR").AsInteger();
        v.lek = t.FieldByName("LEK").AsInteger();
        v.kar = t.FieldByName("KAR").AsInteger();
        v.art = t.FieldByName("ART").AsInteger();
        v.kat = t.FieldByName("KAT").AsInteger();
        v.s1 = t.FieldByName("S1").AsString();
        v.s2 = t.FieldByName("S2").AsString();
        v.si1 = t.FieldByName("SI1").AsString();
        v.si2 = t.FieldByName("SI2").AsString();
        for (int i = 0; i < 5; ++i) v.wf[i] = t.FieldByName("WF" + std::to_string(i + 1)).AsInteger();
        saetze.push_back(v);
    }
    return saetze;
}

// The lesson table's records in physical order: number, name, box 1.
struct Lektionssatz {
    long long nr = 0;
    std::string name;
    long long kasten1 = 0;
};

inline std::vector<Lektionssatz> LeseLektionstabelle(const std::string& ordner, const std::string& basis) {
    xbase::Table t;
    t.SetFolder(ordner);
    t.SetFileName(Lektionstabellenname(basis) + ".dbf");
    t.SetReadOnly(true);
    t.Open();
    std::vector<Lektionssatz> saetze;
    for (t.First(); !t.Eof(); t.Skip(1))
        saetze.push_back({t.FieldByName("NR").AsInteger(), t.FieldByName("NAME").AsString(),
                          t.FieldByName("KASTEN1").AsInteger()});
    return saetze;
}

}  // namespace zanit::test
