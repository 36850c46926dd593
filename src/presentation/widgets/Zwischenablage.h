#pragma once
// Copying a translation to the system clipboard: the core's Windows-1252 text is handed over as Unicode
// plain text, so umlauts and the euro sign arrive intact in other programs. The clipboard is emptied first.
#include <string_view>

namespace zanit {

void InZwischenablage(std::string_view cp1252);

}  // namespace zanit
