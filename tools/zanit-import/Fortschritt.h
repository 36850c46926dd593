#pragma once
// A progress bar on standard error, drawn only when standard error is a terminal.
#include <cstdint>
#include <string>

namespace zanit_import {

class Fortschrittsbalken {
public:
    explicit Fortschrittsbalken(std::string label);
    ~Fortschrittsbalken();
    void Zeige(std::uint64_t done, std::uint64_t total);
    void Ende();  // completes the line

private:
    std::string label_;
    bool terminal_;
    int shown_ = -1;  // percent drawn last
};

}  // namespace zanit_import
