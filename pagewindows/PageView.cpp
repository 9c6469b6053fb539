#include "pagewindows/PageView.h"

#include "framework/Application.h"
#include "book/Page.h"
#include "book/TextSearch.h"
#include "pagewindows/BookController.h"
#include "framework/AutomaticColor.h"
#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "framework/ModalLoop.h"
#include "framework/PopupMenu.h"
#include "framework/UniqueHandle.h"
#include "pagewindows/FindDialog.h"
#include "pagewindows/ImeSwitch.h"
#include "resources/resource.h"

#include <string>

namespace {

constexpr int kCloseButtonSize = 12;
// The button's left edge lies this far inside the pane's right edge.
constexpr int kCloseButtonInset = 13;
constexpr int kCloseButtonTop = 2;
constexpr int kCrossSize = 8;
constexpr int kEditorMargin = 1;
// What WM_CONTEXTMENU gives for a menu asked for from the keyboard.
constexpr int kKeyboardMenu = 0xFFFF;

// A page stores the automatic colour as the windows draw it.
static_assert(AutoColor == kAutomaticColor);

// The dispatcher hands screen coordinates over as unsigned 16-bit values; a
// monitor left of or above the primary one has negative coordinates.
int screenCoordinate(int value) {
    return static_cast<short>(value);
}

} // namespace

PageView::PageView(BookController* viewOwner)
    : CaptionPane(IDI_SHOW_PAGE), owner(viewOwner), editor(std::make_unique<EditControl>(CMD_CLOSE_VIEW)) {
    editor->addKeyCommand('F', true, false, CMD_FIND);
    editor->addKeyCommand(VK_F3, false, false, CMD_FIND_NEXT);
    editor->addKeyCommand(VK_F3, false, true, CMD_FIND_PREVIOUS);
}

PageView::~PageView() = default;

void PageView::onActivate(UINT state, HWND otherWindow, bool minimized) {
    if (state != WA_ACTIVE && state != WA_CLICKACTIVE) {
        CaptionPane::onActivate(state, otherWindow, minimized);
        return;
    }
    SetFocus(editor->handle());
    editor->scrollCaret();
}

void PageView::onCommand(UINT notificationCode, UINT id, HWND control) {
    if (isUserEdit(notificationCode, control)) {
        reportEdit();
        return;
    }
    if (notificationCode != 0) {
        return;
    }
    switch (id) {
    case CMD_CLOSE_VIEW:
        if (owner) {
            owner->showPageList(true);
        }
        break;
    case CMD_FIND:
        askForWords();
        break;
    case CMD_FIND_NEXT:
    case CMD_FIND_PREVIOUS:
        findAgain(id == CMD_FIND_NEXT);
        break;
    default:
        break;
    }
}

void PageView::onContextMenu(HWND, int x, int y) {
    trackMenu(IDM_MEMO, GetParent(hwnd), x, y);
}

bool PageView::onCreate(CREATESTRUCTA*) {
    const DisplayScale scale = DisplayScale::of(hwnd);
    if (editor->createEditor(hwnd)) {
        editor->show(SW_SHOW);
        editor->setMargins(scale(kEditorMargin), scale(kEditorMargin));
        editor->showVerticalScrollBar(true);
    }
    const int buttonSize = scale(kCloseButtonSize);
    closeButton = CreateWindowExA(
        0, "BUTTON", nullptr, WS_CHILD | WS_VISIBLE | BS_NOTIFY | BS_OWNERDRAW, 0, 0, buttonSize, buttonSize, hwnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(CMD_CLOSE_VIEW)), application().instance, nullptr);
    if (closeButton) {
        application().addToolTip(closeButton, IDS_TIP_CLOSE, RECT{0, 0, buttonSize, buttonSize});
    }
    return true;
}

LRESULT PageView::onCtlColorEdit(HDC dc, HWND control) {
    if (control && control == editor->handle()) {
        return reinterpret_cast<LRESULT>(editor->prepareColors(dc));
    }
    return CaptionPane::onCtlColorEdit(dc, control);
}

LRESULT PageView::onCtlColorStatic(HDC dc, HWND control) {
    if (control && control == editor->handle()) {
        return reinterpret_cast<LRESULT>(editor->prepareColors(dc));
    }
    return CaptionPane::onCtlColorStatic(dc, control);
}

LRESULT PageView::onCtlColorButton(HDC, HWND) {
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// The tooltip control would otherwise keep an entry for every close button
// ever made, one per floating window opened.
void PageView::onDestroy() {
    if (closeButton) {
        application().removeToolTip(closeButton);
    }
    closeButton = nullptr;
    // A floating window is a top-level window that may have been told its DPI.
    DisplayScale::forget(hwnd);
    CaptionPane::onDestroy();
}

void PageView::onDrawItem(DRAWITEMSTRUCT* item) {
    if (!item || item->hwndItem != closeButton) {
        return;
    }
    DeviceContext(item->hDC).fillRect(item->rcItem, fillColor());
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    if (pressed) {
        DrawEdge(item->hDC, &item->rcItem, BDR_SUNKENOUTER, BF_RECT | BF_SOFT);
    }
    drawCloseCross(item->hDC, item->rcItem, pressed);
}

// Loaded at its own size (8 x 8 at 96 DPI) for each drawing; nothing is cached.
void PageView::drawCloseCross(HDC dc, const RECT& face, bool pressed) const {
    const DisplayScale scale = DisplayScale::of(hwnd);
    const int size = scale(kCrossSize);
    const OwnedIcon cross(static_cast<HICON>(LoadImageA(application().instance, MAKEINTRESOURCEA(IDI_CLOSE_CROSS),
                                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!cross) {
        return;
    }
    const int offset = scale(pressed ? 2 : 1);
    DrawIconEx(dc, face.left + offset, face.top + offset, cross.get(), size, size, 0, nullptr, DI_NORMAL);
}

void PageView::onLButtonDblClk(UINT, int, int) {
    if (owner) {
        owner->showPageList(true);
    }
}

void PageView::onSetFocus(HWND) {
    SetFocus(editor->handle());
}

void PageView::onSize(UINT type, int width, int height) {
    if (closeButton) {
        HDWP layout = BeginDeferWindowPos(1);
        if (layout) {
            const DisplayScale scale = DisplayScale::of(hwnd);
            layout =
                DeferWindowPos(layout, closeButton, nullptr, width - scale(kCloseButtonInset), scale(kCloseButtonTop),
                               scale(kCloseButtonSize), scale(kCloseButtonSize), SWP_NOZORDER);
        }
        if (layout) {
            EndDeferWindowPos(layout);
        }
    }
    CaptionPane::onSize(type, width, height);
}

HWND PageView::clientWindow() {
    return editor->handle();
}

void PageView::setPage(Page* newPage) {
    if (!newPage) {
        shownPage = nullptr;
        return;
    }
    // The editor lays its whole text out for each new text and each new font
    // (most of a second for a megabyte under Wine), so the old text goes
    // before the format is applied and the new text comes after it.
    const bool newToView = newPage != shownPage;
    if (newToView) {
        replaceText("");
    }
    setWindowText(newPage->title.c_str());
    applyFormat(*newPage);
    if (newToView) {
        showText(*newPage);
    }
    InvalidateRect(editor->handle(), nullptr, TRUE);
    switchInputMethod(editor->handle(), newPage->imeAutoOn);
    // The children too: the close button's face is drawn in the fill colour.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    shownPage = newPage;
}

// Only for a page new to the view: re-applying the page shown keeps what the
// user typed since the last store, the selection and the window's place.
void PageView::showText(const Page& shown) {
    replaceText(shown.text.c_str());
    editor->select(shown.selectionStart, shown.selectionEnd);
    editor->setModified(false);
    if (shown.floating) {
        const PageRect& rect = shown.floatingRect;
        SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOREDRAW);
    }
}

void PageView::replaceText(const char* text) {
    fillingEditor = true;
    editor->setWindowText(text);
    fillingEditor = false;
}

void PageView::applyDisplayScale() {
    const DisplayScale scale = DisplayScale::of(hwnd);
    editor->applyDisplayScale();
    editor->setMargins(scale(kEditorMargin), scale(kEditorMargin));
    if (closeButton) {
        const int size = scale(kCloseButtonSize);
        // Sized here: a note at rest lays out only its editor.
        SetWindowPos(closeButton, nullptr, 0, 0, size, size, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        application().moveToolTip(closeButton, RECT{0, 0, size, size});
    }
    // The caption strip last: it lays the pane out, the close button with it.
    CaptionPane::applyDisplayScale();
}

// Automatic colours are read from the system colours now, so a changed colour
// scheme shows the next time the page is applied. The raised and sunken frames
// shade their light and dark lines from the page's frame colour.
void PageView::applyFormat(const Page& shown) {
    const PageFormat& format = shown.format;
    const COLORREF frame = resolvedColor(format.frameColor, COLOR_BTNSHADOW);
    setFillColor(resolvedColor(format.titleFormat.backColor, COLOR_BTNSHADOW));
    captionTextColor = resolvedColor(format.titleFormat.textColor, COLOR_CAPTIONTEXT);
    setFrameLineColor(frame);
    setFrameFaceColor(frame);
    setFrameStyle(format.frameStyle);
    setCaptionFont(format.titleFormat.fontFace.c_str(), format.titleFormat.fontSize);
    editor->setFont(format.editorFormat.fontFace.c_str(), format.editorFormat.fontSize);
    editor->setTextColor(format.editorFormat.textColor);
    editor->setBackColor(format.editorFormat.backColor);
    editor->setReadOnly(shown.readOnly);
}

Page* PageView::page() const {
    return shownPage;
}

// A view whose window is already gone has nothing to give back; reading its
// empty window text would blank the page's title.
void PageView::storePage() {
    if (!shownPage || !hwnd) {
        return;
    }
    getText(shownPage->title);
    // Without an editor window there is no text or selection to take back.
    if (!editor->handle()) {
        return;
    }
    if (editor->modified()) {
        editor->setModified(false);
        std::string text;
        editor->getText(text);
        shownPage->setText(std::move(text));
    }
    int start = 0;
    int end = 0;
    editor->selection(start, end);
    shownPage->selectionStart = start;
    shownPage->selectionEnd = end;
}

void PageView::trackMenu(UINT menuId, HWND menuOwner, int x, int y, const std::function<void(HMENU)>& prepare) const {
    POINT at{screenCoordinate(x), screenCoordinate(y)};
    if (x == kKeyboardMenu && y == kKeyboardMenu) {
        at = POINT{0, captionHeight};
        ClientToScreen(hwnd, &at);
    }
    trackPopupMenu(menuId, menuOwner, at, prepare);
}

bool PageView::isUserEdit(UINT notificationCode, HWND control) const {
    return notificationCode == EN_CHANGE && control && control == editor->handle() && !fillingEditor;
}

void PageView::reportEdit() const {
    if (owner) {
        owner->bookChanged();
    }
}

void PageView::setSearchWords(const std::string& words) {
    wordsToFind = words;
}

bool PageView::findFirst() {
    editor->select(0, 0);
    return findAgain(true);
}

// The matcher counts bytes, the editor characters.
bool PageView::findAgain(bool forward) {
    const TextMatcher matcher(wordsToFind);
    if (matcher.empty()) {
        askForWords();
        return false;
    }
    std::string text;
    editor->getText(text);
    int start = 0;
    int end = 0;
    editor->selection(start, end);
    TextMatch found;
    const bool any = forward ? matcher.findNext(text, byteOffsetOf(text, static_cast<std::size_t>(end)), found) ||
                                   matcher.findNext(text, 0, found)
                             : matcher.findPrevious(text, byteOffsetOf(text, static_cast<std::size_t>(start)), found) ||
                                   matcher.findPrevious(text, text.size(), found);
    if (!any) {
        MessageBeep(MB_ICONASTERISK);
        return false;
    }
    editor->select(static_cast<int>(characterIndexOf(text, found.begin)),
                   static_cast<int>(characterIndexOf(text, found.end)));
    editor->scrollCaret();
    return true;
}

void PageView::askForWords() {
    // One question at a time: another dialog of the program is open.
    if (ModalLoop::bringForward()) {
        return;
    }
    FindDialog dialog;
    std::string words = wordsToFind;
    const HWND window = hwnd;
    if (!dialog.ask(window, words) || application().windowRegistry.find(window) != this) {
        return;
    }
    wordsToFind = words;
    findAgain(true);
}
