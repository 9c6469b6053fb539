#include "app/BookApplication.h"

#include "framework/WindowProcedure.h"
#include "resources/resource.h"


namespace {
constexpr const char* kOwnerClassName = "lkdmywnd";
constexpr UINT kAcceleratorTableId = 102;
} // namespace

BookApplication::BookApplication() = default;

BookApplication::~BookApplication() = default;

bool BookApplication::bringRunningInstanceForward() const {
    std::string className;
    std::string title;
    loadString(IDS_MAIN_CLASS, className);
    loadString(IDS_APP_TITLE, title);
    HWND running = FindWindowA(className.c_str(), title.c_str());
    if (!running) {
        return false;
    }
    ShowWindow(running, SW_SHOW);
    SetForegroundWindow(running);
    return true;
}

bool BookApplication::createOwnerWindow() {
    registerWindowClass(kOwnerClassName, 0, nullptr, nullptr, nullptr, nullptr);
    return ownerWindow.create(0, kOwnerClassName, nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr);
}

bool BookApplication::initInstance() {
    if (bringRunningInstanceForward()) {
        return false;
    }
    if (!registerWindowClasses()) {
        return false;
    }
    // There is no such table: the handle stays null and every keyboard
    // command is handled by window handlers.
    accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kAcceleratorTableId));

    if (!createOwnerWindow() || !createToolTipWindow(ownerWindow.hwnd)) {
        return false;
    }
    if (!mainWindow.createMainWindow(ownerWindow.hwnd)) {
        return false;
    }
    SetWindowLongA(toolTip, GWL_HWNDPARENT, reinterpret_cast<LONG>(mainWindow.hwnd));
    return true;
}

int BookApplication::run() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(mainWindow.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
