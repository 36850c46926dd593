#include "base/Registry.h"

#include <cstdio>
#include <mutex>

namespace zanit::registry {
namespace {

std::mutex& ReporterMutex() {
    static std::mutex mutex;
    return mutex;
}

Reporter& CurrentReporter() {
    static Reporter reporter;
    return reporter;
}

}  // namespace

void SetReporter(Reporter reporter) {
    std::lock_guard lock(ReporterMutex());
    CurrentReporter() = std::move(reporter);
}

void ReportProblem(std::string_view message) {
    std::lock_guard lock(ReporterMutex());
    if (CurrentReporter()) {
        CurrentReporter()(message);
    } else {
        std::fprintf(stderr, "zanit settings store: %.*s\n", static_cast<int>(message.size()), message.data());
    }
}

}  // namespace zanit::registry
