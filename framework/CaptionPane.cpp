#include "framework/CaptionPane.h"

#include "framework/Application.h"
#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "framework/Fonts.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kIconSize = 16;
constexpr int kIconLeft = 1;
constexpr int kTextLeft = 15;
// The strip is as high as a full-width kana of the caption font, plus a margin.
constexpr char kMeasuredGlyph[] = "あ";
constexpr int kCaptionMargin = 2;

} // namespace

CaptionPane::CaptionPane(int iconId) : captionIcon(iconId) {}

bool CaptionPane::createPane(HWND parent) {
    return create(0, application().paneClass().c_str(), nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_BORDER, 10, 10, 100,
                  100, parent, nullptr);
}

void CaptionPane::setCaptionFont(const char* faceName, int pointSize) {
    captionFace = faceName ? faceName : "";
    captionPoints = pointSize;
    const DisplayScale scale = DisplayScale::of(hwnd);
    createPointFont(captionFont, faceName, pointSize, scale);
    SIZE extent{};
    {
        WindowDc screen(nullptr);
        SelectedObject font(screen.get(), captionFont.get());
        GetTextExtentPoint32A(screen.get(), kMeasuredGlyph, sizeof kMeasuredGlyph - 1, &extent);
    }
    captionHeight = extent.cy + scale(kCaptionMargin);
    RECT client{};
    if (hwnd && GetClientRect(hwnd, &client)) {
        onSize(SIZE_RESTORED, client.right, client.bottom);
    }
}

// SWP_NOZORDER only: a hidden client window is moved but stays hidden.
void CaptionPane::onSize(UINT, int width, int height) {
    const HWND client = clientWindow();
    if (!client) {
        return;
    }
    HDWP layout = BeginDeferWindowPos(1);
    if (layout) {
        layout = DeferWindowPos(layout, client, nullptr, 0, captionHeight, width, std::max(height - captionHeight, 0),
                                SWP_NOZORDER);
    }
    if (layout) {
        EndDeferWindowPos(layout);
    }
}

// Only the top captionHeight pixels show; the client window covers the rest.
void CaptionPane::onPaint() {
    PaintDc paint(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    DeviceContext(paint.get()).fillRect(client, fillColor());
    drawIcon(paint.get());
    drawCaptionText(paint.get());
}

void CaptionPane::applyDisplayScale() {
    setCaptionFont(captionFace.c_str(), captionPoints);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Drawn through an image list so the icon's mask keeps the fill colour around it.
void CaptionPane::drawIcon(HDC dc) const {
    const DisplayScale scale = DisplayScale::of(hwnd);
    const int size = scale(kIconSize);
    const OwnedIcon icon(static_cast<HICON>(
        LoadImageA(application().instance, MAKEINTRESOURCEA(captionIcon), IMAGE_ICON, size, size, 0)));
    const OwnedImageList list(ImageList_Create(size, size, ILC_MASK, 0, 1));
    if (!icon || !list || ImageList_ReplaceIcon(list.get(), -1, icon.get()) < 0) {
        return;
    }
    ImageList_DrawEx(list.get(), 0, dc, scale(kIconLeft), 0, size, size, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
}

// The text cell's background is the fill colour that fillRect left in the
// device context.
void CaptionPane::drawCaptionText(HDC dc) const {
    std::string text;
    if (getText(text) == 0) {
        return;
    }
    SelectedObject font(dc, captionFont.get());
    SetTextColor(dc, captionTextColor);
    TextOutA(dc, DisplayScale::of(hwnd)(kTextLeft), 0, text.c_str(), static_cast<int>(text.size()));
}
