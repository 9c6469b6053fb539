#include "LaunchedProcess.h"

#include <psapi.h>

#include <cstring>

namespace {

constexpr DWORD kPollMilliseconds = 5;

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, search->className) != 0) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

LRESULT sendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMilliseconds) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMilliseconds, &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

LaunchedProcess::~LaunchedProcess() {
    if (!info.hProcess) {
        return;
    }
    if (running()) {
        kill();
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

bool LaunchedProcess::start(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = commandLine;
    sinceStart.restart();
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info) == TRUE;
}

bool LaunchedProcess::running() const {
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND LaunchedProcess::visibleWindow(const char* className) const {
    WindowSearch search{info.dwProcessId, className, nullptr};
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Idle is judged three ways, since WaitForInputIdle waits only for the first
// time the process went idle: WaitForInputIdle, a sent WM_NULL (answered only
// once the thread takes messages again) and RedrawWindow with RDW_UPDATENOW,
// which has the window's thread paint whatever is still invalid before it
// returns.
double LaunchedProcess::waitUntilShownAndIdle(const char* className, const std::function<bool(HWND)>& ready,
                                              DWORD timeoutMilliseconds) {
    while (running() && elapsed() < timeoutMilliseconds) {
        const HWND window = visibleWindow(className);
        if (window && ready(window)) {
            WaitForInputIdle(info.hProcess, timeoutMilliseconds);
            sendTo(window, WM_NULL, 0, 0, timeoutMilliseconds);
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            return elapsed();
        }
        Sleep(kPollMilliseconds);
    }
    return -1;
}

double LaunchedProcess::waitForExit(const Stopwatch& since, DWORD timeoutMilliseconds) const {
    if (WaitForSingleObject(info.hProcess, timeoutMilliseconds) != WAIT_OBJECT_0) {
        return -1;
    }
    return since.milliseconds();
}

void LaunchedProcess::kill() {
    TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, 10000);
}

bool LaunchedProcess::memory(double& peakBytes, double& currentBytes) const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters)) {
        return false;
    }
    peakBytes = static_cast<double>(counters.PeakWorkingSetSize);
    currentBytes = static_cast<double>(counters.WorkingSetSize);
    return true;
}
