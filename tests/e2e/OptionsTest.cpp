#include "BookFiles.h"
#include "ProgramUnderTest.h"
#include "support/Dialogs.h"
#include "support/SheetDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

constexpr int kOptions = 0;
constexpr UINT kTrayNotify = WM_APP + 100;

// Chooses the book file in the options sheet's file chooser; returns the chooser.
HWND chooseBookFile(const ProgramUnderTest& program, HWND sheet, const std::string& path) {
    clickButton(currentPage(sheet), 1012);
    HWND chooser = program.waitForDialog(10000, sheet);
    EXPECT_EQ(windowText(chooser), "ブックファイルの選択");
    chooseFile(chooser, path);
    return chooser;
}

void switchBookFile(const ProgramUnderTest& program, const std::string& path) {
    program.postCommand(program.mainWindow(), kOptions);
    HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(windowText(sheet), "Leafkeeper オプション");
    ASSERT_TRUE(waitUntilGone(chooseBookFile(program, sheet, path), 10000));
    EXPECT_EQ(windowText(GetDlgItem(currentPage(sheet), 1011)), path);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(program.waitForNoDialog());
}

} // namespace

TEST(Options, SwitchingBookFilesWritesTheOldBookFirstAndComesBackWhole) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"page", "old text"}, {"note", "old note", true, {500, 100, 700, 250}}});
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\n");
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "edited in the book");
    ASSERT_EQ(program.floatingWindows().size(), 1u);
    ProgramUnderTest::type(FindWindowExA(program.floatingWindows().front(), nullptr, "Edit", nullptr), "edited in the note");

    const std::string newBook = program.file("new.bok");
    switchBookFile(program, newBook);
    EXPECT_TRUE(program.floatingWindows().empty());
    EXPECT_TRUE(IsWindowVisible(program.pageListPane()));
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 0);
    {
        auto old = readBook(program.bookPath());
        ASSERT_EQ(old->count(), 2u);
        EXPECT_EQ(old->at(0)->text, "edited in the book");
        EXPECT_EQ(old->at(1)->text, "edited in the note");
        EXPECT_TRUE(old->at(1)->floating); // it floats again when its book comes back
    }
    program.exitNormally();
    EXPECT_EQ(program.read("new.bok").size(), 13u);
    EXPECT_EQ(program.iniValue("Option", "Save File"), newBook);

    ASSERT_TRUE(program.start());
    switchBookFile(program, program.bookPath());
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 2);
    const auto notes = program.floatingWindows();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(notes.front()));
    program.exitNormally();
}

TEST(Options, AFileThatIsNotABookIsRefusedAndThePathKept) {
    ProgramUnderTest program;
    program.write("notes.txt", "plain text, not a book");
    ASSERT_TRUE(program.start());
    program.postCommand(program.mainWindow(), kOptions);
    HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    const std::string before = windowText(GetDlgItem(currentPage(sheet), 1011));
    const HWND chooser = chooseBookFile(program, sheet, program.file("notes.txt"));
    // The refusal is a message box of its own.
    HWND message = nullptr;
    for (int i = 0; i < 500 && !message; ++i) {
        HWND found = findDialog(program.processId(), {sheet, chooser});
        if (found && dialogItemText(found, 0xFFFF).find("不正なブックファイル") != std::string::npos) {
            message = found;
        }
        Sleep(20);
    }
    ASSERT_NE(message, nullptr);
    clickButton(message, IDOK);
    waitUntilGone(message);
    EXPECT_EQ(windowText(GetDlgItem(currentPage(sheet), 1011)), before);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(program.waitForNoDialog());
    program.exitNormally();
}

TEST(Options, TheTrayIconOnlyBringsAnOpenSheetForward) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.start());
    program.postCommand(program.mainWindow(), kOptions);
    HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    PostMessageA(program.mainWindow(), kTrayNotify, 102, WM_RBUTTONDOWN);
    Sleep(300);
    // No menu: from it the program could end under the open sheet.
    EXPECT_TRUE(program.windowsOfClass("#32768").empty() ||
                !IsWindowVisible(program.windowsOfClass("#32768").front()));
    EXPECT_TRUE(IsWindow(sheet));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(program.waitForNoDialog());
    program.exitNormally();
}
