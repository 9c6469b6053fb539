#include "BookFiles.h"
#include "ProgramUnderTest.h"
#include "support/Dialogs.h"

#include <commctrl.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <ctime>

namespace {

constexpr UINT kTrayNotify = WM_APP + 100;
constexpr int kExit = 111;
constexpr int kAddPage = 108;
constexpr int kShowList = 107;
constexpr int kFloat = 104;
constexpr int kDeletePage = 120;
constexpr int kAlwaysOnTop = 110;
constexpr int kHideWindow = 117;

std::string ini(const std::string& status, const std::string& option) {
    return "[Status]\r\n" + status + "[Option]\r\n" + option;
}

void command(const ProgramUnderTest& program, HWND window, int id) {
    program.send(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

RECT rectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

TEST(BookWindow, FirstStartShowsTheSamplePageInTheListAndSavesEverything) {
    ProgramUnderTest program;
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    ASSERT_TRUE(program.start());
    HWND main = program.mainWindow();
    EXPECT_TRUE(IsWindowVisible(main));
    const RECT rect = rectOf(main);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right, 350);
    EXPECT_EQ(rect.bottom, 200);
    EXPECT_FALSE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(program.pageListPane()));
    EXPECT_FALSE(IsWindowVisible(program.pageViewPane()));
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 1);
    EXPECT_FALSE(program.exists("Leafkeeper.ini")); // nothing is written before exit

    program.exitNormally();
    for (const char* key : {"Left", "Top", "Right", "Bottom", "Show Top", "Show Page"}) {
        EXPECT_NE(program.iniValue("Status", key), "<missing>") << key;
    }
    for (const char* key : {"Begin Hide", "Save File", "Close End", "Begin Page"}) {
        EXPECT_NE(program.iniValue("Option", key), "<missing>") << key;
    }
    EXPECT_EQ(program.iniValue("Status", "Left"), "50");
    EXPECT_EQ(program.iniValue("Status", "Bottom"), "200");
    EXPECT_EQ(program.iniValue("Status", "Show Top"), "No");
    EXPECT_EQ(program.iniValue("Option", "Begin Page"), "-1");
    EXPECT_EQ(program.iniValue("Option", "Save File"), program.bookPath());

    auto book = readBook(program.bookPath());
    ASSERT_EQ(book->count(), 1u);
    EXPECT_EQ(book->at(0)->title, "サンプルページ");
    EXPECT_EQ(book->at(0)->text, "Leafkeeperをご使用いただきありがとうございます。");
    EXPECT_GE(book->at(0)->updateTime, before);
}

TEST(BookWindow, TheStartUpPageFollowsBeginPage) {
    struct Case {
        const char* name;
        int beginPage;
        int showPage;
        bool floatingSecond;
        bool expectView;
        const char* expectedText;
    };
    const Case cases[] = {
        {"beyond the book", 5, -1, false, false, nullptr},
        {"a floating page", 1, -1, true, false, nullptr},
        {"page 2", 2, -1, false, true, "third text"},
        {"the page shown at exit", -2, 1, false, true, "second text"},
        {"the page shown at exit, with a floating page", -2, 2, true, true, "third text"},
        {"a page shown at exit that is gone", -2, 7, false, false, nullptr},
        {"the list", -1, 1, false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramUnderTest program;
        writeBook(program.bookPath(), {{"first", "first text"},
                                       {"second", "second text", c.floatingSecond, {300, 300, 450, 420}},
                                       {"third", "third text"}});
        program.write("Leafkeeper.ini", ini("Show Page=" + std::to_string(c.showPage) + "\r\n",
                                            "Begin Page=" + std::to_string(c.beginPage) + "\r\n"));
        ASSERT_TRUE(program.start());
        EXPECT_EQ(IsWindowVisible(program.pageViewPane()) != FALSE, c.expectView);
        EXPECT_EQ(IsWindowVisible(program.pageListPane()) != FALSE, !c.expectView);
        if (c.expectedText) {
            EXPECT_EQ(windowText(program.editor()), c.expectedText);
        }
        const auto floating = program.floatingWindows();
        EXPECT_EQ(floating.size(), c.floatingSecond ? 1u : 0u);
        if (c.floatingSecond && !floating.empty()) {
            EXPECT_TRUE(IsWindowVisible(floating.front()));
        }
        program.exitNormally();
    }
}

TEST(BookWindow, ANewPageIsAddedOnlyWhenItsSheetEndsWithOk) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"one", "1"}});
    ASSERT_TRUE(program.start());

    program.postCommand(program.mainWindow(), kAddPage);
    HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(windowText(sheet), "新規ページの設定");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(program.waitForNoDialog());
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 1);

    program.postCommand(program.mainWindow(), kAddPage);
    sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    HWND general = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    SetWindowTextA(GetDlgItem(general, 1001), "新しいページ");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(program.waitForNoDialog());
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(program.pageViewPane())); // the new page is shown

    program.exitNormally();
    auto book = readBook(program.bookPath());
    ASSERT_EQ(book->count(), 2u);
    EXPECT_EQ(book->at(1)->title, "新しいページ");
    EXPECT_EQ(program.iniValue("Status", "Show Page"), "1");
}

TEST(BookWindow, DeletingAsksAndCancelKeepsThePage) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"keep", "k"}, {"予定", "y"}});
    program.write("Leafkeeper.ini", ini("", "Begin Page=1\r\n"));
    ASSERT_TRUE(program.start());
    ASSERT_TRUE(IsWindowVisible(program.pageViewPane()));

    program.postCommand(program.mainWindow(), kDeletePage);
    EXPECT_EQ(program.answerDialog(IDCANCEL), "「予定」ページを削除してよろしいですか？");
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(program.pageViewPane()));

    program.postCommand(program.mainWindow(), kDeletePage);
    program.answerDialog(IDOK);
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 1);
    EXPECT_TRUE(IsWindowVisible(program.pageListPane()));

    program.exitNormally();
    auto book = readBook(program.bookPath());
    ASSERT_EQ(book->count(), 1u);
    EXPECT_EQ(book->at(0)->title, "keep");
    EXPECT_EQ(program.iniValue("Option", "Begin Page"), "-1"); // the start-up page was deleted
}

TEST(BookWindow, BeginPageFollowsItsPageThroughDeletionsAndMoves) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"a", ""}, {"b", ""}, {"start", ""}, {"d", ""}});
    program.write("Leafkeeper.ini", ini("", "Begin Page=-1\r\n"));
    ASSERT_TRUE(program.start());
    // Choose page 2 as the start-up page the way the INI would.
    program.exitNormally();
    program.write("Leafkeeper.ini", ini("", "Begin Page=2\r\n"));
    ASSERT_TRUE(program.start());
    command(program, program.mainWindow(), kShowList);

    HWND pane = program.pageListPane();
    HWND list = program.listBox();
    // Delete page 0 ("a"): "start" moves up to index 1.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    program.postCommand(pane, 135);
    program.answerDialog(IDOK);
    // Move "b" (now 0) down: it displaces "start" to index 0.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    command(program, pane, 109);
    // Move "start" (now 0) down to 1.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    command(program, pane, 109);
    program.exitNormally();

    auto book = readBook(program.bookPath());
    ASSERT_EQ(book->count(), 3u);
    EXPECT_EQ(book->at(1)->title, "start");
    EXPECT_EQ(program.iniValue("Option", "Begin Page"), "1");
}

TEST(BookWindow, AFloatedPageOpensBesideTheViewAndReopensAfterARestart) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"one", "first note"}, {"two", "second note"}});
    program.write("Leafkeeper.ini", ini("", "Begin Page=0\r\n"));
    ASSERT_TRUE(program.start());
    const RECT view = rectOf(program.pageViewPane());
    command(program, program.mainWindow(), kFloat);
    auto floating = program.floatingWindows();
    ASSERT_EQ(floating.size(), 1u);
    const RECT note = rectOf(floating.front());
    EXPECT_EQ(note.left, view.left + 10);
    EXPECT_EQ(note.top, view.top + 10);
    EXPECT_EQ(note.right, view.right + 10);
    EXPECT_EQ(note.bottom, view.bottom + 10);
    EXPECT_TRUE(IsWindowVisible(program.pageListPane()));

    // Float the second page from the list, then move the first note.
    SendMessageA(program.listBox(), LB_SETCURSEL, 1, 0);
    command(program, program.pageListPane(), kFloat);
    ASSERT_EQ(program.floatingWindows().size(), 2u);
    SetWindowPos(floating.front(), nullptr, 600, 400, 180, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    program.settle();
    std::vector<RECT> rects;
    for (HWND window : program.floatingWindows()) {
        rects.push_back(rectOf(window));
    }
    program.exitNormally();

    auto book = readBook(program.bookPath());
    ASSERT_EQ(book->count(), 2u);
    EXPECT_TRUE(book->at(0)->floating);
    EXPECT_TRUE(book->at(1)->floating);
    EXPECT_EQ(book->at(0)->floatingRect, (PageRect{600, 400, 780, 520}));

    ASSERT_TRUE(program.start());
    const auto reopened = program.floatingWindows();
    ASSERT_EQ(reopened.size(), 2u);
    for (HWND window : reopened) {
        const RECT rect = rectOf(window);
        bool matched = false;
        for (const RECT& before : rects) {
            matched = matched || EqualRect(&rect, &before);
        }
        EXPECT_TRUE(matched) << rect.left << "," << rect.top;
        EXPECT_TRUE(IsWindowVisible(window));
    }
    program.exitNormally();
}

TEST(BookWindow, TheCloseIconHidesAndTheTrayIconShows) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    HWND main = program.mainWindow();
    program.send(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(program.running());
    // Other icons and other mouse messages change nothing.
    program.send(main, kTrayNotify, 7, WM_LBUTTONDOWN);
    program.send(main, kTrayNotify, 102, WM_MOUSEMOVE);
    program.send(main, kTrayNotify, 102, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(main));
    program.send(main, kTrayNotify, 102, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(main));
    // A press outside the icon does not hide.
    program.send(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 40));
    EXPECT_TRUE(IsWindowVisible(main));
    program.exitNormally();
}

TEST(BookWindow, EveryWayOfEndingSavesTheBookAndSettings) {
    enum class Ending { CloseIcon, Exit, AltF4, QueryEndSession };
    for (Ending ending : {Ending::CloseIcon, Ending::Exit, Ending::AltF4, Ending::QueryEndSession}) {
        SCOPED_TRACE(static_cast<int>(ending));
        ProgramUnderTest program;
        writeBook(program.bookPath(), {{"page", "before"}});
        program.write("Leafkeeper.ini", ini("", "Begin Page=0\r\nClose End=Yes\r\n"));
        ASSERT_TRUE(program.start());
        HWND main = program.mainWindow();
        HWND editor = program.editor();
        // Typed text: the control's modification flag marks it as unsaved.
        SendMessageA(editor, EM_SETSEL, 0, -1);
        SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("after"));
        command(program, main, kAlwaysOnTop);
        switch (ending) {
        case Ending::CloseIcon:
            PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            break;
        case Ending::Exit:
            program.postCommand(main, kExit);
            break;
        case Ending::AltF4:
            PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Ending::QueryEndSession:
            PostMessageA(main, WM_QUERYENDSESSION, 0, 0);
            break;
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(program.waitForExit(exitCode));
        EXPECT_EQ(exitCode, 0u);
        auto book = readBook(program.bookPath());
        ASSERT_EQ(book->count(), 1u);
        EXPECT_EQ(book->at(0)->text, "after");
        EXPECT_EQ(program.iniValue("Status", "Show Top"), "Yes");
        EXPECT_EQ(program.iniValue("Status", "Show Page"), "0");
    }
}

TEST(BookWindow, AlwaysOnTopSurvivesARestart) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    command(program, program.mainWindow(), kAlwaysOnTop);
    EXPECT_TRUE(GetWindowLongA(program.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    program.exitNormally();
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(GetWindowLongA(program.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    command(program, program.mainWindow(), kAlwaysOnTop);
    EXPECT_FALSE(GetWindowLongA(program.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    program.exitNormally();
    EXPECT_EQ(program.iniValue("Status", "Show Top"), "No");
}

TEST(BookWindow, BeginHideStartsWithOnlyTheTrayIcon) {
    ProgramUnderTest program;
    program.write("Leafkeeper.ini", ini("", "Begin Hide=Yes\r\n"));
    ASSERT_TRUE(program.start());
    HWND main = program.mainWindow();
    EXPECT_FALSE(IsWindowVisible(main));
    program.send(main, kTrayNotify, 102, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(main));
    command(program, main, kHideWindow);
    EXPECT_FALSE(IsWindowVisible(main));
    program.exitNormally();
}

TEST(BookWindow, TheTrayIconComesBackWhenTheShellRestarts) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = program.mainWindow();
    icon.uID = 102;
    icon.uFlags = NIF_TIP;
    lstrcpynA(icon.szTip, "Leafkeeper", 64);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon)); // the icon is there
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon)); // as a restarted shell would have forgotten it
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    program.send(program.mainWindow(), RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    program.exitNormally();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon)); // removed at exit
}

TEST(BookWindow, ADamagedBookFileIsKeptAsideNotOverwritten) {
    ProgramUnderTest program;
    const std::string damaged = std::string("VeVaRuZa") + '\0' + "\x05\x00\x00\x00 not a page";
    program.write("lk.bok", damaged);
    ASSERT_TRUE(program.start() || program.waitForDialog());
    EXPECT_EQ(program.answerDialog(IDOK), "不正なブックファイルです。データを読み込むことができません。");
    program.settle();
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 1); // the sample page
    program.exitNormally();
    EXPECT_EQ(program.read("lk.bok.invalid"), damaged);
    auto book = readBook(program.bookPath());
    ASSERT_EQ(book->count(), 1u);
    EXPECT_EQ(book->at(0)->title, "サンプルページ");
}

TEST(BookWindow, AnUnwritableBookFileIsReportedAndRecovered) {
    ProgramUnderTest program;
    // The book file's name is taken by a folder: no file can be written there.
    const std::string folderBook = program.file("taken.bok");
    CreateDirectoryA(folderBook.c_str(), nullptr);
    program.write("Leafkeeper.ini", ini("", "Save File=" + folderBook + "\r\n"));
    ASSERT_TRUE(program.start());
    program.postCommand(program.mainWindow(), kExit);

    std::string message;
    HWND dialog = program.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    message = dialogItemText(dialog, 0xFFFF);
    EXPECT_NE(message.find(folderBook), std::string::npos) << message;
    clickButton(dialog, IDRETRY); // still failing: asked again
    dialog = program.waitForDialog(10000, dialog);
    ASSERT_NE(dialog, nullptr);
    message = dialogItemText(dialog, 0xFFFF);
    clickButton(dialog, IDCANCEL);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.waitForExit(exitCode));

    auto book = readBook(ProgramUnderTest::recoveryFileNamedIn(message));
    ASSERT_EQ(book->count(), 1u);
    EXPECT_EQ(book->at(0)->title, "サンプルページ");
}

TEST(BookWindow, AWindowStoredOffEveryMonitorOpensOnOne) {
    ProgramUnderTest program;
    program.write("Leafkeeper.ini", ini("Left=5000\r\nTop=4000\r\nRight=5300\r\nBottom=4150\r\n", ""));
    ASSERT_TRUE(program.start());
    const RECT rect = rectOf(program.mainWindow());
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 150);
    POINT corner{rect.left + 5, rect.top + 5};
    EXPECT_NE(MonitorFromPoint(corner, MONITOR_DEFAULTTONULL), nullptr);
    program.exitNormally();
}
