#pragma once

#include <windows.h>

// A borrowed device context with the program's two drawing shortcuts. Every
// solid fill of the program (caption strips, frame bands, list rows, colour
// swatches) is painted by fillRect.
class DeviceContext {
public:
    explicit DeviceContext(HDC target) : dc(target) {}

    // SetBkColor and an opaque ExtTextOutA without text; leaves the colour
    // as the device context's background colour.
    BOOL fillRect(const RECT& rect, COLORREF color) const;
    bool rectangle(int left, int top, int right, int bottom) const;

    HDC handle() const { return dc; }

private:
    HDC dc;
};
