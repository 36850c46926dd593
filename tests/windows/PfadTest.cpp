// Paths as Windows spells them: drive letters, backslashes, mixed separators and the case of the drive
// letter, through the engine, the utility unit, the program folder and the drive table.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/Katalog.h"
#include "base/Utils.h"
#include "sound/Laufwerke.h"
#include "xbase/File.h"
#include "xbase/Table.h"

namespace {

namespace fs = std::filesystem;

class PfadTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The temporary folder of a Windows user: "C:\users\...\Temp\" with a drive letter and backslashes.
        ordner_ = fs::temp_directory_path().string() + "zanit-pfad-" + std::to_string(GetCurrentProcessId());
        fs::create_directories(ordner_);
    }
    void TearDown() override {
        std::error_code ignoriert;
        fs::remove_all(ordner_, ignoriert);
    }
    std::string ordner_;
};

TEST_F(PfadTest, TheTemporaryFolderHasADriveLetterAndBackslashes) {
    ASSERT_GE(ordner_.size(), 3u);
    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(ordner_[0])));
    EXPECT_EQ(ordner_.substr(1, 2), ":\\");
    EXPECT_EQ(ordner_.find('/'), std::string::npos);
}

TEST_F(PfadTest, ATableIsFoundThroughEverySpellingOfItsPath) {
    const std::string pfad = ordner_ + "\\WB.DBF";
    xbase::Table::Create(pfad, {{"W1", 'C', 20, 0, false}, {"NOTE", 'M', 10, 0, false}}, {{"IW1", "W1"}});
    {
        xbase::Table t;
        t.SetFileName(pfad);
        t.Open();
        t.AppendBlank();
        t.FieldByName("W1").SetAsString("Haus");
        t.FieldByName("NOTE").SetAsString("Notiz");
        t.Post();
    }
    // The memo and index files lie beside the table, named in the case of its extension.
    EXPECT_TRUE(fs::exists(ordner_ + "\\WB.FPT"));
    EXPECT_TRUE(fs::exists(ordner_ + "\\WB.ZIX"));

    std::string gemischt = pfad;
    std::replace(gemischt.begin(), gemischt.end(), '\\', '/');
    std::string klein = pfad;
    klein[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(klein[0])));
    for (const auto& spelling : {pfad, gemischt, klein}) {
        xbase::Table t;
        t.SetFileName(spelling);
        t.SetReadOnly(true);
        ASSERT_NO_THROW(t.Open()) << spelling;
        t.SetOrder(t.TagArea("IW1"));
        EXPECT_TRUE(t.Seek("Haus")) << spelling;
        EXPECT_EQ(t.FieldByName("NOTE").AsString(), "Notiz") << spelling;
    }
    // A folder with a backslash at its end, or without, and a file name given alone.
    for (const auto& folder : {ordner_, ordner_ + "\\"}) {
        xbase::Table t;
        t.SetFolder(folder);
        t.SetFileName("WB.DBF");
        EXPECT_EQ(t.Path(), pfad);
        ASSERT_NO_THROW(t.Open());
    }
    // An absolute file name with a drive letter wins over the folder.
    xbase::Table t;
    t.SetFolder("D:\\anderswo");
    t.SetFileName(pfad);
    EXPECT_EQ(t.Path(), pfad);
    EXPECT_TRUE(xbase::VerifyTable(pfad, "").empty());
}

TEST_F(PfadTest, AFolderLockHoldsThroughEitherSeparator) {
    xbase::detail::FolderLock erste;
    ASSERT_TRUE(erste.TryLock(ordner_));
    xbase::detail::FolderLock zweite;
    std::string gemischt = ordner_;
    std::replace(gemischt.begin(), gemischt.end(), '\\', '/');
    EXPECT_FALSE(zweite.TryLock(gemischt));
    xbase::detail::FolderLock fehlt;
    EXPECT_FALSE(fehlt.TryLock(ordner_ + "\\gibt-es-nicht"));
}

TEST(Programmpfade, TheProgramFolderIsTheDriveAndFolderOfTheExecutable) {
    const std::string ordner = zanit::OrdnerDerAnwendung();
    ASSERT_GE(ordner.size(), 4u);
    EXPECT_EQ(ordner.substr(1, 2), ":\\");
    EXPECT_EQ(ordner.back(), '\\');
    EXPECT_TRUE(fs::exists(ordner + "windows_paths.exe"));
    EXPECT_EQ(zanit::MitBackslash("C:\\Programme"), "C:\\Programme\\");
    EXPECT_EQ(zanit::MitBackslash("C:\\"), "C:\\");
    EXPECT_EQ(zanit::MitBackslash(""), "");
}

TEST(Laufwerkstabelle, DrivesAreListedByTheirRootsWithTheMediumFolderAmongThem) {
    const std::string medium = fs::temp_directory_path().string() + "zanit-medium-" + std::to_string(GetCurrentProcessId());
    fs::create_directories(medium);
    auto laufwerke = zanit::SystemLaufwerke([&] { return medium; });
    const auto liste = laufwerke->LeseLaufwerke();
    bool c = false, mediumGefunden = false;
    for (const auto& l : liste) {
        if (l.wurzel == "C:\\") {
            c = true;
            EXPECT_FALSE(l.cd) << "the system drive is a hard disk";
        }
        if (l.wurzel == medium) {
            mediumGefunden = true;
            EXPECT_TRUE(l.cd);
        }
    }
    EXPECT_TRUE(c);
    EXPECT_TRUE(mediumGefunden);
    EXPECT_TRUE(std::is_sorted(liste.begin(), liste.end(),
                               [](const zanit::Laufwerk& a, const zanit::Laufwerk& b) { return a.wurzel < b.wurzel; }));
    const std::string serie = laufwerke->LeseDatentraeger("C:\\");
    EXPECT_EQ(serie.size(), 8u);
    EXPECT_NE(laufwerke->LeseDatentraeger(medium), zanit::kKeinMedium);
    EXPECT_EQ(laufwerke->LeseDatentraeger("Q:\\"), zanit::kKeinMedium);  // no such drive in the prefix
    std::error_code ignoriert;
    fs::remove_all(medium, ignoriert);
}

}  // namespace
