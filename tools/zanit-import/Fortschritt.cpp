#include "zanit-import/Fortschritt.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace zanit_import {

Fortschrittsbalken::Fortschrittsbalken(std::string label) : label_(std::move(label)), terminal_(isatty(2) == 1) {}

Fortschrittsbalken::~Fortschrittsbalken() { Ende(); }

void Fortschrittsbalken::Zeige(std::uint64_t done, std::uint64_t total) {
    if (!terminal_ || total == 0) return;
    const int percent = static_cast<int>(std::min<std::uint64_t>(done, total) * 100 / total);
    if (percent == shown_) return;
    shown_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%-10s [%.*s%*s] %3d%%", label_.c_str(), filled,
                 "########################################", kWidth - filled, "", percent);
    std::fflush(stderr);
}

void Fortschrittsbalken::Ende() {
    if (terminal_ && shown_ >= 0) std::fputc('\n', stderr);
    shown_ = -1;
}

}  // namespace zanit_import
