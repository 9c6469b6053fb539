#include "framework/DisplayScale.h"

#include "framework/DcScopes.h"

namespace {

constexpr char kDpiProperty[] = "LkDisplayDpi";

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Windows 10 and later; older systems have only the system DPI.
GetDpiForWindowFunction dpiForWindowFunction() {
    static const auto function = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return function;
}

} // namespace

DisplayScale DisplayScale::system() {
    static const int dots = [] {
        const WindowDc screen(nullptr);
        return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kBaseDpi;
    }();
    return DisplayScale(dots);
}

DisplayScale DisplayScale::of(HWND window) {
    const HWND topLevel = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (!topLevel) {
        return system();
    }
    if (const auto told = reinterpret_cast<INT_PTR>(GetPropA(topLevel, kDpiProperty))) {
        return DisplayScale(static_cast<int>(told));
    }
    if (const GetDpiForWindowFunction dpiForWindow = dpiForWindowFunction()) {
        if (const UINT dots = dpiForWindow(topLevel)) {
            return DisplayScale(static_cast<int>(dots));
        }
    }
    return system();
}

void DisplayScale::remember(HWND topLevel, int dotsPerInch) {
    SetPropA(topLevel, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dotsPerInch)));
}

void DisplayScale::forget(HWND topLevel) {
    RemovePropA(topLevel, kDpiProperty);
}
