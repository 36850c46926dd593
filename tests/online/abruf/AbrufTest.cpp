// The news download without a window: the server configuration in the settings, the step pause, the FTP client
// against the suite's real FTP server (login, folders, binary get, refused login and connection, missing
// folder and file) and the local end of the last step (unpack, date, delete the archive).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "base/settings/TempHive.h"
#include "online/Hilfe.h"
#include "online/Infoabruf.h"
#include "online/Ftpserver.h"

using namespace zanit;
using namespace zanit::test;
namespace fs = std::filesystem;

namespace {

class Ordner : public ::testing::Test {
protected:
    void SetUp() override {
        char muster[] = "/tmp/zanit-abruf-XXXXXX";
        ordner_ = mkdtemp(muster);
        fs::create_directories(ordner_ / "Data");
    }
    void TearDown() override { fs::remove_all(ordner_); }
    fs::path ordner_;
};

class Server : public Ordner {
protected:
    void SetUp() override {
        Ordner::SetUp();
        s_ = FtpserverDerUmgebung();
        ASSERT_TRUE(s_.ok) << "the FTP server of scripts/test-env is not running (ZANIT_TEST_FTP_PORT, ZANIT_TEST_FTP_ROOT)";
    }
    // A file in pub/zanit/ of the server, removed again after the test.
    void Anbieten(const std::string& name, const std::string& inhalt) {
        const fs::path p = s_.wurzel / "pub" / "zanit" / name;
        DateiSchreiben(p, inhalt);
        angeboten_.push_back(p);
    }
    void TearDown() override {
        for (const fs::path& p : angeboten_) fs::remove(p);
        Ordner::TearDown();
    }
    Ftpserver s_;
    std::vector<fs::path> angeboten_;
};

// A port of 127.0.0.1 on which nothing listens.
int FreierPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(fd);
    return ntohs(a.sin_port);
}

}  // namespace

TEST(Schrittpause, FollowsTheDelaySettingWithinSaneBounds) {
    EXPECT_EQ(Schrittpause(0), 100);
    EXPECT_EQ(Schrittpause(4), 2100);
    EXPECT_EQ(Schrittpause(-3), 100);                       // never a busy loop
    EXPECT_EQ(Schrittpause(2147483647), 24 * 3600 * 1000);  // no overflow
}

TEST(Abrufkonfiguration, ServerPasswordAndPrefixComeFromTheSettingsKey) {
    settings_test::TempHive hive;
    const TAbrufKonfiguration leer = AbrufKonfigurationLesen();
    EXPECT_EQ(leer.server, "");  // nothing configured: the download is off
    EXPECT_EQ(leer.passwort, "info@example.com");
    EXPECT_EQ(leer.praefix, "w");
    settings_test::TempHive::Write(hive.Machine(),
                                   "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_LOCAL_MACHINE\\Software\\MORAV\\zanit\\Dictionary]\n"
                                   "\"FTPServer\"=\"ftp.example.org:2121\"\n"
                                   "\"FTPPassword\"=\"leser@example.org\"\n"
                                   "\"FTPPrefix\"=\"n\"\n");
    const TAbrufKonfiguration k = AbrufKonfigurationLesen();
    EXPECT_EQ(k.server, "ftp.example.org:2121");
    EXPECT_EQ(k.passwort, "leser@example.org");
    EXPECT_EQ(k.praefix, "n");
}

TEST_F(Server, TheStepsReachTheFileInBinaryAndAMissingFolderLeavesTheClientWhereItWas) {
    std::string binaer;
    for (int i = 0; i < 70000; ++i) binaer += static_cast<char>(i * 7 % 256);  // CR, LF, NUL all present
    Anbieten("t1-101.gz", binaer);
    TFtpKlient k;
    ASSERT_TRUE(k.Verbinden(s_.server, "info@example.com").ok);
    const TAbrufErgebnis fehlt = k.Verzeichnis("gibt-es-nicht");
    EXPECT_FALSE(fehlt.ok);
    EXPECT_NE(fehlt.fehler.find("gibt-es-nicht"), std::string::npos) << fehlt.fehler;
    ASSERT_TRUE(k.Verzeichnis("pub").ok);
    ASSERT_TRUE(k.Verzeichnis("zanit").ok);
    ASSERT_TRUE(k.Holen("t1-101.gz", ordner_ / "t1-101.gz").ok);
    EXPECT_EQ(DateiLesen(ordner_ / "t1-101.gz"), binaer);
    k.Trennen();
    EXPECT_FALSE(k.Verzeichnis("pub").ok);  // after the disconnect nothing more happens
}

TEST_F(Server, AMissingFileFailsAndLeavesNoLocalFile) {
    TFtpKlient k;
    ASSERT_TRUE(k.Verbinden(s_.server, "info@example.com").ok);
    ASSERT_TRUE(k.Verzeichnis("pub").ok);
    ASSERT_TRUE(k.Verzeichnis("zanit").ok);
    DateiSchreiben(ordner_ / "t2-101.gz", "alt");
    const TAbrufErgebnis e = k.Holen("t2-101.gz", ordner_ / "t2-101.gz");
    EXPECT_FALSE(e.ok);
    EXPECT_FALSE(e.fehler.empty());
    EXPECT_FALSE(fs::exists(ordner_ / "t2-101.gz"));
}

TEST_F(Server, ARefusedLoginAndARefusedConnectionFailAtTheConnect) {
    TFtpKlient k;
    const TAbrufErgebnis login = k.Verbinden(s_.server, kAbgewiesen);
    EXPECT_FALSE(login.ok);
    EXPECT_FALSE(k.Verzeichnis("pub").ok);
    const auto start = std::chrono::steady_clock::now();
    const TAbrufErgebnis verbindung = k.Verbinden("127.0.0.1:" + std::to_string(FreierPort()), "info@example.com");
    EXPECT_FALSE(verbindung.ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_FALSE(k.Verbinden("", "info@example.com").ok);
}

TEST_F(Ordner, AnArchiveIsUnpackedDatedAndDeleted) {
    DateiSchreiben(ordner_ / "Data" / "INFO_W.JPG", "altes Bild");
    DateiSchreiben(ordner_ / "w101.gz", Nachrichtenarchiv("neues Bild"));
    const auto heute = fs::file_time_type::clock::now();
    const TAbrufErgebnis e = ArchivEinspielen(ordner_ / "w101.gz", ordner_ / "Data", heute);
    ASSERT_TRUE(e.ok) << e.fehler;
    EXPECT_EQ(DateiLesen(ordner_ / "Data" / "INFO_W.JPG"), "neues Bild");
    EXPECT_TRUE(fs::exists(ordner_ / "Data" / "INFO_W.DAT"));
    EXPECT_EQ(fs::last_write_time(ordner_ / "Data" / "INFO_W.JPG"), heute);
    EXPECT_FALSE(fs::exists(ordner_ / "w101.gz"));
}

TEST_F(Ordner, ADamagedArchiveLeavesThePictureAndItsDate) {
    DateiSchreiben(ordner_ / "Data" / "INFO_W.JPG", "altes Bild");
    const auto damals = fs::file_time_type::clock::now() - std::chrono::hours(24 * 20);
    fs::last_write_time(ordner_ / "Data" / "INFO_W.JPG", damals);
    std::string archiv = Nachrichtenarchiv("neues Bild");
    archiv.resize(archiv.size() - 5);  // truncated in transit
    DateiSchreiben(ordner_ / "w101.gz", archiv);
    const TAbrufErgebnis e = ArchivEinspielen(ordner_ / "w101.gz", ordner_ / "Data", fs::file_time_type::clock::now());
    EXPECT_FALSE(e.ok);
    EXPECT_NE(e.fehler.find("w101.gz"), std::string::npos) << e.fehler;
    EXPECT_EQ(DateiLesen(ordner_ / "Data" / "INFO_W.JPG"), "altes Bild");
    EXPECT_EQ(fs::last_write_time(ordner_ / "Data" / "INFO_W.JPG"), damals);
    EXPECT_FALSE(fs::exists(ordner_ / "Data" / "INFO_W.DAT"));
    EXPECT_FALSE(fs::exists(ordner_ / "w101.gz"));
}

TEST_F(Ordner, HelpPagesFollowTheDialogLanguageAndFallBackToTheContents) {
    EXPECT_EQ(Hilfeseite(ordner_, 'D', kHilfeInhalt), fs::path());  // no pages installed
    DateiSchreiben(ordner_ / "help" / "de" / "index.html", "Inhalt");
    DateiSchreiben(ordner_ / "help" / "de" / "kontakt.html", "Kontakt");
    EXPECT_EQ(Hilfeseite(ordner_, 'D', kHilfeKontakt), ordner_ / "help" / "de" / "kontakt.html");
    EXPECT_EQ(Hilfeseite(ordner_, ' ', 9999), ordner_ / "help" / "de" / "index.html");  // the help spot
    EXPECT_EQ(Hilfeseite(ordner_, 'F', kHilfeKontakt), ordner_ / "help" / "de" / "kontakt.html");
    DateiSchreiben(ordner_ / "help" / "en" / "index.html", "Contents");
    EXPECT_EQ(Hilfeseite(ordner_, 'F', kHilfeInhalt), ordner_ / "help" / "en" / "index.html");
    EXPECT_EQ(Hilfeseite(ordner_, 'E', kHilfeKontakt), ordner_ / "help" / "en" / "index.html");
}
