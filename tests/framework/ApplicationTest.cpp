#include "framework/Application.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Runs a program with its standard output in a file; returns that output.
std::string outputOf(const std::string& program, std::string commandLine, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(output);
    return readText(outputFile);
}

} // namespace

// The strings (in this executable's own resource script) are longer and
// shorter than the loader's first buffer of 256 bytes, and Japanese; a
// string that fills the first buffer used to come back cut, and so did a
// long Japanese one, which the system stops a byte short of the buffer's end
// rather than split a character.
TEST(StringLoading, LengthsAroundTheFirstBufferComeBackWhole) {
    const auto alphabet = [](std::size_t length, char first) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char>(first + i % 26));
        }
        return text;
    };
    const auto repeated = [](const std::string& piece, std::size_t times) {
        std::string text;
        for (std::size_t i = 0; i < times; ++i) {
            text += piece;
        }
        return text;
    };
    const std::pair<UINT, std::string> strings[] = {{9001, alphabet(255, 'a')},
                                                    {9002, alphabet(254, 'a')},
                                                    {9003, alphabet(600, 'A')},
                                                    {9004, "日本語のメモ～"},
                                                    {9005, repeated("あ", 200)}};
    for (const auto& [id, expected] : strings) {
        std::string text;
        EXPECT_TRUE(application().loadString(id, text));
        EXPECT_EQ(text, expected);
    }
    std::string text = "unchanged";
    EXPECT_FALSE(application().loadString(8999, text));
    EXPECT_EQ(text, "unchanged");
}

// The first 256-byte buffer cannot hold a module path of 256 bytes or more.
// Wine starts no executable whose path exceeds MAX_PATH, so the path here is
// 258 bytes: long enough to need the second, larger buffer.
TEST(ModuleDirectory, AModulePathLongerThanTheFirstBufferComesBackWhole) {
    std::string directory;
    application().moduleDirectory(directory);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::string(self).rfind(directory, 0), 0u) << self;
    EXPECT_EQ(directory.back(), '\\');

    const TempFolder root;
    const std::string exeName = "\\app_tests.exe";
    std::string folder = root.path().string();
    for (std::size_t left; (left = 258 - exeName.size() - folder.size()) > 0;) {
        // Each name takes a backslash; the last one must still get a letter.
        folder += "\\" + std::string(left <= 41 ? left - 1 : std::min<std::size_t>(40, left - 3), 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
    }
    const std::string copy = folder + exeName;
    ASSERT_EQ(copy.size(), 258u);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE)) << GetLastError();
    EXPECT_EQ(outputOf(copy, "app_tests.exe --print-module-directory", root.file("out.txt")), folder + "\\");
}

namespace {

// As the system's move and size loops do: the program is ended from inside
// the loop (a posted command, the session ending), and the loop takes the
// WM_QUIT for itself.
void CALLBACK quitInsideAModalLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    application().quit(7);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
}

void CALLBACK quitLate(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(99);
}

} // namespace

// The message loop ends with the code it was given even when a modal loop
// took its WM_QUIT; it used to wait for a quit message that never came.
TEST(MessageLoop, EndsWhenAskedEvenIfAModalLoopTookTheQuitMessage) {
    Application ownApplication;
    SetTimer(nullptr, 0, 10, quitInsideAModalLoop);
    // Should the loop miss the request, a later quit message ends it with
    // another code rather than hang the test.
    const UINT_PTR fallbackTimer = SetTimer(nullptr, 0, 5000, quitLate);
    EXPECT_EQ(ownApplication.run(), 7);
    KillTimer(nullptr, fallbackTimer);
}
