#include "ProgramUnderTest.h"

#include "support/Dialogs.h"

#include <fstream>
#include <iterator>
#include <random>
#include <set>

namespace {

std::string windowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeFolder(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
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
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::random_device random;
    folderPath = std::string(temp) + "lk-e2e-" + std::to_string(random() % 1000000000);
    CreateDirectoryA(folderPath.c_str(), nullptr);
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
    removeFolder(folderPath);
}

bool ProgramUnderTest::exists(const std::string& name) const {
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ProgramUnderTest::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ProgramUnderTest::write(const std::string& name, const std::string& contents) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << contents;
}

bool ProgramUnderTest::start() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + file("Leafkeeper.exe") + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folderPath.c_str(), &startup,
                        &process)) {
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
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION second{};
    std::string command = "\"" + file("Leafkeeper.exe") + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folderPath.c_str(), &startup,
                        &second)) {
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

namespace {

struct PaneSearch {
    const char* childClass;
    HWND pane;
};

BOOL CALLBACK considerPane(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PaneSearch*>(context);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "LKDOCWND") {
        return TRUE;
    }
    if (FindWindowExA(window, nullptr, search->childClass, nullptr)) {
        search->pane = window;
        return FALSE;
    }
    return TRUE;
}

HWND paneHolding(HWND main, const char* childClass) {
    PaneSearch search{childClass, nullptr};
    if (main) {
        EnumChildWindows(main, considerPane, reinterpret_cast<LPARAM>(&search));
    }
    return search.pane;
}

} // namespace

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
        std::set<HWND> exclude;
        if (previous) {
            exclude.insert(previous);
        }
        if (HWND dialog = findDialog(process.dwProcessId, exclude)) {
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
