#pragma once

#include "book/Page.h"

#include <windows.h>

// The dialog's sixteen custom colours, shared by every swatch and every run
// of the page settings sheet; kept for the whole run of the program, never
// saved. All black at start-up.
extern COLORREF customColors[16];

// Set by the hook when the user pressed "自動設定(&T)"; the dialog then ends
// as if cancelled, so this flag is how the choice comes back.
extern bool autoColorChosen;

// The system colour dialog on the program's own template, which adds one
// button for the automatic colour.
class ColorChooser {
public:
    explicit ColorChooser(HWND ownerWindow);

    // Shows the dialog starting from `color` (AutoColor starts it from
    // 0xFFFFFFFF). True when the user chose a colour or the automatic colour;
    // `color` then holds it, AutoColor for automatic. False on Cancel, with
    // `color` untouched.
    bool choose(Color& color) const;

    // Turns a press of the automatic button into the end of the dialog;
    // every other message goes on to the dialog's own processing.
    static UINT_PTR CALLBACK hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND owner;
};
