#pragma once

#include <windows.h>

#include <functional>

// The program's pop-up menus: a menu resource whose first pop-up is shown
// at a screen point, with its command going to the owner window (posted, so
// it arrives after the menu has closed). `prepare` may tick or remove items
// first. The menu is loaded afresh each time and destroyed afterwards.
void trackPopupMenu(UINT menuId, HWND owner, POINT at, const std::function<void(HMENU)>& prepare = {});

// Ticks item `id` when `ticked`.
void tickMenuItem(HMENU menu, UINT id, bool ticked);
