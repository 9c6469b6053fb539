#pragma once

// Driving dialogs and property sheets as a user would: tabs, controls, the
// sheet's buttons, message boxes, the file chooser and the colour dialog.
// Meant for DialogScript steps: everything reaches the dialog, which runs on
// another thread (or in another process), through messages.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// Polls until the window is gone or the time is up.
bool waitUntilGone(HWND window, DWORD limitMilliseconds = 5000);

HWND currentPage(HWND sheet);
// Posts the tab change and waits until the sheet shows a page holding `probeId`.
HWND showTab(HWND sheet, int index, int probeId);
inline void pressOk(HWND sheet) {
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
}
inline void pressCancel(HWND sheet) {
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void setItemText(HWND dialog, int id, const std::string& text);
void setCheck(HWND dialog, int id, bool checked);
bool isChecked(HWND dialog, int id);
// A real click: the button checks itself and notifies the dialog.
void click(HWND dialog, int id);

// Selects an entry and tells the dialog, as the combo box itself does.
void chooseComboIndex(HWND dialog, int id, int index);
// Selects the entry equal to `text`; false when there is none.
bool chooseComboText(HWND dialog, int id, const std::string& text);
int comboSelection(HWND dialog, int id);
std::string comboSelectedText(HWND dialog, int id);
std::vector<std::string> comboItems(HWND dialog, int id);

// The text of a message box, whatever identifier its static control has.
std::string messageBoxText(HWND box);

// Types a path into the file chooser's name field and confirms it.
void chooseFile(HWND chooser, const std::string& path);
// Colour dialog: the extended part with the RGB fields is opened first, as a
// user would, then the fields are typed into.
void typeRgb(HWND colorDialog, int red, int green, int blue);
