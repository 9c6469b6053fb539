#include "framework/ModalLoop.h"

#include "framework/Application.h"

#include <cstring>

namespace {

// How many modal loops are open, nested in one another. Process-wide: the
// program runs every window on one thread.
int openLoops = 0;

constexpr char kDialogClass[] = "#32770";

// The dialog the user should answer: of this thread's visible dialogs the
// topmost one that is enabled (a sheet that opened a colour dialog is
// disabled while the colour dialog is open).
BOOL CALLBACK findAnswerableDialog(HWND window, LPARAM found) {
    char className[sizeof kDialogClass + 1] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, kDialogClass) != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

} // namespace

ModalLoop::ModalLoop() {
    ++openLoops;
}

ModalLoop::~ModalLoop() {
    --openLoops;
}

bool ModalLoop::running() {
    return openLoops > 0;
}

bool ModalLoop::bringForward() {
    if (!running()) {
        return false;
    }
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findAnswerableDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog) {
        SetForegroundWindow(dialog);
    }
    return true;
}

int messageBox(HWND owner, const std::string& text, UINT flags) {
    return messageBox(owner, text, application().title, flags);
}

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    const ModalLoop loop;
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}
