#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Pixels read back from the window system: what a window shows, or what a
// piece of drawing code painted into memory.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // Pixels of `color` inside `area`; the whole picture when none is given.
    int count(COLORREF color) const { return count(color, RECT{0, 0, width, height}); }
    int count(COLORREF color, const RECT& area) const;
};

// What `draw` paints into a 32-bit picture first filled with `background`.
Picture paintPicture(int width, int height, COLORREF background, const std::function<void(HDC)>& draw);
// What a window shows now: its client area, or the whole window with its frame.
Picture grabWindow(HWND window, bool wholeWindow = false);
// An owner-drawn button drawn through its parent's WM_DRAWITEM, with the
// button's own font selected as the system would.
Picture drawItem(HWND parent, HWND button, UINT itemState = 0, COLORREF background = RGB(255, 0, 255));

// The height of `text` in `font` on the screen, as a window measures a strip
// for it.
int textHeight(HFONT font, const char* text);
