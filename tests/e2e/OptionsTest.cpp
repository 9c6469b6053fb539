#include "support/BookFiles.h"
#include "ProgramUnderTest.h"
#include "support/SheetDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

// Choosing another book file in the options sheet first writes the book in
// use, with what was typed in the view and in a note, to its own file; the
// book chosen replaces it, and switching back brings the note back. While the
// sheet is open the tray icon only brings it forward: from the icon's menu
// the program could end under the open sheet.
TEST(Options, SwitchingBookFilesWritesTheOldBookFirstAndComesBackWhole) {
    ProgramUnderTest program;
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "edited in the book");
    ProgramUnderTest::type(ProgramUnderTest::noteEditor(program.floatingWindows().at(0)), "edited in the note");
    const std::string newBook = program.file("new.bok");
    for (const std::string& path : {newBook, program.bookPath()}) {
        PostMessageA(program.mainWindow(), WM_COMMAND, 0, 0);
        const HWND sheet = program.waitForDialog();
        ASSERT_NE(sheet, nullptr);
        PostMessageA(program.mainWindow(), WM_APP + 100, 102, WM_RBUTTONDOWN);
        program.handledPosted(program.mainWindow());
        const auto menus = program.windowsOfClass("#32768");
        EXPECT_TRUE(std::none_of(menus.begin(), menus.end(), IsWindowVisible));
        clickButton(currentPage(sheet), 1012);
        const HWND chooser = program.waitForDialog(sheet);
        ASSERT_NE(chooser, nullptr);
        chooseFile(chooser, path);
        ASSERT_TRUE(waitUntilGone(chooser, 10000));
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        ASSERT_TRUE(waitUntilGone(sheet, 10000));
        program.settle();
        if (path == newBook) {
            EXPECT_TRUE(program.floatingWindows().empty());
            EXPECT_EQ(program.pageCount(), 0);
            EXPECT_EQ(textsIn(program.bookPath()), (Texts{"edited in the book", "edited in the note"}));
        }
    }
    EXPECT_EQ(program.pageCount(), 2);
    const auto notes = program.floatingWindows();
    EXPECT_TRUE(notes.size() == 1 && IsWindowVisible(notes.front()));
    EXPECT_EQ(program.exit(), "");
}

// A book that reaches neither its file nor a recovery file is not switched
// away from: the pages and the note stay, the settings go on naming the old
// book, and the user is told. Where a recovery file could be written the
// switch goes ahead.
TEST(Options, ABookThatCannotBeWrittenAnywhereIsNotSwitchedAway) {
    for (const char* fault : {"fail-open-everywhere", "fail-open"}) {
        SCOPED_TRACE(fault);
        const bool lost = std::string(fault) == "fail-open-everywhere";
        ProgramUnderTest program(fault);
        program.writePageAndNote();
        ASSERT_TRUE(program.start());
        PostMessageA(program.mainWindow(), WM_COMMAND, 0, 0);
        const HWND sheet = program.waitForDialog();
        ASSERT_NE(sheet, nullptr);
        setItemText(currentPage(sheet), 1011, program.file("other.bok"));
        pressOk(sheet);
        ASSERT_TRUE(waitUntilGone(sheet, 10000));
        EXPECT_NE(program.answerDialog(IDCANCEL).find(program.bookPath()), std::string::npos);
        if (lost) {
            EXPECT_NE(program.answerDialog(IDOK).find("lk-recovered-"), std::string::npos);
            EXPECT_NE(program.answerDialog(IDOK).find("切り替えませんでした"), std::string::npos);
        }
        program.settle();
        EXPECT_EQ(program.pageCount(), lost ? 2 : 0);
        EXPECT_EQ(program.floatingWindows().size(), lost ? 1u : 0u);
        EXPECT_TRUE(!lost || windowText(program.editor()) == "page at start");
        EXPECT_EQ(program.iniValue("Option", "Save File"), lost ? program.bookPath() : program.file("other.bok"));
        program.kill();
    }
}
