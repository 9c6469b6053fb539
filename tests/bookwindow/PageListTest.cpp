#include "app/Application.h"
#include "book/Book.h"
#include "bookwindow/BookController.h"
#include "bookwindow/PageList.h"
#include "framework/DcScopes.h"
#include "framework/UniqueHandle.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"
#include "support/Dialogs.h"
#include "support/Picture.h"
#include "support/Pump.h"
#include "support/RecordingController.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kHostClass = "LkPageListHost";
constexpr int kPaneWidth = 260;
constexpr int kPaneHeight = 200;
constexpr COLORREF kPaneFill = RGB(0, 96, 96);

// Creation order of the tool bar: index -> command.
constexpr int kCommands[PageList::kButtonCount] = {CMD_NEW_PAGE,   CMD_DELETE_LIST_PAGE, CMD_SHOW_PAGE,
                                                   CMD_FLOAT_PAGE, CMD_SETTINGS,         CMD_MOVE_UP,
                                                   CMD_MOVE_DOWN,  CMD_RETURN_TO_BOOK};
enum { NewPage, DeletePage, ShowPage, FloatPage, Settings, MoveUp, MoveDown, ReturnToBook };

using Call = RecordingController::Call;

class TestPageList : public PageList {
public:
    using PageList::PageList;
    int stripHeight() const { return captionHeight; }

    // Where the cursor was when a right press reached the pane, which is
    // where the pane looks for the row.
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

// What a timer found while the row menu's modal loop ran. The timer
// procedure has no context of its own, hence the file-level probe.
struct MenuProbe {
    bool seen = false;
    std::vector<UINT> items;
    bool chooseFirst = false;
    int ticksOpen = 0;
};
MenuProbe probe;

HWND visibleMenuWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
        if (IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

// Runs inside the menu loop: notes the items, then picks the first with the
// keyboard or closes the menu. A menu still open after a second is closed,
// so a test never hangs in the loop.
VOID CALLBACK probeMenu(HWND, UINT, UINT_PTR, DWORD) {
    const HWND menuWindow = visibleMenuWindow();
    if (!menuWindow) {
        return;
    }
    if (probe.seen) {
        if (++probe.ticksOpen > 20) {
            EndMenu();
        }
        return;
    }
    probe.seen = true;
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int index = 0; index < GetMenuItemCount(menu); ++index) {
        probe.items.push_back(GetMenuItemID(menu, index));
    }
    if (probe.chooseFirst) {
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        EndMenu();
    }
}

bool contains(const std::vector<UINT>& items, UINT id) {
    for (UINT item : items) {
        if (item == id) {
            return true;
        }
    }
    return false;
}

class PageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered =
            registerWindowClass(kHostClass, 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr) != 0;
        ASSERT_TRUE(registered);
        // Away from the corner where the other test programs, which may run
        // at the same time, put their windows: the right-click test uses the
        // real mouse.
        host = CreateWindowExA(WS_EX_TOPMOST, kHostClass, nullptr, WS_POPUP | WS_CLIPCHILDREN, 720, 460,
                               kPaneWidth + 20, kPaneHeight + 20, nullptr, nullptr, application().instance, nullptr);
        ASSERT_NE(host, nullptr);
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
        } else if (call.name == "editPageSettings" || call.name == "refreshPageList") {
            pane.refresh(call.name == "editPageSettings" || call.flag);
        }
    }

    Page* addPage(const char* title, bool floating = false) {
        auto page = std::make_unique<Page>();
        page->title = title;
        page->floating = floating;
        Page* added = page.get();
        book.append(std::move(page));
        return added;
    }

    void addPages(int count) {
        static const char* const titles[] = {"買い物メモ", "会議の予定", "読書リスト", "アイデア", "旅行"};
        for (int index = 0; index < count; ++index) {
            addPage(titles[index % 5]);
        }
        pane.refresh(false);
    }

    // A press and release on the row, as the mouse would give them.
    void clickRow(int row) {
        RECT item{};
        SendMessageA(pane.listBox.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        const LPARAM point = MAKELPARAM(item.left + 40, (item.top + item.bottom) / 2);
        SendMessageA(pane.listBox.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(pane.listBox.hwnd, WM_LBUTTONUP, 0, point);
        flushEvents(20);
    }

    POINT rowCentreOnScreen(int row) const {
        RECT item{};
        SendMessageA(pane.listBox.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        POINT centre{item.left + 40, (item.top + item.bottom) / 2};
        ClientToScreen(pane.listBox.hwnd, &centre);
        return centre;
    }

    // Runs `action` with Ctrl down or up in this thread's key state, which
    // is what GetKeyState reads.
    static void withControl(bool down, const std::function<void()>& action) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE before = keys[VK_CONTROL];
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
        action();
        keys[VK_CONTROL] = before;
        SetKeyboardState(keys);
    }

    // The list box's question about a key, as it sends it to the pane.
    LRESULT keyToItem(UINT key, bool control) {
        LRESULT answer = 0;
        withControl(control, [this, key, &answer] {
            answer = SendMessageA(pane.hwnd, WM_VKEYTOITEM, MAKEWPARAM(key, pane.listBox.listBoxCaret()),
                                  reinterpret_cast<LPARAM>(pane.listBox.hwnd));
        });
        return answer;
    }

    void command(int index, WORD code = BN_CLICKED) {
        const HWND source = pane.button(index);
        SendMessageA(pane.hwnd, WM_COMMAND, MAKEWPARAM(kCommands[index], code), reinterpret_cast<LPARAM>(source));
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

    // A right press and release of the real mouse at a screen point; the
    // probe reports whether a menu opened in between. Under Wine the X
    // events of an earlier menu can put the pointer back where that menu
    // was; a press the pane saw at another point is not this click, so the
    // click is repeated.
    void rightClick(POINT screen, bool chooseFirst = false) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            ASSERT_TRUE(moveCursor(screen));
            probe = MenuProbe{};
            probe.chooseFirst = chooseFirst;
            pane.rightPresses = 0;
            const UINT_PTR timer = SetTimer(nullptr, 0, 50, probeMenu);
            mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
            // The menu loop, when one starts, runs inside this pump.
            pumpUntil([] { return false; }, 400);
            mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
            pumpUntil([] { return false; }, 100);
            KillTimer(nullptr, timer);
            flushEvents(20);
            if (pane.rightPresses == 1 && pane.rightPress.x == screen.x && pane.rightPress.y == screen.y) {
                return;
            }
        }
        FAIL() << "no right press reached the pane at " << screen.x << "," << screen.y;
    }

    // Under Wine a pointer warp can be undone by the X events of an earlier
    // one: warp until the cursor has stayed at the point for a while.
    static bool moveCursor(POINT screen) {
        const auto there = [screen] {
            POINT now{};
            GetCursorPos(&now);
            return now.x == screen.x && now.y == screen.y;
        };
        for (int attempt = 0; attempt < 20; ++attempt) {
            SetCursorPos(screen.x, screen.y);
            pumpUntil([] { return false; }, 100);
            if (there()) {
                return true;
            }
        }
        return false;
    }

    // The list box paints itself, rows through the pane, into a canvas
    // (WM_PRINTCLIENT), so windows of other programs on the screen cannot
    // spoil the picture.
    void paintList() {
        RECT client{};
        GetClientRect(pane.listBox.hwnd, &client);
        listImage = paintPicture(client.right, client.bottom, RGB(255, 0, 255), [this](HDC dc) {
            SendMessageA(pane.listBox.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        });
    }

    COLORREF listPixel(int row, int x, int y) const {
        RECT item{};
        SendMessageA(pane.listBox.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return listImage.at(item.left + x, item.top + y);
    }

    Picture drawnButton(int index, UINT state) const { return drawItem(pane.hwnd, pane.button(index), state); }

    Picture listImage;
    HWND host = nullptr;
    Book book;
    RecordingController controller;
    bool agreeToDelete = true;
    TestPageList pane{&controller, &book};
};

} // namespace

TEST_F(PageListTest, BuildsTheListAndTheToolBar) {
    std::string caption;
    pane.getText(caption);
    EXPECT_EQ(caption, "ページリスト");
    EXPECT_EQ(pane.frameStyle(), Flat);
    EXPECT_EQ(pane.frameLineColor(), GetSysColor(COLOR_BTNSHADOW));

    const HWND list = pane.listBox.hwnd;
    char className[32] = {};
    GetClassNameA(list, className, sizeof className);
    EXPECT_STREQ(className, "ListBox");
    EXPECT_EQ(GetDlgCtrlID(list), PageList::kListBoxId);
    EXPECT_EQ(application().windowRegistry.find(list), &pane.listBox) << "the list box is subclassed";
    EXPECT_EQ(pane.clientWindow(), list);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 16);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA face{};
    GetObjectA(font, sizeof face, &face);
    EXPECT_STREQ(face.lfFaceName, "ＭＳ ゴシック");

    struct Expected {
        int icon;
        const char* toolTip;
    };
    const Expected expected[PageList::kButtonCount] = {
        {IDI_NEW_PAGE, "新規ページ"},      {IDI_DELETE_PAGE, "ページ削除"},
        {IDI_SHOW_PAGE, "ページ表示"},     {IDI_FLOAT_PAGE, "別ウィンドウで表示"},
        {IDI_PAGE_SETTINGS, "ページ設定"}, {IDI_MOVE_UP, "上に移動"},
        {IDI_MOVE_DOWN, "下に移動"},       {IDI_RETURN_TO_BOOK, "ブックに戻す"}};
    for (int index = 0; index < PageList::kButtonCount; ++index) {
        const HWND button = pane.button(index);
        ASSERT_NE(button, nullptr) << index;
        GetClassNameA(button, className, sizeof className);
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << index;
        EXPECT_EQ(GetDlgCtrlID(button), kCommands[index]) << index;
        EXPECT_EQ(GetWindowLongA(button, GWL_USERDATA), expected[index].icon) << index;
        EXPECT_EQ(shown(index), index != ReturnToBook) << index;
        EXPECT_EQ(toolTipText(application().toolTip, button), expected[index].toolTip) << index;
    }
}

TEST_F(PageListTest, LaysOutTheListAboveARowOfButtons) {
    RECT client{};
    GetClientRect(pane.hwnd, &client);
    const RECT list = rectInParent(pane.listBox.hwnd);
    EXPECT_GT(pane.stripHeight(), 10) << "the caption font sets the strip height";
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.top, pane.stripHeight());
    EXPECT_EQ(list.right, client.right);
    EXPECT_EQ(list.bottom, client.bottom - 15);

    const int places[PageList::kButtonCount] = {0, 1, 2, 3, 4, 5, 6, 3};
    for (int index = 0; index < PageList::kButtonCount; ++index) {
        const RECT button = rectInParent(pane.button(index));
        EXPECT_EQ(button.left, 15 * places[index]) << index;
        EXPECT_EQ(button.top, client.bottom - 15) << index;
        EXPECT_EQ(button.right - button.left, 15) << index;
        EXPECT_EQ(button.bottom - button.top, 15) << index;
    }

    // A new size moves everything again.
    SetWindowPos(pane.hwnd, nullptr, 0, 0, kPaneWidth - 60, kPaneHeight - 50, SWP_NOZORDER);
    GetClientRect(pane.hwnd, &client);
    EXPECT_EQ(rectInParent(pane.listBox.hwnd).right, client.right);
    EXPECT_EQ(rectInParent(pane.listBox.hwnd).bottom, client.bottom - 15);
    EXPECT_EQ(rectInParent(pane.button(MoveDown)).top, client.bottom - 15);
    EXPECT_EQ(rectInParent(pane.button(MoveDown)).left, 90);
}

TEST_F(PageListTest, AnEmptyBookOffersOnlyANewPage) {
    pane.refresh(false);
    EXPECT_EQ(pane.listBox.listBoxCount(), 0);
    EXPECT_EQ(enabledButtons(), "10000000");
    EXPECT_TRUE(shown(FloatPage));
    EXPECT_FALSE(shown(ReturnToBook));

    EXPECT_EQ(keyToItem(VK_RETURN, false), -1);
    EXPECT_EQ(keyToItem(VK_DELETE, false), -1);
    EXPECT_EQ(keyToItem(VK_DOWN, true), -1);
    // An empty list still reports caret 0 for a double-click.
    SendMessageA(pane.hwnd, WM_COMMAND, MAKEWPARAM(PageList::kListBoxId, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(pane.listBox.hwnd));
    for (int index : {DeletePage, ShowPage, FloatPage, Settings, MoveUp, MoveDown, ReturnToBook}) {
        command(index);
    }
    EXPECT_TRUE(controller.calls.empty());
    command(NewPage);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"newPage"}}));
}

TEST_F(PageListTest, ARightClickOpensTheRowMenuOnlyOnARow) {
    POINT inList{10, 10};
    ClientToScreen(pane.listBox.hwnd, &inList);
    rightClick(inList);
    EXPECT_FALSE(probe.seen) << "an empty list opens no menu";

    addPages(3);
    addPage("別ウィンドウ", true);
    pane.refresh(false);
    rightClick(rowCentreOnScreen(2));
    ASSERT_TRUE(probe.seen) << "a right click on a row opens the menu";
    EXPECT_EQ(pane.listBox.listBoxSelection(), 2) << "the row is selected before the menu opens";
    EXPECT_TRUE(contains(probe.items, CMD_FLOAT_PAGE));
    EXPECT_FALSE(contains(probe.items, CMD_RETURN_TO_BOOK));
    EXPECT_TRUE(contains(probe.items, CMD_SHOW_PAGE));

    rightClick(rowCentreOnScreen(3));
    ASSERT_TRUE(probe.seen);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 3);
    EXPECT_TRUE(contains(probe.items, CMD_RETURN_TO_BOOK)) << "a floating page can go back to the book";
    EXPECT_FALSE(contains(probe.items, CMD_FLOAT_PAGE));
    EXPECT_TRUE(shown(ReturnToBook));

    POINT belowRows{10, 16 * 4 + 20};
    ClientToScreen(pane.listBox.hwnd, &belowRows);
    rightClick(belowRows);
    EXPECT_FALSE(probe.seen) << "below the last row";
    RECT button{};
    GetWindowRect(pane.button(NewPage), &button);
    rightClick(POINT{button.left + 7, button.top + 7});
    EXPECT_FALSE(probe.seen) << "on a tool bar button";
    EXPECT_TRUE(controller.calls.empty());

    // The first item, "ページの表示(&S)", chosen from the keyboard reaches the pane.
    rightClick(rowCentreOnScreen(1), true);
    ASSERT_TRUE(probe.seen);
    flushEvents();
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"openPage", 1}}));
}

TEST_F(PageListTest, TheMoveButtonsFollowTheSelectedRow) {
    addPages(3);
    EXPECT_EQ(enabledButtons(), "10000000") << "nothing selected";
    clickRow(0);
    EXPECT_EQ(enabledButtons(), "11111011") << "first row: no move up";
    clickRow(1);
    EXPECT_EQ(enabledButtons(), "11111111");
    clickRow(2);
    EXPECT_EQ(enabledButtons(), "11111101") << "last row: no move down";

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
    EXPECT_EQ(rectInParent(pane.button(ReturnToBook)).left, 45);

    clickRow(0);
    EXPECT_FALSE(shown(ReturnToBook));
    EXPECT_TRUE(shown(FloatPage));

    clickRow(2);
    command(ReturnToBook);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"returnToBook", -1, floating}}));
    EXPECT_FALSE(floating->floating);
    EXPECT_FALSE(shown(ReturnToBook)) << "back in the book";
    EXPECT_TRUE(shown(FloatPage));
    EXPECT_EQ(GetFocus(), pane.listBox.hwnd);

    // "ブックに戻す" for a page in the book has nothing to return.
    controller.calls.clear();
    command(ReturnToBook);
    EXPECT_TRUE(controller.calls.empty());

    command(FloatPage);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"floatPage", 2, nullptr, true}}));
    EXPECT_TRUE(shown(ReturnToBook));
    EXPECT_FALSE(shown(FloatPage));
}

TEST_F(PageListTest, CtrlUpAndDownMoveAPageUnlessItIsAtTheEnd) {
    addPages(3);
    Page* first = book.at(0);
    Page* second = book.at(1);
    clickRow(0);

    EXPECT_EQ(keyToItem(VK_UP, true), -1) << "the first row cannot move up";
    EXPECT_EQ(keyToItem(VK_UP, false), -1);
    EXPECT_EQ(keyToItem(VK_DOWN, false), -1) << "plain Down only moves the selection";
    EXPECT_TRUE(controller.calls.empty());

    EXPECT_EQ(keyToItem(VK_DOWN, true), -2);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"movePage", 0, nullptr, false}}));
    EXPECT_EQ(book.at(0), second);
    EXPECT_EQ(book.at(1), first);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1) << "the moved row stays selected";
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);

    clickRow(2);
    controller.calls.clear();
    EXPECT_EQ(keyToItem(VK_DOWN, true), -1) << "the last row cannot move down";
    EXPECT_EQ(keyToItem(VK_UP, true), -2);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"movePage", 2, nullptr, true}}));
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1);
}

TEST_F(PageListTest, CtrlDownInTheListBoxMovesTheRowOnce) {
    addPages(3);
    Page* first = book.at(0);
    clickRow(0);

    // The list box asks the pane about the key; -2 keeps it from moving the
    // selection a second time.
    withControl(true, [this] { SendMessageA(pane.listBox.hwnd, WM_KEYDOWN, VK_DOWN, 1); });
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"movePage", 0, nullptr, false}}));
    EXPECT_EQ(book.at(1), first);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1);

    withControl(false, [this] { SendMessageA(pane.listBox.hwnd, WM_KEYDOWN, VK_DOWN, 1); });
    EXPECT_EQ(controller.calls.size(), 1u) << "Down alone moves no page";
    EXPECT_EQ(pane.listBox.listBoxSelection(), 2) << "but the selection";
    EXPECT_EQ(enabledButtons(), "11111101") << "the list box's own move updates the buttons too";
}

TEST_F(PageListTest, EnterOpensAndDeleteDeletesTheSelectedPage) {
    addPages(3);
    Page* middle = book.at(1);
    clickRow(1);
    EXPECT_EQ(keyToItem(VK_RETURN, false), -1);
    EXPECT_EQ(keyToItem('A', false), -1);

    agreeToDelete = false;
    EXPECT_EQ(keyToItem(VK_DELETE, false), -1);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1) << "a refused deletion changes nothing";
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);

    agreeToDelete = true;
    EXPECT_EQ(keyToItem(VK_DELETE, false), -1);
    EXPECT_EQ(controller.calls,
              (std::vector<Call>{{"openPage", 1}, {"deletePage", -1, middle}, {"deletePage", -1, middle}}));
    EXPECT_EQ(pane.listBox.listBoxCount(), 2);
    EXPECT_EQ(pane.listBox.listBoxSelection(), LB_ERR) << "no selection after a deletion";
    EXPECT_EQ(enabledButtons(), "10000000");
}

TEST_F(PageListTest, DoubleClickOpensTheRowUnderTheCaret) {
    addPages(3);
    clickRow(2);
    RECT item{};
    SendMessageA(pane.listBox.hwnd, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    SendMessageA(pane.listBox.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(item.left + 40, item.top + 4));
    SendMessageA(pane.listBox.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 40, item.top + 4));
    flushEvents(20);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"openPage", 2}}));
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
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1) << "settings keep the row selected";
    command(FloatPage);
    command(NewPage);
    command(DeletePage);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"openPage", 1},
                                                   {"editPageSettings", 1},
                                                   {"floatPage", 1, nullptr, true},
                                                   {"newPage"},
                                                   {"deletePage", -1, middle}}));
}

TEST_F(PageListTest, MoveCommandsMoveThePageAndItsRow) {
    addPages(3);
    Page* first = book.at(0);
    Page* middle = book.at(1);
    clickRow(1);

    command(MoveUp);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"movePage", 1, nullptr, true}}));
    EXPECT_EQ(book.at(0), middle);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 0);
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
    EXPECT_EQ(enabledButtons(), "11111011");
    EXPECT_EQ(GetFocus(), pane.listBox.hwnd);

    // The button is disabled now; a command that still arrives moves nothing.
    controller.calls.clear();
    command(MoveUp);
    EXPECT_TRUE(controller.calls.empty());
    EXPECT_EQ(book.at(0), middle);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 0);

    command(MoveDown);
    EXPECT_EQ(controller.calls, (std::vector<Call>{{"movePage", 0, nullptr, false}}));
    EXPECT_EQ(book.at(0), first);
    EXPECT_EQ(book.at(1), middle);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1);
}

TEST_F(PageListTest, RefreshAndMoveRowKeepRowsInStepWithTheBook) {
    addPages(3);
    clickRow(2);
    pane.refresh(true);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 2);
    EXPECT_EQ(pane.listBox.listBoxCaret(), 2);

    addPage("追加");
    pane.refresh(true);
    EXPECT_EQ(pane.listBox.listBoxCount(), 4);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 2);
    EXPECT_EQ(enabledButtons(), "11111111") << "the buttons follow the refreshed rows";

    pane.refresh(false);
    EXPECT_EQ(pane.listBox.listBoxSelection(), LB_ERR);

    clickRow(3);
    book.removeAt(3);
    pane.refresh(true);
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
    EXPECT_EQ(pane.listBox.listBoxSelection(), LB_ERR) << "the remembered row is gone";

    EXPECT_TRUE(pane.moveRow(0, false));
    EXPECT_EQ(pane.listBox.listBoxSelection(), 1);
    EXPECT_TRUE(pane.moveRow(1, true));
    EXPECT_EQ(pane.listBox.listBoxSelection(), 0);
    EXPECT_FALSE(pane.moveRow(0, true));
    EXPECT_FALSE(pane.moveRow(2, false));
    EXPECT_EQ(pane.listBox.listBoxCount(), 3);
    EXPECT_EQ(pane.listBox.listBoxSelection(), 0);
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
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(pane.listBox.hwnd, &dirty, FALSE)) << "the new rows are painted";
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(pane.listBox.hwnd, SB_VERT, &scroll));
    EXPECT_EQ(scroll.nMax, 62);
    EXPECT_GT(scroll.nPage, 0u);

    flushEvents();
    ValidateRect(pane.listBox.hwnd, nullptr);
    ASSERT_TRUE(pane.moveRow(0, false));
    EXPECT_TRUE(GetUpdateRect(pane.listBox.hwnd, &dirty, FALSE)) << "a moved row is repainted";
}

TEST_F(PageListTest, RowsDrawASwatchOfThePageColours) {
    addPages(2);
    Page* coloured = book.at(1);
    coloured->format.frameColor = RGB(200, 0, 0);
    coloured->format.editorFormat.backColor = RGB(0, 0, 200);
    clickRow(0);
    SetFocus(pane.hwnd); // no focus rectangle over the selected row
    paintList();

    EXPECT_EQ(listPixel(0, 3, 3), GetSysColor(COLOR_BTNSHADOW)) << "automatic frame colour";
    EXPECT_EQ(listPixel(0, 8, 8), GetSysColor(COLOR_WINDOW)) << "automatic editor background";
    EXPECT_EQ(listPixel(0, 12, 12), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(listPixel(1, 3, 3), RGB(200, 0, 0));
    EXPECT_EQ(listPixel(1, 8, 8), RGB(0, 0, 200));

    RECT item{};
    SendMessageA(pane.listBox.hwnd, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const int clear = item.right - item.left - 4;
    EXPECT_EQ(listPixel(0, clear, 8), GetSysColor(COLOR_HIGHLIGHT)) << "selected row";
    EXPECT_EQ(listPixel(1, clear, 8), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(listPixel(0, 1, 1), GetSysColor(COLOR_HIGHLIGHT)) << "outside the swatch";

    // The title starts 15 pixels in, after a gap beside the swatch.
    int gap = 0;
    int title = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 13; x < 15; ++x) {
            gap += listPixel(1, x, y) != GetSysColor(COLOR_WINDOW) ? 1 : 0;
        }
        for (int x = 15; x < 80; ++x) {
            title += listPixel(1, x, y) != GetSysColor(COLOR_WINDOW) ? 1 : 0;
        }
    }
    EXPECT_EQ(gap, 0);
    EXPECT_GT(title, 20);

    // A row the book no longer has (removed, not yet refreshed) draws blank.
    book.removeAt(1);
    paintList();
    EXPECT_EQ(listPixel(1, 3, 3), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(listPixel(1, 8, 8), GetSysColor(COLOR_WINDOW));
}

TEST_F(PageListTest, ButtonsDrawFadedWhenDisabledAndSunkenWhenPressed) {
    const Picture rest = drawnButton(NewPage, 0);
    EXPECT_EQ(rest.count(RGB(255, 0, 255)), 0) << "the whole face is painted";
    const int icon = rest.width * rest.height - rest.count(kPaneFill);
    EXPECT_GT(icon, 10) << "the icon shows";
    EXPECT_GT(drawnButton(NewPage, ODS_DISABLED).differences(rest), icon / 3) << "the icon is faded, not just a few pixels";

    // Pressed: the face moves one pixel down and right inside a soft sunken edge.
    const Picture pressed = drawnButton(NewPage, ODS_SELECTED);
    for (int y = 1; y < 14; ++y) {
        for (int x = 1; x < 14; ++x) {
            ASSERT_EQ(pressed.at(x, y), rest.at(x - 1, y - 1)) << x << "," << y;
        }
    }
    const Picture edge = paintPicture(rest.width, rest.height, kPaneFill, [&](HDC dc) {
        RECT face{0, 0, rest.width, rest.height};
        DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT | BF_SOFT);
    });
    for (int i = 0; i < rest.width; ++i) {
        for (const POINT point : {POINT{i, 0}, POINT{0, i}, POINT{i, 14}, POINT{14, i}}) {
            EXPECT_EQ(pressed.at(point.x, point.y), edge.at(point.x, point.y)) << point.x << "," << point.y;
        }
    }
    // Each button draws its own icon.
    EXPECT_NE(drawnButton(MoveUp, 0).pixels, drawnButton(MoveDown, 0).pixels);
}
