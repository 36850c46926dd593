#include "trainer/Sammlungsbau.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "trainer/Sammlungen.h"
#include "trainer/Sammlungskopf.h"
#include "xbase/Table.h"

namespace fs = std::filesystem;

namespace zanit {

const char* const kIndexSchema = "DATEI:C:12,SPRACHE:C:30,GRUPPE:C:40,TEXT:C:60";
const char* const kLektionsSchema =
    "NR:N:3,NAME:C:50,KASTEN1:N:6,KASTEN2:N:6,KASTEN3:N:6,KASTEN4:N:6,KASTEN5:N:6,KASTEN6:N:6,KASTEN7:N:6";
const char* const kVokabelSchema =
    "NR:N:10,S1:C:254,S2:C:254,SI1:C:20,SI2:C:20,KAR:N:1,LEK:N:3,ART:N:2,KAT:N:3,"
    "WF1:N:11,WF2:N:11,WF3:N:11,WF4:N:11,WF5:N:11";

namespace {

std::vector<xbase::FieldDef> Felder(const std::string& schema) {
    std::vector<xbase::FieldDef> felder;
    std::size_t a = 0;
    while (a < schema.size()) {
        std::size_t e = schema.find(',', a);
        if (e == std::string::npos) e = schema.size();
        const std::string teil = schema.substr(a, e - a);
        const std::size_t p1 = teil.find(':'), p2 = teil.find(':', p1 + 1);
        xbase::FieldDef f;
        f.name = teil.substr(0, p1);
        f.type = teil[p1 + 1];
        f.length = std::stoi(teil.substr(p2 + 1));
        felder.push_back(f);
        a = e + 1;
    }
    return felder;
}

std::string Pfad(const std::string& ordner, const std::string& name) { return (fs::path(ordner) / fs::path(name)).string(); }

}  // namespace

void LegeSammlungAn(const std::string& ordner, const TNeueSammlung& s) {
    if (s.datei.empty()) throw std::runtime_error("the collection needs a file name");
    if (s.lektionen.size() > static_cast<std::size_t>(kMaxLektionen))
        throw std::runtime_error("a collection holds at most 200 lessons");
    std::error_code fehler;
    fs::create_directories(fs::path(ordner), fehler);
    if (fehler) throw std::runtime_error(ordner + ": " + fehler.message());
    const std::string basis = s.basis.empty() ? s.datei.substr(0, 8) : s.basis;
    // Eight characters leave no room for the lesson table's "L": both tables would get one file.
    if (Lektionstabellenname(basis) + ".dbf" == Vokabeltabellenname(basis))
        throw std::runtime_error("the base name " + basis + " would give the lesson table the vocabulary table's file; use at most 7 characters");

    TSammlungskopf kopf = TSammlungskopf::Neu(basis);
    kopf.SetzeNaechsteNummer(s.naechsteNummer);
    kopf.SetzeLektionszahl(static_cast<std::int32_t>(s.lektionen.size()));
    kopf.SetzeSchutz(s.schreibschutz, s.schutzbenutzer);
    for (std::size_t i = 0; i < s.lektionen.size(); ++i) kopf.SetzeLektionsflag(static_cast<int>(i + 1), true);
    SchreibeKopf(Pfad(ordner, s.datei.substr(0, 8) + ".lvh"), kopf);

    const std::string lektionen = Pfad(ordner, Lektionstabellenname(basis) + ".dbf");
    xbase::Table::Create(lektionen, Felder(kLektionsSchema), {{"INR", "NR"}});
    {
        xbase::Table t;
        t.SetFileName(lektionen);
        t.SetExclusive(true);
        t.SetSyncOnPost(false);
        t.Open();
        for (std::size_t i = 0; i < s.lektionen.size(); ++i) {
            t.AppendBlank();
            t.FieldByName("NR").SetAsInteger(static_cast<long long>(i + 1));
            t.FieldByName("NAME").SetAsString(s.lektionen[i]);
            for (int k = 1; k <= 7; ++k) t.FieldByName("KASTEN" + std::to_string(k)).SetAsInteger(0);
            t.Post();
        }
        t.Close();
    }
    xbase::Table::Create(Pfad(ordner, Vokabeltabellenname(basis)), Felder(kVokabelSchema), {{"INR", "NR"}});

    const std::string index = Pfad(ordner, "INHALT.DBF");
    if (!fs::exists(fs::path(index), fehler)) xbase::Table::Create(index, Felder(kIndexSchema), {{"IDATEI", "DATEI"}});
    xbase::Table t;
    t.SetFileName(index);
    t.SetExclusive(true);
    t.Open();
    t.AppendBlank();
    t.FieldByName("DATEI").SetAsString(s.datei);
    t.FieldByName("SPRACHE").SetAsString(s.sprache);
    t.FieldByName("GRUPPE").SetAsString(s.gruppe);
    t.FieldByName("TEXT").SetAsString(s.text);
    t.Post();
    t.Close();
}

std::string LegeTrainerAn(const std::string& programmordner) {
    std::error_code fehler;
    const fs::path voc = fs::path(programmordner) / "Voc";
    fs::create_directories(voc, fehler);
    if (fehler) throw std::runtime_error(voc.string() + ": " + fehler.message());
    const fs::path programm = fs::path(programmordner) / "zanit.exe";
    if (!fs::exists(programm, fehler)) {
        std::ofstream f(programm, std::ios::binary);
        if (!f) throw std::runtime_error(programm.string() + ": cannot be created");
    }
    return voc.string();
}

}  // namespace zanit
