#include "bookwindow/BookWindow.h"

#include "framework/Application.h"
#include "book/BookFile.h"
#include "book/LkError.h"
#include "bookwindow/PageList.h"
#include "sheets/PageSettingsSheet.h"
#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "framework/ModalLoop.h"
#include "framework/MonitorPlacement.h"
#include "framework/Pens.h"
#include "framework/PopupMenu.h"
#include "framework/WindowProcedure.h"
#include "pagewindows/AboutBox.h"
#include "pagewindows/FloatingPageWindow.h"
#include "pagewindows/PageView.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr DWORD kMainWindowStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME;
constexpr int kCloseIconSize = 16;
constexpr int kStripWidth = 17; // the left strip: close icon and grip
constexpr int kGripTop = 19;
constexpr int kGripBottomMargin = 3;
constexpr int kGripLines[] = {3, 9};
constexpr int kFloatOffset = 10; // a floated page opens this far right of and below the view

constexpr UINT kTrayNotifyMessage = WM_APP + 100;

// Fires when the autosave schedule says the book is due to be written.
constexpr UINT_PTR kSaveTimer = 1;
// Looks at the book file for changes by other programs, which the folder's
// change notification may not announce (network shares send none).
constexpr UINT_PTR kCheckTimer = 2;
constexpr UINT kCheckPeriod = 1000;
// A book file that cannot be read may be one another program is writing: it
// is waited for this long before it is taken for damaged or gone.
constexpr DWORD kUnreadableWait = 10000;
// A write that must happen now waits at most this long for such a file.
constexpr DWORD kLongestWaitForFile = 15000;
constexpr DWORD kWaitStep = 200;
// Takings-in of a file that keeps changing while the book is written.
constexpr int kWriteAttempts = 5;
constexpr UINT kTrayIconId = 102;

// The stored rectangle, or the default size at its place when it is not a
// window a user could have left (an INI edited by hand or damaged: a negative
// or tiny size, coordinates beyond any screen).
RECT usableRectangle(const Settings& settings) {
    constexpr long long kSmallest = 40;
    constexpr long long kLargest = 32767;
    const long long width = static_cast<long long>(settings.right) - settings.left;
    const long long height = static_cast<long long>(settings.bottom) - settings.top;
    const bool plausiblePlace = std::llabs(settings.left) <= kLargest && std::llabs(settings.top) <= kLargest;
    const bool plausibleSize = width >= kSmallest && height >= kSmallest && width <= kLargest && height <= kLargest;
    if (plausiblePlace && plausibleSize) {
        return RECT{settings.left, settings.top, settings.right, settings.bottom};
    }
    const DisplayScale scale = DisplayScale::system();
    const LONG left = plausiblePlace ? settings.left : scale(Settings::kDefaultLeft);
    const LONG top = plausiblePlace ? settings.top : scale(Settings::kDefaultTop);
    return RECT{left, top, left + scale(Settings::kDefaultRight - Settings::kDefaultLeft),
                top + scale(Settings::kDefaultBottom - Settings::kDefaultTop)};
}

// Recovery files go beside the settings, where the program can write.
std::string recoveryFolderFor(const std::string& dataFolder) {
    std::string folder = dataFolder;
    if (folder.empty()) {
        application().moduleDirectory(folder);
    }
    if (!folder.empty() && folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

void verticalLine(HDC dc, COLORREF color, int x, int width, int top, int bottom) {
    DeviceContext(dc).fillRect(RECT{x, top, x + width, bottom}, color);
}

} // namespace

BookWindow::BookWindow(std::string folder)
    : pageView(std::make_unique<PageView>(this)), pageList(std::make_unique<PageList>(this, &book)),
      storage(book, recoveryFolderFor(folder)), dataFolder(std::move(folder)) {}

// The windows are gone by now: the floating windows were destroyed in
// onDestroy, the panes with the main window.
BookWindow::~BookWindow() = default;

bool BookWindow::createMainWindow(HWND owner) {
    std::string className;
    std::string title;
    application().loadString(IDS_MAIN_CLASS, className);
    application().loadString(IDS_APP_TITLE, title);
    registerWindowClass(className.c_str(), CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW),
                        nullptr);
    // The real placement is applied by applyStartup while the window is created.
    return create(0, className.c_str(), title.c_str(), kMainWindowStyle, 500, 300, 150, 100, owner, nullptr);
}

// Start-up

bool BookWindow::onCreate(CREATESTRUCTA*) {
    application().addToolTip(hwnd, IDS_TIP_CLOSE, closeIconRect());
    loadCloseIcon();
    pageView->createPane(hwnd);
    pageList->createPane(hwnd);
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

    if (!dataFolder.empty()) {
        settings.setDataFolder(dataFolder);
    }
    settings.load();
    if (!loadBook()) {
        makeSamplePage();
        // A book file that another computer brings later replaces the sample
        // page rather than getting it.
        shared.remember(shared.stamp(), FileSystem::now());
    }
    applySystemColors();
    applyStartup();
    return true;
}

void BookWindow::makeSamplePage() {
    auto page = std::make_unique<Page>();
    page->title = application().text(IDS_SAMPLE_PAGE_TITLE);
    page->setText(application().text(IDS_SAMPLE_PAGE_TEXT));
    book.append(std::move(page));
    pageList->refresh(false);
    // Written at exit, not at once: starting the program is no change of the user's.
    schedule.differsFromFile();
}

// Reads the book file, again when it changed while it was read, and
// remembers it as read.
BookStorage::Loaded BookWindow::loadStampedBook() {
    for (int attempt = 1;; ++attempt) {
        const FileStamp before = FileSystem::stamp(settings.bookFile);
        const BookStorage::Loaded loaded = storage.load(hwnd, settings.bookFile);
        const FileStamp after = FileSystem::stamp(settings.bookFile);
        if (before == after || attempt == kWriteAttempts) {
            shared.remember(after, FileSystem::now());
            return loaded;
        }
    }
}

bool BookWindow::loadBook() {
    const BookStorage::Loaded loaded = loadStampedBook();
    schedule.reset();
    unreadableSince.reset();
    for (unsigned i = 0; i < book.count(); ++i) {
        if (book.at(i)->floating) {
            openNote(*book.at(i));
        }
    }
    pageList->refresh(false);
    watchBookFolder();
    // The backup's pages belong in the book file.
    if (loaded == BookStorage::Loaded::FromBackup) {
        bookChanged();
    }
    return loaded != BookStorage::Loaded::Nothing;
}

void BookWindow::applySystemColors() {
    setFillColor(GetSysColor(COLOR_BTNFACE));
    setFrameFaceColor(GetSysColor(COLOR_BTNFACE));
    setFrameLineColor(GetSysColor(COLOR_BTNSHADOW));
    setFrameStyle(Flat);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    pageList->setFillColor(shadow);
    pageList->setFrameFaceColor(shadow);
    pageList->setFrameLineColor(shadow);
    pageList->setFrameStyle(Flat);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void BookWindow::applyStartup() {
    SetTimer(hwnd, kCheckTimer, kCheckPeriod, nullptr);
    placeWindow();
    chooseStartupPage();
    if (!settings.beginHide) {
        showBookWindow(true);
    }
    addTrayIcon();
}

// A rectangle left on a monitor that is gone is moved onto the nearest one.
void BookWindow::placeWindow() {
    const RECT placed = placeOnNearestMonitor(usableRectangle(settings));
    lowerOwnerBeneathEverything();
    SetWindowPos(hwnd, settings.showTop ? HWND_TOPMOST : HWND_NOTOPMOST, placed.left, placed.top,
                 placed.right - placed.left, placed.bottom - placed.top, SWP_NOACTIVATE);
}

void BookWindow::chooseStartupPage() {
    const int count = static_cast<int>(book.count());
    int page = -1;
    if (settings.beginPage == -2) {
        page = settings.showPage;
    } else if (settings.beginPage >= 0) {
        page = settings.beginPage;
    }
    const bool valid = page >= 0 && page < count;
    // A floating start-up page is brought forward in its own window by
    // openPage; the remembered page of the last exit never floats.
    if (valid && (settings.beginPage == -2 || !book.at(static_cast<unsigned>(page))->floating)) {
        openPage(page);
    } else {
        showPageList(true);
    }
}

// Showing pages

// A page opened while the list is filtered opens with the first match of the
// words selected, and knows them for F3.
void BookWindow::openPage(int index) {
    Page* page = book.at(static_cast<unsigned>(index));
    const std::string words = pageList->searchWords();
    if (page->floating) {
        if (FloatingPageWindow* window = floatingWindowOf(page)) {
            window->comeForward(settings.showTop);
            findIn(*window, words);
        }
        return;
    }
    settings.showPage = index;
    pageView->setPage(page);
    ShowWindow(pageView->handle(), SW_SHOW);
    pageList->showList(false, false);
    SetFocus(pageView->handle());
    findIn(*pageView, words);
}

void BookWindow::findIn(PageView& view, const std::string& words) {
    if (!words.empty()) {
        view.setSearchWords(words);
        view.findFirst();
    }
}

void BookWindow::showPageList(bool setFocus) {
    pageList->showList(true, setFocus);
    pageView->storePage();
    ShowWindow(pageView->handle(), SW_HIDE);
    settings.showPage = -1;
}

void BookWindow::floatPage(int index, bool placeOverView) {
    if (busyAsking()) {
        return;
    }
    Page& page = *book.at(static_cast<unsigned>(index));
    if (FloatingPageWindow* window = page.floating ? floatingWindowOf(&page) : nullptr) {
        ShowWindow(window->handle(), SW_SHOW);
        return;
    }
    if (placeOverView) {
        RECT rect{};
        GetWindowRect(pageView->handle(), &rect);
        const int offset = DisplayScale::of(hwnd)(kFloatOffset);
        OffsetRect(&rect, offset, offset);
        page.floatingRect = {rect.left, rect.top, rect.right, rect.bottom};
    }
    if (!openNote(page)) {
        return;
    }
    pageView->setPage(nullptr);
    showPageList(false);
    bookChanged();
}

// A note of its own for the page, where its floatingRect says; the page is
// floating from now on.
bool BookWindow::openNote(Page& page) {
    auto window = std::make_unique<FloatingPageWindow>(this);
    if (!window->createPane(GetParent(hwnd))) {
        return false;
    }
    window->setPage(&page);
    ShowWindow(window->handle(), SW_SHOW);
    floatingWindows[&page] = std::move(window);
    pageList->updateButtons();
    return true;
}

void BookWindow::returnToBook(Page* page) {
    if (busyAsking()) {
        return;
    }
    const auto entry = floatingWindows.find(page);
    if (entry == floatingWindows.end()) {
        return;
    }
    page->floating = false;
    // The map entry keeps the object alive until its window is gone; the
    // caller may be that window's own handler, which returns at once.
    std::unique_ptr<FloatingPageWindow> window = std::move(entry->second);
    floatingWindows.erase(entry);
    window->storePage();
    DestroyWindow(window->handle());
    window.reset();
    pageList->updateButtons();
    bookChanged();
}

void BookWindow::deletePage(Page* page) {
    if (busyAsking() || book.indexOf(page) >= book.count()) {
        return;
    }
    const std::string question = application().text(IDS_DELETE_PAGE_QUESTION, {page->title});
    if (messageBox(hwnd, question, MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL) {
        return;
    }
    // Looked up again after the question: its place in the book is the one
    // to remove now.
    const unsigned index = book.indexOf(page);
    if (!stillRunning() || index >= book.count()) {
        return;
    }
    shared.forget(page);
    if (page->floating) {
        std::unique_ptr<FloatingPageWindow> window;
        const auto entry = floatingWindows.find(page);
        if (entry != floatingWindows.end()) {
            window = std::move(entry->second);
            floatingWindows.erase(entry);
            DestroyWindow(window->handle());
        }
        book.removeAt(index);
        window.reset();
    } else {
        // Nothing may later be stored into the deleted page.
        if (pageView->page() == page) {
            pageView->setPage(nullptr);
        }
        book.removeAt(index);
        if (IsWindowVisible(pageView->handle()) && pageView->page() == nullptr) {
            showPageList(true);
        }
    }
    adjustIndexesAfterDelete(static_cast<int>(index));
    pageList->refresh(false);
    bookChanged();
}

// Indexes that name pages follow their pages: the start-up page and the
// page shown in the book move up when a page before them goes.
void BookWindow::adjustIndexesAfterDelete(int index) {
    if (settings.beginPage == index) {
        settings.beginPage = -1;
    } else if (settings.beginPage > index) {
        --settings.beginPage;
    }
    if (settings.showPage > index) {
        --settings.showPage;
    }
}

bool BookWindow::movePage(int index, bool up) {
    if (busyAsking() || !book.move(static_cast<unsigned>(index), up)) {
        return false;
    }
    adjustBeginPageAfterMove(index, up);
    bookChanged();
    return true;
}

void BookWindow::adjustBeginPageAfterMove(int index, bool up) {
    const int neighbour = up ? index - 1 : index + 1;
    if (settings.beginPage == index) {
        settings.beginPage = neighbour;
    } else if (settings.beginPage == neighbour) {
        settings.beginPage = index;
    }
}

void BookWindow::editPageSettings(int index) {
    if (busyAsking()) {
        return;
    }
    Page* page = book.at(static_cast<unsigned>(index));
    if (!PageSettingsSheet::edit(*page, hwnd) || !stillRunning() || book.indexOf(page) >= book.count()) {
        return;
    }
    // The page, not its index: the view shows it wherever it now stands.
    if (page == shownPage()) {
        pageView->setPage(page);
    } else {
        pageList->refresh(true);
        if (page->floating) {
            if (FloatingPageWindow* window = floatingWindowOf(page)) {
                window->setPage(page);
            }
        }
    }
    bookChanged();
}

void BookWindow::newPage() {
    if (busyAsking()) {
        return;
    }
    auto page = std::make_unique<Page>();
    if (!PageSettingsSheet::edit(*page, hwnd) || !stillRunning()) {
        return;
    }
    const int index = book.append(std::move(page));
    pageView->storePage();
    pageList->refresh(true);
    openPage(index);
    bookChanged();
}

void BookWindow::refreshPageList(bool keepSelection) {
    pageList->refresh(keepSelection);
}

// While the program waits for an answer (a question, a sheet, the About box,
// a failed save), the pages stay as they are: a note's menu or the page list
// could otherwise delete or move the very page the open dialog is about. The
// dialog comes forward instead.
bool BookWindow::busyAsking() const {
    return ModalLoop::bringForward();
}

// The session may end while a dialog is open: the window is then destroyed
// and the book written before the dialog's answer comes back.
bool BookWindow::stillRunning() const {
    return hwnd != nullptr;
}

Page* BookWindow::shownPage() const {
    return settings.showPage >= 0 && static_cast<unsigned>(settings.showPage) < book.count()
               ? book.at(static_cast<unsigned>(settings.showPage))
               : nullptr;
}

void BookWindow::bookChanged() {
    schedule.changed(GetTickCount());
    armSaveTimer();
}

// One timer, set for the moment the schedule names.
void BookWindow::armSaveTimer() {
    if (!hwnd) {
        return;
    }
    if (const auto wait = schedule.dueIn(GetTickCount())) {
        SetTimer(hwnd, kSaveTimer, std::max<UINT>(*wait, USER_TIMER_MINIMUM), nullptr);
    } else {
        KillTimer(hwnd, kSaveTimer);
    }
}

void BookWindow::onTimer(UINT_PTR id, LPARAM callback) {
    if (id == kCheckTimer) {
        checkBookFile();
        return;
    }
    if (id != kSaveTimer) {
        FramedWindow::onTimer(id, callback);
        return;
    }
    KillTimer(hwnd, kSaveTimer);
    if (schedule.dueIn(GetTickCount()) == AutosaveSchedule::Millis(0)) {
        saveWhileRunning();
    } else {
        armSaveTimer();
    }
}

void BookWindow::saveWhileRunning() {
    if (schedule.writing() || !schedule.unwritten()) {
        return;
    }
    storeViews();
    schedule.beginWrite();
    WriteResult result = writeBook(settings.bookFile, true, false);
    // Not over another open dialog: the next try after it closes reports it.
    if (result == WriteResult::Failed && !schedule.failureTold() && !ModalLoop::running()) {
        schedule.tellingFailure();
        result = writeReportingFailure(settings.bookFile, true, false) == Outcome::Written ? WriteResult::Written
                                                                                           : WriteResult::Failed;
    }
    switch (result) {
    case WriteResult::Written:
        schedule.writeSucceeded();
        break;
    case WriteResult::Deferred:
        schedule.writeDeferred(GetTickCount());
        break;
    case WriteResult::Failed:
        schedule.writeFailed(GetTickCount());
        break;
    }
    armSaveTimer();
    reportMerges();
}

// The book file shared with others

// Called every second, when the program is activated and when something in
// the book's folder changes: takes in what another program (another
// computer, lkbook) wrote into the book file, and writes the merged book when
// it holds more than the file. Not while a dialog is open: the page it is
// about could go.
void BookWindow::checkBookFile() {
    if (!hwnd || ModalLoop::running() || schedule.writing()) {
        return;
    }
    switch (followFile(settings.bookFile, false)) {
    case Following::TookIn:
        if (mergedBookDiffers) {
            bookChanged();
            saveWhileRunning();
        } else {
            // What was typed here is in the file already (the same edit on
            // both sides): nothing is left to write.
            schedule.reset();
            armSaveTimer();
        }
        break;
    case Following::MustRewrite:
        bookChanged();
        break;
    case Following::InStep:
    case Following::Waiting:
        break;
    }
    reportMerges();
}

// Compares the file with what the program remembers of it and takes in what
// changed. The file being rewritten in place, locked, deleted or damaged is
// waited for a while (a synchronising program may be writing it); only then
// is it given up as damaged (it is kept aside at the next write) or gone.
BookWindow::Following BookWindow::followFile(const std::string& path, bool atExit) {
    const FileStamp stamp = FileSystem::stamp(path);
    const SharedBook::Look look = shared.look(stamp, FileSystem::now());
    // A folder in the book's place is no book to take in: writing fails and
    // the typing goes to a recovery file, the folder left alone.
    if (look == SharedBook::Look::Unchanged || stamp.kind == FileStamp::Kind::Folder) {
        unreadableSince.reset();
        return Following::InStep;
    }
    if (!atExit && ModalLoop::running()) {
        return Following::Waiting;
    }
    BookMerge::Pages theirs;
    if (!readBookFile(path, stamp, theirs)) {
        // Under an unchanged stamp an unreadable file is the one remembered
        // (a damaged book read at start-up): nothing to wait for.
        if (look == SharedBook::Look::Unsure) {
            shared.confirm();
            return Following::InStep;
        }
        return waitForReadableFile(stamp);
    }
    unreadableSince.reset();
    if (look == SharedBook::Look::Unsure && shared.holdsRemembered(theirs)) {
        shared.confirm();
        return Following::InStep;
    }
    takeIn(std::move(theirs), stamp, !atExit);
    return Following::TookIn;
}

// The file's pages, when it is a sound book that did not change while it
// was read.
bool BookWindow::readBookFile(const std::string& path, const FileStamp& stamp, BookMerge::Pages& pages) const {
    try {
        return BookFile::read(path, pages) && FileSystem::stamp(path) == stamp;
    } catch (const lk_error&) {
        return false;
    }
}

BookWindow::Following BookWindow::waitForReadableFile(const FileStamp& stamp) {
    const DWORD now = GetTickCount();
    if (!unreadableSince) {
        unreadableSince = now;
    }
    if (now - *unreadableSince < kUnreadableWait) {
        return Following::Waiting;
    }
    unreadableSince.reset();
    if (stamp.kind == FileStamp::Kind::File) {
        storage.keepAsideAtNextWrite();
        pendingNotices.push_back(application().text(IDS_BOOK_FILE_UNREADABLE, {settings.bookFile}));
    }
    // The book as the program has it stands for the file from now on.
    shared.remember(stamp, FileSystem::now());
    return Following::MustRewrite;
}

// Merges the file's pages into the book. The windows follow: a note opens or
// closes as its page floats or not, the shown page stays shown while it is in
// the book, and a page whose text did not change keeps its caret.
void BookWindow::takeIn(BookMerge::Pages theirs, const FileStamp& stamp, bool windowsFollow) {
    // What the windows show that their pages do not hold yet takes part.
    storeViews();
    BookMerge::Result result = shared.merge(std::move(theirs));
    mergedBookDiffers = result.differsFromTheirs;
    for (const BookMerge::Conflict& conflict : result.conflicts) {
        conflictTitles.push_back(conflict.title);
    }
    const PagesOnScreen before = pagesOnScreen();
    // The pages that leave the book live until their windows are gone.
    const BookMerge::Pages left = shared.apply(result, stamp, FileSystem::now());
    const auto gone = [&left](const Page* page) {
        return std::any_of(left.begin(), left.end(), [page](const auto& leaving) { return leaving.get() == page; });
    };
    if (gone(pageView->page())) {
        pageView->setPage(nullptr);
    }
    if (windowsFollow) {
        followWithWindows(before, gone);
    }
}

BookWindow::PagesOnScreen BookWindow::pagesOnScreen() const {
    PagesOnScreen seen;
    seen.inView = pageView->page();
    if (seen.inView) {
        seen.viewText = seen.inView->text;
    }
    seen.shown = IsWindowVisible(pageView->handle()) ? shownPage() : nullptr;
    for (const auto& [page, window] : floatingWindows) {
        seen.noteTexts[page] = page->text;
    }
    seen.selected = pageList->selectedPage();
    const bool beginsWithPage = settings.beginPage >= 0 && static_cast<unsigned>(settings.beginPage) < book.count();
    seen.beginPage = beginsWithPage ? book.at(static_cast<unsigned>(settings.beginPage)) : nullptr;
    return seen;
}

void BookWindow::followWithWindows(const PagesOnScreen& before, const std::function<bool(const Page*)>& gone) {
    // Notes of pages that left the book or float no more close without
    // storing anything: their pages hold what the merge gave them.
    for (auto entry = floatingWindows.begin(); entry != floatingWindows.end();) {
        Page* page = entry->first;
        if (gone(page) || !page->floating) {
            DestroyWindow(entry->second->handle());
            entry = floatingWindows.erase(entry);
            continue;
        }
        const auto text = before.noteTexts.find(page);
        if (text != before.noteTexts.end() && text->second != page->text) {
            entry->second->setPage(nullptr);
        }
        entry->second->setPage(page);
        ++entry;
    }
    for (const auto& page : book.allPages()) {
        if (page->floating && !floatingWindowOf(page.get())) {
            openNote(*page);
        }
    }
    Page* kept = before.inView && !gone(before.inView) && !before.inView->floating ? before.inView : nullptr;
    if (before.inView && (!kept || kept->text != before.viewText)) {
        pageView->setPage(nullptr);
    }
    if (before.shown && before.shown == kept) {
        pageView->setPage(kept);
        settings.showPage = static_cast<int>(book.indexOf(kept));
    } else if (before.shown) {
        showPageList(false);
    }
    if (settings.beginPage >= 0) {
        const bool stays = before.beginPage && !gone(before.beginPage);
        settings.beginPage = stays ? static_cast<int>(book.indexOf(before.beginPage)) : Settings::kBeginWithPageList;
    }
    pageList->refresh(false);
    pageList->selectPage(before.selected && !gone(before.selected) ? before.selected : nullptr);
}

// Writes the book to `path`, taking in first what another program put into
// the file, and again when the file changes while the new one is written:
// the replace happens only while the file is the one last seen.
BookWindow::WriteResult BookWindow::writeBook(const std::string& path, bool changed, bool atExit) {
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        const Following following = followFile(path, atExit);
        if (following == Following::Waiting) {
            return WriteResult::Deferred;
        }
        // Only another book in the file's place stops the replace: a file
        // gone meanwhile (a damaged one kept aside by this very write) is
        // simply written anew.
        bool changedMeanwhile = false;
        const auto mayReplace = [&] {
            const FileStamp current = FileSystem::stamp(path);
            changedMeanwhile = current.kind == FileStamp::Kind::File &&
                               shared.look(current, FileSystem::now()) == SharedBook::Look::Changed;
            return !changedMeanwhile;
        };
        if (storage.write(path, changed || following != Following::InStep, mayReplace)) {
            shared.remember(FileSystem::stamp(path), FileSystem::now());
            return WriteResult::Written;
        }
        if (!changedMeanwhile) {
            return WriteResult::Failed;
        }
    }
    return WriteResult::Deferred;
}

// A write that must happen now (at exit, before another book replaces this
// one): a file still being rewritten by another program is waited for, and
// a failure is reported with a retry and a recovery file.
BookWindow::Outcome BookWindow::writeReportingFailure(const std::string& path, bool changed, bool atExit) {
    const DWORD started = GetTickCount();
    for (;;) {
        const WriteResult result = writeBook(path, changed, atExit);
        if (result == WriteResult::Written) {
            return Outcome::Written;
        }
        if (result == WriteResult::Deferred && GetTickCount() - started < kLongestWaitForFile) {
            Sleep(kWaitStep);
            continue;
        }
        switch (storage.askAfterFailedWrite(hwnd, path)) {
        case BookStorage::AfterFailure::Retry:
            continue;
        case BookStorage::AfterFailure::Recovered:
            return Outcome::Recovered;
        case BookStorage::AfterFailure::Lost:
            return Outcome::Lost;
        }
    }
}

// What the file brought is told once it is written, and not over another
// dialog: the next check tells it then.
void BookWindow::reportMerges() {
    if (!stillRunning() || ModalLoop::running()) {
        return;
    }
    for (const std::string& notice : std::exchange(pendingNotices, {})) {
        messageBox(hwnd, notice, MB_OK | MB_ICONWARNING);
    }
    if (conflictTitles.empty()) {
        return;
    }
    std::string titles;
    for (const std::string& title : std::exchange(conflictTitles, {})) {
        titles += application().text(IDS_CONFLICT_PAGE, {title});
    }
    messageBox(hwnd, application().text(IDS_CONFLICT_KEPT_BOTH, {titles}), MB_OK | MB_ICONINFORMATION);
}

// A change notification on the book's folder makes the check come at once
// rather than at the next tick.
void BookWindow::watchBookFolder() {
    if (folderChanges.get()) {
        application().unwatch(folderChanges.get());
        folderChanges.reset();
    }
    const std::string& path = settings.bookFile;
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const HANDLE changes = FindFirstChangeNotificationA(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    folderChanges.reset(changes == INVALID_HANDLE_VALUE ? nullptr : changes);
    if (!folderChanges.get()) {
        return;
    }
    application().watch(folderChanges.get(), [this] {
        FindNextChangeNotification(folderChanges.get());
        checkBookFile();
    });
}

namespace {

// What storing a view can change without the editor having reported typing:
// the selection, and where a note stands.
struct ViewState {
    std::int32_t selectionStart;
    std::int32_t selectionEnd;
    PageRect floatingRect;

    explicit ViewState(const Page& page)
        : selectionStart(page.selectionStart), selectionEnd(page.selectionEnd), floatingRect(page.floatingRect) {}
    bool operator==(const ViewState& other) const {
        return selectionStart == other.selectionStart && selectionEnd == other.selectionEnd &&
               floatingRect == other.floatingRect;
    }
};

} // namespace

bool BookWindow::storeViews() {
    std::vector<std::pair<Page*, ViewState>> before;
    if (Page* shown = pageView->page()) {
        before.emplace_back(shown, ViewState(*shown));
    }
    for (const auto& entry : floatingWindows) {
        before.emplace_back(entry.first, ViewState(*entry.first));
    }
    pageView->storePage();
    for (auto& entry : floatingWindows) {
        entry.second->storePage();
    }
    bool changed = false;
    for (const auto& [page, state] : before) {
        changed = changed || !(ViewState(*page) == state);
    }
    return changed;
}

// The settings file names the new book only once the book in use is safe.
void BookWindow::showOptions() {
    if (busyAsking()) {
        return;
    }
    const std::string previousBookFile = settings.bookFile;
    if (settings.runOptions(hwnd, book) <= 0 || !stillRunning()) {
        return;
    }
    applySystemColors();
    if (settings.bookFile != previousBookFile && !switchBookFile(previousBookFile)) {
        settings.bookFile = previousBookFile;
    }
    settings.save();
}

// The book in use is written to its own file, or else to a recovery file,
// before another one replaces it. When it reaches neither, the switch does
// not happen: the pages and their notes stay, and so does the book file.
bool BookWindow::switchBookFile(const std::string& previousBookFile) {
    storeViews();
    if (writeReportingFailure(previousBookFile, schedule.unwritten(), false) == Outcome::Lost) {
        messageBox(hwnd, application().text(IDS_SWITCH_NOT_DONE, {previousBookFile}), MB_OK | MB_ICONERROR);
        return false;
    }
    closeFloatingWindows();
    pageView->setPage(nullptr);
    showPageList(true);
    loadBook();
    return true;
}

void BookWindow::showBookWindow(bool show) {
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    if (show) {
        SetForegroundWindow(hwnd);
    }
}

void BookWindow::closeFloatingWindows() {
    for (auto& entry : floatingWindows) {
        entry.second->storePage();
        DestroyWindow(entry.second->handle());
    }
    floatingWindows.clear();
}

FloatingPageWindow* BookWindow::floatingWindowOf(Page* page) const {
    const auto entry = floatingWindows.find(page);
    return entry == floatingWindows.end() ? nullptr : entry->second.get();
}

// Messages

LRESULT BookWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayNotifyMessage) {
        onTrayNotify(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
        return 0;
    }
    if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        // The shell restarted and forgot every icon.
        addTrayIcon();
        return 0;
    }
    switch (message) {
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) {
            saveWhileRunning();
        }
        return TRUE;
    case WM_ENDSESSION:
        // Normally the window is gone already (WM_QUERYENDSESSION ends it).
        if (wParam) {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DISPLAYCHANGE:
        keepWindowsReachable();
        break;
    default:
        break;
    }
    return FramedWindow::handleMessage(message, wParam, lParam);
}

void BookWindow::onCommand(UINT, UINT id, HWND) {
    switch (id) {
    case CMD_SETTINGS:
        showOptions();
        break;
    case CMD_FLOAT_PAGE:
        if (settings.showPage >= 0) {
            pageView->storePage();
            floatPage(settings.showPage, true);
        }
        break;
    case CMD_PAGE_SETTINGS:
        if (settings.showPage >= 0) {
            editPageSettings(settings.showPage);
        }
        break;
    case CMD_FIND:
        if (settings.showPage >= 0) {
            pageView->askForWords();
        }
        break;
    case CMD_SHOW_LIST:
        showPageList(true);
        break;
    case CMD_ADD_PAGE:
        newPage();
        break;
    case CMD_ALWAYS_ON_TOP:
        toggleAlwaysOnTop();
        break;
    case CMD_EXIT:
        DestroyWindow(hwnd);
        break;
    case CMD_ABOUT:
        runAboutBox();
        break;
    case CMD_SHOW_WINDOW:
        showBookWindow(true);
        break;
    case CMD_HIDE_WINDOW:
        showBookWindow(false);
        break;
    case CMD_DELETE_PAGE:
        if (settings.showPage >= 0) {
            deletePage(book.at(static_cast<unsigned>(settings.showPage)));
        }
        break;
    default:
        break;
    }
}

// A monitor was removed or its resolution lowered: every window that no longer
// lies on a monitor moves onto the nearest one.
void BookWindow::keepWindowsReachable() {
    std::vector<HWND> windows{hwnd};
    for (const auto& entry : floatingWindows) {
        windows.push_back(entry.second->handle());
    }
    for (HWND window : windows) {
        RECT rect{};
        GetWindowRect(window, &rect);
        const RECT placed = placeOnNearestMonitor(rect);
        if (!EqualRect(&placed, &rect)) {
            SetWindowPos(window, nullptr, placed.left, placed.top, placed.right - placed.left,
                         placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void BookWindow::toggleAlwaysOnTop() {
    settings.showTop = !settings.showTop;
    lowerOwnerBeneathEverything();
    SetWindowPos(hwnd, settings.showTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Wine keeps an owned window topmost when the window right below it is its
// owner; the hidden owner window belongs at the bottom anyway.
void BookWindow::lowerOwnerBeneathEverything() const {
    if (HWND owner = GetWindow(hwnd, GW_OWNER)) {
        SetWindowPos(owner, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void BookWindow::runAboutBox() {
    AboutBox about;
    about.run(hwnd);
}

void BookWindow::onSize(UINT, int width, int height) {
    const DisplayScale scale = DisplayScale::of(hwnd);
    const int strip = scale(kStripWidth);
    const int gap = scale(1);
    HDWP positions = BeginDeferWindowPos(2);
    for (HWND child : {pageView->handle(), pageList->handle()}) {
        if (positions && child) {
            positions = DeferWindowPos(positions, child, nullptr, strip, gap, width - strip - gap, height - 2 * gap,
                                       SWP_NOZORDER);
        }
    }
    if (positions) {
        EndDeferWindowPos(positions);
    }
}

// Moved to a monitor of another scale: everything is measured again at its
// DPI, in the rectangle the system suggests. Each note gets its own message.
void BookWindow::onDpiChanged(int dpi, const RECT* suggested) {
    DisplayScale::remember(hwnd, dpi);
    loadCloseIcon();
    application().moveToolTip(hwnd, closeIconRect());
    pageView->applyDisplayScale();
    pageList->applyDisplayScale();
    if (suggested) {
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    onSize(SIZE_RESTORED, client.right, client.bottom);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void BookWindow::onPaint() {
    PaintDc paint(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    DeviceContext(paint.get()).fillRect(client, fillColor());
    paintGrip(paint.get(), client);
    const RECT icon = closeIconRect();
    DrawIconEx(paint.get(), 0, 0, closeIcon.get(), icon.right, icon.bottom, 0, nullptr, DI_NORMAL);
}

// Two lines for the flat style; light and dark pairs for the 3-D styles,
// shaded from the fill colour.
void BookWindow::paintGrip(HDC dc, const RECT& client) const {
    const DisplayScale scale = DisplayScale::of(hwnd);
    const int top = client.top + scale(kGripTop);
    const int bottom = client.bottom - scale(kGripBottomMargin);
    const int line = scale(1);
    if (frameStyle() == Flat) {
        for (int x : kGripLines) {
            verticalLine(dc, frameLineColor(), scale(x), line, top, bottom);
        }
        return;
    }
    const EdgePens pens(fillColor(), frameStyle() == Raised);
    for (int x : kGripLines) {
        verticalLine(dc, pens.upperLeftColor(), scale(x), line, top, bottom);
        verticalLine(dc, pens.lowerRightColor(), scale(x) + line, line, top, bottom);
    }
}

RECT BookWindow::closeIconRect() const {
    const int size = DisplayScale::of(hwnd)(kCloseIconSize);
    return RECT{0, 0, size, size};
}

void BookWindow::loadCloseIcon() {
    const RECT icon = closeIconRect();
    closeIcon.reset(static_cast<HICON>(LoadImageA(application().instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                                  icon.right, icon.bottom, LR_DEFAULTCOLOR)));
}

bool BookWindow::inCloseIcon(int x, int y) const {
    const RECT icon = closeIconRect();
    const POINT point{x, y};
    return PtInRect(&icon, point) != FALSE;
}

// A press on any bare point of the client area drags the window, except on
// the close icon.
LRESULT BookWindow::onNcHitTest(int x, int y) {
    const LRESULT hit = FramedWindow::onNcHitTest(x, y);
    POINT point{x, y};
    ScreenToClient(hwnd, &point);
    if (point.x >= 0 && point.y >= 0 && inCloseIcon(point.x, point.y)) {
        return hit;
    }
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void BookWindow::onLButtonDown(UINT, int x, int y) {
    if (!inCloseIcon(x, y)) {
        return;
    }
    if (settings.closeEnd) {
        DestroyWindow(hwnd);
    } else {
        showBookWindow(false);
    }
}

// The default handling of a right press on the strip, which hit-tests as the
// caption, waits for the release itself (for the system menu) and swallows
// it under Wine: taken here, the release arrives and opens the main menu.
void BookWindow::onNcRButtonDown(UINT, int, int) {}

void BookWindow::onNcRButtonUp(UINT, int x, int y) {
    showMainMenu(x, y);
}

void BookWindow::showMainMenu(int x, int y) {
    const bool alwaysOnTop = settings.showTop;
    trackPopupMenu(IDM_MAIN, hwnd, POINT{x, y},
                   [alwaysOnTop](HMENU menu) { tickMenuItem(menu, CMD_ALWAYS_ON_TOP, alwaysOnTop); });
}

void BookWindow::onActivateApp(bool active, DWORD threadId) {
    FramedWindow::onActivateApp(active, threadId);
    if (active) {
        checkBookFile();
    }
}

bool BookWindow::onQueryEndSession() {
    DestroyWindow(hwnd);
    return true;
}

// Shutdown: the settings, the pages and the book are written before the
// notification-area icon goes and the message loop ends.
void BookWindow::onDestroy() {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    settings.left = rect.left;
    settings.top = rect.top;
    settings.right = rect.right;
    settings.bottom = rect.bottom;
    settings.save();
    KillTimer(hwnd, kCheckTimer);
    if (folderChanges.get()) {
        application().unwatch(folderChanges.get());
        folderChanges.reset();
    }
    const bool viewsChanged = storeViews();
    closeFloatingWindows();
    // A book that is in its file as it is now is not written again: the exit
    // costs nothing and the backup keeps the older generation.
    if (viewsChanged || schedule.unwritten() || storage.mustWrite(settings.bookFile)) {
        writeReportingFailure(settings.bookFile, schedule.unwritten(), true);
        reportMerges();
    }
    removeTrayIcon();
    closeIcon.reset();
    DisplayScale::forget(hwnd);
    application().quit(0);
}

// The notification-area icon

void BookWindow::addTrayIcon() {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayNotifyMessage;
    OwnedIcon icon(
        static_cast<HICON>(LoadImageA(application().instance, MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    data.hIcon = icon.get();
    std::string tip;
    application().loadString(IDS_APP_TITLE, tip);
    lstrcpynA(data.szTip, tip.c_str(), 64);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void BookWindow::removeTrayIcon() {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void BookWindow::onTrayNotify(UINT iconId, UINT mouseMessage) {
    if (iconId != kTrayIconId) {
        return;
    }
    // While a sheet or message box is open, the icon only brings it forward:
    // its menu could end the program or replace the book under the dialog.
    if ((mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN) && busyAsking()) {
        return;
    }
    if (mouseMessage == WM_LBUTTONDOWN) {
        showBookWindow(true);
        return;
    }
    if (mouseMessage != WM_RBUTTONDOWN) {
        return;
    }
    const UINT notOffered = IsWindowVisible(hwnd) == TRUE ? CMD_SHOW_WINDOW : CMD_HIDE_WINDOW;
    SetForegroundWindow(hwnd);
    POINT cursor{};
    GetCursorPos(&cursor);
    trackPopupMenu(IDM_TRAY, hwnd, cursor, [notOffered](HMENU menu) { RemoveMenu(menu, notOffered, MF_BYCOMMAND); });
}
