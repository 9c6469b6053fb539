#include "app/Application.h"
#include "book/Book.h"
#include "book/Page.h"
#include "pagewindows/FloatingPageWindow.h"
#include "resources/resource.h"
#include "support/Dialogs.h"
#include "support/Pump.h"
#include "support/RecordingController.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kMenuWatchdog = 1;
// A corner no test window covers.
constexpr POINT kAway{3, 760};

// A floating window whose memory is poisoned when it is deleted, so that any
// write to it after its owner deleted it inside one of its handlers shows as
// a changed byte, and any virtual call through it crashes.
class TestFloating : public FloatingPageWindow {
public:
    explicit TestFloating(BookController* windowOwner) : FloatingPageWindow(windowOwner) {}

    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, std::size_t size) {
        std::memset(memory, 0xDD, size);
        graveyard = memory;
        graveyardSize = size;
    }

    HWND button() const { return closeButton; }
    HWND editorWindow() const { return editor->hwnd; }
    int stripHeight() const { return captionHeight; }
    bool expanded() const { return hovering; }

    // The window owns its menu: record the items and their check marks, then
    // close the menu so its modal loop ends.
    void onInitMenuPopup(HMENU menu, UINT, bool) override {
        menuItems.clear();
        checkedItems.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const UINT id = GetMenuItemID(menu, i);
            menuItems.push_back(id);
            if (GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) {
                checkedItems.push_back(id);
            }
        }
        PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        SetTimer(hwnd, kMenuWatchdog, 3000, nullptr);
    }
    void onTimer(UINT_PTR id, LPARAM callback) override {
        if (id == kMenuWatchdog) {
            KillTimer(hwnd, kMenuWatchdog);
            EndMenu();
            return;
        }
        FloatingPageWindow::onTimer(id, callback);
    }

    std::vector<UINT> menuItems;
    std::vector<UINT> checkedItems;

    static void* graveyard;
    static std::size_t graveyardSize;
};

void* TestFloating::graveyard = nullptr;
std::size_t TestFloating::graveyardSize = 0;

// Frees the memory of the last deleted window; false when anything wrote to
// it after the deletion.
bool buryDeletedWindow() {
    if (!TestFloating::graveyard) {
        return true;
    }
    const auto* bytes = static_cast<const unsigned char*>(TestFloating::graveyard);
    bool untouched = true;
    for (std::size_t i = 0; i < TestFloating::graveyardSize; ++i) {
        untouched = untouched && bytes[i] == 0xDD;
    }
    ::operator delete(TestFloating::graveyard);
    TestFloating::graveyard = nullptr;
    return untouched;
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT clientRectOf(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult sameRect(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got {" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "}, expected {" << expected.left << ", " << expected.top
                                         << ", " << expected.right << ", " << expected.bottom << "}";
}

RECT toRect(const PageRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

LONG style(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}
bool sizeable(HWND window) {
    return (style(window) & WS_THICKFRAME) != 0;
}
bool topmost(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

Page notePage() {
    Page page;
    page.title = "付箋";
    page.text = "明日の予定";
    page.floatingRect = {200, 200, 400, 330};
    page.format.titleFormat.backColor = RGB(255, 220, 120);
    page.format.editorFormat.backColor = RGB(255, 250, 200);
    return page;
}

class FloatingPageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(kAway.x, kAway.y);
        hiddenOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      application().instance, nullptr);
        ASSERT_NE(hiddenOwner, nullptr);
        // The book window, owned by the same hidden window, lies between it and
        // the floating windows in the Z order. Wine keeps an owned pop-up
        // topmost when the window right below it is its owner.
        bookWindow = CreateWindowExA(0, "STATIC", "book", WS_POPUP, 0, 0, 0, 0, hiddenOwner, nullptr,
                                     application().instance, nullptr);
        ASSERT_NE(bookWindow, nullptr);
        // As the book window does it: store, destroy the window, delete the object.
        owner.act = [this](const RecordingController::Call& call, Page* page) {
            if (call.name == "returnToBook") {
                page->floating = false;
                window->storePage();
            }
            if (call.name == "returnToBook" || (call.name == "deletePage" && agreeToDelete)) {
                closeWindow();
            }
        };
    }

    void TearDown() override {
        closeWindow();
        buryDeletedWindow();
        DestroyWindow(bookWindow);
        DestroyWindow(hiddenOwner);
        SetCursorPos(kAway.x, kAway.y);
        flushEvents(20, 500);
    }

    // What the book window does to float a page.
    void open(Page& page, bool show = true) {
        window = new TestFloating(&owner);
        ASSERT_TRUE(window->createPane(hiddenOwner));
        window->setPage(&page);
        if (show) {
            ShowWindow(window->hwnd, SW_SHOW);
            SetFocus(window->editorWindow());
            flushEvents();
        }
        owner.clear();
    }

    void hover() {
        const RECT rect = windowRect(window->hwnd);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(window->hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(window->hwnd),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }

    // Moves the pointer away and lets timer 103 notice.
    bool leave() {
        SetCursorPos(kAway.x, kAway.y);
        return pumpUntil([this] { return !window->expanded(); }, 2000);
    }

    void command(UINT id, UINT code = 0) { SendMessageA(window->hwnd, WM_COMMAND, MAKEWPARAM(id, code), 0); }

    void closeWindow() {
        if (window) {
            DestroyWindow(window->hwnd);
            delete window;
            window = nullptr;
        }
    }

    HWND hiddenOwner = nullptr;
    HWND bookWindow = nullptr;
    RecordingController owner;
    bool agreeToDelete = true;
    TestFloating* window = nullptr;
};

} // namespace

TEST_F(FloatingPageWindowTest, IsAnOwnedPopupWithoutTitleBarPlacedAtThePageRectangle) {
    Page page = notePage();
    open(page, false);
    const HWND hwnd = window->hwnd;
    char className[32] = {};
    GetClassNameA(hwnd, className, sizeof className);
    EXPECT_STREQ(className, "LKDOCWND");
    EXPECT_EQ(style(hwnd) & (WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU),
              WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU);
    EXPECT_EQ(style(hwnd) & (WS_CAPTION & ~WS_BORDER), 0) << "no title bar";
    EXPECT_EQ(style(hwnd) & (WS_VISIBLE | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), hiddenOwner);
    EXPECT_FALSE(topmost(hwnd));

    EXPECT_TRUE(page.floating);
    EXPECT_EQ(window->page(), &page);
    EXPECT_EQ(windowText(window->editorWindow()), "明日の予定");
    EXPECT_TRUE(sameRect(windowRect(hwnd), toRect(page.floatingRect)));
    EXPECT_FALSE(IsWindowVisible(window->button()));
    EXPECT_EQ(GetWindowLongA(window->editorWindow(), GWL_STYLE) & WS_VSCROLL, 0) << "the scroll bar starts hidden";

    // Collapsed without a title the editor fills the window.
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_TRUE(sameRect(clientRectOf(window->editorWindow()), client));

    // A text longer than the note does not bring the scroll bar along.
    Page longPage = notePage();
    for (int line = 0; line < 40; ++line) {
        longPage.text += "\r\n行";
    }
    TestFloating other(&owner);
    ASSERT_TRUE(other.createPane(hiddenOwner));
    other.setPage(&longPage);
    EXPECT_EQ(GetWindowLongA(other.editorWindow(), GWL_STYLE) & WS_VSCROLL, 0);
    DestroyWindow(other.hwnd);

    // With the title shown the strip stays above the editor.
    page.showTitle = true;
    window->setPage(&page);
    EXPECT_EQ(clientRectOf(window->editorWindow()).top, window->stripHeight());
}

TEST_F(FloatingPageWindowTest, HoveringGrowsTheWindowUpwardByTheStripUntilThePointerLeaves) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT before = windowRect(hwnd);
    hover();
    ASSERT_TRUE(window->expanded());
    const RECT grown = windowRect(hwnd);
    EXPECT_TRUE(sameRect(grown, RECT{before.left, before.top - window->stripHeight(), before.right, before.bottom}));
    EXPECT_TRUE(sizeable(hwnd));
    EXPECT_TRUE(IsWindowVisible(window->button()));
    EXPECT_EQ(clientRectOf(window->editorWindow()).top, window->stripHeight());

    // While the pointer stays, the timer keeps the window as it is.
    flushEvents(400, 600);
    EXPECT_TRUE(window->expanded());
    EXPECT_TRUE(sameRect(windowRect(hwnd), grown));

    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));
    EXPECT_FALSE(sizeable(hwnd));
    EXPECT_FALSE(IsWindowVisible(window->button()));
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_TRUE(sameRect(clientRectOf(window->editorWindow()), client));
    EXPECT_EQ(owner.calls.size(), 0u) << "hovering changes nothing in the page";
}

TEST_F(FloatingPageWindowTest, WithTheTitleShownHoveringOnlyAddsTheBorderAndTheButton) {
    Page page = notePage();
    page.showTitle = true;
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT before = windowRect(hwnd);
    hover();
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));
    EXPECT_TRUE(sizeable(hwnd));
    EXPECT_TRUE(IsWindowVisible(window->button()));
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));
    EXPECT_FALSE(sizeable(hwnd));
    EXPECT_FALSE(IsWindowVisible(window->button()));
}

TEST_F(FloatingPageWindowTest, NothingHappensWhileTheProgramHasNoFocus) {
    Page page = notePage();
    open(page);
    const RECT before = windowRect(window->hwnd);
    SetFocus(nullptr);
    ASSERT_EQ(GetFocus(), nullptr);
    hover();
    EXPECT_FALSE(window->expanded());
    EXPECT_TRUE(sameRect(windowRect(window->hwnd), before));
    EXPECT_FALSE(sizeable(window->hwnd));

    SetFocus(window->editorWindow());
    hover();
    EXPECT_TRUE(window->expanded());
}

TEST_F(FloatingPageWindowTest, FixingTheSizeWhileExpandedRemovesTheBorderAtOnce) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT before = windowRect(hwnd);
    hover();
    ASSERT_TRUE(sizeable(hwnd));
    command(CMD_FIX_SIZE);
    EXPECT_TRUE(page.fixedSize);
    EXPECT_FALSE(sizeable(hwnd));
    EXPECT_EQ(owner.count("bookChanged"), 1);
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));

    // Fixed: the next hover grows the window but gives it no border.
    hover();
    EXPECT_FALSE(sizeable(hwnd));
    // Freed again: still no border until the pointer has left and come back.
    command(CMD_FIX_SIZE);
    EXPECT_FALSE(page.fixedSize);
    EXPECT_FALSE(sizeable(hwnd));
    ASSERT_TRUE(leave());
    hover();
    EXPECT_TRUE(sizeable(hwnd));
    EXPECT_EQ(owner.count("bookChanged"), 2);
}

TEST_F(FloatingPageWindowTest, ShowingTheTitleWhileExpandedKeepsTheStripAfterThePointerLeaves) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT before = windowRect(hwnd);
    hover();
    const RECT grown = windowRect(hwnd);
    command(CMD_SHOW_TITLE);
    EXPECT_TRUE(page.showTitle);
    EXPECT_EQ(owner.count("bookChanged"), 1);
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), grown));
    EXPECT_EQ(clientRectOf(window->editorWindow()).top, window->stripHeight());
    EXPECT_FALSE(sizeable(hwnd));

    // Hidden again while expanded: the window shrinks by the strip on leaving.
    hover();
    command(CMD_SHOW_TITLE);
    EXPECT_FALSE(page.showTitle);
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));
    EXPECT_EQ(owner.count("bookChanged"), 2);
}

TEST_F(FloatingPageWindowTest, StorePageTakesTextSelectionAndRectangle) {
    Page page = notePage();
    open(page);
    SendMessageA(window->editorWindow(), EM_SETSEL, 0, 0);
    SendMessageA(window->editorWindow(), WM_CHAR, 'x', 1);
    SendMessageA(window->editorWindow(), EM_SETSEL, 1, 3);
    SetWindowPos(window->hwnd, nullptr, 250, 260, 180, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    window->storePage();
    EXPECT_EQ(page.text, "x明日の予定");
    EXPECT_NE(page.updateTime, -1);
    EXPECT_EQ(page.selectionStart, 1);
    EXPECT_EQ(page.selectionEnd, 3);
    EXPECT_TRUE(sameRect(toRect(page.floatingRect), RECT{250, 260, 430, 350}));
    EXPECT_TRUE(page.floating) << "storing does not return the page";
    EXPECT_EQ(owner.count("bookChanged"), 1) << "the typing is reported";
}

namespace {

struct ReturnWay {
    const char* name;
    std::function<void(TestFloating&)> act;
};

// Holds Ctrl down in the thread's keyboard state, as GetKeyState sees it.
void withCtrl(const std::function<void()>& act) {
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    std::memcpy(state, saved, sizeof state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    act();
    SetKeyboardState(saved);
}

} // namespace

TEST_F(FloatingPageWindowTest, EveryWayOfReturningHandsThePageBackAndTouchesNothingAfterwards) {
    const std::vector<ReturnWay> ways = {
        {"command 103", [](TestFloating& w) { SendMessageA(w.hwnd, WM_COMMAND, CMD_RETURN_TO_BOOK, 0); }},
        {"command 103 from an accelerator",
         [](TestFloating& w) { SendMessageA(w.hwnd, WM_COMMAND, MAKEWPARAM(CMD_RETURN_TO_BOOK, 1), 0); }},
        {"command 105", [](TestFloating& w) { SendMessageA(w.hwnd, WM_COMMAND, CMD_CLOSE_VIEW, 0); }},
        {"WM_CLOSE", [](TestFloating& w) { SendMessageA(w.hwnd, WM_CLOSE, 0, 0); }},
        {"Alt+F4", [](TestFloating& w) { SendMessageA(w.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Ctrl+F4 in the editor",
         [](TestFloating& w) {
             const HWND editor = w.editorWindow();
             withCtrl([editor] { SendMessageA(editor, WM_KEYDOWN, VK_F4, 0x003E0001); });
         }},
        {"the close button", [](TestFloating& w) { SendMessageA(w.button(), BM_CLICK, 0, 0); }},
    };
    for (const ReturnWay& way : ways) {
        SCOPED_TRACE(way.name);
        Page page = notePage();
        open(page);
        hover();
        SendMessageA(window->editorWindow(), EM_SETSEL, 0, 0);
        SendMessageA(window->editorWindow(), WM_CHAR, 'q', 1);
        SendMessageA(window->editorWindow(), EM_SETSEL, 0, 1);
        const HWND hwnd = window->hwnd;
        // The note is stored as it looks at rest, without the strip it grew.
        RECT atRest = windowRect(hwnd);
        atRest.top += window->stripHeight();
        owner.clear();

        way.act(*window);
        flushEvents(20, 300);

        EXPECT_EQ(owner.count("returnToBook"), 1);
        EXPECT_TRUE(owner.has({"returnToBook", -1, &page}));
        EXPECT_EQ(window, nullptr);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_TRUE(buryDeletedWindow()) << "the deleted window was written to";
        EXPECT_FALSE(page.floating);
        EXPECT_EQ(page.text, "q明日の予定");
        EXPECT_EQ(page.selectionEnd, 1);
        EXPECT_TRUE(sameRect(toRect(page.floatingRect), atRest));
        closeWindow();
        buryDeletedWindow();
    }
    // The close command with a notification code is no close request.
    Page page = notePage();
    open(page);
    command(CMD_CLOSE_VIEW, BN_SETFOCUS);
    command(CMD_SHOW_LIST);
    EXPECT_EQ(owner.count("returnToBook"), 0);
}

TEST_F(FloatingPageWindowTest, DeletingThePageAsksTheOwnerAndTouchesNothingAfterwards) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    command(CMD_DELETE_PAGE);
    EXPECT_EQ(owner.count("deletePage"), 1);
    EXPECT_TRUE(owner.has({"deletePage", -1, &page}));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(buryDeletedWindow());

    // When the user says no, the window stays and works on.
    agreeToDelete = false;
    open(page);
    command(CMD_DELETE_PAGE);
    EXPECT_TRUE(IsWindow(window->hwnd));
    command(CMD_SHOW_TITLE);
    EXPECT_TRUE(page.showTitle);
}

// A stored rectangle off every screen opens on a monitor with its size (and
// is stored so); one too small to see opens at the minimum size. Always on
// top makes the window topmost, and the menu item turns it off and on.
TEST_F(FloatingPageWindowTest, TheStoredRectangleAndAlwaysOnTopArePutRight) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    Page page = notePage();
    page.floatingRect = {5000, 5000, 5200, 5200};
    open(page);
    const RECT placed = windowRect(window->hwnd);
    RECT inside{};
    IntersectRect(&inside, &placed, &info.rcWork);
    EXPECT_TRUE(sameRect(inside, placed)) << "wholly on the work area";
    EXPECT_EQ(placed.right - placed.left, 200);
    EXPECT_EQ(placed.bottom - placed.top, 200);
    EXPECT_TRUE(sameRect(toRect(page.floatingRect), placed));
    EXPECT_FALSE(topmost(window->hwnd));
    closeWindow();

    page.floatingRect = {300, 300, 300, 290};
    page.alwaysOnTop = true;
    open(page);
    EXPECT_TRUE(sameRect(windowRect(window->hwnd), RECT{300, 300, 315, 315}));
    EXPECT_TRUE(topmost(window->hwnd));
    command(CMD_ALWAYS_ON_TOP);
    EXPECT_FALSE(page.alwaysOnTop);
    EXPECT_FALSE(topmost(window->hwnd));
    command(CMD_ALWAYS_ON_TOP);
    EXPECT_TRUE(page.alwaysOnTop);
    EXPECT_TRUE(topmost(window->hwnd));
    EXPECT_EQ(owner.count("bookChanged"), 2);
}

TEST_F(FloatingPageWindowTest, TheMenuTicksTheFlagsThatAreSet) {
    Page page = notePage();
    page.showTitle = true;
    page.alwaysOnTop = true;
    open(page);
    const RECT rect = windowRect(window->hwnd);
    SendMessageA(window->hwnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(rect.left + 30, rect.top + 3));
    const std::vector<UINT> items = {CMD_RETURN_TO_BOOK, 0, CMD_SHOW_TITLE,    CMD_FIX_SIZE,
                                     CMD_ALWAYS_ON_TOP,  0, CMD_PAGE_SETTINGS, CMD_DELETE_PAGE};
    EXPECT_EQ(window->menuItems, items);
    EXPECT_EQ(window->checkedItems, (std::vector<UINT>{CMD_SHOW_TITLE, CMD_ALWAYS_ON_TOP}));

    page.showTitle = false;
    page.alwaysOnTop = false;
    page.fixedSize = true;
    // A right-click on the close button asks for the same menu.
    SendMessageA(window->hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window->button()),
                 MAKELPARAM(rect.right - 10, rect.top + 3));
    EXPECT_EQ(window->menuItems, items);
    EXPECT_EQ(window->checkedItems, (std::vector<UINT>{CMD_FIX_SIZE}));
}

TEST_F(FloatingPageWindowTest, TheStripDragsTheWindowAndTheBorderIsNoSmallerThan15) {
    Page page = notePage();
    page.showTitle = true;
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT rect = windowRect(hwnd);
    const POINT onStrip{rect.left + 60, rect.top + 1 + window->stripHeight() / 2};
    EXPECT_EQ(WindowFromPoint(onStrip), hwnd);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(onStrip.x, onStrip.y)), HTCAPTION);
    const POINT onText{rect.left + 60, rect.bottom - 20};
    EXPECT_EQ(WindowFromPoint(onText), window->editorWindow()) << "the editor keeps its own clicks";

    hover();
    const RECT grown = windowRect(hwnd);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(grown.left + 1, (grown.top + grown.bottom) / 2)), HTLEFT);

    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{1234, 987};
    info.ptMinTrackSize = POINT{100, 100};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 15);
    EXPECT_EQ(info.ptMinTrackSize.y, 15);
    EXPECT_EQ(info.ptMaxTrackSize.x, 1234);
    EXPECT_EQ(info.ptMaxTrackSize.y, 987);
}

TEST_F(FloatingPageWindowTest, ConfirmedPageSettingsAreAppliedAndTheListRefreshed) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    {
        DialogScript script({[](HWND sheet) {
            const auto general = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            SetDlgItemTextA(general, IDC_TITLE, "新しい題");
            clickButton(sheet, IDOK);
        }});
        command(CMD_PAGE_SETTINGS);
        EXPECT_TRUE(script.wait());
    }
    EXPECT_EQ(page.title, "新しい題");
    EXPECT_EQ(windowText(hwnd), "新しい題") << "the page is applied again";
    EXPECT_TRUE(owner.has({"refreshPageList", -1, nullptr, true})) << "keeping the selection";
    EXPECT_EQ(owner.count("bookChanged"), 1);
    EXPECT_TRUE(page.floating);

    owner.clear();
    {
        DialogScript script({[](HWND sheet) { clickButton(sheet, IDCANCEL); }});
        command(CMD_PAGE_SETTINGS);
        EXPECT_TRUE(script.wait());
    }
    EXPECT_TRUE(owner.calls.empty());
}

// The sheet's modal loop keeps the book window working: the note can be
// closed under the open sheet (here by a close request, as when the program
// ends from the notification-area menu). The window then must not touch the
// deleted object when the sheet returns.
TEST_F(FloatingPageWindowTest, AWindowClosedWhileItsSettingsAreOpenTouchesNothingAfterwards) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    {
        DialogScript script({[hwnd](HWND) { PostMessageA(hwnd, WM_CLOSE, 0, 0); }});
        command(CMD_PAGE_SETTINGS);
        EXPECT_TRUE(script.wait());
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(owner.count("returnToBook"), 1);
    EXPECT_EQ(owner.count("refreshPageList"), 0);
    EXPECT_TRUE(buryDeletedWindow()) << "the deleted window was written to";
}
