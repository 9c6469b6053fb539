#include "framework/WindowRegistry.h"

void WindowRegistry::bind(HWND window, WindowObject* object) { entries.insert_or_assign(window, object); }

void WindowRegistry::unbind(HWND window) { entries.erase(window); }

WindowObject* WindowRegistry::find(HWND window) const {
    const auto entry = entries.find(window);
    return entry == entries.end() ? nullptr : entry->second;
}
