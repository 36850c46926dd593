// A transfer on a full disk: a small tmpfs is mounted and filled until only a little room is left; every
// transfer that fails for want of space reports it and leaves each file of the collection as it was, and the
// first one that fits stores a sound entry. Needs the right to mount (root, as in CI).
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "trainer/Trainerumgebung.h"

using namespace zanit;
using namespace zanit::test;

namespace {

class Kleinplatte {
public:
    explicit Kleinplatte(const std::string& ordner) : ordner_(ordner) {
        std::filesystem::create_directories(ordner_);
        if (::mount("tmpfs", ordner_.c_str(), "tmpfs", 0, "size=1m") != 0) fehler_ = std::strerror(errno);
    }
    ~Kleinplatte() {
        if (fehler_.empty()) ::umount2(ordner_.c_str(), MNT_DETACH);
    }
    const std::string& Fehler() const { return fehler_; }

    // Fills the file system, then frees `frei` bytes of the filler again.
    void LasseFrei(std::size_t frei) {
        const std::string fueller = ordner_ + "/fueller";
        std::filesystem::remove(fueller);
        {
            std::ofstream f(fueller, std::ios::binary);
            const std::string block(4096, 'x');
            while (f.write(block.data(), block.size())) {
            }
        }
        const auto groesse = std::filesystem::file_size(fueller);
        std::filesystem::resize_file(fueller, groesse > frei ? groesse - frei : 0);
    }

private:
    std::string ordner_, fehler_;
};

TEST(TrainerVollePlatte, ATransferThatDoesNotFitChangesNothingAndSaysSo) {
    Trainerumgebung u;
    const std::string platte = u.Wurzel() + "/platte";
    Kleinplatte p(platte);
    ASSERT_TRUE(p.Fehler().empty()) << "cannot mount a small tmpfs for the full-disk test: " << p.Fehler();
    const std::string voc = platte + "/Voc/";
    TNeueSammlung neu;
    neu.datei = "ENGL";
    neu.sprache = "Englisch";
    neu.lektionen = {"Eins", "Zwei"};
    LegeSammlungAn(voc, neu);

    int fehlgeschlagen = 0;
    bool gespeichert = false;
    for (std::size_t frei = 0; frei <= 256 * 1024 && !gespeichert; frei += 4096) {
        p.LasseFrei(frei);
        TSammlung s;
        s.Waehlen(voc, "ENGL");
        ASSERT_EQ(s.liste.size(), 2u);
        ASSERT_EQ(s.NeueLektion("Drei"), 3);
        const auto vorher = Dateibestand(voc);
        TVokabelziel ziel(s);
        ASSERT_EQ(ziel.Oeffnen(), TUebernahmeStatus::Bereit);
        const auto status = ziel.Speichern(3, MachVokabel("Haus", "house", "Deutsch", "Englisch", 2, {}));
        if (status == TUebernahmeStatus::Gespeichert) {
            gespeichert = true;
            break;
        }
        ++fehlgeschlagen;
        EXPECT_EQ(status, TUebernahmeStatus::NichtGespeichert) << frei;
        EXPECT_FALSE(ziel.Fehlertext().empty());
        EXPECT_EQ(Dateibestand(voc), vorher) << "with " << frei << " bytes free: " << ziel.Fehlertext();
    }
    EXPECT_GT(fehlgeschlagen, 1);
    ASSERT_TRUE(gespeichert);
    std::filesystem::remove(platte + "/fueller");
    const auto karten = LeseVokabeln(voc, "ENGL");
    ASSERT_EQ(karten.size(), 1u);
    EXPECT_EQ(karten[0].nr, 1);
    const auto lektionen = LeseLektionstabelle(voc, "ENGL");
    ASSERT_EQ(lektionen.size(), 3u);
    EXPECT_EQ(lektionen[2].kasten1, 1);
    EXPECT_EQ(LeseKopf(voc + "ENGL.lvh")->NaechsteNummer(), 2);
}

}  // namespace
