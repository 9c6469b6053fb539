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
    // The class and the title together: another program may have a window of
    // the same class name.
    HWND running = FindWindowA(text(IDS_MAIN_CLASS).c_str(), text(IDS_APP_TITLE).c_str());
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
    if (!prepare(*this)) {
        return false;
    }
    // There is no such table: the handle stays null and every keyboard
    // command is handled by window handlers.
    accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kAcceleratorTableId));

    if (!createOwnerWindow() || !createToolTipWindow(ownerWindow.handle())) {
        return false;
    }
    if (!mainWindow.createMainWindow(ownerWindow.handle())) {
        return false;
    }
    SetWindowLongA(toolTip, GWL_HWNDPARENT, reinterpret_cast<LONG>(mainWindow.handle()));
    return true;
}

bool BookApplication::prepare(Application& module) {
    module.title = module.text(IDS_APP_TITLE);
    return module.registerWindowClasses(module.text(IDS_DOC_CLASS));
}

bool BookApplication::translateAccelerator(MSG& message) {
    return accelerators && TranslateAcceleratorA(mainWindow.handle(), accelerators, &message);
}
