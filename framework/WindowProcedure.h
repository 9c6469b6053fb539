#pragma once

#include <windows.h>

// The one window procedure of every window class the program registers and
// of every subclassed control: finds the window's object in the registry
// (binding it at WM_NCCREATE) and lets it handle the message.
LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// RegisterClassExA with windowProcedure; returns the class atom, 0 on failure.
ATOM registerWindowClass(const char* className, UINT classStyle, HICON icon, HICON smallIcon, HCURSOR cursor,
                         HBRUSH backgroundBrush);

// An exception must not unwind through the window system: window and dialog
// procedures end it here and tell the user.
void reportUnexpectedError(const char* what) noexcept;
void reportOutOfMemory() noexcept;
