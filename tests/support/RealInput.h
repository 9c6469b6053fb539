#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// Input as a user gives it: through the system's input queue (SendInput), so
// it takes the path a real click or key press takes — hit testing, capture,
// activation, the keyboard focus — whichever process's window is under the
// pointer. Coordinates are screen pixels. A move returns with the pointer in
// place and the thread under it caught up with it, and a drag once its
// release is taken; what a click or a key leads to, the caller waits for.
namespace RealInput {

enum class Button { Left, Right };

void moveTo(POINT point);
void press(Button button);
void release(Button button);
void click(POINT point, Button button = Button::Left);
void doubleClick(POINT point);
// Presses at `from`, moves in steps to `to` and releases there; returns once
// whatever took the press (a move or size loop) has let it go.
void drag(POINT from, POINT to, Button button = Button::Left);

// Presses the keys in order and releases them in reverse: {VK_CONTROL, VK_F4}.
void keys(std::initializer_list<WORD> virtualKeys);
// Types printable ASCII as key presses.
void typeAscii(const std::string& text);
// Puts code page 932 text on the clipboard for `owner` and pastes it with
// Ctrl+V, as a user brings Japanese into a window without an input method.
bool paste(HWND owner, const std::string& text);

// The centre of a window's rectangle, and a point given relative to its top
// left corner (negative values count from the right or bottom edge).
POINT centreOf(HWND window);
POINT pointIn(HWND window, int x, int y);

} // namespace RealInput
