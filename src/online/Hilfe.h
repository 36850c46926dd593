#pragma once
// The help pages: our own HTML pages in "help/de/" and "help/en/" below the program folder. German for the
// built-in dialog language, English for every other one (German where the English page is missing).
#include <filesystem>

namespace zanit {

// Help topics the program opens.
inline constexpr int kHilfeInhalt = 0;     // the contents
inline constexpr int kHilfeKontakt = 3001;  // the contact page

// The page for `thema` in dialog language `buchstabe` ('D' or blank: German); empty when no page is there.
// Topics without a page of their own open the contents.
std::filesystem::path Hilfeseite(const std::filesystem::path& programmordner, char buchstabe, int thema);

}  // namespace zanit
