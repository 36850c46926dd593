// The sound medium search on folders that stand in for drives: the registered path, media with description
// files and releases, the notices and their answers, the first-opening rule. One test reads the system's
// real mount table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "sound/Ini.h"
#include "sound/Laufwerke.h"
#include "sound/Tonmedium.h"
#include "sound/Tontabelle.h"
#include "sound/Wave.h"

namespace zanit {
namespace {

namespace fs = std::filesystem;

class Testlaufwerke : public Laufwerksabfrage {
public:
    std::vector<Laufwerk> liste;
    std::map<std::string, std::string> serien;  // root -> serial; missing = a readable medium
    std::vector<std::string> abgefragt;

    std::vector<Laufwerk> LeseLaufwerke() override { return liste; }
    std::string LeseDatentraeger(const std::string& wurzel) override {
        abgefragt.push_back(wurzel);
        const auto it = serien.find(wurzel);
        return it == serien.end() ? "1234ABCD" : it->second;
    }
};

struct Notiz {
    std::string ueberschrift;
    bool mitCheckbox;
};

class Testhinweis : public Medienhinweis {
public:
    std::vector<Notiz> gezeigt;
    std::vector<int> antworten;  // answers in turn; 2 (Ignorieren) when none is left
    bool ankreuzen = false;
    std::function<void()> vorAntwort;

    int Zeige(const std::string& ueberschrift, const std::string&, bool mitCheckbox, bool& angekreuzt) override {
        gezeigt.push_back({ueberschrift, mitCheckbox});
        angekreuzt = ankreuzen;
        if (vorAntwort) vorAntwort();
        if (antworten.empty()) return 2;
        const int a = antworten.front();
        antworten.erase(antworten.begin());
        return a;
    }
};

class Tonmedium : public ::testing::Test {
protected:
    test::Testumgebung umgebung;
    TDatendialog daten;
    Testlaufwerke laufwerke;
    Testhinweis hinweis;
    bool sound = true;
    TTonmediumSuche suche{daten, laufwerke, hinweis};

    void SetUp() override {
        suche.SoundLesen = [this] { return sound; };
        suche.SoundSchreiben = [this](bool wert) { sound = wert; };
        test::Testumgebung::Setze("Englisch", "TextF", "Englisch");
    }
    // A sound table at `pfad` (folders made).
    static void Tontabelle(const std::string& pfad) {
        fs::create_directories(fs::path(pfad).parent_path());
        SchreibeTontabelle(pfad, {{1, PcmWaveBild(PcmAudio{1, 8000, std::vector<std::int16_t>(80, 5)})}});
    }
    // A folder that stands in for a CD drive; with a description file when `textF` is given.
    std::string Medium(const std::string& name, const std::string& textF = {}, int release = 0,
                       const std::string& ini = "zanit.ini") {
        const std::string wurzel = umgebung.Pfad(name);
        fs::create_directories(wurzel);
        if (!textF.empty()) {
            std::ofstream(wurzel + "/" + ini) << "[Dictionary]\r\nSound=\\SOUND\\ENGL.DBF\r\nReleaseS=" << release
                                              << "\r\nTextF=" << textF << " \r\n";
            Tontabelle(wurzel + "/SOUND/ENGL.DBF");
        }
        laufwerke.liste.push_back({wurzel, true});
        return wurzel;
    }
    void Registriere(const std::string& sound, int release = 0) {
        test::Testumgebung::Setze("Englisch", "Sound", sound);
        RegZahlSchreiben(RegRoot::LocalMachine, Einstellungsschluessel(), "Englisch", release, "ReleaseS");
    }
    void Suchen(bool mehrsprachig = false) {
        suche.LeseLaufwerke();
        suche.SucheSprachausgabe("Englisch", mehrsprachig);
    }
};

TEST_F(Tonmedium, RegisteredTableOnTheHardDiskIsTakenAtOnce) {
    const std::string platte = umgebung.Pfad("platte/ENGL.DBF");
    Tontabelle(platte);
    Registriere(platte);
    Medium("cd1", "Englisch", 5);
    Suchen();
    EXPECT_TRUE(daten.TonFremdsprache);
    EXPECT_TRUE(daten.WaveTableFremdsprache.Active());
    EXPECT_EQ(suche.FremdTondatei, platte);
    EXPECT_TRUE(laufwerke.abgefragt.empty()) << "no CD drive is queried";
    EXPECT_TRUE(hinweis.gezeigt.empty());
    // Only in multi-language mode the mother tongue's table opens too.
    EXPECT_FALSE(daten.TonMuttersprache);
    test::Testumgebung::Setze("Englisch", "SoundM", platte);
    Suchen(true);
    EXPECT_TRUE(daten.TonMuttersprache);
}

TEST_F(Tonmedium, EmptyRegisteredDriveLeadsToTheNotice) {
    const std::string cd = Medium("cd1");
    laufwerke.serien[cd] = kKeinMedium;
    Tontabelle(cd + "/ENGL.DBF");  // what an unreadable drive would not show
    Registriere(cd + "/ENGL.DBF");
    Medium("cd2", "Franzoesisch", 3);  // another language
    Suchen();
    EXPECT_FALSE(daten.TonFremdsprache);
    ASSERT_EQ(hinweis.gezeigt.size(), 1u);
    EXPECT_TRUE(hinweis.gezeigt[0].mitCheckbox) << "the first notice of a run offers the check box";
    EXPECT_FALSE(suche.ErsteOeffnung);
}

TEST_F(Tonmedium, TheFirstMediumOfTheRequiredReleaseWins) {
    Registriere(umgebung.Pfad("fehlt/ENGL.DBF"), 3);
    Medium("cd1", "Englisch", 2);
    const std::string cd2 = Medium("cd2", "Englisch", 3, "LM.ini");
    const std::string cd3 = Medium("cd3", "Englisch", 3);
    Suchen();
    EXPECT_TRUE(daten.TonFremdsprache);
    EXPECT_EQ(suche.FremdTondatei, cd2 + "/SOUND/ENGL.DBF");
    EXPECT_TRUE(hinweis.gezeigt.empty());
    EXPECT_EQ(std::count(laufwerke.abgefragt.begin(), laufwerke.abgefragt.end(), cd3), 0) << "the scan stopped";
}

TEST_F(Tonmedium, AnOlderReleaseIsOfferedAndTakenOnIgnore) {
    Registriere("", 3);
    const std::string cd1 = Medium("cd1", "Englisch", 2);
    hinweis.antworten = {1, 2};  // Wiederholen, then Ignorieren
    Suchen();
    ASSERT_EQ(hinweis.gezeigt.size(), 2u);
    EXPECT_EQ(hinweis.gezeigt[0].ueberschrift, "Inaktuelle Sprachausgabe!");
    EXPECT_FALSE(hinweis.gezeigt[0].mitCheckbox);
    EXPECT_TRUE(daten.TonFremdsprache);
    EXPECT_EQ(suche.FremdTondatei, cd1 + "/SOUND/ENGL.DBF");
    // The first opening flag is only cleared by the not-found notice.
    EXPECT_TRUE(suche.ErsteOeffnung);
}

TEST_F(Tonmedium, FirstOpeningWithTheNoticeSwitchedOff) {
    Registriere("");
    sound = false;
    Suchen();
    EXPECT_TRUE(hinweis.gezeigt.empty());
    EXPECT_FALSE(suche.ErsteOeffnung);
    // A later dictionary switch shows the notice, without the check box.
    Suchen();
    ASSERT_EQ(hinweis.gezeigt.size(), 1u);
    EXPECT_EQ(hinweis.gezeigt[0].ueberschrift, "Sprachausgabe nicht gefunden!");
    EXPECT_FALSE(hinweis.gezeigt[0].mitCheckbox);
}

TEST_F(Tonmedium, TickedCheckBoxAndRepeatStoresTheSettingAndSearchesAgain) {
    Registriere("");
    hinweis.ankreuzen = true;
    hinweis.antworten = {1};
    // The user inserts the medium before choosing "Wiederholen".
    hinweis.vorAntwort = [this] {
        if (hinweis.gezeigt.size() == 1) Medium("cd1", "Englisch", 1);
    };
    Suchen();
    EXPECT_FALSE(sound);
    ASSERT_EQ(hinweis.gezeigt.size(), 1u);
    EXPECT_TRUE(daten.TonFremdsprache);
}

TEST_F(Tonmedium, ReleaseOfTheRegisteredMediumComesFromItsDescription) {
    // Registered on a medium of release 1 while 2 is required; a second medium has release 2.
    const std::string cd1 = Medium("cd1", "Englisch", 1);
    const std::string cd2 = Medium("cd2", "Englisch", 2);
    Registriere(cd1 + "/SOUND/ENGL.DBF", 2);
    Suchen();
    EXPECT_EQ(suche.FremdTondatei, cd2 + "/SOUND/ENGL.DBF");
    // A table that cannot be opened leaves the flag off without a notice.
    std::ofstream(cd2 + "/SOUND/ENGL.DBF", std::ios::trunc) << "kaputt";
    Suchen();
    EXPECT_FALSE(daten.TonFremdsprache);
    EXPECT_TRUE(hinweis.gezeigt.empty());
}

TEST(Ini, StrictReading) {
    const TIniDatei ini(
        "\xEF\xBB\xBF; comment\r\n"
        "Sound=outside\n"
        "[dictionary]\n"
        "SOUND = \\SOUND\\A.DBF \n"
        "Sound=second\n"
        "garbage line\n"
        "=no name\n"
        "ReleaseS=+7x\n"
        "Big=99999999999\n"
        "[Dictionary] trailing\n"
        "TextF=hidden\n"
        "[Other]\n"
        "TextF=Other\n");
    EXPECT_EQ(ini.Text("Dictionary", "Sound"), "\\SOUND\\A.DBF");
    EXPECT_EQ(ini.Zahl("Dictionary", "ReleaseS", -1), 7);
    EXPECT_EQ(ini.Zahl("Dictionary", "Big", -1), -1);
    EXPECT_EQ(ini.Zahl("Dictionary", "Sound", -1), -1);
    EXPECT_EQ(ini.Text("Dictionary", "TextF", "none"), "none");
    EXPECT_EQ(ini.Text("Other", "TextF"), "Other");
    EXPECT_EQ(TIniDatei(std::string(kIniHoechstgroesse + 1, '\n') + "[Dictionary]\nSound=x").Text("Dictionary", "Sound"), "");
}

TEST(Laufwerke, TheSystemsMountTable) {
    test::Testumgebung umgebung;
    const std::string medium = umgebung.Pfad("medium");
    fs::create_directories(medium);
    const auto abfrage = SystemLaufwerke([medium] { return medium; });
    const std::vector<Laufwerk> liste = abfrage->LeseLaufwerke();
    // The root file system is mounted and readable; the medium folder counts as a CD drive.
    bool wurzel = false, ordner = false;
    for (const Laufwerk& l : liste) {
        if (l.wurzel == "/") wurzel = true;
        if (l.wurzel == medium) ordner = l.cd;
    }
    EXPECT_TRUE(wurzel);
    EXPECT_TRUE(ordner);
    const std::string serie = abfrage->LeseDatentraeger("/");
    EXPECT_EQ(serie.size(), 8u);
    EXPECT_NE(serie, kKeinMedium);
    EXPECT_EQ(abfrage->LeseDatentraeger(umgebung.Pfad("nicht-da")), kKeinMedium);
    EXPECT_EQ(abfrage->LeseDatentraeger(""), kKeinMedium);
    // The folder disappears with its medium.
    fs::remove(medium);
    for (const Laufwerk& l : abfrage->LeseLaufwerke()) EXPECT_NE(l.wurzel, medium);
}

}  // namespace
}  // namespace zanit
