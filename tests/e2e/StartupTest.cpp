#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

TEST(Startup, TheMainWindowHasItsClassTitleAndOwner) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    HWND main = FindWindowA("LKMAINWND", "Leafkeeper");
    ASSERT_EQ(main, program.mainWindow());
    const LONG style = GetWindowLongA(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);
    HWND owner = GetWindow(main, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    char ownerClass[32] = {};
    GetClassNameA(owner, ownerClass, sizeof ownerClass);
    EXPECT_STREQ(ownerClass, "lkdmywnd");
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_FALSE(program.windowsOfClass("tooltips_class32").empty());

    program.postCommand(main, 111); // 終了
    DWORD exitCode = 1;
    ASSERT_TRUE(program.waitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(Startup, ASecondStartShowsTheRunningInstanceAndEnds) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    HWND main = program.mainWindow();
    ShowWindow(main, SW_HIDE);
    program.settle();
    ASSERT_FALSE(IsWindowVisible(main));

    DWORD secondExit = 1;
    ASSERT_TRUE(program.startSecondInstance(secondExit));
    EXPECT_EQ(secondExit, 0u);
    program.settle();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(program.windowsOfClass("LKMAINWND").size(), 1u);
    EXPECT_TRUE(program.running());

    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.waitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(Startup, AWindowOfAnotherClassTitledLeafkeeperDoesNotBlockStartUp) {
    HWND impostor = CreateWindowExA(0, "STATIC", "Leafkeeper", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                    nullptr);
    ASSERT_NE(impostor, nullptr);
    ProgramUnderTest program;
    EXPECT_TRUE(program.start());
    EXPECT_TRUE(program.running());
    PostMessageA(program.mainWindow(), WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(program.waitForExit(exitCode));
    DestroyWindow(impostor);
}
