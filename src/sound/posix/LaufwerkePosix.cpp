// Drives on Linux: the mount table of the process, the block devices' removable flag, optical drives in
// /sys/block, and the file system id as the volume serial.
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/Woerterbuecher.h"
#include "sound/Laufwerke.h"

namespace zanit {

namespace {

namespace fs = std::filesystem;

// Mount points escape blanks and a few other bytes as \ooo.
std::string Entschluesselt(const std::string& s) {
    std::string aus;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && s.size() - i >= 4 && std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2])) && std::isdigit(static_cast<unsigned char>(s[i + 3]))) {
            aus.push_back(static_cast<char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0')));
            i += 3;
        } else {
            aus.push_back(s[i]);
        }
    }
    return aus;
}

std::string Erste(const fs::path& p) {
    std::ifstream f(p);
    std::string zeile;
    std::getline(f, zeile);
    return zeile;
}

// The whole disk of a partition device: sdb1 -> sdb, nvme0n1p2 -> nvme0n1, mmcblk0p1 -> mmcblk0.
std::string Geraet(const std::string& name) {
    if (fs::exists("/sys/block/" + name)) return name;
    std::string n = name;
    while (!n.empty() && std::isdigit(static_cast<unsigned char>(n.back()))) n.pop_back();
    if (!n.empty() && n.back() == 'p' && fs::exists("/sys/block/" + n.substr(0, n.size() - 1))) n.pop_back();
    return n;
}

bool Wechselmedium(const std::string& geraet, const std::string& typ) {
    if (typ == "iso9660" || typ == "udf") return true;
    if (geraet.rfind("/dev/", 0) != 0) return false;
    const std::string name = Geraet(fs::path(geraet).filename().string());
    if (name.rfind("sr", 0) == 0) return true;
    return Erste("/sys/block/" + name + "/removable") == "1";
}

class PosixLaufwerke : public Laufwerksabfrage {
public:
    explicit PosixLaufwerke(std::function<std::string()> mediumOrdner) : mediumOrdner_(std::move(mediumOrdner)) {}

    std::vector<Laufwerk> LeseLaufwerke() override {
        std::vector<Laufwerk> liste;
        std::vector<std::string> gemountet;
        std::ifstream mounts("/proc/self/mounts");
        std::string zeile;
        while (std::getline(mounts, zeile)) {
            std::istringstream z(zeile);
            std::string geraet, punkt, typ;
            if (!(z >> geraet >> punkt >> typ)) continue;
            punkt = Entschluesselt(punkt);
            liste.push_back({punkt, Wechselmedium(geraet, typ)});
            gemountet.push_back(Geraet(fs::path(geraet).filename().string()));
        }
        // Optical drives without a medium.
        std::error_code fehler;
        for (const fs::directory_entry& e : fs::directory_iterator("/sys/block", fehler)) {
            const std::string name = e.path().filename().string();
            if (name.rfind("sr", 0) == 0 && std::find(gemountet.begin(), gemountet.end(), name) == gemountet.end())
                liste.push_back({"", true});
        }
        const std::string medium = mediumOrdner_ ? mediumOrdner_() : std::string();
        const std::string ordner = Dateisystempfad(medium);
        if (!ordner.empty() && fs::is_directory(ordner, fehler)) liste.push_back({medium, true});
        std::stable_sort(liste.begin(), liste.end(),
                         [](const Laufwerk& a, const Laufwerk& b) { return a.wurzel < b.wurzel; });
        return liste;
    }

    std::string LeseDatentraeger(const std::string& wurzel) override {
        if (wurzel.empty()) return kKeinMedium;
        const std::string pfad = Dateisystempfad(wurzel);
        struct statvfs v {};
        struct stat s {};
        if (statvfs(pfad.c_str(), &v) != 0 || stat(pfad.c_str(), &s) != 0 || !S_ISDIR(s.st_mode)) return kKeinMedium;
        unsigned long serie = static_cast<unsigned long>(v.f_fsid) & 0xFFFFFFFFul;
        if (serie == 0) serie = static_cast<unsigned long>(s.st_dev) & 0xFFFFFFFFul;
        if (serie == 0) serie = 1;
        char text[16];
        std::snprintf(text, sizeof text, "%08lX", serie);
        return text;
    }

private:
    std::function<std::string()> mediumOrdner_;
};

}  // namespace

std::unique_ptr<Laufwerksabfrage> SystemLaufwerke(std::function<std::string()> mediumOrdner) {
    return std::make_unique<PosixLaufwerke>(std::move(mediumOrdner));
}

}  // namespace zanit
