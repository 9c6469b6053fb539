#pragma once

#include "framework/WindowObject.h"

// A subclassed "ListBox" control: its messages reach this object first, and
// the list's contents are reached through the methods below.
class ListBox : public WindowObject {
public:
    bool createListBox(DWORD style, HWND parent, int id);

    int count() const;
    // Empties the list and makes room for `rows` rows at once.
    void reset(unsigned rows) const;
    int add(LPARAM value) const;
    int insert(int index, LPARAM value) const;
    int remove(int index) const;
    // LB_ERR when no row is selected.
    int selection() const;
    int select(int index) const;
    int caret() const;
    int setCaret(int index) const;
    // true when the client point lies on a row, whose index `index` gets.
    bool itemAt(POINT point, int& index) const;
    void setItemHeight(int height) const;
    void setFont(HFONT font) const;
    // Drawing held off (false) while many rows change, and on again.
    void setRedraw(bool redraw) const;
};
