#include "framework/Application.h"
#include "framework/CaptionPane.h"
#include "resources/resource.h"
#include "support/Picture.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kFill = RGB(0, 0, 128);
constexpr COLORREF kText = RGB(255, 255, 0);

class TestPane : public CaptionPane {
public:
    TestPane() : CaptionPane(IDI_SHOW_PAGE) { captionTextColor = kText; }
    HWND clientWindow() override { return client; }
    HWND client = nullptr;
    int strip() const { return captionHeight; }
};

} // namespace

// The client window lies below the strip, and laying the pane out keeps the
// hidden state its owner gave it. The strip shows the icon and, from x = 15,
// the caption in its colour on the fill colour, which also shows where no
// client window covers it.
TEST(CaptionPane, ShowsIconAndCaptionInTheStripAboveTheClient) {
    const HWND host = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP | WS_CLIPCHILDREN, 20, 20, 400, 300, nullptr,
                                      nullptr, application().instance, nullptr);
    TestPane pane;
    ASSERT_TRUE(pane.createPane(host));
    pane.client = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD, 0, 0, 0, 0, pane.handle(), nullptr,
                                  application().instance, nullptr);
    pane.setCaptionFont("ＭＳ ゴシック", 20);
    // The strip is as high as "あ" in the caption font, and 2 pixels more.
    const HDC screen = GetDC(nullptr);
    const HFONT font = CreateFontA(-MulDiv(20, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, 0, 0, 0, 0,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, "ＭＳ ゴシック");
    const HGDIOBJ before = SelectObject(screen, font);
    SIZE extent{};
    GetTextExtentPoint32A(screen, "あ", 2, &extent);
    DeleteObject(SelectObject(screen, before));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(pane.strip(), extent.cy + 2);
    RECT client{};
    GetWindowRect(pane.client, &client);
    MapWindowPoints(nullptr, pane.handle(), reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.top, pane.strip());
    EXPECT_FALSE(IsWindowVisible(pane.client));

    pane.setFillColor(kFill);
    ASSERT_TRUE(pane.setWindowText("ページリスト"));
    SetWindowPos(pane.handle(), nullptr, 0, 0, 300, 160, SWP_NOZORDER);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    ShowWindow(pane.handle(), SW_SHOWNA);
    RedrawWindow(pane.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    flushEvents();
    const Picture shown = grabWindow(pane.handle());
    const RECT text{15, 0, shown.width, pane.strip()};
    EXPECT_LT(shown.count(kFill, RECT{1, 0, 17, 16}), 16 * 16) << "the icon";
    EXPECT_GT(shown.count(kText, text), 20);
    EXPECT_EQ(shown.count(kText), shown.count(kText, text));
    EXPECT_EQ(shown.at(shown.width - 1, pane.strip() / 2), kFill);
    EXPECT_EQ(shown.at(shown.width / 2, 100), kFill);
    DestroyWindow(host);
}
