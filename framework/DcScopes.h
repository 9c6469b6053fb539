#pragma once

#include <windows.h>

// Device contexts obtained for one piece of drawing, released on every path.

// BeginPaint in the constructor, EndPaint in the destructor.
class PaintDc {
public:
    explicit PaintDc(HWND window) : hwnd(window) { dc = BeginPaint(hwnd, &paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(hwnd, &paint); }

    HDC get() const { return dc; }
    const PAINTSTRUCT& info() const { return paint; }

private:
    HWND hwnd;
    HDC dc;
    PAINTSTRUCT paint{};
};

// GetDC / GetWindowDC (whole window, frame included) and ReleaseDC. A null
// window gives the screen's device context.
class WindowDc {
public:
    enum class Area { Client, WholeWindow };

    explicit WindowDc(HWND window, Area area = Area::Client)
        : hwnd(window), dc(area == Area::WholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc) {
            ReleaseDC(hwnd, dc);
        }
    }

    HDC get() const { return dc; }

private:
    HWND hwnd;
    HDC dc;
};

// Selects a GDI object into a device context and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC target, HGDIOBJ object)
        : dc(target), previous(object ? SelectObject(target, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous) {
            SelectObject(dc, previous);
        }
    }

private:
    HDC dc;
    HGDIOBJ previous;
};
