#include "bookwindow/SearchBox.h"

namespace {

constexpr DWORD kStyle = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
constexpr UINT kReturn = '\r';
constexpr UINT kEscapeCharacter = 0x1B;

bool movesThroughRows(UINT virtualKey) {
    return virtualKey == VK_UP || virtualKey == VK_DOWN || virtualKey == VK_PRIOR || virtualKey == VK_NEXT;
}

} // namespace

bool SearchBox::createSearchBox(HWND parent, int id, HWND rows) {
    list = rows;
    return subclass(
        create(0, "Edit", nullptr, kStyle, 0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))));
}

void SearchBox::onKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) {
    if (virtualKey == VK_RETURN) {
        notifyParent(kEnter);
        return;
    }
    if (virtualKey == VK_ESCAPE) {
        notifyParent(kEscape);
        return;
    }
    if (movesThroughRows(virtualKey)) {
        SendMessageA(list, WM_KEYDOWN, virtualKey, MAKELPARAM(repeatCount, flags));
        return;
    }
    WindowObject::onKeyDown(virtualKey, repeatCount, flags);
}

void SearchBox::onChar(UINT character, LPARAM keyData) {
    if (character == kReturn || character == kEscapeCharacter) {
        return;
    }
    WindowObject::onChar(character, keyData);
}

void SearchBox::notifyParent(UINT code) const {
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}
