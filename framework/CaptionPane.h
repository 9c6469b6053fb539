#pragma once

#include "framework/FramedWindow.h"
#include "framework/UniqueHandle.h"

class BookController;

// A framed child window with a caption strip along its top (the page icon and
// the window text in the caption font and colour, on the fill colour) and one
// client window filling the rest. The page list, the page view and the
// floating page windows are caption panes.
class CaptionPane : public FramedWindow {
public:
    explicit CaptionPane(BookController* paneOwner);

    void onPaint() override;
    void onSize(UINT type, int width, int height) override;

    // A hidden child of `parent` of the page window class, at 10, 10, 100 x 100;
    // the owner places and shows it.
    virtual bool createPane(HWND parent);
    // Rebuilds the caption font, sizes the strip to the font's height and lays
    // the pane out again.
    virtual void setCaptionFont(const char* faceName, int pointSize);
    // The child window that fills the pane under the caption strip.
    virtual HWND clientWindow() = 0;

protected:
    GdiObject<HFONT> captionFont;
    int captionHeight = 10;
    BookController* owner;
    COLORREF captionTextColor = 0xFFFFFF;

private:
    void drawIcon(HDC dc) const;
    void drawCaptionText(HDC dc) const;
};
