#include "framework/WindowProcedure.h"

#include "framework/Application.h"
#include "framework/ExceptionBarrier.h"
#include "framework/WindowObject.h"

#include <string>

// The framework's own two messages: they must show when nothing else works,
// so they are not loaded from the resources.
namespace {

constexpr char kUnexpectedError[] = "予期しないエラーが発生しました。\r\n";
constexpr char kOutOfMemory[] = "メモリが不足しています。";
constexpr UINT kErrorBox = MB_OK | MB_ICONERROR | MB_TASKMODAL;

} // namespace

void reportUnexpectedError(const char* what) noexcept {
    try {
        std::string message = kUnexpectedError;
        message += what;
        MessageBoxA(nullptr, message.c_str(), application().title.c_str(), kErrorBox);
    } catch (...) {
        reportOutOfMemory();
    }
}

void reportOutOfMemory() noexcept {
    MessageBoxA(nullptr, kOutOfMemory, application().title.c_str(), kErrorBox);
}

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return withinExceptionBarrier<LRESULT>(0, [&]() -> LRESULT {
        WindowRegistry& registry = application().windowRegistry;
        WindowObject* object = registry.find(hwnd);
        if (message == WM_NCCREATE) {
            auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
            if (auto* created = static_cast<WindowObject*>(creation->lpCreateParams)) {
                registry.bind(hwnd, created);
                object = created;
            }
        }
        if (!object) {
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            // Nothing handles WM_NCDESTROY, so the object is still alive after it.
            registry.unbind(hwnd);
            const LRESULT result = object->handleMessage(message, wParam, lParam);
            WindowRegistry::release(*object);
            return result;
        }
        return object->handleMessage(message, wParam, lParam);
    });
}

ATOM registerWindowClass(const char* className, UINT classStyle, HICON icon, HICON smallIcon, HCURSOR cursor,
                         HBRUSH backgroundBrush) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = application().instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = backgroundBrush;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = smallIcon;
    return RegisterClassExA(&windowClass);
}
