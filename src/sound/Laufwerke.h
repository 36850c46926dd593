#pragma once
// The drive table of the sound medium search: the media the system has mounted, the "CD drives" among them
// (optical and removable media, and the installation's sound medium folder) and whether a drive holds a
// readable medium. Behind an interface so that tests can present media roots of their own.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zanit {

// The serial text of a drive without a readable medium.
inline constexpr const char* kKeinMedium = "00000000";

struct Laufwerk {
    std::string wurzel;  // root folder of the medium (stored spelling); empty for a drive without medium
    bool cd = false;     // optical or removable: searched for sound media
};

class Laufwerksabfrage {
public:
    virtual ~Laufwerksabfrage() = default;
    // The present drives in the order of their roots (LeseLaufwerke).
    virtual std::vector<Laufwerk> LeseLaufwerke() = 0;
    // The volume serial of the medium at `wurzel` as 8 upper-case hexadecimal digits; kKeinMedium when
    // nothing readable is there (LeseDatentraeger).
    virtual std::string LeseDatentraeger(const std::string& wurzel) = 0;
};

// The system's drives. The folder `mediumOrdner` gives at each reading (the installation's sound medium path,
// may be empty) counts as one more CD drive while it is a folder.
std::unique_ptr<Laufwerksabfrage> SystemLaufwerke(std::function<std::string()> mediumOrdner);

}  // namespace zanit
