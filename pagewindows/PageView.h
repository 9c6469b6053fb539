#pragma once

#include "framework/CaptionPane.h"
#include "framework/EditControl.h"

#include <functional>
#include <memory>
#include <string>

class BookController;
class Page;

// Shows one page: the title in the caption strip, a small close button at
// the strip's right end and the text in the editor below, all in the page's
// format. The view keeps no copy of the page: setPage displays the page's
// values, and the user's changes reach the page only through storePage.
//
// The book window holds one page view as a child window; floating page
// windows are page views in top-level windows of their own.
class PageView : public CaptionPane {
public:
    // The window is made later with createPane(parent); the book window
    // passes itself as `viewOwner` and its own window as `parent`.
    explicit PageView(BookController* viewOwner);
    // The owner destroys the window first.
    ~PageView() override;

    // Focus to the editor with its caret in view; only a top-level page view
    // (a floating window) is ever activated.
    void onActivate(UINT state, HWND otherWindow, bool minimized) override;
    // The close request (CMD_CLOSE_VIEW from the close button or from Ctrl+F4
    // in the editor) shows the page list; the editor's changes are reported
    // to the owner; Ctrl+F, F3 and Shift+F3 in the editor find words.
    void onCommand(UINT notificationCode, UINT id, HWND control) override;
    // The "Memo" menu, owned by the parent window (the book window), which
    // receives the chosen command and acts on its current page.
    void onContextMenu(HWND window, int x, int y) override;
    // The editor and the close button with its tooltip. Creation goes on even
    // when the editor cannot be made.
    bool onCreate(CREATESTRUCTA* creation) override;
    // The editor's colours and brush, for an editable and for a read-only
    // editor alike (a read-only edit control asks with WM_CTLCOLORSTATIC).
    LRESULT onCtlColorEdit(HDC dc, HWND control) override;
    LRESULT onCtlColorStatic(HDC dc, HWND control) override;
    // The stock null brush: the close button paints its whole face itself.
    LRESULT onCtlColorButton(HDC dc, HWND control) override;
    // Takes the close button's tooltip out of the shared tooltip window.
    void onDestroy() override;
    // The close button: the fill colour and the cross, pushed in while pressed.
    void onDrawItem(DRAWITEMSTRUCT* item) override;
    // The editor covers everything but the caption strip, so this is a
    // double-click on the strip: it shows the page list.
    void onLButtonDblClk(UINT keys, int x, int y) override;
    void onSetFocus(HWND losingFocus) override;
    // The close button at the strip's right end, the editor under the strip.
    void onSize(UINT type, int width, int height) override;
    // The editor's font and margins and the close button follow the caption
    // strip to the window's new display scale.
    void applyDisplayScale() override;

    HWND clientWindow() override;

    // Shows `newPage`, or forgets the page shown when it is null (the screen
    // keeps its content; the owner hides the view). Applying the page shown
    // again re-reads its title, format and flags but keeps the text typed
    // since the last store, the selection and the window's position.
    virtual void setPage(Page* newPage);
    virtual Page* page() const;
    // Writes the title, the text (only when the user changed it, which also
    // stamps the page's update time) and the selection into the page shown.
    // Does nothing when no page is shown.
    virtual void storePage();

    // Finding words in the page, as the page list's search matches them.
    // The words are kept for F3 and Shift+F3 (a page opened from a filtered
    // list already knows them).
    void setSearchWords(const std::string& words);
    const std::string& searchWords() const { return wordsToFind; }
    // Selects the first match in the text and scrolls it into view.
    bool findFirst();
    // Selects the next match after the selection, or the one before it,
    // going round at the ends; a beep when the text holds none.
    bool findAgain(bool forward);
    // Asks for the words (Ctrl+F) and finds the next match.
    void askForWords();

protected:
    // Loads menu resource `menuId` and tracks its first pop-up at the screen
    // point with `menuOwner` receiving the command; `prepare` may mark items
    // first. x and y are the handlers' unsigned 16-bit coordinates, or 0xFFFF
    // twice for a menu asked for from the keyboard.
    void trackMenu(UINT menuId, HWND menuOwner, int x, int y, const std::function<void(HMENU)>& prepare = {}) const;
    // EN_CHANGE from the editor while the user types, not while setPage
    // fills the editor.
    bool isUserEdit(UINT notificationCode, HWND control) const;
    // The user changed the text: the owner writes the book a little later.
    void reportEdit() const;

    // The book window, which carries out what the user asks of the page.
    BookController* owner;
    HWND closeButton = nullptr;
    std::unique_ptr<EditControl> editor;

private:
    void showText(const Page& shown);
    // Sets the editor's text without the change being taken for typing.
    void replaceText(const char* text);
    void applyFormat(const Page& shown);
    void drawCloseCross(HDC dc, const RECT& face, bool pressed) const;

    Page* shownPage = nullptr;
    // Set while setPage replaces the editor's text, so the resulting
    // EN_CHANGE is not taken for typing.
    bool fillingEditor = false;
    std::string wordsToFind;
};
