#include "framework/WindowRegistry.h"

#include "framework/WindowObject.h"

void WindowRegistry::bind(HWND window, WindowObject* object) {
    object->hwnd = window;
    entries.insert_or_assign(window, object);
}

void WindowRegistry::release(WindowObject& object) {
    object.hwnd = nullptr;
}

void WindowRegistry::unbind(HWND window) {
    entries.erase(window);
}

WindowObject* WindowRegistry::find(HWND window) const {
    const auto entry = entries.find(window);
    return entry == entries.end() ? nullptr : entry->second;
}
