#pragma once

#include "Stopwatch.h"

#include <windows.h>

#include <functional>
#include <string>

// A process a benchmark driver starts and watches from outside: its windows,
// the moment it is shown and idle, its end and its memory.
class LaunchedProcess {
public:
    LaunchedProcess() = default;
    LaunchedProcess(const LaunchedProcess&) = delete;
    LaunchedProcess& operator=(const LaunchedProcess&) = delete;
    // Kills a process still running.
    ~LaunchedProcess();

    // The clock of the figures starts right before CreateProcessA.
    bool start(const std::string& commandLine, const std::string& folder);
    bool running() const;
    // Milliseconds since start.
    double elapsed() const { return sinceStart.milliseconds(); }

    // A visible top-level window of the process with this class, or null.
    HWND visibleWindow(const char* className) const;
    // Waits for a visible window of the class for which `ready` holds, then
    // until the process has handled everything sent and painted what is
    // invalid. Milliseconds since start, or a negative value when the process
    // ended or the time ran out first.
    double waitUntilShownAndIdle(const char* className, const std::function<bool(HWND)>& ready,
                                 DWORD timeoutMilliseconds);
    // Milliseconds from `since` until the process ended, or negative on timeout.
    double waitForExit(const Stopwatch& since, DWORD timeoutMilliseconds) const;
    void kill();

    // Peak and current working set (VmHWM and VmRSS of the Wine process on
    // Linux), in bytes.
    bool memory(double& peakBytes, double& currentBytes) const;

private:
    PROCESS_INFORMATION info{};
    Stopwatch sinceStart;
};

// A message sent to another process's window and its answer; 0 when the
// window did not answer within the time.
LRESULT sendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, DWORD timeoutMilliseconds = 600000);
