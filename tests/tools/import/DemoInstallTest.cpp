// The demo installation: which dictionaries it imports and registers, what it prints, when it imports again,
// and lookups on the result.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tools/import/Prozess.h"

namespace {

using namespace zanit_test;

const fs::path kBin = ZANIT_BINARY_DIR "/bin";
const std::string kScript = ZANIT_SOURCE_DIR "/scripts/demo-install";

// A build folder of its own: the built tools and sample tables linked in, so the demo lands in a temporary
// folder.
class DemoInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.path().empty());
        fs::create_directories(build_ / "bin");
        for (const char* tool : {"zanit-setup", "zanit-import"}) {
            ASSERT_TRUE(fs::exists(kBin / tool)) << tool;
            fs::create_symlink(kBin / tool, build_ / "bin" / tool);
        }
        ASSERT_TRUE(fs::exists(kBin / "Data" / "DEUENGL.DBF"));
        fs::create_directory_symlink(kBin / "Data", build_ / "bin" / "Data");
        fs::create_directories(dictd_);
        MachDictd(dictd_, "_____\n\nAbend /ˈɑːbənt/\nsera\n_____\n\nAal /ˈɑːl/\nanguilla\n", "freedict-deu-ita");
        MachDictd(dictd_, "_____\n\nrosa /rˈɔsa/ (rosae /rˈɔsaɪ/ <gen>) <n, sg, f>\nRose\n", "freedict-lat-deu");
    }

    // Runs the script; standard error goes to a file, `ausgabe` holds standard output only.
    Lauf Install(const fs::path& ding) {
        return Starte("ZANIT_DEMO_DING=" + Q(ding) + " ZANIT_DEMO_DICTD=" + Q(dictd_) + " " + Q(kScript) + " " +
                          Q(build_) + " 2>" + Q(temp_.path() / "stderr.txt"),
                      true);
    }
    std::string Fehlerausgabe() const {
        std::ifstream in(temp_.path() / "stderr.txt");
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string Registriert() const {
        return Starte("ZANIT_REGISTRY=" + Q(Hive()) + " " + Q(kBin / "zanit-setup") + " list").ausgabe;
    }
    Lauf Lookup(const std::string& args) const {
        return Starte("ZANIT_REGISTRY=" + Q(Hive()) + " " + Q(kBin / "zanit-lookup") + " " + args);
    }
    fs::path Sample() const { return build_ / "bin" / "Data" / "DEUENGL.DBF"; }
    fs::path Hive() const { return build_ / "demo" / "machine.reg"; }
    fs::path Tables() const { return build_ / "demo" / "dictionaries"; }

    TempOrdner temp_;
    const fs::path build_ = temp_.path() / "build";
    const fs::path dictd_ = temp_.path() / "dictd";
};

TEST_F(DemoInstall, WithoutTheWordListTheSampleIsTheEnglishDictionary) {
    const Lauf lauf = Install(temp_.path() / "fehlt");
    ASSERT_EQ(lauf.code, 0) << Fehlerausgabe();
    EXPECT_EQ(lauf.ausgabe, "export ZANIT_REGISTRY='" + Hive().string() + "'\n");
    EXPECT_TRUE(fs::is_directory(build_ / "demo" / "medium"));

    std::ifstream hiveFile(Hive());
    const std::string hive{std::istreambuf_iterator<char>(hiveFile), {}};
    EXPECT_NE(hive.find("\"Program\"=\"" + (build_ / "bin").string() + "/\"\n"), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"CD\"=\"" + (build_ / "demo" / "medium").string() + "/\"\n"), std::string::npos) << hive;

    const std::string list = Registriert();
    EXPECT_NE(list.find("[Englisch]\nDictionary=" + Sample().string() +
                        "\nTextM=Deutsch\nTextF=Englisch\n"),
              std::string::npos)
        << list;
    EXPECT_NE(list.find("[Italienisch]\nDictionary=" + (Tables() / "ITAL.DBF").string() +
                        "\nTextM=Deutsch\nTextF=Italienisch\n"),
              std::string::npos)
        << list;
    EXPECT_NE(list.find("[Latein]\nDictionary=" + (Tables() / "LATEIN.DBF").string()), std::string::npos) << list;
    EXPECT_NE(list.find("[Muster-Latein]\nDictionary=" + (build_ / "bin" / "Data" / "LATEIN.DBF").string() +
                        "\nTextM=Deutsch\nTextF=Latein (Muster)\n"),
              std::string::npos)
        << list;
    EXPECT_EQ(list.find("[Franzoesisch]"), std::string::npos) << list;
    EXPECT_EQ(list.find("[Spanisch]"), std::string::npos) << list;
    EXPECT_EQ(list.find("[Muster-Englisch]"), std::string::npos) << list;

    const Lauf latein = Lookup("--dictionary Latein Rose");
    EXPECT_EQ(latein.code, 0) << latein.ausgabe;
    EXPECT_EQ(latein.ausgabe.rfind("Rose|rosa|Substantiv\n", 0), 0u) << latein.ausgabe;
    EXPECT_EQ(Lookup("--dictionary Italienisch Abend").ausgabe.rfind("Abend|sera|", 0), 0u);
}

TEST_F(DemoInstall, WordListBecomesTheEnglishDictionaryAndIsImportedOnlyAgainWhenNewer) {
    const fs::path ding = temp_.path() / "de-en";
    fs::copy_file(ZANIT_SOURCE_DIR "/tests/tools/import/ding-auszug.txt", ding);
    ASSERT_EQ(Install(ding).code, 0) << Fehlerausgabe();
    EXPECT_NE(Fehlerausgabe().find("importing ENGLISCH.DBF"), std::string::npos) << Fehlerausgabe();
    const std::string list = Registriert();
    EXPECT_NE(list.find("[Englisch]\nDictionary=" + (Tables() / "ENGLISCH.DBF").string()), std::string::npos) << list;
    EXPECT_NE(list.find("[Muster-Englisch]\nDictionary=" + Sample().string()), std::string::npos) << list;
    // the imported dictionary comes first in name order
    EXPECT_LT(list.find("[Englisch]"), list.find("[Muster-Englisch]")) << list;

    const Lauf haus = Lookup("--dictionary Englisch Haus");
    EXPECT_EQ(haus.code, 0) << haus.ausgabe;
    EXPECT_EQ(haus.ausgabe.rfind("Haus|house, home|Substantiv\n", 0), 0u) << haus.ausgabe;
    const Lauf house = Lookup("--dictionary Englisch --direction 2 house");
    EXPECT_EQ(house.ausgabe.rfind("house|Haus|Substantiv\n", 0), 0u) << house.ausgabe;

    // cached: nothing is imported again
    const auto built = fs::last_write_time(Tables() / "ENGLISCH.DBF");
    ASSERT_EQ(Install(ding).code, 0) << Fehlerausgabe();
    EXPECT_EQ(Fehlerausgabe().find("importing"), std::string::npos) << Fehlerausgabe();
    EXPECT_EQ(fs::last_write_time(Tables() / "ENGLISCH.DBF"), built);

    // without the word list the sample takes its place and leaves no second section behind
    ASSERT_EQ(Install(temp_.path() / "fehlt").code, 0) << Fehlerausgabe();
    const std::string ohne = Registriert();
    EXPECT_NE(ohne.find("[Englisch]\nDictionary=" + Sample().string()), std::string::npos) << ohne;
    EXPECT_EQ(ohne.find("[Muster-Englisch]"), std::string::npos) << ohne;

    // a newer source is imported again, the others stay
    fs::last_write_time(ding, built + std::chrono::seconds(5));
    ASSERT_EQ(Install(ding).code, 0) << Fehlerausgabe();
    EXPECT_NE(Fehlerausgabe().find("importing ENGLISCH.DBF"), std::string::npos) << Fehlerausgabe();
    EXPECT_EQ(Fehlerausgabe().find("importing ITAL.DBF"), std::string::npos) << Fehlerausgabe();
}

TEST_F(DemoInstall, BrokenSourceFallsBackToTheSample) {
    const fs::path ding = temp_.path() / "de-en";
    std::ofstream(ding) << "# nichts Brauchbares\nkaputt\n";
    const Lauf lauf = Install(ding);
    ASSERT_EQ(lauf.code, 0) << Fehlerausgabe();
    EXPECT_NE(Fehlerausgabe().find("import of ENGLISCH.DBF failed"), std::string::npos) << Fehlerausgabe();
    EXPECT_NE(Registriert().find("[Englisch]\nDictionary=" + Sample().string()),
              std::string::npos);
}

TEST(DemoInstallScript, MissingBuildFolderIsAnError) {
    const Lauf lauf = Starte(Q(kScript) + " /tmp/zanit-gibt-es-nicht");
    EXPECT_EQ(lauf.code, 1);
    EXPECT_NE(lauf.ausgabe.find("does not exist"), std::string::npos) << lauf.ausgabe;
}

}  // namespace
