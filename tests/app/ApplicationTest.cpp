#include "app/Application.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT kString255 = 9001;
constexpr UINT kString254 = 9002;
constexpr UINT kString600 = 9003;
constexpr UINT kStringJapanese = 9004;

std::string alphabet(std::size_t length, char first) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char>(first + i % 26));
    }
    return text;
}

// Runs a command and returns what it wrote to standard output.
bool capture(const char* application, const std::string& commandLine, std::string& output, DWORD& exitCode) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return false;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    const BOOL started =
        CreateProcessA(application, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    const DWORD startError = GetLastError();
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        SetLastError(startError);
        return false;
    }
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        output.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    return true;
}

} // namespace

TEST(StringLoading, TheProgramsStringsLoad) {
    const struct {
        UINT id;
        const char* text;
    } strings[] = {{IDS_APP_TITLE, "Leafkeeper"},
                   {IDS_MAIN_CLASS, "LKMAINWND"},
                   {IDS_DOC_CLASS, "LKDOCWND"},
                   {IDS_INI_NAME, "Leafkeeper.ini"}};
    for (const auto& s : strings) {
        std::string text;
        EXPECT_TRUE(application().loadString(s.id, text));
        EXPECT_EQ(text, s.text);
    }
}

TEST(StringLoading, LengthsAroundTheFirstBufferComeBackWhole) {
    std::string text;
    ASSERT_TRUE(application().loadString(kString255, text));
    EXPECT_EQ(text, alphabet(255, 'a'));
    ASSERT_TRUE(application().loadString(kString254, text));
    EXPECT_EQ(text, alphabet(254, 'a'));
    ASSERT_TRUE(application().loadString(kString600, text));
    EXPECT_EQ(text, alphabet(600, 'A'));
    ASSERT_TRUE(application().loadString(kStringJapanese, text));
    EXPECT_EQ(text, "日本語のメモ～");
}

TEST(StringLoading, AMissingStringLeavesTheTextAlone) {
    std::string text = "unchanged";
    EXPECT_FALSE(application().loadString(8999, text));
    EXPECT_EQ(text, "unchanged");
}

TEST(ModuleDirectory, EndsInABackslashAndNamesThisExecutablesFolder) {
    std::string directory;
    application().moduleDirectory(directory);
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::string(path).rfind(directory, 0), 0u) << path;
}

// The first 256-byte buffer cannot hold a module path of 256 bytes or more.
// Wine starts no executable whose path exceeds MAX_PATH, so the path here is
// 258 bytes: long enough to need the second, larger buffer.
TEST(ModuleDirectory, AModulePathLongerThanTheFirstBufferComesBackWhole) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string exeName = "\\app_tests.exe";
    const std::string root = std::string(temp) + "lk-long-" + std::to_string(GetCurrentProcessId());
    std::string folder = root;
    std::vector<std::string> created{root};
    CreateDirectoryA(root.c_str(), nullptr);
    const std::size_t wanted = 258 - exeName.size();
    while (folder.size() < wanted) {
        const std::size_t step = std::min<std::size_t>(40, wanted - folder.size() - 1);
        folder += "\\" + std::string(step == 0 ? 1 : step, 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            << GetLastError();
        created.push_back(folder);
    }
    const std::string copy = folder + exeName;
    ASSERT_EQ(copy.size(), 258u);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE)) << GetLastError();

    std::string output;
    DWORD exitCode = 1;
    ASSERT_TRUE(capture(copy.c_str(), "app_tests.exe --print-module-directory", output, exitCode)) << GetLastError();
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(output, folder + "\\");

    DeleteFileA(copy.c_str());
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
        RemoveDirectoryA(it->c_str());
    }
}

TEST(ToolTips, ToolsAreAddedToTheSharedTooltipWindow) {
    ASSERT_NE(application().toolTip, nullptr);
    char className[32] = {};
    GetClassNameA(application().toolTip, className, sizeof className);
    EXPECT_STREQ(className, TOOLTIPS_CLASSA);
    EXPECT_TRUE(GetWindowLongA(application().toolTip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongA(application().toolTip, GWL_STYLE) & (TTS_NOPREFIX | TTS_ALWAYSTIP),
              TTS_NOPREFIX | TTS_ALWAYSTIP);

    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    const LRESULT before = SendMessageA(application().toolTip, TTM_GETTOOLCOUNT, 0, 0);
    const RECT rect{0, 0, 16, 16};
    EXPECT_TRUE(application().addToolTip(window, "閉じる", rect));
    EXPECT_EQ(SendMessageA(application().toolTip, TTM_GETTOOLCOUNT, 0, 0), before + 1);

    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.uId = 0;
    char text[80] = {};
    tool.lpszText = text;
    SendMessageA(application().toolTip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "閉じる");
    DestroyWindow(window);
}
