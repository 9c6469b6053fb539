#include "support/Dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    const std::set<HWND>* exclude;
    HWND found;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || search->exclude->count(window)) {
        return TRUE;
    }
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770") {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

HWND findDialog(DWORD processId, const std::set<HWND>& exclude) {
    Search search{processId, &exclude, nullptr};
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// WM_GETTEXT rather than GetWindowTextA: for a window of another process the
// latter returns only the stored caption, never an edit control's text.
std::string windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) {
        return std::string();
    }
    std::vector<char> buffer(length + 2);
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL, 5000,
                        &copied);
    return std::string(buffer.data(), std::min<std::size_t>(copied, length));
}

std::string dialogItemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

void clickButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DialogScript::DialogScript(std::vector<Step> scriptSteps, DWORD process, DWORD timeoutMilliseconds)
    : steps(std::move(scriptSteps)), processId(process), timeout(timeoutMilliseconds), worker([this] { runSteps(); }) {}

DialogScript::~DialogScript() {
    wait();
}

bool DialogScript::wait() {
    if (worker.joinable()) {
        worker.join();
    }
    return finished();
}

void DialogScript::runSteps() {
    std::set<HWND> handled;
    const DWORD start = GetTickCount();
    for (const Step& step : steps) {
        HWND dialog = nullptr;
        while (!dialog) {
            if (GetTickCount() - start > timeout) {
                return;
            }
            // A destroyed dialog's handle value may come back for the next one.
            for (auto it = handled.begin(); it != handled.end();) {
                it = IsWindow(*it) ? std::next(it) : handled.erase(it);
            }
            dialog = findDialog(processId, handled);
            if (!dialog) {
                Sleep(20);
            }
        }
        // Let the dialog finish its initialisation before it is driven.
        Sleep(100);
        handled.insert(dialog);
        step(dialog);
        ++completed;
    }
}
