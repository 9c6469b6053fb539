#include "app/Application.h"
#include "book/Book.h"
#include "book/BookFile.h"
#include "book/Settings.h"
#include "model/TempFolder.h"
#include "resources/resource.h"
#include "support/Dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The file name field of the save dialog: the combo box of the newer layout
// (cmb13) or the plain edit of the older one (edt1).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

constexpr const char* kInvalidFileMessage =
    "不正なブックファイルです。新規ファイルまたは正しいブックファイルを指定してください。";

// Ends every dialog of the test thread still open after the limit, so a
// script that lost its dialog fails the test instead of hanging in a modal loop.
class Watchdog {
public:
    explicit Watchdog(UINT limitMilliseconds = 20000) {
        active = this;
        timer = SetTimer(nullptr, 0, limitMilliseconds, expire);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog() {
        KillTimer(nullptr, timer);
        active = nullptr;
    }
    bool fired() const { return hasFired; }

private:
    static void CALLBACK expire(HWND, UINT, UINT_PTR id, DWORD) {
        if (!active || active->timer != id) {
            return;
        }
        active->hasFired = true;
        EnumThreadWindows(GetCurrentThreadId(), endDialog, 0);
    }
    static BOOL CALLBACK endDialog(HWND window, LPARAM) {
        char className[32] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770") {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }

    static Watchdog* active;
    UINT_PTR timer = 0;
    bool hasFired = false;
};
Watchdog* Watchdog::active = nullptr;

std::string describe(const Settings& s) {
    std::ostringstream text;
    text << "rect=" << s.left << "," << s.top << "," << s.right << "," << s.bottom << " showTop=" << s.showTop
         << " beginHide=" << s.beginHide << " closeEnd=" << s.closeEnd << " beginPage=" << s.beginPage
         << " showPage=" << s.showPage << " bookFile=" << s.bookFile;
    return text.str();
}

HWND currentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// A real click: the button checks itself and notifies the page.
void click(HWND page, int id) {
    SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

bool checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

// What the page shows, read from the script thread.
struct PageState {
    std::string bookFile;
    bool beginHide = false;
    bool closeEnd = false;
    std::vector<int> checkedRadios;
    bool choiceEnabled = false;
    int selection = -2;
    std::vector<std::string> entries;
};

PageState readPage(HWND page) {
    PageState state;
    state.bookFile = dialogItemText(page, IDC_BOOK_FILE);
    state.beginHide = checked(page, IDC_BEGIN_HIDE);
    state.closeEnd = checked(page, IDC_CLOSE_END);
    for (int id = IDC_BEGIN_LAST_PAGE; id <= IDC_BEGIN_CHOSEN_PAGE; ++id) {
        if (checked(page, id)) {
            state.checkedRadios.push_back(id);
        }
    }
    const HWND choice = GetDlgItem(page, IDC_BEGIN_PAGE_CHOICE);
    state.choiceEnabled = IsWindowEnabled(choice) != FALSE;
    state.selection = static_cast<int>(SendMessageA(choice, CB_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageA(choice, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(choice, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        state.entries.emplace_back(text);
    }
    return state;
}

// Types a path into the save dialog's file name field and confirms it.
void chooseFile(HWND chooser, const std::string& path) {
    HWND field = GetDlgItem(chooser, kFileNameCombo);
    if (!field || !IsWindowVisible(field)) {
        field = GetDlgItem(chooser, kFileNameEdit);
    }
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    clickButton(chooser, IDOK);
}

bool waitUntilGone(HWND window) {
    for (int i = 0; i < 250 && IsWindow(window); ++i) {
        Sleep(20);
    }
    return !IsWindow(window);
}

BOOL CALLBACK appendText(HWND child, LPARAM context) {
    *reinterpret_cast<std::string*>(context) += windowText(child) + "\n";
    return TRUE;
}

// All texts of a dialog's children, for finding a message box's text
// whatever identifier its static control has.
std::string childTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, appendText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// The options sheet over a real owner window, for a book of given titles,
// driven by a script while runOptions sits in its modal loop.
class OptionsSheet : public ::testing::Test {
protected:
    void SetUp() override {
        settings.setDataFolder(folder.path().string());
        settings.bookFile = "C:\\notes\\lk.bok";
        settings.left = 11;
        settings.top = 22;
        settings.right = 333;
        settings.bottom = 444;
        settings.showTop = true;
        settings.showPage = 1;
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                application().instance, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    void addPages(const std::vector<std::string>& titles) {
        for (const std::string& title : titles) {
            auto page = std::make_unique<Page>();
            page->title = title;
            book.append(std::move(page));
        }
    }

    int run(std::vector<DialogScript::Step> steps) {
        Watchdog watchdog;
        DialogScript script(std::move(steps));
        const int result = settings.runOptions(owner, book);
        EXPECT_TRUE(script.wait()) << "steps run: " << script.stepsRun();
        EXPECT_FALSE(watchdog.fired());
        return result;
    }

    // Opens the sheet, reads the page and cancels.
    PageState openAndRead() {
        PageState state;
        run({[&](HWND sheet) {
            state = readPage(currentPage(sheet));
            clickButton(sheet, IDCANCEL);
        }});
        return state;
    }

    std::string bookFilePath(const std::string& name) const { return folder.path().string() + "\\" + name; }

    TempFolder folder;
    Settings settings;
    Book book;
    HWND owner = nullptr;
};

} // namespace

TEST_F(OptionsSheet, SheetIsOwnedCaptionedAndHasOneGeneralPage) {
    addPages({"one"});
    HWND sheetOwner = nullptr;
    std::string caption;
    int tabCount = 0;
    std::string tabText;

    const int result = run({[&](HWND sheet) {
        sheetOwner = GetWindow(sheet, GW_OWNER);
        caption = windowText(sheet);
        const HWND tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
        tabCount = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
        char text[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        tabText = text;
        clickButton(sheet, IDCANCEL);
    }});

    EXPECT_EQ(result, 0);
    EXPECT_EQ(sheetOwner, owner);
    EXPECT_EQ(caption, "Leafkeeper オプション");
    EXPECT_EQ(tabCount, 1);
    EXPECT_EQ(tabText, "全般");
    EXPECT_EQ(optionsOwner, nullptr);
}

TEST_F(OptionsSheet, PageShowsTheSettings) {
    addPages({"b", "a"});
    settings.beginHide = true;
    settings.closeEnd = false;

    PageState state = openAndRead();
    EXPECT_EQ(state.bookFile, "C:\\notes\\lk.bok");
    EXPECT_TRUE(state.beginHide);
    EXPECT_FALSE(state.closeEnd);

    settings.beginHide = false;
    settings.closeEnd = true;
    state = openAndRead();
    EXPECT_FALSE(state.beginHide);
    EXPECT_TRUE(state.closeEnd);
}

// The start-up page choice for each kind of "Begin Page" value.
TEST_F(OptionsSheet, StartupPageControlsFollowBeginPage) {
    addPages({"b", "a"});
    const struct {
        int beginPage;
        int radio;
        bool enabled;
        int selection;
    } rows[] = {
        {-1, IDC_BEGIN_PAGE_LIST, false, 0}, {-2, IDC_BEGIN_LAST_PAGE, false, 0},
        {-5, IDC_BEGIN_PAGE_LIST, false, 0}, {0, IDC_BEGIN_CHOSEN_PAGE, true, 0},
        {1, IDC_BEGIN_CHOSEN_PAGE, true, 1}, {2, IDC_BEGIN_CHOSEN_PAGE, true, 0},
        {3, IDC_BEGIN_CHOSEN_PAGE, true, 0}, {2147483647, IDC_BEGIN_CHOSEN_PAGE, true, 0},
    };
    for (const auto& row : rows) {
        settings.beginPage = row.beginPage;

        const PageState state = openAndRead();

        EXPECT_EQ(state.checkedRadios, std::vector<int>{row.radio}) << "beginPage " << row.beginPage;
        EXPECT_EQ(state.choiceEnabled, row.enabled) << "beginPage " << row.beginPage;
        EXPECT_EQ(state.selection, row.selection) << "beginPage " << row.beginPage;
        // Entry i is page i although the combo box sorts.
        EXPECT_EQ(state.entries, (std::vector<std::string>{"b", "a"})) << "beginPage " << row.beginPage;
    }
}

TEST_F(OptionsSheet, EmptyBookListsNothing) {
    settings.beginPage = 0;
    const PageState state = openAndRead();
    EXPECT_EQ(state.checkedRadios, std::vector<int>{IDC_BEGIN_CHOSEN_PAGE});
    EXPECT_TRUE(state.choiceEnabled);
    EXPECT_TRUE(state.entries.empty());
    EXPECT_EQ(state.selection, CB_ERR);
}

TEST_F(OptionsSheet, EmptyBookWithChosenPageStoresThePageList) {
    settings.beginPage = -2;
    const int result = run({[](HWND sheet) {
        click(currentPage(sheet), IDC_BEGIN_CHOSEN_PAGE);
        clickButton(sheet, IDOK);
    }});
    EXPECT_GT(result, 0);
    EXPECT_EQ(settings.beginPage, -1);
}

// The radio buttons enable the page choice exactly while "次のページ" is checked.
TEST_F(OptionsSheet, RadioButtonsEnableThePageChoice) {
    addPages({"x", "y"});
    settings.beginPage = -1;
    std::vector<bool> enabled;

    run({[&](HWND sheet) {
        const HWND page = currentPage(sheet);
        const HWND choice = GetDlgItem(page, IDC_BEGIN_PAGE_CHOICE);
        for (const int id : {IDC_BEGIN_CHOSEN_PAGE, IDC_BEGIN_LAST_PAGE, IDC_BEGIN_CHOSEN_PAGE, IDC_BEGIN_PAGE_LIST}) {
            click(page, id);
            enabled.push_back(IsWindowEnabled(choice) != FALSE);
        }
        clickButton(sheet, IDCANCEL);
    }});

    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, false}));
}

TEST_F(OptionsSheet, OkStoresTheCheckBoxesAndTheChosenPage) {
    addPages({"c", "b", "a"});
    settings.beginHide = false;
    settings.closeEnd = true;
    settings.beginPage = -1;

    const int result = run({[](HWND sheet) {
        const HWND page = currentPage(sheet);
        click(page, IDC_BEGIN_HIDE);
        click(page, IDC_CLOSE_END);
        click(page, IDC_BEGIN_CHOSEN_PAGE);
        SendDlgItemMessageA(page, IDC_BEGIN_PAGE_CHOICE, CB_SETCURSEL, 2, 0);
        clickButton(sheet, IDOK);
    }});

    EXPECT_GT(result, 0);
    EXPECT_EQ(describe(settings), "rect=11,22,333,444 showTop=1 beginHide=1 closeEnd=0 beginPage=2 showPage=1 "
                                  "bookFile=C:\\notes\\lk.bok");
    // The sheet leaves writing the INI file to its caller.
    EXPECT_EQ(GetFileAttributesA(settings.iniPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OptionsSheet, OkStoresTheOtherStartupChoices) {
    addPages({"p"});
    for (const int id : {IDC_BEGIN_LAST_PAGE, IDC_BEGIN_PAGE_LIST}) {
        settings.beginPage = 0;
        const int result = run({[id](HWND sheet) {
            click(currentPage(sheet), id);
            clickButton(sheet, IDOK);
        }});
        EXPECT_GT(result, 0);
        EXPECT_EQ(settings.beginPage, id - IDC_BEGIN_CHOSEN_PAGE);
    }
}

// Pressing OK without touching anything keeps a remembered page, but a
// "Begin Page" outside the book becomes the first page the sheet showed.
TEST_F(OptionsSheet, OkWithoutChangesStoresWhatTheSheetShowed) {
    addPages({"p", "q"});
    const struct {
        int before;
        int after;
    } rows[] = {{-2, -2}, {-1, -1}, {1, 1}, {-7, -1}, {5, 0}};
    for (const auto& row : rows) {
        settings.beginPage = row.before;
        const int result = run({[](HWND sheet) { clickButton(sheet, IDOK); }});
        EXPECT_GT(result, 0);
        EXPECT_EQ(settings.beginPage, row.after) << "before " << row.before;
    }
}

TEST_F(OptionsSheet, CancelAfterChangingEveryControlChangesNothing) {
    addPages({"one", "two", "three"});
    settings.beginHide = true;
    settings.closeEnd = false;
    settings.beginPage = -2;
    const std::string before = describe(settings);

    const int result = run({[](HWND sheet) {
        const HWND page = currentPage(sheet);
        SetDlgItemTextA(page, IDC_BOOK_FILE, "C:\\elsewhere.bok");
        click(page, IDC_BEGIN_HIDE);
        click(page, IDC_CLOSE_END);
        click(page, IDC_BEGIN_CHOSEN_PAGE);
        SendDlgItemMessageA(page, IDC_BEGIN_PAGE_CHOICE, CB_SETCURSEL, 1, 0);
        clickButton(sheet, IDCANCEL);
    }});

    EXPECT_EQ(result, 0);
    EXPECT_EQ(describe(settings), before);
}

// The page edits the Settings whose sheet runs, even when another one was
// built after it.
TEST_F(OptionsSheet, TheRunningSettingsIsTheOneEdited) {
    addPages({"only"});
    settings.closeEnd = false;
    Settings other;
    other.closeEnd = false;

    run({[](HWND sheet) {
        click(currentPage(sheet), IDC_CLOSE_END);
        clickButton(sheet, IDOK);
    }});

    EXPECT_TRUE(settings.closeEnd);
    EXPECT_FALSE(other.closeEnd);
}

TEST_F(OptionsSheet, ChoosingAFileWithoutTheMagicIsRefused) {
    const std::string wrong = bookFilePath("notes.txt");
    writeAll(wrong, bytesOf("NOTABOOK, just some text"));
    std::string messageTexts;
    std::string messageCaption;
    std::string shownAfter;

    const int result = run({
        [](HWND sheet) { clickButton(currentPage(sheet), IDC_CHANGE_FILE); },
        [&](HWND chooser) { chooseFile(chooser, wrong); },
        [&](HWND box) {
            messageCaption = windowText(box);
            messageTexts = childTexts(box);
            clickButton(box, IDOK);
            waitUntilGone(box);
            const HWND sheet = findDialog(GetCurrentProcessId());
            shownAfter = dialogItemText(currentPage(sheet), IDC_BOOK_FILE);
            clickButton(sheet, IDOK);
        },
    });

    EXPECT_GT(result, 0);
    EXPECT_EQ(messageCaption, "Leafkeeper");
    EXPECT_NE(messageTexts.find(kInvalidFileMessage), std::string::npos) << messageTexts;
    EXPECT_EQ(shownAfter, "C:\\notes\\lk.bok");
    EXPECT_EQ(settings.bookFile, "C:\\notes\\lk.bok");
}

TEST_F(OptionsSheet, ChoosingANewFileNameTakesItsFullPath) {
    const std::string fresh = bookFilePath("新しいノート.bok");
    std::string shown;

    const int result = run({
        [](HWND sheet) { clickButton(currentPage(sheet), IDC_CHANGE_FILE); },
        [&](HWND chooser) {
            chooseFile(chooser, fresh);
            waitUntilGone(chooser);
            const HWND sheet = findDialog(GetCurrentProcessId());
            shown = dialogItemText(currentPage(sheet), IDC_BOOK_FILE);
            clickButton(sheet, IDOK);
        },
    });

    EXPECT_GT(result, 0);
    EXPECT_EQ(shown, fresh);
    EXPECT_EQ(settings.bookFile, fresh);
    // Choosing a name creates nothing; the book window writes the file later.
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OptionsSheet, ChoosingASoundBookFileIsTaken) {
    const std::string existing = bookFilePath("sound.bok");
    std::vector<std::unique_ptr<Page>> pages;
    pages.push_back(std::make_unique<Page>());
    ASSERT_TRUE(BookFile::write(existing, pages));
    std::string shown;

    run({
        [](HWND sheet) { clickButton(currentPage(sheet), IDC_CHANGE_FILE); },
        [&](HWND chooser) {
            chooseFile(chooser, existing);
            waitUntilGone(chooser);
            const HWND sheet = findDialog(GetCurrentProcessId());
            shown = dialogItemText(currentPage(sheet), IDC_BOOK_FILE);
            clickButton(sheet, IDCANCEL);
        },
    });

    EXPECT_EQ(shown, existing);
    // Cancel drops the choice.
    EXPECT_EQ(settings.bookFile, "C:\\notes\\lk.bok");
}

TEST_F(OptionsSheet, CancellingTheChooserKeepsThePath) {
    std::string shown;
    std::string chooserTitle;

    run({
        [](HWND sheet) { clickButton(currentPage(sheet), IDC_CHANGE_FILE); },
        [&](HWND chooser) {
            chooserTitle = windowText(chooser);
            clickButton(chooser, IDCANCEL);
            waitUntilGone(chooser);
            const HWND sheet = findDialog(GetCurrentProcessId());
            shown = dialogItemText(currentPage(sheet), IDC_BOOK_FILE);
            clickButton(sheet, IDOK);
        },
    });

    EXPECT_EQ(chooserTitle, "ブックファイルの選択");
    EXPECT_EQ(shown, "C:\\notes\\lk.bok");
    EXPECT_EQ(settings.bookFile, "C:\\notes\\lk.bok");
}
