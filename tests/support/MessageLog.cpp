#include "support/MessageLog.h"

#include <cstdio>

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
    switch (message) {
#define LK_NAME(m)                                                                                                     \
    case m:                                                                                                            \
        return #m;
        LK_NAME(WM_CREATE) LK_NAME(WM_NCCREATE) LK_NAME(WM_DESTROY) LK_NAME(WM_NCDESTROY) LK_NAME(WM_SIZE)
        LK_NAME(WM_MOVE) LK_NAME(WM_ACTIVATE) LK_NAME(WM_SETFOCUS) LK_NAME(WM_KILLFOCUS) LK_NAME(WM_PAINT)
        LK_NAME(WM_CLOSE) LK_NAME(WM_COMMAND) LK_NAME(WM_NOTIFY) LK_NAME(WM_SHOWWINDOW) LK_NAME(WM_SETTEXT)
        LK_NAME(WM_GETTEXT) LK_NAME(WM_KEYDOWN) LK_NAME(WM_KEYUP) LK_NAME(WM_CHAR) LK_NAME(WM_TIMER)
        LK_NAME(WM_NCPAINT) LK_NAME(WM_NCHITTEST) LK_NAME(WM_SETCURSOR) LK_NAME(WM_WINDOWPOSCHANGING)
        LK_NAME(WM_WINDOWPOSCHANGED) LK_NAME(WM_GETMINMAXINFO) LK_NAME(WM_DRAWITEM) LK_NAME(WM_INITDIALOG)
        LK_NAME(WM_CONTEXTMENU) LK_NAME(WM_ERASEBKGND) LK_NAME(WM_NCCALCSIZE) LK_NAME(WM_PARENTNOTIFY)
#undef LK_NAME
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04X", message);
        return text;
    }
    }
}
