#pragma once
// The entry presentation as the main window meets it: the part-of-speech filter with its dialog, label and
// buttons, the details dialog of the reverse search, and the copy command of the hit list.
#include <QPointer>

#include "app/widgets/Erweiterungen.h"
#include "presentation/Wortartfilter.h"

namespace zanit {

class TWAFilterDialog;
class TWBAnzeigeDialog;

class TFilteranschluss : public Wortartfilter {
public:
    bool Vorhanden() const override { return true; }
    int Filter() const override { return zustand_.Code(); }
    void FilterZuruecksetzen() override { zustand_.Zuruecksetzen(); }
    void FilterStatusAnwenden(TWBuchDialog& w) override;
    void FilterAnClick(TWBuchDialog& w) override;
    void FilterAusClick(TWBuchDialog& w) override;
    void FilterMMClick(TWBuchDialog& w) override;
    void FilterLabelClick(TWBuchDialog& w) override;

    TWAFilterDialog* Dialog(TWBuchDialog& w);

private:
    void Befehl(TWBuchDialog& w, void (TFilterzustand::*befehl)(Filterfenster&));
    TFilterzustand zustand_;
    QPointer<TWAFilterDialog> dialog_;
};

class TDetailanschluss : public Eintragsdetails {
public:
    bool Vorhanden() const override { return true; }
    void Umkehrsuche(TWBuchDialog& w) override;
    void Kopieren(TWBuchDialog& w) override;

    TWBAnzeigeDialog* Dialog(TWBuchDialog& w);

private:
    QPointer<TWBAnzeigeDialog> dialog_;
};

// Installs both into the window's extensions (before the main window is created).
void DarstellungEinsetzen();

}  // namespace zanit
