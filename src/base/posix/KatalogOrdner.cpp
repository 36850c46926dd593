#include <filesystem>
#include <system_error>

#include "base/Katalog.h"

namespace zanit {

std::string OrdnerDerAnwendung() {
    std::error_code fehler;
    const auto programm = std::filesystem::read_symlink("/proc/self/exe", fehler);
    if (fehler) return "./";
    std::string ordner = programm.parent_path().string();
    if (ordner.empty() || ordner.back() != '/') ordner += '/';
    return ordner;
}

}  // namespace zanit
