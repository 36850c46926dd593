#pragma once
// A private settings store for one test: ZANIT_REGISTRY and XDG_CONFIG_HOME point into a fresh temporary
// folder and are restored afterwards.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace settings_test {

class TempHive {
public:
    TempHive() {
        char pattern[] = "/tmp/zanit-settings-XXXXXX";
        root_ = mkdtemp(pattern);
        std::filesystem::create_directories(root_ / "machine");
        std::filesystem::create_directories(root_ / "config");
        Save("ZANIT_REGISTRY", savedRegistry_);
        Save("XDG_CONFIG_HOME", savedConfig_);
        setenv("ZANIT_REGISTRY", Machine().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }
    ~TempHive() {
        Restore("ZANIT_REGISTRY", savedRegistry_);
        Restore("XDG_CONFIG_HOME", savedConfig_);
        std::error_code ignored;
        std::filesystem::permissions(root_ / "machine", std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TempHive(const TempHive&) = delete;
    TempHive& operator=(const TempHive&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::string Machine() const { return (root_ / "machine" / "machine.reg").string(); }
    std::string Overlay() const { return (root_ / "config" / "zanit" / "machine.reg").string(); }

    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const std::string& file, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

private:
    static void Save(const char* name, std::optional<std::string>& slot) {
        if (const char* value = std::getenv(name)) slot = value;
    }
    static void Restore(const char* name, const std::optional<std::string>& slot) {
        if (slot) setenv(name, slot->c_str(), 1);
        else unsetenv(name);
    }

    std::filesystem::path root_;
    std::optional<std::string> savedRegistry_;
    std::optional<std::string> savedConfig_;
};

}  // namespace settings_test
