#pragma once

#include "framework/Application.h"
#include "bookwindow/BookWindow.h"
#include "framework/WindowObject.h"

// Leafkeeper's application: runs once per user, owns the invisible owner
// window of every top-level window, and the book window.
class BookApplication : public Application {
public:
    BookApplication();
    // The main window object goes first, then the owner window object, then
    // the registry; their windows are gone by then.
    ~BookApplication() override;

    // The start-up sequence; false when another instance runs or a window
    // cannot be created.
    bool initInstance() override;
    // The accelerator step before dispatch.
    bool translateAccelerator(MSG& message) override;

    // What every module made of the program's windows needs before its first
    // window (the program itself, its test executables and the in-process
    // benchmark): the program's name for its message boxes, the common
    // controls and the page window class. false when a class is refused.
    static bool prepare(Application& module);

    HACCEL accelerators = nullptr;
    WindowObject ownerWindow;
    BookWindow mainWindow;

private:
    bool bringRunningInstanceForward() const;
    bool createOwnerWindow();
};
