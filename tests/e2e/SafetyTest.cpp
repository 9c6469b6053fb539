// The program never loses a note: changes are written while it runs, a kill
// in the middle of a write leaves a sound book, and a damaged book file is
// kept aside, never written over.
#include "support/BookFiles.h"
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <tuple>

// Suspend writes at once; typing is written within seconds without an exit,
// and each write keeps the previous generation as the backup.
TEST(Safety, ChangesAreWrittenWhileTheProgramRunsAndSurviveAKill) {
    ProgramUnderTest program;
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "before the lid closed");
    // A change waits for a pause in the typing; a suspend does not.
    EXPECT_EQ(textsIn(program.bookPath()), (Texts{"page at start", "note at start"}));
    EXPECT_EQ(SendMessageA(program.mainWindow(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_EQ(textsIn(program.bookPath()), (Texts{"before the lid closed", "note at start"}));
    ProgramUnderTest::type(ProgramUnderTest::noteEditor(program.floatingWindows().at(0)), "typed in the note");
    const Texts typed{"before the lid closed", "typed in the note"};
    EXPECT_TRUE(waitFor([&] { return textsIn(program.bookPath()) == typed; }));
    program.kill();
    EXPECT_EQ(textsIn(program.bookPath()), typed);
    EXPECT_EQ(textsIn(program.file("lk.bok.bak")), (Texts{"before the lid closed", "note at start"}));
}

TEST(Safety, AKillDuringAWriteLeavesTheOldBookUnderItsNameAndTheNewOneBesideIt) {
    ProgramUnderTest program("pause-before-replace");
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "new text");
    ASSERT_TRUE(waitFor([&] { return program.exists("lk.bok.paused"); }));
    program.kill();
    EXPECT_EQ(textsIn(program.bookPath()), (Texts{"page at start", "note at start"}));
    const auto temporaries = program.filesMatching("lk.bok.*.tmp");
    ASSERT_EQ(temporaries.size(), 1u);
    EXPECT_EQ(textsIn(program.file(temporaries.front())), (Texts{"new text", "note at start"}));
}

// The damaged file is renamed to lk.bok.invalid. A sound backup is offered
// (an empty or damaged one is not); without it the program starts with the
// sample page.
TEST(Safety, ADamagedBookIsKeptAsideAndASoundBackupOffered) {
    const TempFolder scratch;
    writeBook(scratch.file("sound.bok"), {{"予定", "月 会議"}, {"買い物", "牛乳"}});
    const std::string sound = readText(scratch.file("sound.bok"));
    const std::tuple<std::string, std::string, int, int> cases[] = {
        // book file, backup, answer, pages then
        {sound.substr(0, sound.size() - 3), "", IDOK, 1},
        {sound + "x", sound, IDYES, 2},
        {sound + "x", sound, IDNO, 1},
        {sound.substr(0, 40), sound.substr(0, 60), IDOK, 1},
    };
    for (const auto& [book, backup, answer, pages] : cases) {
        SCOPED_TRACE(testing::Message() << book.size() << " " << answer);
        ProgramUnderTest program;
        program.write("lk.bok", book);
        program.write("lk.bok.bak", backup);
        ASSERT_TRUE(program.start());
        const std::string message = program.answerDialog(answer);
        EXPECT_NE(message.find(answer == IDOK ? BookFile::invalidBookMessage : "lk.bok.bak"), std::string::npos);
        EXPECT_EQ(program.pageCount(), pages);
        EXPECT_EQ(program.exit(), "");
        EXPECT_EQ(program.read("lk.bok.invalid"), book);
        EXPECT_EQ(textsIn(program.bookPath()).size(), static_cast<std::size_t>(pages));
    }
}

// A display change (a monitor unplugged, the resolution lowered) brings the
// book window and a note left off every monitor back, keeping their sizes.
TEST(Safety, ADisplayChangeBringsBackWindowsLeftOffEveryMonitor) {
    ProgramUnderTest program;
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    const HWND main = program.mainWindow();
    const HWND note = program.floatingWindows().at(0);
    SetWindowPos(note, nullptr, 3000, 2500, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(main, nullptr, -2000, 100, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    program.settle();
    SendMessageA(main, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
    for (const auto& [window, width] : {std::pair<HWND, LONG>{note, 200}, {main, 300}}) {
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_NE(MonitorFromPoint(POINT{rect.left + 5, rect.top + 5}, MONITOR_DEFAULTTONULL), nullptr);
        EXPECT_EQ(rect.right - rect.left, width);
        EXPECT_EQ(rect.bottom - rect.top, 150);
    }
}
