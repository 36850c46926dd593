#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Katalog.h"
#include "data/Datendialog.h"
#include "data/Testumgebung.h"
#include "data/Woerterbuecher.h"
#include "search/Suchbegriff.h"
#include "search/Suche.h"
#include "xbase/Codepage.h"

namespace zanit {
namespace {

using test::Testumgebung;

std::string C(std::string_view utf8) { return xbase::Utf8ToCp1252(utf8); }

std::vector<std::string> Zeilen(const Trefferliste& liste) {
    std::vector<std::string> z;
    for (std::size_t i = 0; i < liste.Anzahl(); ++i) z.push_back(xbase::Cp1252ToUtf8(liste.Text(i)));
    return z;
}

std::vector<Woerterbucheintrag> Paare() {
    return {
        {"Haus", "house", 2},         {"Haus", "home", 2},        {"Haus", "house", 2},
        {"Haus", "digs [coll.]", 2},  {"hausen", "to dwell", 1},  {"Hausaufgabe", "homework", 2},
        {C("Haustür"), "front door", 2}, {"Haus", "to house", 1}, {"aus", "out", 4},
        {"Hauch", "breath", 2},       {"Apfel", "apple", 2},      {C("Ärger"), "trouble", 2},
        {"Heim", "home", 2},          {"Heim", "me", 2},          {"Heim", "home", 2},
        {"Ofen", "oven", 2},
    };
}

class Suche : public ::testing::Test {
protected:
    void SetUp() override {
        umgebung.Woerterbuch("Englisch", "englisch.dbf", "Deutsch", "Englisch", Paare());
        buecher.LeseWoerterbuchliste("");
        ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
        ASSERT_TRUE(buecher.Offen);
    }
    Suchergebnis Voll(std::string_view text, int richtung = 1) {
        return suche.FuelleTrefferliste(liste, C(text), true, false, richtung);
    }

    Testumgebung umgebung;
    TDatendialog daten;
    TWoerterbuecher buecher{daten};
    TSuche suche{daten, buecher};
    Trefferliste liste;
};

TEST_F(Suche, PrefixWalkGroupsConsecutiveRecordsOfOneWordAndPartOfSpeech) {
    const Suchergebnis r = Voll("Haus");
    EXPECT_EQ(r.status, Suchstatus::Ok);
    EXPECT_FALSE(r.korrigiert);
    EXPECT_EQ(Zeilen(liste), (std::vector<std::string>{
                                 "Haus|house, home, digs|Substantiv",
                                 "Haus|to house|Verb",
                                 "Hausaufgabe|homework|Substantiv",
                                 "hausen|to dwell|Verb",
                                 "Haustür|front door|Substantiv",
                             }));
    EXPECT_EQ(liste.Wortart(0), 2);
    EXPECT_EQ(liste.Wortart(1), 1);
    EXPECT_EQ(liste.Trefferzahl, 8);
    EXPECT_EQ(liste.Zeilenzahl, 5);
    EXPECT_EQ(suche.ZeigeTrefferzahl(liste.Trefferzahl, liste.Zeilenzahl), "8 Treffer in 5 Zeilen");
}

TEST_F(Suche, DuplicateTranslationsGoButPartsOfOthersStay) {
    Voll("Heim");
    EXPECT_EQ(Zeilen(liste), std::vector<std::string>{"Heim|home, me|Substantiv"});
    EXPECT_EQ(liste.Trefferzahl, 3);
}

TEST_F(Suche, BracketPartsStayWhenRemovalIsOff) {
    suche.Klammerentfernung = false;
    Voll("Haus");
    ASSERT_GE(liste.Anzahl(), 1u);
    EXPECT_EQ(liste.Text(0), "Haus|house, home, digs [coll.]|Substantiv");
}

TEST_F(Suche, OtherDirectionWalksTheSecondLanguage) {
    Voll("home", 2);
    EXPECT_EQ(Zeilen(liste), (std::vector<std::string>{
                                 "home|Haus, Heim|Substantiv",
                                 "homework|Hausaufgabe|Substantiv",
                             }));
    EXPECT_EQ(suche.Quellsprache, "Englisch");
    EXPECT_EQ(suche.Zielsprache, "Deutsch");
}

TEST_F(Suche, FullSearchShortensAMisspeltKeyAndCorrectsTheSearchField) {
    Suchergebnis r = Voll("Hauz");
    EXPECT_EQ(suche.Schluessel(), "HAU");
    ASSERT_TRUE(r.korrigiert);
    EXPECT_EQ(r.suchfeld, "Hau");
    EXPECT_EQ(liste.Text(0), "Hauch|breath|Substantiv");
    EXPECT_EQ(liste.Zeilenzahl, 6);

    r = Voll("der Hauz");
    ASSERT_TRUE(r.korrigiert);
    EXPECT_EQ(r.suchfeld, "der Hau");

    r = Voll("Äpf");
    EXPECT_EQ(suche.Schluessel(), "AE");
    EXPECT_EQ(xbase::Cp1252ToUtf8(r.suchfeld), "Ä");
    EXPECT_EQ(Zeilen(liste), std::vector<std::string>{"Ärger|trouble|Substantiv"});

    r = Voll("Öko");
    EXPECT_EQ(suche.Schluessel(), "O");
    EXPECT_EQ(r.suchfeld, "O");
}

TEST_F(Suche, IncrementalWalkNeverShortensAndFullSearchWithoutAnyMatchStaysEmpty) {
    const Suchergebnis r = suche.FuelleTrefferliste(liste, "HAUZ", true, true, 1);
    EXPECT_FALSE(r.korrigiert);
    EXPECT_TRUE(liste.Leer());
    EXPECT_EQ(liste.Trefferzahl, 0);
    EXPECT_EQ(suche.ZeigeTrefferzahl(0, 0), "");

    Voll("Xylophon");
    EXPECT_TRUE(liste.Leer());
    EXPECT_EQ(suche.Schluessel(), "X");
}

TEST_F(Suche, FilterSkipsOtherPartsOfSpeechWithoutEndingTheWalk) {
    suche.Wortartfilter = 1;
    Voll("Haus");
    EXPECT_EQ(Zeilen(liste), (std::vector<std::string>{"Haus|to house|Verb", "hausen|to dwell|Verb"}));
    EXPECT_EQ(liste.Trefferzahl, 2);

    suche.Wortartfilter = 9;
    suche.FuelleTrefferliste(liste, "Haus", false, true, 1);
    EXPECT_TRUE(liste.Leer());
    EXPECT_EQ(suche.ZeigeTrefferzahl(liste.Trefferzahl, liste.Zeilenzahl), "0 Treffer in 0 Zeilen");
}

// A filtered walk lists what reading forward through the tag and passing over the other parts of speech
// lists: the same records in the same order, with the key shortened and the hit limit as without a filter.
// Checked on a generated dictionary for every beginning of one to three letters, in both directions, and
// again after another table took the dictionary's place.
TEST(GefilterterLauf, ListsWhatReadingForwardLists) {
    Testumgebung umgebung;
    auto paare = [](unsigned saat) {
        std::vector<Woerterbucheintrag> out;
        unsigned x = saat;
        auto zufall = [&x] { return x = x * 1103515245u + 12345u, (x >> 16) & 0x7FFF; };
        for (int i = 0; i < 1500; ++i) {
            std::string w1, w2;
            for (int k = 0, n = 2 + zufall() % 4; k < n; ++k) w1 += static_cast<char>('a' + zufall() % 5);
            for (int k = 0, n = 2 + zufall() % 4; k < n; ++k) w2 += static_cast<char>('k' + zufall() % 5);
            // Mostly nouns; verbs often, interjections seldom.
            const unsigned r = zufall() % 20;
            out.push_back({w1, w2 + std::to_string(i), r == 0 ? 10 : r < 6 ? 1 : 2});
        }
        return out;
    };
    umgebung.Woerterbuch("Eins", "eins.dbf", "Deutsch", "Englisch", paare(1));
    umgebung.Woerterbuch("Zwei", "zwei.dbf", "Deutsch", "Englisch", paare(2));
    TDatendialog daten;
    TWoerterbuecher buecher{daten};
    TSuche suche{daten, buecher};
    buecher.LeseWoerterbuchliste("");

    // The walk's rules on the records read in tag order.
    struct Satz {
        std::string key, w, u;
        int wa;
    };
    auto erwartet = [&](int richtung, int code, const std::string& anfang, bool inkrementell) {
        xbase::Table& t = daten.BuchDatei;
        const char* const w[] = {"W1", "W2"};
        const int q = richtung == 2 ? 1 : 0;
        t.SetOrder(t.TagArea(richtung == 2 ? "IWI2" : "IWI1"));
        std::vector<Satz> saetze;
        for (t.First(); !t.Eof(); t.Next())
            saetze.push_back({std::string(t.OrderKey()), t.FieldByName(w[q]).AsString(), t.FieldByName(w[1 - q]).AsString(),
                              static_cast<int>(t.FieldByName("WA").AsInteger())});
        std::string key = anfang;
        std::vector<std::string> zeilen;
        for (;;) {
            int treffer = 0;
            zeilen.clear();
            std::string wort, uebers;
            int gruppe = -1;
            for (const Satz& s : saetze) {
                if (s.key.compare(0, key.size(), key) != 0 || s.wa != code) continue;
                ++treffer;
                if (s.w != wort || gruppe != s.wa) {
                    if (!uebers.empty()) zeilen.push_back(wort + "|" + uebers + "|" + Wortartname(code));
                    wort = s.w, uebers = s.u, gruppe = s.wa;
                } else {
                    uebers += ", " + s.u;
                }
                if (treffer >= (inkrementell ? kGrenzeInkrementell : kGrenzeVoll)) break;
            }
            if (!uebers.empty()) zeilen.push_back(wort + "|" + uebers + "|" + Wortartname(code));
            if (treffer > 0 || inkrementell || key.size() < 2) break;
            key.pop_back();
        }
        return zeilen;
    };

    Trefferliste liste;
    std::vector<std::string> anfaenge;
    for (char a = 'A'; a <= 'E'; ++a) {
        anfaenge.push_back(std::string(1, a));
        for (char b = 'A'; b <= 'E'; ++b) anfaenge.push_back(std::string{a, b});
        anfaenge.push_back(std::string{a, 'B', 'C'});
        anfaenge.push_back(std::string{a, 'Q', 'Q'});  // nothing there: shortened
    }
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(buecher.OeffneWoerterbuch(n));
        for (int richtung : {1, 2})
            for (int code : {10, 1, 2})
                for (bool inkrementell : {false, true})
                    for (const std::string& a : anfaenge) {
                        const std::string text = richtung == 1 ? a : std::string(a.size(), 'K');
                        const auto soll = erwartet(richtung, code, text, inkrementell);
                        suche.Wortartfilter = code;
                        suche.FuelleTrefferliste(liste, text, false, inkrementell, richtung);
                        std::vector<std::string> ist;
                        for (std::size_t i = 0; i < liste.Anzahl(); ++i) ist.push_back(liste.Text(i));
                        ASSERT_EQ(ist, soll) << "table " << n << " direction " << richtung << " code " << code
                                             << " text " << text << (inkrementell ? " incremental" : " full");
                    }
    }
}

TEST_F(Suche, KeyPressDuringAnIncrementalWalkEndsItWithTheLinesFoundSoFar) {
    int aufrufe = 0;
    suche.NachrichtenVerarbeiten = [&] {
        if (++aufrufe == 3) suche.Abbruch = true;
    };
    suche.Abbruch = true;  // a flag left from before is cleared by the walk
    suche.FuelleTrefferliste(liste, "HAUS", true, true, 1);
    EXPECT_EQ(aufrufe, 3);
    EXPECT_EQ(liste.Trefferzahl, 2);
    EXPECT_EQ(Zeilen(liste), std::vector<std::string>{"Haus|house, home|Substantiv"});

    // The full search lets no messages run.
    aufrufe = 0;
    Voll("Haus");
    EXPECT_EQ(aufrufe, 0);
    EXPECT_EQ(liste.Trefferzahl, 8);
}

TEST_F(Suche, TextWithoutKeyCharactersFindsNothing) {
    const Suchergebnis r = Voll(" ... ");
    EXPECT_EQ(r.status, Suchstatus::Ok);
    EXPECT_TRUE(liste.Leer());
    EXPECT_EQ(liste.Trefferzahl, 0);
}

TEST_F(Suche, ReverseLookupListsEachTranslationWithTheWordsItTranslatesBackTo) {
    std::vector<std::string> zeilen;
    EXPECT_EQ(suche.FuelleGegenliste(zeilen, "Haus", 1).status, Suchstatus::Ok);
    EXPECT_EQ(zeilen, (std::vector<std::string>{
                          "house|Haus",
                          "home|Haus, Heim",
                          "digs [coll.]|Haus",
                          "to house|Haus",
                      }));
    suche.FuelleGegenliste(zeilen, "home", 2);
    EXPECT_EQ(zeilen, (std::vector<std::string>{"Haus|house, home, digs [coll.], to house", "Heim|home, me"}));
    suche.FuelleGegenliste(zeilen, "Hausboot", 1);
    EXPECT_TRUE(zeilen.empty());
}

TEST_F(Suche, SearchWithoutAnOpenTableReportsTheMissingDictionary) {
    const std::string pfad = umgebung.Pfad("englisch.dbf");
    std::filesystem::remove(pfad);
    ASSERT_TRUE(buecher.OeffneWoerterbuch(0));
    ASSERT_FALSE(buecher.Offen);
    const Suchergebnis r = Voll("Haus");
    EXPECT_EQ(r.status, Suchstatus::KeinWoerterbuch);
    EXPECT_TRUE(liste.Leer());
    EXPECT_NE(suche.Meldungstext(r).find("\"Englisch\""), std::string::npos) << suche.Meldungstext(r);
    std::vector<std::string> zeilen{"alt"};
    EXPECT_EQ(suche.FuelleGegenliste(zeilen, "Haus", 1).status, Suchstatus::KeinWoerterbuch);
    EXPECT_TRUE(zeilen.empty());
}

class Zaehlcursor : public Wartecursor {
public:
    void SetzeWartecursor(bool an) override { folge += an ? '+' : '-'; }
    std::string folge;
};

TEST_F(Suche, WaitCursorOnlyAroundFullWalks) {
    Zaehlcursor cursor;
    daten.SetzeWartecursorAnzeige(&cursor);
    Voll("Haus");
    suche.FuelleTrefferliste(liste, "HAUS", true, true, 1);
    std::vector<std::string> zeilen;
    suche.FuelleGegenliste(zeilen, "Haus", 1);
    daten.SetzeWartecursorAnzeige(nullptr);
    EXPECT_EQ(cursor.folge, "+--+-");
}

TEST(OhneDoppelte, DropsOnlyWholeItems) {
    EXPECT_EQ(OhneDoppelte("house", "house, home"), "");
    EXPECT_EQ(OhneDoppelte("home", "house, home"), "");
    EXPECT_EQ(OhneDoppelte("a", "a,b"), "");
    EXPECT_EQ(OhneDoppelte("aus", "Haus"), "aus");
    EXPECT_EQ(OhneDoppelte("home", "homework, house"), "home");
    EXPECT_EQ(OhneDoppelte("me", "home, meal"), "me");
    EXPECT_EQ(OhneDoppelte("me", "home, meal, me"), "");
    // An item begins only at the start or after ", ", and a translation may hold ", " itself.
    EXPECT_EQ(OhneDoppelte("b", "a,b"), "b");
    EXPECT_EQ(OhneDoppelte("b", "a,, b"), "");
    EXPECT_EQ(OhneDoppelte("to go, to walk", "away, to go, to walk"), "");
    EXPECT_EQ(OhneDoppelte("to walk", "to go, to walk, away"), "");
    EXPECT_EQ(OhneDoppelte("walk", "to go, to walk"), "walk");
    EXPECT_EQ(OhneDoppelte("x", "x y, "), "x");
    EXPECT_EQ(OhneDoppelte("y", "x, y,"), "");
    // Long lists are scanned sixteen places at a time: every item is found wherever its ", " falls, and
    // neither a part of an item nor an item that is not there.
    std::string lang;
    for (int i = 0; i < 40; ++i) lang += (i > 0 ? ", item" : "item") + std::to_string(i);
    for (int i = 0; i < 40; ++i) {
        const std::string item = "item" + std::to_string(i), teil = item.substr(1);
        EXPECT_EQ(OhneDoppelte(item, lang), "") << item;
        EXPECT_EQ(OhneDoppelte(teil, lang), teil);
    }
    EXPECT_EQ(OhneDoppelte("item40", lang), "item40");
    EXPECT_EQ(OhneDoppelte("item3", lang), "");  // whole, though also the beginning of item30 to item39
}

TEST(Suchfeld, ShortenedKeyMapsBackOntoTheTypedText) {
    EXPECT_EQ(KorrigiereSuchfeld("Hauz", "HAU", "Deutsch"), "Hau");
    EXPECT_EQ(KorrigiereSuchfeld("der Hauz", "HAU", "Deutsch"), "der Hau");
    EXPECT_EQ(KorrigiereSuchfeld("Hau-z", "HAU", "Deutsch"), "Hau");
    EXPECT_EQ(KorrigiereSuchfeld(C("Äpf"), "AE", "Deutsch"), C("Ä"));
    EXPECT_EQ(KorrigiereSuchfeld(C("Äpf"), "A", "Deutsch"), "A");
    EXPECT_EQ(KorrigiereSuchfeld(C("Straße"), "STRAS", "Deutsch"), "Stras");
    EXPECT_EQ(KorrigiereSuchfeld(C("Straßex"), "STRASS", "Deutsch"), C("Straß"));
    EXPECT_EQ(KorrigiereSuchfeld(C("Möwe"), "M", "Schwedisch"), "M");
    // No beginning of the text folds onto the key: characters are counted, umlauts as two, as long as the
    // counted text searches the key; otherwise the field shows the key itself.
    EXPECT_EQ(KorrigiereSuchfeld(C("Äpfel"), "AEPFX", "Deutsch"), "AEPFX");
    EXPECT_EQ(KorrigiereSuchfeld(C("äpple"), "ZZ", "Schwedisch"), "ZZ");
}

// However long the text, the field and the list agree: the field's key is the key the walk shortened to.
TEST(Suchfeld, LongTextsMapOntoTheShortenedKeyToo) {
    const std::string rest(130, 'x');
    EXPECT_EQ(KorrigiereSuchfeld("der Hauz " + rest, "HAU", "Deutsch"), "der Hau");
    EXPECT_EQ(KorrigiereSuchfeld("Hauz " + rest, "HAUZ", "Deutsch"), "Hauz");
    // A bracket part longer than the beginnings tried: nothing maps, the key stands in.
    const std::string klammer = "(" + rest + ") Hauz";
    EXPECT_EQ(KorrigiereSuchfeld(klammer, "HAU", "Deutsch"), "HAU");
    for (const std::string& text : {"der Hauz " + rest, klammer, C("die Äpfel ") + rest})
        for (std::string_view kurz : {"H", "HA", "HAU", "AE", "A"})
            EXPECT_EQ(Suchschluessel(KorrigiereSuchfeld(text, kurz, "Deutsch"), "Deutsch"), kurz) << text << " " << kurz;
}

}  // namespace
}  // namespace zanit
