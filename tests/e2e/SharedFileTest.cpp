// The book file changed by another program while Leafkeeper runs: lkbook
// writing into it, a synchronising program rewriting it in place. What
// either side wrote stays; nothing is written over a file still being
// written. Two computers sharing a book are TwoComputersTest.sh.
#include "ProgramUnderTest.h"
#include "support/BookFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

// Runs the built lkbook with a JSON book on its standard input, as a user
// would rebuild a book from a dump: lkbook build - BOOK.
bool lkbookBuild(const std::string& json, const std::string& book, const ProgramUnderTest& program) {
    const std::string input = program.file("book.json");
    writeText(input, json);
    std::string executable = LKBOOK_EXE;
    std::replace(executable.begin(), executable.end(), '/', '\\');
    std::string command = "\"Z:" + executable + "\" build \"" + input + "\" \"" + book + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code == 0;
}

// The book of ProgramUnderTest::writePageAndNote with a third page, as JSON.
const char kBookWithThirdPage[] = R"({"pages": [
    {"title": "page", "text": "page at start"},
    {"title": "note", "text": "note at start", "floating": true},
    {"title": "lkbook", "text": "written by lkbook"}]})";

bool contains(const Texts& texts, const std::string& wanted) {
    return std::find(texts.begin(), texts.end(), wanted) != texts.end();
}

} // namespace

// A page lkbook adds to the file appears in the running program within a few
// seconds; a floating page it deletes takes its note along; the program's
// next write keeps what lkbook wrote beside what was typed.
TEST(SharedFile, PagesAnotherProgramWritesAppearAndSurviveTheNextWrite) {
    ProgramUnderTest program;
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    ASSERT_TRUE(lkbookBuild(kBookWithThirdPage, program.bookPath(), program));
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 3; }, 5000));
    EXPECT_EQ(program.floatingWindows().size(), 1u);
    std::string withoutNote = kBookWithThirdPage;
    const std::size_t note = withoutNote.find("    {\"title\": \"note\"");
    withoutNote.erase(note, withoutNote.find('\n', note) + 1 - note);
    ASSERT_TRUE(lkbookBuild(withoutNote, program.bookPath(), program));
    EXPECT_TRUE(waitFor([&] { return program.pageCount() == 2 && program.floatingWindows().empty(); }, 5000));
    ProgramUnderTest::type(program.editor(), "typed after lkbook");
    const Texts both{"typed after lkbook", "written by lkbook"};
    EXPECT_TRUE(waitFor([&] { return textsIn(program.bookPath()) == both; }));
    EXPECT_EQ(program.exit(), "");
    EXPECT_EQ(textsIn(program.bookPath()), both);
}

// The same page typed in here and changed in the file: both versions stay,
// the one typed here after the other with its title marked, and the user is
// told once which page it was.
TEST(SharedFile, APageChangedHereAndThereIsKeptTwiceAndTheUserTold) {
    ProgramUnderTest program;
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "typed here");
    std::string json = kBookWithThirdPage;
    json.replace(json.find("page at start"), 13, "typed there");
    ASSERT_TRUE(lkbookBuild(json, program.bookPath(), program));
    const std::string message = program.answerDialog(IDOK);
    EXPECT_NE(message.find("・page"), std::string::npos) << message;
    EXPECT_EQ(program.exit(), "");
    const Texts texts = textsIn(program.bookPath());
    EXPECT_TRUE(contains(texts, "typed here") && contains(texts, "typed there") && contains(texts, "written by lkbook"))
        << testing::PrintToString(texts);
    EXPECT_TRUE(contains(textsIn(program.bookPath(), &Page::title), "page（競合コピー）"));
}

// A synchronising program rewrites the file in place, slowly: while it is
// incomplete the program neither writes over it nor keeps it aside as
// damaged, though it has typing of its own to write; once complete, both
// are in the book.
TEST(SharedFile, AFileRewrittenInPlaceIsWaitedForAndThenMerged) {
    ProgramUnderTest program;
    program.writePageAndNote();
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "typed while it was rewritten");
    const TempFolder scratch;
    writeBook(scratch.file("new.bok"),
              {{"page", "page at start"}, {"note", "note at start", true}, {"sync", "synced"}});
    const std::string whole = readText(scratch.file("new.bok"));
    {
        std::ofstream inPlace(program.bookPath(), std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
        inPlace.write(whole.data(), static_cast<std::streamsize>(whole.size() / 2));
        inPlace.flush();
        // Long enough for the program's write (due three seconds after the
        // typing) and several of its checks to meet the incomplete file.
        Sleep(4500);
        inPlace.write(whole.data() + whole.size() / 2, static_cast<std::streamsize>(whole.size() - whole.size() / 2));
    }
    const Texts merged{"typed while it was rewritten", "note at start", "synced"};
    EXPECT_TRUE(waitFor([&] { return textsIn(program.bookPath()) == merged; }));
    EXPECT_TRUE(program.filesMatching("lk.bok.invalid*").empty());
    EXPECT_EQ(program.exit(), "");
    EXPECT_EQ(textsIn(program.bookPath()), merged);
}
