#pragma once
// What really reached the audio server: records the monitor of the null sink that scripts/test-env makes the
// default output (ZANIT_TEST_SINK) with parec, and cuts the recording into tones by their pitch.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zanit::test {

inline constexpr int kMitschnittRate = 16000;

// A stretch of the recording with one pitch.
struct Tonstueck {
    double hz = 0;       // pitch from the zero crossings
    double sekunden = 0;
    double beginn = 0;   // seconds from the start of the recording
};

class Mitschnitt {
public:
    // Starts recording into `datei`. Throws when there is no test sink (run the test through scripts/test-env).
    explicit Mitschnitt(std::string datei) : datei_(std::move(datei)) {
        const char* sink = std::getenv("ZANIT_TEST_SINK");
        if (!sink || !*sink) throw std::runtime_error("ZANIT_TEST_SINK is not set; run through scripts/test-env");
        const std::string monitor = std::string(sink) + ".monitor";
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            execlp("parec", "parec", "-d", monitor.c_str(), "--format=s16le", "--rate=16000", "--channels=1",
                   "--latency-msec=10", "--raw", datei_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Mitschnitt() { Beenden(); }

    // Waits until parec's record stream is connected to the server (at most 5 s); false when it never is.
    bool Bereit() const {
        for (int i = 0; i < 100; ++i) {
            if (FILE* p = popen("pactl list short source-outputs 2>/dev/null", "r")) {
                char zeile[256];
                const bool verbunden = fgets(zeile, sizeof zeile, p) != nullptr;
                pclose(p);
                if (verbunden) return true;
            }
            usleep(50000);
        }
        return false;
    }
    Mitschnitt(const Mitschnitt&) = delete;
    Mitschnitt& operator=(const Mitschnitt&) = delete;

    // Ends the recording and returns its samples.
    std::vector<std::int16_t> Beenden() {
        if (pid_ > 0) {
            kill(pid_, SIGINT);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        return Bisher();
    }

    // Whether anything louder than silence has been recorded so far.
    bool Hoerbar() const {
        for (std::int16_t v : Bisher())
            if (v > 2000 || v < -2000) return true;
        return false;
    }

    std::vector<std::int16_t> Bisher() const {
        std::ifstream f(datei_, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        const std::string roh = s.str();
        std::vector<std::int16_t> samples(roh.size() / 2);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(roh[2 * i]) |
                                                   (static_cast<unsigned char>(roh[2 * i + 1]) << 8));
        return samples;
    }

private:
    std::string datei_;
    pid_t pid_ = -1;
};

// Cuts a recording into stretches of 20 ms frames of one pitch; silent frames end a stretch. Pitches within
// 15 % count as one. A stretch that continues the previous one's pitch within 150 ms is the same tone broken by
// a dropout of the loaded audio server (its parts are added up); stretches shorter than 40 ms are dropped
// (device starts and stops).
inline std::vector<Tonstueck> Tonstuecke(const std::vector<std::int16_t>& s, int rate = kMitschnittRate) {
    const std::size_t rahmen = static_cast<std::size_t>(rate / 50);
    const double dauer = static_cast<double>(rahmen) / rate;
    std::vector<Tonstueck> roh;
    Tonstueck laufend;
    auto abschliessen = [&] {
        if (laufend.sekunden > 0) roh.push_back(laufend);
        laufend = Tonstueck{};
    };
    for (std::size_t start = 0; start + rahmen <= s.size(); start += rahmen) {
        double energie = 0;
        int nulldurchgaenge = 0;
        for (std::size_t i = start; i < start + rahmen; ++i) {
            energie += static_cast<double>(s[i]) * s[i];
            if (i > start && (s[i - 1] < 0) != (s[i] < 0)) ++nulldurchgaenge;
        }
        if (std::sqrt(energie / static_cast<double>(rahmen)) < 500) {
            abschliessen();
            continue;
        }
        const double hz = nulldurchgaenge / 2.0 / dauer;
        if (laufend.sekunden > 0 && std::abs(hz - laufend.hz) > 0.15 * laufend.hz) abschliessen();
        if (laufend.sekunden == 0) laufend.beginn = static_cast<double>(start) / rate;
        laufend.hz = (laufend.hz * laufend.sekunden + hz * dauer) / (laufend.sekunden + dauer);
        laufend.sekunden += dauer;
    }
    abschliessen();
    std::vector<Tonstueck> stuecke;
    for (const Tonstueck& t : roh) {
        if (!stuecke.empty()) {
            Tonstueck& v = stuecke.back();
            if (std::abs(t.hz - v.hz) <= 0.15 * v.hz && t.beginn - (v.beginn + v.sekunden) < 0.15 &&
                v.sekunden + t.sekunden > 0) {
                v.hz = (v.hz * v.sekunden + t.hz * t.sekunden) / (v.sekunden + t.sekunden);
                v.sekunden += t.sekunden;
                continue;
            }
        }
        stuecke.push_back(t);
    }
    std::erase_if(stuecke, [](const Tonstueck& t) { return t.sekunden < 0.04; });
    return stuecke;
}

// A sine tone of `sekunden` at `hz`, mono 16-bit.
inline std::vector<std::int16_t> Sinuston(double hz, double sekunden, int rate = kMitschnittRate) {
    std::vector<std::int16_t> s(static_cast<std::size_t>(sekunden * rate));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate));
    return s;
}

}  // namespace zanit::test
