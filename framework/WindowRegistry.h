#pragma once

#include <windows.h>

#include <map>

class WindowObject;

// Maps each window handle to the object that drives it. Does not own the
// objects. An entry leaves at WM_NCDESTROY, and a new binding replaces any
// entry for a reused handle value, so a message never reaches a deleted object.
class WindowRegistry {
public:
    // The object drives `window` from now on (its handle() is `window`).
    void bind(HWND window, WindowObject* object);
    void unbind(HWND window);
    // The object's window is gone: its handle() is null from now on.
    static void release(WindowObject& object);
    WindowObject* find(HWND window) const;
    std::size_t size() const { return entries.size(); }
    void clear() { entries.clear(); }

private:
    std::map<HWND, WindowObject*> entries;
};
