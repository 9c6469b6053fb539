#include "framework/EditControl.h"

#include "framework/AutomaticColor.h"
#include "framework/Brushes.h"
#include "framework/Fonts.h"

#include <utility>

namespace {

constexpr DWORD kEditorStyle = WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;

} // namespace

// The brush exists from the start, so the parent never hands the control a
// null brush for its background.
EditControl::EditControl(UINT closeRequestId) : backBrush(createBrush(BS_SOLID, backColor, 0)) {
    addKeyCommand(VK_F4, true, false, closeRequestId);
}

void EditControl::addKeyCommand(UINT virtualKey, bool control, bool shift, UINT command) {
    keyCommands.push_back({virtualKey, control, shift, command});
}

bool EditControl::createEditor(HWND parent) {
    if (!subclass(create(0, "Edit", nullptr, kEditorStyle, 0, 0, 0, 0, parent, nullptr))) {
        return false;
    }
    // The default limit stops typing at 32,767 characters; a memo may be longer.
    sendMessage(EM_SETLIMITTEXT);
    return true;
}

// Every WM_SETFONT lays the whole text out again, which under Wine takes
// more than half a second for a megabyte of text: an unchanged font stays,
// and a new one is handed over in one message.
void EditControl::setFont(const char* faceName, int pointSize) {
    const bool controlHasIt = font && sendMessage(WM_GETFONT) == reinterpret_cast<LRESULT>(font.get());
    const DisplayScale scale = DisplayScale::of(hwnd);
    if (controlHasIt && fontFace == faceName && fontPoints == pointSize && fontScale == scale) {
        return;
    }
    GdiObject<HFONT> replacement;
    createPointFont(replacement, faceName, pointSize, scale);
    // The control takes the new font before the old one is deleted, so it
    // never holds a deleted font.
    sendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(replacement.get()), FALSE);
    font = std::move(replacement);
    fontFace = faceName;
    fontPoints = pointSize;
    fontScale = scale;
}

void EditControl::applyDisplayScale() {
    if (font) {
        setFont(fontFace.c_str(), fontPoints);
    }
}

HBRUSH EditControl::setBackColor(COLORREF color) {
    backColor = resolvedColor(color, COLOR_WINDOW);
    backBrush.reset(createBrush(BS_SOLID, backColor, 0));
    return backBrush.get();
}

COLORREF EditControl::setTextColor(COLORREF color) {
    textColor = resolvedColor(color, COLOR_BTNTEXT);
    return textColor;
}

HBRUSH EditControl::prepareColors(HDC dc) const {
    SetBkColor(dc, backColor);
    SetTextColor(dc, textColor);
    return backBrush.get();
}

bool EditControl::scrollCaret() const {
    return sendMessage(EM_SCROLLCARET) == 1;
}

BOOL EditControl::showVerticalScrollBar(bool show) const {
    return ShowScrollBar(hwnd, SB_VERT, show ? TRUE : FALSE);
}

void EditControl::setMargins(int left, int right) const {
    sendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
}

void EditControl::setReadOnly(bool readOnly) const {
    sendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE);
}

void EditControl::select(int start, int end) const {
    sendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void EditControl::selection(int& start, int& end) const {
    DWORD first = 0;
    DWORD last = 0;
    sendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
}

bool EditControl::modified() const {
    return sendMessage(EM_GETMODIFY) != 0;
}

void EditControl::setModified(bool modified) const {
    sendMessage(EM_SETMODIFY, modified ? TRUE : FALSE);
}

// The control sees the key before the parent gets the command: closing a
// floating page deletes this object, so nothing may follow the command.
void EditControl::onKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) {
    WindowObject::onKeyDown(virtualKey, repeatCount, flags);
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    for (const KeyCommand& key : keyCommands) {
        if (key.virtualKey == virtualKey && key.control == control && key.shift == shift) {
            SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(key.command, 0), 0);
            return;
        }
    }
}

bool EditControl::onSetCursor(HWND window, UINT hitTest, UINT mouseMessage) {
    WindowObject::onSetCursor(window, hitTest, mouseMessage);
    const bool overText = GetFocus() != nullptr && hitTest != HTVSCROLL;
    SetCursor(LoadCursorA(nullptr, overText ? IDC_IBEAM : IDC_ARROW));
    return true;
}

void EditControl::onShowWindow(bool shown, UINT status) {
    if (shown) {
        scrollCaret();
    }
    WindowObject::onShowWindow(shown, status);
}
