#pragma once
// A fresh folder below the system's temporary folder, removed with its contents at the end of the test.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

class TempOrdner {
public:
    TempOrdner() {
        std::string muster = (std::filesystem::temp_directory_path() / "katalogXXXXXX").string();
        if (mkdtemp(muster.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
        pfad_ = muster;
    }
    ~TempOrdner() {
        std::error_code fehler;
        std::filesystem::remove_all(pfad_, fehler);
    }
    TempOrdner(const TempOrdner&) = delete;
    TempOrdner& operator=(const TempOrdner&) = delete;
    const std::filesystem::path& Pfad() const { return pfad_; }

private:
    std::filesystem::path pfad_;
};
