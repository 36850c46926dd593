// The settings store on POSIX: the machine hive file plus the per-user overlay that takes what the machine
// hive refuses and that reads consult first.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "base/Registry.h"
#include "base/posix/HiveFile.h"

namespace zanit::registry {
namespace {

struct Store {
    HiveFile machine;
    std::optional<HiveFile> overlay;  // none when it would be the machine hive itself
};

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return std::filesystem::absolute(a).lexically_normal() == std::filesystem::absolute(b).lexically_normal();
}

Store CurrentStore() {
    Store store{HiveFile(MachineHivePath()), std::nullopt};
    const std::string overlay = OverlayHivePath();
    if (!overlay.empty() && !SameFile(overlay, store.machine.Path())) store.overlay.emplace(overlay);
    return store;
}

Hive LoadOrEmpty(const HiveFile& file) {
    Hive hive;
    if (!file.Load(hive)) hive = Hive{};  // unreadable counts as empty for reading; writes never replace it
    return hive;
}

using Change = std::function<bool(Hive&)>;

// Applies a change to the machine hive, or to the overlay when the machine hive refuses it.
// `machineWritten` tells which one took it.
bool Apply(Store& store, const Change& change, bool& machineWritten) {
    machineWritten = store.machine.MayWrite() && store.machine.Update(change);
    if (machineWritten) return true;
    return store.overlay && store.overlay->MayWrite() && store.overlay->Update(change);
}

class PosixKey final : public Key {
public:
    PosixKey(Store store, std::string full, Hive machine, Hive overlay, bool writable)
        : store_(std::move(store)), full_(std::move(full)), machine_(std::move(machine)), overlay_(std::move(overlay)),
          writable_(writable) {}

    ValueType TypeOf(std::string_view name) const override {
        const HiveItem* item = Find(name);
        return item ? item->type : ValueType::None;
    }

    std::optional<std::string> ReadString(std::string_view name) const override {
        const HiveItem* item = Find(name);
        if (!item || item->type != ValueType::String) return std::nullopt;
        return item->text;
    }

    std::optional<std::uint32_t> ReadDword(std::string_view name) const override {
        const HiveItem* item = Find(name);
        if (!item || item->type != ValueType::Dword) return std::nullopt;
        return item->dword;
    }

    std::vector<std::string> ValueNames() const override {
        return Union([&](const Hive& hive) {
            const HiveKey* key = FindKey(hive, full_);
            return key ? registry::ValueNames(*key) : std::vector<std::string>{};
        });
    }

    std::vector<std::string> SubkeyNames() const override {
        std::vector<std::string> names = Union([&](const Hive& hive) { return registry::SubkeyNames(hive, full_); });
        SortKeyNames(names);
        return names;
    }

    bool WriteString(std::string_view name, std::string_view text) override {
        return WriteValues({ValueWrite{std::string(name), ValueType::String, std::string(text), 0}});
    }

    bool WriteDword(std::string_view name, std::uint32_t value) override {
        return WriteValues({ValueWrite{std::string(name), ValueType::Dword, {}, value}});
    }

    bool WriteValues(const std::vector<ValueWrite>& values) override {
        std::vector<const ValueWrite*> storable;
        for (const auto& v : values)
            if (StorableText(v.name) && (v.type == ValueType::Dword || (v.type == ValueType::String && StorableText(v.text))))
                storable.push_back(&v);
        const Change change = [&](Hive& hive) {
            bool changed = false;
            for (const ValueWrite* v : storable)
                changed = (v->type == ValueType::String ? SetString(hive, full_, v->name, v->text)
                                                        : SetDword(hive, full_, v->name, v->dword)) ||
                          changed;
            return changed;
        };
        return Write(storable, change) && storable.size() == values.size();
    }

private:
    const HiveItem* Find(std::string_view name) const {
        for (const Hive* hive : {&overlay_, &machine_}) {
            if (const HiveKey* key = FindKey(*hive, full_))
                if (const HiveItem* item = FindValue(*key, name)) return item;
        }
        return nullptr;
    }

    template <typename Names>
    std::vector<std::string> Union(Names names) const {
        std::vector<std::string> all = names(overlay_);
        for (auto& name : names(machine_))
            if (std::none_of(all.begin(), all.end(), [&](const std::string& n) { return SameName(n, name); }))
                all.push_back(std::move(name));
        return all;
    }

    bool Write(const std::vector<const ValueWrite*>& values, const Change& change) {
        if (!writable_) return false;
        if (values.empty()) return true;
        bool machineWritten = false;
        if (!Apply(store_, change, machineWritten)) return false;
        change(machineWritten ? machine_ : overlay_);
        if (machineWritten && store_.overlay) {
            // values the machine hive now holds must not stay shadowed by older overlay copies
            const Change unshadow = [&](Hive& hive) {
                bool changed = false;
                for (const ValueWrite* v : values) changed = RemoveValue(hive, full_, v->name) || changed;
                return changed;
            };
            Hive current = LoadOrEmpty(*store_.overlay);
            if (unshadow(current) && store_.overlay->MayWrite()) store_.overlay->Update(unshadow);
            unshadow(overlay_);
        }
        return true;
    }

    Store store_;
    std::string full_;
    Hive machine_;
    Hive overlay_;
    bool writable_;
};

}  // namespace

std::unique_ptr<Key> OpenKey(std::string_view path, Access access) {
    std::string full;
    if (!NormalizeKeyPath(path, full)) return nullptr;
    Store store = CurrentStore();
    Hive machine = LoadOrEmpty(store.machine);
    Hive overlay = store.overlay ? LoadOrEmpty(*store.overlay) : Hive{};
    const bool exists = KeyExists(machine, full) || KeyExists(overlay, full);
    if (access == Access::Read) {
        if (!exists) return nullptr;
        return std::make_unique<PosixKey>(std::move(store), std::move(full), std::move(machine), std::move(overlay), false);
    }
    if (SameName(full, kMachineRoot)) return nullptr;  // values never go directly below the root
    if (!exists) {
        const Change create = [&](Hive& hive) { return CreateKey(hive, full); };
        bool machineWritten = false;
        if (!Apply(store, create, machineWritten)) return nullptr;
        create(machineWritten ? machine : overlay);
    }
    return std::make_unique<PosixKey>(std::move(store), std::move(full), std::move(machine), std::move(overlay), true);
}

bool DeleteKey(std::string_view path) {
    std::string full;
    if (!NormalizeKeyPath(path, full) || SameName(full, kMachineRoot)) return false;
    Store store = CurrentStore();
    const Change remove = [&](Hive& hive) { return RemoveKey(hive, full); };
    bool existed = false;
    bool gone = true;
    auto deleteIn = [&](HiveFile& file) {
        if (!KeyExists(LoadOrEmpty(file), full)) return;
        existed = true;
        if (!(file.MayWrite() && file.Update(remove))) gone = false;
    };
    deleteIn(store.machine);
    if (store.overlay) deleteIn(*store.overlay);
    return existed && gone;
}

}  // namespace zanit::registry
