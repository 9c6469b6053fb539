#pragma once

#include "framework/WindowObject.h"

// A window that paints its own one-pixel frame (flat, raised or sunken) and a
// band of fill colour between that line and the client area, in place of the
// system's non-client painting. The main window and the caption panes are
// framed windows.
class FramedWindow : public WindowObject {
public:
    // How the frame line is drawn; the values are those page formats store.
    enum Style : int { Raised = 0, Flat = 1, Sunken = 2 };

    // Starts as a flat frame in the button-face colour, so a window painted
    // before its owner has set the frame shows something sensible.
    FramedWindow();

    // The setters only store; the owner repaints the frame when it wants the
    // change seen (RedrawWindow with RDW_FRAME).
    virtual void setFillColor(COLORREF color);
    virtual void setFrameFaceColor(COLORREF color);
    virtual void setFrameLineColor(COLORREF color);
    // A Style; any value other than Raised and Flat draws sunken.
    virtual void setFrameStyle(int style);
    virtual COLORREF fillColor() const;
    virtual COLORREF frameFaceColor() const;
    virtual COLORREF frameLineColor() const;
    virtual int frameStyle() const;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Paints the frame and the band; the system's painting never runs.
    void onNcPaint(HRGN updateRegion) override;

private:
    void paintFrameLines(HDC dc, int width, int height) const;
    void paintBand(HDC dc, const RECT& windowRect, int width, int height) const;

    int style;
    COLORREF lineColor;
    COLORREF faceColor;
    COLORREF bandColor;
};
