#pragma once

#include "framework/WindowObject.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

// <prsht.h> defines PropertySheet as PropertySheetA; the class takes the name.
// Its include guard keeps a later <commctrl.h> from bringing the macro back.
#undef PropertySheet

class PropertyPage;

// Collects pages and runs them as one modal property sheet. The sheet never
// creates a window of its own (hwnd stays null); PropertySheetA does.
class PropertySheet : public WindowObject {
public:
    // Not owned: derived sheets hold their pages as members.
    bool addPage(PropertyPage* page);

    // Runs the sheet modally with `flags` (PSH_PROPSHEETPAGE and
    // PSH_USEICONID are added); returns PropertySheetA's result: positive
    // for OK, 0 for Cancel, -1 on failure and, without showing anything,
    // for a sheet without pages.
    int run(DWORD flags, HWND parent, int iconId, const char* caption, UINT startPage);

    // The tabs, in order.
    std::vector<PropertyPage*> pages;
};
