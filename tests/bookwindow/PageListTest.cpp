#include "app/Application.h"
#include "book/Book.h"
#include "bookwindow/PageList.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"
#include "support/Dialogs.h"
#include "support/MenuProbe.h"
#include "support/Picture.h"
#include "support/Pump.h"
#include "support/RecordingController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPaneWidth = 260;
constexpr int kPaneHeight = 200;
constexpr COLORREF kPaneFill = RGB(0, 96, 96);

// Creation order of the tool bar: index -> command.
constexpr int kCommands[PageList::kButtonCount] = {CMD_NEW_PAGE,   CMD_DELETE_LIST_PAGE, CMD_SHOW_PAGE,
                                                   CMD_FLOAT_PAGE, CMD_SETTINGS,         CMD_MOVE_UP,
                                                   CMD_MOVE_DOWN,  CMD_RETURN_TO_BOOK};
enum { NewPage, DeletePage, ShowPage, FloatPage, Settings, MoveUp, MoveDown, ReturnToBook };

using Call = RecordingController::Call;
using Calls = std::vector<Call>;

// Notes where the cursor was when a right press reached the pane, which is
// where the pane looks for the row.
class TestPageList : public PageList {
public:
    using PageList::PageList;
    int stripHeight() const { return captionHeight; }

    void onParentNotify(UINT event, UINT childId, LPARAM value) override {
        if (event == WM_RBUTTONDOWN) {
            GetCursorPos(&rightPress);
            ++rightPresses;
        }
        PageList::onParentNotify(event, childId, value);
    }

    POINT rightPress{};
    int rightPresses = 0;
};

RECT rectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Runs `action` with Ctrl down or up in this thread's key state, which is
// what GetKeyState reads.
void withControl(bool down, const std::function<void()>& action) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CONTROL];
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
    action();
    keys[VK_CONTROL] = before;
    SetKeyboardState(keys);
}

// Under Wine a pointer warp can be undone by the X events of an earlier one:
// warp until the cursor has stayed at the point for a while.
bool moveCursor(POINT screen) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetCursorPos(screen.x, screen.y);
        pumpUntil([] { return false; }, 100);
        POINT now{};
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y) {
            return true;
        }
    }
    return false;
}

class PageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered =
            registerWindowClass("LkPageListHost", 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr);
        ASSERT_TRUE(registered);
        // Away from the corner where the other test programs, which may run
        // at the same time, put their windows: the right-click test uses the
        // real mouse.
        host = CreateWindowExA(WS_EX_TOPMOST, "LkPageListHost", nullptr, WS_POPUP | WS_CLIPCHILDREN, 720, 460,
                               kPaneWidth + 20, kPaneHeight + 20, nullptr, nullptr, application().instance, nullptr);
        controller.act = [this](const Call& call, Page* page) { actAsTheBookWindow(call, page); };
        ASSERT_TRUE(pane.createPane(host));
        pane.setFillColor(kPaneFill);
        SetWindowPos(pane.hwnd, nullptr, 0, 0, kPaneWidth, kPaneHeight, SWP_NOZORDER);
        ShowWindow(host, SW_SHOW);
        SetForegroundWindow(host);
        pane.showList(true, true);
        flushEvents();
    }
    void TearDown() override {
        DestroyWindow(host);
        flushEvents();
    }

    // Does to the book what the book window does, so the rows keep drawing
    // from a book that matches them.
    void actAsTheBookWindow(const Call& call, Page* page) {
        if (call.name == "floatPage" || call.name == "returnToBook") {
            (page ? page : book.at(static_cast<unsigned>(call.index)))->floating = call.name == "floatPage";
            pane.updateButtons();
        } else if (call.name == "deletePage" && agreeToDelete) {
            book.removeAt(book.indexOf(page));
            pane.refresh(false);
        } else if (call.name == "movePage") {
            book.move(static_cast<unsigned>(call.index), call.flag);
        } else if (call.name == "editPageSettings") {
            pane.refresh(true);
        }
    }

    Page* addPage(const char* title, bool floating = false) {
        book.append(std::make_unique<Page>());
        Page* added = book.at(book.count() - 1);
        added->title = title;
        added->floating = floating;
        return added;
    }

    void addPages(int count) {
        static const char* const titles[] = {"買い物メモ", "会議の予定", "読書リスト", "アイデア", "旅行"};
        for (int index = 0; index < count; ++index) {
            addPage(titles[index % 5]);
        }
        pane.refresh(false);
    }

    RECT rowRect(int row) const {
        RECT item{};
        SendMessageA(pane.listBox.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return item;
    }

    // A press and release on the row, as the mouse would give them.
    void clickRow(int row, UINT press = WM_LBUTTONDOWN) {
        const RECT item = rowRect(row);
        const LPARAM point = MAKELPARAM(item.left + 40, (item.top + item.bottom) / 2);
        SendMessageA(pane.listBox.hwnd, press, MK_LBUTTON, point);
        SendMessageA(pane.listBox.hwnd, WM_LBUTTONUP, 0, point);
        flushEvents(20);
    }

    POINT onScreen(POINT client) const {
        ClientToScreen(pane.listBox.hwnd, &client);
        return client;
    }
    POINT rowCentre(int row) const {
        const RECT item = rowRect(row);
        return onScreen(POINT{item.left + 40, (item.top + item.bottom) / 2});
    }

    // The list box's question about a key, as it sends it to the pane.
    LRESULT keyToItem(UINT key, bool control) {
        LRESULT answer = 0;
        withControl(control, [&] {
            answer = SendMessageA(pane.hwnd, WM_VKEYTOITEM, MAKEWPARAM(key, pane.listBox.listBoxCaret()),
                                  reinterpret_cast<LPARAM>(pane.listBox.hwnd));
        });
        return answer;
    }

    void command(int index, WORD code = BN_CLICKED) {
        SendMessageA(pane.hwnd, WM_COMMAND, MAKEWPARAM(kCommands[index], code),
                     reinterpret_cast<LPARAM>(pane.button(index)));
    }

    // One character per button in creation order: 1 enabled, 0 disabled.
    std::string enabledButtons() const {
        std::string pattern;
        for (int index = 0; index < PageList::kButtonCount; ++index) {
            pattern += IsWindowEnabled(pane.button(index)) ? '1' : '0';
        }
        return pattern;
    }

    bool shown(int index) const { return (GetWindowLongA(pane.button(index), GWL_STYLE) & WS_VISIBLE) != 0; }
    int selection() const { return pane.listBox.listBoxSelection(); }

    // A right press and release of the real mouse at a screen point; the
    // probe reports whether a menu opened in between. Under Wine the X
    // events of an earlier menu can put the pointer back where that menu
    // was; a press the pane saw at another point is not this click, so the
    // click is repeated.
    std::vector<UINT> rightClick(POINT screen, bool chooseFirst = false) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            EXPECT_TRUE(moveCursor(screen));
            MenuProbe probe(chooseFirst);
            pane.rightPresses = 0;
            mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
            // The menu loop, when one starts, runs inside this pump.
            pumpUntil([] { return false; }, 400);
            mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
            pumpUntil([] { return false; }, 100);
            flushEvents(20);
            if (pane.rightPresses == 1 && pane.rightPress.x == screen.x && pane.rightPress.y == screen.y) {
                return probe.seen ? probe.items : std::vector<UINT>{};
            }
        }
        ADD_FAILURE() << "no right press reached the pane at " << screen.x << "," << screen.y;
        return {};
    }

    // The list box paints itself, rows through the pane, into memory
    // (WM_PRINTCLIENT), so windows of other programs cannot spoil the picture.
    COLORREF listPixel(int row, int x, int y) const {
        RECT client{};
        GetClientRect(pane.listBox.hwnd, &client);
        const Picture list = paintPicture(client.right, client.bottom, RGB(255, 0, 255), [this](HDC dc) {
            SendMessageA(pane.listBox.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        });
        return list.at(rowRect(row).left + x, rowRect(row).top + y);
    }

    Picture drawnButton(int index, UINT state) const { return drawItem(pane.hwnd, pane.button(index), state); }

    HWND host = nullptr;
    Book book;
    RecordingController controller;
    bool agreeToDelete = true;
    TestPageList pane{&controller, &book};
};

} // namespace

// The list is a subclassed list box of 16-pixel rows in the default face
// above a row of 15-pixel buttons, each with its icon and tooltip; "ブックに
// 戻す" shares place three with "別ウィンドウで表示" and starts hidden.
TEST_F(PageListTest, BuildsTheListAboveARowOfButtons) {
    std::string caption;
    pane.getText(caption);
    EXPECT_EQ(caption, "ページリスト");
    const HWND list = pane.listBox.hwnd;
    EXPECT_EQ(GetDlgCtrlID(list), PageList::kListBoxId);
    EXPECT_EQ(application().windowRegistry.find(list), &pane.listBox) << "the list box is subclassed";
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 16);
    LOGFONTA face{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)), sizeof face, &face);
    EXPECT_STREQ(face.lfFaceName, "ＭＳ ゴシック");

    const std::pair<int, const char*> expected[PageList::kButtonCount] = {
        {IDI_NEW_PAGE, "新規ページ"},      {IDI_DELETE_PAGE, "ページ削除"}, {IDI_SHOW_PAGE, "ページ表示"},
        {IDI_FLOAT_PAGE, "別ウィンドウで表示"}, {IDI_PAGE_SETTINGS, "ページ設定"}, {IDI_MOVE_UP, "上に移動"},
        {IDI_MOVE_DOWN, "下に移動"},       {IDI_RETURN_TO_BOOK, "ブックに戻す"}};
    const int places[PageList::kButtonCount] = {0, 1, 2, 3, 4, 5, 6, 3};
    for (const int height : {kPaneHeight, kPaneHeight - 50}) {
        SetWindowPos(pane.hwnd, nullptr, 0, 0, kPaneWidth - 60, height, SWP_NOZORDER);
        RECT client{};
        GetClientRect(pane.hwnd, &client);
        const RECT listRect = rectInParent(list);
        const RECT listWanted{0, pane.stripHeight(), client.right, client.bottom - 15};
        EXPECT_TRUE(EqualRect(&listRect, &listWanted));
        for (int index = 0; index < PageList::kButtonCount; ++index) {
            const HWND button = pane.button(index);
            const RECT rect = rectInParent(button);
            const RECT wanted{15 * places[index], client.bottom - 15, 15 * places[index] + 15, client.bottom};
            EXPECT_TRUE(EqualRect(&rect, &wanted)) << index;
            EXPECT_EQ(GetDlgCtrlID(button), kCommands[index]) << index;
            EXPECT_EQ(GetWindowLongA(button, GWL_USERDATA), expected[index].first) << index;
            EXPECT_EQ(toolTipText(application().toolTip, button), expected[index].second) << index;
            EXPECT_EQ(shown(index), index != ReturnToBook) << index;
        }
    }
}

TEST_F(PageListTest, AnEmptyBookOffersOnlyANewPage) {
    pane.refresh(false);
    EXPECT_EQ(enabledButtons(), "10000000");
    for (const UINT key : {VK_RETURN, VK_DELETE}) {
        EXPECT_EQ(keyToItem(key, false), -1);
    }
    EXPECT_EQ(keyToItem(VK_DOWN, true), -1);
    // An empty list still reports caret 0 for a double-click.
    SendMessageA(pane.hwnd, WM_COMMAND, MAKEWPARAM(PageList::kListBoxId, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(pane.listBox.hwnd));
    for (int index = DeletePage; index <= ReturnToBook; ++index) {
        command(index);
    }
    EXPECT_TRUE(controller.calls.empty());
    command(NewPage);
    EXPECT_EQ(controller.calls, (Calls{{"newPage"}}));
}

// A right click selects the row and opens its menu, which offers returning
// a floating page instead of floating it; none opens elsewhere. The first
// item, "ページの表示(&S)", chosen from the keyboard reaches the pane.
TEST_F(PageListTest, ARightClickOpensTheRowMenuOnlyOnARow) {
    EXPECT_TRUE(rightClick(onScreen(POINT{10, 10})).empty()) << "an empty list opens no menu";
    addPages(3);
    addPage("別ウィンドウ", true);
    pane.refresh(false);
    const auto has = [](const std::vector<UINT>& items, UINT id) {
        return std::find(items.begin(), items.end(), id) != items.end();
    };
    std::vector<UINT> items = rightClick(rowCentre(2));
    EXPECT_EQ(selection(), 2) << "the row is selected before the menu opens";
    EXPECT_TRUE(has(items, CMD_SHOW_PAGE));
    EXPECT_TRUE(has(items, CMD_FLOAT_PAGE));
    EXPECT_FALSE(has(items, CMD_RETURN_TO_BOOK));
    items = rightClick(rowCentre(3));
    EXPECT_EQ(selection(), 3);
    EXPECT_TRUE(has(items, CMD_RETURN_TO_BOOK));
    EXPECT_FALSE(has(items, CMD_FLOAT_PAGE));

    EXPECT_TRUE(rightClick(onScreen(POINT{10, 16 * 4 + 20})).empty()) << "below the last row";
    RECT button{};
    GetWindowRect(pane.button(NewPage), &button);
    EXPECT_TRUE(rightClick(POINT{button.left + 7, button.top + 7}).empty()) << "on a tool bar button";
    EXPECT_TRUE(controller.calls.empty());
    EXPECT_FALSE(rightClick(rowCentre(1), true).empty());
    flushEvents();
    EXPECT_EQ(controller.calls, (Calls{{"openPage", 1}}));
}

TEST_F(PageListTest, TheButtonsFollowTheSelectedRow) {
    addPages(3);
    EXPECT_EQ(enabledButtons(), "10000000") << "nothing selected";
    const char* const patterns[] = {"11111011", "11111111", "11111101"};
    for (int row = 0; row < 3; ++row) {
        clickRow(row);
        EXPECT_EQ(enabledButtons(), patterns[row]) << "row " << row << ": no move up from the first, down from the last";
    }
    book.removeAt(2);
    book.removeAt(1);
    pane.refresh(false);
    clickRow(0);
    EXPECT_EQ(enabledButtons(), "11111001") << "a single row moves nowhere";
}

TEST_F(PageListTest, AFloatingPageSwapsTheButtonInPlaceThree) {
    addPages(2);
    Page* floating = addPage("別ウィンドウ", true);
    pane.refresh(false);
    clickRow(2);
    EXPECT_TRUE(shown(ReturnToBook));
    EXPECT_FALSE(shown(FloatPage));
    clickRow(0);
    EXPECT_FALSE(shown(ReturnToBook));
    clickRow(2);
    command(ReturnToBook);
    EXPECT_EQ(controller.calls, (Calls{{"returnToBook", -1, floating}}));
    EXPECT_FALSE(shown(ReturnToBook)) << "back in the book";
    EXPECT_TRUE(shown(FloatPage));
    EXPECT_EQ(GetFocus(), pane.listBox.hwnd);

    // "ブックに戻す" for a page in the book has nothing to return.
    controller.clear();
    command(ReturnToBook);
    EXPECT_TRUE(controller.calls.empty());
    command(FloatPage);
    EXPECT_EQ(controller.calls, (Calls{{"floatPage", 2, nullptr, true}}));
    EXPECT_TRUE(shown(ReturnToBook));
    EXPECT_FALSE(shown(FloatPage));
}

// Ctrl+Up and Ctrl+Down move a page unless it is at the end; the answer -2
// keeps the list box from moving the selection a second time, and the moved
// row stays selected. Down alone moves only the selection, and the buttons
// follow it.
TEST_F(PageListTest, CtrlUpAndDownMoveAPageUnlessItIsAtTheEnd) {
    addPages(3);
    Page* first = book.at(0);
    clickRow(0);
    EXPECT_EQ(keyToItem(VK_UP, true), -1);
    EXPECT_EQ(keyToItem(VK_UP, false), -1);
    EXPECT_EQ(keyToItem(VK_DOWN, false), -1);
    EXPECT_TRUE(controller.calls.empty());

    withControl(true, [this] { SendMessageA(pane.listBox.hwnd, WM_KEYDOWN, VK_DOWN, 1); });
    EXPECT_EQ(controller.calls, (Calls{{"movePage", 0, nullptr, false}}));
    EXPECT_EQ(book.at(1), first);
    EXPECT_EQ(selection(), 1);
    withControl(false, [this] { SendMessageA(pane.listBox.hwnd, WM_KEYDOWN, VK_DOWN, 1); });
    EXPECT_EQ(controller.calls.size(), 1u) << "Down alone moves no page";
    EXPECT_EQ(selection(), 2);
    EXPECT_EQ(enabledButtons(), "11111101");

    controller.clear();
    EXPECT_EQ(keyToItem(VK_DOWN, true), -1) << "the last row cannot move down";
    EXPECT_EQ(keyToItem(VK_UP, true), -2);
    EXPECT_EQ(controller.calls, (Calls{{"movePage", 2, nullptr, true}}));
    EXPECT_EQ(selection(), 1);
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
}

// Enter opens, Delete deletes the selected page (a refused deletion changes
// nothing, a done one leaves no selection), a double-click opens the row
// under the caret.
TEST_F(PageListTest, EnterDeleteAndDoubleClickActOnTheRow) {
    addPages(3);
    Page* middle = book.at(1);
    clickRow(1);
    EXPECT_EQ(keyToItem(VK_RETURN, false), -1);
    EXPECT_EQ(keyToItem('A', false), -1);
    agreeToDelete = false;
    EXPECT_EQ(keyToItem(VK_DELETE, false), -1);
    EXPECT_EQ(selection(), 1);
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
    agreeToDelete = true;
    EXPECT_EQ(keyToItem(VK_DELETE, false), -1);
    EXPECT_EQ(controller.calls, (Calls{{"openPage", 1}, {"deletePage", -1, middle}, {"deletePage", -1, middle}}));
    EXPECT_EQ(pane.listBox.listBoxCount(), 2);
    EXPECT_EQ(selection(), LB_ERR);
    EXPECT_EQ(enabledButtons(), "10000000");

    controller.clear();
    clickRow(1);
    clickRow(1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(controller.calls, (Calls{{"openPage", 1}}));
}

TEST_F(PageListTest, ToolBarCommandsActOnTheSelectedRow) {
    addPages(3);
    Page* middle = book.at(1);
    clickRow(1);
    for (WORD code : {BN_SETFOCUS, BN_KILLFOCUS, BN_DBLCLK}) {
        for (int index = 0; index < PageList::kButtonCount; ++index) {
            command(index, code);
        }
    }
    EXPECT_TRUE(controller.calls.empty()) << "only BN_CLICKED and menu commands (code 0) count";

    SendMessageA(pane.button(ShowPage), BM_CLICK, 0, 0);
    flushEvents(20);
    command(Settings);
    EXPECT_EQ(selection(), 1) << "settings keep the row selected";
    command(FloatPage);
    command(NewPage);
    command(DeletePage);
    EXPECT_EQ(controller.calls, (Calls{{"openPage", 1},
                                       {"editPageSettings", 1},
                                       {"floatPage", 1, nullptr, true},
                                       {"newPage"},
                                       {"deletePage", -1, middle}}));
}

// The move buttons move the page and its row; a command that still arrives
// for a disabled button moves nothing.
TEST_F(PageListTest, MoveCommandsMoveThePageAndItsRow) {
    addPages(3);
    Page* first = book.at(0);
    Page* middle = book.at(1);
    clickRow(1);
    command(MoveUp);
    EXPECT_EQ(book.at(0), middle);
    EXPECT_EQ(selection(), 0);
    EXPECT_EQ(enabledButtons(), "11111011");
    EXPECT_EQ(GetFocus(), pane.listBox.hwnd);
    command(MoveUp);
    EXPECT_EQ(controller.calls, (Calls{{"movePage", 1, nullptr, true}}));
    command(MoveDown);
    EXPECT_EQ(controller.calls.back(), (Call{"movePage", 0, nullptr, false}));
    EXPECT_EQ(book.at(0), first);
    EXPECT_EQ(selection(), 1);
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
}

TEST_F(PageListTest, RefreshAndMoveRowKeepRowsInStepWithTheBook) {
    addPages(3);
    clickRow(2);
    addPage("追加");
    pane.refresh(true);
    EXPECT_EQ(pane.listBox.listBoxCount(), 4);
    EXPECT_EQ(selection(), 2);
    EXPECT_EQ(pane.listBox.listBoxCaret(), 2);
    EXPECT_EQ(enabledButtons(), "11111111") << "the buttons follow the refreshed rows";
    pane.refresh(false);
    EXPECT_EQ(selection(), LB_ERR);

    clickRow(3);
    book.removeAt(3);
    pane.refresh(true);
    EXPECT_EQ(selection(), LB_ERR) << "the remembered row is gone";
    EXPECT_TRUE(pane.moveRow(0, false));
    EXPECT_EQ(selection(), 1);
    EXPECT_TRUE(pane.moveRow(1, true));
    EXPECT_FALSE(pane.moveRow(0, true));
    EXPECT_FALSE(pane.moveRow(2, false));
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
    EXPECT_EQ(selection(), 0);
}

// The rows are replaced with drawing held off; afterwards the list must be
// repainted, its scroll bar must cover every row and it must draw again by
// itself when a row changes.
TEST_F(PageListTest, ARefreshRepaintsTheRowsAndLeavesDrawingOn) {
    addPages(3);
    flushEvents();
    for (int index = 0; index < 60; ++index) {
        addPage("追加");
    }
    ValidateRect(pane.listBox.hwnd, nullptr);
    pane.refresh(false);
    EXPECT_TRUE(GetUpdateRect(pane.listBox.hwnd, nullptr, FALSE)) << "the new rows are painted";
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(pane.listBox.hwnd, SB_VERT, &scroll));
    EXPECT_EQ(scroll.nMax, 62);
    EXPECT_GT(scroll.nPage, 0u);
    flushEvents();
    ValidateRect(pane.listBox.hwnd, nullptr);
    ASSERT_TRUE(pane.moveRow(0, false));
    EXPECT_TRUE(GetUpdateRect(pane.listBox.hwnd, nullptr, FALSE)) << "a moved row is repainted";
}

// A swatch of the frame colour around the editor background, then the title
// 15 pixels in; a row the book no longer has (removed, not yet refreshed)
// draws blank.
TEST_F(PageListTest, RowsDrawASwatchOfThePageColours) {
    addPages(2);
    book.at(1)->format.frameColor = RGB(200, 0, 0);
    book.at(1)->format.editorFormat.backColor = RGB(0, 0, 200);
    clickRow(0);
    SetFocus(pane.hwnd); // no focus rectangle over the selected row
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(listPixel(0, 3, 3), GetSysColor(COLOR_BTNSHADOW)) << "automatic frame colour";
    EXPECT_EQ(listPixel(0, 8, 8), window) << "automatic editor background";
    EXPECT_EQ(listPixel(1, 3, 3), RGB(200, 0, 0));
    EXPECT_EQ(listPixel(1, 8, 8), RGB(0, 0, 200));
    const int clear = rowRect(0).right - rowRect(0).left - 4;
    EXPECT_EQ(listPixel(0, clear, 8), GetSysColor(COLOR_HIGHLIGHT)) << "selected row";
    EXPECT_EQ(listPixel(0, 1, 1), GetSysColor(COLOR_HIGHLIGHT)) << "outside the swatch";
    EXPECT_EQ(listPixel(1, clear, 8), window);
    RECT client{};
    GetClientRect(pane.listBox.hwnd, &client);
    const Picture list = paintPicture(client.right, client.bottom, window, [this](HDC dc) {
        SendMessageA(pane.listBox.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
    EXPECT_EQ(list.count(window, RECT{13, 16, 15, 32}), 2 * 16) << "a gap beside the swatch";
    EXPECT_LT(list.count(window, RECT{15, 16, 80, 32}), 65 * 16 - 20) << "the title";

    book.removeAt(1);
    EXPECT_EQ(listPixel(1, 3, 3), window);
    EXPECT_EQ(listPixel(1, 8, 8), window);
}

TEST_F(PageListTest, ButtonsDrawFadedWhenDisabledAndSunkenWhenPressed) {
    const Picture rest = drawnButton(NewPage, 0);
    EXPECT_EQ(rest.count(RGB(255, 0, 255)), 0) << "the whole face is painted";
    const int icon = rest.width * rest.height - rest.count(kPaneFill);
    EXPECT_GT(icon, 10) << "the icon shows";
    EXPECT_GT(drawnButton(NewPage, ODS_DISABLED).differences(rest), icon / 3) << "the icon is faded";

    // Pressed: the face moves one pixel down and right inside a soft sunken edge.
    const Picture pressed = drawnButton(NewPage, ODS_SELECTED);
    const Picture edge = paintPicture(rest.width, rest.height, kPaneFill, [&](HDC dc) {
        RECT face{0, 0, rest.width, rest.height};
        DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT | BF_SOFT);
    });
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            const bool onEdge = x == 0 || y == 0 || x == 14 || y == 14;
            ASSERT_EQ(pressed.at(x, y), onEdge ? edge.at(x, y) : rest.at(x - 1, y - 1)) << x << "," << y;
        }
    }
    EXPECT_NE(drawnButton(MoveUp, 0).pixels, drawnButton(MoveDown, 0).pixels) << "each button its own icon";
}
