#pragma once

#include <windows.h>

// Where a window whose rectangle was remembered from an earlier session
// should open now. Screens come and go and resolutions change between runs,
// so a stored rectangle may lie off every screen.
//
// The rectangle counts as reachable when the work area of some monitor shows
// a piece of its top strip (the top kGripSize rows) at least kGripSize pixels
// wide and half a strip high (less for a window smaller than that): enough to
// put the pointer on and drag. A reachable rectangle comes back unchanged.
// Any other is moved onto the work area of the nearest monitor, as close to
// where it was as the work area allows, keeping its size unless it is larger
// than the work area, in which case it is shrunk to fit.
RECT placeOnNearestMonitor(const RECT& rect);

// The pixels of a window's top strip that must be visible for it to count as
// reachable, at 96 DPI (scaled to the system's DPI).
constexpr int kGripSize = 16;
