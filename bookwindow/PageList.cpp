#include "bookwindow/PageList.h"

#include "framework/Application.h"
#include "book/Book.h"
#include "pagewindows/BookController.h"
#include "framework/AutomaticColor.h"
#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "framework/Pens.h"
#include "framework/PopupMenu.h"
#include "framework/UniqueHandle.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr DWORD kListBoxStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | LBS_WANTKEYBOARDINPUT |
                                LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY; // 0x52200511
constexpr DWORD kButtonStyle = WS_CHILD | BS_NOTIFY | BS_OWNERDRAW;                     // 0x4000400B
constexpr int kRowHeight = 16;
constexpr int kCaptionPoints = 10;
constexpr char kCaptionFace[] = "ＭＳ ゴシック";
constexpr int kTitleIndent = 15;
constexpr int kSwatchInset = 3;
constexpr int kSwatchSize = 10;
constexpr int kNoteBand = 3; // the title colour across a floating page's swatch
constexpr int kIconSize = 16;
constexpr int kButtonSize = 15; // a tool bar button's side; the buttons touch
// The search field is as high as the caption strip and this much more.
constexpr int kSearchMargin = 4;

struct ToolButton {
    int command;
    int icon;
    UINT toolTip; // a string resource
    int place;
};

// In creation order; "別ウィンドウで表示" and "ブックに戻す" share place 3.
constexpr ToolButton kToolBar[PageList::kButtonCount] = {
    {CMD_NEW_PAGE, IDI_NEW_PAGE, IDS_TIP_NEW_PAGE, 0},
    {CMD_DELETE_LIST_PAGE, IDI_DELETE_PAGE, IDS_TIP_DELETE_PAGE, 1},
    {CMD_SHOW_PAGE, IDI_SHOW_PAGE, IDS_TIP_SHOW_PAGE, 2},
    {CMD_FLOAT_PAGE, IDI_FLOAT_PAGE, IDS_TIP_FLOAT_PAGE, 3},
    {CMD_SETTINGS, IDI_PAGE_SETTINGS, IDS_TIP_PAGE_SETTINGS, 4},
    {CMD_MOVE_UP, IDI_MOVE_UP, IDS_TIP_MOVE_UP, 5},
    {CMD_MOVE_DOWN, IDI_MOVE_DOWN, IDS_TIP_MOVE_DOWN, 6},
    {CMD_RETURN_TO_BOOK, IDI_RETURN_TO_BOOK, IDS_TIP_RETURN_TO_BOOK, 3},
    {CMD_SEARCH, IDI_SEARCH, IDS_TIP_SEARCH, 7},
};

enum ButtonIndex {
    NewPageButton,
    DeletePageButton,
    ShowPageButton,
    FloatPageButton,
    SettingsButton,
    MoveUpButton,
    MoveDownButton,
    ReturnToBookButton,
    SearchButton
};

RECT swatchOf(const RECT& row, const DisplayScale& scale) {
    const int left = row.left + scale(kSwatchInset);
    const int top = row.top + scale(kSwatchInset);
    return RECT{left, top, left + scale(kSwatchSize), top + scale(kSwatchSize)};
}

bool controlHeld() {
    return GetKeyState(VK_CONTROL) < 0;
}

} // namespace

PageList::PageList(BookController* paneOwner, Book* pageBook)
    : CaptionPane(IDI_SHOW_PAGE), owner(paneOwner), book(pageBook) {}

HWND PageList::clientWindow() {
    return listBox.handle();
}

bool PageList::onCreate(CREATESTRUCTA*) {
    setFrameStyle(Flat);
    setFrameLineColor(GetSysColor(COLOR_BTNSHADOW));
    setWindowText(application().text(IDS_PAGE_LIST_CAPTION).c_str());
    listBox.createListBox(kListBoxStyle, hwnd, kListBoxId);
    searchBox.createSearchBox(hwnd, kSearchBoxId, listBox.handle());
    setCaptionFont(kCaptionFace, kCaptionPoints);
    listBox.setFont(captionFont.get());
    SendMessageA(searchBox.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(captionFont.get()), FALSE);
    listBox.setItemHeight(DisplayScale::of(hwnd)(kRowHeight));
    createButtons();
    return true;
}

void PageList::applyDisplayScale() {
    const DisplayScale scale = DisplayScale::of(hwnd);
    CaptionPane::applyDisplayScale();
    listBox.setFont(captionFont.get());
    SendMessageA(searchBox.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(captionFont.get()), FALSE);
    listBox.setItemHeight(scale(kRowHeight));
    for (const HWND button : buttons) {
        application().moveToolTip(button, RECT{0, 0, scale(kButtonSize), scale(kButtonSize)});
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    onSize(SIZE_RESTORED, client.right, client.bottom);
    InvalidateRect(listBox.handle(), nullptr, TRUE);
}

void PageList::createButtons() {
    const int size = DisplayScale::of(hwnd)(kButtonSize);
    for (int index = 0; index < kButtonCount; ++index) {
        const ToolButton& tool = kToolBar[index];
        const HWND created = CreateWindowExA(0, "BUTTON", nullptr, kButtonStyle, size * tool.place, 0, size, size, hwnd,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(tool.command)),
                                             application().instance, nullptr);
        buttons[static_cast<std::size_t>(index)] = created;
        if (!created) {
            continue;
        }
        SetWindowLongA(created, GWL_USERDATA, tool.icon);
        if (index != ReturnToBookButton) {
            ShowWindow(created, SW_SHOW);
        }
        application().addToolTip(created, tool.toolTip, RECT{0, 0, size, size});
    }
}

// The list fills the pane between the caption strip (and the search field,
// while it is shown) and the tool bar row. Windows not made yet (the caption
// font lays the pane out during onCreate, before the buttons exist) are left
// out: one null window would void the whole batch.
void PageList::onSize(UINT, int width, int height) {
    const DisplayScale scale = DisplayScale::of(hwnd);
    const int buttonSize = scale(kButtonSize);
    HDWP layout = BeginDeferWindowPos(2 + kButtonCount);
    const int searchHeight = IsWindowVisible(searchBox.handle()) ? captionHeight + scale(kSearchMargin) : 0;
    if (layout && searchBox.handle()) {
        layout =
            DeferWindowPos(layout, searchBox.handle(), nullptr, 0, captionHeight, width, searchHeight, SWP_NOZORDER);
    }
    if (layout && listBox.handle()) {
        layout = DeferWindowPos(layout, listBox.handle(), nullptr, 0, captionHeight + searchHeight, width,
                                std::max(height - captionHeight - searchHeight - buttonSize, 0), SWP_NOZORDER);
    }
    for (int index = 0; index < kButtonCount && layout; ++index) {
        const HWND window = buttons[static_cast<std::size_t>(index)];
        if (window) {
            layout = DeferWindowPos(layout, window, nullptr, buttonSize * kToolBar[index].place, height - buttonSize,
                                    buttonSize, buttonSize, SWP_NOZORDER);
        }
    }
    if (layout) {
        EndDeferWindowPos(layout);
    }
}

void PageList::showList(bool show, bool setFocus) {
    WindowObject::show(show ? SW_SHOW : SW_HIDE);
    if (show && setFocus) {
        SetFocus(listBox.handle());
    }
}

// A shown list box repaints and resets its scroll bar for every row added:
// under Wine that is over a millisecond a row, 15 seconds and more for a book
// of 10,000 pages. Drawing is held off while the rows are replaced and done
// once at the end.
void PageList::refresh(bool keepSelection) {
    if (filtered()) {
        const Page* kept = keepSelection ? selectedPage() : nullptr;
        applyFilter(filterWords, true);
        selectPage(kept);
        return;
    }
    const int remembered = keepSelection ? listBox.selection() : LB_ERR;
    listBox.setRedraw(false);
    listBox.reset(book->count());
    for (unsigned index = 0; index < book->count(); ++index) {
        listBox.add(0);
    }
    // A remembered index past the last row is refused by the list box, which
    // leaves no row selected.
    if (remembered != LB_ERR) {
        listBox.setCaret(remembered);
        listBox.select(remembered);
    }
    listBox.setRedraw(true);
    InvalidateRect(listBox.handle(), nullptr, TRUE);
    showCaption();
    updateButtons();
}

void PageList::startSearch() {
    searchBox.show(SW_SHOW);
    RECT client{};
    GetClientRect(hwnd, &client);
    onSize(SIZE_RESTORED, client.right, client.bottom);
    SetFocus(searchBox.handle());
    SendMessageA(searchBox.handle(), EM_SETSEL, 0, -1);
}

void PageList::endSearch() {
    // The emptied field shows every page again, keeping the selected one.
    searchBox.setWindowText("");
    searchBox.show(SW_HIDE);
    RECT client{};
    GetClientRect(hwnd, &client);
    onSize(SIZE_RESTORED, client.right, client.bottom);
    SetFocus(listBox.handle());
}

const std::string& PageList::searchWords() const {
    return filterWords;
}

// Typing one more letter only narrows the list, so only the rows shown are
// looked at again; a key press stays quick in a book of thousands of pages.
void PageList::applyFilter(const std::string& words, bool fromEveryPage) {
    const Page* selected = selectedPage();
    TextMatcher matcher(words);
    if (matcher.empty()) {
        filter = TextMatcher();
        filterWords.clear();
        shownPages.clear();
        refresh(false);
        selectPage(selected);
        return;
    }
    std::vector<unsigned> candidates;
    if (!fromEveryPage && filtered() && matcher.narrows(filter)) {
        candidates = std::move(shownPages);
    } else {
        candidates.resize(book->count());
        for (unsigned index = 0; index < candidates.size(); ++index) {
            candidates[index] = index;
        }
    }
    shownPages.clear();
    for (const unsigned index : candidates) {
        const Page* page = book->at(index);
        if (matcher.matchesAll(page->title, page->text)) {
            shownPages.push_back(index);
        }
    }
    filter = std::move(matcher);
    filterWords = words;
    const bool stillShown =
        selected && std::find(shownPages.begin(), shownPages.end(), book->indexOf(selected)) != shownPages.end();
    fillRows(stillShown ? selected : shownPages.empty() ? nullptr : book->at(shownPages.front()));
}

void PageList::fillRows(const Page* selected) {
    listBox.setRedraw(false);
    listBox.reset(static_cast<unsigned>(shownPages.size()));
    for (std::size_t row = 0; row < shownPages.size(); ++row) {
        listBox.add(0);
    }
    listBox.setRedraw(true);
    InvalidateRect(listBox.handle(), nullptr, TRUE);
    showCaption();
    selectPage(selected);
}

// While filtered the strip tells how many pages match.
void PageList::showCaption() {
    const std::string caption = filtered()
                                    ? application().text(IDS_PAGE_LIST_FOUND, {std::to_string(shownPages.size())})
                                    : application().text(IDS_PAGE_LIST_CAPTION);
    std::string shown;
    if (getText(shown) == static_cast<int>(caption.size()) && shown == caption) {
        return;
    }
    setWindowText(caption.c_str());
    const RECT strip{0, 0, 32767, captionHeight};
    InvalidateRect(hwnd, &strip, TRUE);
}

void PageList::searchFieldNotification(UINT notificationCode) {
    switch (notificationCode) {
    case EN_CHANGE: {
        std::string words;
        searchBox.getText(words);
        applyFilter(words, false);
        break;
    }
    case SearchBox::kEnter: {
        const int row = selectedRow() != LB_ERR ? selectedRow() : 0;
        if (pageAt(row)) {
            owner->openPage(pageIndexAt(row));
        }
        break;
    }
    case SearchBox::kEscape:
        endSearch();
        break;
    default:
        break;
    }
}

void PageList::updateButtons() {
    const int selected = selectedRow();
    const int rows = listBox.count();
    const bool any = selected != LB_ERR;
    enableButton(NewPageButton, true);
    enableButton(SearchButton, true);
    for (int index : {DeletePageButton, ShowPageButton, FloatPageButton, ReturnToBookButton, SettingsButton}) {
        enableButton(index, any);
    }
    // Neighbouring rows of a filtered list are no neighbouring pages.
    enableButton(MoveUpButton, any && !filtered() && selected != 0);
    enableButton(MoveDownButton, any && !filtered() && selected != rows - 1);

    const Page* page = pageAt(selected);
    if (page && page->floating) {
        ShowWindow(buttons[FloatPageButton], SW_HIDE);
        ShowWindow(buttons[ReturnToBookButton], SW_SHOWNORMAL);
    } else {
        ShowWindow(buttons[FloatPageButton], SW_SHOW);
        ShowWindow(buttons[ReturnToBookButton], SW_HIDE);
    }
}

void PageList::selectPage(const Page* page) {
    int row = -1;
    for (int candidate = 0; page && candidate < listBox.count(); ++candidate) {
        if (pageAt(candidate) == page) {
            row = candidate;
            break;
        }
    }
    listBox.select(row);
    updateButtons();
}

bool PageList::moveRow(int index, bool up) {
    const int target = up ? index - 1 : index + 1;
    const int rows = listBox.count();
    if (filtered()) {
        return false;
    }
    // LB_INSERTSTRING at -1 would append, so a move off either end must not start.
    if (index < 0 || index >= rows || target < 0 || target >= rows) {
        return false;
    }
    listBox.remove(index);
    const int inserted = listBox.insert(target, 0);
    listBox.select(inserted);
    updateButtons();
    return true;
}

void PageList::onDrawItem(DRAWITEMSTRUCT* item) {
    if (!item) {
        return;
    }
    if (item->CtlID == kListBoxId) {
        drawRow(*item);
    } else {
        drawButton(*item);
    }
}

void PageList::drawRow(const DRAWITEMSTRUCT& item) const {
    const HDC dc = item.hDC;
    const RECT& row = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    DeviceContext(dc).fillRect(row, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (listBox.count() == 0) {
        return;
    }
    // The row is drawn from the book as it is now: between a page's removal
    // and the owner's refresh the list may still have a row too many.
    const Page* page = item.itemID == static_cast<UINT>(-1) ? nullptr : pageAt(static_cast<int>(item.itemID));
    if (!page) {
        return;
    }
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    const DisplayScale scale = DisplayScale::of(hwnd);
    RECT text = row;
    text.left += scale(kTitleIndent);
    DrawTextA(dc, page->title.c_str(), static_cast<int>(page->title.size()), &text, DT_SINGLELINE | DT_VCENTER);

    // The swatch: the frame colour around the editor's background, its line
    // a pixel wide at 96 DPI.
    const int line = scale(1);
    const RECT swatch = swatchOf(row, scale);
    DeviceContext paint(dc);
    paint.fillRect(swatch, resolvedColor(page->format.frameColor, COLOR_BTNSHADOW));
    paint.fillRect(RECT{swatch.left + line, swatch.top + line, swatch.right - line, swatch.bottom - line},
                   resolvedColor(page->format.editorFormat.backColor, COLOR_WINDOW));
    if (page->floating) {
        drawNoteMark(dc, *page, swatch, scale);
    }
    if (item.itemState & ODS_FOCUS) {
        DrawFocusRect(dc, &row);
    }
}

// A floating page's swatch is drawn as a note of its own: its title colour
// along the top and a shadow below and to the right, as if lifted off the
// book, so the row tells before Enter that the page opens in its note.
void PageList::drawNoteMark(HDC dc, const Page& page, const RECT& swatch, const DisplayScale& scale) {
    const int line = scale(1);
    DeviceContext paint(dc);
    paint.fillRect(
        RECT{swatch.left + line, swatch.top + line, swatch.right - line, swatch.top + line + scale(kNoteBand)},
        resolvedColor(page.format.titleFormat.backColor, COLOR_BTNSHADOW));
    const COLORREF shadow = GetSysColor(COLOR_3DDKSHADOW);
    paint.fillRect(RECT{swatch.right, swatch.top + line, swatch.right + line, swatch.bottom + line}, shadow);
    paint.fillRect(RECT{swatch.left + line, swatch.bottom, swatch.right + line, swatch.bottom + line}, shadow);
}

// The image list paints the whole button in the pane's fill colour around the
// icon's mask, so nothing else paints a background; a disabled icon is
// blended half-way into that colour.
void PageList::drawButton(const DRAWITEMSTRUCT& item) const {
    const RECT& face = item.rcItem;
    const DisplayScale scale = DisplayScale::of(hwnd);
    const int offset = (item.itemState & ODS_SELECTED) ? scale(1) : 0;
    const int size = scale(kIconSize);
    const int iconId = LOWORD(GetWindowLongA(item.hwndItem, GWL_USERDATA));
    const OwnedIcon icon(
        static_cast<HICON>(LoadImageA(application().instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0)));
    const OwnedImageList list(ImageList_Create(size, size, ILC_MASK, 0, 1));
    if (icon && list && ImageList_ReplaceIcon(list.get(), -1, icon.get()) >= 0) {
        const COLORREF pane = fillColor();
        ImageList_DrawEx(list.get(), 0, item.hDC, face.left + offset, face.top + offset, size, size, pane, pane,
                         (item.itemState & ODS_DISABLED) ? ILD_BLEND50 : ILD_NORMAL);
    }
    if (offset) {
        RECT edge = face;
        DrawEdge(item.hDC, &edge, BDR_SUNKENOUTER, BF_RECT | BF_SOFT);
    }
}

LRESULT PageList::onCtlColorButton(HDC, HWND) {
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// The point is where the button went down, in the pane's client area; the
// pointer may have moved on since.
void PageList::onParentNotify(UINT event, UINT, LPARAM value) {
    if (event == WM_RBUTTONDOWN) {
        POINT pressed{static_cast<short>(LOWORD(value)), static_cast<short>(HIWORD(value))};
        ClientToScreen(hwnd, &pressed);
        showRowMenu(pressed);
    }
}

void PageList::showRowMenu(POINT pressed) {
    if (listBox.count() == 0) {
        return;
    }
    POINT inList = pressed;
    ScreenToClient(listBox.handle(), &inList);
    int row = 0;
    if (!listBox.itemAt(inList, row)) {
        return;
    }
    const Page* page = pageAt(row);
    if (!page) {
        return;
    }
    listBox.select(row);
    updateButtons();

    const UINT notOffered = page->floating ? CMD_FLOAT_PAGE : CMD_RETURN_TO_BOOK;
    trackPopupMenu(IDM_LIST, hwnd, pressed, [notOffered](HMENU menu) { DeleteMenu(menu, notOffered, MF_BYCOMMAND); });
}

LRESULT PageList::onVKeyToItem(UINT virtualKey, HWND, int) {
    if (virtualKey == 'F' && controlHeld()) {
        startSearch();
        return -2;
    }
    if (virtualKey == VK_ESCAPE && filtered()) {
        endSearch();
        return -2;
    }
    const int selected = selectedRow();
    Page* page = pageAt(selected);
    if (!page) {
        return -1;
    }
    switch (virtualKey) {
    case VK_RETURN:
        owner->openPage(pageIndexAt(selected));
        return -1;
    case VK_UP:
    case VK_DOWN:
        return controlHeld() && moveSelected(virtualKey == VK_UP) ? -2 : -1;
    case VK_DELETE:
        owner->deletePage(page);
        return -1;
    default:
        return -1;
    }
}

void PageList::onCommand(UINT notificationCode, UINT id, HWND control) {
    if (id == kListBoxId && control && control == listBox.handle()) {
        runListBoxNotification(notificationCode);
        return;
    }
    if (id == kSearchBoxId && control && control == searchBox.handle()) {
        searchFieldNotification(notificationCode);
        return;
    }
    // Tool bar clicks (BN_CLICKED) and menu commands carry code 0; the
    // buttons' focus notifications do not.
    if (notificationCode == 0) {
        runCommand(id);
    }
}

void PageList::runListBoxNotification(UINT notificationCode) {
    if (notificationCode == LBN_SELCHANGE) {
        updateButtons();
        return;
    }
    if (notificationCode == LBN_DBLCLK) {
        // An empty list still reports a caret of 0.
        const int caret = listBox.caret();
        if (pageAt(caret)) {
            owner->openPage(pageIndexAt(caret));
        }
    }
}

// Every command but "新規ページ" needs a selected row that is a page; the
// menu and the buttons offer them only then, but a command can also arrive
// from elsewhere.
void PageList::runCommand(UINT id) {
    if (id == CMD_NEW_PAGE) {
        owner->newPage();
        return;
    }
    if (id == CMD_SEARCH) {
        startSearch();
        return;
    }
    const int selected = selectedRow();
    Page* page = pageAt(selected);
    if (!page) {
        return;
    }
    const int index = pageIndexAt(selected);
    switch (id) {
    case CMD_SETTINGS:
        owner->editPageSettings(index);
        break;
    case CMD_RETURN_TO_BOOK:
        if (page->floating) {
            owner->returnToBook(page);
            SetFocus(listBox.handle());
        }
        break;
    case CMD_FLOAT_PAGE:
        owner->floatPage(index, true);
        break;
    case CMD_MOVE_UP:
    case CMD_MOVE_DOWN:
        moveSelected(id == CMD_MOVE_UP);
        SetFocus(listBox.handle());
        break;
    case CMD_SHOW_PAGE:
        owner->openPage(index);
        break;
    case CMD_DELETE_LIST_PAGE:
        owner->deletePage(page);
        break;
    default:
        break;
    }
}

bool PageList::moveSelected(bool up) {
    if (filtered()) {
        return false;
    }
    const int selected = selectedRow();
    const int target = up ? selected - 1 : selected + 1;
    if (!pageAt(selected) || !pageAt(target)) {
        return false;
    }
    return owner->movePage(selected, up) && moveRow(selected, up);
}

void PageList::enableButton(int index, bool enabled) const {
    EnableWindow(buttons[static_cast<std::size_t>(index)], enabled ? TRUE : FALSE);
}

Page* PageList::pageAt(int row) const {
    const int index = pageIndexAt(row);
    return index < 0 ? nullptr : book->at(static_cast<unsigned>(index));
}

int PageList::pageIndexAt(int row) const {
    if (row < 0) {
        return -1;
    }
    const auto at = static_cast<unsigned>(row);
    if (filtered()) {
        return at < shownPages.size() && shownPages[at] < book->count() ? static_cast<int>(shownPages[at]) : -1;
    }
    return at < book->count() ? row : -1;
}

int PageList::selectedRow() const {
    return listBox.selection();
}
