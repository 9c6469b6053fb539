#include "framework/ComboBox.h"

#include <vector>

LRESULT ComboBox::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(control, message, wParam, lParam);
}

int ComboBox::count() const {
    return static_cast<int>(send(CB_GETCOUNT));
}

std::string ComboBox::text(int index) const {
    const LRESULT length = send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        return {};
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

int ComboBox::add(const std::string& text) const {
    return static_cast<int>(send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::insert(int index, const std::string& text) const {
    return static_cast<int>(send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

void ComboBox::clear() const {
    send(CB_RESETCONTENT);
}

int ComboBox::findExact(const std::string& text) const {
    return static_cast<int>(send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::selection() const {
    return static_cast<int>(send(CB_GETCURSEL));
}

void ComboBox::select(int index) const {
    send(CB_SETCURSEL, static_cast<WPARAM>(index));
}
