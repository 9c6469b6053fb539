#pragma once

#include "framework/WindowObject.h"

// The page list's search field: a one-line edit control. Its parent handles
// Enter and Esc (which the control would only beep at), and the keys that
// move through rows go on to the list.
class SearchBox : public WindowObject {
public:
    // Notification codes of the WM_COMMAND the field sends its parent.
    static constexpr UINT kEnter = 0x1000;
    static constexpr UINT kEscape = 0x1001;

    // A hidden child of `parent` with identifier `id`; `rows` receives the
    // keys that move the selection.
    bool createSearchBox(HWND parent, int id, HWND rows);

    void onKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) override;
    void onChar(UINT character, LPARAM keyData) override;

private:
    void notifyParent(UINT code) const;

    HWND list = nullptr;
};
