#include "framework/FramedWindow.h"
#include "framework/WindowProcedure.h"
#include "support/Picture.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <vector>

// Flat draws both lines in the line colour; raised is light above and left,
// dark below and right; sunken, and any unknown style, the other way round.
// The band fills the sizing border between the line and the client area,
// which keeps its class brush's colour; the frame is painted once more on its
// own after each redraw, so a band that strayed there would stay. Activation
// must not bring back the system's frame over the painted one.
TEST(FramedWindow, EachStyleDrawsItsLinesAroundTheBandAndActivationKeepsThem) {
    const COLORREF client = RGB(255, 0, 255), line = RGB(0, 0, 255), band = RGB(0, 160, 0);
    // A mid grey face: its light line is grey 193, its dark line grey 63.
    const COLORREF light = RGB(193, 193, 193), dark = RGB(63, 63, 63);
    static const ATOM registered =
        registerWindowClass("LkFramedWindowTest", 0, nullptr, nullptr, nullptr, CreateSolidBrush(client));
    ASSERT_NE(registered, 0);
    FramedWindow frame;
    ASSERT_TRUE(
        frame.create(0, "LkFramedWindowTest", nullptr, WS_POPUP | WS_THICKFRAME, 40, 40, 160, 120, nullptr, nullptr));
    ShowWindow(frame.handle(), SW_SHOWNOACTIVATE);
    frame.setFrameLineColor(line);
    frame.setFrameFaceColor(RGB(128, 128, 128));
    frame.setFillColor(band);
    RECT outer{}, inner{};
    GetWindowRect(frame.handle(), &outer);
    GetClientRect(frame.handle(), &inner);
    MapWindowPoints(frame.handle(), nullptr, reinterpret_cast<POINT*>(&inner), 2);
    OffsetRect(&inner, -outer.left, -outer.top);

    // Each style is painted, and then activation is switched on and off once.
    const struct {
        int style, activations;
        COLORREF upperLeft, lowerRight;
    } rows[] = {
        {1, 0, line, line}, {0, 0, light, dark}, {2, 0, dark, light}, {-1, 0, dark, light}, {0, 1, light, dark}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        frame.setFrameStyle(row.style);
        RedrawWindow(frame.handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        flushEvents();
        SendMessageA(frame.handle(), WM_NCPAINT, 1, 0);
        if (row.activations != 0) {
            SendMessageA(frame.handle(), WM_NCACTIVATE, TRUE, 0);
            SendMessageA(frame.handle(), WM_NCACTIVATE, FALSE, 0);
            flushEvents();
        }
        const Picture shown = grabWindow(frame.handle(), true);
        const int w = shown.width, h = shown.height;
        // The edges, the band inside the left edge and at the client's corner, the client's corners.
        EXPECT_EQ(
            std::vector<COLORREF>({shown.at(w / 2, 0), shown.at(0, h / 2), shown.at(w - 1, h / 2),
                                   shown.at(w / 2, h - 1), shown.at(1, h / 2), shown.at(inner.left - 1, inner.top - 1),
                                   shown.at(inner.left, inner.top), shown.at(inner.right - 1, inner.bottom - 1)}),
            std::vector<COLORREF>(
                {row.upperLeft, row.upperLeft, row.lowerRight, row.lowerRight, band, band, client, client}));
    }
    DestroyWindow(frame.handle());
}
