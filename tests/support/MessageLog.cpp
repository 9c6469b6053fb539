#include "support/MessageLog.h"

#include <cstdio>
#include <utility>

MessageLog recordingLog;
bool recordingAnswerSet = false;
LRESULT recordingAnswer = 0;

LRESULT CALLBACK recordingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    recordingLog.add(hwnd, message, wParam, lParam);
    if (recordingAnswerSet) {
        return recordingAnswer;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::vector<RecordedMessage> MessageLog::only(UINT message) const {
    std::vector<RecordedMessage> selected;
    for (const auto& entry : entries) {
        if (entry.message == message) {
            selected.push_back(entry);
        }
    }
    return selected;
}

std::string messageName(UINT message) {
#define LK_NAMED(m)                                                                                                    \
    { m, #m }
    static const std::pair<UINT, const char*> names[] = {
        LK_NAMED(WM_CREATE),
        LK_NAMED(WM_NCCREATE),
        LK_NAMED(WM_DESTROY),
        LK_NAMED(WM_NCDESTROY),
        LK_NAMED(WM_SIZE),
        LK_NAMED(WM_MOVE),
        LK_NAMED(WM_ACTIVATE),
        LK_NAMED(WM_SETFOCUS),
        LK_NAMED(WM_KILLFOCUS),
        LK_NAMED(WM_PAINT),
        LK_NAMED(WM_CLOSE),
        LK_NAMED(WM_COMMAND),
        LK_NAMED(WM_NOTIFY),
        LK_NAMED(WM_SHOWWINDOW),
        LK_NAMED(WM_SETTEXT),
        LK_NAMED(WM_GETTEXT),
        LK_NAMED(WM_KEYDOWN),
        LK_NAMED(WM_KEYUP),
        LK_NAMED(WM_CHAR),
        LK_NAMED(WM_TIMER),
        LK_NAMED(WM_NCPAINT),
        LK_NAMED(WM_NCHITTEST),
        LK_NAMED(WM_SETCURSOR),
        LK_NAMED(WM_WINDOWPOSCHANGING),
        LK_NAMED(WM_WINDOWPOSCHANGED),
        LK_NAMED(WM_GETMINMAXINFO),
        LK_NAMED(WM_DRAWITEM),
        LK_NAMED(WM_INITDIALOG),
        LK_NAMED(WM_CONTEXTMENU),
        LK_NAMED(WM_ERASEBKGND),
        LK_NAMED(WM_NCCALCSIZE),
        LK_NAMED(WM_PARENTNOTIFY),
    };
#undef LK_NAMED
    for (const auto& [number, name] : names) {
        if (number == message) {
            return name;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", message);
    return text;
}
