#pragma once
// The UI text catalogue: every visible text has a number and a German default written at the call site,
//
//     KatalogText(98050, "Es ist kein Wörterbuch installiert!")
//
// German is built in; for the other dialog languages the texts come from the read-only, password-protected
// table "Data/zanit_<letter>.glc" below the program folder (fields NR and TEXT, tag INR).
//
// Encoding contract:
//  - the German default is a UTF-8 source literal. Keep number and default literal at the call site (also
//    in wrappers named KatalogText... or KText..., and as KatalogEintrag{n, "..."} in tables):
//    i18n/catalogue.py extracts every pair of src/ (target zanit-pot writes i18n/zanit.pot), and a test fails
//    when one number has two defaults or i18n/zanit_E.po lacks a number or carries an old default. A new
//    text therefore needs its entry in i18n/zanit_E.po (msgctxt number, msgid default, msgstr English);
//  - arguments of KatalogTextMitArgumenten are Windows-1252, like every text of the core;
//  - the result is Windows-1252 (convert with xbase::Cp1252ToUtf8 at the edge of the window).
//
// Part-of-speech names and language names exist only here; everyone else reads them through
// Wortartname(code), Sprachcodename(code), Eigenname(code), SprachcodeAusBuchstabe(letter) and
// Dialogsprachen(). All of this runs on the user-interface thread only.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xbase {
class Table;
}

namespace zanit {

// A catalogue number with its German default (UTF-8), for tables of texts. Spell every entry out as
// KatalogEintrag{1101, "Verb"} so that the extractor finds the pair.
struct KatalogEintrag {
    int nummer;
    const char* deutsch;
};

// Number of part-of-speech codes (0..11, the dictionary field WA) and of language codes (1..6, "DEFISL").
inline constexpr int WortartAnzahl = 12;
inline constexpr int SprachcodeAnzahl = 6;

// Password of every catalogue file.
inline constexpr const char* KatalogPasswort = "quiltmakers";

// A dialog language the options dialog may offer: its letter, its own name (UTF-8) and the language number
// of the painted button box (1 English ... 6 Swedish; German is 0).
struct Dialogsprache {
    char buchstabe;
    const char* name;
    int knopfsprache;
};
// E English, F Français, I Italiano, S Español, N Nederlands, V Svensk, in this order.
const std::vector<Dialogsprache>& Dialogsprachen();

// Language code 1..6 of a letter by its position in "DEFISL"; any other letter counts as German (1).
int SprachcodeAusBuchstabe(char buchstabe);
// The own name of language code 1..6: "Deutsch", "English", "Français", "Italiano", "Español", "Latinum"
// (Windows-1252); empty outside 1..6.
std::string Eigenname(int code);

// Folder of the running executable, with a trailing separator (the default program folder).
std::string OrdnerDerAnwendung();

// One catalogue with its table, the button-box language and the name tables that depend on it. The process
// uses the one instance Katalog(); tests may build their own.
class TKatalog {
public:
    TKatalog();
    ~TKatalog();
    TKatalog(const TKatalog&) = delete;
    TKatalog& operator=(const TKatalog&) = delete;

    // Root of "Data/" (with or without trailing separator). Default: OrdnerDerAnwendung(), looked up only when
    // it is first needed, so that a tool that sets its own folder spares the look-up.
    void SetzeProgrammordner(std::string ordner);
    const std::string& Programmordner() const;

    // Select the dialog language: letter 'D' or '\0' means the built-in German texts; otherwise
    // Data/zanit_<letter>.glc is opened when present. Errors are swallowed (German stays in force). When the
    // open catalogue changed (also to "none"), the name tables are refilled and every registered observer
    // runs (the main window applies its texts there). Reopening the same catalogue notifies nobody.
    void KatalogOeffnen(char buchstabe);
    bool Offen() const;
    // Letter of the open catalogue; 'D' when none is open.
    char Buchstabe() const;
    // The dialog language letter last asked for, also when it has no catalogue ('D' for '\0').
    char GewaehlterBuchstabe() const { return gewaehlt_; }
    // Language of the painted button boxes: 0 German, 1 English, 2 French, 3 Italian, 4 Spanish, 5 Dutch,
    // 6 Swedish. 0 whenever no catalogue is open.
    int Knopfsprache() const { return knopfsprache_; }

    // Lookup and template expansion; see KatalogTextMitArgumenten below.
    std::string Text(int nummer, std::string_view deutscherText, std::string_view a1 = {},
                     std::string_view a2 = {}, std::string_view a3 = {}, std::string_view a4 = {},
                     std::string_view a5 = {}) const;
    std::string Text(const KatalogEintrag& eintrag) const { return Text(eintrag.nummer, eintrag.deutsch); }

    // Refill the part-of-speech names (catalogue 1100..1111) and language code names (1301..1307).
    void LadeWortartnamen();
    // Name of part-of-speech code 0..11 (Windows-1252); empty for any other code.
    const std::string& Wortartname(int code) const;
    // Name of language code 1..6 ("Deutsch", "Englisch", ... in the dialog language); empty otherwise.
    const std::string& Sprachcodename(int code) const;

    // Observers of a change of the open catalogue. The handle removes the observer again.
    int BeiKatalogwechsel(std::function<void()> beobachter);
    void EntferneBeobachter(int handle);

private:
    bool Suche(int nummer, std::string& text) const;

    std::unique_ptr<xbase::Table> LanguageTable;
    mutable std::optional<std::string> programmordner_;
    char buchstabe_ = 'D';
    char gewaehlt_ = 'D';
    int knopfsprache_ = 0;
    std::array<std::string, WortartAnzahl> wortarten_;
    std::array<std::string, SprachcodeAnzahl> sprachcodes_;
    std::vector<std::pair<int, std::function<void()>>> beobachter_;
    int naechsterHandle_ = 1;
};

// The process-wide catalogue.
TKatalog& Katalog();

// Template expansion on a Windows-1252 text: trim blanks and control characters at both ends; "&$" becomes
// a carriage return, "&_" a blank, "&§" a double quotation mark; then up to five "&#" are filled in turn
// with a1..a5, each time the first "&#" of the current text (an empty argument removes its placeholder; a
// sixth "&#" stays).
std::string ErweitereVorlage(std::string text, std::string_view a1 = {}, std::string_view a2 = {},
                             std::string_view a3 = {}, std::string_view a4 = {}, std::string_view a5 = {});

// Text `nummer` of the process-wide catalogue, else the German default; expanded without arguments.
std::string KatalogText(int nummer, std::string_view deutscherText);
inline std::string KatalogText(const KatalogEintrag& eintrag) { return KatalogText(eintrag.nummer, eintrag.deutsch); }
// Text `nummer` of the process-wide catalogue, else the German default; expanded with a1..a5
// (Windows-1252). Often a1 is the product word "zanit": "&#-Wörterbuch" becomes "zanit-Wörterbuch".
std::string KatalogTextMitArgumenten(int nummer, std::string_view deutscherText, std::string_view a1 = {},
                                     std::string_view a2 = {}, std::string_view a3 = {},
                                     std::string_view a4 = {}, std::string_view a5 = {});

// Shorthands on the process-wide catalogue.
inline void KatalogOeffnen(char buchstabe) { Katalog().KatalogOeffnen(buchstabe); }
inline void LadeWortartnamen() { Katalog().LadeWortartnamen(); }
inline const std::string& Wortartname(int code) { return Katalog().Wortartname(code); }
inline const std::string& Sprachcodename(int code) { return Katalog().Sprachcodename(code); }
inline int Knopfsprache() { return Katalog().Knopfsprache(); }

}  // namespace zanit
