#include "ProgramUnderTest.h"

#include "book/BookFile.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return !path.empty() && path[0] == '\\' ? "Z:" + path : path;
}

// Starts the copied program in its folder.
bool launch(const ProgramUnderTest& program, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + program.file("Leafkeeper.exe") + "\"";
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, program.folder().c_str(),
                          &startup, &process) != FALSE;
}

struct ClassSearch {
    DWORD processId;
    const char* className;
    std::vector<HWND>* found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ClassSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && std::string(name) == search->className) {
        search->found->push_back(window);
    }
    return TRUE;
}

} // namespace

std::string leafkeeperExecutable() { return windowsPath(LEAFKEEPER_EXE); }

std::string faultyLeafkeeperExecutable() { return windowsPath(LEAFKEEPER_FAULTY_EXE); }

ProgramUnderTest::ProgramUnderTest(Build build) {
    const std::string executable = build == Build::Faulty ? faultyLeafkeeperExecutable() : leafkeeperExecutable();
    CopyFileA(executable.c_str(), file("Leafkeeper.exe").c_str(), FALSE);
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process.hProcess) {
        if (running()) {
            kill();
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

bool ProgramUnderTest::exists(const std::string& name) const {
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ProgramUnderTest::iniValue(const char* section, const char* key) const {
    char value[512] = {};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, iniPath().c_str());
    return value;
}

bool ProgramUnderTest::start() {
    if (!launch(*this, process)) {
        return false;
    }
    WaitForInputIdle(process.hProcess, 15000);
    const DWORD start = GetTickCount();
    while (!mainWindow()) {
        if (!running() || GetTickCount() - start > 15000) {
            return false;
        }
        Sleep(20);
    }
    settle();
    return true;
}

bool ProgramUnderTest::startSecondInstance(DWORD& exitCode, DWORD timeoutMilliseconds) const {
    PROCESS_INFORMATION second{};
    if (!launch(*this, second)) {
        return false;
    }
    const bool ended = WaitForSingleObject(second.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0;
    GetExitCodeProcess(second.hProcess, &exitCode);
    if (!ended) {
        TerminateProcess(second.hProcess, 99);
    }
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    return ended;
}

bool ProgramUnderTest::running() const {
    return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::waitForExit(DWORD& exitCode, DWORD timeoutMilliseconds) {
    if (WaitForSingleObject(process.hProcess, timeoutMilliseconds) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(process.hProcess, &exitCode);
    return true;
}

void ProgramUnderTest::exitNormally() {
    postCommand(mainWindow(), 111);
    DWORD exitCode = 1;
    EXPECT_TRUE(waitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

void ProgramUnderTest::kill() {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 10000);
}

HWND ProgramUnderTest::mainWindow() const {
    const auto windows = windowsOfClass("LKMAINWND");
    return windows.empty() ? nullptr : windows.front();
}

std::vector<HWND> ProgramUnderTest::windowsOfClass(const char* className) const {
    std::vector<HWND> found;
    ClassSearch search{process.dwProcessId, className, &found};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

// The book window's pane (a direct child of class "LKDOCWND") that holds a
// control of the class.
static HWND paneHolding(HWND main, const char* childClass) {
    HWND pane = nullptr;
    while (main && (pane = FindWindowExA(main, pane, "LKDOCWND", nullptr)) != nullptr) {
        if (FindWindowExA(pane, nullptr, childClass, nullptr)) {
            return pane;
        }
    }
    return nullptr;
}

HWND ProgramUnderTest::pageListPane() const { return paneHolding(mainWindow(), "ListBox"); }

HWND ProgramUnderTest::pageViewPane() const { return paneHolding(mainWindow(), "Edit"); }

HWND ProgramUnderTest::listBox() const { return FindWindowExA(pageListPane(), nullptr, "ListBox", nullptr); }

HWND ProgramUnderTest::editor() const { return FindWindowExA(pageViewPane(), nullptr, "Edit", nullptr); }

std::vector<HWND> ProgramUnderTest::floatingWindows() const { return windowsOfClass("LKDOCWND"); }

bool ProgramUnderTest::waitForNoDialog(DWORD timeoutMilliseconds) const {
    const DWORD start = GetTickCount();
    while (findDialog(process.dwProcessId)) {
        if (GetTickCount() - start > timeoutMilliseconds) {
            return false;
        }
        Sleep(20);
    }
    settle();
    return true;
}

HWND ProgramUnderTest::waitForDialog(DWORD timeoutMilliseconds, HWND previous) const {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMilliseconds) {
        if (HWND dialog = findDialog(process.dwProcessId, {previous})) {
            settle();
            return dialog;
        }
        Sleep(20);
    }
    return nullptr;
}

void ProgramUnderTest::settle() const {
    // A sent message returns only after everything posted before it was handled.
    if (HWND window = mainWindow()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }
    WaitForInputIdle(process.hProcess, 5000);
}

void ProgramUnderTest::postCommand(HWND window, int id, int code) const {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

LRESULT ProgramUnderTest::send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

std::string ProgramUnderTest::answerDialog(int button) const {
    const HWND dialog = waitForDialog();
    if (!dialog) {
        return "<no dialog>";
    }
    // A message box keeps its text in the static control 0xFFFF.
    const std::string message = dialogItemText(dialog, 0xFFFF);
    clickButton(dialog, button);
    EXPECT_TRUE(waitForNoDialog());
    return message;
}

void ProgramUnderTest::type(HWND editor, const char* text) {
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

std::vector<std::string> ProgramUnderTest::textsIn(const std::string& path) {
    std::vector<std::unique_ptr<Page>> pages;
    BookFileDamage damage;
    std::vector<std::string> texts;
    if (BookFile::inspect(path, pages, damage) && damage.sound() && damage.trailingBytes == 0) {
        for (const auto& page : pages) {
            texts.push_back(page->text);
        }
    }
    return texts;
}

std::string ProgramUnderTest::recoveryFileNamedIn(const std::string& message) {
    const auto named = message.find("lk-recovered-");
    return named == std::string::npos ? std::string() : message.substr(message.rfind("\r\n", named) + 2);
}
