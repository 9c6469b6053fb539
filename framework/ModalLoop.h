#pragma once

#include <windows.h>

#include <string>

// Marks a modal loop of the program (a message box, a dialog, a property
// sheet) for as long as it runs. Windows the loop leaves enabled, such as
// floating notes owned by another window, go on receiving input meanwhile;
// code that must not change what an open dialog is about asks running()
// first and, when a loop runs, brings its dialog forward instead of acting.
class ModalLoop {
public:
    ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;
    ~ModalLoop();

    // A modal loop of this process runs now.
    static bool running();
    // When a modal loop runs: brings its dialog to the foreground and
    // returns true. Otherwise returns false and does nothing.
    static bool bringForward();
};

// MessageBoxA, counted as a modal loop, with the program's name
// (Application::title) as its caption, or with another.
int messageBox(HWND owner, const std::string& text, UINT flags);
int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
