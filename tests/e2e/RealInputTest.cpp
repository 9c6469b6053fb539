// The program driven as a user drives it: every click, drag and key press
// below goes through the system's input queue (SendInput), so it takes the
// path a real one takes — hit testing, capture, activation, menus, the
// keyboard focus — and each flow is checked by what the user would see: the
// windows and their rectangles, the menus that open, the files written.
#include "ProgramUnderTest.h"
#include "resources/resource.h"
#include "support/BookFiles.h"
#include "support/MenuLayout.h"
#include "support/RealInput.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using RealInput::Button;

constexpr int kRowHeight = 16;
// Where the book window lies: clear of the notes the tests place on the left.
constexpr RECT kBookRect{300, 200, 700, 500};
// A corner no window of these tests covers.
constexpr POINT kAway{1000, 20};

RECT rectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool same(const RECT& one, const RECT& other) {
    return EqualRect(&one, &other) != 0;
}

// Where a drag by (dx, dy) leaves a window. Under load Wine's move and size
// loops now and then miss the last step of the drag, so any way along counts;
// not moving, moving back or changing the other edges does not.
bool within(LONG change, int full) {
    return full > 0 ? change > 0 && change <= full : change < 0 && change >= full;
}
bool movedBy(const RECT& now, const RECT& before, int dx, int dy) {
    return now.right - now.left == before.right - before.left && now.bottom - now.top == before.bottom - before.top &&
           within(now.left - before.left, dx) && within(now.top - before.top, dy);
}
bool sizedBy(const RECT& now, const RECT& before, int dx, int dy) {
    return now.left == before.left && now.top == before.top && within(now.right - before.right, dx) &&
           within(now.bottom - before.bottom, dy);
}

std::string text(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " - " + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

bool sizeable(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME) != 0;
}

// The top-level window the user sees at a point.
HWND topWindowAt(POINT point) {
    return GetAncestor(WindowFromPoint(point), GA_ROOT);
}

// What the screen shows at a point, as the user sees it.
COLORREF screenPixel(POINT point) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The window with the keyboard focus in the thread of `window`.
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

POINT offset(POINT point, int dx, int dy) {
    return POINT{point.x + dx, point.y + dy};
}

class RealInputTest : public ::testing::Test {
protected:
    void TearDown() override { RealInput::moveTo(kAway); }

    // The program on a book of its own, its window at kBookRect, with the
    // pointer parked at `pointer` before it starts.
    void start(std::initializer_list<PageFields> pages, const std::string& options, POINT pointer = kAway) {
        writeBook(program.bookPath(), pages);
        launch(options, pointer);
    }
    // The program on the book already written.
    void launch(const std::string& options, POINT pointer = kAway) {
        program.write("Leafkeeper.ini",
                      "[Status]\r\nLeft=" + std::to_string(kBookRect.left) +
                          "\r\nTop=" + std::to_string(kBookRect.top) + "\r\nRight=" + std::to_string(kBookRect.right) +
                          "\r\nBottom=" + std::to_string(kBookRect.bottom) + "\r\n[Option]\r\n" + options);
        RealInput::moveTo(pointer);
        ASSERT_TRUE(program.start());
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(program.mainWindow()); }));
        book = program.mainWindow();
    }

    std::string executable() const { return program.file("Leafkeeper.exe"); }
    // The pane of the book window that shows a page (the editor's parent).
    HWND pageView() const { return GetParent(program.editor()); }
    POINT row(int index) const { return RealInput::pointIn(program.listBox(), 40, kRowHeight * index + 8); }
    bool listShown() const { return IsWindowVisible(program.listBox()) != 0; }
    bool pageShown(const char* title) const { return IsWindowVisible(pageView()) && windowText(pageView()) == title; }

    // Clicks at `point` and waits for one of the program's menus to open;
    // null when none does.
    HWND menuAfterClick(POINT point) const {
        waitFor([&] { return openMenuOf(program.processId()) == nullptr; }, 2000);
        RealInput::click(point, Button::Right);
        HWND shown = nullptr;
        waitFor([&] { return (shown = openMenuOf(program.processId())) != nullptr; }, 5000);
        return shown;
    }

    // A right click at `point` opens the menu `layout` measures, and a click
    // on `command` chooses it.
    void choose(POINT point, const MenuLayout& layout, UINT command) const {
        const HWND shown = menuAfterClick(point);
        ASSERT_NE(shown, nullptr) << "no menu opened";
        const RECT rect = rectOf(shown);
        EXPECT_EQ(rect.bottom - rect.top, layout.height()) << "another menu opened";
        const POINT target = layout.itemCentre(shown, command);
        RealInput::click(target);
        EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(shown); }, 5000));
    }

    // Answers a question or a sheet with a click on one of its buttons.
    void clickButtonOf(HWND dialog, int id) const {
        ASSERT_NE(dialog, nullptr) << "no dialog came";
        RealInput::click(RealInput::centreOf(GetDlgItem(dialog, id)));
        EXPECT_TRUE(waitUntilGone(dialog, 10000));
    }

    // The pointer over a note until it shows its strip and its close button.
    bool hover(HWND note, POINT where) const {
        RealInput::moveTo(where);
        return waitFor([&] { return grown(note); }, 5000);
    }
    // Its close button shown and its text moved down under the strip: both
    // are done as a note grows and undone as it shrinks.
    static bool grown(HWND note) {
        RECT text{};
        GetWindowRect(ProgramUnderTest::noteEditor(note), &text);
        POINT origin{0, 0};
        ClientToScreen(note, &origin);
        return IsWindowVisible(FindWindowExA(note, nullptr, "Button", nullptr)) && text.top - origin.y > 1;
    }
    // At its stored rectangle without the strip, the border or the close button.
    static bool atRest(HWND note, const RECT& rest) {
        return !sizeable(note) && same(rectOf(note), rest) &&
               !IsWindowVisible(FindWindowExA(note, nullptr, "Button", nullptr));
    }

    ProgramUnderTest program;
    HWND book = nullptr;
};

} // namespace

// A right click on the bare strip opens the main menu, and each of its
// commands answers a click: a page is added (named in its sheet with the
// keys), the window stays on top, the
// settings open (and are cancelled with a click) and 終了 ends the program,
// which writes the book and the settings.
TEST_F(RealInputTest, TheStripsMenuOpensAndEachOfItsCommandsAnswersAClick) {
    start({{"page", "text"}, {"other", ""}}, "Begin Page=0\r\n");
    const MenuLayout mainMenu(executable(), IDM_MAIN);
    ASSERT_EQ(mainMenu.commands(), (std::vector<int>{CMD_ALWAYS_ON_TOP, CMD_ADD_PAGE, CMD_SETTINGS, -1, CMD_EXIT}));
    const POINT strip = RealInput::pointIn(book, 8, 60);

    choose(strip, mainMenu, CMD_ADD_PAGE);
    const HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    RealInput::typeAscii("added");
    clickButtonOf(sheet, IDOK);
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 3 && pageShown("added"); }));
    choose(strip, mainMenu, CMD_ALWAYS_ON_TOP);
    EXPECT_TRUE(waitFor([&] { return (GetWindowLongA(book, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    choose(strip, mainMenu, CMD_SETTINGS);
    clickButtonOf(program.waitForDialog(), IDCANCEL);
    choose(strip, mainMenu, CMD_EXIT);

    ASSERT_TRUE(program.ended());
    EXPECT_EQ(textsIn(program.bookPath(), &Page::title).size(), 3u);
    EXPECT_EQ(program.iniValue("Status", "Show Top"), "Yes");
}

// The page's title strip opens the page's menu; rows open their page with a
// double-click and with Enter; Ctrl+F4 and a double-click on the title strip
// go back to the list; Ctrl+Down and Ctrl+Up move pages; Delete asks, and a
// click on OK deletes it. The book written at the end holds what was done.
TEST_F(RealInputTest, RowsTitleStripsAndKeysGoBetweenThePagesAndTheList) {
    start({{"first", "1"}, {"second", "2"}, {"third", "3"}}, "Begin Page=0\r\n");
    ASSERT_TRUE(pageShown("first"));
    const POINT titleStrip = RealInput::pointIn(pageView(), 40, 8);
    choose(titleStrip, MenuLayout(executable(), IDM_MEMO), CMD_SHOW_LIST);
    EXPECT_TRUE(waitFor([&] { return listShown(); }));

    RealInput::doubleClick(row(1));
    EXPECT_TRUE(waitFor([&] { return pageShown("second"); }));
    RealInput::keys({VK_CONTROL, VK_F4});
    EXPECT_TRUE(waitFor([&] { return listShown(); }));

    RealInput::click(row(2));
    RealInput::keys({VK_RETURN});
    EXPECT_TRUE(waitFor([&] { return pageShown("third"); }));
    RealInput::doubleClick(titleStrip);
    EXPECT_TRUE(waitFor([&] { return listShown(); }));

    const auto selectedRow = [&] { return SendMessageA(program.listBox(), LB_GETCURSEL, 0, 0); };
    RealInput::click(row(0));
    RealInput::keys({VK_CONTROL, VK_DOWN});
    EXPECT_TRUE(waitFor([&] { return selectedRow() == 1; }));
    RealInput::click(row(2));
    RealInput::keys({VK_CONTROL, VK_UP});
    EXPECT_TRUE(waitFor([&] { return selectedRow() == 1; }));
    RealInput::click(row(0));
    RealInput::keys({VK_DELETE});
    clickButtonOf(program.waitForDialog(), IDOK);
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 2; }));

    program.exit();
    EXPECT_EQ(textsIn(program.bookPath(), &Page::title), (Texts{"third", "first"}));
}

// Text typed into a page, ASCII by key presses and Japanese through the
// clipboard, is what the book file holds afterwards.
TEST_F(RealInputTest, TypedTextIncludingJapaneseReachesTheBookFile) {
    start({{"page", ""}}, "Begin Page=0\r\n");
    const HWND editor = program.editor();
    RealInput::click(RealInput::centreOf(editor));
    ASSERT_TRUE(waitFor([&] { return focusOf(book) == editor; }));
    RealInput::typeAscii("Memo 1: ");
    ASSERT_TRUE(RealInput::paste(nullptr, "日本語のメモ"));
    EXPECT_TRUE(waitFor([&] { return windowText(editor) == "Memo 1: 日本語のメモ"; }));
    program.exit();
    EXPECT_EQ(textsIn(program.bookPath()), (Texts{"Memo 1: 日本語のメモ"}));
}

// The book window is dragged by its strip and sized by its corner; where it
// was left is what the settings hold after the program ends.
TEST_F(RealInputTest, TheBookWindowIsDraggedByItsStripAndSizedByItsBorder) {
    start({{"page", ""}}, "Begin Page=0\r\n");
    ASSERT_TRUE(same(rectOf(book), kBookRect)) << text(rectOf(book));
    const POINT strip = RealInput::pointIn(book, 8, 60);
    RealInput::drag(strip, offset(strip, 40, 30));
    EXPECT_TRUE(waitFor([&] { return movedBy(rectOf(book), kBookRect, 40, 30); })) << text(rectOf(book));

    const RECT moved = rectOf(book);
    const POINT corner = RealInput::pointIn(book, -2, -2);
    RealInput::drag(corner, offset(corner, 30, 20));
    EXPECT_TRUE(waitFor([&] { return sizedBy(rectOf(book), moved, 30, 20); })) << text(rectOf(book));

    const RECT last = rectOf(book);
    program.exit();
    EXPECT_EQ(program.iniValue("Status", "Left"), std::to_string(last.left));
    EXPECT_EQ(program.iniValue("Status", "Top"), std::to_string(last.top));
    EXPECT_EQ(program.iniValue("Status", "Right"), std::to_string(last.right));
    EXPECT_EQ(program.iniValue("Status", "Bottom"), std::to_string(last.bottom));
}

// A note is at rest while the pointer is elsewhere, from the moment it is
// shown: started under the pointer it opens grown, and shrinks back once the
// pointer leaves. Grown, it is dragged by its strip and sized by its corner;
// a right click on the strip opens its menu, and サイズを固定 chosen with a click takes
// the border away. The book holds the note's place and size at rest.
TEST_F(RealInputTest, ANoteGrowsUnderThePointerShrinksWhenItLeavesAndAnswersTheMouse) {
    const RECT rest{60, 300, 220, 420};
    start({{"page", ""}, {"note", "n", true, {rest.left, rest.top, rest.right, rest.bottom}}}, "Begin Page=0\r\n",
          POINT{140, 380});
    ASSERT_EQ(program.floatingWindows().size(), 1u);
    const HWND note = program.floatingWindows().front();
    EXPECT_TRUE(waitFor([&] { return grown(note) && sizeable(note) && rectOf(note).top < rest.top; }, 5000))
        << text(rectOf(note));
    const int strip = rest.top - rectOf(note).top;
    RealInput::moveTo(kAway);
    EXPECT_TRUE(waitFor([&] { return atRest(note, rest); }, 2000)) << text(rectOf(note));

    ASSERT_TRUE(hover(note, POINT{140, 380}));
    const POINT title = RealInput::pointIn(note, 30, strip / 2);
    RealInput::drag(title, offset(title, 50, 40));
    const RECT grownAtRest{rest.left, rest.top - strip, rest.right, rest.bottom};
    ASSERT_TRUE(waitFor([&] { return movedBy(rectOf(note), grownAtRest, 50, 40); })) << text(rectOf(note));
    const RECT moved = rectOf(note);
    const POINT corner = RealInput::pointIn(note, -2, -2);
    RealInput::drag(corner, offset(corner, 30, 20));

    // Onto the strip from the text, so the note is grown all the way there.
    ASSERT_TRUE(hover(note, RealInput::centreOf(note)));
    ASSERT_TRUE(waitFor([&] { return sizedBy(rectOf(note), moved, 30, 20); })) << text(rectOf(note));
    const RECT sized = rectOf(note);
    const POINT onStrip{sized.left + 30, sized.top + strip / 2};
    ASSERT_TRUE(hover(note, onStrip));
    ASSERT_TRUE(waitFor([&] { return same(rectOf(note), sized); })) << text(rectOf(note));
    choose(onStrip, MenuLayout(executable(), IDM_FLOATING), CMD_FIX_SIZE);
    RealInput::moveTo(kAway);
    EXPECT_TRUE(waitFor([&] { return rectOf(note).top == sized.top + strip; }, 2000)) << text(rectOf(note));
    RealInput::moveTo(RealInput::centreOf(note));
    EXPECT_TRUE(waitFor([&] { return rectOf(note).top == sized.top; }, 5000)) << "the strip still grows";
    EXPECT_FALSE(sizeable(note)) << "a note of fixed size has no sizing border";

    RealInput::moveTo(kAway);
    program.exit();
    Book written;
    ASSERT_TRUE(written.load(program.bookPath()));
    ASSERT_EQ(written.count(), 2u);
    const Page& page = *written.at(1);
    EXPECT_TRUE(page.fixedSize);
    EXPECT_EQ(page.floatingRect, (PageRect{sized.left, sized.top + strip, sized.right, sized.bottom}));
}

// Two notes overlap. The pointer goes from the lower one onto the upper
// one where it covers the lower: still inside the lower note's rectangle but
// no longer over it, so the lower note shrinks back and the upper one grows.
TEST_F(RealInputTest, ANoteShrinksWhenThePointerMovesOntoAWindowCoveringIt) {
    const RECT first{60, 300, 260, 450};
    const RECT second{160, 350, 360, 500};
    start({{"page", ""},
           {"first", "1", true, {first.left, first.top, first.right, first.bottom}},
           {"second", "2", true, {second.left, second.top, second.right, second.bottom}}},
          "Begin Page=0\r\n");
    const POINT overlap{210, 420};
    const HWND upper = topWindowAt(overlap);
    const std::vector<HWND> notes = program.floatingWindows();
    ASSERT_EQ(notes.size(), 2u);
    ASSERT_TRUE(upper == notes[0] || upper == notes[1]);
    const HWND lower = upper == notes[0] ? notes[1] : notes[0];
    const RECT lowerRest = rectOf(lower);
    const POINT onLower = lowerRest.left == first.left ? POINT{100, 320} : POINT{320, 480};
    ASSERT_EQ(topWindowAt(onLower), lower);

    ASSERT_TRUE(hover(lower, onLower));
    ASSERT_TRUE(hover(upper, overlap));
    EXPECT_TRUE(waitFor([&] { return atRest(lower, lowerRest); }, 2000)) << text(rectOf(lower));
}

// A note lying under the book window comes to the top when its row is
// opened, with a double-click and with Enter, also when the book window is
// always on top (the note joins the topmost windows until it is left); the
// screen shows the note there, and the keys typed next go into it.
TEST_F(RealInputTest, AFloatingPagesRowBringsItsNoteOverTheBookWindow) {
    constexpr COLORREF kNoteColour = RGB(255, 0, 255);
    Book pages;
    pages.at(static_cast<unsigned>(pages.append(std::make_unique<Page>())))->title = "page";
    Page& floating = *pages.at(static_cast<unsigned>(pages.append(std::make_unique<Page>())));
    floating.title = "note";
    floating.floating = true;
    floating.floatingRect = {400, 300, 600, 400};
    floating.format.editorFormat.backColor = kNoteColour;
    ASSERT_TRUE(pages.save(program.bookPath()));
    launch("Begin Page=-1\r\n");
    const HWND note = program.floatingWindows().front();
    const POINT noteCentre = RealInput::centreOf(note);
    std::string typed;
    for (const auto& [withEnter, alwaysOnTop] : {std::pair{false, false}, {true, false}, {false, true}}) {
        SCOPED_TRACE(testing::Message() << (withEnter ? "Enter" : "double-click") << (alwaysOnTop ? ", on top" : ""));
        if (alwaysOnTop) {
            choose(RealInput::pointIn(book, 8, 60), MenuLayout(executable(), IDM_MAIN), CMD_ALWAYS_ON_TOP);
            ASSERT_TRUE(waitFor([&] { return (GetWindowLongA(book, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
        }
        RealInput::click(RealInput::pointIn(book, 8, 60));
        ASSERT_TRUE(waitFor([&] { return screenPixel(noteCentre) != kNoteColour; })) << "the book covers the note";
        if (withEnter) {
            RealInput::click(row(1));
            RealInput::keys({VK_RETURN});
        } else {
            RealInput::doubleClick(row(1));
        }
        EXPECT_TRUE(waitFor([&] { return screenPixel(noteCentre) == kNoteColour; }, 3000)) << "the note is not seen";
        EXPECT_EQ(topWindowAt(noteCentre), note);
        EXPECT_TRUE(waitFor([&] { return focusOf(note) == ProgramUnderTest::noteEditor(note); }));
        typed += withEnter ? "e" : "d";
        RealInput::typeAscii(typed.substr(typed.size() - 1));
        EXPECT_TRUE(waitFor([&] { return windowText(ProgramUnderTest::noteEditor(note)) == typed; }));
    }
    // Lifted over the book window only while it is the active window.
    RealInput::click(RealInput::pointIn(book, 8, 60));
    EXPECT_TRUE(waitFor([&] { return topWindowAt(noteCentre) == book; }));
    EXPECT_EQ(GetWindowLongA(note, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

// The tray icon: a right click opens its menu, whose ウィンドウを隠す hides
// the book window; a left click shows it again; 終了 from the menu ends the
// program.
TEST_F(RealInputTest, TheTrayIconShowsTheWindowAndOpensItsMenu) {
    start({{"page", ""}}, "Begin Page=0\r\n");
    const HWND taskBar = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskBar, nullptr);
    // The program's icon is the only one, at the right end of the task bar.
    const POINT icon = RealInput::pointIn(taskBar, -GetSystemMetrics(SM_CXSMICON) / 2 - 2, 10);
    choose(icon, MenuLayout(executable(), IDM_TRAY, {CMD_SHOW_WINDOW}), CMD_HIDE_WINDOW);
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(book); }));
    RealInput::click(icon);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(book) != 0; }));
    choose(icon, MenuLayout(executable(), IDM_TRAY, {CMD_SHOW_WINDOW}), CMD_EXIT);
    EXPECT_TRUE(program.ended());
}

// Ctrl+F in the list opens the search field; the rows follow each key typed,
// Japanese pasted in matches its other spellings, Enter opens the page with
// the word selected, and Esc in the list shows every page again.
TEST_F(RealInputTest, TheListIsSearchedAsTheUserTypes) {
    start({{"買い物", "牛乳\r\n卵 10個"}, {"予定", "月 10:00 カイギ"}, {"アイデア", "ﾉｰﾄ"}}, "Begin Page=-1\r\n");
    RealInput::click(row(0));
    RealInput::keys({VK_CONTROL, 'F'});
    const HWND field = FindWindowExA(GetParent(program.listBox()), nullptr, "Edit", nullptr);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(field) && focusOf(book) == field; }));
    RealInput::typeAscii("10");
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 2; }));
    RealInput::typeAscii(":");
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 1; }));
    RealInput::keys({VK_RETURN});
    EXPECT_TRUE(waitFor([&] { return pageShown("予定"); }));
    const DWORD selection = static_cast<DWORD>(SendMessageA(program.editor(), EM_GETSEL, 0, 0));
    EXPECT_EQ(windowText(program.editor()).substr(0, 2), "月");
    EXPECT_EQ(HIWORD(selection) - LOWORD(selection), 3) << "10: selected";

    RealInput::keys({VK_CONTROL, VK_F4});
    ASSERT_TRUE(waitFor([&] { return listShown(); }));
    RealInput::keys({VK_CONTROL, 'F'});
    ASSERT_TRUE(waitFor([&] { return focusOf(book) == field; }));
    ASSERT_TRUE(RealInput::paste(nullptr, "かいぎ"));
    EXPECT_TRUE(waitFor([&] { return windowText(field) == "かいぎ" && program.pageCount() == 1; }));
    RealInput::keys({VK_BACK, VK_BACK, VK_BACK});
    RealInput::paste(nullptr, "ノート");
    EXPECT_TRUE(waitFor([&] { return windowText(field) == "ノート" && program.pageCount() == 1; }));
    RealInput::click(row(0));
    RealInput::keys({VK_ESCAPE});
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 3 && !IsWindowVisible(field); }));
}
