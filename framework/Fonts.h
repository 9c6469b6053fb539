#pragma once

#include "framework/DisplayScale.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

// Fonts chosen by face name and point size, as the page formats store them.
// The height is a character height (negative lfHeight), so a 10-point font
// has 10-point glyphs rather than a 10-point line.

// A font of `pointSize` points in `faceName` (at most 31 characters are
// used) with the default character set. Measured on `dc`, or on the screen
// when no device context is given.
bool createPointFont(GdiObject<HFONT>& holder, const char* faceName, int pointSize, HDC dc = nullptr,
                     bool underline = false);

// The same for a window laid out at `scale` (DisplayScale::of), which may
// differ from the screen's DPI on a monitor of another scale.
bool createPointFont(GdiObject<HFONT>& holder, const char* faceName, int pointSize, const DisplayScale& scale);
// CreateFontIndirectA of `lf` with lfHeight read as a point size and turned
// into the logical height of that many points on `dc` (the screen when null).
// The previous font of the holder is deleted; on failure the holder is left
// empty and the result is false.
bool createFontFromPoints(GdiObject<HFONT>& holder, const LOGFONTA& lf, HDC dc = nullptr);
