#include "framework/DisplayScale.h"

#include <gtest/gtest.h>

// A top-level window is laid out at the DPI it was last told, its children
// with it; without one it is the system's (Wine gives every window that).
TEST(DisplayScale, AWindowTakesTheDpiItWasToldUntilItForgetsIt) {
    const HWND window =
        CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const HWND child = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    EXPECT_EQ(DisplayScale::of(child), DisplayScale::system());
    DisplayScale::remember(window, 144);
    EXPECT_EQ(DisplayScale::of(child).dpi(), 144);
    EXPECT_EQ(DisplayScale::of(window).dpi(), 144);
    DisplayScale::forget(window);
    EXPECT_EQ(DisplayScale::of(window), DisplayScale::system());
    EXPECT_EQ(DisplayScale::of(nullptr), DisplayScale::system());
    EXPECT_EQ(DisplayScale(0).dpi(), 96) << "an unreadable DPI counts as 96";
    DestroyWindow(window);
}
