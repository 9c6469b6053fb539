// While the program waits for an answer, the windows the open dialog leaves
// enabled (floating notes, and the book window when a note owns the dialog)
// must not change the book under it: a note deleted while the book window
// asks whether to delete another page once made the wrong page go.
#include "support/BookFiles.h"
#include "ProgramUnderTest.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The book window's commands, the page list's and a note's.
constexpr int kOptions = 0, kPageSettings = 106, kShowList = 107, kAddPage = 108, kAbout = 113, kDeleteShown = 120;
constexpr int kListDelete = 135, kListSettings = 0;
constexpr int kNoteReturn = 103, kNoteSettings = 106, kNoteDelete = 120;

// A: a floating note; B; C: shown in the book window at start-up.
void writeThreePages(const ProgramUnderTest& program) {
    writeBook(program.bookPath(), {{"A", "note", true}, {"B", "second"}, {"C", "third"}});
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=2\r\n");
}

HWND note(const ProgramUnderTest& program) {
    const auto notes = program.floatingWindows();
    return notes.size() == 1 ? notes.front() : nullptr;
}

void deleteRowFromList(const ProgramUnderTest& program, int row) {
    PostMessageA(program.mainWindow(), WM_COMMAND, kShowList, 0);
    program.settle();
    SendMessageA(program.listBox(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    PostMessageA(GetParent(program.listBox()), WM_COMMAND, kListDelete, 0);
}

// Everything a note and the book window's panes could do to the pages while
// the dialog is open, each of which would open a dialog of its own or change
// the book.
void tryToChangeTheBook(const ProgramUnderTest& program) {
    const HWND noteA = note(program);
    for (const int command : {kNoteDelete, kNoteReturn, kNoteSettings}) {
        PostMessageA(noteA, WM_COMMAND, command, 0);
    }
    SendMessageA(program.listBox(), LB_SETCURSEL, 1, 0);
    for (const int command : {kListDelete, kListSettings}) {
        PostMessageA(GetParent(program.listBox()), WM_COMMAND, command, 0);
    }
    for (const int command : {kAddPage, kOptions, kDeleteShown}) {
        PostMessageA(program.mainWindow(), WM_COMMAND, command, 0);
    }
    program.handledPosted(noteA);
}

void closeDialog(HWND dialog) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitUntilGone(dialog, 10000));
}

} // namespace

// Every modal loop of the program, each with the notes and panes trying to
// change the book meanwhile: only the one dialog stays open, and once it is
// closed the book is as it was, note and all.
TEST(Reentry, NothingChangesTheBookWhileADialogIsOpen) {
    const std::pair<const char*, std::function<void(const ProgramUnderTest&)>> openers[] = {
        {"the list's delete question", [](const ProgramUnderTest& p) { deleteRowFromList(p, 1); }},
        {"the note's delete question",
         [](const ProgramUnderTest& p) { PostMessageA(note(p), WM_COMMAND, kNoteDelete, 0); }},
        {"the shown page's settings",
         [](const ProgramUnderTest& p) { PostMessageA(p.mainWindow(), WM_COMMAND, kPageSettings, 0); }},
        {"the note's settings", [](const ProgramUnderTest& p) { PostMessageA(note(p), WM_COMMAND, kNoteSettings, 0); }},
        {"a new page's settings",
         [](const ProgramUnderTest& p) { PostMessageA(p.mainWindow(), WM_COMMAND, kAddPage, 0); }},
        {"the options", [](const ProgramUnderTest& p) { PostMessageA(p.mainWindow(), WM_COMMAND, kOptions, 0); }},
        {"the About box", [](const ProgramUnderTest& p) { PostMessageA(p.mainWindow(), WM_COMMAND, kAbout, 0); }},
        {"a failed save", [](const ProgramUnderTest& p) { ProgramUnderTest::type(p.editor(), "cannot be written"); }},
    };
    for (const auto& [name, open] : openers) {
        SCOPED_TRACE(name);
        const bool failing = std::string(name) == "a failed save";
        ProgramUnderTest program(failing ? "fail-open" : nullptr);
        writeThreePages(program);
        ASSERT_TRUE(program.start());
        open(program);
        const HWND dialog = program.waitForDialog();
        ASSERT_NE(dialog, nullptr);
        tryToChangeTheBook(program);
        EXPECT_EQ(program.dialogs(), std::vector<HWND>{dialog});
        closeDialog(dialog);
        if (failing) {
            EXPECT_TRUE(waitFor([&] { return program.dialogs().empty(); }));
        }
        program.settle();
        EXPECT_TRUE(program.dialogs().empty());
        EXPECT_EQ(program.pageCount(), 3);
        EXPECT_NE(note(program), nullptr);
        const std::string recovery = program.exit();
        EXPECT_EQ(textsIn(failing ? recovery : program.bookPath(), &Page::title), (Texts{"A", "B", "C"}));
    }
}

// The sequences that went wrong, answered with OK: deleting B from the list
// while a note's delete is tried deletes B and keeps the note; deleting a note
// twice at once deletes it once; the shown page's new title stays when a note
// before it is tried to be deleted meanwhile.
TEST(Reentry, TheAnsweredDialogActsOnThePageItAsked) {
    const std::pair<std::function<void(const ProgramUnderTest&)>, Texts> sequences[] = {
        {[](const ProgramUnderTest& p) { deleteRowFromList(p, 1); }, Texts{"A", "C"}},
        {[](const ProgramUnderTest& p) { PostMessageA(note(p), WM_COMMAND, kNoteDelete, 0); }, Texts{"B", "C"}},
        {[](const ProgramUnderTest& p) { PostMessageA(p.mainWindow(), WM_COMMAND, kPageSettings, 0); },
         Texts{"A", "B", "新しい題"}},
    };
    for (const auto& [open, titles] : sequences) {
        SCOPED_TRACE(titles.back());
        ProgramUnderTest program;
        writeThreePages(program);
        ASSERT_TRUE(program.start());
        open(program);
        const HWND dialog = program.waitForDialog();
        ASSERT_NE(dialog, nullptr);
        PostMessageA(note(program), WM_COMMAND, kNoteDelete, 0);
        program.handledPosted(note(program));
        EXPECT_EQ(program.dialogs(), std::vector<HWND>{dialog});
        if (titles.back() == "新しい題") {
            setItemText(currentPage(dialog), 1001, "新しい題");
            pressOk(dialog);
        } else {
            clickButton(dialog, IDOK);
        }
        ASSERT_TRUE(waitUntilGone(dialog, 10000));
        program.settle();
        if (titles.back() == "新しい題") {
            EXPECT_EQ(windowText(GetParent(program.editor())), "新しい題");
        }
        EXPECT_EQ(program.exit(), "");
        EXPECT_EQ(textsIn(program.bookPath(), &Page::title), titles);
    }
}
