#include "framework/WindowObject.h"

#include "framework/Application.h"
#include "framework/WindowProcedure.h"

#include <vector>

namespace {

int unsignedLow(LPARAM value) {
    return static_cast<int>(LOWORD(value));
}
int unsignedHigh(LPARAM value) {
    return static_cast<int>(HIWORD(value));
}
int signedLow(LPARAM value) {
    return static_cast<short>(LOWORD(value));
}
int signedHigh(LPARAM value) {
    return static_cast<short>(HIWORD(value));
}

LPARAM pointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}
LRESULT truth(bool value) {
    return value ? 1 : 0;
}

} // namespace

WindowObject::WindowObject() = default;

WindowObject::~WindowObject() = default;

LRESULT WindowObject::callPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(previousProc, hwnd, message, wParam, lParam);
}

// Every case returns without touching the object after its handler: the
// handler may have had the object deleted.
LRESULT WindowObject::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
        return 0;
    case WM_ACTIVATEAPP:
        onActivateApp(wParam != 0, static_cast<DWORD>(lParam));
        return 0;
    case WM_CHAR:
        onChar(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_COMMAND:
        onCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CONTEXTMENU:
        onContextMenu(reinterpret_cast<HWND>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_CREATE:
        return truth(onCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)));
    case WM_CTLCOLOREDIT:
        return onCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORLISTBOX:
        return onCtlColorListBox(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORBTN:
        return onCtlColorButton(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_DRAWITEM:
        onDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return 1;
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_ENABLE:
        onEnable(wParam != 0);
        return 0;
    case WM_ERASEBKGND:
        return truth(onEraseBackground(reinterpret_cast<HDC>(wParam)));
    case WM_DPICHANGED:
        onDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_HELP:
        onHelp(reinterpret_cast<HELPINFO*>(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_HOTKEY:
        onHotKey(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_HSCROLL:
        onHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_INITDIALOG:
        return truth(onInitDialog(reinterpret_cast<HWND>(wParam), lParam));
    case WM_INITMENU:
        onInitMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        onInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
        return 0;
    case WM_KEYDOWN:
        onKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_KEYUP:
        onKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_KILLFOCUS:
        onKillFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        onLButtonDblClk(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        onLButtonDown(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_LBUTTONUP:
        onLButtonUp(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_MEASUREITEM:
        onMeasureItem(static_cast<UINT>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return 0;
    case WM_MENUSELECT:
        onMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return onMouseActivate(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_MOUSEMOVE:
        onMouseMove(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_MOVE:
        onMove(signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_MOVING:
        onMoving(static_cast<UINT>(wParam), reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_NOTIFY:
        return onNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_NCHITTEST:
        return onNcHitTest(signedLow(lParam), signedHigh(lParam));
    case WM_NCLBUTTONDOWN:
        onNcLButtonDown(static_cast<UINT>(wParam), signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_NCLBUTTONUP:
        onNcLButtonUp(static_cast<UINT>(wParam), signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_NCPAINT:
        onNcPaint(reinterpret_cast<HRGN>(wParam));
        return 0;
    case WM_NCRBUTTONDOWN:
        onNcRButtonDown(static_cast<UINT>(wParam), signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_NCRBUTTONUP:
        onNcRButtonUp(static_cast<UINT>(wParam), signedLow(lParam), signedHigh(lParam));
        return 0;
    case WM_PAINT:
        onPaint();
        return 0;
    case WM_PARENTNOTIFY:
        onParentNotify(LOWORD(wParam), HIWORD(wParam), lParam);
        return 0;
    case WM_QUERYENDSESSION:
        return truth(onQueryEndSession());
    case WM_RBUTTONDBLCLK:
        onRButtonDblClk(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        onRButtonDown(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_RBUTTONUP:
        onRButtonUp(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_SETCURSOR:
        return truth(onSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)));
    case WM_SETFOCUS:
        onSetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_SETTEXT:
        onSetText(reinterpret_cast<const char*>(lParam));
        return 1;
    case WM_SHOWWINDOW:
        onShowWindow(wParam != 0, static_cast<UINT>(lParam));
        return 0;
    case WM_SIZE:
        onSize(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_SIZING:
        onSizing(static_cast<UINT>(wParam), reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_TIMER:
        onTimer(wParam, lParam);
        return 0;
    case WM_SYSCHAR:
        onSysChar(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_SYSCOLORCHANGE:
        onSysColorChange();
        return 0;
    case WM_SYSCOMMAND:
        onSysCommand(static_cast<UINT>(wParam), unsignedLow(lParam), unsignedHigh(lParam));
        return 0;
    case WM_SYSKEYDOWN:
        onSysKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SYSKEYUP:
        onSysKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_VKEYTOITEM:
        return onVKeyToItem(LOWORD(wParam), reinterpret_cast<HWND>(lParam), static_cast<short>(HIWORD(wParam)));
    case WM_VSCROLL:
        onVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        onWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        return truth(onWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)));
    default:
        return callPrevious(message, wParam, lParam);
    }
}

bool WindowObject::create(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId) {
    HWND created = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                                   application().instance, this);
    if (!created) {
        return false;
    }
    hwnd = created;
    return true;
}

// Defaults: rebuild the parameters from the arguments and pass them on.

void WindowObject::onActivate(UINT state, HWND otherWindow, bool minimized) {
    callPrevious(WM_ACTIVATE, MAKEWPARAM(state, minimized ? 1 : 0), reinterpret_cast<LPARAM>(otherWindow));
}

void WindowObject::onActivateApp(bool active, DWORD threadId) {
    callPrevious(WM_ACTIVATEAPP, active ? 1 : 0, static_cast<LPARAM>(threadId));
}

void WindowObject::onChar(UINT character, LPARAM keyData) {
    callPrevious(WM_CHAR, character, keyData);
}

void WindowObject::onClose() {
    callPrevious(WM_CLOSE, 0, 0);
}

void WindowObject::onCommand(UINT notificationCode, UINT id, HWND control) {
    callPrevious(WM_COMMAND, MAKEWPARAM(id, notificationCode), reinterpret_cast<LPARAM>(control));
}

void WindowObject::onContextMenu(HWND window, int x, int y) {
    callPrevious(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), pointParam(x, y));
}

bool WindowObject::onCreate(CREATESTRUCTA* creation) {
    return callPrevious(WM_CREATE, 0, reinterpret_cast<LPARAM>(creation)) == 1;
}

LRESULT WindowObject::onCtlColorEdit(HDC dc, HWND control) {
    return callPrevious(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

LRESULT WindowObject::onCtlColorListBox(HDC dc, HWND control) {
    return callPrevious(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

LRESULT WindowObject::onCtlColorStatic(HDC dc, HWND control) {
    return callPrevious(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

LRESULT WindowObject::onCtlColorButton(HDC dc, HWND control) {
    return callPrevious(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

void WindowObject::onDestroy() {
    callPrevious(WM_DESTROY, 0, 0);
}

void WindowObject::onDpiChanged(int dpi, const RECT* suggested) {
    callPrevious(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(suggested));
}

void WindowObject::onDrawItem(DRAWITEMSTRUCT* item) {
    callPrevious(WM_DRAWITEM, item ? item->CtlID : 0, reinterpret_cast<LPARAM>(item));
}

void WindowObject::onDropFiles(HDROP drop) {
    callPrevious(WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

void WindowObject::onEnable(bool enabled) {
    callPrevious(WM_ENABLE, enabled ? 1 : 0, 0);
}

bool WindowObject::onEraseBackground(HDC dc) {
    return callPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 1;
}

void WindowObject::onHelp(HELPINFO* help) {
    callPrevious(WM_HELP, 0, reinterpret_cast<LPARAM>(help));
}

void WindowObject::onGetMinMaxInfo(MINMAXINFO* info) {
    callPrevious(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
}

void WindowObject::onHotKey(int id, UINT modifiers, UINT virtualKey) {
    callPrevious(WM_HOTKEY, static_cast<WPARAM>(id), MAKELPARAM(modifiers, virtualKey));
}

void WindowObject::onHScroll(UINT request, UINT position, HWND scrollBar) {
    callPrevious(WM_HSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(scrollBar));
}

bool WindowObject::onInitDialog(HWND focusControl, LPARAM initValue) {
    return callPrevious(WM_INITDIALOG, reinterpret_cast<WPARAM>(focusControl), initValue) == 1;
}

void WindowObject::onInitMenu(HMENU menu) {
    callPrevious(WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
}

void WindowObject::onInitMenuPopup(HMENU menu, UINT position, bool windowMenu) {
    callPrevious(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(position, windowMenu ? 1 : 0));
}

void WindowObject::onKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) {
    callPrevious(WM_KEYDOWN, virtualKey, MAKELPARAM(repeatCount, flags));
}

void WindowObject::onKeyUp(UINT virtualKey, UINT repeatCount, UINT flags) {
    callPrevious(WM_KEYUP, virtualKey, MAKELPARAM(repeatCount, flags));
}

void WindowObject::onKillFocus(HWND receivingFocus) {
    callPrevious(WM_KILLFOCUS, reinterpret_cast<WPARAM>(receivingFocus), 0);
}

void WindowObject::onLButtonDblClk(UINT keys, int x, int y) {
    callPrevious(WM_LBUTTONDBLCLK, keys, pointParam(x, y));
}

void WindowObject::onLButtonDown(UINT keys, int x, int y) {
    callPrevious(WM_LBUTTONDOWN, keys, pointParam(x, y));
}

void WindowObject::onLButtonUp(UINT keys, int x, int y) {
    callPrevious(WM_LBUTTONUP, keys, pointParam(x, y));
}

void WindowObject::onMeasureItem(UINT controlId, MEASUREITEMSTRUCT* item) {
    callPrevious(WM_MEASUREITEM, item ? item->CtlID : controlId, reinterpret_cast<LPARAM>(item));
}

void WindowObject::onMenuSelect(UINT item, UINT flags, HMENU menu) {
    callPrevious(WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu));
}

LRESULT WindowObject::onMouseActivate(HWND topLevel, UINT hitTest, UINT mouseMessage) {
    return callPrevious(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(topLevel), MAKELPARAM(hitTest, mouseMessage));
}

void WindowObject::onMouseMove(UINT keys, int x, int y) {
    callPrevious(WM_MOUSEMOVE, keys, pointParam(x, y));
}

void WindowObject::onMove(int x, int y) {
    callPrevious(WM_MOVE, 0, pointParam(x, y));
}

void WindowObject::onMoving(UINT edge, RECT* rect) {
    callPrevious(WM_MOVING, edge, reinterpret_cast<LPARAM>(rect));
}

LRESULT WindowObject::onNotify(int controlId, NMHDR* header) {
    return callPrevious(WM_NOTIFY, static_cast<WPARAM>(controlId), reinterpret_cast<LPARAM>(header));
}

LRESULT WindowObject::onNcHitTest(int x, int y) {
    return callPrevious(WM_NCHITTEST, 0, pointParam(x, y));
}

void WindowObject::onNcLButtonDown(UINT hitTest, int x, int y) {
    callPrevious(WM_NCLBUTTONDOWN, hitTest, pointParam(x, y));
}

void WindowObject::onNcLButtonUp(UINT hitTest, int x, int y) {
    callPrevious(WM_NCLBUTTONUP, hitTest, pointParam(x, y));
}

void WindowObject::onNcPaint(HRGN updateRegion) {
    callPrevious(WM_NCPAINT, reinterpret_cast<WPARAM>(updateRegion), 0);
}

void WindowObject::onNcRButtonDown(UINT hitTest, int x, int y) {
    callPrevious(WM_NCRBUTTONDOWN, hitTest, pointParam(x, y));
}

void WindowObject::onNcRButtonUp(UINT hitTest, int x, int y) {
    callPrevious(WM_NCRBUTTONUP, hitTest, pointParam(x, y));
}

void WindowObject::onPaint() {
    callPrevious(WM_PAINT, 0, 0);
}

void WindowObject::onParentNotify(UINT event, UINT childId, LPARAM value) {
    callPrevious(WM_PARENTNOTIFY, MAKEWPARAM(event, childId), value);
}

bool WindowObject::onQueryEndSession() {
    return callPrevious(WM_QUERYENDSESSION, 0, 0) == 1;
}

void WindowObject::onRButtonDblClk(UINT keys, int x, int y) {
    callPrevious(WM_RBUTTONDBLCLK, keys, pointParam(x, y));
}

void WindowObject::onRButtonDown(UINT keys, int x, int y) {
    callPrevious(WM_RBUTTONDOWN, keys, pointParam(x, y));
}

void WindowObject::onRButtonUp(UINT keys, int x, int y) {
    callPrevious(WM_RBUTTONUP, keys, pointParam(x, y));
}

bool WindowObject::onSetCursor(HWND window, UINT hitTest, UINT mouseMessage) {
    return callPrevious(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(hitTest, mouseMessage)) == 1;
}

void WindowObject::onSetFocus(HWND losingFocus) {
    callPrevious(WM_SETFOCUS, reinterpret_cast<WPARAM>(losingFocus), 0);
}

void WindowObject::onSetText(const char* text) {
    callPrevious(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void WindowObject::onShowWindow(bool shown, UINT status) {
    callPrevious(WM_SHOWWINDOW, shown ? 1 : 0, static_cast<LPARAM>(status));
}

void WindowObject::onSize(UINT type, int width, int height) {
    callPrevious(WM_SIZE, type, pointParam(width, height));
}

void WindowObject::onSizing(UINT edge, RECT* rect) {
    callPrevious(WM_SIZING, edge, reinterpret_cast<LPARAM>(rect));
}

void WindowObject::onTimer(UINT_PTR id, LPARAM) {
    callPrevious(WM_TIMER, id, 0);
}

void WindowObject::onSysChar(UINT character, LPARAM keyData) {
    callPrevious(WM_SYSCHAR, character, keyData);
}

void WindowObject::onSysColorChange() {
    callPrevious(WM_SYSCOLORCHANGE, 0, 0);
}

void WindowObject::onSysCommand(UINT command, int x, int y) {
    callPrevious(WM_SYSCOMMAND, command, pointParam(x, y));
}

void WindowObject::onSysKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) {
    callPrevious(WM_SYSKEYDOWN, virtualKey, MAKELPARAM(repeatCount, flags));
}

void WindowObject::onSysKeyUp(UINT virtualKey, UINT repeatCount, UINT flags) {
    callPrevious(WM_SYSKEYUP, virtualKey, MAKELPARAM(repeatCount, flags));
}

LRESULT WindowObject::onVKeyToItem(UINT virtualKey, HWND listBox, int caretIndex) {
    return callPrevious(WM_VKEYTOITEM, MAKEWPARAM(virtualKey, static_cast<WORD>(caretIndex)),
                        reinterpret_cast<LPARAM>(listBox));
}

void WindowObject::onVScroll(UINT request, UINT position, HWND scrollBar) {
    callPrevious(WM_VSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(scrollBar));
}

void WindowObject::onWindowPosChanged(WINDOWPOS* position) {
    callPrevious(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(position));
}

bool WindowObject::onWindowPosChanging(WINDOWPOS* position) {
    return callPrevious(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(position)) == 1;
}

// Subclassing: messages sent during creation reach only the control's own
// procedure; everything after goes through this object first.
bool WindowObject::subclass(bool created) {
    if (!created) {
        return false;
    }
    application().windowRegistry.bind(hwnd, this);
    previousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(windowProcedure)));
    return true;
}

LRESULT WindowObject::sendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(hwnd, message, wParam, lParam);
}

int WindowObject::getText(std::string& text) const {
    return windowText(hwnd, text);
}

int windowText(HWND window, std::string& text) {
    const int length = GetWindowTextLengthA(window);
    if (length == 0) {
        text.clear();
        return 0;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    text.assign(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
    return length;
}

bool WindowObject::getWindowRect(RECT& rect) const {
    return GetWindowRect(hwnd, &rect) == 1;
}

bool WindowObject::setWindowText(const char* text) const {
    return SetWindowTextA(hwnd, text) == 1;
}

void WindowObject::show(int command) const {
    ShowWindow(hwnd, command);
}
