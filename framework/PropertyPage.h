#pragma once

#include "framework/DialogWindow.h"

#include <windows.h>
#include <commctrl.h>

// One page of a property sheet: a dialog on a child template, created by the
// sheet when its tab is first shown and driven through pageProcedure. Each
// sheet notification becomes one virtual hook; the hook's answer is stored
// as the page's DWL_MSGRESULT, where the sheet reads it.
class PropertyPage : public DialogWindow {
public:
    // With PSP_USETITLE among the flags, `title` replaces the template's
    // caption on the tab; the sheet reads it while it runs, so it must live
    // that long.
    PropertyPage(DWORD flags, int templateId, int iconId, const char* title);

    // The record the sheet copies when it runs; its lParam is this page.
    const PROPSHEETPAGEA_V2& record() const { return pageRecord; }

    // Maps the sheet's notifications to the hooks below; other codes,
    // including those of the page's own controls, do nothing. Returns 0.
    LRESULT onNotify(int controlId, NMHDR* header) override;

    // PSN_KILLACTIVE: true keeps this page active (the sheet stays on it and
    // OK is refused); false lets it be left.
    virtual bool onKillActive();
    // PSN_SETACTIVE: true accepts the activation; false refuses it and the
    // sheet moves on to the next page.
    virtual bool onSetActive();
    // PSN_APPLY: true reports invalid data (the sheet stays open on this
    // page); false means no error.
    virtual bool onApply();
    // PSN_RESET: the sheet was cancelled.
    virtual void onReset();
    // PSN_HELP: the sheet's Help button.
    virtual void onHelpButton();

private:
    void storeResult(LONG_PTR result) const;

    // The 48-byte version with header title and subtitle.
    PROPSHEETPAGEA_V2 pageRecord{};
};
