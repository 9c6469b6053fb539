#include "ProgramUnderTest.h"

#include "support/BookFiles.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

// True as soon as the condition holds: asked once more at the end, a state
// the program passes through (a list being refilled) could read false.
bool waitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        Sleep(20);
    }
}

// The executables are given at build time as Unix paths, seen through Wine's Z: drive.
ProgramUnderTest::ProgramUnderTest(const char* fault) {
    std::string executable = fault ? LEAFKEEPER_FAULTY_EXE : LEAFKEEPER_EXE;
    std::replace(executable.begin(), executable.end(), '/', '\\');
    CopyFileA(("Z:" + executable).c_str(), file("Leafkeeper.exe").c_str(), FALSE);
    SetEnvironmentVariableA("LK_FAULT", fault);
}

std::string ProgramUnderTest::iniValue(const char* section, const char* key) const {
    char value[512] = {};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file("Leafkeeper.ini").c_str());
    return value;
}

std::vector<std::string> ProgramUnderTest::filesMatching(const std::string& pattern) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(file(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void ProgramUnderTest::writePageAndNote(const std::string& options) const {
    writeBook(bookPath(), {{"page", "page at start"}, {"note", "note at start", true}});
    write("Leafkeeper.ini", "[Option]\r\nBegin Page=0\r\n" + options);
}

bool ProgramUnderTest::start() {
    kill();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + file("Leafkeeper.exe") + "\"";
    const bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        temporary.path().string().c_str(), &startup, &process) &&
                         waitFor([this] { return mainWindow() != nullptr; });
    settle();
    return started;
}

std::string ProgramUnderTest::exit(UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(mainWindow(), message, wParam, lParam);
    std::string recovery;
    for (int wait = 0; wait < 100 && WaitForSingleObject(process.hProcess, 200) == WAIT_TIMEOUT; ++wait) {
        if (findDialog(process.dwProcessId)) {
            const std::string named = recoveryFileNamedIn(answerDialog(IDCANCEL));
            recovery = named.empty() ? recovery : named;
        }
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    return recovery;
}

bool ProgramUnderTest::ended(DWORD milliseconds) {
    DWORD exitCode = 1;
    return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process.hProcess, &exitCode) && exitCode == 0;
}

void ProgramUnderTest::kill() {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
}

std::vector<HWND> ProgramUnderTest::windowsOfClass(const char* className) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr;) {
        found.push_back(window);
    }
    return found;
}

HWND ProgramUnderTest::paneControl(const char* className) const {
    HWND control = nullptr;
    for (HWND pane = nullptr; !control && (pane = FindWindowExA(mainWindow(), pane, "LKDOCWND", nullptr));) {
        control = FindWindowExA(pane, nullptr, className, nullptr);
    }
    return control;
}

HWND ProgramUnderTest::waitForDialog(HWND previous, DWORD milliseconds) const {
    HWND dialog = nullptr;
    waitFor([&] { return (dialog = findDialog(process.dwProcessId, {previous})) != nullptr; }, milliseconds);
    settle();
    return dialog;
}

void ProgramUnderTest::settle() const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    WaitForInputIdle(process.hProcess, 5000);
}

void ProgramUnderTest::handledPosted(HWND window) const {
    for (const bool topmost : {true, false}) {
        PostMessageA(window, WM_COMMAND, 110, 0);
        EXPECT_TRUE(waitFor([&] { return ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) == topmost; }));
    }
}

std::vector<HWND> ProgramUnderTest::dialogs() const {
    std::set<HWND> found;
    while (const HWND dialog = findDialog(process.dwProcessId, found)) {
        found.insert(dialog);
    }
    return std::vector<HWND>(found.begin(), found.end());
}

// A message box keeps its text in the static control 0xFFFF. The program
// carries on once the box is gone.
std::string ProgramUnderTest::answerDialog(int button) const {
    const HWND dialog = waitForDialog();
    const std::string message = dialog ? dialogItemText(dialog, 0xFFFF) : "<no dialog>";
    clickButton(dialog, button);
    EXPECT_TRUE(waitUntilGone(dialog, 10000));
    settle();
    return message;
}

void ProgramUnderTest::type(HWND editor, const char* text) {
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

std::string ProgramUnderTest::recoveryFileNamedIn(const std::string& message) {
    const auto named = message.find("lk-recovered-");
    return named == std::string::npos ? std::string() : message.substr(message.rfind("\r\n", named) + 2);
}
