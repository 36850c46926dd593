// A child transfers entries in a loop and is killed with SIGKILL, at random moments and at chosen steps of
// the header and lesson-table replacement. After every kill the collection must be sound: a valid header,
// unique entry numbers, every entry whose transfer returned present, every lesson still there with counts no
// lower than before, and every table accepted by the table tool.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "child_process.h"
#include "trainer/Trainerumgebung.h"

using namespace zanit;
using namespace zanit::test;

namespace {

// Reads what the child wrote until it ends (after the kill its pipe closes).
std::string LeseBisEnde(int fd) {
    std::string text;
    char puffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0) break;
        const ssize_t n = ::read(fd, puffer, sizeof puffer);
        if (n <= 0) break;
        text.append(puffer, static_cast<std::size_t>(n));
    }
    return text;
}

TEST(TrainerCrash, EveryKillLeavesASoundCollection) {
    Trainerumgebung u;
    u.Sammlung("ENGL", "Englisch", "Schule", "Englisch", {"Eins", "Zwei", "Drei"});
    std::mt19937 zufall(20261209);
    std::set<std::string> zurueckgekehrt;
    std::map<long long, long long> kastenVorher = {{1, 0}, {2, 0}, {3, 0}};
    int runden = 0, mitTransfers = 0;
    for (int runde = 0; runde < 220; ++runde) {
        std::vector<std::string> args = {crashtest::BinaryPath("trainer_transfer_child"), u.Ordner(), "ENGL",
                                         std::to_string(runde + 1)};
        const bool schritt = runde % 2 == 0;  // every other round dies at a chosen step of the replacement
        if (schritt) args.push_back(std::to_string(1 + zufall() % 60));
        auto kind = crashtest::Start(args);
        if (!schritt) std::this_thread::sleep_for(std::chrono::microseconds(zufall() % 200000));
        ::kill(kind.pid, SIGKILL);
        const std::string ausgabe = LeseBisEnde(kind.fromChild);
        const int status = crashtest::Finish(kind);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << runde << " status " << status;
        ++runden;
        std::size_t pos = 0;
        int neue = 0;
        while ((pos = ausgabe.find("ok ", pos)) != std::string::npos) {
            const std::size_t ende = ausgabe.find('\n', pos);
            if (ende == std::string::npos) break;  // a line cut by the kill
            zurueckgekehrt.insert(ausgabe.substr(pos + 3, ende - pos - 3));
            pos = ende;
            ++neue;
        }
        if (neue > 0) ++mitTransfers;

        const auto kopf = LeseKopf(u.Ordner() + "ENGL.lvh");
        ASSERT_TRUE(kopf && kopf->SignaturOk()) << "round " << runde;
        std::set<long long> nummern;
        std::set<std::string> texte;
        for (const auto& k : LeseVokabeln(u.Ordner(), "ENGL")) {
            ASSERT_TRUE(nummern.insert(k.nr).second) << "entry number " << k.nr << " twice after round " << runde;
            ASSERT_GE(k.nr, 1);
            texte.insert(k.s1);
        }
        for (const std::string& t : zurueckgekehrt) ASSERT_TRUE(texte.count(t)) << t << " lost after round " << runde;
        std::map<long long, long long> kasten;
        for (const auto& l : LeseLektionstabelle(u.Ordner(), "ENGL")) kasten[l.nr] = l.kasten1;
        for (const auto& [nr, vorher] : kastenVorher) {
            ASSERT_TRUE(kasten.count(nr)) << "lesson " << nr << " lost after round " << runde;
            ASSERT_GE(kasten[nr], vorher) << "lesson " << nr << " after round " << runde;
        }
        kastenVorher = kasten;
        for (const char* tabelle : {"ENGL.dbf", "ENGLL.dbf", "INHALT.DBF"}) {
            const auto v = crashtest::Run({crashtest::BinaryPath("zanit-table"), "verify", u.Ordner() + tabelle});
            ASSERT_EQ(v.exitCode, 0) << tabelle << " after round " << runde << ": " << v.out << v.err;
        }
    }
    EXPECT_EQ(runden, 220);
    EXPECT_GT(mitTransfers, 10) << "the child hardly ever finished a transfer; the kills came too early";
    // Afterwards the collection takes entries as before, and what killed writers left is cleared away.
    TSammlung s;
    s.Waehlen(u.Ordner(), "ENGL");
    TVokabelziel ziel(s);
    ASSERT_EQ(ziel.Oeffnen(), TUebernahmeStatus::Bereit);
    ASSERT_EQ(ziel.Speichern(1, MachVokabel("Schluss", "end", "Deutsch", "Englisch", 2, {})), TUebernahmeStatus::Gespeichert);
    for (const auto& e : std::filesystem::directory_iterator(u.Ordner())) {
        EXPECT_EQ(e.path().filename().string().find(".zanit-neu-"), std::string::npos) << e.path();
    }
}

}  // namespace
