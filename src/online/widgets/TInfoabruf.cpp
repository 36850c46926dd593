#include "online/widgets/TInfoabruf.h"

#include <QTimer>
#include <system_error>

#include "online/Infobild.h"

namespace zanit {

TInfoabruf::TInfoabruf(QObject* parent) : QObject(parent) {
    MainFTPTimer = new QTimer(this);
    MainFTPTimer->setObjectName(QStringLiteral("MainFTPTimer"));
    MainFTPTimer->setSingleShot(true);
    // Never earlier than the pause asks for.
    MainFTPTimer->setTimerType(Qt::PreciseTimer);
    connect(MainFTPTimer, &QTimer::timeout, this, &TInfoabruf::MainFTPTimerTimer);
}

TInfoabruf::~TInfoabruf() {
    MainFTPTimer->stop();
    if (klient_) klient_->Abbrechen();
    if (arbeiter_.joinable()) arbeiter_.join();
}

bool TInfoabruf::StartPruefung(const Umgebung& umgebung, std::chrono::system_clock::time_point jetzt) {
    if (laeuft_) return false;
    if (umgebung.infoNummer == kKeineInfo || umgebung.infoNummer <= 0) return false;
    if (umgebung.konfiguration.server.empty()) return false;
    const std::filesystem::path bild = umgebung.programmordner / "Data" / kInfobild;
    std::error_code ec;
    const bool vorhanden = std::filesystem::exists(bild, ec);
    std::time_t dateizeit = 0;
    if (vorhanden) {
        const auto t = std::filesystem::last_write_time(bild, ec);
        if (!ec)
            dateizeit = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(t));
    }
    if (!InfobildFaellig(vorhanden, dateizeit, std::chrono::system_clock::to_time_t(jetzt))) return false;
    if (umgebung.verbindungstest && !umgebung.verbindungstest()) return false;

    MainFTPTimer->stop();
    MainFTPTimer->setInterval(Schrittpause(umgebung.ftpDelay));
    umgebung_ = umgebung;
    klient_ = std::make_unique<TFtpKlient>();
    laeuft_ = true;
    schritt_ = 1;
    emit SchrittBeginnt(1);
    const TAbrufKonfiguration k = umgebung_.konfiguration;
    Arbeite([this, k] { return klient_->Verbinden(k.server, k.passwort); },
            [this] { MainIdFTPAfterClientLogin(); });
    return true;
}

// Runs `arbeit` on the worker thread; back on this object's thread, `weiter` follows a success and the end of
// the sequence a failure.
void TInfoabruf::Arbeite(std::function<TAbrufErgebnis()> arbeit, std::function<void()> weiter) {
    if (arbeiter_.joinable()) arbeiter_.join();  // the step before has delivered its result already
    arbeiter_ = std::thread([this, arbeit = std::move(arbeit), weiter = std::move(weiter)] {
        TAbrufErgebnis e = arbeit();
        if (!e.ok) klient_->Trennen();
        // Delivered as an event: it is dropped when this object goes first (its destructor joins us).
        QMetaObject::invokeMethod(
            this, [this, e, weiter] { e.ok ? weiter() : Ende(e); }, Qt::QueuedConnection);
    });
}

void TInfoabruf::MainIdFTPAfterClientLogin() {
    schritt_ = 2;
    MainFTPTimer->start();
}

void TInfoabruf::MainFTPTimerTimer() {
    MainFTPTimer->stop();
    switch (schritt_) {
    case 2:
    case 3: {
        const std::string ordner = schritt_ == 2 ? kFtpOrdner1 : kFtpOrdner2;
        emit SchrittBeginnt(schritt_);
        Arbeite([this, ordner] { return klient_->Verzeichnis(ordner); },
                [this] {
                    ++schritt_;
                    MainFTPTimer->start();
                });
        break;
    }
    case 4: {
        emit SchrittBeginnt(4);
        const std::string name = Infoarchivname(umgebung_.konfiguration.praefix, umgebung_.infoNummer);
        const std::filesystem::path ordner = umgebung_.programmordner;
        Arbeite(
            [this, name, ordner] {
                const std::filesystem::path lokal = ordner / name;
                std::error_code ec;
                std::filesystem::remove(lokal, ec);
                TAbrufErgebnis e = klient_->Holen(name, lokal);
                if (e.ok) e = ArchivEinspielen(lokal, ordner / "Data", std::filesystem::file_time_type::clock::now());
                klient_->Trennen();
                return e;
            },
            [this] { Ende({true, {}}); });
        break;
    }
    default:
        break;  // any other step: nothing happens, the timer stays stopped
    }
}

void TInfoabruf::Ende(const TAbrufErgebnis& e) {
    if (arbeiter_.joinable()) arbeiter_.join();
    klient_.reset();
    schritt_ = 0;
    laeuft_ = false;
    emit Beendet(e.ok, QString::fromStdString(e.fehler));
}

}  // namespace zanit
