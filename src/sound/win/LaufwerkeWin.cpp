// Drives on Windows: the present drive letters, the CD-ROM drives among them, and the volume serial of the
// medium in a drive. Stored paths are in the ANSI code page, so the ANSI functions take them as they are.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "sound/Laufwerke.h"

namespace zanit {
namespace {

// No "insert a disk" box from the system while a drive without medium is asked about.
class OhneFehlerbox {
public:
    OhneFehlerbox() : alt_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~OhneFehlerbox() { SetErrorMode(alt_); }
    OhneFehlerbox(const OhneFehlerbox&) = delete;
    OhneFehlerbox& operator=(const OhneFehlerbox&) = delete;

private:
    UINT alt_;
};

class WinLaufwerke : public Laufwerksabfrage {
public:
    explicit WinLaufwerke(std::function<std::string()> mediumOrdner) : mediumOrdner_(std::move(mediumOrdner)) {}

    // Every present drive from A to Z, with the medium folder among them in the order of the roots; only drives of type CD-ROM from C on count as CD
    // drives (A and B are floppy drives, never asked for their medium here).
    std::vector<Laufwerk> LeseLaufwerke() override {
        std::vector<Laufwerk> liste;
        const DWORD maske = GetLogicalDrives();
        for (int i = 0; i < 26; ++i) {
            if (!(maske & (DWORD{1} << i))) continue;
            std::string wurzel = std::string(1, static_cast<char>('A' + i)) + ":\\";
            const bool cd = i >= 2 && GetDriveTypeA(wurzel.c_str()) == DRIVE_CDROM;
            liste.push_back({std::move(wurzel), cd});
        }
        const std::string medium = mediumOrdner_ ? mediumOrdner_() : std::string();
        if (!medium.empty()) {
            const DWORD a = GetFileAttributesA(medium.c_str());
            if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) liste.push_back({medium, true});
        }
        std::stable_sort(liste.begin(), liste.end(),
                         [](const Laufwerk& a, const Laufwerk& b) { return a.wurzel < b.wurzel; });
        return liste;
    }

    std::string LeseDatentraeger(const std::string& wurzel) override {
        if (wurzel.empty()) return kKeinMedium;
        std::string pfad = wurzel;
        if (pfad.back() != '\\' && pfad.back() != '/') pfad += '\\';
        DWORD serie = 0;
        BOOL ok = FALSE;
        if (pfad.size() == 3 && pfad[1] == ':') {
            OhneFehlerbox stumm;
            ok = GetVolumeInformationA(pfad.c_str(), nullptr, 0, &serie, nullptr, nullptr, nullptr, 0);
        } else {
            // A folder standing in for a medium: the serial of the volume it lies on.
            char volume[MAX_PATH + 1] = {};
            OhneFehlerbox stumm;
            ok = GetVolumePathNameA(pfad.c_str(), volume, sizeof volume) &&
                 GetVolumeInformationA(volume, nullptr, 0, &serie, nullptr, nullptr, nullptr, 0);
            if (ok && serie == 0) serie = 1;
        }
        if (!ok || serie == 0) return kKeinMedium;
        char text[16];
        std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(serie));
        return text;
    }

private:
    std::function<std::string()> mediumOrdner_;
};

}  // namespace

std::unique_ptr<Laufwerksabfrage> SystemLaufwerke(std::function<std::string()> mediumOrdner) {
    return std::make_unique<WinLaufwerke>(std::move(mediumOrdner));
}

}  // namespace zanit
