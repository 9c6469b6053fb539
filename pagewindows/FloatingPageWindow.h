#pragma once

#include "pagewindows/PageView.h"

// A page taken out of the book into a sticky-note window of its own: a page
// view in a top-level pop-up without a title bar. While the page's showTitle
// flag is off the window is just the framed editor; when the pointer comes
// over it while the program has the keyboard focus, it grows upward by the
// caption strip (the text stays where it is), gets a sizing border unless
// the page's size is fixed, and shows the close button. Timer 103 shrinks it
// back once the pointer has left. The caption strip drags the window; a
// right-click on the strip or the border opens the window's own menu.
//
// The book window creates one per floating page and destroys it when the
// page returns to the book, is deleted, or the program ends. Returning and
// deleting are asked of the book window from this window's own handlers,
// which end with this object deleted: they return at once after the call.
class FloatingPageWindow : public PageView {
public:
    explicit FloatingPageWindow(BookController* windowOwner);

    // Losing the activation ends a lift over the book window (comeForward).
    void onActivate(UINT state, HWND otherWindow, bool minimized) override;
    // Returns the page to the book (Alt+F4 and the like).
    void onClose() override;
    void onCommand(UINT notificationCode, UINT id, HWND control) override;
    // The floating menu, for a right-click on the close button (the strip
    // and the border arrive as onNcRButtonDown).
    void onContextMenu(HWND window, int x, int y) override;
    // The page view's editor and close button; the button and the editor's
    // scroll bar start hidden.
    bool onCreate(CREATESTRUCTA* creation) override;
    // Keeps at least 15 x 15 pixels (at 96 DPI) when the border is dragged.
    void onGetMinMaxInfo(MINMAXINFO* info) override;
    void onDpiChanged(int dpi, const RECT* suggested) override;
    // The bare client area, which is the caption strip, moves the window.
    LRESULT onNcHitTest(int x, int y) override;
    void onNcRButtonDown(UINT hitTest, int x, int y) override;
    // The hover expansion, then the system's cursor for the spot.
    bool onSetCursor(HWND window, UINT hitTest, UINT mouseMessage) override;
    // Collapsed without a title: the editor fills the window.
    void onSize(UINT type, int width, int height) override;
    // The hover end.
    void onTimer(UINT_PTR id, LPARAM callback) override;

    // A hidden top-level pop-up owned by `ownerWindow` (the program's hidden
    // owner window: no task bar button, and it stays while the book window is
    // hidden). false when the window could not be made.
    bool createPane(HWND ownerWindow) override;
    // Marks the page floating and shows it. A page new to the window places
    // the window at the page's floatingRect (moved onto a monitor when the
    // rectangle lies off every screen) and above other windows when the page
    // is always on top.
    void setPage(Page* newPage) override;
    // The window's screen rectangle into floatingRect, then the page view's
    // store.
    void storePage() override;
    // Shows the window on top of the others, where the user sees it, with
    // the keyboard focus. Over a book window that stays on top
    // (`overTopmostBook`) the window joins the topmost windows until it loses
    // the activation: below them it would stay under the book window and
    // take the keys out of sight.
    void comeForward(bool overTopmostBook);

protected:
    bool hovering = false;

private:
    void expand();
    void collapse();
    // The pointer is over this window or one of its children, not just inside
    // its rectangle; true when the pointer cannot be read.
    bool pointerIsOver() const;
    void resizeByCaption(bool grow);
    void applyFrameChange() const;
    void relayout();
    void placeOnScreen(Page& shown) const;
    void applyTopmost() const;
    void showMenu(int x, int y);
    void editSettings();
    void toggleFixedSize();
    void toggleShowTitle();
    void toggleAlwaysOnTop();

    // Set while the menu is open: the caption strip stays for it even when
    // the pointer is over the menu, outside the window.
    bool menuOpen = false;
    bool liftedOverBook = false;
};
