#include "framework/PopupMenu.h"

#include "framework/Application.h"
#include "framework/UniqueHandle.h"

void trackPopupMenu(UINT menuId, HWND owner, POINT at, const std::function<void(HMENU)>& prepare) {
    const OwnedMenu menu(LoadMenuA(application().instance, MAKEINTRESOURCEA(menuId)));
    const HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) {
        return;
    }
    if (prepare) {
        prepare(popup);
    }
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}

void tickMenuItem(HMENU menu, UINT id, bool ticked) {
    if (!ticked) {
        return;
    }
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    item.fState = MFS_CHECKED;
    SetMenuItemInfoA(menu, id, FALSE, &item);
}
