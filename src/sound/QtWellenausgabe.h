#pragma once
// The wave output on Qt Multimedia: one QAudioSink on the default output device, fed from memory. Its state
// changes become the stop, close and error events, always delivered through the event loop of the thread the
// output lives on (the user-interface thread), never from inside a call into the output.

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QtMultimedia/QAudio>
#include <memory>

#include "sound/Wellenausgabe.h"

class QAudioSink;

namespace zanit {

class TQtWellenausgabe : public QObject, public Wellenausgabe {
    Q_OBJECT
public:
    explicit TQtWellenausgabe(QObject* parent = nullptr);
    ~TQtWellenausgabe() override;

    bool GeraetVorhanden() const override;
    void SetzeEmpfaenger(Wellenempfaenger* empfaenger) override { empfaenger_ = empfaenger; }
    void Starte(const PcmAudio& audio, unsigned aufnahme) override;
    void Stoppe() override;
    void Schliesse() override;
    void Zuruecksetzen() override;

private:
    enum class Ereignis { Stop, Close, Error };
    void Melde(Ereignis e, unsigned aufnahme);
    void Zustand(QAudio::State zustand);
    void Freigeben();

    Wellenempfaenger* empfaenger_ = nullptr;
    std::unique_ptr<QAudioSink> sink_;
    QBuffer puffer_;
    QByteArray daten_;
    unsigned aufnahme_ = 0;
    bool spielt_ = false;     // started and not yet stopped by us
    bool beendet_ = false;    // the end of the recording has been reported
};

// Zeitgeber on a QTimer.
class TQtZeitgeber : public QObject, public Zeitgeber {
    Q_OBJECT
public:
    explicit TQtZeitgeber(QObject* parent = nullptr);
    void Starte(int millisekunden, std::function<void()> aktion) override;
    void Stoppe() override { timer_.stop(); }
    bool Aktiv() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> aktion_;
};

}  // namespace zanit
