#include "BookFiles.h"
#include "ProgramUnderTest.h"
#include "book/BookFile.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <functional>

namespace {


bool waitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

// A page shown in the book and a floating note.
void writeTwoPageBook(const ProgramUnderTest& program) {
    writeBook(program.bookPath(), {{"page", "page at start"}, {"note", "note at start", true, {500, 100, 700, 250}}});
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\n");
}

FILETIME modified(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

} // namespace

TEST(Safety, TypingReachesTheBookFileWithinSecondsAndSurvivesAKill) {
    ProgramUnderTest program;
    writeTwoPageBook(program);
    ASSERT_TRUE(program.start());
    ASSERT_EQ(program.floatingWindows().size(), 1u);
    ProgramUnderTest::type(program.editor(), "typed in the book");
    ProgramUnderTest::type(ProgramUnderTest::noteEditor(program.floatingWindows().front()), "typed in the note");
    const auto expected = std::vector<std::string>{"typed in the book", "typed in the note"};
    EXPECT_TRUE(waitFor([&] { return ProgramUnderTest::textsIn(program.bookPath()) == expected; }, 15000));
    program.kill();
    EXPECT_EQ(ProgramUnderTest::textsIn(program.bookPath()), expected);
    // The previous generation is kept beside it.
    EXPECT_EQ(ProgramUnderTest::textsIn(program.file("lk.bok.bak")),
              (std::vector<std::string>{"page at start", "note at start"}));
}

TEST(Safety, AnIdleProgramWritesNothing) {
    ProgramUnderTest program;
    writeTwoPageBook(program);
    const std::string before = program.read("lk.bok");
    const FILETIME time = modified(program.bookPath());
    ASSERT_TRUE(program.start());
    Sleep(6000);
    const FILETIME after = modified(program.bookPath());
    EXPECT_EQ(CompareFileTime(&time, &after), 0);
    EXPECT_EQ(program.read("lk.bok"), before);
    EXPECT_FALSE(program.exists("lk.bok.bak"));
    program.kill();
}

TEST(Safety, ABookThatDidNotChangeIsNotWrittenAgainAtExit) {
    ProgramUnderTest program;
    writeTwoPageBook(program);
    const FILETIME time = modified(program.bookPath());
    ASSERT_TRUE(program.start());
    program.exitNormally();
    const FILETIME after = modified(program.bookPath());
    EXPECT_EQ(CompareFileTime(&time, &after), 0);
    EXPECT_FALSE(program.exists("lk.bok.bak"));
    EXPECT_TRUE(program.exists("Leafkeeper.ini")); // the settings are still written
}

TEST(Safety, SuspendWritesUnsavedTypingAtOnce) {
    ProgramUnderTest program;
    writeTwoPageBook(program);
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "before the lid closed");
    EXPECT_EQ(program.send(program.mainWindow(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_EQ(ProgramUnderTest::textsIn(program.bookPath()).at(0), "before the lid closed");
    program.kill();
}

TEST(Safety, TheEndOfTheSessionWritesUnsavedTyping) {
    for (UINT message : {UINT(WM_QUERYENDSESSION), UINT(WM_ENDSESSION)}) {
        SCOPED_TRACE(message);
        ProgramUnderTest program;
        writeTwoPageBook(program);
        ASSERT_TRUE(program.start());
        ProgramUnderTest::type(program.editor(), "in the view");
        ProgramUnderTest::type(ProgramUnderTest::noteEditor(program.floatingWindows().front()), "in the note");
        PostMessageA(program.mainWindow(), message, TRUE, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(program.waitForExit(exitCode));
        EXPECT_EQ(ProgramUnderTest::textsIn(program.bookPath()), (std::vector<std::string>{"in the view", "in the note"}));
    }
}

TEST(Safety, AKillDuringASaveLeavesASoundBookUnderTheName) {
    ProgramUnderTest program(ProgramUnderTest::Build::Faulty);
    writeTwoPageBook(program);
    SetEnvironmentVariableA("LK_FAULT", "pause-before-replace");
    const bool started = program.start();
    SetEnvironmentVariableA("LK_FAULT", nullptr);
    ASSERT_TRUE(started);
    ProgramUnderTest::type(program.editor(), "new text");
    ASSERT_TRUE(waitFor([&] { return program.exists("lk.bok.paused"); }, 15000));
    program.kill();
    // The old book is still under its name; the new one, complete, beside it.
    EXPECT_EQ(ProgramUnderTest::textsIn(program.bookPath()), (std::vector<std::string>{"page at start", "note at start"}));
    EXPECT_EQ(ProgramUnderTest::textsIn(program.file("lk.bok.tmp")), (std::vector<std::string>{"new text", "note at start"}));
}

TEST(Safety, AFailingSaveIsReportedOnceWhileTheProgramRuns) {
    ProgramUnderTest program(ProgramUnderTest::Build::Faulty);
    writeTwoPageBook(program);
    SetEnvironmentVariableA("LK_FAULT", "fail-replace");
    const bool started = program.start();
    SetEnvironmentVariableA("LK_FAULT", nullptr);
    ASSERT_TRUE(started);
    ProgramUnderTest::type(program.editor(), "cannot be written");
    HWND report = program.waitForDialog(15000);
    ASSERT_NE(report, nullptr);
    const std::string message = dialogItemText(report, 0xFFFF);
    EXPECT_NE(message.find(program.bookPath()), std::string::npos) << message;
    clickButton(report, IDCANCEL); // written to the recovery file instead
    ASSERT_TRUE(program.waitForNoDialog());
    const std::string recovery = ProgramUnderTest::recoveryFileNamedIn(message);
    EXPECT_EQ(ProgramUnderTest::textsIn(recovery).at(0), "cannot be written");

    ProgramUnderTest::type(program.editor(), "still cannot be written");
    Sleep(6000);
    EXPECT_EQ(findDialog(program.processId()), nullptr); // no second report
    program.kill();
}

TEST(Safety, ADamagedBookWithASoundBackupOffersTheBackup) {
    for (bool accept : {true, false}) {
        SCOPED_TRACE(accept);
        ProgramUnderTest program;
        writeBook(program.file("lk.bok.bak"), {{"from the backup", "a"}, {"second", "b"}});
        const std::string damaged = std::string("VeVaRuZa") + '\0' + "\x02\x00\x00\x00 cut";
        program.write("lk.bok", damaged);
        ASSERT_TRUE(program.start());
        HWND offer = program.waitForDialog();
        ASSERT_NE(offer, nullptr);
        const std::string message = dialogItemText(offer, 0xFFFF);
        EXPECT_NE(message.find("lk.bok.bak"), std::string::npos) << message;
        clickButton(offer, accept ? IDYES : IDNO);
        ASSERT_TRUE(program.waitForNoDialog());
        EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), accept ? 2 : 1);
        program.exitNormally();
        EXPECT_EQ(program.read("lk.bok.invalid"), damaged);
        const auto texts = ProgramUnderTest::textsIn(program.bookPath());
        EXPECT_EQ(texts.size(), accept ? 2u : 1u);
    }
}

TEST(Safety, ADisplayChangeBringsBackANoteLeftOffEveryMonitor) {
    ProgramUnderTest program;
    writeTwoPageBook(program);
    ASSERT_TRUE(program.start());
    HWND note = program.floatingWindows().front();
    SetWindowPos(note, nullptr, 3000, 2500, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(program.mainWindow(), nullptr, -2000, 100, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    program.settle();
    program.send(program.mainWindow(), WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
    for (HWND window : {note, program.mainWindow()}) {
        RECT rect{};
        GetWindowRect(window, &rect);
        POINT corner{rect.left + 5, rect.top + 5};
        EXPECT_NE(MonitorFromPoint(corner, MONITOR_DEFAULTTONULL), nullptr) << rect.left << "," << rect.top;
    }
    RECT rect{};
    GetWindowRect(note, &rect);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 150);
    program.kill();
}
