#pragma once
// The rules around the news picture that need no window: the clickable areas of "INFO_W.DAT", the name of
// the archive on the server and when the picture is due to be fetched again.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

inline constexpr int kKeineInfo = 999;     // info number when "noinfo" is on the command line
inline constexpr int kMaxInfobereiche = 6;  // clickable areas of one picture

// One clickable area, relative to the picture's top left corner; the address in Windows-1252 bytes.
struct TInfobereich {
    int links = 0, oben = 0, breite = 0, hoehe = 0;
    std::string adresse;
};

// The areas of an "INFO_W.DAT" text: per line left, top, width, height and the address, separated by commas,
// blanks around each part ignored; a number part that is not a number counts 0; the address is everything
// after the fourth comma, commas included. Lines with fewer than four commas or an empty address are
// skipped; at most kMaxInfobereiche areas.
std::vector<TInfobereich> LeseInfobereiche(std::string_view text);

// The archive's file name: `vorsilbe`, the last three digits of the info number (leading zeros), ".gz".
std::string Infoarchivname(std::string_view vorsilbe, int infoNummer);

// A download is due when the picture is missing or `jetzt` lies more than 14.0 days after midnight (local
// time) of the picture's file date `dateizeit`.
bool InfobildFaellig(bool vorhanden, std::time_t dateizeit, std::time_t jetzt);

}  // namespace zanit
