#pragma once
// The wave output that plays one decoded recording at a time, and the timer of the output error pause.
// Both are interfaces so that the playback rules run without an audio device in tests.

#include <functional>

#include "sound/Wave.h"

namespace zanit {

// Receives the output's events on the user-interface thread. Every event carries the number that the
// recording it belongs to was started with, so events of a recording that has been replaced can be told apart.
class Wellenempfaenger {
public:
    virtual ~Wellenempfaenger() = default;
    virtual void WaveOutStop(unsigned aufnahme) = 0;   // the recording has been played to its end
    virtual void WaveOutClose(unsigned aufnahme) = 0;  // the device has been closed
    virtual void WaveOutError(unsigned aufnahme) = 0;  // the device failed
};

class Wellenausgabe {
public:
    virtual ~Wellenausgabe() = default;
    // At least one output device exists.
    virtual bool GeraetVorhanden() const = 0;
    virtual void SetzeEmpfaenger(Wellenempfaenger* empfaenger) = 0;
    // Plays `audio`, opening the device when it is closed. Throws std::exception when it cannot start.
    virtual void Starte(const PcmAudio& audio, unsigned aufnahme) = 0;
    // Ends the playback at once (no stop event of its own is promised).
    virtual void Stoppe() = 0;
    // Closes the device; a close event follows.
    virtual void Schliesse() = 0;
    // After an error: back to a closed, usable state without events.
    virtual void Zuruecksetzen() = 0;
};

// A single-shot timer.
class Zeitgeber {
public:
    virtual ~Zeitgeber() = default;
    virtual void Starte(int millisekunden, std::function<void()> aktion) = 0;
    virtual void Stoppe() = 0;
    virtual bool Aktiv() const = 0;
};

}  // namespace zanit
