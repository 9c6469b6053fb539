#include "BookFiles.h"
#include "ProgramUnderTest.h"
#include "support/Dialogs.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

constexpr int kOptions = 0;
constexpr int kExit = 111;
constexpr UINT kTrayNotify = WM_APP + 100;

HWND currentPage(HWND sheet) { return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

// Wine's file dialog keeps the name in a combo box, older layouts in an edit.
void chooseFile(const ProgramUnderTest& program, HWND sheet, const std::string& path) {
    clickButton(currentPage(sheet), 1012);
    HWND chooser = program.waitForDialog(10000, sheet);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(windowText(chooser), "ブックファイルの選択");
    HWND field = GetDlgItem(chooser, 0x47C);
    if (!field || !IsWindowVisible(field)) {
        field = GetDlgItem(chooser, 0x480);
    }
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    clickButton(chooser, IDOK);
    for (int i = 0; i < 500 && IsWindow(chooser); ++i) {
        Sleep(20);
    }
    ASSERT_FALSE(IsWindow(chooser));
}

void switchBookFile(const ProgramUnderTest& program, const std::string& path) {
    program.postCommand(program.mainWindow(), kOptions);
    HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(windowText(sheet), "Leafkeeper オプション");
    chooseFile(program, sheet, path);
    EXPECT_EQ(windowText(GetDlgItem(currentPage(sheet), 1011)), path);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(program.waitForNoDialog());
}

void typeInto(HWND editor, const char* text) {
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

void exitNormally(ProgramUnderTest& program) {
    program.postCommand(program.mainWindow(), kExit);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.waitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace

TEST(Options, SwitchingBookFilesWritesTheOldBookFirstAndComesBackWhole) {
    ProgramUnderTest program;
    writeBook(program.bookPath(), {{"page", "old text"}, {"note", "old note", true, {500, 100, 700, 250}}});
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\n");
    ASSERT_TRUE(program.start());
    typeInto(program.editor(), "edited in the book");
    ASSERT_EQ(program.floatingWindows().size(), 1u);
    typeInto(FindWindowExA(program.floatingWindows().front(), nullptr, "Edit", nullptr), "edited in the note");

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
    exitNormally(program);
    EXPECT_EQ(program.read("new.bok").size(), 13u);
    char saved[MAX_PATH] = {};
    GetPrivateProfileStringA("Option", "Save File", "", saved, sizeof saved, program.iniPath().c_str());
    EXPECT_EQ(std::string(saved), newBook);

    ASSERT_TRUE(program.start());
    switchBookFile(program, program.bookPath());
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 2);
    const auto notes = program.floatingWindows();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(notes.front()));
    exitNormally(program);
}

TEST(Options, AFileThatIsNotABookIsRefusedAndThePathKept) {
    ProgramUnderTest program;
    program.write("notes.txt", "plain text, not a book");
    ASSERT_TRUE(program.start());
    program.postCommand(program.mainWindow(), kOptions);
    HWND sheet = program.waitForDialog();
    ASSERT_NE(sheet, nullptr);
    const std::string before = windowText(GetDlgItem(currentPage(sheet), 1011));
    clickButton(currentPage(sheet), 1012);
    HWND chooser = program.waitForDialog(10000, sheet);
    ASSERT_NE(chooser, nullptr);
    HWND field = GetDlgItem(chooser, 0x47C);
    if (!field || !IsWindowVisible(field)) {
        field = GetDlgItem(chooser, 0x480);
    }
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(program.file("notes.txt").c_str()));
    clickButton(chooser, IDOK);
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
    for (int i = 0; i < 500 && IsWindow(message); ++i) {
        Sleep(20);
    }
    EXPECT_EQ(windowText(GetDlgItem(currentPage(sheet), 1011)), before);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(program.waitForNoDialog());
    exitNormally(program);
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
    exitNormally(program);
}
