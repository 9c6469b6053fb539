#pragma once

#include <windows.h>

// The colour value that stands for "automatic": whoever draws with it takes
// the system colour meant for that place, read when it draws, so a changed
// colour scheme shows at once. No real colour has this value.
constexpr COLORREF kAutomaticColor = 0xFFFFFFFF;

// `color`, or the system colour `systemIndex` when `color` is automatic.
inline COLORREF resolvedColor(COLORREF color, int systemIndex) {
    return color == kAutomaticColor ? GetSysColor(systemIndex) : color;
}
