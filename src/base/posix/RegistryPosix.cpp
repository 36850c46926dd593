// The settings store on POSIX: the machine hive file plus the per-user overlay that takes what the machine
// hive refuses and that reads consult first.
#include <sys/stat.h>

#include <cerrno>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_set>

#include "base/Registry.h"
#include "base/posix/HiveFile.h"

namespace zanit::registry {
namespace {

struct Store {
    HiveFile machine;
    std::optional<HiveFile> overlay;  // none when it would be the machine hive itself
    bool overlayMissing = false;      // no overlay file when the store was looked up
};

// `a` first: the overlay, which mostly does not exist, spares the second look-up. `aMissing` tells so.
bool SameFile(const std::string& a, const std::string& b, bool& aMissing) {
    aMissing = false;
    if (a == b) return true;
    struct stat sa {}, sb {};
    const bool aExists = ::stat(a.c_str(), &sa) == 0;
    aMissing = !aExists && errno == ENOENT;
    if (aExists) {
        if (::stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
        return false;
    }
    auto lexically = [&] {
        return std::filesystem::absolute(a).lexically_normal() == std::filesystem::absolute(b).lexically_normal();
    };
    if (a.empty() || b.empty() || a[0] != '/' || b[0] != '/') return lexically();
    // absolute paths: the answer depends on the two texts only, and every read asks it again
    static std::mutex mutex;
    static std::pair<std::string, std::string> asked;
    static bool answer = false;
    std::lock_guard lock(mutex);
    if (asked.first != a || asked.second != b) {
        asked = {a, b};
        answer = lexically();
    }
    return answer;
}

Store CurrentStore() {
    Store store{HiveFile(MachineHivePath()), std::nullopt};
    const std::string overlay = OverlayHivePath();
    if (!overlay.empty() && !SameFile(overlay, store.machine.Path(), store.overlayMissing)) store.overlay.emplace(overlay);
    return store;
}

using HivePtr = std::shared_ptr<const Hive>;

HivePtr LoadOrEmpty(const HiveFile& file) {
    static const HivePtr kEmpty = std::make_shared<const Hive>();
    HivePtr hive = file.Snapshot();
    return hive ? hive : kEmpty;  // unreadable counts as empty for reading; writes never replace it
}

using Change = std::function<bool(Hive&)>;

// Applies a change to the machine hive, or to the overlay when the machine hive refuses it (no permission
// to write). Any other failure (full disk, I/O error, a lock held too long) is reported and fails: the
// overlay must not take half of the settings. `machineWritten` tells which one took it.
bool Apply(Store& store, const Change& change, bool& machineWritten) {
    machineWritten = false;
    bool refused = !store.machine.MayWrite();
    if (!refused) {
        machineWritten = store.machine.Update(change, &refused);
        if (machineWritten) return true;
        if (!refused) return false;
    }
    return store.overlay && store.overlay->MayWrite() && store.overlay->Update(change);
}

// A copy of a shared hive with a change applied: what this key now sees of its own write.
HivePtr Changed(const HivePtr& hive, const Change& change) {
    auto copy = std::make_shared<Hive>(*hive);
    change(*copy);
    return copy;
}

// The key's values and subkeys in the overlay no longer hide what the machine hive was just given.
void Unshadow(Store& store, const Change& unshadow) {
    if (!store.overlay) return;
    Hive current = *LoadOrEmpty(*store.overlay);
    if (unshadow(current) && store.overlay->MayWrite()) store.overlay->Update(unshadow);
}

class PosixKey final : public Key {
public:
    PosixKey(Store store, std::string full, HivePtr machine, HivePtr overlay, bool writable)
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
        if (!KeyExists(*overlay_, full_)) return registry::SubkeyNames(*machine_, full_);  // sorted already
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
        std::vector<ValueWrite> storable;
        for (const auto& v : values)
            if (StorableValue(v)) storable.push_back(v);
        const Change change = [&](Hive& hive) { return SetValues(hive, full_, storable); };
        return Write(storable, change) && storable.size() == values.size();
    }

private:
    const HiveItem* Find(std::string_view name) const {
        for (const Hive* hive : {overlay_.get(), machine_.get()}) {
            if (const HiveKey* key = FindKey(*hive, full_))
                if (const HiveItem* item = FindValue(*key, name)) return item;
        }
        return nullptr;
    }

    template <typename Names>
    std::vector<std::string> Union(Names names) const {
        std::vector<std::string> all = names(*overlay_);
        if (all.empty()) return names(*machine_);
        std::unordered_set<std::string> seen;
        for (const auto& name : all) seen.insert(FoldName(name));
        for (auto& name : names(*machine_))
            if (seen.insert(FoldName(name)).second) all.push_back(std::move(name));
        return all;
    }

    bool Write(const std::vector<ValueWrite>& values, const Change& change) {
        if (!writable_) return false;
        if (values.empty()) return true;
        bool machineWritten = false;
        if (!Apply(store_, change, machineWritten)) return false;
        if (machineWritten) {
            machine_ = Changed(machine_, change);
            // values the machine hive now holds must not stay shadowed by older overlay copies
            const Change unshadow = [&](Hive& hive) {
                bool changed = false;
                for (const ValueWrite& v : values) changed = RemoveValue(hive, full_, v.name) || changed;
                return changed;
            };
            Unshadow(store_, unshadow);
            overlay_ = Changed(overlay_, unshadow);
        } else {
            overlay_ = Changed(overlay_, change);
        }
        return true;
    }

    Store store_;
    std::string full_;
    HivePtr machine_;
    HivePtr overlay_;
    bool writable_;
};

}  // namespace

std::unique_ptr<Key> OpenKey(std::string_view path, Access access) {
    std::string full;
    if (!NormalizeKeyPath(path, full)) return nullptr;
    Store store = CurrentStore();
    HivePtr machine = LoadOrEmpty(store.machine);
    static const HivePtr kEmpty = std::make_shared<const Hive>();
    HivePtr overlay = store.overlay && !store.overlayMissing ? LoadOrEmpty(*store.overlay) : kEmpty;
    const bool exists = KeyExists(*machine, full) || KeyExists(*overlay, full);
    if (access == Access::Read) {
        if (!exists) return nullptr;
        return std::make_unique<PosixKey>(std::move(store), std::move(full), std::move(machine), std::move(overlay), false);
    }
    if (SameName(full, kMachineRoot)) return nullptr;  // values never go directly below the root
    if (!exists) {
        const Change create = [&](Hive& hive) { return CreateKey(hive, full); };
        bool machineWritten = false;
        if (!Apply(store, create, machineWritten)) return nullptr;
        (machineWritten ? machine : overlay) = Changed(machineWritten ? machine : overlay, create);
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
        if (!KeyExists(*LoadOrEmpty(file), full)) return;
        existed = true;
        if (!(file.MayWrite() && file.Update(remove))) gone = false;
    };
    deleteIn(store.machine);
    if (store.overlay) deleteIn(*store.overlay);
    return existed && gone;
}

bool ReplaceKey(std::string_view path, const std::vector<ValueWrite>& values) {
    std::string full;
    if (!NormalizeKeyPath(path, full) || SameName(full, kMachineRoot)) return false;
    for (const auto& v : values)
        if (!StorableValue(v)) return false;
    Store store = CurrentStore();
    const Change replace = [&](Hive& hive) { return ReplaceKey(hive, full, values); };
    bool machineWritten = false;
    if (!Apply(store, replace, machineWritten)) return false;
    if (machineWritten) {
        // an older copy of the key in the overlay would hide values of the new one
        Unshadow(store, [&](Hive& hive) { return RemoveKey(hive, full); });
    }
    return true;
}

bool WriteValues(std::string_view path, const std::vector<ValueWrite>& values) {
    std::string full;
    if (!NormalizeKeyPath(path, full) || SameName(full, kMachineRoot)) return false;
    for (const auto& v : values)
        if (!StorableValue(v)) return false;
    Store store = CurrentStore();
    const Change write = [&](Hive& hive) { return SetValues(hive, full, values) || CreateKey(hive, full); };
    bool machineWritten = false;
    if (!Apply(store, write, machineWritten)) return false;
    if (machineWritten) {
        Unshadow(store, [&](Hive& hive) {
            bool changed = false;
            for (const auto& v : values)
                if (!v.keepExisting) changed = RemoveValue(hive, full, v.name) || changed;
            return changed;
        });
    }
    return true;
}

}  // namespace zanit::registry
