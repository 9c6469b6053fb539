#include "pagewindows/FindDialog.h"

#include "resources/resource.h"

bool FindDialog::ask(HWND parent, std::string& words) {
    asked = &words;
    confirmed = false;
    doModal(IDD_FIND, parent);
    asked = nullptr;
    return confirmed;
}

// The words of the last search stand ready, all selected, to be typed over.
bool FindDialog::onInitDialog(HWND, LPARAM) {
    setDialogItemText(IDC_FIND_WORDS, asked ? asked->c_str() : "");
    const HWND field = GetDlgItem(hwnd, IDC_FIND_WORDS);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SetFocus(field);
    return false;
}

void FindDialog::onOK() {
    if (asked) {
        dialogItemText(IDC_FIND_WORDS, *asked);
    }
    confirmed = true;
    endDialog();
}

void FindDialog::onCancel() {
    endDialog();
}
