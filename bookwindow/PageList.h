#pragma once

#include "framework/CaptionPane.h"
#include "framework/ListBox.h"

#include <array>

class Book;
class BookController;
class Page;

// The pane the book window shows when no page is open: one owner-drawn row
// per page of the book (a colour swatch and the title) and a tool bar of
// eight small icon buttons along the bottom. Row i always stands for page i
// of the book; everything the user asks for is carried out by the owner, and
// the pane only keeps its rows, selection and buttons in step with the book.
class PageList : public CaptionPane {
public:
    static constexpr int kListBoxId = 101;
    static constexpr int kButtonCount = 8;
    static constexpr int kButtonSize = 15;

    PageList(BookController* paneOwner, Book* pageBook);

    // Shows or hides the pane; when showing with setFocus, the list takes the focus.
    void showList(bool show, bool setFocus);
    // One row per page. With keepSelection the selected index stays selected
    // while it is still a row; otherwise no row is selected.
    void refresh(bool keepSelection);
    // Enables the buttons for the selection and shows exactly one of "別ウィンドウで表示"
    // and "ブックに戻す" in their shared place.
    void updateButtons();
    // Moves row `index` one place up or down and selects it there; false (and
    // nothing moved) when that would leave the list. The owner has already
    // swapped the pages, so the rows draw themselves from the book.
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
    HWND clientWindow() override;

    // The list box (control 101); it handles nothing itself and reports to the pane.
    ListBox listBox;

protected:
    void drawRow(const DRAWITEMSTRUCT& item) const;
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
    int selectedRow() const;

    BookController* owner;
    Book* book;
    std::array<HWND, kButtonCount> buttons{};
};
