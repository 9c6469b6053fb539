#pragma once

#include "framework/WindowRegistry.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>
#include <string>

// The application object: what every window reaches globally through
// application() — the module instance, the window registry, string loading,
// the program folder and the shared tooltip window.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // Empties the window registry.
    virtual ~Application();

    virtual bool initInstance();
    virtual bool exitInstance();
    // The message loop, which also calls the watchers of signalled handles;
    // returns the exit code given to quit() (or carried by a WM_QUIT).
    virtual int run();
    // Ends the message loop with `exitCode`. A modal loop running at the time
    // (the system's move or size loop, say) may take the WM_QUIT for itself:
    // the message loop ends anyway once that loop has returned.
    void quit(int exitCode);
    // Asked before each message is dispatched; true when it was handled
    // (an accelerator), so it is not dispatched.
    virtual bool translateAccelerator(MSG& message);
    // From now on the message loop calls `signalled` whenever `handle` (a
    // change notification, say) is signalled; the caller keeps the handle
    // open until unwatch(). Modal loops do not wait for watched handles.
    void watch(HANDLE handle, std::function<void()> signalled);
    void unwatch(HANDLE handle);
    // Dispatches one waiting message; 0 when none was waiting.
    virtual LRESULT pumpMessage();

    void setStartupArguments(HINSTANCE moduleInstance, const char* arguments, int show);
    // false (and `text` unchanged) when there is no such string.
    bool loadString(UINT id, std::string& text) const;
    // The string, empty when there is no such string.
    std::string text(UINT id) const;
    // The string with %1, %2, ... replaced by the inserts in order.
    std::string text(UINT id, std::initializer_list<std::string> inserts) const;
    // The executable's folder, ending in a backslash.
    void moduleDirectory(std::string& directory) const;

    // The common controls and the class that caption panes (and top-level
    // windows made like them) share.
    bool registerWindowClasses(const std::string& className);
    const std::string& paneClass() const { return paneClassName; }
    bool createToolTipWindow(HWND owner);
    // The tooltip control reads string `textId` of this module itself when
    // it shows the tip.
    bool addToolTip(HWND window, UINT textId, const RECT& rect) const;
    // The part of the window that shows its tip, after the window was laid
    // out for another display scale.
    void moveToolTip(HWND window, const RECT& rect) const;
    // Takes the window's tip out of the tooltip window.
    void removeToolTip(HWND window) const;

    HINSTANCE instance = nullptr;
    // The program's name: the caption of its message boxes.
    std::string title;
    const char* commandLine = nullptr; // kept; the program takes no arguments
    int showCommand = 0;               // kept; the settings decide visibility
    WindowRegistry windowRegistry;
    HWND toolTip = nullptr;

private:
    Application* previousApplication;
    std::string paneClassName;
    std::vector<HANDLE> watchedHandles;
    std::vector<std::function<void()>> watchers;
    bool quitting = false;
    int quitCode = 0;
};

// The one application object of the process.
Application& application();
