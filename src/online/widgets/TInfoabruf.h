#pragma once
// The news picture download as the main window runs it: the start check on every show, the connect with
// login, then the steps 2 ("pub"), 3 ("zanit") and 4 (get, unpack, date, disconnect), each begun by the step
// timer MainFTPTimer one pause after the step before ended. Every network operation runs on a worker thread,
// so the window keeps answering input all along; the step order and the pacing are those of a client that
// blocks. Any failure ends the sequence where it happened and leaves the old picture and its date.
#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "online/Infoabruf.h"

class QTimer;

namespace zanit {

class TInfoabruf : public QObject {
    Q_OBJECT
public:
    struct Umgebung {
        std::filesystem::path programmordner;  // the archive lands here, the picture in "Data/" below it
        int infoNummer = 0;                    // 999 or not above 0: no download
        int ftpDelay = 0;
        TAbrufKonfiguration konfiguration;     // an empty server: no download
        std::function<bool()> verbindungstest; // none: connected
    };

    explicit TInfoabruf(QObject* parent = nullptr);
    ~TInfoabruf() override;

    // The start check: when a download is due and the probe reports a connection, connects and logs in (the
    // steps follow by themselves). True when a sequence was started. While one runs, nothing new starts.
    bool StartPruefung(const Umgebung& umgebung,
                       std::chrono::system_clock::time_point jetzt = std::chrono::system_clock::now());
    bool Laeuft() const { return laeuft_; }
    // 1 while connecting, then 2, 3, 4; 0 when idle.
    int Schritt() const { return schritt_; }

    QTimer* MainFTPTimer = nullptr;

signals:
    // A step begins its network work (1 connect and login, 2, 3, 4).
    void SchrittBeginnt(int schritt);
    // The sequence ended; `fehler` (empty on success) says where and why.
    void Beendet(bool ok, const QString& fehler);

private:
    void Arbeite(std::function<TAbrufErgebnis()> arbeit, std::function<void()> weiter);
    void MainIdFTPAfterClientLogin();
    void MainFTPTimerTimer();
    void Ende(const TAbrufErgebnis& e);

    Umgebung umgebung_;
    std::unique_ptr<TFtpKlient> klient_;
    std::thread arbeiter_;
    int schritt_ = 0;
    bool laeuft_ = false;
};

}  // namespace zanit
