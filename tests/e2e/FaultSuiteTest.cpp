// Faults a user's machine can throw at the program: places it cannot write,
// a full disk, damaged book files and damaged settings. Every case ends with a check that nothing
// the user wrote was lost.
#include "support/BookFiles.h"
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

// A write that fails while the program runs (no new file can be made, the
// disk is full, the rename is refused) is reported, naming the book; Cancel
// writes a recovery file. At exit Retry asks again while the write still
// fails, and Cancel keeps the latest typing in another recovery file. The
// book file is never touched.
TEST(FaultSuite, AFailingWriteIsReportedAndTheBookKeptInARecoveryFile) {
    for (const char* fault : {"fail-open", "fail-write", "fail-replace"}) {
        SCOPED_TRACE(fault);
        ProgramUnderTest program(fault);
        program.writePageAndNote();
        const std::string before = program.read("lk.bok");
        ASSERT_TRUE(program.start());
        ProgramUnderTest::type(program.editor(), "cannot be written");
        const std::string message = program.answerDialog(IDCANCEL);
        EXPECT_NE(message.find(program.bookPath()), std::string::npos) << message;
        EXPECT_EQ(textsIn(ProgramUnderTest::recoveryFileNamedIn(message)),
                  (Texts{"cannot be written", "note at start"}));
        ProgramUnderTest::type(program.editor(), "still cannot be written");
        PostMessageA(program.mainWindow(), WM_COMMAND, 111, 0);
        EXPECT_NE(program.answerDialog(IDRETRY).find(program.bookPath()), std::string::npos);
        EXPECT_EQ(textsIn(program.exit(WM_NULL)), (Texts{"still cannot be written", "note at start"}));
        EXPECT_EQ(program.read("lk.bok"), before);
        EXPECT_EQ(program.filesMatching("*.tmp"), std::vector<std::string>{});
    }
}

// Settings damaged or edited by hand, naming a place that cannot be written:
// the window gets the default size on a screen, and the sample page is kept
// in the book file or, when that cannot be written, in a recovery file.
TEST(FaultSuite, DamagedSettingsStillGiveAUsableWindowAndKeepTheBook) {
    const char* const settings[] = {
        "[Status]\r\nLeft=abc\r\nTop=x1\r\nRight=\r\nBottom=--\r\nShow Page=page\r\n[Option]\r\nBegin Page=first\r\n",
        "[Status]\r\nLeft=99999999999\r\nTop=-99999999999\r\nRight=2147483647\r\nBottom=2147483647\r\n",
        "[Status]\r\nLeft=5000\r\nTop=4000\r\nRight=5300\r\nBottom=4150\r\n",
        "[Status]\r\nShow Page=99999\r\n[Option]\r\nBegin Page=2000000000\r\nSave File=Q:\\nowhere\\lk.bok\r\n",
        "[Option]\r\nBegin Page=-99999\r\nSave File=C:\\windows\r\n",
    };
    for (const char* ini : settings) {
        SCOPED_TRACE(ini);
        ProgramUnderTest program;
        program.write("Leafkeeper.ini", ini);
        ASSERT_TRUE(program.start());
        RECT rect{};
        GetWindowRect(program.mainWindow(), &rect);
        EXPECT_EQ(rect.right - rect.left, 300);
        EXPECT_EQ(rect.bottom - rect.top, 150);
        EXPECT_NE(MonitorFromPoint(POINT{rect.left + 5, rect.top + 5}, MONITOR_DEFAULTTONULL), nullptr);
        const std::string recovery = program.exit();
        const std::string book = recovery.empty() ? program.iniValue("Option", "Save File") : recovery;
        EXPECT_EQ(textsIn(book, &Page::title), Texts{"サンプルページ"}) << book;
    }
}

// Places the book cannot be written to: a folder under /proc, where nothing
// can be made; a folder in place of the book file from the start; the book
// file replaced by a folder while the program runs. The typing goes to a
// recovery file and the folder is left alone.
TEST(FaultSuite, APlaceThatCannotBeWrittenKeepsTheTypingInARecoveryFile) {
    for (const int place : {0, 1, 2}) {
        SCOPED_TRACE(place);
        ProgramUnderTest program;
        program.write("Leafkeeper.ini", std::string("[Option]\r\nBegin Page=0\r\n") +
                                            (place == 0 ? "Save File=Z:\\proc\\leafkeeper\\lk.bok\r\n" : ""));
        if (place == 2) {
            writeBook(program.bookPath(), {{"page", "written before"}});
        }
        ASSERT_TRUE(place != 1 || CreateDirectoryA(program.bookPath().c_str(), nullptr));
        ASSERT_TRUE(program.start());
        ASSERT_TRUE(place != 2 ||
                    (DeleteFileA(program.bookPath().c_str()) && CreateDirectoryA(program.bookPath().c_str(), nullptr)));
        ProgramUnderTest::type(program.editor(), "nowhere to go");
        EXPECT_EQ(textsIn(program.exit()), Texts{"nowhere to go"});
        EXPECT_TRUE(place == 0 || std::filesystem::is_directory(program.bookPath()));
    }
}

namespace {

std::string twoPageBook() {
    const TempFolder folder;
    writeBook(folder.file("book.bok"),
              {{"サンプルページ", "Leafkeeperをご使用いただきありがとうございます。"}, {"予定", "月 会議\r\n火"}});
    return readText(folder.file("book.bok"));
}

// Offsets of the page count and of the four length fields of every record.
std::vector<std::size_t> countAndLengthOffsets(const std::string& book) {
    std::vector<std::size_t> offsets{9};
    for (std::size_t record = 13; record < book.size();) {
        std::size_t at = record + 54;
        for (int field = 0; field < 4; ++field) {
            std::uint32_t length = 0; // little-endian, as the machine
            std::memcpy(&length, &book[at], sizeof length);
            offsets.push_back(at);
            at += 4 + length + (field == 0 ? 12 : 0); // the face name is followed by the times
        }
        record = at;
    }
    return offsets;
}

} // namespace

// Every truncation of a real book, flipped bits in its count and lengths, a
// count of 0xFFFFFFFF and lengths of 0x7FFFFFFF: the program refuses the file
// with the invalid-book message and keeps it aside, or starts on it normally
// when it still is a book; it never ends and never writes over the file.
TEST(FaultSuite, DamagedBookFilesAreRefusedOrReadButNeverWrittenOver) {
    const std::string book = twoPageBook();
    std::vector<std::string> damaged;
    for (std::size_t length = 0; length < book.size(); ++length) {
        damaged.push_back(book.substr(0, length));
    }
    for (const std::size_t offset : countAndLengthOffsets(book)) {
        for (std::size_t byte = offset; byte < offset + 4; ++byte) {
            for (const char flip : {'\x01', '\x80'}) {
                damaged.push_back(book);
                damaged.back()[byte] ^= flip;
            }
        }
        damaged.push_back(book);
        const std::uint32_t huge = offset == 9 ? 0xFFFFFFFFu : 0x7FFFFFFFu;
        std::memcpy(&damaged.back()[offset], &huge, sizeof huge);
    }
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(testing::Message() << "the book cut at " << bytes.size() << " or changed at byte "
                                        << std::mismatch(bytes.begin(), bytes.end(), book.begin()).first -
                                               bytes.begin());
        ProgramUnderTest program;
        program.write("lk.bok", bytes);
        ASSERT_TRUE(program.start());
        // The book is read before the window shows: the refusal comes first
        // or not at all.
        HWND refusal = nullptr;
        ASSERT_TRUE(waitFor([&] {
            refusal = findDialog(program.processId());
            return refusal || IsWindowVisible(program.mainWindow());
        }));
        const bool refused = refusal != nullptr;
        if (refused) {
            EXPECT_EQ(program.answerDialog(IDOK), BookFile::invalidBookMessage);
        }
        EXPECT_TRUE(IsWindowVisible(program.mainWindow()));
        EXPECT_EQ(program.exit(), "");
        Book read;
        EXPECT_TRUE(refused ? program.read("lk.bok.invalid") == bytes : read.load(program.bookPath()));
    }
}
