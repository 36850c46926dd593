#include "online/Hilfe.h"

#include <vector>
#include <system_error>

namespace zanit {

std::filesystem::path Hilfeseite(const std::filesystem::path& programmordner, char buchstabe, int thema) {
    const char* seite = thema == kHilfeKontakt ? "kontakt.html" : "index.html";
    const bool deutsch = buchstabe == 'D' || buchstabe == ' ' || buchstabe == '\0';
    std::error_code ec;
    const std::vector<const char*> sprachen = deutsch ? std::vector<const char*>{"de"} : std::vector<const char*>{"en", "de"};
    for (const char* sprache : sprachen) {
        for (const char* name : {seite, "index.html"}) {
            const std::filesystem::path p = programmordner / "help" / sprache / name;
            if (std::filesystem::is_regular_file(p, ec)) return p;
        }
    }
    return {};
}

}  // namespace zanit
