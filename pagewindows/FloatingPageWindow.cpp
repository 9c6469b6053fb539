#include "pagewindows/FloatingPageWindow.h"

#include "framework/Application.h"
#include "framework/DisplayScale.h"
#include "book/Page.h"
#include "pagewindows/BookController.h"
#include "framework/ModalLoop.h"
#include "framework/MonitorPlacement.h"
#include "framework/PopupMenu.h"
#include "resources/resource.h"
#include "sheets/PageSettingsSheet.h"

#include <algorithm>
#include <string>

namespace {

constexpr UINT_PTR kHoverTimer = 103;
constexpr UINT kHoverPeriod = 200; // milliseconds
constexpr int kMinimumSize = 15;
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU;
constexpr UINT kFrameChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

RECT toRect(const PageRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}
PageRect toPageRect(const RECT& rect) {
    return PageRect{rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

FloatingPageWindow::FloatingPageWindow(BookController* windowOwner) : PageView(windowOwner) {}

void FloatingPageWindow::onActivate(UINT state, HWND otherWindow, bool minimized) {
    if (state == WA_INACTIVE && liftedOverBook) {
        liftedOverBook = false;
        applyTopmost();
    }
    PageView::onActivate(state, otherWindow, minimized);
}

// The owner deletes this object inside the call.
void FloatingPageWindow::onClose() {
    if (owner && page()) {
        owner->returnToBook(page());
    }
}

// Returning and deleting end with this object deleted inside the owner's
// call: those cases return at once.
void FloatingPageWindow::onCommand(UINT notificationCode, UINT id, HWND control) {
    if (isUserEdit(notificationCode, control)) {
        reportEdit();
        return;
    }
    if (!owner || !page()) {
        return;
    }
    switch (id) {
    case CMD_RETURN_TO_BOOK:
        owner->returnToBook(page());
        return;
    case CMD_CLOSE_VIEW:
        if (notificationCode == 0) {
            owner->returnToBook(page());
        }
        return;
    case CMD_DELETE_PAGE:
        owner->deletePage(page());
        return;
    case CMD_PAGE_SETTINGS:
        editSettings();
        return;
    case CMD_ALWAYS_ON_TOP:
        toggleAlwaysOnTop();
        return;
    case CMD_FIX_SIZE:
        toggleFixedSize();
        return;
    case CMD_SHOW_TITLE:
        toggleShowTitle();
        return;
    case CMD_FIND:
        askForWords();
        return;
    case CMD_FIND_NEXT:
    case CMD_FIND_PREVIOUS:
        findAgain(id == CMD_FIND_NEXT);
        return;
    default:
        return;
    }
}

void FloatingPageWindow::onContextMenu(HWND, int x, int y) {
    showMenu(x, y);
}

bool FloatingPageWindow::onCreate(CREATESTRUCTA* creation) {
    const bool result = PageView::onCreate(creation);
    ShowWindow(closeButton, SW_HIDE);
    editor->showVerticalScrollBar(false);
    return result;
}

void FloatingPageWindow::onGetMinMaxInfo(MINMAXINFO* info) {
    if (info) {
        const int smallest = DisplayScale::of(hwnd)(kMinimumSize);
        info->ptMinTrackSize = POINT{smallest, smallest};
    }
}

// Dragged onto a monitor of another scale: the strip, the fonts and the
// close button are measured again at its DPI, in the rectangle the system
// suggests.
void FloatingPageWindow::onDpiChanged(int dpi, const RECT* suggested) {
    DisplayScale::remember(hwnd, dpi);
    applyDisplayScale();
    if (suggested) {
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    relayout();
}

LRESULT FloatingPageWindow::onNcHitTest(int x, int y) {
    const LRESULT hit = PageView::onNcHitTest(x, y);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

// The default handling would open the system menu.
void FloatingPageWindow::onNcRButtonDown(UINT, int x, int y) {
    showMenu(x, y);
}

bool FloatingPageWindow::onSetCursor(HWND window, UINT hitTest, UINT mouseMessage) {
    expand();
    return PageView::onSetCursor(window, hitTest, mouseMessage);
}

void FloatingPageWindow::onSize(UINT type, int width, int height) {
    if (hovering || (page() && page()->showTitle)) {
        PageView::onSize(type, width, height);
        return;
    }
    const HWND text = clientWindow();
    if (!text) {
        return;
    }
    HDWP layout = BeginDeferWindowPos(1);
    if (layout) {
        layout = DeferWindowPos(layout, text, nullptr, 0, 0, width, height, SWP_NOZORDER);
    }
    if (layout) {
        EndDeferWindowPos(layout);
    }
}

void FloatingPageWindow::onTimer(UINT_PTR id, LPARAM callback) {
    if (id != kHoverTimer) {
        PageView::onTimer(id, callback);
        return;
    }
    if (!hovering) {
        KillTimer(hwnd, kHoverTimer);
        return;
    }
    collapse();
}

bool FloatingPageWindow::createPane(HWND ownerWindow) {
    std::string className;
    if (!application().loadString(IDS_DOC_CLASS, className)) {
        return false;
    }
    return create(0, className.c_str(), nullptr, kStyle, 0, 0, 0, 0, ownerWindow, nullptr);
}

void FloatingPageWindow::setPage(Page* newPage) {
    if (!newPage) {
        PageView::setPage(nullptr);
        return;
    }
    const bool newToWindow = newPage != page();
    newPage->floating = true;
    if (newToWindow) {
        placeOnScreen(*newPage);
    }
    PageView::setPage(newPage);
    applyTopmost();
    relayout();
    if (newToWindow) {
        // The edit control brings its scroll bar back whenever its text
        // outgrows it, as it does while the window is still without its size.
        // A note opens without one; it comes back when typing outgrows the note.
        editor->showVerticalScrollBar(false);
    }
}

void FloatingPageWindow::storePage() {
    if (!page()) {
        return;
    }
    RECT rect{};
    if (getWindowRect(rect)) {
        // The book is also written while the pointer rests on a note: store the
        // note as it looks at rest, or it would reopen a strip taller each time.
        if (hovering && !page()->showTitle) {
            rect.top += captionHeight;
        }
        page()->floatingRect = toPageRect(rect);
    }
    PageView::storePage();
}

void FloatingPageWindow::comeForward(bool overTopmostBook) {
    const bool lift = overTopmostBook && page() && !page()->alwaysOnTop;
    SetWindowPos(hwnd, lift ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    liftedOverBook = lift;
    SetFocus(hwnd);
}

// The pointer came over the window. Nothing happens while the program has no
// keyboard focus, so the notes of an inactive program stay as they are.
void FloatingPageWindow::expand() {
    if (hovering || !GetFocus() || !page()) {
        return;
    }
    hovering = true;
    SetTimer(hwnd, kHoverTimer, kHoverPeriod, nullptr);
    if (!page()->fixedSize) {
        SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | WS_THICKFRAME);
    }
    if (page()->showTitle) {
        applyFrameChange();
    } else {
        resizeByCaption(true);
    }
    ShowWindow(closeButton, SW_SHOW);
}

// Checked every period while expanded: shrinks back once the pointer is no
// longer over the window. Inside its rectangle is not enough: another note, a
// dialog or another program's window may lie over it there. The open menu and
// a drag or a sizing in progress keep the window expanded.
void FloatingPageWindow::collapse() {
    if (menuOpen || GetCapture() == hwnd || pointerIsOver()) {
        return;
    }
    hovering = false;
    const LONG windowStyle = GetWindowLongA(hwnd, GWL_STYLE);
    const bool sized = (windowStyle & WS_THICKFRAME) != 0;
    if (sized) {
        SetWindowLongA(hwnd, GWL_STYLE, windowStyle & ~WS_THICKFRAME);
    }
    if (!page() || !page()->showTitle) {
        resizeByCaption(false);
    } else if (sized) {
        applyFrameChange();
    }
    ShowWindow(closeButton, SW_HIDE);
    KillTimer(hwnd, kHoverTimer);
}

bool FloatingPageWindow::pointerIsOver() const {
    POINT cursor{};
    RECT rect{};
    if (!GetCursorPos(&cursor) || !getWindowRect(rect)) {
        return true;
    }
    if (!PtInRect(&rect, cursor)) {
        return false;
    }
    // WindowFromPoint passes over a disabled window (a note while its
    // settings sheet is open): there the rectangle has to do.
    if (!IsWindowEnabled(hwnd)) {
        return true;
    }
    const HWND under = WindowFromPoint(cursor);
    return under == hwnd || IsChild(hwnd, under);
}

// Moves the top edge by the caption height and keeps the bottom edge, so the
// text stays in place on the screen; the caption height is the one now.
void FloatingPageWindow::resizeByCaption(bool grow) {
    RECT rect{};
    if (!getWindowRect(rect)) {
        return;
    }
    const int change = grow ? captionHeight : -captionHeight;
    SetWindowPos(hwnd, nullptr, rect.left, rect.top - change, rect.right - rect.left, rect.bottom - rect.top + change,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FloatingPageWindow::applyFrameChange() const {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kFrameChange);
}

void FloatingPageWindow::relayout() {
    RECT client{};
    if (GetClientRect(hwnd, &client)) {
        onSize(SIZE_RESTORED, client.right, client.bottom);
    }
}

// A rectangle stored in an earlier session may lie off every screen now; the
// stored values may also be too small to see or grab.
void FloatingPageWindow::placeOnScreen(Page& shown) const {
    RECT rect = toRect(shown.floatingRect);
    rect.right = std::max(rect.right, rect.left + kMinimumSize);
    rect.bottom = std::max(rect.bottom, rect.top + kMinimumSize);
    shown.floatingRect = toPageRect(placeOnNearestMonitor(rect));
}

void FloatingPageWindow::applyTopmost() const {
    if (!page()) {
        return;
    }
    const bool topmost = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost == page()->alwaysOnTop) {
        return;
    }
    SetWindowPos(hwnd, page()->alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The commands come back to this window's onCommand. TrackPopupMenu posts
// them, so they arrive after the menu code here has finished.
void FloatingPageWindow::showMenu(int x, int y) {
    const Page* shown = page();
    if (!shown) {
        return;
    }
    const bool showTitle = shown->showTitle;
    const bool fixedSize = shown->fixedSize;
    const bool alwaysOnTop = shown->alwaysOnTop;
    menuOpen = true;
    trackMenu(IDM_FLOATING, hwnd, x, y, [&](HMENU menu) {
        tickMenuItem(menu, CMD_SHOW_TITLE, showTitle);
        tickMenuItem(menu, CMD_FIX_SIZE, fixedSize);
        tickMenuItem(menu, CMD_ALWAYS_ON_TOP, alwaysOnTop);
    });
    menuOpen = false;
}

// The sheet runs a modal loop in which the book window may close this window
// (the program ends from its main menu or with the session); then the object
// is gone and nothing may be touched.
void FloatingPageWindow::editSettings() {
    // One question at a time: another dialog of the program is open.
    if (ModalLoop::bringForward()) {
        return;
    }
    const HWND window = hwnd;
    const bool confirmed = PageSettingsSheet::edit(*page(), window);
    if (application().windowRegistry.find(window) != this) {
        return;
    }
    if (!confirmed) {
        return;
    }
    setPage(page());
    owner->refreshPageList(true);
    owner->bookChanged();
}

// The border goes at once; it comes back only with the next hover when the
// size is freed again.
void FloatingPageWindow::toggleFixedSize() {
    page()->fixedSize = !page()->fixedSize;
    const LONG windowStyle = GetWindowLongA(hwnd, GWL_STYLE);
    if (page()->fixedSize && (windowStyle & WS_THICKFRAME)) {
        SetWindowLongA(hwnd, GWL_STYLE, windowStyle & ~WS_THICKFRAME);
        applyFrameChange();
    }
    owner->bookChanged();
}

// While expanded the layout already shows the strip and the change shows when
// the pointer leaves; a collapsed window (the menu opened from its border
// while the program had no focus) lays itself out at once.
void FloatingPageWindow::toggleShowTitle() {
    page()->showTitle = !page()->showTitle;
    relayout();
    owner->bookChanged();
}

void FloatingPageWindow::toggleAlwaysOnTop() {
    page()->alwaysOnTop = !page()->alwaysOnTop;
    applyTopmost();
    owner->bookChanged();
}
