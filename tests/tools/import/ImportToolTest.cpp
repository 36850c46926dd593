// The importer run as a program on small databases in the real source formats; the tables it writes are read
// back through the table store.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "search/Woerterbuchbau.h"
#include "import/Zeilen.h"
#include "tools/import/Prozess.h"
#include "xbase/Table.h"

namespace {

using namespace zanit_test;

struct Satz {
    std::string w1, w2, wi1, wi2;
    long long wa;
};

class ImportTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }

    static std::string Tool() { return Q(ZANIT_IMPORT_TOOL); }

    // Every record in the order of `tag`.
    std::vector<Satz> Lies(const fs::path& table, const std::string& tag = "IWI1",
                           const std::string& password = std::string(zanit::kWoerterbuchPasswort)) {
        xbase::Table t;
        t.SetFileName(table.string());
        t.SetPassword(password);
        t.SetReadOnly(true);
        t.Open();
        t.SetOrder(t.TagArea(tag));
        std::vector<Satz> out;
        for (t.First(); !t.Eof(); t.Next())
            out.push_back({t.FieldByName("W1").AsString(), t.FieldByName("W2").AsString(),
                           t.FieldByName("WI1").AsString(), t.FieldByName("WI2").AsString(),
                           t.FieldByName("WA").AsInteger()});
        return out;
    }

    fs::path Dictd(const std::string& articles, const std::string& name) { return MachDictd(dir_, articles, name); }

    TempOrdner temp_;
    const fs::path& dir_ = temp_.path();
};

TEST_F(ImportTool, DingListBecomesAnEncryptedKeyedTable) {
    const fs::path out = dir_ / "ENGLISCH.DBF";
    const Lauf lauf = Starte(Tool() + " ding " + Q(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt") +
                             " --out " + Q(out));
    ASSERT_EQ(lauf.code, 0) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("28 Einträge"), std::string::npos) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("2 fehlerhafte Zeilen übersprungen (10, 11)"), std::string::npos) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("1 Zeichen ohne Entsprechung"), std::string::npos) << lauf.ausgabe;

    const auto records = Lies(out);
    ASSERT_EQ(records.size(), 28u);
    std::vector<Satz> haus;
    for (const Satz& s : records)
        if (s.wi1.starts_with("HAUS")) haus.push_back(s);
    // key order, Haus before Haustür (malformed, skipped) and hausen
    ASSERT_GE(haus.size(), 4u);
    EXPECT_EQ(haus[0].w1, "Haus");
    EXPECT_EQ(haus[0].wa, 2);
    std::map<std::string, int> translations;
    for (const Satz& s : haus)
        if (s.w1 == "Haus") ++translations[s.w2];
    EXPECT_EQ(translations, (std::map<std::string, int>{{"home", 1}, {"house", 2}}));
    for (const Satz& s : records) {
        if (s.w1 == "Aalenium (erdgeschichtliche Stufe) [geol.]") {
            EXPECT_EQ(s.wi1, "AALENIUM");
            EXPECT_EQ(s.w2, "Aalenian (stage in the Earth\x92s history)");
        }
        if (s.w1 == "das A und O [ugs.]") {
            EXPECT_EQ(s.wa, 11);
        }
        if (s.w1 == "h\xE4uslich") {
            EXPECT_EQ(s.wi1, "HAEUSLICH");
        }
    }
    // the reverse order finds the English side
    const auto reverse = Lies(out, "IWI2");
    ASSERT_EQ(reverse.size(), 28u);
    EXPECT_LE(reverse.front().wi2, reverse.back().wi2);
    EXPECT_THROW(Lies(out, "IWI1", "falsch"), xbase::TableError);
}

TEST_F(ImportTool, OwnPasswordAndWidthAreHonoured) {
    const fs::path out = dir_ / "neu" / "E.DBF";  // the folder is made
    const Lauf lauf = Starte(Tool() + " ding " + Q(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt") +
                             " --out " + Q(out) + " --password geheim --width 12");
    ASSERT_EQ(lauf.code, 0) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("auf 12 Zeichen gekürzt"), std::string::npos) << lauf.ausgabe;
    const auto records = Lies(out, "IWI1", "geheim");
    ASSERT_EQ(records.size(), 28u);
    for (const Satz& s : records) EXPECT_LE(s.w1.size(), 12u);
}

TEST_F(ImportTool, FreeDictDatabaseSwappedBecomesGermanLatin) {
    const fs::path db = Dictd(
        "_____\n\nrosa /rˈɔsa/ (rosae /rˈɔsaɪ/ <gen>) <n, sg, f>\nRose, Rosenstock\n"
        "_____\n\namo /ˈamɔ/ (amare /ˈamarɛ/) <sg, v>\n1. mögen\n2. lieben\n"
        "_____\n\nnon /nˈɔn/ <adv>\nnicht\n",
        "lat-deu");
    const fs::path out = dir_ / "LATEIN.DBF";
    const Lauf lauf = Starte(Tool() + " freedict " + Q(db.string() + ".index") + " " + Q(db.string() + ".dict.dz") +
                             " --out " + Q(out) + " --textm Deutsch --textf Latein --swap");
    ASSERT_EQ(lauf.code, 0) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("5 Einträge aus 3 Artikel"), std::string::npos) << lauf.ausgabe;
    const auto records = Lies(out);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].w1, "lieben");
    EXPECT_EQ(records[0].w2, "amo/amare");
    EXPECT_EQ(records[0].wi2, "AMO");
    EXPECT_EQ(records[0].wa, 1);
    EXPECT_EQ(records[1].w1, "m\xF6gen");
    EXPECT_EQ(records[1].wi1, "MOEGEN");
    EXPECT_EQ(records[2].w1, "nicht");
    EXPECT_EQ(records[2].wa, 4);
    EXPECT_EQ(records[3].w2, "rosa/rosae");
}

TEST_F(ImportTool, FreeDictSpanishKeysFollowTheSpanishRule) {
    const fs::path db = Dictd("_____\n\nKind /kɪnt/ <n, neut>\nniño, niña\nein junger Mensch\n", "deu-spa");
    const fs::path out = dir_ / "SPANISCH.DBF";
    const Lauf lauf = Starte(Tool() + " freedict " + Q(db.string() + ".index") + " " + Q(db.string() + ".dict.dz") +
                             " --out " + Q(out) + " --textm Deutsch --textf Spanisch");
    ASSERT_EQ(lauf.code, 0) << lauf.ausgabe;
    const auto records = Lies(out, "IWI2");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].w2, "ni\xF1" "a");
    EXPECT_EQ(records[0].wi2, "NINZZA");
    EXPECT_EQ(records[1].w1, "Kind");
    EXPECT_EQ(records[1].wa, 2);
}

TEST_F(ImportTool, DamagedInputFailsAndLeavesTheOldTableAlone) {
    const fs::path out = dir_ / "ENGLISCH.DBF";
    ASSERT_EQ(Starte(Tool() + " ding " + Q(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt") + " --out " +
                     Q(out)).code,
              0);
    const auto before = fs::last_write_time(out);

    const fs::path db = Dictd("_____\n\nHaus /haʊs/ <n, neut>\nmaison\n", "deu-fra");
    // cut the compressed data in half
    const fs::path dz = db.string() + ".dict.dz";
    fs::resize_file(dz, fs::file_size(dz) / 2);
    Lauf lauf = Starte(Tool() + " freedict " + Q(db.string() + ".index") + " " + Q(dz) + " --out " + Q(out) +
                       " --textm Deutsch --textf Franzoesisch");
    EXPECT_EQ(lauf.code, 1) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("beschädigt"), std::string::npos) << lauf.ausgabe;

    std::ofstream(dir_ / "leer.txt") << "# nur ein Kommentar\nkaputt\n";
    lauf = Starte(Tool() + " ding " + Q(dir_ / "leer.txt") + " --out " + Q(out));
    EXPECT_EQ(lauf.code, 1) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("keine Einträge"), std::string::npos) << lauf.ausgabe;

    EXPECT_EQ(Starte(Tool() + " ding " + Q(dir_ / "fehlt.txt") + " --out " + Q(out)).code, 1);
    EXPECT_EQ(Starte(Tool() + " ding --out " + Q(out)).code, 2);
    EXPECT_EQ(Starte(Tool() + " freedict a b --out " + Q(out)).code, 2);  // language names missing
    EXPECT_EQ(Starte(Tool() + " ding x --out " + Q(out) + " --width 300").code, 2);

    EXPECT_EQ(fs::last_write_time(out), before);
    EXPECT_EQ(Lies(out).size(), 28u);
}

TEST_F(ImportTool, HostileWordListLinesAreReportedAndCostNoMemory) {
    const fs::path source = dir_ / "feindlich.txt";
    {
        std::ofstream f(source, std::ios::binary);
        f << "Haus {n} :: house\n"
          << Quadrat(1000) << "\n"                               // a million pairs from 12 KB
          << std::string("T\xC3\xBCr {f} :: do\0or\n", 18)             // NUL inside
          << "lang :: " << std::string(300000, 'x') << "\n"       // one line of 300 KB
          << "Dach {n} :: roof\n";
    }
    const fs::path out = dir_ / "E.DBF";
    const Lauf lauf = Starte(Tool() + " ding " + Q(source) + " --out " + Q(out));
    ASSERT_EQ(lauf.code, 0) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("2 Zeilen über der Grenze einer Zeile (65536 Bytes, 4096 Einträge) übersprungen (2, 4)"),
              std::string::npos) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("1 Zeilen mit Steuerzeichen übersprungen (3)"), std::string::npos) << lauf.ausgabe;
    const auto records = Lies(out);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].w1, "Dach");
    EXPECT_EQ(records[1].w1, "Haus");
    // the tool's whole peak, table writing included, stays small
    const Spitze spitze = StarteMitSpitze(Tool() + " ding " + Q(source) + " --out " + Q(out));
    EXPECT_EQ(spitze.code, 0);
    EXPECT_LT(spitze.kib, 50 * 1024);
}

TEST_F(ImportTool, CompressedDataThatInflatesBeyondReasonIsRefusedEarly) {
    const fs::path db = Dictd("_____\n\nHaus /haʊs/ <n, neut>\nmaison\n", "deu-fra");
    const fs::path dz = db.string() + ".dict.dz";
    // 128 MiB of zeros in about 600 KB: sixteen times the file is under 10 MB, so the 16 MiB floor decides
    ASSERT_EQ(Starte("head -c 134217728 /dev/zero | gzip -1 > " + Q(dz)).code, 0);
    const std::string command = Tool() + " freedict " + Q(db.string() + ".index") + " " + Q(dz) + " --out " +
                                Q(dir_ / "F.DBF") + " --textm Deutsch --textf Franzoesisch";
    const Lauf lauf = Starte(command);
    EXPECT_EQ(lauf.code, 1) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("entpackt größer als 16777216 Bytes"), std::string::npos) << lauf.ausgabe;
    const Spitze spitze = StarteMitSpitze(command);
    EXPECT_EQ(spitze.code, 1);
    EXPECT_LT(spitze.kib, 60 * 1024);
    EXPECT_FALSE(fs::exists(dir_ / "F.DBF"));
}

// A word list of `zeilen` lines of five pairs each, all different.
fs::path GrosseListe(const fs::path& dir, int zeilen) {
    const fs::path source = dir / "gross.txt";
    std::ofstream f(source, std::ios::binary);
    for (int i = 0; i < zeilen; ++i)
        f << "Wort" << i << " {n}; Begriff" << i << " | Wörter" << i << " {pl} :: word" << i << "; term" << i
          << " | words" << i << "\n";
    return source;
}

// Killed at any moment, an import leaves the old table whole, no staged copy in memory or beside the
// target, and the next run clears what the killed ones left.
TEST_F(ImportTool, KilledImportsLeaveTheOldTableAndNoPartialFiles) {
    const fs::path ziel = dir_ / "ziel";
    fs::create_directories(ziel);
    const std::string name = "K" + std::to_string(::getpid()) + ".DBF";
    const fs::path out = ziel / name;
    ASSERT_EQ(Starte(Tool() + " ding " + Q(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt") + " --out " +
                     Q(out)).code,
              0);
    const fs::path source = GrosseListe(dir_, 100000);  // 500,000 pairs
    // one whole run tells how long an import takes here; the kills fall anywhere within that time
    const fs::path probe = dir_ / "probe.DBF";
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Starte(Tool() + " ding " + Q(source) + " --out " + Q(probe)).code, 0);
    auto dauer = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::mt19937 random(std::random_device{}());
    int killed = 0;
    // The probe may have run on a busier machine than the rounds after it: a round that finishes before its
    // kill narrows the window to the time it was given, and rounds go on until five kills have hit.
    for (int round = 0; round < 20 && killed < 5; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) ::_exit(126);
            ::execl(ZANIT_IMPORT_TOOL, "zanit-import", "ding", source.c_str(), "--out", out.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const std::chrono::milliseconds frist(random() % (dauer.count() * 9 / 10 + 1));
        std::this_thread::sleep_for(frist);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) ++killed;
        else dauer = std::min(dauer, frist);
        // the table at the target is the old one or the new one, whole
        const std::size_t n = Lies(out).size();
        EXPECT_TRUE(n == 28u || n == 500000u) << n;
        if (n == 500000u) {  // finished before the kill: start from the old table again
            ASSERT_EQ(Starte(Tool() + " ding " + Q(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt") +
                             " --out " + Q(out)).code,
                      0);
        }
        for (const auto& entry : fs::directory_iterator(ziel))
            EXPECT_EQ(entry.path().string().find(".zanit-neu"), std::string::npos) << entry.path();
    }
    EXPECT_GE(killed, 5);
    // nothing of ours was staged in shared memory
    std::error_code ec;
    for (fs::recursive_directory_iterator it("/dev/shm", fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
        EXPECT_NE(it->path().filename(), name) << it->path();
    // the next run clears the working folders the killed ones left
    ASSERT_EQ(Starte(Tool() + " ding " + Q(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt") + " --out " +
                     Q(out)).code,
              0);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(ziel)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{name, name.substr(0, name.size() - 3) + "ZIX"}));
}

}  // namespace
