#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/FramedWindow.h"
#include "framework/WindowProcedure.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

namespace {

constexpr const char* kFrameClass = "LkFramedWindowTest";
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

std::string hex(COLORREF color) {
    std::ostringstream text;
    text << "0x" << std::hex << std::setw(6) << std::setfill('0') << color;
    return text.str();
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered =
            registerWindowClass(kFrameClass, 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr) != 0;
        ASSERT_TRUE(registered);
        ASSERT_TRUE(
            frame.create(0, kFrameClass, nullptr, WS_POPUP | WS_THICKFRAME, 40, 40, 160, 120, nullptr, nullptr));
        ShowWindow(frame.hwnd, SW_SHOWNOACTIVATE);
        flushEvents();
    }
    void TearDown() override { DestroyWindow(frame.hwnd); }

    // The whole window is redrawn, then the frame once more on its own: a
    // band fill that strayed into the client area would not be painted over.
    void repaintFrame() {
        RedrawWindow(frame.hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        flushEvents();
        SendMessageA(frame.hwnd, WM_NCPAINT, 1, 0);
        GetWindowRect(frame.hwnd, &windowRect);
        width = windowRect.right - windowRect.left;
        height = windowRect.bottom - windowRect.top;
        POINT origin{0, 0};
        ClientToScreen(frame.hwnd, &origin);
        clientLeft = origin.x - windowRect.left;
        clientTop = origin.y - windowRect.top;
        RECT client{};
        GetClientRect(frame.hwnd, &client);
        clientRight = clientLeft + client.right;
        clientBottom = clientTop + client.bottom;
    }

    // A pixel of the whole window, frame included.
    COLORREF pixel(int x, int y) const {
        WindowDc dc(frame.hwnd, WindowDc::Area::WholeWindow);
        return GetPixel(dc.get(), x, y);
    }

    // The frame line at the middle of each edge and at each corner: the
    // upper-left line owns the top-left corner, the lower-right line the
    // other three.
    void expectLines(COLORREF upperLeft, COLORREF lowerRight) const {
        const struct {
            const char* where;
            int x, y;
            COLORREF expected;
        } points[] = {
            {"top edge", width / 2, 0, upperLeft},
            {"left edge", 0, height / 2, upperLeft},
            {"top-left corner", 0, 0, upperLeft},
            {"right edge", width - 1, height / 2, lowerRight},
            {"bottom edge", width / 2, height - 1, lowerRight},
            {"top-right corner", width - 1, 0, lowerRight},
            {"bottom-left corner", 0, height - 1, lowerRight},
            {"bottom-right corner", width - 1, height - 1, lowerRight},
        };
        for (const auto& point : points) {
            EXPECT_EQ(hex(pixel(point.x, point.y)), hex(point.expected)) << point.where;
        }
    }

    // Just inside the line on each side, and just outside the client area.
    void expectBandAndClient(COLORREF band) const {
        EXPECT_EQ(hex(pixel(1, height / 2)), hex(band)) << "left band";
        EXPECT_EQ(hex(pixel(width / 2, 1)), hex(band)) << "top band";
        EXPECT_EQ(hex(pixel(width - 2, height / 2)), hex(band)) << "right band";
        EXPECT_EQ(hex(pixel(width / 2, height - 2)), hex(band)) << "bottom band";
        EXPECT_EQ(hex(pixel(clientLeft - 1, clientTop - 1)), hex(band)) << "band at the client's corner";
        EXPECT_EQ(hex(pixel(clientLeft, clientTop)), hex(kClientColor)) << "client top-left";
        EXPECT_EQ(hex(pixel(clientRight - 1, clientBottom - 1)), hex(kClientColor)) << "client bottom-right";
    }

    void setFrame(int style) {
        frame.setFrameStyle(style);
        frame.setFrameLineColor(kLineColor);
        frame.setFrameFaceColor(kFaceColor);
        frame.setFillColor(kBandColor);
    }

    PaintedFrame frame;
    RECT windowRect{};
    int width = 0;
    int height = 0;
    int clientLeft = 0;
    int clientTop = 0;
    int clientRight = 0;
    int clientBottom = 0;
};

} // namespace

TEST_F(FrameTest, AFreshWindowPaintsAFlatButtonFaceFrame) {
    repaintFrame();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    expectLines(face, face);
    expectBandAndClient(face);
}

TEST_F(FrameTest, FlatDrawsBothLinesInTheLineColour) {
    setFrame(1);
    repaintFrame();
    ASSERT_GE(clientLeft, 2) << "the sizing border leaves room for a band";
    expectLines(kLineColor, kLineColor);
    expectBandAndClient(kBandColor);
}

TEST_F(FrameTest, RaisedIsLightAboveAndLeftDarkBelowAndRight) {
    setFrame(0);
    repaintFrame();
    expectLines(kLight, kDark);
    expectBandAndClient(kBandColor);
}

TEST_F(FrameTest, SunkenIsDarkAboveAndLeftLightBelowAndRight) {
    setFrame(2);
    repaintFrame();
    expectLines(kDark, kLight);
    expectBandAndClient(kBandColor);
}

TEST_F(FrameTest, AnyOtherStyleDrawsSunken) {
    setFrame(5);
    repaintFrame();
    expectLines(kDark, kLight);
    setFrame(-1);
    repaintFrame();
    expectLines(kDark, kLight);
}

// Activation must not bring back the system's frame over the painted one.
TEST_F(FrameTest, ActivationKeepsThePaintedFrame) {
    setFrame(0);
    repaintFrame();
    SendMessageA(frame.hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(frame.hwnd, WM_NCACTIVATE, FALSE, 0);
    flushEvents();
    expectLines(kLight, kDark);
    expectBandAndClient(kBandColor);
}
