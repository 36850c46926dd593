#include "data/Woerterbuchdatei.h"

#include <atomic>

namespace zanit {

namespace {
std::atomic<bool> g_lateinisch{false};
}  // namespace

bool IstLateinischerDateiname(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\");
    const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    return !name.empty() && (name.front() == 'L' || name.front() == 'l');
}

void SetzeWoerterbuchdatei(std::string_view path) { SetzeLateinischesWoerterbuch(IstLateinischerDateiname(path)); }

void SetzeLateinischesWoerterbuch(bool latin) { g_lateinisch.store(latin, std::memory_order_relaxed); }

bool IstLateinischesWoerterbuch() { return g_lateinisch.load(std::memory_order_relaxed); }

}  // namespace zanit
