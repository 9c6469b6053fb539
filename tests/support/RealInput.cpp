#include "support/RealInput.h"

#include <cstring>
#include <vector>

namespace RealInput {

namespace {

constexpr int kDragSteps = 8;
// How long a move may take to reach the pointer's position.
constexpr DWORD kMoveLimit = 1000;

INPUT mouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return input;
}

INPUT keyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Absolute coordinates run from 0 to 65535 across the primary screen.
LONG normalised(LONG value, int extent) {
    return static_cast<LONG>((value * 65535LL + extent / 2) / (extent - 1));
}

DWORD buttonFlag(Button button, bool down) {
    if (button == Button::Left) {
        return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
}

INPUT absoluteInput(POINT point, DWORD flags = 0) {
    return mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags,
                      normalised(point.x, GetSystemMetrics(SM_CXSCREEN)),
                      normalised(point.y, GetSystemMetrics(SM_CYSCREEN)));
}

// Where the pointer was last sent; every button event carries it, so a press
// lands there even when the system has not caught up with the move yet.
POINT lastPoint{};

bool cursorAt(POINT point) {
    POINT now{};
    return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}

// The window holding the capture (the system's move or size loop, a
// control) in the thread of `window`, if any.
HWND captureInThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!window || !GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndCapture;
}

template <typename Condition> void waitUpTo(DWORD limit, Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition() && GetTickCount() - start < limit) {
        Sleep(1);
    }
}

// Lets the thread of `window` handle what is queued for it. Under Wine a busy
// thread reads the X server's pointer events late and hands their positions
// back to the system, older than the moves sent since; once it has caught up,
// no such stale position is left to come.
void letCatchUp(HWND window) {
    DWORD_PTR ignored = 0;
    if (window) {
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kMoveLimit, &ignored);
    }
}

} // namespace

void moveTo(POINT point) {
    const POINT previous = lastPoint;
    lastPoint = point;
    const DWORD start = GetTickCount();
    do {
        send({absoluteInput(point)});
        // Under Wine the pointer reaches its place a moment after the move is
        // sent; what reads it next (a hover, a tooltip) expects it there.
        waitUpTo(kMoveLimit, [&] { return cursorAt(point); });
        const HWND under = WindowFromPoint(point);
        const HWND left = WindowFromPoint(previous);
        letCatchUp(under);
        if (left != under) {
            letCatchUp(left);
        }
        // A stale position handed back took the pointer away again.
    } while (!cursorAt(point) && GetTickCount() - start < kMoveLimit);
}

void press(Button button) {
    send({absoluteInput(lastPoint, buttonFlag(button, true))});
}

void release(Button button) {
    send({absoluteInput(lastPoint, buttonFlag(button, false))});
}

void click(POINT point, Button button) {
    moveTo(point);
    send({absoluteInput(point, buttonFlag(button, true)), absoluteInput(point, buttonFlag(button, false))});
}

void doubleClick(POINT point) {
    moveTo(point);
    send({absoluteInput(point, MOUSEEVENTF_LEFTDOWN), absoluteInput(point, MOUSEEVENTF_LEFTUP),
          absoluteInput(point, MOUSEEVENTF_LEFTDOWN), absoluteInput(point, MOUSEEVENTF_LEFTUP)});
}

void drag(POINT from, POINT to, Button button) {
    moveTo(from);
    press(button);
    // A busy program may start its move loop late; moves sent before it runs
    // would be lost to it.
    HWND taker = nullptr;
    waitUpTo(kMoveLimit, [&] { return (taker = captureInThreadOf(WindowFromPoint(from))) != nullptr; });
    for (int step = 1; step <= kDragSteps; ++step) {
        moveTo(POINT{from.x + (to.x - from.x) * step / kDragSteps, from.y + (to.y - from.y) * step / kDragSteps});
        // At the pace the loop takes it: the pointer may have left the window
        // whose thread runs the loop.
        letCatchUp(taker);
    }
    release(button);
    // The drag is over once whatever took the press has let it go: a move
    // loop still running would take the next input as part of the drag.
    if (taker) {
        waitUpTo(kMoveLimit, [&] { return captureInThreadOf(taker) != taker; });
    }
    letCatchUp(WindowFromPoint(to));
}

void keys(std::initializer_list<WORD> virtualKeys) {
    std::vector<INPUT> inputs;
    for (const WORD key : virtualKeys) {
        inputs.push_back(keyInput(key, false));
    }
    for (auto key = virtualKeys.end(); key != virtualKeys.begin();) {
        inputs.push_back(keyInput(*--key, true));
    }
    send(inputs);
}

void typeAscii(const std::string& text) {
    for (const char character : text) {
        const SHORT mapped = VkKeyScanA(character);
        const WORD key = LOBYTE(mapped);
        if (HIBYTE(mapped) & 1) {
            keys({VK_SHIFT, key});
        } else {
            keys({key});
        }
    }
}

bool paste(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) {
        return false;
    }
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool placed = false;
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        placed = SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!placed) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
    if (placed) {
        keys({VK_CONTROL, 'V'});
    }
    return placed;
}

POINT centreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT pointIn(HWND window, int x, int y) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{x >= 0 ? rect.left + x : rect.right + x, y >= 0 ? rect.top + y : rect.bottom + y};
}

} // namespace RealInput
