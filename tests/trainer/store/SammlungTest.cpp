// The collection store on real files made as the trainer makes them: finding the trainer, the header,
// listing collections, lessons and lesson numbers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "trainer/Trainerumgebung.h"

using namespace zanit;
using zanit::test::Trainerumgebung;

namespace {

std::vector<std::string> Texte(const TSammlungsknoten& k) {
    std::vector<std::string> t;
    for (const auto& c : k.kinder) t.push_back(c.text);
    return t;
}

TEST(Sammlungskopf, WritingKeepsEveryByteItDoesNotOwnAndReplacesTheFileWhole) {
    Trainerumgebung u;
    std::array<std::uint8_t, kKopfgroesse> bytes{};
    std::mt19937 zufall(7);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(zufall());
    EXPECT_FALSE(TSammlungskopf(bytes).SignaturOk());
    const std::string basis = "VOKABELN";
    const TSammlungskopf neu = TSammlungskopf::Neu(basis);
    std::copy(neu.Bytes().begin(), neu.Bytes().begin() + 15, bytes.begin());  // signature and name
    TSammlungskopf k2(bytes);
    ASSERT_TRUE(k2.SignaturOk());
    EXPECT_EQ(k2.Basisname(), basis);

    k2.SetzeZaehlerA(41);
    k2.SetzeZaehlerB(-3);
    k2.SetzeLektionszahl(200);
    k2.SetzeLektionsflag(1, true);
    k2.SetzeLektionsflag(200, false);
    k2.SetzeNaechsteNummer(123456);
    const std::string pfad = u.Ordner() + "X.lvh";
    SchreibeKopf(pfad, k2);
    EXPECT_EQ(std::filesystem::file_size(pfad), kKopfgroesse);
    const auto gelesen = LeseKopf(pfad);
    ASSERT_TRUE(gelesen);
    EXPECT_EQ(gelesen->ZaehlerA(), 41);
    EXPECT_EQ(gelesen->ZaehlerB(), -3);
    EXPECT_EQ(gelesen->Lektionszahl(), 200);
    EXPECT_TRUE(gelesen->Lektionsflag(1));
    EXPECT_FALSE(gelesen->Lektionsflag(200));
    EXPECT_EQ(gelesen->NaechsteNummer(), 123456);
    EXPECT_EQ(gelesen->Aenderungsdatum(), HeutigesKopfdatum());
    EXPECT_GT(HeutigesKopfdatum(), 46000.0);  // after 2025
    // Every byte outside the fields written is the random byte it was.
    std::set<std::size_t> geschrieben = {302, 501};
    for (std::size_t o : {292, 296, 512, 584})
        for (std::size_t i = 0; i < 4; ++i) geschrieben.insert(o + i);
    for (std::size_t i = 540; i < 548; ++i) geschrieben.insert(i);
    for (std::size_t i = 0; i < kKopfgroesse; ++i)
        if (!geschrieben.count(i)) {
            EXPECT_EQ(gelesen->Bytes()[i], bytes[i]) << "byte " << i;
        }
    // Nothing is left beside the header.
    for (const auto& e : std::filesystem::directory_iterator(u.Ordner())) {
        EXPECT_EQ(e.path().filename().string().find(".zanit-neu-"), std::string::npos) << e.path();
    }
}

TEST(Sammlungskopf, MissingShortOrForeignFilesGiveNoValidHeader) {
    Trainerumgebung u;
    EXPECT_FALSE(LeseKopf(u.Ordner() + "FEHLT.lvh"));
    {
        std::ofstream f(u.Ordner() + "KURZ.lvh", std::ios::binary);
        f << std::string(603, '\0');
    }
    EXPECT_FALSE(LeseKopf(u.Ordner() + "KURZ.lvh"));
    {
        std::ofstream f(u.Ordner() + "FREMD.lvh", std::ios::binary);
        f << "\x05LMVOX" << std::string(598, '\0');
    }
    const auto fremd = LeseKopf(u.Ordner() + "FREMD.lvh");
    ASSERT_TRUE(fremd);
    EXPECT_FALSE(fremd->SignaturOk());
    // A collection with such a header shows no lessons.
    u.Sammlung("FREMD", "Englisch", "G", "Fremd");
    {
        std::ofstream f(u.Ordner() + "FREMD.lvh", std::ios::binary | std::ios::trunc);
        f << "\x05LMVOX" << std::string(598, '\0');
    }
    TSammlung s;
    s.Waehlen(u.Ordner(), "FREMD");
    EXPECT_FALSE(s.gueltig);
    EXPECT_TRUE(s.liste.empty());
    // A base name or file name that would name files outside the collection folder makes no collection.
    for (const std::string boese : {"../../ENGL", "C:ENGL", "sub/ENGL", ".."}) {
        u.Sammlung("GUT", "Englisch", "G", "Gut");
        auto kopf = *LeseKopf(u.Ordner() + "GUT.lvh");
        kopf.SetzeBasisname(boese);
        SchreibeKopf(u.Ordner() + "GUT.lvh", kopf);
        s.Waehlen(u.Ordner(), "GUT");
        EXPECT_FALSE(s.gueltig) << boese;
    }
    s.Waehlen(u.Ordner(), "../Voc/GUT");
    EXPECT_FALSE(s.gueltig);
}

TEST(Trainerort, FoundOnlyWhereTheProgramFileExists) {
    Trainerumgebung u;
    EXPECT_FALSE(LokalisiereTrainer().Installiert());  // no key
    u.Registrieren("");
    EXPECT_FALSE(LokalisiereTrainer().Installiert());
    u.Registrieren(u.Programmordner());  // no trailing separator
    TTrainerort ort = LokalisiereTrainer();
    ASSERT_TRUE(ort.Installiert());
    EXPECT_EQ(ort.programm, u.Programmordner() + "/zanit.exe");
    EXPECT_EQ(ort.sammlungsordner, u.Programmordner() + "/Voc/");
    u.Registrieren(u.Programmordner() + "/");
    EXPECT_EQ(LokalisiereTrainer().programm, u.Programmordner() + "/zanit.exe");
    std::filesystem::remove(u.Programmordner() + "/zanit.exe");
    ort = LokalisiereTrainer();
    EXPECT_FALSE(ort.Installiert());
    EXPECT_TRUE(ort.sammlungsordner.empty());
}

TEST(Sammlungsliste, GroupsAndCollectionsOfTheLanguageSortedWithTheirImages) {
    Trainerumgebung u;
    u.Sammlung("GRUND", "Englisch", "Schule", "Grundwortschatz");
    u.Sammlung("AUFBAU", "Englisch", "Schule", "Aufbau");
    u.Sammlung("REISE", "Englisch", "Beruf", "Reise");
    u.Sammlung("KLEIN", "englisch", "Schule", "Kleinschreibung");  // letter case differs
    u.Sammlung("FRANZ", "Französisch", "Schule", "Französisch");
    {
        xbase::Table t;  // a record without DATEI
        t.SetFileName(u.Ordner() + "INHALT.DBF");
        t.Open();
        t.AppendBlank();
        t.FieldByName("SPRACHE").SetAsString("Englisch");
        t.FieldByName("GRUPPE").SetAsString("Leer");
        t.FieldByName("TEXT").SetAsString("Ohne Datei");
        t.Post();
    }
    TSammlungsknoten baum;
    ASSERT_TRUE(ListeSammlungen(u.Ordner(), "Englisch", Wurzelbild('E'), baum));
    EXPECT_EQ(baum.text, "Englisch");
    EXPECT_EQ(baum.bild, 1);
    EXPECT_EQ(Texte(baum), (std::vector<std::string>{"Beruf", "Schule"}));
    EXPECT_EQ(baum.kinder[0].bild, kGruppenbild);
    EXPECT_EQ(Texte(baum.kinder[1]), (std::vector<std::string>{"Aufbau", "Grundwortschatz"}));
    EXPECT_EQ(baum.kinder[1].kinder[0].bild, kSammlungsbild);
    EXPECT_EQ(baum.kinder[1].kinder[0].datei, "AUFBAU");

    EXPECT_FALSE(ListeSammlungen(u.Ordner(), "Latein", 6, baum));
    EXPECT_TRUE(baum.kinder.empty());
    EXPECT_FALSE(ListeSammlungen(u.Wurzel() + "/nirgends/", "Englisch", 1, baum));
}

TEST(Sammlungsliste, CaptionsSortByLetterBeforeCaseAndAccents) {
    EXPECT_TRUE(VorImAlphabet("apfel", "Birne"));
    EXPECT_TRUE(VorImAlphabet("\xC4pfel", "Birne"));  // Ä sorts as A
    EXPECT_TRUE(VorImAlphabet("Birne", "\xC9t\xE9"));  // É as E
    EXPECT_FALSE(VorImAlphabet("Birne", "Birne"));
}

TEST(Sammlungsliste, RootImageComesFromTheDictionaryFileLetter) {
    EXPECT_EQ(Sprachbuchstabe("/data/dictionaries/englisch.dbf", false), 'E');
    EXPECT_EQ(Sprachbuchstabe("C:\\WB\\DFRANZ.DBF", true), 'F');
    EXPECT_EQ(Sprachbuchstabe("", false), 0);
    const std::pair<char, int> bilder[] = {{'D', 0}, {'E', 1}, {'F', 3}, {'I', 4}, {'S', 5},
                                           {'L', 6}, {'V', 11}, {'X', 20}, {0, 20}};
    for (auto [b, i] : bilder) EXPECT_EQ(Wurzelbild(b), i) << b;
}

TEST(Sammlungsnamen, HeaderFileUsesEightCharactersAndLessonTableFitsEight) {
    Trainerumgebung u;
    EXPECT_EQ(Kopfdatei(u.Ordner(), "ZEHNZEICHN"), u.Ordner() + "ZEHNZEIC.lvh");
    EXPECT_EQ(Lektionstabellenname("ACHTZEIC"), "ACHTZEIC");
    EXPECT_EQ(Lektionstabellenname("KURZ"), "KURZL");
    EXPECT_EQ(Vokabeltabellenname("KURZ"), "KURZ.dbf");
    // A ten-character DATEI, end to end.
    u.Sammlung("ZEHNZEICHN", "Englisch", "G", "Zehn", {"Eins"}, 1, "ZEHN");
    TSammlung s;
    s.Waehlen(u.Ordner(), "ZEHNZEICHN");
    ASSERT_TRUE(s.gueltig);
    EXPECT_EQ(s.liste, (std::vector<TLektionseintrag>{{1, "Eins"}}));
    // Eight characters would give both tables one file name: the tool refuses such a collection.
    EXPECT_THROW(u.Sammlung("ACHTZEIC", "Englisch", "G", "Acht"), std::runtime_error);
}

TLektionsplaetze Belegt(std::initializer_list<int> nummern) {
    TLektionsplaetze p{};
    for (int n : nummern) p[n] = {n, "L" + std::to_string(n), {}};
    return p;
}

TEST(Lektionen, ListingStopsAtTheHeaderCountUnlessItIsZero) {
    const auto p = Belegt({1, 2, 5, 9});
    auto nummern = [](const std::vector<TLektionseintrag>& l) {
        std::vector<int> n;
        for (const auto& e : l) n.push_back(e.first);
        return n;
    };
    EXPECT_EQ(nummern(Lektionsliste(p, 3)), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(nummern(Lektionsliste(p, 0)), (std::vector<int>{1, 2, 5, 9}));
    EXPECT_EQ(nummern(Lektionsliste(p, 10)), (std::vector<int>{1, 2, 5, 9}));
}

TEST(Lektionen, FreeNumberSearchesAfterTheCountThenFromOne) {
    EXPECT_EQ(FreieLektionsnummer(4, Belegt({1, 2, 3, 4, 5, 6})), 7);
    TLektionsplaetze p{};
    for (int n = 1; n <= 200; ++n)
        if (n != 2) p[n].nr = n;
    EXPECT_EQ(FreieLektionsnummer(4, p), 2);
    p[2].nr = 2;
    EXPECT_EQ(FreieLektionsnummer(4, p), 0);
    EXPECT_EQ(FreieLektionsnummer(250, Belegt({1})), 2);  // a damaged count stays inside the slots
}

TEST(Lektionen, AddingRefusesDuplicatesEmptyNamesAndFullCollections) {
    TSammlungskopf kopf = TSammlungskopf::Neu("X");
    kopf.SetzeLektionszahl(1);
    auto p = Belegt({1});
    p[1].name = "Tiere";
    EXPECT_EQ(FuegeLektionHinzu(kopf, p, "  Tiere "), 0);
    EXPECT_EQ(FuegeLektionHinzu(kopf, p, "   "), 0);
    EXPECT_EQ(kopf.Lektionszahl(), 1);
    EXPECT_EQ(FuegeLektionHinzu(kopf, p, "tiere"), 2);  // letter case makes another name
    EXPECT_EQ(kopf.Lektionszahl(), 2);
    EXPECT_TRUE(kopf.Lektionsflag(2));
    EXPECT_EQ(p[2].name, "tiere");
    EXPECT_EQ(FuegeLektionHinzu(kopf, p, std::string(60, 'x')), 3);
    EXPECT_EQ(p[3].name.size(), 50u);
    kopf.SetzeLektionszahl(200);
    EXPECT_EQ(FuegeLektionHinzu(kopf, p, "Neu"), 0);
    kopf.SetzeLektionszahl(3);
    for (int n = 1; n <= 200; ++n) p[n].nr = n;  // every slot taken although the count is lower
    EXPECT_EQ(FuegeLektionHinzu(kopf, p, "Neu"), 0);
    EXPECT_EQ(kopf.Lektionszahl(), 3);
}

TEST(Lektionen, LoadingReadsTheLessonTableAndSkipsNumbersOutsideTheSlots) {
    Trainerumgebung u;
    u.Sammlung("ENGL", "Englisch", "G", "E", {"Eins", "Zwei", "Drei"});
    {
        xbase::Table t;
        t.SetFileName(u.Ordner() + "ENGLL.dbf");
        t.Open();
        t.AppendBlank();
        t.FieldByName("NR").SetAsInteger(201);
        t.FieldByName("NAME").SetAsString("Zu weit");
        t.Post();
        t.First();
        t.Edit();
        t.FieldByName("NAME").SetAsString("  Eins mit Rand");
        t.FieldByName("KASTEN3").SetAsInteger(7);
        t.Post();
    }
    TLektionsplaetze p{};
    ASSERT_TRUE(LadeLektionen(u.Ordner(), "ENGLL", p));
    EXPECT_EQ(p[1].name, "Eins mit Rand");
    EXPECT_EQ(p[1].kasten[2], 7);
    EXPECT_EQ(p[3].nr, 3);
    EXPECT_EQ(p[4].nr, 0);
    p[5].nr = 5;
    EXPECT_FALSE(LadeLektionen(u.Ordner(), "FEHLTL", p));
    EXPECT_EQ(p[5].nr, 5);  // untouched
}

}  // namespace
