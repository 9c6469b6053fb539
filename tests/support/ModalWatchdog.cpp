#include "support/ModalWatchdog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

ModalWatchdog* activeWatchdog = nullptr;
// The first firing ends the dialogs; later ones (every second) end the
// dialogs that the first one's ending uncovered.
constexpr UINT kRepeatMilliseconds = 1000;

BOOL CALLBACK endDialogWindow(HWND window, LPARAM) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770") {
        return TRUE;
    }
    // A sheet's Cancel can be refused by its pages (or, without pages, do
    // nothing at all); destroying the sheet ends PropertySheetA regardless.
    if (FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr)) {
        DestroyWindow(window);
    } else {
        EndDialog(window, ModalWatchdog::kAbandoned);
    }
    return TRUE;
}

} // namespace

ModalWatchdog::ModalWatchdog(UINT limitMilliseconds) {
    activeWatchdog = this;
    timer = SetTimer(nullptr, 0, limitMilliseconds, expire);
}

ModalWatchdog::~ModalWatchdog() {
    KillTimer(nullptr, timer);
    activeWatchdog = nullptr;
}

void CALLBACK ModalWatchdog::expire(HWND, UINT, UINT_PTR id, DWORD) {
    if (!activeWatchdog || activeWatchdog->timer != id) {
        return;
    }
    activeWatchdog->hasFired = true;
    activeWatchdog->timer = SetTimer(nullptr, id, kRepeatMilliseconds, expire);
    EnumThreadWindows(GetCurrentThreadId(), endDialogWindow, 0);
}

int runScripted(const std::function<int()>& modal, std::vector<DialogScript::Step> steps) {
    ModalWatchdog watchdog;
    DialogScript script(std::move(steps));
    const int result = modal();
    EXPECT_TRUE(script.wait()) << "steps run: " << script.stepsRun();
    EXPECT_FALSE(watchdog.fired());
    return result;
}
