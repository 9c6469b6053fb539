#pragma once

// Driving the page settings sheet from a DialogScript step, as a user would:
// tabs, controls, the sheet's buttons, message boxes and the colour dialog.
// Everything here runs on the script's thread and reaches the sheet, which
// runs on the test thread, through messages.

#include <windows.h>

#include <string>
#include <vector>

namespace pagesheet {

// Ends the test thread's dialogs still open after the limit (a sheet is
// destroyed, anything else cancelled), so a script that lost its way fails
// the test instead of leaving it in a modal loop.
class SheetWatchdog {
public:
    explicit SheetWatchdog(UINT limitMilliseconds = 20000);
    SheetWatchdog(const SheetWatchdog&) = delete;
    SheetWatchdog& operator=(const SheetWatchdog&) = delete;
    ~SheetWatchdog();

    bool fired() const { return hasFired; }

private:
    static void CALLBACK expire(HWND, UINT, UINT_PTR id, DWORD);

    UINT_PTR timer = 0;
    bool hasFired = false;
};

// Polls until the condition holds or the time is up.
bool waitFor(bool (*condition)(HWND), HWND window, DWORD limitMilliseconds = 5000);
bool waitUntilGone(HWND window, DWORD limitMilliseconds = 5000);

HWND currentPage(HWND sheet);
// Posts the tab change and waits until the sheet shows a page holding `probeId`.
HWND showTab(HWND sheet, int index, int probeId);
void pressOk(HWND sheet);
void pressCancel(HWND sheet);

void setItemText(HWND page, int id, const std::string& text);
std::string itemText(HWND page, int id);
void setCheck(HWND page, int id, bool checked);
bool isChecked(HWND page, int id);

// Selects an entry and tells the page, as the combo box itself does.
void chooseComboIndex(HWND page, int id, int index);
// Selects the entry equal to `text`; false when there is none.
bool chooseComboText(HWND page, int id, const std::string& text);
int comboSelection(HWND page, int id);
std::string comboSelectedText(HWND page, int id);
std::vector<std::string> comboItems(HWND page, int id);

// The message text of a message box.
std::string messageBoxText(HWND box);
// The window with the keyboard focus in the thread that owns `window`.
HWND focusOfThread(HWND window);

// A swatch button drawn through the page's WM_DRAWITEM into a bitmap.
struct Rendering {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // Pixels of `color` inside the area that the edge and focus frame leave free.
    int countInside(COLORREF color) const;
};
Rendering renderSwatch(HWND page, int buttonId, UINT itemState = 0);

// Colour dialog: the extended part with the RGB fields is opened first, as
// a user would, then the fields are typed into.
void typeRgb(HWND colorDialog, int red, int green, int blue);
// A click on the first cell of the custom colours.
void clickFirstCustomColor(HWND colorDialog);

} // namespace pagesheet
