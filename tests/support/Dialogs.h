#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Finding and answering the dialogs, message boxes and property sheets that
// a modal loop shows, from another thread or another process.

// A visible top-level dialog (class "#32770") of the process that is not in
// `exclude`; null when there is none.
HWND findDialog(DWORD processId, const std::set<HWND>& exclude = {});
std::string windowText(HWND window);
std::string dialogItemText(HWND dialog, int id);
// Posted, so a click that opens another modal loop does not block the caller.
void clickButton(HWND dialog, int id);

// Runs its steps on a background thread, each on the next dialog that
// appears, while the test thread sits in the modal loop that shows them.
class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit DialogScript(std::vector<Step> steps, DWORD processId = GetCurrentProcessId(),
                          DWORD timeoutMilliseconds = 15000);
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    // Waits for the steps, or for the time limit.
    ~DialogScript();

    int stepsRun() const { return completed.load(); }
    bool finished() const { return completed.load() == static_cast<int>(steps.size()); }
    // Blocks until every step ran or the time is up; true when all ran.
    bool wait();

private:
    void runSteps();

    std::vector<Step> steps;
    DWORD processId;
    DWORD timeout;
    std::atomic<int> completed{0};
    std::thread worker;
};
