#include "data/Datendialog.h"

namespace zanit {

namespace {
Wartecursor g_keinCursor;
TonmediumSuche g_keineSuche;
}  // namespace

TDatendialog::TDatendialog() : wartecursor_(&g_keinCursor), tonmedium_(&g_keineSuche) {
    xbase::RegisterTagDefinition("IWI1", "WI1");
    xbase::RegisterTagDefinition("IWI2", "WI2");
    xbase::RegisterTagDefinition("INR", "NR");
    xbase::RegisterTagDefinition("IDATEI", "DATEI");
    xbase::Table::ErrorLevel(0);
    BuchDatei.SetRecordCache(kWoerterbuchZwischenspeicher);
}

void TDatendialog::SetzeWartecursorAnzeige(Wartecursor* anzeige) {
    wartecursor_ = anzeige ? anzeige : &g_keinCursor;
}

void TDatendialog::SetzeTonmediumSuche(TonmediumSuche* suche) { tonmedium_ = suche ? suche : &g_keineSuche; }

}  // namespace zanit
