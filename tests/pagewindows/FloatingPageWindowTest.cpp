#include "framework/Application.h"
#include "book/Page.h"
#include "pagewindows/FloatingPageWindow.h"
#include "resources/resource.h"
#include "support/MenuProbe.h"
#include "support/ModalWatchdog.h"
#include "support/Pump.h"
#include "support/RecordingController.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A floating window whose memory is poisoned when it is deleted, so that any
// write to it after its owner deleted it inside one of its handlers shows as
// a changed byte, and any virtual call through it crashes.
class TestFloating : public FloatingPageWindow {
public:
    using FloatingPageWindow::FloatingPageWindow;
    using PageView::captionHeight, PageView::closeButton, PageView::editor, FloatingPageWindow::hovering;

    static void operator delete(void* memory, std::size_t size) {
        std::memset(memory, 0xDD, size);
        graveyard = memory;
        graveyardSize = size;
    }
    static inline void* graveyard = nullptr;
    static inline std::size_t graveyardSize = 0;
};

// Frees the memory of the last deleted window; false when anything wrote to
// it after the deletion.
bool buryDeletedWindow() {
    const auto* bytes = static_cast<const unsigned char*>(TestFloating::graveyard);
    const bool untouched = std::all_of(bytes, bytes + (bytes ? TestFloating::graveyardSize : 0),
                                       [](unsigned char byte) { return byte == 0xDD; });
    ::operator delete(TestFloating::graveyard);
    TestFloating::graveyard = nullptr;
    return untouched;
}

class FloatingPageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(3, 760);
        hiddenOwner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        // The book window, owned by the same hidden window, lies between it and
        // the floating windows in the Z order. Wine keeps an owned pop-up
        // topmost when the window right below it is its owner.
        CreateWindowExA(0, "STATIC", "book", WS_POPUP, 0, 0, 0, 0, hiddenOwner, nullptr, nullptr, nullptr);
        // As the book window does it: store, destroy the window, delete the
        // object. It skips the store when deleting, which changes nothing here.
        owner.act = [this](const RecordingController::Call& call, Page*) {
            if (call.name == "returnToBook" || call.name == "deletePage") {
                window->storePage();
                closeWindow();
            }
        };
    }

    void TearDown() override {
        closeWindow();
        buryDeletedWindow();
        DestroyWindow(hiddenOwner);
        flushEvents(20, 500);
    }

    // What the book window does to float a page.
    void open(Page& page) {
        buryDeletedWindow();
        window = new TestFloating(&owner);
        ASSERT_TRUE(window->createPane(hiddenOwner));
        window->setPage(&page);
        ShowWindow(window->handle(), SW_SHOW);
        SetFocus(window->editor->handle());
        owner.clear();
    }

    void closeWindow() {
        if (window) {
            DestroyWindow(window->handle());
            delete window;
            window = nullptr;
        }
    }

    void hover() {
        const std::vector<LONG> rect = edges(window->handle());
        SetCursorPos((rect[0] + rect[2]) / 2, (rect[1] + rect[3]) / 2);
        SendMessageA(window->handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window->handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }

    // Moves the pointer to a corner no test window covers and lets timer 103
    // notice.
    bool leave() {
        SetCursorPos(3, 760);
        return pumpUntil([this] { return !window->hovering; }, 2000);
    }

    void command(UINT id, UINT code = 0) { SendMessageA(window->handle(), WM_COMMAND, MAKEWPARAM(id, code), 0); }
    static bool sizeable(HWND note) { return (GetWindowLongA(note, GWL_STYLE) & WS_THICKFRAME) != 0; }
    static bool topmost(HWND note) { return (GetWindowLongA(note, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    // Rectangles as edges, to compare whole and print readably.
    static std::vector<LONG> edges(const PageRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
    static std::vector<LONG> edges(HWND note) {
        RECT rect{};
        GetWindowRect(note, &rect);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }

    HWND hiddenOwner = nullptr;
    RecordingController owner;
    TestFloating* window = nullptr;
};

} // namespace

// A note opens at least 15 pixels square however small its stored rectangle,
// on top when its page is, and, without its title, as just the editor, with
// no scroll bar even for a long text. The pointer over it grows it upward by
// the strip (the text stays in place), with a sizing border and the close
// button, until the pointer leaves; nothing grows while the program has no
// keyboard focus. Each flag of its menu changes the page, is reported so the
// book gets written, is ticked in the menu and shows at once: always on top
// turned off, a fixed size without its border, a shown title keeping the
// strip after the pointer leaves. The strip drags the note.
TEST_F(FloatingPageWindowTest, ANoteGrowsItsStripUnderThePointerAndFollowsItsFlags) {
    Page page;
    page.floatingRect = {300, 300, 300, 290};
    page.alwaysOnTop = true;
    page.text = "明日の予定\r\n行\r\n行\r\n行";
    open(page);
    const HWND hwnd = window->handle();
    const std::vector<LONG> atRest{300, 300, 315, 315};
    EXPECT_EQ(edges(hwnd), atRest);
    EXPECT_EQ(edges(page.floatingRect), atRest);
    EXPECT_TRUE(topmost(hwnd));
    EXPECT_EQ(GetWindowLongA(window->editor->handle(), GWL_STYLE) & WS_VSCROLL, 0);
    POINT client{};
    ClientToScreen(hwnd, &client);
    EXPECT_EQ(edges(window->editor->handle())[1], client.y) << "the editor fills the note";
    hover();
    const std::vector<LONG> grown{300, 300 - window->captionHeight, 315, 315};
    EXPECT_EQ(edges(hwnd), grown);
    EXPECT_TRUE(sizeable(hwnd));
    EXPECT_TRUE(IsWindowVisible(window->closeButton));
    flushEvents(400, 600);
    EXPECT_EQ(edges(hwnd), grown) << "the pointer is still over it";
    ASSERT_TRUE(leave());
    EXPECT_EQ(edges(hwnd), atRest);
    EXPECT_FALSE(sizeable(hwnd));
    EXPECT_FALSE(IsWindowVisible(window->closeButton));

    hover();
    for (const UINT id : {CMD_SHOW_TITLE, CMD_ALWAYS_ON_TOP, CMD_FIX_SIZE}) {
        command(id);
    }
    EXPECT_EQ((std::vector<bool>{page.showTitle, page.alwaysOnTop, page.fixedSize}),
              (std::vector<bool>{true, false, true}));
    EXPECT_EQ(owner.count("bookChanged"), 3);
    EXPECT_FALSE(topmost(hwnd));
    EXPECT_FALSE(sizeable(hwnd));
    MenuProbe menu;
    SendMessageA(hwnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(305, 302));
    EXPECT_EQ(menu.checked, (std::vector<UINT>{CMD_SHOW_TITLE, CMD_FIX_SIZE}));
    ASSERT_TRUE(leave());
    EXPECT_EQ(edges(hwnd), grown);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(305, grown[1] + 2)), HTCAPTION);
    SetFocus(nullptr);
    hover();
    EXPECT_FALSE(window->hovering) << "the program has no keyboard focus";
}

// Whichever way the page goes back or away, the owner is asked once, the page
// is stored as it looks at rest (without the strip it grew), and the deleted
// window is never touched afterwards. The close button's other notifications
// are no close request.
TEST_F(FloatingPageWindowTest, EveryWayOfReturningOrDeletingAsksTheOwnerOnceAndTouchesNothingAfterwards) {
    // BM_CLICK goes to the close button, the rest to the note.
    const std::tuple<UINT, WPARAM, const char*> ways[] = {
        {WM_COMMAND, CMD_RETURN_TO_BOOK, "returnToBook"},
        {BM_CLICK, 0, "returnToBook"},
        {WM_SYSCOMMAND, SC_CLOSE, "returnToBook"},
        {WM_COMMAND, CMD_DELETE_PAGE, "deletePage"},
    };
    for (const auto& [message, wParam, call] : ways) {
        SCOPED_TRACE(message);
        Page page;
        open(page);
        hover();
        const HWND hwnd = window->handle();
        command(CMD_CLOSE_VIEW, BN_SETFOCUS);
        ASSERT_TRUE(IsWindow(hwnd));
        owner.clear();
        SendMessageA(message == BM_CLICK ? window->closeButton : hwnd, message, wParam, 0);
        flushEvents(20, 300);
        EXPECT_EQ(owner.calls, (std::vector<RecordingController::Call>{{call, -1, &page}}));
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_TRUE(buryDeletedWindow()) << "the deleted window was written to";
        EXPECT_EQ(edges(page.floatingRect), edges(Page().floatingRect));
    }
}

// Confirmed settings are applied to the note and refresh the list keeping its
// selection; cancelled ones change nothing. A note closed under its open
// sheet (as when the program ends from the notification-area menu) must not
// be touched when the sheet returns.
TEST_F(FloatingPageWindowTest, PageSettingsAreAppliedOnlyWhenConfirmedAndOnlyToALiveNote) {
    Page page;
    open(page);
    const HWND hwnd = window->handle();
    const auto settings = [this] { return command(CMD_PAGE_SETTINGS), 0; };
    for (const int button : {IDCANCEL, IDOK}) {
        runScripted(settings, {[button](HWND sheet) {
                        SetDlgItemTextA(currentPage(sheet), IDC_TITLE, "新しい題");
                        clickButton(sheet, button);
                    }});
    }
    EXPECT_EQ(windowText(hwnd), "新しい題") << "the page is applied again";
    EXPECT_EQ(owner.calls,
              (std::vector<RecordingController::Call>{{"refreshPageList", -1, nullptr, true}, {"bookChanged"}}));
    owner.clear();
    runScripted(settings, {[hwnd](HWND) { PostMessageA(hwnd, WM_CLOSE, 0, 0); }});
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(owner.calls, (std::vector<RecordingController::Call>{{"returnToBook", -1, &page}}));
    EXPECT_TRUE(buryDeletedWindow()) << "the deleted window was written to";
}
