#pragma once

#include "framework/FramedWindow.h"
#include "framework/UniqueHandle.h"

#include <string>

// A framed child window with a caption strip along its top (an icon and the
// window text in the caption font and colour, on the fill colour) and one
// client window filling the rest. The page list, the page view and the
// floating page windows are caption panes.
class CaptionPane : public FramedWindow {
public:
    // `iconId` names the icon resource drawn at the strip's left end, 16 x 16
    // at 96 DPI. Every measure of the strip follows DisplayScale::of the pane.
    explicit CaptionPane(int iconId);

    void onPaint() override;
    void onSize(UINT type, int width, int height) override;

    // A hidden child of `parent` of the pane class (Application::paneClass),
    // at 10, 10, 100 x 100; the owner places and shows it.
    virtual bool createPane(HWND parent);
    // Rebuilds the caption font, sizes the strip to the font's height and lays
    // the pane out again.
    virtual void setCaptionFont(const char* faceName, int pointSize);
    // Lays the pane out again for the DPI its window was moved to (after
    // WM_DPICHANGED): the caption font and strip, and whatever the subclass
    // measures in pixels.
    virtual void applyDisplayScale();
    // The child window that fills the pane under the caption strip.
    virtual HWND clientWindow() = 0;

protected:
    GdiObject<HFONT> captionFont;
    int captionHeight = 10;
    COLORREF captionTextColor = 0xFFFFFF;

private:
    void drawIcon(HDC dc) const;

    int captionIcon;
    std::string captionFace;
    int captionPoints = 0;
    void drawCaptionText(HDC dc) const;
};
