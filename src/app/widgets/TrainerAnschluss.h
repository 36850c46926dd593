#pragma once
// The vocabulary trainer's joint to the main window: the train-entry command with what it needs of the
// window (hit list, direction, open dictionary), the trainer detection at start, and the reset of its flags
// whenever another dictionary opens.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "app/widgets/Erweiterungen.h"
#include "trainer/widgets/WBUebernahme.h"

namespace zanit {

class TTrainerAnschluss : public Trainer {
public:
    bool Vorhanden() const override { return true; }
    void TrainerErkennen() override { uebernahme_.TrainerErkennen(); }
    void WoerterbuchGeoeffnet() override { uebernahme_.WoerterbuchGeoeffnet(); }
    void Uebernehmen(TWBuchDialog& fenster) override;

    TTrainerUebernahme& Uebernahme() { return uebernahme_; }
    // Where the card's sound numbers come from (the sound lookup of the data module); none while unset.
    std::function<std::array<std::int32_t, 5>(TWBuchDialog&, const std::string& text, int wortart)> Tonnummern;

private:
    TTrainerUebernahme uebernahme_;
};

}  // namespace zanit
