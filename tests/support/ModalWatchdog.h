#pragma once

#include "support/Dialogs.h"

#include <windows.h>

#include <functional>
#include <vector>

// Ends every dialog and property sheet of this thread still open after the
// time limit, so a script that lost its dialog fails the test instead of
// leaving it inside a modal loop for ever. One at a time.
class ModalWatchdog {
public:
    explicit ModalWatchdog(UINT limitMilliseconds = 20000);
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;
    ~ModalWatchdog();

    bool fired() const { return hasFired; }

    // The result a dialog ended by the watchdog returns.
    static constexpr int kAbandoned = -2;

private:
    static void CALLBACK expire(HWND, UINT, UINT_PTR, DWORD);

    UINT_PTR timer = 0;
    bool hasFired = false;
};

// Runs `modal`, which sits in a modal loop on this thread, while `steps` drive
// the dialogs it shows from another thread, under a watchdog; fails the test
// when a step did not run or the watchdog had to end a dialog. Returns what
// `modal` returned.
int runScripted(const std::function<int()>& modal, std::vector<DialogScript::Step> steps);
