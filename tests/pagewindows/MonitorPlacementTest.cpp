#include "framework/MonitorPlacement.h"

#include <gtest/gtest.h>

namespace {

RECT primaryWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

int width(const RECT& rect) {
    return rect.right - rect.left;
}
int height(const RECT& rect) {
    return rect.bottom - rect.top;
}

::testing::AssertionResult sameRect(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got {" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "}, expected {" << expected.left << ", " << expected.top
                                         << ", " << expected.right << ", " << expected.bottom << "}";
}

bool inside(const RECT& rect, const RECT& area) {
    return rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom;
}

} // namespace

TEST(MonitorPlacement, ARectangleThatCanBeGrabbedStaysWhereItIs) {
    const RECT work = primaryWorkArea();
    const RECT cases[] = {
        {work.left + 100, work.top + 100, work.left + 300, work.top + 250},
        // Mostly off the left edge, but 50 pixels of its top strip show.
        {work.left - 150, work.top + 100, work.left + 50, work.top + 300},
        // Hanging over the bottom edge with its top strip on the screen.
        {work.left + 100, work.bottom - 20, work.left + 300, work.bottom + 200},
    };
    for (const RECT& rect : cases) {
        EXPECT_TRUE(sameRect(placeOnNearestMonitor(rect), rect));
    }
}

TEST(MonitorPlacement, ARectangleOffEveryScreenMovesOntoTheNearestKeepingItsSize) {
    const RECT work = primaryWorkArea();
    // Where a second screen to the lower right used to be.
    const RECT moved = placeOnNearestMonitor(RECT{5000, 5000, 5200, 5200});
    EXPECT_EQ(width(moved), 200);
    EXPECT_EQ(height(moved), 200);
    EXPECT_TRUE(inside(moved, work));
    EXPECT_EQ(moved.right, work.right) << "as near to the old place as the work area allows";
    EXPECT_EQ(moved.bottom, work.bottom);

    // Left of the screen: only the horizontal position changes.
    const RECT left = placeOnNearestMonitor(RECT{-3000, work.top + 100, -2800, work.top + 300});
    EXPECT_TRUE(sameRect(left, RECT{work.left, work.top + 100, work.left + 200, work.top + 300}));
}

TEST(MonitorPlacement, ATopStripThatCannotBeGrabbedCountsAsOffTheScreen) {
    const RECT work = primaryWorkArea();
    // The top strip lies above the screen, though the lower part shows.
    const RECT above = placeOnNearestMonitor(RECT{work.left + 100, work.top - 100, work.left + 300, work.top + 10});
    EXPECT_TRUE(sameRect(above, RECT{work.left + 100, work.top, work.left + 300, work.top + 110}));

    // Only a sliver narrower than the grip size shows at the right edge.
    const RECT sliver =
        placeOnNearestMonitor(RECT{work.right - (kGripSize - 1), work.top + 50, work.right + 185, work.top + 250});
    EXPECT_TRUE(sameRect(sliver, RECT{work.right - 200, work.top + 50, work.right, work.top + 250}));

    // Exactly the grip size showing is enough.
    const RECT grip{work.right - kGripSize, work.top + 50, work.right + 184, work.top + 250};
    EXPECT_TRUE(sameRect(placeOnNearestMonitor(grip), grip));
}

TEST(MonitorPlacement, ARectangleLargerThanTheWorkAreaIsShrunkToIt) {
    const RECT work = primaryWorkArea();
    const RECT huge = placeOnNearestMonitor(RECT{4000, -9000, 4000 + width(work) + 500, -9000 + height(work) + 300});
    EXPECT_TRUE(sameRect(huge, work));
}
