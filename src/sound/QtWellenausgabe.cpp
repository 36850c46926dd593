#include "sound/QtWellenausgabe.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <stdexcept>

namespace zanit {

namespace {
// Device buffer, and the silence played behind every recording so that stopping never cuts it.
constexpr int kPufferMs = 100;
constexpr int kStilleMs = 200;
}  // namespace

TQtWellenausgabe::TQtWellenausgabe(QObject* parent) : QObject(parent) {}

TQtWellenausgabe::~TQtWellenausgabe() {
    empfaenger_ = nullptr;
    Freigeben();
}

bool TQtWellenausgabe::GeraetVorhanden() const { return !QMediaDevices::audioOutputs().isEmpty(); }

void TQtWellenausgabe::Freigeben() {
    spielt_ = false;
    if (sink_) {
        sink_->disconnect(this);
        sink_->stop();
        sink_.reset();
    }
    puffer_.close();
}

void TQtWellenausgabe::Starte(const PcmAudio& audio, unsigned aufnahme) {
    if (audio.kanaele < 1 || audio.rate <= 0) throw std::invalid_argument("no audio");
    QAudioFormat format;
    format.setSampleRate(audio.rate);
    format.setChannelCount(audio.kanaele);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice geraet = QMediaDevices::defaultAudioOutput();
    if (geraet.isNull()) throw std::runtime_error("no audio output device");

    // The device stays open between recordings of the same format.
    if (sink_ && sink_->format() != format) Freigeben();
    spielt_ = false;
    if (sink_) sink_->stop();
    puffer_.close();
    if (!sink_) {
        sink_ = std::make_unique<QAudioSink>(geraet, format);
        connect(sink_.get(), &QAudioSink::stateChanged, this, &TQtWellenausgabe::Zustand);
    }
    // The end of the data is reported when the server has taken it, not when it has been heard; a stop then
    // would drop what the server still holds. Silence behind the recording, longer than the device buffer,
    // is what gets dropped instead.
    const qsizetype bytesJeSekunde = static_cast<qsizetype>(audio.rate) * audio.kanaele * 2;
    const qsizetype puffer = bytesJeSekunde * kPufferMs / 1000 / (audio.kanaele * 2) * (audio.kanaele * 2);
    const qsizetype stille = bytesJeSekunde * kStilleMs / 1000 / (audio.kanaele * 2) * (audio.kanaele * 2);
    daten_ = QByteArray(reinterpret_cast<const char*>(audio.samples.data()),
                        static_cast<qsizetype>(audio.samples.size() * sizeof(std::int16_t)));
    daten_.append(stille, '\0');
    sink_->setBufferSize(puffer);
    puffer_.setData(daten_);
    puffer_.open(QIODevice::ReadOnly);
    aufnahme_ = aufnahme;
    beendet_ = false;
    spielt_ = true;
    sink_->start(&puffer_);
    if (sink_->error() == QAudio::OpenError || sink_->state() == QAudio::StoppedState) {
        spielt_ = false;
        Freigeben();
        throw std::runtime_error("the audio output could not be opened");
    }
}

void TQtWellenausgabe::Zustand(QAudio::State zustand) {
    if (!spielt_ || !sink_) return;
    if (zustand == QAudio::IdleState && puffer_.atEnd() && !beendet_) {
        beendet_ = true;
        Melde(Ereignis::Stop, aufnahme_);
    } else if (zustand == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
        spielt_ = false;
        Melde(Ereignis::Error, aufnahme_);
    }
}

void TQtWellenausgabe::Stoppe() {
    spielt_ = false;
    if (sink_) sink_->stop();
}

void TQtWellenausgabe::Schliesse() {
    spielt_ = false;
    if (sink_) sink_->stop();
    Melde(Ereignis::Close, aufnahme_);
}

void TQtWellenausgabe::Zuruecksetzen() { Freigeben(); }

void TQtWellenausgabe::Melde(Ereignis e, unsigned aufnahme) {
    QMetaObject::invokeMethod(
        this,
        [this, e, aufnahme] {
            if (!empfaenger_) return;
            switch (e) {
                case Ereignis::Stop: empfaenger_->WaveOutStop(aufnahme); break;
                case Ereignis::Close: empfaenger_->WaveOutClose(aufnahme); break;
                case Ereignis::Error: empfaenger_->WaveOutError(aufnahme); break;
            }
        },
        Qt::QueuedConnection);
}

TQtZeitgeber::TQtZeitgeber(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (aktion_) aktion_();
    });
}

void TQtZeitgeber::Starte(int millisekunden, std::function<void()> aktion) {
    aktion_ = std::move(aktion);
    timer_.start(millisekunden);
}

}  // namespace zanit
