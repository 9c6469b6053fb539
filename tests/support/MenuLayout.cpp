#include "support/MenuLayout.h"

#include "support/Pump.h"

namespace {

HWND visibleMenuWindow(DWORD processId) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

struct Measuring {
    HMENU menu = nullptr;
    std::vector<MenuLayout::Item>* items = nullptr;
    int* height = nullptr;
};
Measuring* measuring = nullptr;

// Runs inside the menu loop: measures the open menu, then closes it.
void CALLBACK measure(HWND, UINT, UINT_PTR, DWORD) {
    const HWND shown = visibleMenuWindow(GetCurrentProcessId());
    if (!shown || !measuring) {
        return;
    }
    RECT window{};
    GetWindowRect(shown, &window);
    *measuring->height = window.bottom - window.top;
    for (int index = 0; index < GetMenuItemCount(measuring->menu); ++index) {
        RECT item{};
        GetMenuItemRect(nullptr, measuring->menu, static_cast<UINT>(index), &item);
        OffsetRect(&item, -window.left, -window.top);
        // Command 0 is a real item of the program's menus (its settings), so
        // separators are told by their type, not by their identifier.
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        GetMenuItemInfoA(measuring->menu, static_cast<UINT>(index), TRUE, &info);
        measuring->items->push_back({info.wID, (info.fType & MFT_SEPARATOR) != 0, item});
    }
    measuring = nullptr;
    EndMenu();
}

} // namespace

MenuLayout::MenuLayout(const std::string& executable, UINT menuId, std::initializer_list<UINT> removed) {
    const HMODULE module = LoadLibraryExA(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HMENU resource = module ? LoadMenuA(module, MAKEINTRESOURCEA(menuId)) : nullptr;
    const HMENU popup = resource ? GetSubMenu(resource, 0) : nullptr;
    const HWND owner = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (popup && owner) {
        for (const UINT command : removed) {
            DeleteMenu(popup, command, MF_BYCOMMAND);
        }
        Measuring now{popup, &items, &windowHeight};
        measuring = &now;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, measure);
        // Where the program shows it does not matter: only offsets are kept.
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, 100, 100, 0, owner, nullptr);
        KillTimer(nullptr, timer);
        measuring = nullptr;
        pumpUntil([] { return visibleMenuWindow(GetCurrentProcessId()) == nullptr; }, 2000);
    }
    DestroyWindow(owner);
    DestroyMenu(resource);
    FreeLibrary(module);
}

std::vector<int> MenuLayout::commands() const {
    std::vector<int> found;
    for (const Item& item : items) {
        found.push_back(item.separator ? -1 : static_cast<int>(item.id));
    }
    return found;
}

POINT MenuLayout::itemCentre(HWND shown, UINT id) const {
    RECT window{};
    GetWindowRect(shown, &window);
    for (const Item& item : items) {
        if (!item.separator && item.id == id) {
            const RECT& rect = item.rect;
            return POINT{window.left + (rect.left + rect.right) / 2, window.top + (rect.top + rect.bottom) / 2};
        }
    }
    return POINT{window.left, window.top};
}

HWND openMenuOf(DWORD processId) {
    return visibleMenuWindow(processId);
}
