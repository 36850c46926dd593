// zanit-voc as the demo installation uses it: a trainer installation, its registration and collections that
// the dictionary then finds and lists.
#include <gtest/gtest.h>

#include "child_process.h"
#include "trainer/Trainerumgebung.h"

using namespace zanit;
using zanit::test::Trainerumgebung;

namespace {

crashtest::RunResult Voc(std::vector<std::string> args) {
    args.insert(args.begin(), crashtest::BinaryPath("zanit-voc"));
    return crashtest::Run(args);
}

TEST(ZanitVoc, InstallsRegistersAndCreatesCollectionsTheDictionaryFinds) {
    Trainerumgebung u;  // its own hive; the tool writes the trainer key into it
    const std::string dir = u.Wurzel() + "/Zweiter Trainer";
    const auto install = Voc({"install", dir});
    ASSERT_EQ(install.exitCode, 0) << install.err;
    ASSERT_EQ(Voc({"register", dir}).exitCode, 0);
    const auto created = Voc({"create", dir + "/Voc", "--file", "FRZ1", "--language", "Französisch", "--group",
                              "Schule", "--text", "Grundwortschatz", "--lesson", "Haus", "--lesson", "Tiere",
                              "--next", "7"});
    ASSERT_EQ(created.exitCode, 0) << created.err;

    const TTrainerort ort = LokalisiereTrainer();
    ASSERT_TRUE(ort.Installiert());
    TSammlungsknoten baum;
    ASSERT_TRUE(ListeSammlungen(ort.sammlungsordner, "Franz\xF6sisch", 3, baum));
    ASSERT_EQ(baum.kinder.size(), 1u);
    EXPECT_EQ(baum.kinder[0].kinder[0].datei, "FRZ1");
    TSammlung s;
    s.Waehlen(ort.sammlungsordner, "FRZ1");
    EXPECT_EQ(s.liste, (std::vector<TLektionseintrag>{{1, "Haus"}, {2, "Tiere"}}));
    EXPECT_EQ(s.kopf.NaechsteNummer(), 7);

    const auto shown = Voc({"show", dir + "/Voc", "FRZ1"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("lesson\t2\tTiere\t+\t0"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("next\t7"), std::string::npos) << shown.out;

    for (const std::string table : {"INHALT.DBF", "FRZ1.dbf", "FRZ1L.dbf"}) {
        const auto verify = crashtest::Run({crashtest::BinaryPath("zanit-table"), "verify", dir + "/Voc/" + table});
        EXPECT_EQ(verify.exitCode, 0) << table << verify.out;
    }
}

TEST(ZanitVoc, RefusesIncompleteOrCollidingCollections) {
    Trainerumgebung u;
    EXPECT_EQ(Voc({"create", u.Ordner(), "--language", "Latein"}).exitCode, 2);
    const auto acht = Voc({"create", u.Ordner(), "--file", "ACHTZEIC", "--language", "Latein"});
    EXPECT_EQ(acht.exitCode, 1);
    EXPECT_NE(acht.err.find("7 characters"), std::string::npos) << acht.err;
    EXPECT_EQ(Voc({"show", u.Ordner(), "FEHLT"}).exitCode, 1);
    EXPECT_EQ(Voc({"frobnicate"}).exitCode, 2);
}

}  // namespace
