#pragma once

#include "framework/WindowObject.h"

#include <windows.h>

#include <string>

// A modal dialog driven by a window object. The dialog manager owns the
// window procedure; dialogProcedure binds the object at WM_INITDIALOG and
// hands it the few messages a dialog needs. previousProc stays
// DefWindowProcA, so a handler a class does not override goes there, not to
// the dialog manager.
class DialogWindow : public WindowObject {
public:
    // Ends the dialog. DefWindowProcA would destroy it instead, and a modal
    // dialog destroyed rather than ended leaves its owner disabled.
    void onClose() override;

    // IDOK and IDCANCEL clicked (notification code 0). A dialog class ends
    // its dialog itself, usually with endDialog() here and in onClose.
    virtual void onOK();
    virtual void onCancel();

    // Runs the dialog on template `templateId` until it ends; returns the
    // value given to EndDialog, or -1 when the dialog could not be created.
    int doModal(int templateId, HWND parent);
    // Every dialog of the program ends with result 0.
    void endDialog() const;

    // The identifier of the first checked button from firstId to lastId
    // inclusive; -1 when none is checked.
    int firstCheckedButton(int firstId, int lastId) const;
    // The control's text (empty for a missing control); always returns 0.
    int dialogItemText(int id, std::string& text) const;
    bool setDialogItemText(int id, const char* text) const;
    bool checkDialogButton(int id, UINT state) const;
};
