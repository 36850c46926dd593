#pragma once
// The hit list model that the search walk fills and the window's list and the lookup tool display: one line
// per word and part of speech, "source|translations|part-of-speech name" (Windows-1252), each with its
// part-of-speech code as item data, plus the counts of the last walk.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zanit {

class Trefferliste {
public:
    struct Zeile {
        std::string text;
        int wortart = 0;
    };

    // Removes every line. The storage of the lines is kept for the next walk.
    void Leeren() { anzahl_ = 0; }
    // Appends "quelle|uebersetzungen|wortartname" with item data `code`.
    void Hinzufuegen(std::string_view quelle, std::string_view uebersetzungen, std::string_view wortartname,
                     int code);
    // Appends a line of any shape.
    void Hinzufuegen(std::string_view text, int code);
    // Appends an empty line with item data `code` and returns its text for the caller to fill (walks build
    // the line in place; its storage is kept from walk to walk).
    std::string& NeueZeile(int code);

    std::size_t Anzahl() const { return anzahl_; }
    bool Leer() const { return anzahl_ == 0; }
    const Zeile& operator[](std::size_t i) const { return zeilen_[i]; }
    const std::string& Text(std::size_t i) const { return zeilen_[i].text; }
    int Wortart(std::size_t i) const { return zeilen_[i].wortart; }

    // Records counted and lines added by the last walk; they persist until the next one.
    int Trefferzahl = 0;
    int Zeilenzahl = 0;

private:
    Zeile& Neue();

    std::vector<Zeile> zeilen_;
    std::size_t anzahl_ = 0;
};

// Column n (0-based) of a hit line.
std::string_view Spalte(std::string_view zeile, int n);

}  // namespace zanit
