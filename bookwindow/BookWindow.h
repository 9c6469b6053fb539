#pragma once

#include "book/AutosaveSchedule.h"
#include "book/Book.h"
#include "book/BookMerge.h"
#include "book/FileSystem.h"
#include "book/SharedBook.h"
#include "sheets/Settings.h"
#include "bookwindow/BookStorage.h"
#include "pagewindows/BookController.h"
#include "framework/FramedWindow.h"
#include "framework/UniqueHandle.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FloatingPageWindow;
class PageList;
class PageView;

// The main window and the controller of the whole book: it shows one page in
// its page view or, in the same place, the page list; keeps the floating
// windows of the pages shown outside the book; carries the notification-area
// icon; loads the settings and the book when it is created and writes both
// when it is destroyed, which ends the program.
class BookWindow : public FramedWindow, public BookController {
public:
    // `dataFolder` holds the INI file and the default book file; empty means
    // the program's own folder.
    explicit BookWindow(std::string dataFolder = std::string());
    ~BookWindow() override;

    bool createMainWindow(HWND owner);

    void openPage(int index) override;
    void showPageList(bool setFocus) override;
    void floatPage(int index, bool placeOverView) override;
    void returnToBook(Page* page) override;
    void deletePage(Page* page) override;
    bool movePage(int index, bool up) override;
    void editPageSettings(int index) override;
    void newPage() override;
    void refreshPageList(bool keepSelection) override;
    void bookChanged() override;

    void showOptions();
    void showBookWindow(bool show);
    void closeFloatingWindows();
    // false when no book file could be read (missing, or not a sound book).
    bool loadBook();
    void applyStartup();
    void applySystemColors();

    void addTrayIcon();
    void removeTrayIcon();
    void onTrayNotify(UINT iconId, UINT mouseMessage);

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCreate(CREATESTRUCTA* creation) override;
    void onDestroy() override;
    void onDpiChanged(int dpi, const RECT* suggested) override;
    void onCommand(UINT notificationCode, UINT id, HWND control) override;
    void onSize(UINT type, int width, int height) override;
    void onPaint() override;
    LRESULT onNcHitTest(int x, int y) override;
    void onLButtonDown(UINT keys, int x, int y) override;
    void onNcRButtonDown(UINT hitTest, int x, int y) override;
    void onNcRButtonUp(UINT hitTest, int x, int y) override;
    bool onQueryEndSession() override;
    // Activated: the book file may have changed while the user was away.
    void onActivateApp(bool active, DWORD threadId) override;
    void onTimer(UINT_PTR id, LPARAM callback) override;

    // Read by tests and by the options sheet.
    const Book& currentBook() const { return book; }
    Settings& currentSettings() { return settings; }
    PageView& view() { return *pageView; }
    PageList& list() { return *pageList; }
    FloatingPageWindow* floatingWindowOf(Page* page) const;
    std::size_t floatingWindowCount() const { return floatingWindows.size(); }

private:
    void makeSamplePage();
    void placeWindow();
    void chooseStartupPage();
    void paintGrip(HDC dc, const RECT& client) const;
    // The close icon's place at the top of the strip, in client pixels.
    RECT closeIconRect() const;
    void loadCloseIcon();
    bool inCloseIcon(int x, int y) const;
    void showMainMenu(int x, int y);
    void toggleAlwaysOnTop();
    void lowerOwnerBeneathEverything() const;
    void runAboutBox();
    void adjustIndexesAfterDelete(int index);
    bool switchBookFile(const std::string& previousBookFile);
    bool openNote(Page& page);
    void findIn(PageView& view, const std::string& words);
    bool busyAsking() const;
    bool stillRunning() const;
    // The page the page view shows, null while the list is shown.
    Page* shownPage() const;
    void adjustBeginPageAfterMove(int index, bool up);

    // Stores what the views show into their pages, as at exit, leaving the
    // editors as they are. true when a selection or a note's place changed
    // (typing is reported by the editors as it happens).
    bool storeViews();
    // The book is written when the schedule says, and at once when Windows
    // suspends or the session ends.
    void armSaveTimer();
    void saveWhileRunning();
    void keepWindowsReachable();

    // The book file that other programs may change meanwhile (another
    // computer through a synchronised folder, lkbook).
    enum class Following { InStep, TookIn, Waiting, MustRewrite };
    enum class WriteResult { Written, Failed, Deferred };
    enum class Outcome { Written, Recovered, Lost };
    // The pages windows show, as they were before the file was taken in.
    struct PagesOnScreen {
        Page* inView = nullptr;
        std::string viewText;
        Page* shown = nullptr;
        std::map<Page*, std::string> noteTexts;
        Page* selected = nullptr;
        Page* beginPage = nullptr;
    };
    BookStorage::Loaded loadStampedBook();
    void checkBookFile();
    Following followFile(const std::string& path, bool atExit);
    bool readBookFile(const std::string& path, const FileStamp& stamp, BookMerge::Pages& pages) const;
    Following waitForReadableFile(const FileStamp& stamp);
    void takeIn(BookMerge::Pages theirs, const FileStamp& stamp, bool windowsFollow);
    PagesOnScreen pagesOnScreen() const;
    void followWithWindows(const PagesOnScreen& before, const std::function<bool(const Page*)>& gone);
    WriteResult writeBook(const std::string& path, bool changed, bool atExit);
    Outcome writeReportingFailure(const std::string& path, bool changed, bool atExit);
    void reportMerges();
    void watchBookFolder();

    std::unique_ptr<PageView> pageView;
    std::unique_ptr<PageList> pageList;
    std::map<Page*, std::unique_ptr<FloatingPageWindow>> floatingWindows;
    Book book;
    OwnedIcon closeIcon;
    Settings settings;
    BookStorage storage;

    std::string dataFolder;
    UINT taskbarCreatedMessage = 0;

    AutosaveSchedule schedule;
    SharedBook shared{book};
    ChangeNotification folderChanges;
    // Since when the changed book file could not be read (tick count).
    std::optional<DWORD> unreadableSince;
    // What the last taking-in of the file left to do and to tell.
    bool mergedBookDiffers = false;
    std::vector<std::string> conflictTitles;
    std::vector<std::string> pendingNotices;
};
