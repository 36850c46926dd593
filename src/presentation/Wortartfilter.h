#pragma once
// The part-of-speech filter: one code that limits the hit list to the dictionary records of that part of
// speech (0 = none), the commands that set, clear and toggle it, the search they run again and what the
// filter label and buttons show. The window side is reached through Filterfenster, so the rules run without
// a display.
#include <string>

namespace zanit {

inline constexpr int kKeinFilter = 0;
inline constexpr int kHoechsteWortart = 11;  // codes 1..11 can be chosen; 0 ("keine Zuordnung") cannot

// What the filter label and buttons show for a code.
struct Filteranzeige {
    std::string label;                    // "Wortartfilter: Verb" (Windows-1252)
    int normal = 3, heiss = 4, gedrueckt = 5;  // faces of the multi-language filter button in "Buttons.bml"
    std::string hinweis;                  // hint of that button
    bool ausAktiv = false;                // the classic layout's "Filter aus" button
};
Filteranzeige FilterAnzeige(int code);

// The main window as the filter commands use it.
class Filterfenster {
public:
    virtual ~Filterfenster() = default;
    // Shows the filter dialog modally with `code` selected; false on Cancel. On OK `code` holds the index of
    // the chosen item (-1 when none is selected).
    virtual bool FilterDialog(int& code) = 0;
    // The trimmed text of the active search field (Windows-1252).
    virtual std::string Suchtext() const = 0;
    // Fills the hit list again for the search field's text: incremental (100 hits, abortable, field kept) or
    // full (200 hits, busy cursor, field may be rewritten); the hit label follows when it shows a count.
    virtual void NeuSuchen(bool inkrementell) = 0;
    virtual bool LetzteSucheInkrementell() const = 0;
    virtual bool ListeLeer() const = 0;
    virtual void KeineTrefferMelden() = 0;       // message 30105
    virtual void SuchfeldMarkieren() = 0;        // select the whole search field and focus it
    virtual void Anzeigen(const Filteranzeige& anzeige) = 0;
};

class TFilterzustand {
public:
    int Code() const { return code_; }
    // Back to no filter without searching (start-up, another language in multi-language mode).
    void Zuruecksetzen() { code_ = kKeinFilter; }

    void Setzen(Filterfenster& f);        // the dialog, then the search when the code changed
    void Aufheben(Filterfenster& f);      // no filter, searching again in the mode of the last search
    void Umschalten(Filterfenster& f);    // clear when set, else set
    // A click on the filter label: nothing while the hit list is empty; else toggle in multi-language mode
    // and the dialog in the classic layout.
    void LabelKlick(Filterfenster& f, bool mehrsprachig);
    void StatusZeigen(Filterfenster& f) const { f.Anzeigen(FilterAnzeige(code_)); }

private:
    int code_ = kKeinFilter;
};

}  // namespace zanit
