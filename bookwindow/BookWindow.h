#pragma once

#include "framework/WindowObject.h"

// The main window: caption-less, owned by the hidden owner window; its
// destruction ends the program.
class BookWindow : public WindowObject {
public:
    BookWindow();
    ~BookWindow() override;

    bool createMainWindow(HWND owner);

    void onDestroy() override;
};
