#include "framework/PropertySheet.h"

#include "framework/Application.h"
#include "framework/ModalLoop.h"
#include "framework/PropertyPage.h"

#include <commctrl.h>

static_assert(sizeof(PROPSHEETHEADERA) == 52, "a sheet header is the 52-byte version with header bitmaps");

bool PropertySheet::addPage(PropertyPage* page) {
    pages.push_back(page);
    return true;
}

int PropertySheet::run(DWORD flags, HWND parent, int iconId, const char* caption, UINT startPage) {
    // A sheet without pages shows an empty frame whose OK, Cancel and close
    // box do nothing (seen under Wine): the user could never leave it.
    if (pages.empty()) {
        return -1;
    }
    const HINSTANCE instance = application().instance;
    // PropertySheetA walks the array by each record's dwSize, so 48-byte
    // records can stand in for the larger structure the header points to.
    std::vector<PROPSHEETPAGEA_V2> records;
    records.reserve(pages.size());
    for (const PropertyPage* page : pages) {
        records.push_back(page->record());
        if (!records.back().hInstance) {
            records.back().hInstance = instance;
        }
    }

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = flags | PSH_PROPSHEETPAGE | PSH_USEICONID;
    header.hwndParent = parent;
    header.hInstance = instance;
    header.pszIcon = MAKEINTRESOURCEA(iconId);
    header.pszCaption = caption;
    header.nPages = static_cast<UINT>(records.size());
    header.nStartPage = startPage;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(records.data());
    const ModalLoop loop;
    return static_cast<int>(PropertySheetA(&header));
}
