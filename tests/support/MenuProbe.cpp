#include "support/MenuProbe.h"

#include "support/Pump.h"

namespace {

MenuProbe* activeProbe = nullptr;

HWND visibleMenuWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
        if (IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

MenuProbe::MenuProbe(bool pickFirst) : chooseFirst(pickFirst) {
    // A menu closed a moment ago may still be on the screen; it must not be
    // taken for the one this probe waits for.
    pumpUntil([] { return visibleMenuWindow() == nullptr; }, 2000);
    activeProbe = this;
    timer = SetTimer(nullptr, 0, 50, tick);
}

MenuProbe::~MenuProbe() {
    KillTimer(nullptr, timer);
    activeProbe = nullptr;
}

void CALLBACK MenuProbe::tick(HWND, UINT, UINT_PTR, DWORD) {
    const HWND menuWindow = visibleMenuWindow();
    MenuProbe* probe = activeProbe;
    if (!menuWindow || !probe) {
        return;
    }
    if (probe->seen) {
        if (++probe->ticksOpen > 20) {
            EndMenu();
        }
        return;
    }
    probe->seen = true;
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int index = 0; index < GetMenuItemCount(menu); ++index) {
        const UINT id = GetMenuItemID(menu, index);
        probe->items.push_back(id == static_cast<UINT>(-1) ? 0 : id);
        if (GetMenuState(menu, index, MF_BYPOSITION) & MF_CHECKED) {
            probe->checked.push_back(id);
        }
    }
    if (probe->chooseFirst) {
        PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        EndMenu();
    }
}
