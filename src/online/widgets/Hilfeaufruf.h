#pragma once
// Opens a help page in the desktop's browser.
#include <QString>

namespace zanit {

// The page of `thema` (online/Hilfe.h) for the current dialog language, below the catalogue's program
// folder. False, with the reason in `fehler`, when there is no page or nothing could open it.
bool HilfeOeffnen(int thema, QString* fehler = nullptr);

}  // namespace zanit
