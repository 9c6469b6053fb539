#pragma once

#include <windows.h>

// Showing a page switches the Japanese input method on for pages marked
// "IME自動オン" and off for the others. The only control the input method
// offers is a toggle (the Japanese open/close hot key), so whether to press
// it depends on the state it is in now.

// true when the toggle must be pressed: the page wants the input method on
// and it is closed (status 0), or wants it off and it is open (status 1).
// Any other status is left alone.
bool imeNeedsToggle(bool imeAutoOn, DWORD openStatus);

// Reads the open state of `window`'s input context and toggles it when
// imeNeedsToggle says so. A window without an input context is left alone.
void switchInputMethod(HWND window, bool imeAutoOn);
