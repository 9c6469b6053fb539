// The page list pane in this process, reporting to a recording controller.
#include "framework/Application.h"
#include "book/Book.h"
#include "bookwindow/PageList.h"
#include "framework/WindowProcedure.h"
#include "support/Pump.h"
#include "support/RecordingController.h"

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<RecordingController::Call>;
// The tool bar's buttons in creation order.
enum { NewPage, DeletePage, ShowPage, FloatPage, Settings, MoveUp, MoveDown, ReturnToBook, Search };

class PageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerWindowClass("LkPageListHost", 0, nullptr, nullptr, nullptr, nullptr);
        host = CreateWindowExA(0, "LkPageListHost", nullptr, WS_POPUP | WS_VISIBLE, 600, 400, 280, 220, nullptr,
                               nullptr, application().instance, nullptr);
        ASSERT_TRUE(pane.createPane(host));
        SetWindowPos(pane.handle(), nullptr, 0, 0, 260, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
        for (int page = 0; page < 3; ++page) {
            book.append(std::make_unique<Page>());
        }
        pane.refresh(false);
        flushEvents();
    }
    void TearDown() override { DestroyWindow(host); }

    // A press and release of the left button on a row, as the mouse gives them.
    void clickRow(int row) {
        SendMessageA(pane.listBox.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 16 * row + 8));
        SendMessageA(pane.listBox.handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 16 * row + 8));
    }
    // A key pressed in the list box, with Ctrl down or up in this thread's
    // key state, which GetKeyState reads; the state stays until the next press.
    void press(UINT key, bool control = false) {
        BYTE keys[256] = {};
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageA(pane.listBox.handle(), WM_KEYDOWN, key, 1);
    }
    // What the button sends its parent; its identifier is its command.
    void command(int index, WORD code = BN_CLICKED) {
        const HWND button = pane.button(index);
        SendMessageA(pane.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), code),
                     reinterpret_cast<LPARAM>(button));
    }
    // One character per button in creation order: 1 enabled, 0 disabled, - hidden.
    std::string buttons() const {
        std::string pattern;
        for (int index = 0; index < PageList::kButtonCount; ++index) {
            const HWND button = pane.button(index);
            pattern += !IsWindowVisible(button) ? '-' : IsWindowEnabled(button) ? '1' : '0';
        }
        return pattern;
    }

    HWND host = nullptr;
    Book book;
    RecordingController controller;
    PageList pane{&controller, &book};
};

} // namespace

// The buttons follow the selected row: only a new page without one, no move
// up from the first row and none down from the last, and "ブックに戻す" in
// place of "別ウィンドウで表示" for a floating page. Only clicks and menu
// commands (code 0) act, each on the selected row; a move gives the focus
// back to the list, and a move past the end asks nothing. The magnifier
// opens the search field whatever is selected.
TEST_F(PageListTest, TheToolBarFollowsAndActsOnTheSelectedRow) {
    Page* floating = book.at(2);
    floating->floating = true;
    const char* const patterns[] = {"1000000-1", "1111101-1", "1111111-1", "111-11011"};
    for (int row = -1; row < 3; ++row) {
        if (row >= 0) {
            clickRow(row);
        }
        EXPECT_EQ(buttons(), patterns[row + 1]) << row;
        for (int button = DeletePage; button <= ReturnToBook; ++button) {
            command(button, row < 0 ? BN_CLICKED : BN_SETFOCUS);
        }
    }
    EXPECT_TRUE(controller.calls.empty());
    for (const int button : {ReturnToBook, FloatPage, ShowPage, Settings, DeletePage, MoveUp, MoveDown, MoveDown}) {
        SetFocus(host);
        command(button);
    }
    EXPECT_EQ(pane.listBox.selection(), 2);
    EXPECT_EQ(GetFocus(), pane.listBox.handle());
    command(NewPage);
    command(Search);
    EXPECT_TRUE(IsWindowVisible(pane.searchBox.handle()));
    EXPECT_EQ(GetFocus(), pane.searchBox.handle());
    EXPECT_EQ(controller.calls, (Calls{{"returnToBook", -1, floating},
                                       {"floatPage", 2, nullptr, true},
                                       {"openPage", 2},
                                       {"editPageSettings", 2},
                                       {"deletePage", -1, floating},
                                       {"movePage", 2, nullptr, true},
                                       {"movePage", 1, nullptr, false},
                                       {"newPage"}}));
}

// Ctrl+Up and Ctrl+Down move the page and its row unless it is at the end:
// the pane tells the list box it handled the key, so the selection moves
// once, with the page. Arrows alone only move the selection. Enter opens and
// Delete deletes the selected page; an empty list's double-click (which
// still reports caret 0) opens nothing.
TEST_F(PageListTest, KeysActOnTheSelectedPage) {
    Page* last = book.at(2);
    clickRow(0);
    press(VK_UP, true);
    press(VK_DOWN, true);
    EXPECT_EQ(pane.listBox.selection(), 1);
    press(VK_DOWN);
    press(VK_DOWN, true);
    EXPECT_EQ(pane.listBox.selection(), 2);
    press(VK_RETURN);
    press(VK_DELETE);
    book.clear();
    pane.refresh(false);
    SendMessageA(pane.handle(), WM_COMMAND, MAKEWPARAM(PageList::kListBoxId, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(pane.listBox.handle()));
    press(VK_RETURN);
    EXPECT_EQ(controller.calls, (Calls{{"movePage", 0, nullptr, false}, {"openPage", 2}, {"deletePage", -1, last}}));
}

// The rows are replaced with drawing held off: afterwards the list must be
// repainted, its scroll bar must cover every row and it must draw again by
// itself when a row moves. The selected row stays selected when asked.
TEST_F(PageListTest, ARefreshRepaintsTheRowsAndLeavesDrawingOn) {
    const HWND list = pane.listBox.handle();
    clickRow(2);
    for (int index = 0; index < 60; ++index) {
        book.append(std::make_unique<Page>());
    }
    ValidateRect(list, nullptr);
    pane.refresh(true);
    EXPECT_TRUE(GetUpdateRect(list, nullptr, FALSE));
    EXPECT_EQ(pane.listBox.selection(), 2);
    SCROLLINFO scroll{sizeof scroll, SIF_RANGE, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &scroll));
    EXPECT_EQ(scroll.nMax, 62);
    flushEvents();
    ValidateRect(list, nullptr);
    ASSERT_TRUE(pane.moveRow(0, false));
    EXPECT_TRUE(GetUpdateRect(list, nullptr, FALSE));
}
