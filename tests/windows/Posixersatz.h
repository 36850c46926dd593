#pragma once
// Included before every source of the Windows tests: the few POSIX calls that the portable tests use for their
// temporary folders and environment, on the C runtime of Windows.
#ifdef _WIN32
#include <direct.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <windows.h>

// A fresh folder from a pattern ending in XXXXXX; the pattern is changed in place, as mkdtemp does.
inline char* mkdtemp(char* muster) {
    const size_t laenge = strlen(muster);
    if (laenge < 6) return nullptr;
    static unsigned zaehler = 0;
    for (int versuch = 0; versuch < 1000; ++versuch) {
        unsigned wert = static_cast<unsigned>(GetCurrentProcessId()) * 7919u + GetTickCount() + ++zaehler * 104729u;
        for (size_t i = laenge - 6; i < laenge; ++i) {
            muster[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[wert % 36];
            wert = wert / 36 + 31 * (wert % 36) + static_cast<unsigned>(i);
        }
        if (_mkdir(muster) == 0) return muster;
    }
    return nullptr;
}

inline int setenv(const char* name, const char* wert, int /*ersetzen*/) { return _putenv_s(name, wert); }
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
#ifndef _POSIX_THREAD_SAFE_FUNCTIONS
inline struct tm* localtime_r(const time_t* zeit, struct tm* ergebnis) {
    return localtime_s(ergebnis, zeit) == 0 ? ergebnis : nullptr;
}
#endif
#endif
