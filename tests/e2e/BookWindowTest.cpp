#include "support/BookFiles.h"
#include "ProgramUnderTest.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

// The book window's commands, then the page list's.
constexpr int kFloat = 104, kAddPage = 108, kAlwaysOnTop = 110, kExit = 111;
constexpr int kListMoveUp = 108, kListDelete = 135;

} // namespace

// Begin Page chooses the page shown at start-up: a page of the book, the page
// shown at the last exit (-2) or the list. A floating page is shown in its
// note only. Begin Hide and Show Top are applied, and a book that did not
// change is not written again at exit, so its backup is not replaced.
TEST(BookWindow, TheStartUpPageFollowsTheSettingsAndAnUnchangedBookStaysAsItWas) {
    const std::tuple<int, int, bool, const char*> cases[] = {
        // Begin Page, Show Page, whether page 1 floats, the text shown (empty: the list)
        {5, -1, false, ""},       {1, -1, true, ""},      {2, -1, false, "third"},
        {-2, 1, false, "second"}, {-2, 2, true, "third"}, {-2, 7, false, ""},
    };
    for (const auto& [beginPage, showPage, floating, shown] : cases) {
        SCOPED_TRACE(testing::Message() << beginPage << " " << showPage << " " << floating);
        ProgramUnderTest program;
        writeBook(program.bookPath(), {{"1", "first"}, {"2", "second", floating}, {"3", "third"}});
        const auto written = std::filesystem::last_write_time(program.bookPath());
        program.write("Leafkeeper.ini",
                      "[Status]\r\nShow Top=Yes\r\nShow Page=" + std::to_string(showPage) +
                          "\r\n[Option]\r\nBegin Hide=Yes\r\nBegin Page=" + std::to_string(beginPage) + "\r\n");
        ASSERT_TRUE(program.start());
        EXPECT_FALSE(IsWindowVisible(program.mainWindow()));
        SendMessageA(program.mainWindow(), WM_APP + 100, 102, WM_LBUTTONDOWN);
        EXPECT_EQ(IsWindowVisible(program.editor()) != FALSE, *shown != '\0');
        EXPECT_EQ(IsWindowVisible(program.listBox()) != FALSE, *shown == '\0');
        EXPECT_EQ(windowText(program.editor()), shown);
        const auto notes = program.floatingWindows();
        EXPECT_EQ(notes.size(), floating ? 1u : 0u);
        EXPECT_TRUE(notes.empty() || IsWindowVisible(notes.front()));
        EXPECT_TRUE(GetWindowLongA(program.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(program.exit(), "");
        EXPECT_EQ(std::filesystem::last_write_time(program.bookPath()), written);
        EXPECT_FALSE(program.exists("lk.bok.bak"));
    }
}

// A new page's sheet adds the page only on OK and shows it; floated, it opens
// over the view, 10 pixels down and right, and the list is shown; the list's
// delete asks first; the start-up page follows its page through deletions
// and moves, and is none once its own page is deleted.
TEST(BookWindow, PagesAreAddedDeletedAndMovedAndTheStartUpPageFollows) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"a", ""}, {"予定", ""}, {"start", "shown at start-up"}});
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=2\r\n");
    ASSERT_TRUE(program.start());
    for (const int button : {PSBTN_CANCEL, PSBTN_OK}) {
        PostMessageA(program.mainWindow(), WM_COMMAND, kAddPage, 0);
        const HWND sheet = program.waitForDialog();
        ASSERT_NE(sheet, nullptr);
        SetWindowTextA(GetDlgItem(currentPage(sheet), 1001), "新しいページ");
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        ASSERT_TRUE(waitUntilGone(sheet, 10000));
        program.settle();
    }
    EXPECT_EQ(program.pageCount(), 4);
    EXPECT_EQ(windowText(program.editor()), "");
    RECT view{};
    RECT note{};
    GetWindowRect(GetParent(program.editor()), &view);
    SendMessageA(program.mainWindow(), WM_COMMAND, kFloat, 0);
    GetWindowRect(program.floatingWindows().at(0), &note);
    OffsetRect(&view, 10, 10);
    EXPECT_TRUE(EqualRect(&note, &view));
    EXPECT_TRUE(IsWindowVisible(program.listBox()));

    const HWND list = program.listBox();
    for (const int button : {IDCANCEL, IDOK}) {
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        PostMessageA(GetParent(list), WM_COMMAND, kListDelete, 0);
        EXPECT_EQ(program.answerDialog(button), "「予定」ページを削除してよろしいですか？");
    }
    EXPECT_EQ(program.pageCount(), 3);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(GetParent(list), WM_COMMAND, kListMoveUp, 0);
    EXPECT_EQ(program.exit(), "");
    EXPECT_EQ(textsIn(program.bookPath(), &Page::title), (Texts{"start", "a", "新しいページ"}));
    EXPECT_EQ(program.iniValue("Option", "Begin Page"), "0");
    // The floating page opens again where it was.
    ASSERT_TRUE(program.start());
    const auto reopened = program.floatingWindows();
    ASSERT_EQ(reopened.size(), 1u);
    RECT again{};
    GetWindowRect(reopened.front(), &again);
    EXPECT_TRUE(EqualRect(&again, &note));
    // With the start-up page deleted the book opens on its list.
    SendMessageA(program.listBox(), LB_SETCURSEL, 0, 0);
    PostMessageA(GetParent(program.listBox()), WM_COMMAND, kListDelete, 0);
    EXPECT_EQ(program.answerDialog(IDOK), "「start」ページを削除してよろしいですか？");
    EXPECT_EQ(program.exit(), "");
    EXPECT_EQ(textsIn(program.bookPath(), &Page::title), (Texts{"a", "新しいページ"}));
    EXPECT_EQ(program.iniValue("Option", "Begin Page"), "-1");
}

// The close icon (with Close End=Yes), 終了, Alt+F4 and the end of the session
// each write what was typed in the view and in a note, and the settings.
TEST(BookWindow, EveryWayOfEndingWritesTheBookAndTheSettings) {
    const std::tuple<UINT, WPARAM, LPARAM> endings[] = {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)},
                                                        {WM_COMMAND, kExit, 0},
                                                        {WM_SYSCOMMAND, SC_CLOSE, 0},
                                                        {WM_QUERYENDSESSION, 0, 0},
                                                        {WM_ENDSESSION, TRUE, 0}};
    for (const auto& [message, wParam, lParam] : endings) {
        SCOPED_TRACE(message);
        ProgramUnderTest program;
        program.writePageAndNote("Close End=Yes\r\n");
        ASSERT_TRUE(program.start());
        ProgramUnderTest::type(program.editor(), "page after");
        ProgramUnderTest::type(ProgramUnderTest::noteEditor(program.floatingWindows().at(0)), "note after");
        SendMessageA(program.mainWindow(), WM_COMMAND, kAlwaysOnTop, 0);
        EXPECT_EQ(program.exit(message, wParam, lParam), "");
        EXPECT_EQ(textsIn(program.bookPath()), (Texts{"page after", "note after"}));
        EXPECT_EQ(program.iniValue("Status", "Show Top"), "Yes");
        EXPECT_EQ(program.iniValue("Status", "Show Page"), "0");
    }
}
