#pragma once

#include <windows.h>

// The program's pixel measures (the strip, the buttons, the rows, the icons)
// are given as they are at 96 DPI, a display scale of 100 %; a scale turns
// them into pixels at the DPI in effect, all rounded the same way (to the
// nearest pixel, halves up). At 96 DPI every measure is what it always was.
class DisplayScale {
public:
    static constexpr int kBaseDpi = 96;

    constexpr DisplayScale() = default;
    explicit constexpr DisplayScale(int dotsPerInch) : dots(dotsPerInch > 0 ? dotsPerInch : kBaseDpi) {}

    // The system's DPI, which the program gets at start as a DPI-aware program.
    static DisplayScale system();
    // The DPI a window is laid out for: the one its top-level window was last
    // told (remember, after WM_DPICHANGED), else the one the system gives
    // that window (its monitor's, where the program is per-monitor aware),
    // else the system's.
    static DisplayScale of(HWND window);
    // Records the DPI a top-level window is laid out for from now on;
    // forget() before the window is destroyed.
    static void remember(HWND topLevel, int dotsPerInch);
    static void forget(HWND topLevel);

    int dpi() const { return dots; }
    // `pixels` at 96 DPI in pixels at this scale.
    int operator()(int pixels) const { return MulDiv(pixels, dots, kBaseDpi); }

    bool operator==(const DisplayScale& other) const { return dots == other.dots; }
    bool operator!=(const DisplayScale& other) const { return dots != other.dots; }

private:
    int dots = kBaseDpi;
};
