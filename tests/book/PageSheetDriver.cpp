#include "PageSheetDriver.h"

#include "support/Dialogs.h"

#include <commctrl.h>

namespace pagesheet {

namespace {

SheetWatchdog* activeWatchdog = nullptr;
constexpr UINT kRepeatMilliseconds = 1000;
constexpr DWORD kPollMilliseconds = 20;
// The colour dialog's controls.
constexpr int kRedEdit = 706;
constexpr int kGreenEdit = 707;
constexpr int kBlueEdit = 708;
constexpr int kOpenFullButton = 719;
constexpr int kCustomColors = 721;
// Edge and focus frame of a swatch.
constexpr int kSwatchFrame = 5;

BOOL CALLBACK endDialogWindow(HWND window, LPARAM) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770") {
        return TRUE;
    }
    if (FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr)) {
        DestroyWindow(window);
    } else {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

BOOL CALLBACK collectStaticText(HWND child, LPARAM context) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        const std::string text = windowText(child);
        if (!text.empty()) {
            *reinterpret_cast<std::string*>(context) += text;
        }
    }
    return TRUE;
}

} // namespace

SheetWatchdog::SheetWatchdog(UINT limitMilliseconds) {
    activeWatchdog = this;
    timer = SetTimer(nullptr, 0, limitMilliseconds, expire);
}

SheetWatchdog::~SheetWatchdog() {
    KillTimer(nullptr, timer);
    activeWatchdog = nullptr;
}

void CALLBACK SheetWatchdog::expire(HWND, UINT, UINT_PTR id, DWORD) {
    if (!activeWatchdog || activeWatchdog->timer != id) {
        return;
    }
    activeWatchdog->hasFired = true;
    activeWatchdog->timer = SetTimer(nullptr, id, kRepeatMilliseconds, expire);
    EnumThreadWindows(GetCurrentThreadId(), endDialogWindow, 0);
}

bool waitFor(bool (*condition)(HWND), HWND window, DWORD limitMilliseconds) {
    const DWORD start = GetTickCount();
    while (!condition(window)) {
        if (GetTickCount() - start >= limitMilliseconds) {
            return false;
        }
        Sleep(kPollMilliseconds);
    }
    return true;
}

bool waitUntilGone(HWND window, DWORD limitMilliseconds) {
    return waitFor([](HWND w) { return IsWindow(w) == FALSE; }, window, limitMilliseconds);
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

void pressOk(HWND sheet) {
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

void pressCancel(HWND sheet) {
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void setItemText(HWND page, int id, const std::string& text) {
    SendMessageA(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string itemText(HWND page, int id) {
    return dialogItemText(page, id);
}

void setCheck(HWND page, int id, bool checked) {
    SendMessageA(GetDlgItem(page, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool isChecked(HWND page, int id) {
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void chooseComboIndex(HWND page, int id, int index) {
    const HWND combo = GetDlgItem(page, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool chooseComboText(HWND page, int id, const std::string& text) {
    const LRESULT index = SendMessageA(GetDlgItem(page, id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) {
        return false;
    }
    chooseComboIndex(page, id, static_cast<int>(index));
    return true;
}

int comboSelection(HWND page, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(page, id), CB_GETCURSEL, 0, 0));
}

std::string comboSelectedText(HWND page, int id) {
    const int index = comboSelection(page, id);
    if (index < 0) {
        return {};
    }
    const std::vector<std::string> items = comboItems(page, id);
    return items[static_cast<std::size_t>(index)];
}

std::vector<std::string> comboItems(HWND page, int id) {
    const HWND combo = GetDlgItem(page, id);
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    std::vector<std::string> items;
    for (int index = 0; index < count; ++index) {
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
        items.emplace_back(buffer.data());
    }
    return items;
}

std::string messageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

HWND focusOfThread(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

int Rendering::countInside(COLORREF color) const {
    int count = 0;
    for (int y = kSwatchFrame; y < height - kSwatchFrame; ++y) {
        for (int x = kSwatchFrame; x < width - kSwatchFrame; ++x) {
            count += at(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

Rendering renderSwatch(HWND page, int buttonId, UINT itemState) {
    const HWND button = GetDlgItem(page, buttonId);
    RECT client{};
    GetClientRect(button, &client);
    Rendering rendering;
    rendering.width = client.right;
    rendering.height = client.bottom;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = rendering.width;
    info.bmiHeader.biHeight = -rendering.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previousBitmap = SelectObject(memory, bitmap);
    // The button's own font, as the system selects it for a real drawing.
    const auto font = reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0));
    const HGDIOBJ previousFont = font ? SelectObject(memory, font) : nullptr;

    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(buttonId);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = itemState;
    item.hwndItem = button;
    item.hDC = memory;
    item.rcItem = client;
    SendMessageA(page, WM_DRAWITEM, static_cast<WPARAM>(buttonId), reinterpret_cast<LPARAM>(&item));
    GdiFlush();

    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int index = 0; index < rendering.width * rendering.height; ++index) {
        const DWORD bgr = pixels[index];
        rendering.pixels.push_back(RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
    }
    if (previousFont) {
        SelectObject(memory, previousFont);
    }
    SelectObject(memory, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return rendering;
}

void typeRgb(HWND colorDialog, int red, int green, int blue) {
    SendMessageA(colorDialog, WM_COMMAND, MAKEWPARAM(kOpenFullButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(colorDialog, kOpenFullButton)));
    setItemText(colorDialog, kRedEdit, std::to_string(red));
    setItemText(colorDialog, kGreenEdit, std::to_string(green));
    setItemText(colorDialog, kBlueEdit, std::to_string(blue));
}

void clickFirstCustomColor(HWND colorDialog) {
    RECT cells{};
    GetWindowRect(GetDlgItem(colorDialog, kCustomColors), &cells);
    POINT point{cells.left + 3, cells.top + 3};
    ScreenToClient(colorDialog, &point);
    SendMessageA(colorDialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(colorDialog, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

} // namespace pagesheet
