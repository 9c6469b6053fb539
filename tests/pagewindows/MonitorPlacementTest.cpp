#include "framework/MonitorPlacement.h"

#include <gtest/gtest.h>

#include <utility>

// A rectangle whose top strip shows at least kGripSize pixels wide on the work
// area stays where it is. Any other moves onto the nearest work area, as near
// to where it was as it allows, keeping its size unless it is larger.
TEST(MonitorPlacement, OnlyARectangleWhoseTopStripCannotBeGrabbedIsMoved) {
    MONITORINFO info{sizeof info, {}, {}, 0};
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const LONG l = info.rcWork.left, t = info.rcWork.top, r = info.rcWork.right, b = info.rcWork.bottom;
    const std::pair<RECT, RECT> cases[] = {
        {{r - kGripSize, t + 50, r + 184, t + 250}, {r - kGripSize, t + 50, r + 184, t + 250}}, // just enough shows
        {{r - kGripSize + 1, t + 50, r + 185, t + 250}, {r - 200, t + 50, r, t + 250}},         // a sliver too narrow
        {{l + 100, t - 100, l + 300, t + 10}, {l + 100, t, l + 300, t + 110}},  // the strip above the screen
        {{5000, 5000, 5200, 5200}, {r - 200, b - 200, r, b}},                   // where a screen used to be
        {{4000, -9000, 4000 + r - l + 500, -9000 + b - t + 300}, {l, t, r, b}}, // larger than the screen
    };
    for (const auto& [stored, placed] : cases) {
        const RECT got = placeOnNearestMonitor(stored);
        EXPECT_TRUE(EqualRect(&got, &placed))
            << "stored at " << stored.left << ", " << stored.top << ", placed at " << got.left << ", " << got.top;
    }
}
