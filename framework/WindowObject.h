#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// Drives one window: every message the window receives becomes a call of one
// virtual handler, with its parameters already split into typed arguments.
// A handler that a class does not override passes the message, rebuilt from
// its arguments, to the previous window procedure (DefWindowProcA for the
// program's own classes, the control's own procedure for subclassed
// controls).
//
// The owner destroys the window before it deletes the object; destroying the
// object leaves the window alone. A handler may end with its own object
// deleted by the owner (a floating note returned to the book from its own
// menu): after a handler returns, the dispatch path never touches the object.
class WindowObject {
public:
    WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    virtual ~WindowObject();

    // Splits the message as the handler table says and calls its handler;
    // messages outside the table go to the previous procedure untouched.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // CreateWindowExA with this object as the creation parameter, so the
    // window is bound at WM_NCCREATE, before onCreate runs.
    virtual bool create(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId);

    // The handlers, one per message. Unless a comment says otherwise the
    // message's result is 0 whatever the handler does.
    virtual void onActivate(UINT state, HWND otherWindow, bool minimized);
    virtual void onActivateApp(bool active, DWORD threadId);
    virtual void onChar(UINT character, LPARAM keyData);
    virtual void onClose();
    virtual void onCommand(UINT notificationCode, UINT id, HWND control);
    virtual void onContextMenu(HWND window, int x, int y);
    // Result 1 or 0; WM_CREATE cannot be failed through it.
    virtual bool onCreate(CREATESTRUCTA* creation);
    // The four colour handlers return the brush (the message result).
    virtual LRESULT onCtlColorEdit(HDC dc, HWND control);
    virtual LRESULT onCtlColorListBox(HDC dc, HWND control);
    virtual LRESULT onCtlColorStatic(HDC dc, HWND control);
    virtual LRESULT onCtlColorButton(HDC dc, HWND control);
    virtual void onDestroy();
    // The window's monitor has another DPI now (per-monitor awareness); the
    // system suggests the rectangle at that DPI.
    virtual void onDpiChanged(int dpi, const RECT* suggested);
    // Result 1 whatever the handler does.
    virtual void onDrawItem(DRAWITEMSTRUCT* item);
    virtual void onDropFiles(HDROP drop);
    virtual void onEnable(bool enabled);
    // Result 1 when the background was erased.
    virtual bool onEraseBackground(HDC dc);
    virtual void onHelp(HELPINFO* help);
    virtual void onGetMinMaxInfo(MINMAXINFO* info);
    virtual void onHotKey(int id, UINT modifiers, UINT virtualKey);
    virtual void onHScroll(UINT request, UINT position, HWND scrollBar);
    // Result 1 to let the dialog manager set the default focus.
    virtual bool onInitDialog(HWND focusControl, LPARAM initValue);
    virtual void onInitMenu(HMENU menu);
    virtual void onInitMenuPopup(HMENU menu, UINT position, bool windowMenu);
    virtual void onKeyDown(UINT virtualKey, UINT repeatCount, UINT flags);
    virtual void onKeyUp(UINT virtualKey, UINT repeatCount, UINT flags);
    virtual void onKillFocus(HWND receivingFocus);
    // Client mouse coordinates arrive as unsigned 16-bit values.
    virtual void onLButtonDblClk(UINT keys, int x, int y);
    virtual void onLButtonDown(UINT keys, int x, int y);
    virtual void onLButtonUp(UINT keys, int x, int y);
    virtual void onMeasureItem(UINT controlId, MEASUREITEMSTRUCT* item);
    virtual void onMenuSelect(UINT item, UINT flags, HMENU menu);
    // Returns the activation answer (MA_ACTIVATE, MA_NOACTIVATE, ...).
    virtual LRESULT onMouseActivate(HWND topLevel, UINT hitTest, UINT mouseMessage);
    virtual void onMouseMove(UINT keys, int x, int y);
    virtual void onMove(int x, int y);
    virtual void onMoving(UINT edge, RECT* rect);
    // Returns the notification's answer.
    virtual LRESULT onNotify(int controlId, NMHDR* header);
    // Screen coordinates, sign-extended; returns the hit-test code.
    virtual LRESULT onNcHitTest(int x, int y);
    virtual void onNcLButtonDown(UINT hitTest, int x, int y);
    virtual void onNcLButtonUp(UINT hitTest, int x, int y);
    virtual void onNcPaint(HRGN updateRegion);
    virtual void onNcRButtonDown(UINT hitTest, int x, int y);
    virtual void onNcRButtonUp(UINT hitTest, int x, int y);
    virtual void onPaint();
    virtual void onParentNotify(UINT event, UINT childId, LPARAM value);
    // Result 1 when the session may end.
    virtual bool onQueryEndSession();
    virtual void onRButtonDblClk(UINT keys, int x, int y);
    virtual void onRButtonDown(UINT keys, int x, int y);
    virtual void onRButtonUp(UINT keys, int x, int y);
    // Result 1 when the cursor was set.
    virtual bool onSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    virtual void onSetFocus(HWND losingFocus);
    // Result 1 whatever the handler does.
    virtual void onSetText(const char* text);
    virtual void onShowWindow(bool shown, UINT status);
    virtual void onSize(UINT type, int width, int height);
    virtual void onSizing(UINT edge, RECT* rect);
    virtual void onTimer(UINT_PTR id, LPARAM callback);
    virtual void onSysChar(UINT character, LPARAM keyData);
    virtual void onSysColorChange();
    virtual void onSysCommand(UINT command, int x, int y);
    virtual void onSysKeyDown(UINT virtualKey, UINT repeatCount, UINT flags);
    virtual void onSysKeyUp(UINT virtualKey, UINT repeatCount, UINT flags);
    // Returns -1 for the list box's default action, -2 when handled, or an item index.
    virtual LRESULT onVKeyToItem(UINT virtualKey, HWND listBox, int caretIndex);
    virtual void onVScroll(UINT request, UINT position, HWND scrollBar);
    virtual void onWindowPosChanged(WINDOWPOS* position);
    // Result 1 or 0 as the previous procedure answers.
    virtual bool onWindowPosChanging(WINDOWPOS* position);

    // The window this object drives; null before it is created and once it
    // is gone.
    HWND handle() const { return hwnd; }

    // What every window offers.
    int getText(std::string& text) const;
    bool getWindowRect(RECT& rect) const;
    bool setWindowText(const char* text) const;
    void show(int command) const;

protected:
    LRESULT callPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT sendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // For a standard control this object has just created: from now on its
    // messages reach this object first, then the control's own procedure.
    bool subclass(bool created);

    HWND hwnd = nullptr;
    // Where unhandled messages go; replaced only when a control is subclassed.
    WNDPROC previousProc = DefWindowProcA;

private:
    // The window and dialog procedures bind and release the window.
    friend class WindowRegistry;
};

// The text of any window of this process, read whole; returns its length.
int windowText(HWND window, std::string& text);
