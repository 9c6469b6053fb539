#include "app/Application.h"
#include "framework/CaptionPane.h"
#include "framework/DcScopes.h"
#include "framework/WindowProcedure.h"
#include "support/Picture.h"
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

    // Pixels of `color` in the caption strip from column `fromX` on.
    int countInStrip(int fromX, COLORREF color) const {
        const Picture shown = grabWindow(pane.hwnd);
        return shown.count(color, RECT{fromX, 0, shown.width, pane.stripHeight()});
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

// The strip is as high as the caption font's text plus two; the client lies
// below it, follows each new size, and gets no height rather than a negative
// one in a pane lower than its strip.
TEST_F(CaptionPaneTest, TheCaptionFontSetsTheStripHeightAndTheClientLiesBelowIt) {
    addClient();
    for (int points : {10, 20}) {
        pane.setCaptionFont("ＭＳ ゴシック", points);
        for (int height : {kPaneHeight, 90}) {
            SetWindowPos(pane.hwnd, nullptr, 0, 0, kPaneWidth - 50, height, SWP_NOZORDER);
            RECT client{};
            GetClientRect(pane.hwnd, &client);
            const int expected = glyphHeight("ＭＳ ゴシック", points) + 2;
            EXPECT_EQ(pane.stripHeight(), expected) << points;
            const RECT rect = childRectInParent(pane.client);
            const RECT below{0, expected, client.right, client.bottom};
            EXPECT_TRUE(EqualRect(&rect, &below)) << points;
        }
    }
    EXPECT_EQ(GetWindowLongA(pane.client, GWL_STYLE) & WS_VISIBLE, 0) << "a hidden client stays hidden";
    SetWindowPos(pane.hwnd, nullptr, 0, 0, 250, pane.stripHeight() / 2, SWP_NOZORDER | SWP_NOMOVE);
    const RECT squeezed = childRectInParent(pane.client);
    EXPECT_EQ(squeezed.bottom, squeezed.top);
}

// Without a caption only the icon shows on the fill colour, which covers the
// whole client area when there is no client window; the text starts at x = 15.
TEST_F(CaptionPaneTest, TheStripShowsTheIconAndTheCaptionInTheirColours) {
    pane.setFillColor(kFill);
    pane.setTextColor(kText);
    pane.setCaptionFont("ＭＳ ゴシック", 10);
    showPane();
    const Picture empty = grabWindow(pane.hwnd);
    EXPECT_EQ(empty.count(kFill, RECT{17, 0, kPaneWidth, pane.stripHeight()}), (kPaneWidth - 17) * pane.stripHeight());
    EXPECT_GT(16 * 16 - empty.count(kFill, RECT{1, 0, 17, 16}), 0) << "the icon";
    EXPECT_EQ(empty.at(kPaneWidth / 2, kPaneHeight / 2), kFill);

    ASSERT_TRUE(pane.setWindowText("ページリスト"));
    showPane();
    EXPECT_GT(countInStrip(15, kText), 20);
    EXPECT_EQ(countInStrip(0, kText), countInStrip(15, kText));
}
