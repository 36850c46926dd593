#pragma once
// The utility unit: typed access to the settings store below HKEY_LOCAL_MACHINE and small text helpers.
// All texts are Windows-1252 bytes. Registry access never throws: readers fall back to their default,
// writers report failure through their result only.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

enum class RegRoot { LocalMachine };

// The product key; append "Dictionary" (settings and dictionary sections) or "Vocabulary" (trainer).
inline constexpr std::string_view kProduktSchluessel = "\\Software\\MORAV\\zanit\\";   // + "Dictionary" / "Vocabulary"

// Readers: the key opened is `basis` with a trailing backslash added when missing, followed by `schluessel`.
// Text: the stored text; empty, missing, other type or unopenable key gives `vorgabe`.
std::string RegTextLesen(RegRoot root, std::string_view basis, std::string_view schluessel, std::string_view vorgabe, std::string_view name);
// Integer: a DWORD as is; otherwise the value read as text, trimmed, converted with ZahlAusText (a text that
// does not convert gives 0); an empty or missing value or an unopenable key gives `vorgabe`.
int  RegZahlLesen(RegRoot root, std::string_view basis, std::string_view schluessel, int vorgabe, std::string_view name);
// Boolean: a DWORD is true when non-zero; otherwise the text converted with ZahlAusText: 1 true, 0 false, any
// other number `vorgabe`. A missing value in an existing key reads as false; only a missing key gives `vorgabe`.
bool RegSchalterLesen(RegRoot root, std::string_view basis, std::string_view schluessel, bool vorgabe, std::string_view name);

// Writers: open the key with creation allowed and write; true on success, false on any failure.
bool RegTextSchreiben(RegRoot root, std::string_view basis, std::string_view schluessel, std::string_view wert, std::string_view name);
bool RegZahlSchreiben(RegRoot root, std::string_view basis, std::string_view schluessel, int wert, std::string_view name);
bool RegSchalterSchreiben(RegRoot root, std::string_view basis, std::string_view schluessel, bool wert, std::string_view name);  // DWORD 1 or 0

std::vector<std::string> RegUnterschluesselLesen(RegRoot root, std::string_view pfad);  // subkey names; empty on any error
bool RegSchluesselLoeschen(RegRoot root, std::string_view pfad);                         // key and its subkeys

// Empty stays empty; otherwise the platform's path separator is appended unless the text already ends with
// one ("\" on Windows; "/" or "\" on POSIX, where "/" is appended).
std::string MitBackslash(std::string_view text);
// The whole text as a signed 32-bit integer: leading blanks, optional "+" or "-", decimal digits or hex digits
// after "$", "x", "X", "0x" or "0X". Empty text, trailing blanks or any other character fail.
int ZahlAusText(std::string_view text);            // 0 when the conversion fails
bool ZahlAusText(std::string_view text, int& wert); // false when it fails (wert = 0)
// Deletes every occurrence of `teil`, repeating until none is left (an empty `teil` changes nothing).
std::string AlleEntfernen(std::string_view text, std::string_view teil);

// The local calendar date of `t` as days since 1970-01-01; `sekunde` (optional) gets the seconds into that day.
long long LokalerTag(std::time_t t, long long* sekunde = nullptr);

}  // namespace zanit
