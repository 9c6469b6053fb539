#include "app/Application.h"
#include "book/Page.h"
#include "pagewindows/FloatingPageWindow.h"
#include "resources/resource.h"
#include "support/MenuProbe.h"
#include "support/ModalWatchdog.h"
#include "support/Pump.h"
#include "support/RecordingController.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// A corner no test window covers.
constexpr POINT kAway{3, 760};

// A floating window whose memory is poisoned when it is deleted, so that any
// write to it after its owner deleted it inside one of its handlers shows as
// a changed byte, and any virtual call through it crashes.
class TestFloating : public FloatingPageWindow {
public:
    using FloatingPageWindow::FloatingPageWindow;

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

    static void* graveyard;
    static std::size_t graveyardSize;
};

void* TestFloating::graveyard = nullptr;
std::size_t TestFloating::graveyardSize = 0;

// Frees the memory of the last deleted window; false when anything wrote to
// it after the deletion.
bool buryDeletedWindow() {
    const auto* bytes = static_cast<const unsigned char*>(TestFloating::graveyard);
    bool untouched = true;
    for (std::size_t i = 0; bytes && i < TestFloating::graveyardSize; ++i) {
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

RECT rectInParent(HWND child) {
    RECT rect = windowRect(child);
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

RECT toRect(const PageRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

bool sizeable(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME) != 0; }
bool topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

Page notePage() {
    Page page;
    page.title = "付箋";
    page.text = "明日の予定";
    page.floatingRect = {200, 200, 400, 330};
    page.format.titleFormat.backColor = RGB(255, 220, 120);
    page.format.editorFormat.backColor = RGB(255, 250, 200);
    return page;
}

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

class FloatingPageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(kAway.x, kAway.y);
        hiddenOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      application().instance, nullptr);
        // The book window, owned by the same hidden window, lies between it and
        // the floating windows in the Z order. Wine keeps an owned pop-up
        // topmost when the window right below it is its owner.
        bookWindow = CreateWindowExA(0, "STATIC", "book", WS_POPUP, 0, 0, 0, 0, hiddenOwner, nullptr,
                                     application().instance, nullptr);
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
        buryDeletedWindow();
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

    void closeWindow() {
        if (window) {
            DestroyWindow(window->hwnd);
            delete window;
            window = nullptr;
        }
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

    // The editor fills the client area below the strip (of height `top`).
    bool editorFillsFrom(int top) const {
        RECT client{};
        GetClientRect(window->hwnd, &client);
        client.top = top;
        return sameRect(rectInParent(window->editorWindow()), client);
    }

    HWND hiddenOwner = nullptr;
    HWND bookWindow = nullptr;
    RecordingController owner;
    bool agreeToDelete = true;
    TestFloating* window = nullptr;
};

} // namespace

// An owned pop-up without title bar at the page's rectangle; collapsed
// without a title the editor fills it, and a text longer than the note does
// not bring the scroll bar along.
TEST_F(FloatingPageWindowTest, IsAnOwnedPopupWithoutTitleBarPlacedAtThePageRectangle) {
    Page page = notePage();
    for (int line = 0; line < 40; ++line) {
        page.text += "\r\n行";
    }
    open(page, false);
    const HWND hwnd = window->hwnd;
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_POPUP | WS_VISIBLE | WS_THICKFRAME), WS_BORDER | WS_POPUP);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), hiddenOwner);
    EXPECT_FALSE(topmost(hwnd));
    EXPECT_TRUE(page.floating);
    EXPECT_EQ(windowText(window->editorWindow()), page.text);
    EXPECT_TRUE(sameRect(windowRect(hwnd), toRect(page.floatingRect)));
    EXPECT_FALSE(IsWindowVisible(window->button()));
    EXPECT_EQ(GetWindowLongA(window->editorWindow(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_TRUE(editorFillsFrom(0));
    // With the title shown the strip stays above the editor.
    page.showTitle = true;
    window->setPage(&page);
    EXPECT_TRUE(editorFillsFrom(window->stripHeight()));
}

// Hovering grows the window upward by the strip, sizeable and with the close
// button, until the pointer leaves; with the title shown it only adds the
// border and the button; while the program has no focus nothing happens.
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
    EXPECT_TRUE(editorFillsFrom(window->stripHeight()));
    // While the pointer stays, the timer keeps the window as it is.
    flushEvents(400, 600);
    EXPECT_TRUE(sameRect(windowRect(hwnd), grown));
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));
    EXPECT_FALSE(sizeable(hwnd));
    EXPECT_FALSE(IsWindowVisible(window->button()));
    EXPECT_TRUE(editorFillsFrom(0));
    EXPECT_TRUE(owner.calls.empty()) << "hovering changes nothing in the page";

    closeWindow();
    page.showTitle = true;
    open(page);
    hover();
    EXPECT_TRUE(sameRect(windowRect(window->hwnd), before));
    EXPECT_TRUE(sizeable(window->hwnd));
    EXPECT_TRUE(IsWindowVisible(window->button()));
    ASSERT_TRUE(leave());
    EXPECT_FALSE(sizeable(window->hwnd));

    SetFocus(nullptr);
    hover();
    EXPECT_FALSE(window->expanded());
    EXPECT_FALSE(sizeable(window->hwnd));
}

// Fixing the size while expanded removes the border at once and the next
// hover grows no border; freed again, the border comes back only once the
// pointer has left and come back.
TEST_F(FloatingPageWindowTest, FixingTheSizeWhileExpandedRemovesTheBorderAtOnce) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT before = windowRect(hwnd);
    hover();
    command(CMD_FIX_SIZE);
    EXPECT_TRUE(page.fixedSize);
    EXPECT_FALSE(sizeable(hwnd));
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), before));
    hover();
    EXPECT_FALSE(sizeable(hwnd));
    command(CMD_FIX_SIZE);
    EXPECT_FALSE(page.fixedSize);
    EXPECT_FALSE(sizeable(hwnd));
    ASSERT_TRUE(leave());
    hover();
    EXPECT_TRUE(sizeable(hwnd));
    EXPECT_EQ(owner.count("bookChanged"), 2);
}

// Shown while expanded, the title keeps the strip after the pointer leaves;
// hidden again while expanded, the window shrinks by the strip on leaving.
TEST_F(FloatingPageWindowTest, ShowingTheTitleWhileExpandedKeepsTheStripAfterThePointerLeaves) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    const RECT before = windowRect(hwnd);
    hover();
    const RECT grown = windowRect(hwnd);
    command(CMD_SHOW_TITLE);
    EXPECT_TRUE(page.showTitle);
    ASSERT_TRUE(leave());
    EXPECT_TRUE(sameRect(windowRect(hwnd), grown));
    EXPECT_TRUE(editorFillsFrom(window->stripHeight()));
    EXPECT_FALSE(sizeable(hwnd));
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
    EXPECT_EQ(owner.calls, std::vector<RecordingController::Call>{{"bookChanged"}}) << "the typing is reported";
}

// Whichever way the page goes back, the owner is asked once, the page is
// stored as it looks at rest (without the strip it grew), and the deleted
// window is never touched afterwards. The close command with a notification
// code is no close request.
TEST_F(FloatingPageWindowTest, EveryWayOfReturningHandsThePageBackAndTouchesNothingAfterwards) {
    const std::pair<const char*, std::function<void(TestFloating&)>> ways[] = {
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
    for (const auto& [name, act] : ways) {
        SCOPED_TRACE(name);
        Page page = notePage();
        open(page);
        hover();
        SendMessageA(window->editorWindow(), EM_SETSEL, 0, 0);
        SendMessageA(window->editorWindow(), WM_CHAR, 'q', 1);
        SendMessageA(window->editorWindow(), EM_SETSEL, 0, 1);
        const HWND hwnd = window->hwnd;
        RECT atRest = windowRect(hwnd);
        atRest.top += window->stripHeight();
        owner.clear();
        act(*window);
        flushEvents(20, 300);
        EXPECT_EQ(owner.count("returnToBook"), 1);
        EXPECT_TRUE(owner.has({"returnToBook", -1, &page}));
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_TRUE(buryDeletedWindow()) << "the deleted window was written to";
        EXPECT_FALSE(page.floating);
        EXPECT_EQ(page.text, "q明日の予定");
        EXPECT_EQ(page.selectionEnd, 1);
        EXPECT_TRUE(sameRect(toRect(page.floatingRect), atRest));
        closeWindow();
    }
    Page page = notePage();
    open(page);
    command(CMD_CLOSE_VIEW, BN_SETFOCUS);
    command(CMD_SHOW_LIST);
    EXPECT_EQ(owner.count("returnToBook"), 0);
}

// Deleting asks the owner and touches nothing afterwards; when the user says
// no, the window stays and works on.
TEST_F(FloatingPageWindowTest, DeletingThePageAsksTheOwnerAndTouchesNothingAfterwards) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    command(CMD_DELETE_PAGE);
    EXPECT_EQ(owner.calls, (std::vector<RecordingController::Call>{{"deletePage", -1, &page}}));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(buryDeletedWindow());
    agreeToDelete = false;
    open(page);
    command(CMD_DELETE_PAGE);
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
    EXPECT_TRUE(topmost(window->hwnd));
    EXPECT_EQ(owner.count("bookChanged"), 2);
}

// The menu from the strip, or from a right-click on the close button, ticks
// the flags that are set.
TEST_F(FloatingPageWindowTest, TheMenuTicksTheFlagsThatAreSet) {
    Page page = notePage();
    page.showTitle = true;
    page.alwaysOnTop = true;
    open(page);
    const RECT rect = windowRect(window->hwnd);
    const std::vector<UINT> items = {CMD_RETURN_TO_BOOK, 0, CMD_SHOW_TITLE,    CMD_FIX_SIZE,
                                     CMD_ALWAYS_ON_TOP,  0, CMD_PAGE_SETTINGS, CMD_DELETE_PAGE};
    {
        MenuProbe menu;
        SendMessageA(window->hwnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(rect.left + 30, rect.top + 3));
        EXPECT_EQ(menu.items, items);
        EXPECT_EQ(menu.checked, (std::vector<UINT>{CMD_SHOW_TITLE, CMD_ALWAYS_ON_TOP}));
    }
    page.showTitle = false;
    page.alwaysOnTop = false;
    page.fixedSize = true;
    MenuProbe menu;
    SendMessageA(window->hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window->button()),
                 MAKELPARAM(rect.right - 10, rect.top + 3));
    EXPECT_EQ(menu.items, items);
    EXPECT_EQ(menu.checked, std::vector<UINT>{CMD_FIX_SIZE});
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
    EXPECT_EQ(WindowFromPoint(POINT{rect.left + 60, rect.bottom - 20}), window->editorWindow())
        << "the editor keeps its own clicks";
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
}

// Confirmed settings are applied to the window and refresh the list keeping
// its selection; cancelled ones change nothing.
TEST_F(FloatingPageWindowTest, ConfirmedPageSettingsAreAppliedAndTheListRefreshed) {
    Page page = notePage();
    open(page);
    for (const int button : {IDOK, IDCANCEL}) {
        owner.clear();
        runScripted(
            [this] {
                command(CMD_PAGE_SETTINGS);
                return 0;
            },
            {[button](HWND sheet) {
                SetDlgItemTextA(currentPage(sheet), IDC_TITLE, "新しい題");
                clickButton(sheet, button);
            }});
        if (button == IDOK) {
            EXPECT_EQ(page.title, "新しい題");
            EXPECT_EQ(windowText(window->hwnd), "新しい題") << "the page is applied again";
            EXPECT_TRUE(owner.has({"refreshPageList", -1, nullptr, true})) << "keeping the selection";
            EXPECT_EQ(owner.count("bookChanged"), 1);
            EXPECT_TRUE(page.floating);
        } else {
            EXPECT_TRUE(owner.calls.empty());
        }
    }
}

// The sheet's modal loop keeps the book window working: the note can be
// closed under the open sheet (here by a close request, as when the program
// ends from the notification-area menu). The window then must not touch the
// deleted object when the sheet returns.
TEST_F(FloatingPageWindowTest, AWindowClosedWhileItsSettingsAreOpenTouchesNothingAfterwards) {
    Page page = notePage();
    open(page);
    const HWND hwnd = window->hwnd;
    runScripted(
        [this] {
            command(CMD_PAGE_SETTINGS);
            return 0;
        },
        {[hwnd](HWND) { PostMessageA(hwnd, WM_CLOSE, 0, 0); }});
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(owner.count("returnToBook"), 1);
    EXPECT_EQ(owner.count("refreshPageList"), 0);
    EXPECT_TRUE(buryDeletedWindow()) << "the deleted window was written to";
}
