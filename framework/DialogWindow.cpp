#include "framework/DialogWindow.h"

#include "framework/Application.h"
#include "framework/DialogProcedure.h"
#include "framework/ModalLoop.h"

void DialogWindow::onClose() {
    endDialog();
}

void DialogWindow::onOK() {}

void DialogWindow::onCancel() {}

int DialogWindow::doModal(int templateId, HWND parent) {
    const ModalLoop loop;
    return static_cast<int>(DialogBoxParamA(application().instance, MAKEINTRESOURCEA(templateId), parent,
                                            dialogProcedure, reinterpret_cast<LPARAM>(this)));
}

void DialogWindow::endDialog() const {
    EndDialog(hwnd, 0);
}

int DialogWindow::firstCheckedButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id) {
        if (IsDlgButtonChecked(hwnd, id) == BST_CHECKED) {
            return id;
        }
    }
    return -1;
}

int DialogWindow::dialogItemText(int id, std::string& text) const {
    windowText(GetDlgItem(hwnd, id), text);
    return 0;
}

bool DialogWindow::setDialogItemText(int id, const char* text) const {
    return SetDlgItemTextA(hwnd, id, text) == 1;
}

bool DialogWindow::checkDialogButton(int id, UINT state) const {
    return CheckDlgButton(hwnd, id, state) == 1;
}
