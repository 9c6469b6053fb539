// The book window in this process: what its menus offer, its left strip and
// its hit testing. The program as a whole is driven end to end in tests/e2e.
#include "bookwindow/BookWindow.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"
#include "support/Picture.h"
#include "support/Pump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr UINT kTrayNotify = WM_APP + 100;

// Records the state of the menu the window tracks, then closes it.
class ProbedBookWindow : public BookWindow {
public:
    using BookWindow::BookWindow;

    void onInitMenuPopup(HMENU menu, UINT, bool) override {
        shownItems.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const UINT id = GetMenuItemID(menu, i);
            if (id != static_cast<UINT>(-1) && !(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR)) {
                shownItems.push_back(id);
            }
        }
        alwaysOnTopTicked = (GetMenuState(menu, CMD_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
        EndMenu();
    }

    bool offers(UINT id) const { return std::find(shownItems.begin(), shownItems.end(), id) != shownItems.end(); }

    std::vector<UINT> shownItems;
    bool alwaysOnTopTicked = false;
};

class BookWindowInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(folder.file("Leafkeeper.ini")) << "[Status]\r\nLeft=100\r\nTop=100\r\nRight=400\r\nBottom=300\r\n";
        registerWindowClass("LkTestOwner", 0, nullptr, nullptr, nullptr, nullptr);
        owner = CreateWindowExA(0, "LkTestOwner", nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        window = std::make_unique<ProbedBookWindow>(folder.path().string() + "\\");
        ASSERT_TRUE(window->createMainWindow(owner));
        flushEvents();
    }
    void TearDown() override {
        DestroyWindow(window->hwnd);
        DestroyWindow(owner);
        // The destroyed main window ends the message loop it believes in.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    TempFolder folder;
    HWND owner = nullptr;
    std::unique_ptr<ProbedBookWindow> window;
};

} // namespace

TEST_F(BookWindowInProcess, TheMainMenuTicksAlwaysOnTopExactlyWhileItIsSet) {
    SendMessageA(window->hwnd, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(120, 150));
    EXPECT_EQ(window->shownItems, (std::vector<UINT>{CMD_ALWAYS_ON_TOP, CMD_ADD_PAGE, CMD_SETTINGS, CMD_EXIT}));
    EXPECT_FALSE(window->alwaysOnTopTicked);

    SendMessageA(window->hwnd, WM_COMMAND, CMD_ALWAYS_ON_TOP, 0);
    SendMessageA(window->hwnd, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(120, 150));
    EXPECT_TRUE(window->alwaysOnTopTicked);
    EXPECT_TRUE(GetWindowLongA(window->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(BookWindowInProcess, TheTrayMenuLeavesOutTheItemThatDoesNotApply) {
    ASSERT_TRUE(IsWindowVisible(window->hwnd));
    SendMessageA(window->hwnd, kTrayNotify, 102, WM_RBUTTONDOWN);
    EXPECT_FALSE(window->offers(CMD_SHOW_WINDOW));
    EXPECT_TRUE(window->offers(CMD_HIDE_WINDOW));
    EXPECT_TRUE(window->offers(CMD_ABOUT) && window->offers(CMD_SETTINGS) && window->offers(CMD_EXIT));

    SendMessageA(window->hwnd, WM_COMMAND, CMD_HIDE_WINDOW, 0);
    window->shownItems.clear();
    SendMessageA(window->hwnd, kTrayNotify, 102, WM_RBUTTONDOWN);
    EXPECT_TRUE(window->offers(CMD_SHOW_WINDOW));
    EXPECT_FALSE(window->offers(CMD_HIDE_WINDOW));

    // Another icon's messages and other mouse messages open nothing.
    window->shownItems.clear();
    SendMessageA(window->hwnd, kTrayNotify, 7, WM_RBUTTONDOWN);
    SendMessageA(window->hwnd, kTrayNotify, 102, WM_RBUTTONUP);
    EXPECT_TRUE(window->shownItems.empty());
}

TEST_F(BookWindowInProcess, TheStripDragsTheWindowButTheCloseIconDoesNot) {
    POINT onIcon{5, 5};
    POINT onStrip{8, 60};
    ClientToScreen(window->hwnd, &onIcon);
    ClientToScreen(window->hwnd, &onStrip);
    EXPECT_EQ(SendMessageA(window->hwnd, WM_NCHITTEST, 0, MAKELPARAM(onIcon.x, onIcon.y)), HTCLIENT);
    EXPECT_EQ(SendMessageA(window->hwnd, WM_NCHITTEST, 0, MAKELPARAM(onStrip.x, onStrip.y)), HTCAPTION);
}

TEST_F(BookWindowInProcess, TheGripIsTwoShadowLinesOnTheFaceColour) {
    const Picture client = grabWindow(window->hwnd);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int y = client.height / 2;
    EXPECT_EQ(client.at(3, y), shadow);
    EXPECT_EQ(client.at(9, y), shadow);
    EXPECT_EQ(client.at(6, y), face);
    EXPECT_EQ(client.at(3, 17), face); // the grip starts below the close icon
    EXPECT_EQ(client.at(3, client.height - 2), face);
}
