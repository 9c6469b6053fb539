#pragma once

#include <windows.h>

#include <functional>

// Dispatches waiting messages until none arrive for a short while, bounded
// so a test never spins for ever.
void flushEvents(DWORD quietMilliseconds = 50, DWORD limitMilliseconds = 2000);

// Pumps messages until the condition holds or the time is up; returns the
// condition's last value.
bool pumpUntil(const std::function<bool()>& condition, DWORD limitMilliseconds = 5000);
