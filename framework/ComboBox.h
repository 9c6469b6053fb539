#pragma once

#include <windows.h>

#include <string>

// A combo box of a dialog, reached through its handle; the dialog owns the
// control. Indexes are those of the list as shown; CB_ERR (-1) is none.
class ComboBox {
public:
    explicit ComboBox(HWND window) : control(window) {}

    int count() const;
    std::string text(int index) const;
    // Adds in the list's own order (a sorted list sorts it in).
    int add(const std::string& text) const;
    // At `index`; -1 appends even to a sorted list.
    int insert(int index, const std::string& text) const;
    void clear() const;
    // The entry equal to `text` ignoring case, not one merely beginning with it.
    int findExact(const std::string& text) const;
    int selection() const;
    void select(int index) const;

private:
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    HWND control;
};
