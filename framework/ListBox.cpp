#include "framework/ListBox.h"

bool ListBox::createListBox(DWORD style, HWND parent, int id) {
    return subclass(
        create(0, "ListBox", nullptr, style, 0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))));
}

int ListBox::count() const {
    return static_cast<int>(sendMessage(LB_GETCOUNT));
}

void ListBox::reset(unsigned rows) const {
    sendMessage(LB_RESETCONTENT);
    sendMessage(LB_INITSTORAGE, rows, 0);
}

int ListBox::add(LPARAM value) const {
    return static_cast<int>(sendMessage(LB_ADDSTRING, 0, value));
}

int ListBox::insert(int index, LPARAM value) const {
    return static_cast<int>(sendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), value));
}

int ListBox::remove(int index) const {
    return static_cast<int>(sendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
}

int ListBox::selection() const {
    return static_cast<int>(sendMessage(LB_GETCURSEL));
}

int ListBox::select(int index) const {
    return static_cast<int>(sendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
}

int ListBox::caret() const {
    return static_cast<int>(sendMessage(LB_GETCARETINDEX));
}

int ListBox::setCaret(int index) const {
    return static_cast<int>(sendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(index)));
}

bool ListBox::itemAt(POINT point, int& index) const {
    const LRESULT answer =
        sendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    index = LOWORD(answer);
    return HIWORD(answer) == 0;
}

void ListBox::setItemHeight(int height) const {
    sendMessage(LB_SETITEMHEIGHT, 0, height);
}

void ListBox::setFont(HFONT font) const {
    sendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ListBox::setRedraw(bool redraw) const {
    sendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
}
