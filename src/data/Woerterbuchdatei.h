#pragma once
// Facts about the open dictionary's table file that both the dictionary database (which opens it) and the
// search keys (which tidy its entries) need: the password of installed dictionaries and the Latin flag.
#include <string_view>

namespace zanit {

// The password every installed dictionary table is written and opened with.
inline constexpr std::string_view kWoerterbuchPasswort = "qT#4m2-w";

// The open dictionary's table file, told by the dictionary database whenever a dictionary opens (empty when
// none is open). A dictionary whose file name (without folder) begins with "L" or "l" is a Latin dictionary,
// which BereinigeEintrag needs to know. Folders may be separated by "/" or "\".
void SetzeWoerterbuchdatei(std::string_view path);
// The Latin flag directly (tests, tools).
void SetzeLateinischesWoerterbuch(bool latin);
bool IstLateinischesWoerterbuch();
// Whether a table file name makes a Latin dictionary.
bool IstLateinischerDateiname(std::string_view path);

}  // namespace zanit
