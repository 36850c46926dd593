#include "base/Katalog.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "xbase/Codepage.h"
#include "xbase/Table.h"

namespace zanit {

namespace {

// Part-of-speech code 0..11 → catalogue number and German default.
constexpr std::array<KatalogEintrag, WortartAnzahl> WortartTabelle{
    KatalogEintrag{1100, "keine Zuordnung"},
    KatalogEintrag{1101, "Verb"},
    KatalogEintrag{1102, "Substantiv"},
    KatalogEintrag{1103, "Adjektiv"},
    KatalogEintrag{1104, "Adverb"},
    KatalogEintrag{1105, "Pronomen"},
    KatalogEintrag{1106, "Präposition"},
    KatalogEintrag{1107, "Konjunktion"},
    KatalogEintrag{1108, "Numeral"},
    KatalogEintrag{1109, "Artikel"},
    KatalogEintrag{1110, "Interjektion"},
    KatalogEintrag{1111, "Redewendung"},
};

// Language code 1..6 ("DEFISL") → catalogue number and German default.
constexpr std::array<KatalogEintrag, SprachcodeAnzahl> SprachcodeTabelle{
    KatalogEintrag{1301, "Deutsch"},
    KatalogEintrag{1302, "Englisch"},
    KatalogEintrag{1304, "Französisch"},
    KatalogEintrag{1305, "Italienisch"},
    KatalogEintrag{1306, "Spanisch"},
    KatalogEintrag{1307, "Latein"},
};

constexpr std::string_view Sprachbuchstaben = "DEFISL";
constexpr std::array<const char*, SprachcodeAnzahl> Eigennamen{
    "Deutsch", "English", "Français", "Italiano", "Español", "Latinum"};

const std::string Leer;

// Blanks and control characters, as the trimming of a text sees them.
bool IstRand(char c) { return static_cast<unsigned char>(c) <= 0x20; }

void ErsetzeAlle(std::string& text, std::string_view was, char durch) {
    // No replacement is '&' or an escape character, so none creates a new escape: one pass from the left
    // finds the same places as a rescan from the start after each replacement would.
    std::string ergebnis;
    ergebnis.reserve(text.size());
    std::size_t von = 0;
    for (std::size_t pos; (pos = text.find(was, von)) != std::string::npos; von = pos + was.size()) {
        ergebnis.append(text, von, pos - von);
        ergebnis += durch;
    }
    ergebnis.append(text, von, std::string::npos);
    text = std::move(ergebnis);
}

}  // namespace

const std::vector<Dialogsprache>& Dialogsprachen() {
    static const std::vector<Dialogsprache> sprachen{
        {'E', "English", 1},  {'F', "Français", 2},   {'I', "Italiano", 3},
        {'S', "Español", 4}, {'N', "Nederlands", 5}, {'V', "Svensk", 6},
    };
    return sprachen;
}

int SprachcodeAusBuchstabe(char buchstabe) {
    const auto pos = Sprachbuchstaben.find(buchstabe);
    return pos == std::string_view::npos ? 1 : static_cast<int>(pos) + 1;
}

std::string Eigenname(int code) {
    if (code < 1 || code > SprachcodeAnzahl) return {};
    return xbase::Utf8ToCp1252(Eigennamen[static_cast<std::size_t>(code - 1)]);
}

std::string ErweitereVorlage(std::string text, std::string_view a1, std::string_view a2, std::string_view a3,
                             std::string_view a4, std::string_view a5) {
    const auto anfang = std::find_if_not(text.begin(), text.end(), IstRand);
    const auto ende = std::find_if_not(text.rbegin(), text.rend(), IstRand).base();
    text = anfang < ende ? std::string(anfang, ende) : std::string();

    ErsetzeAlle(text, "&$", '\r');
    ErsetzeAlle(text, "&_", ' ');
    ErsetzeAlle(text, "&\xA7", '"');  // "&§" in Windows-1252

    // Each argument replaces the first "&#" of the text as it stands, so an "&#" inside an argument is
    // filled by the next one.
    for (std::string_view argument : {a1, a2, a3, a4, a5}) {
        const auto pos = text.find("&#");
        if (pos == std::string::npos) break;
        text = text.substr(0, pos) + std::string(argument) + text.substr(pos + 2);
    }
    return text;
}

TKatalog::TKatalog() : LanguageTable(std::make_unique<xbase::Table>()) {
    LadeWortartnamen();
}

TKatalog::~TKatalog() = default;

void TKatalog::SetzeProgrammordner(std::string ordner) { programmordner_ = std::move(ordner); }

const std::string& TKatalog::Programmordner() const {
    if (!programmordner_) programmordner_ = OrdnerDerAnwendung();
    return *programmordner_;
}

bool TKatalog::Offen() const { return LanguageTable->Active(); }

char TKatalog::Buchstabe() const { return Offen() ? buchstabe_ : 'D'; }

void TKatalog::KatalogOeffnen(char buchstabe) {
    const std::string vorher = Offen() ? LanguageTable->Path() : std::string();
    LanguageTable->Close();
    gewaehlt_ = buchstabe == '\0' ? 'D' : buchstabe;

    // Only a letter or digit can name a catalogue file; anything else (a path separator, a dot, a blank)
    // finds none.
    const bool dateiname = (buchstabe >= 'A' && buchstabe <= 'Z') || (buchstabe >= 'a' && buchstabe <= 'z') ||
                           (buchstabe >= '0' && buchstabe <= '9');
    if (dateiname && buchstabe != 'D') {
        const std::string name = std::string("zanit_") + buchstabe + ".glc";
        std::string ordner = Programmordner();
        if (!ordner.empty() && ordner.back() != '/' && ordner.back() != '\\') ordner += '/';
        ordner += "Data/";
        std::error_code fehler;
        if (std::filesystem::is_regular_file(ordner + name, fehler)) {
            try {
                LanguageTable->SetFolder(ordner);
                LanguageTable->SetFileName(name);
                LanguageTable->SetTableType(xbase::TableType::ttSXNSX);
                LanguageTable->SetExclusive(false);
                LanguageTable->SetReadOnly(true);
                LanguageTable->SetOEMTranslate(false);
                LanguageTable->SetPassword(KatalogPasswort);
                LanguageTable->Open();
                LanguageTable->SetOrder(LanguageTable->TagArea("INR"));
            } catch (const xbase::TableError&) {
                // A catalogue that cannot be opened or ordered leaves German in force.
            }
        }
    }

    knopfsprache_ = 0;
    buchstabe_ = 'D';
    if (Offen()) {
        int ordnung = 0;
        try {
            ordnung = LanguageTable->IndexOrd();
        } catch (const xbase::TableError&) {
        }
        if (ordnung != 0) {
            buchstabe_ = buchstabe;
            for (const auto& sprache : Dialogsprachen())
                if (sprache.buchstabe == buchstabe) knopfsprache_ = sprache.knopfsprache;
        } else {
            LanguageTable->Close();
        }
    }

    if (!Offen() || LanguageTable->Path() != vorher) {
        LadeWortartnamen();
        // Copy first: an observer may register or remove observers.
        const auto beobachter = beobachter_;
        for (const auto& [handle, aufruf] : beobachter) aufruf();
    }
}

bool TKatalog::Suche(int nummer, std::string& text) const {
    if (!Offen()) return false;
    try {
        LanguageTable->Seek(std::to_string(nummer));
        if (LanguageTable->Eof() || LanguageTable->FieldByName("NR").AsInteger() != nummer) return false;
        text = LanguageTable->FieldByName("TEXT").AsString();
        return true;
    } catch (const xbase::TableError&) {
        // A damaged record costs only its own text.
        return false;
    }
}

std::string TKatalog::Text(int nummer, std::string_view deutscherText, std::string_view a1, std::string_view a2,
                           std::string_view a3, std::string_view a4, std::string_view a5) const {
    std::string text;
    if (!Suche(nummer, text)) text = xbase::Utf8ToCp1252(deutscherText);
    return ErweitereVorlage(std::move(text), a1, a2, a3, a4, a5);
}

void TKatalog::LadeWortartnamen() {
    for (std::size_t i = 0; i < WortartTabelle.size(); ++i)
        wortarten_[i] = Text(WortartTabelle[i]);
    for (std::size_t i = 0; i < SprachcodeTabelle.size(); ++i)
        sprachcodes_[i] = Text(SprachcodeTabelle[i]);
}

const std::string& TKatalog::Wortartname(int code) const {
    if (code < 0 || code >= WortartAnzahl) return Leer;
    return wortarten_[static_cast<std::size_t>(code)];
}

const std::string& TKatalog::Sprachcodename(int code) const {
    if (code < 1 || code > SprachcodeAnzahl) return Leer;
    return sprachcodes_[static_cast<std::size_t>(code - 1)];
}

int TKatalog::BeiKatalogwechsel(std::function<void()> beobachter) {
    const int handle = naechsterHandle_++;
    beobachter_.emplace_back(handle, std::move(beobachter));
    return handle;
}

void TKatalog::EntferneBeobachter(int handle) {
    std::erase_if(beobachter_, [handle](const auto& eintrag) { return eintrag.first == handle; });
}

TKatalog& Katalog() {
    static TKatalog katalog;
    return katalog;
}

std::string KatalogText(int nummer, std::string_view deutscherText) {
    return Katalog().Text(nummer, deutscherText);
}

std::string KatalogTextMitArgumenten(int nummer, std::string_view deutscherText, std::string_view a1,
                                     std::string_view a2, std::string_view a3, std::string_view a4,
                                     std::string_view a5) {
    return Katalog().Text(nummer, deutscherText, a1, a2, a3, a4, a5);
}

}  // namespace zanit
