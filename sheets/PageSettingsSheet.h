#pragma once

#include "sheets/FormatPage.h"
#include "sheets/GeneralPage.h"
#include "book/Page.h"
#include "framework/PropertySheet.h"

#include <windows.h>

#include <string>

// The page whose settings sheet is open; null while none is. Both tabs
// reach the page through it.
extern Page* editedPage;

// The modal sheet that edits one page's title, flags and format; built on
// the stack for one run. Nothing reaches the page before OK.
class PageSettingsSheet : public PropertySheet {
public:
    PageSettingsSheet();

    // Runs a sheet on `target` with `parent` as its owner; true when the user
    // pressed OK.
    static bool edit(Page& target, HWND parent);

    // Runs the sheet on `target`: positive for OK, 0 for Cancel, -1 when the
    // sheet could not be shown. While one page's sheet is open no second one
    // runs: that one is brought forward and 0 is returned, since the tabs
    // reach their page through the one editedPage.
    int run(HWND parent, Page& target);

    // "「title」ページの設定", or "新規ページの設定" for an untitled page.
    static std::string caption(const Page& target);

    GeneralPage generalPage;
    FormatPage formatPage;
    Page* page = nullptr;
};
