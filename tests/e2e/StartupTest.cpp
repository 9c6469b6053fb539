#include "support/BookFiles.h"
#include "ProgramUnderTest.h"

#include <shellapi.h>
#include <gtest/gtest.h>

#include <tuple>

// The first start shows the sample page in the page list and writes nothing
// until the exit, which keeps the window's place and the book. The close icon
// hides the window (Close End=No) and a press on the tray icon shows it;
// another icon's messages and other presses change nothing. A second start
// only shows the running program and ends. A restarted shell, which forgot
// the tray icon, gets it again.
TEST(Startup, TheProgramRunsOnceHidesBehindItsTrayIconAndKeepsItsPlace) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    const HWND main = program.mainWindow();
    RECT rect{};
    GetWindowRect(main, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right, 350);
    EXPECT_EQ(rect.bottom, 200);
    EXPECT_TRUE(IsWindowVisible(program.listBox()));
    EXPECT_EQ(program.pageCount(), 1);
    EXPECT_FALSE(program.exists("Leafkeeper.ini") || program.exists("lk.bok"));

    constexpr UINT kTray = WM_APP + 100;
    // Message, wParam, lParam, and whether the window is shown after it.
    const std::tuple<UINT, WPARAM, LPARAM, bool> steps[] = {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 40), true},
                                                            {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), false},
                                                            {kTray, 7, WM_LBUTTONDOWN, false},
                                                            {kTray, 102, WM_LBUTTONUP, false},
                                                            {kTray, 102, WM_LBUTTONDOWN, true},
                                                            {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), false}};
    for (const auto& [message, wParam, lParam, shown] : steps) {
        SendMessageA(main, message, wParam, lParam);
        EXPECT_EQ(IsWindowVisible(main) != FALSE, shown) << message << " " << wParam << " " << lParam;
    }
    ProgramUnderTest second;
    second.start();
    EXPECT_EQ(second.exit(WM_NULL), "");
    program.settle();
    EXPECT_TRUE(IsWindowVisible(main));

    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = main;
    icon.uID = 102;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    SetWindowPos(main, nullptr, 120, 130, 320, 160, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(program.exit(), "");
    for (const char* key : {"Left", "Top", "Right", "Bottom", "Show Top", "Show Page"}) {
        EXPECT_NE(program.iniValue("Status", key), "<missing>") << key;
    }
    for (const char* key : {"Begin Hide", "Save File", "Close End", "Begin Page"}) {
        EXPECT_NE(program.iniValue("Option", key), "<missing>") << key;
    }
    EXPECT_EQ(program.iniValue("Status", "Left"), "120");
    EXPECT_EQ(program.iniValue("Status", "Bottom"), "290");
    EXPECT_EQ(textsIn(program.bookPath(), &Page::title), Texts{"サンプルページ"});
}

// Another program's window of the same class name is not a running
// Leafkeeper: only the class and the title together are.
TEST(Startup, AWindowOfTheSameClassWithAnotherTitleIsNotTheRunningProgram) {
    WNDCLASSA decoyClass{};
    decoyClass.lpfnWndProc = DefWindowProcA;
    decoyClass.hInstance = GetModuleHandleA(nullptr);
    decoyClass.lpszClassName = "LKMAINWND";
    ASSERT_NE(RegisterClassA(&decoyClass), 0);
    const HWND decoy = CreateWindowExA(0, "LKMAINWND", "Another program", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(decoy, nullptr);
    ProgramUnderTest program;
    EXPECT_TRUE(program.start());
    EXPECT_NE(program.mainWindow(), decoy);
    EXPECT_FALSE(IsWindowVisible(decoy));
    EXPECT_EQ(program.exit(), "");
    DestroyWindow(decoy);
    UnregisterClassA("LKMAINWND", GetModuleHandleA(nullptr));
}
