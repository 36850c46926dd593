#pragma once
// The rules of the options dialog that need no display: which dialog languages it offers, how high it is,
// which letter the marked language entry stands for, and how the confirmed values enter the settings.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/Einstellungen.h"

namespace zanit {

// Heights of the options dialog without and with the language group.
inline constexpr int kOptionenHoeheOhneSprachen = 390;
inline constexpr int kOptionenHoeheMitSprachen = 445;
// The delay field and its spin buttons.
inline constexpr int kVerzoegerungMin = 50;
inline constexpr int kVerzoegerungMax = 9999;

// One entry of the language list: entry 0 is "(Standard)" (its text comes from the catalogue, `name` is
// empty), entry 1 "Deutsch", then each further language whose catalogue file is present.
struct Sprachangebot {
    char buchstabe = 'D';
    std::string name;  // UTF-8
};

struct Sprachliste {
    std::vector<Sprachangebot> eintraege;
    int markiert = -1;
    // The language group is shown only when there is a real choice and changes are allowed.
    bool sichtbar = false;
    int Hoehe() const { return sichtbar ? kOptionenHoeheMitSprachen : kOptionenHoeheOhneSprachen; }
};

// The catalogue file of a dialog language: "<program folder>/Data/zanit_<letter>.glc".
std::string Katalogdatei(std::string_view programmordner, char buchstabe);

// The list as the dialog shows it: empty when `noLanguageChange`; otherwise "(Standard)" (marked unless the
// current letter has a catalogue that is offered), "Deutsch", and the languages whose file exists.
Sprachliste BaueSprachliste(std::string_view programmordner, bool noLanguageChange, char aktuell);

// The letter of the marked entry: 'D' for entry 0, else the first character of its text; "Español" gives
// 'S' and "Svensk" 'V'.
char BuchstabeAusEintrag(int index, std::string_view text);

// What the dialog hands back on OK.
struct Optionswerte {
    bool hotkeysAn = true;
    std::array<int, 3> kuerzel{};  // HotKey, HotKey1, HotKey2
    bool direktsuche = true;
    std::string verzoegerung;      // the delay field's text
    std::string fontname;          // Windows-1252
    int fontsize = 8;
    bool autostart = false;
    bool tray = false;
    bool keinSprachhinweis = false;
    bool keinEndhinweis = false;
    bool sprachenSichtbar = false;
    char buchstabe = 'D';          // meaningful only while the language list is shown
};

// The delay in milliseconds of the field's text: the number, 0 when the text is not one.
int VerzoegerungAusText(std::string_view text);

// The values the dialog shows for these settings.
Optionswerte OptionswerteAus(const Einstellungen& e, bool hotkeysAktiv, const std::array<int, 3>& kuerzel);

// Confirmed values into the settings (hotkeys and language letter excepted: they take effect first).
void OptionswerteUebernehmen(const Optionswerte& o, Einstellungen& e);

// The dialog language letter after OK: the marked entry's while the list is shown, else 'D'.
char NeuerDialogbuchstabe(const Optionswerte& o);

}  // namespace zanit
