#include <windows.h>

#include <string>

#include "base/Katalog.h"

namespace zanit {

std::string OrdnerDerAnwendung() {
    char pfad[MAX_PATH];
    const DWORD laenge = GetModuleFileNameA(nullptr, pfad, MAX_PATH);
    if (laenge == 0 || laenge >= MAX_PATH) return ".\\";
    std::string ordner(pfad, laenge);
    const auto pos = ordner.find_last_of("\\/");
    ordner.erase(pos == std::string::npos ? 0 : pos + 1);
    return ordner.empty() ? ".\\" : ordner;
}

}  // namespace zanit
