#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// Where the items of one of the program's pop-up menus lie, for clicking
// them in the program's own menu window from another process (which cannot
// read another process's menu). The same menu resource is shown once in this
// process, with the items the program leaves out removed, and each item's
// rectangle is measured relative to its menu window: the program's window
// lays the menu out with the same font and system metrics.
class MenuLayout {
public:
    // The first pop-up of menu `menuId` in `executable`, without the items
    // whose commands are in `removed`.
    MenuLayout(const std::string& executable, UINT menuId, std::initializer_list<UINT> removed = {});

    struct Item {
        UINT id;
        bool separator;
        RECT rect; // relative to the menu window's top left corner
    };

    // Commands in order, -1 for a separator.
    std::vector<int> commands() const;
    // The height of the menu window, which tells one menu from another.
    int height() const { return windowHeight; }
    // The centre of the item with command `id` in the menu window `shown`,
    // in screen pixels; the menu window's own corner when it has no such item.
    POINT itemCentre(HWND shown, UINT id) const;

private:
    std::vector<Item> items;
    int windowHeight = 0;
};

// The visible menu window of a process, null when it shows none.
HWND openMenuOf(DWORD processId);
