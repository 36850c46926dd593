// The settings store on Windows: HKEY_LOCAL_MACHINE through advapi32. The ANSI calls use the system code
// page, which is Windows-1252 on the systems the program is made for.
#include <windows.h>

#include <algorithm>

#include "base/Registry.h"

namespace zanit::registry {
namespace {

std::string WindowsPath(std::string_view path) {
    std::string full;
    if (!NormalizeKeyPath(path, full)) return {};
    return full.size() > kMachineRoot.size() ? full.substr(kMachineRoot.size() + 1) : std::string();
}

class WinKey final : public Key {
public:
    WinKey(HKEY key, bool writable) : key_(key), writable_(writable) {}
    ~WinKey() override { RegCloseKey(key_); }
    WinKey(const WinKey&) = delete;
    WinKey& operator=(const WinKey&) = delete;

    ValueType TypeOf(std::string_view name) const override {
        DWORD type = 0;
        if (RegQueryValueExA(key_, std::string(name).c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
            return ValueType::None;
        if (type == REG_SZ || type == REG_EXPAND_SZ) return ValueType::String;
        if (type == REG_DWORD) return ValueType::Dword;
        return ValueType::Other;
    }

    std::optional<std::string> ReadString(std::string_view name) const override {
        const std::string n(name);
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        std::string text(size, '\0');
        if (size > 0 &&
            RegQueryValueExA(key_, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
            return std::nullopt;
        text.resize(std::min<std::size_t>(size, text.size()));
        if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
        return text;
    }

    std::optional<std::uint32_t> ReadDword(std::string_view name) const override {
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegQueryValueExA(key_, std::string(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD)
            return std::nullopt;
        return value;
    }

    std::vector<std::string> ValueNames() const override {
        std::vector<std::string> names;
        char name[16384];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumValueA(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    std::vector<std::string> SubkeyNames() const override {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    bool WriteString(std::string_view name, std::string_view text) override {
        if (!writable_) return false;
        const std::string value(text);
        return RegSetValueExA(key_, std::string(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }

    bool WriteDword(std::string_view name, std::uint32_t value) override {
        if (!writable_) return false;
        const DWORD data = value;
        return RegSetValueExA(key_, std::string(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data) == ERROR_SUCCESS;
    }

    bool WriteValues(const std::vector<ValueWrite>& values) override {
        bool all = true;
        for (const auto& v : values) {
            if (v.keepExisting && TypeOf(v.name) != ValueType::None) continue;
            all = (v.type == ValueType::Dword ? WriteDword(v.name, v.dword) : WriteString(v.name, v.text)) && all;
        }
        return all;
    }

private:
    HKEY key_;
    bool writable_;
};

}  // namespace

std::unique_ptr<Key> OpenKey(std::string_view path, Access access) {
    std::string full;
    if (!NormalizeKeyPath(path, full)) return nullptr;
    const std::string relative = WindowsPath(path);
    HKEY key = nullptr;
    if (access == Access::Read) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, relative.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
        return std::make_unique<WinKey>(key, false);
    }
    if (relative.empty()) return nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<WinKey>(key, true);
}

bool DeleteKey(std::string_view path) {
    std::string full;
    if (!NormalizeKeyPath(path, full)) return false;
    const std::string relative = WindowsPath(path);
    if (relative.empty()) return false;
    return RegDeleteTreeA(HKEY_LOCAL_MACHINE, relative.c_str()) == ERROR_SUCCESS;  // the key itself included
}

bool WriteValues(std::string_view path, const std::vector<ValueWrite>& values) {
    for (const auto& v : values)
        if (!StorableValue(v)) return false;
    auto key = OpenKey(path, Access::Write);
    return key && key->WriteValues(values);
}

bool ReplaceKey(std::string_view path, const std::vector<ValueWrite>& values) {
    std::string full;
    if (!NormalizeKeyPath(path, full) || WindowsPath(path).empty()) return false;
    for (const auto& v : values)
        if (!StorableValue(v)) return false;
    const LSTATUS gone = RegDeleteTreeA(HKEY_LOCAL_MACHINE, WindowsPath(path).c_str());
    if (gone != ERROR_SUCCESS && gone != ERROR_FILE_NOT_FOUND) return false;
    auto key = OpenKey(path, Access::Write);
    return key && key->WriteValues(values);
}

}  // namespace zanit::registry
