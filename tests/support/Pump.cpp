#include "support/Pump.h"

namespace {
bool dispatchOne() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}
} // namespace

void flushEvents(DWORD quietMilliseconds, DWORD limitMilliseconds) {
    const DWORD start = GetTickCount();
    DWORD lastMessage = start;
    while (GetTickCount() - start < limitMilliseconds) {
        if (dispatchOne()) {
            lastMessage = GetTickCount();
            continue;
        }
        if (GetTickCount() - lastMessage >= quietMilliseconds) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD limitMilliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= limitMilliseconds) {
            return condition();
        }
        if (!dispatchOne()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}
