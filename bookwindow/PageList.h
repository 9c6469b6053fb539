#pragma once

#include "book/TextSearch.h"
#include "bookwindow/SearchBox.h"
#include "framework/CaptionPane.h"
#include "framework/ListBox.h"

#include <array>
#include <string>
#include <vector>

class Book;
class BookController;
class DisplayScale;
class Page;

// The pane the book window shows when no page is open: one owner-drawn row
// per page of the book (a colour swatch and the title) and a tool bar of
// small icon buttons along the bottom. Row i stands for page i of the book,
// except while the search field filters the list: the rows then stand for
// the pages that hold every word typed, in book order. Everything the user
// asks for is carried out by the owner, on the page of the row; the pane
// only keeps its rows, selection and buttons in step with the book.
class PageList : public CaptionPane {
public:
    static constexpr int kListBoxId = 101;
    static constexpr int kSearchBoxId = 102;
    static constexpr int kButtonCount = 9;

    PageList(BookController* paneOwner, Book* pageBook);

    // Shows or hides the pane; when showing with setFocus, the list takes the focus.
    void showList(bool show, bool setFocus);
    // One row per page (per matching page while filtered). With
    // keepSelection the selected row stays selected while it is still a row
    // (while filtered: the selected page, while it still matches); otherwise
    // no row is selected.
    void refresh(bool keepSelection);

    // The search field (Ctrl+F in the list, the tool bar's search button):
    // shown with the focus, the list filtered as the user types.
    void startSearch();
    // Esc, or the field emptied: every page again, the selected one still
    // selected; the field goes and the list takes the focus.
    void endSearch();
    // The words the list is filtered by; empty while it is not.
    const std::string& searchWords() const;
    bool filtered() const { return !filter.empty(); }
    // Enables the buttons for the selection and shows exactly one of "別ウィンドウで表示"
    // and "ブックに戻す" in their shared place.
    void updateButtons();
    // Moves row `index` one place up or down and selects it there; false (and
    // nothing moved) when that would leave the list. The owner has already
    // swapped the pages, so the rows draw themselves from the book. Not while
    // filtered: neighbouring rows are not neighbouring pages then.
    bool moveRow(int index, bool up);

    // The page of the selected row, or null.
    Page* selectedPage() const { return pageAt(selectedRow()); }
    // Selects the row of `page`; no row when it is null or not in the book.
    void selectPage(const Page* page);

    // The tool bar button at `index` in creation order (null before createPane).
    HWND button(int index) const { return buttons[static_cast<std::size_t>(index)]; }

    bool onCreate(CREATESTRUCTA* creation) override;
    void onSize(UINT type, int width, int height) override;
    void onDrawItem(DRAWITEMSTRUCT* item) override;
    // NULL_BRUSH: the buttons paint their whole face themselves.
    LRESULT onCtlColorButton(HDC dc, HWND control) override;
    void onParentNotify(UINT event, UINT childId, LPARAM value) override;
    // -1 lets the list box handle the key as usual, -2 means handled here.
    LRESULT onVKeyToItem(UINT virtualKey, HWND control, int caretIndex) override;
    void onCommand(UINT notificationCode, UINT id, HWND control) override;
    // The rows, the search field and the tool bar follow the caption strip to
    // the window's new display scale.
    void applyDisplayScale() override;
    HWND clientWindow() override;

    // The list box (control 101); it handles nothing itself and reports to the pane.
    ListBox listBox;
    // The search field (control 102), shown while searching.
    SearchBox searchBox;

protected:
    void drawRow(const DRAWITEMSTRUCT& item) const;
    static void drawNoteMark(HDC dc, const Page& page, const RECT& swatch, const DisplayScale& scale);
    void drawButton(const DRAWITEMSTRUCT& item) const;
    // Right button down in a child at the screen point: selects the row there
    // and opens the "LIST" menu for it; nothing when the point is on no row.
    void showRowMenu(POINT pressed);

private:
    void createButtons();
    void runListBoxNotification(UINT notificationCode);
    void runCommand(UINT id);
    // Moves the selected page and its row, when there is a place to move to.
    bool moveSelected(bool up);
    void enableButton(int index, bool enabled) const;
    // The page of a row, or null when the row is not a page of the book
    // (no selection, or a row the book no longer has).
    Page* pageAt(int row) const;
    // The index in the book of the page of a row, or -1.
    int pageIndexAt(int row) const;
    int selectedRow() const;
    // Rows for the pages that match `words`; only among the rows shown when
    // the words narrow the ones the list is filtered by already.
    void applyFilter(const std::string& words, bool fromEveryPage);
    void fillRows(const Page* selected);
    void showCaption();
    void searchFieldNotification(UINT notificationCode);

    BookController* owner;
    Book* book;
    std::array<HWND, kButtonCount> buttons{};
    TextMatcher filter;
    std::string filterWords;
    // The page index of each row while filtered.
    std::vector<unsigned> shownPages;
};
