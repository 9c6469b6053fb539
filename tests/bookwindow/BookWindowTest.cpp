// The book window in this process, on a book of its own: what the user sees
// after each thing done to a page, the menus, the editor and the pointer,
// driven through the real window system. The program as a whole is driven
// end to end in tests/e2e.
#include "bookwindow/BookWindow.h"
#include "bookwindow/PageList.h"
#include "pagewindows/FloatingPageWindow.h"
#include "pagewindows/PageView.h"
#include "resources/resource.h"
#include "support/BookFiles.h"
#include "support/Dialogs.h"
#include "support/MenuProbe.h"
#include "support/ModalWatchdog.h"
#include "support/Picture.h"
#include "support/Pump.h"
#include "support/RealInput.h"
#include "support/SheetDriver.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using RealInput::Button;

constexpr int kRowHeight = 16;

class BookWindowInProcess : public ::testing::Test {
protected:
    void TearDown() override {
        DestroyWindow(window.handle());
        // The destroyed main window ends the message loop it believes in.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // The book [A (a note), B, C] with C shown, unless a test gives its own.
    void start(std::initializer_list<PageFields> pages = {{"A", "note", true}, {"B", "b"}, {"C", "c"}},
               const std::string& options = "Begin Page=2\r\n") {
        writeBook(folder.file("lk.bok"), pages);
        writeText(folder.file("Leafkeeper.ini"), "[Option]\r\n" + options);
        ASSERT_TRUE(window.createMainWindow(nullptr));
        SetForegroundWindow(window.handle());
        flushEvents();
    }

    POINT onScreen(HWND target, int x, int y) const {
        POINT point{x, y};
        ClientToScreen(target, &point);
        return point;
    }

    Page* page(unsigned index) const { return window.currentBook().at(index); }
    std::vector<std::string> titles() const {
        std::vector<std::string> found;
        for (unsigned index = 0; index < window.currentBook().count(); ++index) {
            found.push_back(page(index)->title);
        }
        return found;
    }
    HWND editor() { return window.view().clientWindow(); }
    HWND listBox() { return window.list().listBox.handle(); }
    HWND note(unsigned index) const {
        const FloatingPageWindow* floating = window.floatingWindowOf(page(index));
        return floating ? floating->handle() : nullptr;
    }
    void showList() {
        window.showPageList(true);
        flushEvents();
    }
    // Sends a command to a window, answering the question it asks with `answer`.
    void commandAnswering(HWND target, UINT command, int answer) {
        runScripted(
            [&] {
                SendMessageA(target, WM_COMMAND, command, 0);
                return 0;
            },
            {[answer](HWND box) { clickButton(box, answer); }});
        flushEvents();
    }

    const TempFolder folder;
    BookWindow window{folder.path().string() + "\\"};
};

} // namespace

// A press anywhere on the window drags it, except on the close icon, which
// must get the click.
TEST_F(BookWindowInProcess, TheWindowIsDraggedAnywhereButOnTheCloseIcon) {
    start();
    for (const auto& [x, y, hit] : {std::tuple{5, 5, HTCLIENT}, {8, 60, HTCAPTION}, {200, 100, HTCAPTION}}) {
        const POINT point = onScreen(window.handle(), x, y);
        EXPECT_EQ(SendMessageA(window.handle(), WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), hit) << x << "," << y;
    }
}

// A real right click on the bare strip (caption to the system) and on the
// sizing border opens the main menu, with 常に表示 ticked once it is on.
TEST_F(BookWindowInProcess, ARealRightClickOnTheStripOrTheBorderOpensTheMainMenu) {
    start();
    const std::vector<UINT> mainMenu{CMD_ALWAYS_ON_TOP, CMD_ADD_PAGE, CMD_SETTINGS, 0, CMD_EXIT};
    for (const auto& [x, y, alwaysOnTop] : {std::tuple{8, 60, false}, {3, 30, true}, {-2, 60, false}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        if (alwaysOnTop != window.currentSettings().showTop) {
            SendMessageA(window.handle(), WM_COMMAND, CMD_ALWAYS_ON_TOP, 0);
        }
        MenuProbe probe;
        RealInput::click(onScreen(window.handle(), x, y), Button::Right);
        EXPECT_TRUE(pumpUntil([&] { return probe.seen; }));
        EXPECT_EQ(probe.items, mainMenu);
        EXPECT_EQ(probe.checked, alwaysOnTop ? std::vector<UINT>{CMD_ALWAYS_ON_TOP} : std::vector<UINT>{});
    }
}

// Pages go out into notes and back, and are deleted: the note of a returned
// page goes and the page is an ordinary page again; a floating page opened
// from the list comes forward in its note with the focus; the shown page,
// deleted, leaves the view with no page; a page deleted before the shown one
// leaves the view on the same page.
TEST_F(BookWindowInProcess, PagesGoIntoNotesComeBackAndAreDeleted) {
    start();
    ShowWindow(note(0), SW_HIDE);
    showList();
    SendMessageA(listBox(), LB_SETCURSEL, 0, 0);
    RealInput::keys({VK_RETURN});
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(note(0)) && IsChild(note(0), GetFocus()); }));

    commandAnswering(note(0), CMD_DELETE_PAGE, IDOK);
    EXPECT_EQ(titles(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(window.floatingWindowCount(), 0u);
    EXPECT_EQ(window.currentSettings().beginPage, 1) << "the start-up page follows its page";

    window.openPage(0);
    SendMessageA(window.handle(), WM_COMMAND, CMD_FLOAT_PAGE, 0);
    ASSERT_NE(note(0), nullptr);
    window.openPage(1);
    commandAnswering(note(0), CMD_DELETE_PAGE, IDCANCEL);
    SendMessageA(note(0), WM_COMMAND, CMD_RETURN_TO_BOOK, 0);
    EXPECT_FALSE(page(0)->floating);
    EXPECT_EQ(window.floatingWindowCount(), 0u);
    EXPECT_EQ(window.view().page(), page(1));

    window.openPage(0);
    SendMessageA(window.handle(), WM_COMMAND, CMD_FLOAT_PAGE, 0);
    window.openPage(1);
    commandAnswering(note(0), CMD_DELETE_PAGE, IDOK);
    EXPECT_EQ(window.currentSettings().showPage, 0);
    EXPECT_EQ(window.view().page(), page(0));
    EXPECT_EQ(windowText(window.view().handle()), "C");

    commandAnswering(window.handle(), CMD_DELETE_PAGE, IDOK);
    EXPECT_TRUE(titles().empty());
    EXPECT_EQ(window.currentSettings().beginPage, -1) << "the start-up page was deleted";
    EXPECT_EQ(window.view().page(), nullptr);
    EXPECT_TRUE(IsWindowVisible(listBox()));
}

// The tray icon's menu hides a shown window and shows a hidden one.
TEST_F(BookWindowInProcess, TheTrayMenuOffersToShowOrHideAsTheWindowIs) {
    start();
    for (const bool shown : {true, false}) {
        ShowWindow(window.handle(), shown ? SW_SHOW : SW_HIDE);
        MenuProbe probe;
        SendMessageA(window.handle(), WM_APP + 100, 102, WM_RBUTTONDOWN);
        EXPECT_TRUE(pumpUntil([&] { return probe.seen; }));
        EXPECT_EQ(probe.items, (std::vector<UINT>{static_cast<UINT>(shown ? CMD_HIDE_WINDOW : CMD_SHOW_WINDOW), 0,
                                                  CMD_ABOUT, CMD_SETTINGS, CMD_EXIT}));
    }
}

// A row's menu returns a floating page and floats any other, for a real
// right click on the row. A right click below the last row is on no row: the
// first menu that opens after it is the one of the row clicked next.
TEST_F(BookWindowInProcess, ARowsMenuOffersWhatFitsItsPage) {
    start({{"A", "", true}, {"B", ""}});
    const std::vector<UINT> returning{CMD_SHOW_PAGE, CMD_RETURN_TO_BOOK,   0, CMD_SEARCH,
                                      CMD_SETTINGS,  CMD_DELETE_LIST_PAGE, 0, CMD_NEW_PAGE};
    std::vector<UINT> floating = returning;
    floating[1] = CMD_FLOAT_PAGE;
    for (const auto& [rows, menu] : {std::pair{std::vector<int>{0}, returning}, {{1}, floating}, {{3, 0}, returning}}) {
        MenuProbe probe;
        for (const int row : rows) {
            RealInput::click(onScreen(listBox(), 40, kRowHeight * row + kRowHeight / 2), Button::Right);
            // Each click handled before the next, so a menu the first one
            // opened is not closed unseen by the second.
            flushEvents();
        }
        EXPECT_TRUE(pumpUntil([&] { return probe.seen; }));
        EXPECT_EQ(probe.items, menu) << rows.front();
    }
}

// Each row's swatch: the frame colour around the editor's background; a
// floating page's swatch is a note, its title colour along the top and a
// shadow beside and below it.
TEST_F(BookWindowInProcess, EachRowShowsItsPageColoursInItsSwatch) {
    start({{"A", ""}, {"B", ""}, {"C", "", true}});
    page(0)->format.frameColor = RGB(200, 0, 0);
    page(0)->format.editorFormat.backColor = RGB(0, 0, 200);
    page(0)->format.titleFormat.backColor = RGB(0, 160, 0);
    page(2)->format = page(0)->format;
    showList();
    InvalidateRect(listBox(), nullptr, TRUE);
    flushEvents();
    const Picture list = grabWindow(listBox());
    EXPECT_EQ(list.at(3, 3), RGB(200, 0, 0)) << "the swatch's edge";
    EXPECT_EQ(list.at(8, 8), RGB(0, 0, 200)) << "inside the swatch";
    EXPECT_EQ(list.at(3, kRowHeight + 3), GetSysColor(COLOR_BTNSHADOW)) << "an automatic frame";
    EXPECT_EQ(list.at(8, kRowHeight + 8), GetSysColor(COLOR_WINDOW)) << "an automatic background";
    const int note = 2 * kRowHeight;
    EXPECT_EQ(list.at(3, note + 3), RGB(200, 0, 0)) << "the note's edge";
    EXPECT_EQ(list.at(8, note + 5), RGB(0, 160, 0)) << "the note's title";
    EXPECT_EQ(list.at(8, note + 9), RGB(0, 0, 200)) << "the note's text";
    EXPECT_EQ(list.at(13, note + 8), GetSysColor(COLOR_3DDKSHADOW)) << "the note's shadow";
    EXPECT_EQ(list.at(8, 5), RGB(0, 0, 200)) << "no title on a page in the book";
    EXPECT_NE(list.at(13, 8), GetSysColor(COLOR_3DDKSHADOW)) << "no shadow beside a page in the book";
}

// The page's editor: F4 alone is a key like any other and Ctrl+F4 shows the
// list; a long line stays one line; the pointer is an arrow over the scroll
// bar and an I-beam over the text; a page opened shows its caret.
TEST_F(BookWindowInProcess, ThePagesEditorKeepsItsLinesItsCaretAndItsKeys) {
    std::string longText;
    for (int line = 0; line < 300; ++line) {
        longText += "line " + std::to_string(line) + "\r\n";
    }
    start({{"short", std::string(400, 'x').c_str()}, {"long", longText.c_str()}}, "Begin Page=0\r\n");
    EXPECT_EQ(SendMessageA(editor(), EM_GETLINECOUNT, 0, 0), 1);
    SetFocus(editor());
    RealInput::keys({VK_F4});
    RealInput::keys({VK_CONTROL, 'A'});
    flushEvents();
    EXPECT_TRUE(IsWindowVisible(editor()));
    const auto cursorFor = [&](UINT hitTest) {
        SetCursor(nullptr);
        SendMessageA(editor(), WM_SETCURSOR, reinterpret_cast<WPARAM>(editor()), MAKELPARAM(hitTest, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorFor(HTVSCROLL), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(cursorFor(HTCLIENT), LoadCursorA(nullptr, IDC_IBEAM));
    RealInput::keys({VK_CONTROL, VK_F4});
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(listBox()) && !IsWindowVisible(editor()); }));

    page(1)->selectionStart = page(1)->selectionEnd = static_cast<std::int32_t>(longText.size());
    window.openPage(1);
    flushEvents();
    EXPECT_GT(SendMessageA(editor(), EM_GETFIRSTVISIBLELINE, 0, 0), 200);

    // A note scrolled away from its caret shows the caret again when it is
    // activated.
    SendMessageA(window.handle(), WM_COMMAND, CMD_FLOAT_PAGE, 0);
    const HWND noteEditor = FindWindowExA(note(1), nullptr, "Edit", nullptr);
    SetForegroundWindow(window.handle());
    flushEvents();
    SendMessageA(noteEditor, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(SendMessageA(noteEditor, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SetForegroundWindow(note(1));
    EXPECT_TRUE(pumpUntil([&] { return SendMessageA(noteEditor, EM_GETFIRSTVISIBLELINE, 0, 0) > 200; }));
}

// The close icon's tooltip appears under the real pointer.
TEST_F(BookWindowInProcess, TheCloseIconsTooltipAppearsUnderThePointer) {
    start();
    RealInput::moveTo(onScreen(window.handle(), 8, 8));
    EXPECT_TRUE(pumpUntil(
        [] {
            const HWND tip = FindWindowA(TOOLTIPS_CLASSA, nullptr);
            return tip && IsWindowVisible(tip) && windowText(tip) == "閉じる";
        },
        5000));
    RealInput::moveTo(POINT{3, 760});
}

// Ctrl+F in the list: the rows shrink to the pages holding every word as the
// user types (kana of either kind, in title or text) and the strip counts
// them; Enter opens the selected page with the first match selected, F3 and
// Shift+F3 go round the matches; commands act on the page of the row, pages
// do not move while filtered, and Esc shows every page with the same one
// still selected.
TEST_F(BookWindowInProcess, TheListIsFilteredAsTheUserTypesAndPagesOpenAtTheirMatch) {
    start({{"会議メモ", "月曜の会議"},
           {"買い物", "牛乳 パン"},
           {"カイギ議事録", "かいぎ の まとめ と かいぎ"},
           {"旅行", "京都"}},
          "Begin Page=-1\r\n");
    const HWND caption = window.list().handle();
    SetFocus(listBox());
    RealInput::keys({VK_CONTROL, 'F'});
    const HWND field = window.list().searchBox.handle();
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == field && IsWindowVisible(field); }));
    ASSERT_TRUE(RealInput::paste(window.handle(), "かいぎ"));
    EXPECT_TRUE(pumpUntil([&] { return SendMessageA(listBox(), LB_GETCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(windowText(caption), "検索結果 1 ページ");
    RealInput::typeAscii(" ");
    ASSERT_TRUE(RealInput::paste(window.handle(), "まとめ"));
    EXPECT_TRUE(pumpUntil([&] { return windowText(field) == "かいぎ まとめ"; }));
    EXPECT_EQ(SendMessageA(listBox(), LB_GETCOUNT, 0, 0), 1);

    RealInput::keys({VK_CONTROL, VK_DOWN});
    RealInput::keys({VK_RETURN});
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(editor()) && window.view().page() == page(2); }));
    const auto selection = [&] {
        DWORD start = 0, end = 0;
        SendMessageA(editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return std::make_pair(static_cast<int>(start), static_cast<int>(end));
    };
    EXPECT_EQ(selection(), std::make_pair(0, 3)) << "the first match, in characters";
    for (const auto& [keys, wanted] : {std::pair{std::vector<WORD>{VK_F3}, std::make_pair(6, 9)},
                                       {{VK_F3}, std::make_pair(12, 15)},
                                       {{VK_F3}, std::make_pair(0, 3)},
                                       {{VK_SHIFT, VK_F3}, std::make_pair(12, 15)}}) {
        if (keys.size() == 1) {
            RealInput::keys({keys[0]});
        } else {
            RealInput::keys({keys[0], keys[1]});
        }
        EXPECT_TRUE(pumpUntil([&] { return selection() == wanted; })) << wanted.first;
    }

    RealInput::keys({VK_CONTROL, VK_F4});
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(listBox()); }));
    EXPECT_EQ(SendMessageA(listBox(), LB_GETCOUNT, 0, 0), 1) << "still filtered";
    EXPECT_EQ(window.list().selectedPage(), page(2));
    EXPECT_EQ(titles(), (std::vector<std::string>{"会議メモ", "買い物", "カイギ議事録", "旅行"})) << "nothing moved";
    std::string asked;
    runScripted(
        [&] {
            SendMessageA(window.list().handle(), WM_COMMAND, CMD_DELETE_LIST_PAGE, 0);
            return 0;
        },
        {[&](HWND box) {
            asked = messageBoxText(box);
            clickButton(box, IDCANCEL);
        }});
    EXPECT_EQ(asked, "「カイギ議事録」ページを削除してよろしいですか？");

    SetFocus(listBox());
    RealInput::keys({VK_ESCAPE});
    EXPECT_TRUE(pumpUntil([&] { return SendMessageA(listBox(), LB_GETCOUNT, 0, 0) == 4; }));
    EXPECT_EQ(window.list().selectedPage(), page(2));
    EXPECT_EQ(windowText(caption), "ページリスト");
    EXPECT_FALSE(IsWindowVisible(field));
}

// Moved to a monitor of another scale, the book window takes the rectangle
// the system suggests and measures everything again at the new DPI: the
// strip, the caption font and strip, the rows, the tool bar, the close
// buttons; a note does the same with its own message. Back at 96 DPI every
// measure is what it was.
TEST_F(BookWindowInProcess, AMoveToAMonitorOfAnotherScaleLaysTheWindowsOutAgain) {
    start();
    showList();
    const HWND list = window.list().handle();
    const auto measures = [&] {
        POINT origin{0, 0};
        ClientToScreen(window.handle(), &origin);
        RECT pane{};
        GetWindowRect(list, &pane);
        POINT listOrigin{0, 0};
        ClientToScreen(list, &listOrigin);
        RECT rows{};
        GetWindowRect(listBox(), &rows);
        RECT button{};
        GetWindowRect(FindWindowExA(list, nullptr, "Button", nullptr), &button);
        RECT close{};
        GetWindowRect(FindWindowExA(window.view().handle(), nullptr, "Button", nullptr), &close);
        RECT noteClose{};
        GetWindowRect(FindWindowExA(note(0), nullptr, "Button", nullptr), &noteClose);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(listBox(), WM_GETFONT, 0, 0));
        return std::vector<LONG>{pane.left - origin.x,
                                 rows.top - listOrigin.y - textHeight(font, "あ"),
                                 static_cast<LONG>(SendMessageA(listBox(), LB_GETITEMHEIGHT, 0, 0)),
                                 button.right - button.left,
                                 close.right - close.left,
                                 noteClose.right - noteClose.left};
    };
    const std::vector<LONG> at96 = measures();
    ASSERT_EQ(at96, (std::vector<LONG>{17, 2, 16, 15, 12, 12}));

    for (const auto& [dpi, expected] : {std::pair{144, std::vector<LONG>{26, 3, 24, 23, 18, 18}}, {96, at96}}) {
        SCOPED_TRACE(dpi);
        const RECT suggested{120, 90, 120 + MulDiv(300, dpi, 96), 90 + MulDiv(200, dpi, 96)};
        SendMessageA(window.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT noteRect{};
        GetWindowRect(note(0), &noteRect);
        SendMessageA(note(0), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&noteRect));
        flushEvents();
        RECT now{};
        GetWindowRect(window.handle(), &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
        EXPECT_EQ(measures(), expected);
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(listBox(), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -MulDiv(10, dpi, 72)) << "the caption font in points at the new DPI";
    }
}
