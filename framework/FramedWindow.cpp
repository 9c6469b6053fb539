#include "framework/FramedWindow.h"

#include "framework/Pens.h"
#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/UniqueHandle.h"

namespace {

void drawPolyline(HDC dc, HPEN pen, const POINT (&points)[3]) {
    SelectedObject selected(dc, pen);
    Polyline(dc, points, 3);
}

} // namespace

FramedWindow::FramedWindow()
    : style(Flat), lineColor(GetSysColor(COLOR_BTNFACE)), faceColor(GetSysColor(COLOR_BTNFACE)),
      bandColor(GetSysColor(COLOR_BTNFACE)) {}

void FramedWindow::setFillColor(COLORREF color) {
    bandColor = color;
}

void FramedWindow::setFrameFaceColor(COLORREF color) {
    faceColor = color;
}

void FramedWindow::setFrameLineColor(COLORREF color) {
    lineColor = color;
}

void FramedWindow::setFrameStyle(int value) {
    style = value;
}

COLORREF FramedWindow::fillColor() const {
    return bandColor;
}

COLORREF FramedWindow::frameFaceColor() const {
    return faceColor;
}

COLORREF FramedWindow::frameLineColor() const {
    return lineColor;
}

int FramedWindow::frameStyle() const {
    return style;
}

LRESULT FramedWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCACTIVATE) {
        // The default activation handler repaints the system frame directly,
        // without WM_NCPAINT; lParam -1 keeps it to the state change so the
        // self-painted frame stays.
        return CallWindowProcA(previousProc, hwnd, message, wParam, -1);
    }
    return WindowObject::handleMessage(message, wParam, lParam);
}

void FramedWindow::onNcPaint(HRGN) {
    WindowDc dc(hwnd, WindowDc::Area::WholeWindow);
    RECT windowRect{};
    if (!dc.get() || !GetWindowRect(hwnd, &windowRect)) {
        return;
    }
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    paintFrameLines(dc.get(), width, height);
    paintBand(dc.get(), windowRect, width, height);
}

// Polyline leaves out each line's last point, so the lower-right line, drawn
// second, owns the top-right and bottom-left corners.
void FramedWindow::paintFrameLines(HDC dc, int width, int height) const {
    const POINT upperLeft[3] = {{0, height - 1}, {0, 0}, {width - 1, 0}};
    const POINT lowerRight[3] = {{width - 1, 0}, {width - 1, height - 1}, {-1, height - 1}};
    if (style == Flat) {
        const GdiObject<HPEN> line = solidPen(lineColor);
        drawPolyline(dc, line.get(), upperLeft);
        drawPolyline(dc, line.get(), lowerRight);
        return;
    }
    const EdgePens pens(faceColor, style == Raised);
    drawPolyline(dc, pens.upperLeft(), upperLeft);
    drawPolyline(dc, pens.lowerRight(), lowerRight);
}

// Everything inside the frame line except the client area: the band of a
// sizing border, or nothing at all for a one-pixel border.
void FramedWindow::paintBand(HDC dc, const RECT& windowRect, int width, int height) const {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    ClientToScreen(hwnd, &corners[0]);
    ClientToScreen(hwnd, &corners[1]);
    const GdiObject<HRGN> clientArea(CreateRectRgn(corners[0].x - windowRect.left, corners[0].y - windowRect.top,
                                                   corners[1].x - windowRect.left, corners[1].y - windowRect.top));
    // Without the region the fill would cover the client area as well.
    if (!clientArea || ExtSelectClipRgn(dc, clientArea.get(), RGN_DIFF) == ERROR) {
        return;
    }
    const RECT inside{1, 1, width - 1, height - 1};
    DeviceContext(dc).fillRect(inside, bandColor);
    SelectClipRgn(dc, nullptr);
}
