#pragma once

#include <windows.h>

// Milliseconds from the performance counter, since construction or restart.
class Stopwatch {
public:
    Stopwatch() { restart(); }

    void restart() { QueryPerformanceCounter(&started); }

    double milliseconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - started.QuadPart) * 1000.0 / static_cast<double>(frequency());
    }

private:
    static LONGLONG frequency() {
        static const LONGLONG ticksPerSecond = [] {
            LARGE_INTEGER value;
            QueryPerformanceFrequency(&value);
            return value.QuadPart;
        }();
        return ticksPerSecond;
    }

    LARGE_INTEGER started{};
};
