#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/FramedWindow.h"
#include "framework/WindowProcedure.h"
#include "support/Picture.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kClientColor = RGB(255, 0, 255);
constexpr COLORREF kLineColor = RGB(0, 0, 255);
constexpr COLORREF kBandColor = RGB(0, 160, 0);
// A mid grey: its light line is grey 193, its dark line grey 63.
constexpr COLORREF kFaceColor = RGB(128, 128, 128);
constexpr COLORREF kLight = RGB(193, 193, 193);
constexpr COLORREF kDark = RGB(63, 63, 63);

// A framed window whose client area paints itself in a colour of its own, so
// any frame painting that strays into it shows.
class PaintedFrame : public FramedWindow {
public:
    bool onEraseBackground(HDC) override { return true; }
    void onPaint() override {
        PaintDc paint(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        DeviceContext(paint.get()).fillRect(client, kClientColor);
    }
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered =
            registerWindowClass("LkFramedWindowTest", 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr);
        ASSERT_TRUE(registered);
        ASSERT_TRUE(frame.create(0, "LkFramedWindowTest", nullptr, WS_POPUP | WS_THICKFRAME, 40, 40, 160, 120, nullptr,
                                 nullptr));
        ShowWindow(frame.hwnd, SW_SHOWNOACTIVATE);
        flushEvents();
    }
    void TearDown() override { DestroyWindow(frame.hwnd); }

    // The whole window is redrawn, then the frame once more on its own: a
    // band fill that strayed into the client area would not be painted over.
    void expectFrame(COLORREF upperLeft, COLORREF lowerRight, COLORREF band, bool repaint = true) {
        if (repaint) {
            RedrawWindow(frame.hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            flushEvents();
            SendMessageA(frame.hwnd, WM_NCPAINT, 1, 0);
        }
        const Picture window = grabWindow(frame.hwnd, true);
        const int w = window.width;
        const int h = window.height;
        RECT outer{};
        GetWindowRect(frame.hwnd, &outer);
        RECT client{};
        GetClientRect(frame.hwnd, &client);
        MapWindowPoints(frame.hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        OffsetRect(&client, -outer.left, -outer.top);
        ASSERT_GE(client.left, 2) << "the sizing border leaves room for a band";
        // The upper-left line owns the top-left corner, the lower-right line
        // the other three; the band lies just inside the line and just
        // outside the client area.
        const struct {
            const char* where;
            int x, y;
            COLORREF expected;
        } points[] = {
            {"top edge", w / 2, 0, upperLeft},
            {"left edge", 0, h / 2, upperLeft},
            {"top-left corner", 0, 0, upperLeft},
            {"right edge", w - 1, h / 2, lowerRight},
            {"bottom edge", w / 2, h - 1, lowerRight},
            {"top-right corner", w - 1, 0, lowerRight},
            {"bottom-left corner", 0, h - 1, lowerRight},
            {"bottom-right corner", w - 1, h - 1, lowerRight},
            {"left band", 1, h / 2, band},
            {"top band", w / 2, 1, band},
            {"right band", w - 2, h / 2, band},
            {"bottom band", w / 2, h - 2, band},
            {"band at the client's corner", client.left - 1, client.top - 1, band},
            {"client top-left", client.left, client.top, kClientColor},
            {"client bottom-right", client.right - 1, client.bottom - 1, kClientColor},
        };
        for (const auto& point : points) {
            EXPECT_EQ(window.at(point.x, point.y), point.expected) << point.where;
        }
    }

    void setFrame(int style) {
        frame.setFrameStyle(style);
        frame.setFrameLineColor(kLineColor);
        frame.setFrameFaceColor(kFaceColor);
        frame.setFillColor(kBandColor);
    }

    PaintedFrame frame;
};

} // namespace

TEST_F(FrameTest, AFreshWindowPaintsAFlatButtonFaceFrame) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    expectFrame(face, face, face);
}

// Flat draws both lines in the line colour; raised is light above and left,
// dark below and right; sunken, and any unknown style, the other way round.
TEST_F(FrameTest, EachStyleDrawsItsLinesAroundTheBand) {
    const struct {
        int style;
        COLORREF upperLeft;
        COLORREF lowerRight;
    } rows[] = {{1, kLineColor, kLineColor}, {0, kLight, kDark}, {2, kDark, kLight}, {5, kDark, kLight}, {-1, kDark, kLight}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        setFrame(row.style);
        expectFrame(row.upperLeft, row.lowerRight, kBandColor);
    }
    // Activation must not bring back the system's frame over the painted one.
    setFrame(0);
    expectFrame(kLight, kDark, kBandColor);
    SendMessageA(frame.hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(frame.hwnd, WM_NCACTIVATE, FALSE, 0);
    flushEvents();
    expectFrame(kLight, kDark, kBandColor, false);
}
