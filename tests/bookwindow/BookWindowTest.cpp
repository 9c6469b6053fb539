// The book window in this process: its hit testing. The program as a whole
// is driven end to end in tests/e2e.
#include "bookwindow/BookWindow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <tuple>

// A press anywhere on the window drags it, except on the close icon, which
// must get the click.
TEST(BookWindowInProcess, TheWindowIsDraggedAnywhereButOnTheCloseIcon) {
    const TempFolder folder;
    BookWindow window(folder.path().string() + "\\");
    ASSERT_TRUE(window.createMainWindow(nullptr));
    for (const auto& [x, y, hit] : {std::tuple{5, 5, HTCLIENT}, {8, 60, HTCAPTION}, {200, 100, HTCAPTION}}) {
        POINT point{x, y};
        ClientToScreen(window.hwnd, &point);
        EXPECT_EQ(SendMessageA(window.hwnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), hit) << x << "," << y;
    }
    DestroyWindow(window.hwnd);
    // The destroyed main window ends the message loop it believes in.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
