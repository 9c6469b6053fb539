#include "framework/DialogProcedure.h"

#include "framework/Application.h"
#include "framework/DialogWindow.h"
#include "framework/ExceptionBarrier.h"
#include "framework/WindowProcedure.h"

#include <commctrl.h>

namespace {

using InitialObject = DialogWindow* (*)(LPARAM initValue);

DialogWindow* dialogFromInitValue(LPARAM initValue) {
    return reinterpret_cast<DialogWindow*>(initValue);
}

DialogWindow* pageFromInitValue(LPARAM initValue) {
    const auto* record = reinterpret_cast<const PROPSHEETPAGEA_V2*>(initValue);
    return record ? reinterpret_cast<DialogWindow*>(record->lParam) : nullptr;
}

// Only the dialog procedures bind dialog windows, and they bind DialogWindows
// only, so a dialog's registry entry always holds one.
DialogWindow* boundDialog(HWND hwnd) {
    return static_cast<DialogWindow*>(application().windowRegistry.find(hwnd));
}

void dispatchCommand(DialogWindow& dialog, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const UINT notificationCode = HIWORD(wParam);
    const UINT id = LOWORD(wParam);
    dialog.onCommand(notificationCode, id, reinterpret_cast<HWND>(lParam));
    // Only a click confirms or cancels (the dialog manager turns Enter and Esc
    // into clicks); an accelerator's command, code 1, does not.
    if (notificationCode != 0) {
        return;
    }
    // A command handler that destroyed the dialog has left its object unbound;
    // the OK/Cancel hooks must not reach it then.
    if (boundDialog(hwnd) != &dialog) {
        return;
    }
    if (id == IDOK) {
        dialog.onOK();
    } else if (id == IDCANCEL) {
        dialog.onCancel();
    }
}

// The reduced dispatch shared by dialogs and pages: TRUE for the messages it
// handles, FALSE for all others. Every case returns without touching the
// object after its handler, which may have ended the dialog.
INT_PTR dispatchDialogMessage(DialogWindow& dialog, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        dialog.onDestroy();
        return TRUE;
    case WM_SETFOCUS:
        dialog.onSetFocus(reinterpret_cast<HWND>(wParam));
        return TRUE;
    case WM_CLOSE:
        dialog.onClose();
        return TRUE;
    case WM_SHOWWINDOW:
        dialog.onShowWindow(wParam != 0, static_cast<UINT>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        dialog.onDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY:
        // The sender reads what the handler stored as DWL_MSGRESULT.
        dialog.onNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
        return TRUE;
    case WM_HELP:
        dialog.onHelp(reinterpret_cast<HELPINFO*>(lParam));
        return TRUE;
    case WM_INITDIALOG:
        return dialog.onInitDialog(reinterpret_cast<HWND>(wParam), lParam) ? TRUE : FALSE;
    case WM_COMMAND:
        dispatchCommand(dialog, hwnd, wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR handleDialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, InitialObject initialObject) {
    return withinExceptionBarrier<INT_PTR>(FALSE, [&]() -> INT_PTR {
        WindowRegistry& registry = application().windowRegistry;
        DialogWindow* dialog = boundDialog(hwnd);
        if (message == WM_INITDIALOG) {
            if (DialogWindow* initial = initialObject(lParam)) {
                registry.bind(hwnd, initial);
                dialog = initial;
            }
        }
        if (!dialog) {
            return FALSE;
        }
        if (message == WM_NCDESTROY) {
            // A dialog object usually lives on its caller's stack and is gone
            // once doModal returns: its entry must not outlive the window.
            registry.unbind(hwnd);
            WindowRegistry::release(*dialog);
            return FALSE;
        }
        return dispatchDialogMessage(*dialog, hwnd, message, wParam, lParam);
    });
}

} // namespace

INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return handleDialogMessage(hwnd, message, wParam, lParam, dialogFromInitValue);
}

INT_PTR CALLBACK pageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return handleDialogMessage(hwnd, message, wParam, lParam, pageFromInitValue);
}
