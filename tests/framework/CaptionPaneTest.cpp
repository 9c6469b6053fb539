#include "app/Application.h"
#include "framework/CaptionPane.h"
#include "framework/DcScopes.h"
#include "framework/WindowProcedure.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kHostClass = "LkCaptionPaneHost";
constexpr COLORREF kFill = RGB(0, 0, 128);
constexpr COLORREF kText = RGB(255, 255, 0);
constexpr int kPaneWidth = 300;
constexpr int kPaneHeight = 160;

class TestPane : public CaptionPane {
public:
    TestPane() : CaptionPane(nullptr) {}
    HWND clientWindow() override { return client; }

    int stripHeight() const { return captionHeight; }
    void setTextColor(COLORREF color) { captionTextColor = color; }

    HWND client = nullptr;
};

// The height of "あ" in `points` of the face, measured here without the pane.
int glyphHeight(const char* face, int points) {
    WindowDc screen(nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    const GdiObject<HFONT> font(CreateFontIndirectA(&lf));
    SelectedObject selected(screen.get(), font.get());
    SIZE size{};
    GetTextExtentPoint32A(screen.get(), "あ", 2, &size);
    return size.cy;
}

RECT childRectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class CaptionPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered =
            registerWindowClass(kHostClass, 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr) != 0;
        ASSERT_TRUE(registered);
        host = CreateWindowExA(0, kHostClass, nullptr, WS_POPUP | WS_CLIPCHILDREN, 20, 20, 400, 300, nullptr, nullptr,
                               application().instance, nullptr);
        ASSERT_NE(host, nullptr);
        ASSERT_TRUE(pane.createPane(host));
    }
    void TearDown() override { DestroyWindow(host); }

    // A client window that starts hidden, as the page view's editor does
    // before its owner shows it.
    void addClient() {
        pane.client = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD, 0, 0, 0, 0, pane.hwnd, nullptr,
                                      application().instance, nullptr);
        ASSERT_NE(pane.client, nullptr);
    }

    void showPane() {
        SetWindowPos(pane.hwnd, nullptr, 0, 0, kPaneWidth, kPaneHeight, SWP_NOZORDER);
        ShowWindow(host, SW_SHOWNOACTIVATE);
        ShowWindow(pane.hwnd, SW_SHOWNA);
        RedrawWindow(pane.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        flushEvents();
    }

    // Pixels of the caption strip from column `fromX` on.
    int countInStrip(int fromX, COLORREF color, bool equal) const {
        WindowDc dc(pane.hwnd);
        RECT client{};
        GetClientRect(pane.hwnd, &client);
        int count = 0;
        for (int y = 0; y < pane.stripHeight(); ++y) {
            for (int x = fromX; x < client.right; ++x) {
                if ((GetPixel(dc.get(), x, y) == color) == equal) {
                    ++count;
                }
            }
        }
        return count;
    }

    HWND host = nullptr;
    TestPane pane;
};

} // namespace

TEST(CaptionPaneCreation, FailsWithoutAParentAndLeavesNoEntry) {
    TestPane orphan;
    const std::size_t before = application().windowRegistry.size();
    EXPECT_FALSE(orphan.createPane(nullptr));
    EXPECT_EQ(orphan.hwnd, nullptr);
    EXPECT_EQ(application().windowRegistry.size(), before);
    // Without a window the font still sets the strip height.
    orphan.setCaptionFont("ＭＳ ゴシック", 10);
    EXPECT_EQ(orphan.stripHeight(), glyphHeight("ＭＳ ゴシック", 10) + 2);
}

TEST_F(CaptionPaneTest, TheCaptionFontSetsTheStripHeightAndTheClientMovesBelowIt) {
    addClient();
    SetWindowPos(pane.hwnd, nullptr, 0, 0, kPaneWidth, kPaneHeight, SWP_NOZORDER);
    RECT client{};
    GetClientRect(pane.hwnd, &client);

    for (int points : {10, 20}) {
        pane.setCaptionFont("ＭＳ ゴシック", points);
        const int expected = glyphHeight("ＭＳ ゴシック", points) + 2;
        EXPECT_EQ(pane.stripHeight(), expected) << points;
        const RECT rect = childRectInParent(pane.client);
        EXPECT_EQ(rect.left, 0) << points;
        EXPECT_EQ(rect.top, expected) << points;
        EXPECT_EQ(rect.right, client.right) << points;
        EXPECT_EQ(rect.bottom, client.bottom) << points;
    }
    EXPECT_EQ(GetWindowLongA(pane.client, GWL_STYLE) & WS_VISIBLE, 0) << "a hidden client stays hidden";
}

TEST_F(CaptionPaneTest, ResizingThePaneLaysTheClientOutAgain) {
    addClient();
    pane.setCaptionFont("ＭＳ ゴシック", 10);
    SetWindowPos(pane.hwnd, nullptr, 0, 0, 250, 90, SWP_NOZORDER | SWP_NOMOVE);
    RECT client{};
    GetClientRect(pane.hwnd, &client);
    const RECT rect = childRectInParent(pane.client);
    EXPECT_EQ(rect.top, pane.stripHeight());
    EXPECT_EQ(rect.right, client.right);
    EXPECT_EQ(rect.bottom, client.bottom);

    // A pane lower than its strip gives the client no height rather than a negative one.
    SetWindowPos(pane.hwnd, nullptr, 0, 0, 250, pane.stripHeight() / 2, SWP_NOZORDER | SWP_NOMOVE);
    const RECT squeezed = childRectInParent(pane.client);
    EXPECT_EQ(squeezed.bottom, squeezed.top);
}

TEST_F(CaptionPaneTest, AnEmptyCaptionShowsOnlyTheIconOnTheFillColour) {
    pane.setFillColor(kFill);
    pane.setTextColor(kText);
    pane.setCaptionFont("ＭＳ ゴシック", 10);
    showPane();
    EXPECT_EQ(countInStrip(17, kFill, false), 0) << "pixels right of the icon that are not the fill colour";
    // The icon itself: some of its pixels differ from the fill.
    WindowDc dc(pane.hwnd);
    int iconPixels = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 1; x < 17; ++x) {
            iconPixels += GetPixel(dc.get(), x, y) != kFill ? 1 : 0;
        }
    }
    EXPECT_GT(iconPixels, 0);
    // Without a client window the fill covers the whole client area.
    EXPECT_EQ(GetPixel(dc.get(), kPaneWidth / 2, kPaneHeight / 2), kFill);
}

TEST_F(CaptionPaneTest, TheCaptionTextIsDrawnInTheCaptionColour) {
    pane.setFillColor(kFill);
    pane.setTextColor(kText);
    pane.setCaptionFont("ＭＳ ゴシック", 10);
    ASSERT_TRUE(pane.setWindowText("ページリスト"));
    showPane();
    EXPECT_GT(countInStrip(15, kText, true), 20);
    EXPECT_EQ(countInStrip(0, kText, true), countInStrip(15, kText, true)) << "text starts at x = 15";
}
