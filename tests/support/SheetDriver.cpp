#include "support/SheetDriver.h"

#include "support/Dialogs.h"

namespace {

constexpr DWORD kPollMilliseconds = 20;
// The file chooser's name field: the combo box of the newer layout (cmb13)
// or the plain edit of the older one (edt1).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
// The colour dialog's controls.
constexpr int kRedEdit = 706;
constexpr int kGreenEdit = 707;
constexpr int kBlueEdit = 708;
constexpr int kOpenFullButton = 719;

BOOL CALLBACK collectStaticText(HWND child, LPARAM context) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        *reinterpret_cast<std::string*>(context) += windowText(child);
    }
    return TRUE;
}

LRESULT sendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

} // namespace

bool waitUntilGone(HWND window, DWORD limitMilliseconds) {
    const DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < limitMilliseconds) {
        Sleep(kPollMilliseconds);
    }
    return !IsWindow(window);
}

HWND currentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND showTab(HWND sheet, int index, int probeId) {
    PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        const HWND page = currentPage(sheet);
        if (page && GetDlgItem(page, probeId)) {
            return page;
        }
        Sleep(kPollMilliseconds);
    }
    return nullptr;
}

void setItemText(HWND dialog, int id, const std::string& text) {
    sendItem(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void setCheck(HWND dialog, int id, bool checked) {
    sendItem(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : 0);
}

bool isChecked(HWND dialog, int id) {
    return sendItem(dialog, id, BM_GETCHECK) == BST_CHECKED;
}

void click(HWND dialog, int id) {
    sendItem(dialog, id, BM_CLICK);
}

void chooseComboIndex(HWND dialog, int id, int index) {
    sendItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool chooseComboText(HWND dialog, int id, const std::string& text) {
    const LRESULT index =
        sendItem(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) {
        return false;
    }
    chooseComboIndex(dialog, id, static_cast<int>(index));
    return true;
}

int comboSelection(HWND dialog, int id) {
    return static_cast<int>(sendItem(dialog, id, CB_GETCURSEL));
}

std::string comboSelectedText(HWND dialog, int id) {
    const int index = comboSelection(dialog, id);
    return index < 0 ? std::string() : comboItems(dialog, id)[static_cast<std::size_t>(index)];
}

std::vector<std::string> comboItems(HWND dialog, int id) {
    std::vector<std::string> items;
    const int count = static_cast<int>(sendItem(dialog, id, CB_GETCOUNT));
    for (int index = 0; index < count; ++index) {
        std::vector<char> buffer(static_cast<std::size_t>(sendItem(dialog, id, CB_GETLBTEXTLEN, index)) + 1);
        sendItem(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
        items.emplace_back(buffer.data());
    }
    return items;
}

std::string messageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

void chooseFile(HWND chooser, const std::string& path) {
    HWND field = GetDlgItem(chooser, kFileNameCombo);
    if (!field || !IsWindowVisible(field)) {
        field = GetDlgItem(chooser, kFileNameEdit);
    }
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    clickButton(chooser, IDOK);
}

void typeRgb(HWND colorDialog, int red, int green, int blue) {
    SendMessageA(colorDialog, WM_COMMAND, MAKEWPARAM(kOpenFullButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(colorDialog, kOpenFullButton)));
    setItemText(colorDialog, kRedEdit, std::to_string(red));
    setItemText(colorDialog, kGreenEdit, std::to_string(green));
    setItemText(colorDialog, kBlueEdit, std::to_string(blue));
}
