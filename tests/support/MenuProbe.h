#pragma once

#include <windows.h>

#include <vector>

// Watches, from a timer of this thread, for the pop-up menu that a modal menu
// loop shows: notes its items (0 for a separator) and the checked ones, then
// closes it, or picks its first item with the keyboard. A menu still open a
// second later is closed, so a test never hangs in the loop.
class MenuProbe {
public:
    explicit MenuProbe(bool chooseFirst = false);
    MenuProbe(const MenuProbe&) = delete;
    MenuProbe& operator=(const MenuProbe&) = delete;
    ~MenuProbe();

    bool seen = false;
    std::vector<UINT> items;
    std::vector<UINT> checked;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);

    bool chooseFirst;
    int ticksOpen = 0;
    UINT_PTR timer = 0;
};
