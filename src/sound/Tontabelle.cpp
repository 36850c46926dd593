#include "sound/Tontabelle.h"

#include <filesystem>

#include "data/Woerterbuecher.h"
#include "xbase/Table.h"

namespace zanit {

void SchreibeTontabelle(const std::string& pfad, const std::vector<Aufnahme>& aufnahmen) {
    xbase::FieldDef nr{"NR", 'N', 11, 0, false};
    xbase::FieldDef wave{"WAVE", 'M', 10, 0, true};
    xbase::Table::Create(pfad, {nr, wave}, {{"INR", "NR"}});
    xbase::Table t;
    t.SetFileName(pfad);
    t.SetTableType(xbase::TableType::ttSXNSX);
    t.SetExclusive(true);
    t.Open();
    t.SetSyncOnPost(false);
    xbase::Field feldNr = t.FieldByName("NR"), feldWave = t.FieldByName("WAVE");
    for (const Aufnahme& a : aufnahmen) {
        t.AppendBlank();
        feldNr.SetAsInteger(a.nummer);
        feldWave.SetAsString(a.wave);
        t.Post();
    }
    t.Close();
}

void OeffneTontabelle(xbase::Table& tabelle, const std::string& pfad) {
    tabelle.Close();
    const std::filesystem::path p(Dateisystempfad(pfad));
    tabelle.SetFolder(p.parent_path().string());
    tabelle.SetFileName(p.filename().string());
    tabelle.SetTableType(xbase::TableType::ttSXNSX);
    tabelle.SetExclusive(false);
    tabelle.SetReadOnly(true);
    try {
        tabelle.Open();
        const int inr = tabelle.TagArea("INR");
        if (inr == 0) throw xbase::FormatError(pfad, "the sound table has no order INR");
        tabelle.SetOrder(inr);
    } catch (...) {
        tabelle.Close();
        throw;
    }
}

}  // namespace zanit
