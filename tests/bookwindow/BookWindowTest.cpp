// The book window in this process: its hit testing and the main menu under a
// real right click. The program as a whole is driven end to end in tests/e2e.
#include "bookwindow/BookWindow.h"
#include "resources/resource.h"
#include "support/MenuProbe.h"
#include "support/Pump.h"
#include "support/RealInput.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

class BookWindowInProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.createMainWindow(nullptr)); }

    void TearDown() override {
        DestroyWindow(window.hwnd);
        // The destroyed main window ends the message loop it believes in.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    POINT onScreen(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(window.hwnd, &point);
        return point;
    }

    const TempFolder folder;
    BookWindow window{folder.path().string() + "\\"};
};

} // namespace

// A press anywhere on the window drags it, except on the close icon, which
// must get the click.
TEST_F(BookWindowInProcess, TheWindowIsDraggedAnywhereButOnTheCloseIcon) {
    for (const auto& [x, y, hit] : {std::tuple{5, 5, HTCLIENT}, {8, 60, HTCAPTION}, {200, 100, HTCAPTION}}) {
        const POINT point = onScreen(x, y);
        EXPECT_EQ(SendMessageA(window.hwnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), hit) << x << "," << y;
    }
}

// A real right click on the bare strip (caption to the system) and on the
// sizing border opens the main menu, with 常に表示 ticked once it is on.
TEST_F(BookWindowInProcess, ARealRightClickOnTheStripOrTheBorderOpensTheMainMenu) {
    const std::vector<UINT> mainMenu{CMD_ALWAYS_ON_TOP, CMD_ADD_PAGE, CMD_SETTINGS, 0, CMD_EXIT};
    for (const auto& [x, y, alwaysOnTop] : {std::tuple{8, 60, false}, {3, 30, true}, {-2, 60, false}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        if (alwaysOnTop != window.currentSettings().showTop) {
            SendMessageA(window.hwnd, WM_COMMAND, CMD_ALWAYS_ON_TOP, 0);
        }
        SetForegroundWindow(window.hwnd);
        flushEvents();
        MenuProbe probe;
        RealInput::click(onScreen(x, y), RealInput::Button::Right);
        EXPECT_TRUE(pumpUntil([&] { return probe.seen; }));
        EXPECT_EQ(probe.items, mainMenu);
        EXPECT_EQ(probe.checked, alwaysOnTop ? std::vector<UINT>{CMD_ALWAYS_ON_TOP} : std::vector<UINT>{});
        flushEvents();
    }
}
