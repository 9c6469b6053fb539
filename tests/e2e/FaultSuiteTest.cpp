// Faults a user's machine can throw at the program: places it cannot write,
// a full disk, damaged book files and damaged settings. Every case ends with
// a check that nothing the user wrote was lost.
#include "BookFiles.h"
#include "ProgramUnderTest.h"
#include "book/BookFile.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

constexpr int kExit = 111;
constexpr const char* kInvalidBook = "不正なブックファイルです。データを読み込むことができません。";

// Ends the program with its menu item; a failing save is answered with Cancel,
// which writes the recovery file the message names. Returns that file's name,
// empty when no failure was reported.
std::string exitAcceptingRecovery(ProgramUnderTest& program) {
    program.postCommand(program.mainWindow(), kExit);
    std::string recovery;
    DWORD exitCode = 1;
    while (!program.waitForExit(exitCode, 200)) {
        if (HWND dialog = findDialog(program.processId())) {
            Sleep(100);
            const std::string message = dialogItemText(dialog, 0xFFFF);
            if (!ProgramUnderTest::recoveryFileNamedIn(message).empty()) {
                recovery = ProgramUnderTest::recoveryFileNamedIn(message);
            }
            clickButton(dialog, IDCANCEL);
            for (int i = 0; i < 100 && IsWindow(dialog); ++i) {
                Sleep(20);
            }
        }
    }
    EXPECT_EQ(exitCode, 0u);
    return recovery;
}

void writeOnePageBook(const ProgramUnderTest& program) {
    writeBook(program.bookPath(), {{"page", "written before"}});
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\n");
}

} // namespace

TEST(FaultSuite, AReadOnlyPlaceKeepsTheBookInARecoveryFile) {
    // Nothing can be created under /proc, not even by the superuser.
    ProgramUnderTest program;
    program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\nSave File=Z:\\proc\\leafkeeper\\lk.bok\r\n");
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "nowhere to go");
    const std::string recovery = exitAcceptingRecovery(program);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ProgramUnderTest::textsIn(recovery), std::vector<std::string>{"nowhere to go"});
}

TEST(FaultSuite, AFolderThatRefusesNewFilesKeepsTheOldBookIntact) {
    // What a read-only folder does to the save: the temporary file cannot be made.
    ProgramUnderTest program(ProgramUnderTest::Build::Faulty);
    writeOnePageBook(program);
    const std::string before = program.read("lk.bok");
    SetEnvironmentVariableA("LK_FAULT", "fail-open");
    const bool started = program.start();
    SetEnvironmentVariableA("LK_FAULT", nullptr);
    ASSERT_TRUE(started);
    ProgramUnderTest::type(program.editor(), "typed while read-only");
    const std::string recovery = exitAcceptingRecovery(program);
    EXPECT_EQ(program.read("lk.bok"), before);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ProgramUnderTest::textsIn(recovery), std::vector<std::string>{"typed while read-only"});
}

TEST(FaultSuite, ABookFileReplacedByAFolderAtExit) {
    ProgramUnderTest program;
    writeOnePageBook(program);
    ASSERT_TRUE(program.start());
    ProgramUnderTest::type(program.editor(), "typed before the folder appeared");
    ASSERT_TRUE(DeleteFileA(program.bookPath().c_str()));
    ASSERT_TRUE(CreateDirectoryA(program.bookPath().c_str(), nullptr));
    const std::string recovery = exitAcceptingRecovery(program);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ProgramUnderTest::textsIn(recovery), std::vector<std::string>{"typed before the folder appeared"});
    EXPECT_TRUE(GetFileAttributesA(program.bookPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FaultSuite, AFullDiskWhileSavingLosesNothing) {
    ProgramUnderTest program(ProgramUnderTest::Build::Faulty);
    writeOnePageBook(program);
    const std::string before = program.read("lk.bok");
    SetEnvironmentVariableA("LK_FAULT", "fail-write");
    const bool started = program.start();
    SetEnvironmentVariableA("LK_FAULT", nullptr);
    ASSERT_TRUE(started);
    ProgramUnderTest::type(program.editor(), "while the disk was full");
    // The save a few seconds later fails and is reported.
    HWND report = program.waitForDialog(15000);
    ASSERT_NE(report, nullptr);
    const std::string firstRecovery = ProgramUnderTest::recoveryFileNamedIn(dialogItemText(report, 0xFFFF));
    clickButton(report, IDCANCEL);
    ASSERT_TRUE(program.waitForNoDialog());
    EXPECT_EQ(ProgramUnderTest::textsIn(firstRecovery), std::vector<std::string>{"while the disk was full"});
    ProgramUnderTest::type(program.editor(), "more while the disk was full");
    const std::string recovery = exitAcceptingRecovery(program);
    EXPECT_EQ(program.read("lk.bok"), before);
    EXPECT_FALSE(program.exists("lk.bok.tmp"));
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ProgramUnderTest::textsIn(recovery), std::vector<std::string>{"more while the disk was full"});
}

namespace {

// Starts the program on `damaged` as its book file; answers the invalid-book
// message if one comes; checks it keeps running with a usable window; ends
// it; and checks the damaged bytes were kept, never written over.
void expectDamagedFileSurvives(const std::string& damaged, const std::string& name) {
    SCOPED_TRACE(name);
    ProgramUnderTest program;
    program.write("lk.bok", damaged);
    ASSERT_TRUE(program.start()) << "the program did not start";
    bool refused = false;
    if (HWND dialog = program.waitForDialog(1500)) {
        EXPECT_EQ(dialogItemText(dialog, 0xFFFF), kInvalidBook);
        clickButton(dialog, IDOK);
        ASSERT_TRUE(program.waitForNoDialog());
        refused = true;
    }
    ASSERT_TRUE(program.running()) << "the program ended";
    EXPECT_TRUE(IsWindowVisible(program.mainWindow()));
    exitAcceptingRecovery(program);
    if (refused) {
        EXPECT_EQ(program.read("lk.bok.invalid"), damaged);
    } else {
        // Only a file that still is a sound book may start normally.
        Book book;
        EXPECT_NO_THROW(EXPECT_TRUE(book.load(program.file("lk.bok"))));
    }
}

std::string realBook() {
    const TempFolder folder;
    writeBook(folder.file("book.bok"),
              {{"サンプルページ", "Leafkeeperをご使用いただきありがとうございます。"}, {"予定", "月 会議\r\n火"}});
    return readText(folder.file("book.bok"));
}

void putU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
    }
}

// Offsets of the page count and of every length field of the book's records.
std::vector<std::size_t> countAndLengthOffsets(const std::string& book) {
    std::vector<std::size_t> offsets{9};
    std::size_t record = 13;
    const auto u32 = [&](std::size_t at) {
        std::uint32_t value = 0; // little-endian, as the machine
        std::memcpy(&value, &book[at], sizeof value);
        return value;
    };
    while (record < book.size()) {
        std::size_t at = record + 54;
        for (int field = 0; field < 4; ++field) {
            offsets.push_back(at);
            at += 4 + u32(at) + (field < 2 ? (field == 0 ? 12 : 0) : 0);
        }
        record = at;
    }
    return offsets;
}

} // namespace

TEST(FaultSuite, EveryTruncationOfARealBook) {
    const std::string book = realBook();
    for (std::size_t length = 0; length < book.size(); ++length) {
        expectDamagedFileSurvives(book.substr(0, length), "cut at " + std::to_string(length));
    }
}

TEST(FaultSuite, FlippedBytesInCountsAndLengths) {
    const std::string book = realBook();
    for (std::size_t offset : countAndLengthOffsets(book)) {
        for (int byte = 0; byte < 4; ++byte) {
            for (unsigned char flip : {0x01, 0x80}) {
                std::string damaged = book;
                damaged[offset + byte] = static_cast<char>(damaged[offset + byte] ^ flip);
                expectDamagedFileSurvives(damaged, "offset " + std::to_string(offset + byte) + " ^ " +
                                                       std::to_string(flip));
            }
        }
    }
}

TEST(FaultSuite, ImpossibleCountsAndLengthsAndEmptyFiles) {
    const std::string book = realBook();
    std::string hugeCount = book;
    putU32(hugeCount, 9, 0xFFFFFFFF);
    expectDamagedFileSurvives(hugeCount, "count 0xFFFFFFFF");
    for (std::size_t offset : countAndLengthOffsets(book)) {
        if (offset == 9) {
            continue;
        }
        std::string hugeLength = book;
        putU32(hugeLength, offset, 0x7FFFFFFF);
        expectDamagedFileSurvives(hugeLength, "length 0x7FFFFFFF at " + std::to_string(offset));
    }
    expectDamagedFileSurvives(std::string(), "zero-length file");
}

TEST(FaultSuite, AFolderInPlaceOfTheBookFile) {
    ProgramUnderTest program;
    ASSERT_TRUE(CreateDirectoryA(program.bookPath().c_str(), nullptr));
    ASSERT_TRUE(program.start());
    EXPECT_EQ(SendMessageA(program.listBox(), LB_GETCOUNT, 0, 0), 1); // the sample page
    const std::string recovery = exitAcceptingRecovery(program);
    ASSERT_FALSE(recovery.empty());
    EXPECT_EQ(ProgramUnderTest::textsIn(recovery).size(), 1u);
    EXPECT_TRUE(GetFileAttributesA(program.bookPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FaultSuite, DamagedSettingsStillGiveAUsableWindow) {
    struct Case {
        const char* name;
        const char* status;
        const char* option;
    };
    const Case cases[] = {
        {"not numbers", "Left=abc\r\nTop=x1\r\nRight=\r\nBottom=--\r\nShow Page=page\r\n", "Begin Page=first\r\n"},
        {"huge numbers", "Left=99999999999\r\nTop=-99999999999\r\nRight=2147483647\r\nBottom=2147483647\r\n", ""},
        {"a negative rectangle", "Left=600\r\nTop=500\r\nRight=100\r\nBottom=50\r\n", ""},
        {"a zero rectangle", "Left=0\r\nTop=0\r\nRight=0\r\nBottom=0\r\n", ""},
        {"a far Begin Page", "", "Begin Page=2000000000\r\n"},
        {"a far negative Begin Page", "Show Page=99999\r\n", "Begin Page=-99999\r\n"},
        {"Save File naming a folder", "", "Save File=C:\\windows\r\n"},
        {"Save File on a missing drive", "", "Save File=Q:\\nowhere\\lk.bok\r\n"},
        {"an empty Save File", "", "Save File=\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramUnderTest program;
        program.write("Leafkeeper.ini", std::string("[Status]\r\n") + c.status + "[Option]\r\n" + c.option);
        ASSERT_TRUE(program.start());
        HWND main = program.mainWindow();
        EXPECT_TRUE(IsWindowVisible(main));
        RECT rect{};
        GetWindowRect(main, &rect);
        EXPECT_GE(rect.right - rect.left, 40);
        EXPECT_GE(rect.bottom - rect.top, 40);
        EXPECT_LE(rect.right - rect.left, 4000);
        POINT corner{rect.left + 5, rect.top + 5};
        EXPECT_NE(MonitorFromPoint(corner, MONITOR_DEFAULTTONULL), nullptr) << rect.left << "," << rect.top;
        EXPECT_TRUE(IsWindowVisible(program.pageListPane()) || IsWindowVisible(program.pageViewPane()));
        const std::string recovery = exitAcceptingRecovery(program);
        // The sample page is somewhere: in the book file or in a recovery file.
        char saved[MAX_PATH] = {};
        GetPrivateProfileStringA("Option", "Save File", "", saved, sizeof saved, program.iniPath().c_str());
        const auto texts = recovery.empty() ? ProgramUnderTest::textsIn(saved) : ProgramUnderTest::textsIn(recovery);
        EXPECT_EQ(texts.size(), 1u) << saved << " / " << recovery;
    }
}
