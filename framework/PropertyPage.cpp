#include "framework/PropertyPage.h"

#include "framework/DialogProcedure.h"

static_assert(sizeof(PROPSHEETPAGEA_V2) == 48, "a page record is the 48-byte version with header texts");

PropertyPage::PropertyPage(DWORD flags, int templateId, int iconId, const char* title) {
    pageRecord.dwSize = sizeof pageRecord;
    pageRecord.dwFlags = flags;
    pageRecord.hInstance = nullptr;
    pageRecord.pszTemplate = MAKEINTRESOURCEA(templateId);
    pageRecord.pszIcon = MAKEINTRESOURCEA(iconId);
    pageRecord.pszTitle = title;
    pageRecord.pfnDlgProc = pageProcedure;
    // pageProcedure reads the object back as a DialogWindow.
    pageRecord.lParam = reinterpret_cast<LPARAM>(static_cast<DialogWindow*>(this));
}

LRESULT PropertyPage::onNotify(int, NMHDR* header) {
    if (!header) {
        return 0;
    }
    switch (header->code) {
    case PSN_SETACTIVE:
        // The sheet reads 0 as "show this page" and -1 as "skip it"; any other
        // value names the resource of a page to show instead.
        storeResult(onSetActive() ? 0 : -1);
        break;
    case PSN_KILLACTIVE:
        storeResult(onKillActive() ? TRUE : FALSE);
        break;
    case PSN_APPLY:
        storeResult(onApply() ? PSNRET_INVALID : PSNRET_NOERROR);
        break;
    case PSN_RESET:
        onReset();
        break;
    case PSN_HELP:
        onHelpButton();
        break;
    default:
        break;
    }
    return 0;
}

bool PropertyPage::onKillActive() {
    return false;
}

bool PropertyPage::onSetActive() {
    return true;
}

bool PropertyPage::onApply() {
    return false;
}

void PropertyPage::onReset() {}

void PropertyPage::onHelpButton() {}

void PropertyPage::storeResult(LONG_PTR result) const {
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
}
