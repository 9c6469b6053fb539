#pragma once

#include <windows.h>

// The dialog procedures given to the dialog manager. Both bind the window's
// object at WM_INITDIALOG and then hand it the messages of the reduced
// dialog dispatch; every other message, and every message of a window
// without an object, answers FALSE so the dialog manager does its default
// processing.

// For DialogBoxParamA: the initialisation value is the DialogWindow itself.
INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For property-sheet pages: the initialisation value points to the sheet's
// copy of the page record, whose lParam is the PropertyPage.
INT_PTR CALLBACK pageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
