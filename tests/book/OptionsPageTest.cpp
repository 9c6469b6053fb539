#include "SettingsText.h"

#include "app/Application.h"
#include "book/Book.h"
#include "book/BookFile.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/SheetDriver.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kStoredPath = "C:\\notes\\lk.bok";

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
    state.beginHide = isChecked(page, IDC_BEGIN_HIDE);
    state.closeEnd = isChecked(page, IDC_CLOSE_END);
    for (int id = IDC_BEGIN_LAST_PAGE; id <= IDC_BEGIN_CHOSEN_PAGE; ++id) {
        if (isChecked(page, id)) {
            state.checkedRadios.push_back(id);
        }
    }
    state.choiceEnabled = IsWindowEnabled(GetDlgItem(page, IDC_BEGIN_PAGE_CHOICE)) != FALSE;
    state.selection = comboSelection(page, IDC_BEGIN_PAGE_CHOICE);
    state.entries = comboItems(page, IDC_BEGIN_PAGE_CHOICE);
    return state;
}

// The path the sheet shows once the dialog in front of it has gone.
std::string shownPathAfter(HWND dialog) {
    waitUntilGone(dialog);
    return dialogItemText(currentPage(findDialog(GetCurrentProcessId())), IDC_BOOK_FILE);
}

void openChooser(HWND sheet) { clickButton(currentPage(sheet), IDC_CHANGE_FILE); }

// The options sheet over a real owner window, for a book of given titles,
// driven by a script while runOptions sits in its modal loop.
class OptionsSheet : public ::testing::Test {
protected:
    void SetUp() override {
        settings.setDataFolder(folder.path().string());
        settings.bookFile = kStoredPath;
        settings.left = 11;
        settings.top = 22;
        settings.right = 333;
        settings.bottom = 444;
        settings.showTop = true;
        settings.showPage = 1;
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                application().instance, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    void addPages(const std::vector<std::string>& titles) {
        for (const std::string& title : titles) {
            book.append(std::make_unique<Page>());
            book.at(book.count() - 1)->title = title;
        }
    }

    int run(std::vector<DialogScript::Step> steps) {
        return runScripted([this] { return settings.runOptions(owner, book); }, std::move(steps));
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

    TempFolder folder;
    Settings settings;
    Book book;
    HWND owner = nullptr;
};

} // namespace

TEST_F(OptionsSheet, IsOwnedCaptionedWithOneGeneralPageShowingTheSettings) {
    addPages({"one"});
    settings.beginHide = true;
    HWND sheetOwner = nullptr;
    std::string caption, tab;
    PageState state;
    const int result = run({[&](HWND sheet) {
        sheetOwner = GetWindow(sheet, GW_OWNER);
        caption = windowText(sheet);
        tab = tabText(sheet, 0) + (tabText(sheet, 1).empty() ? "" : " and more");
        state = readPage(currentPage(sheet));
        clickButton(sheet, IDCANCEL);
    }});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(sheetOwner, owner);
    EXPECT_EQ(caption, "Leafkeeper オプション");
    EXPECT_EQ(tab, "全般");
    EXPECT_EQ(optionsOwner, nullptr);
    EXPECT_EQ(state.bookFile, kStoredPath);
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
        {2147483647, IDC_BEGIN_CHOSEN_PAGE, true, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.beginPage);
        settings.beginPage = row.beginPage;
        const PageState state = openAndRead();
        EXPECT_EQ(state.checkedRadios, std::vector<int>{row.radio});
        EXPECT_EQ(state.choiceEnabled, row.enabled);
        EXPECT_EQ(state.selection, row.selection);
        // Entry i is page i although the combo box sorts.
        EXPECT_EQ(state.entries, (std::vector<std::string>{"b", "a"}));
    }
}

TEST_F(OptionsSheet, AnEmptyBookListsNothingAndItsChosenPageBecomesThePageList) {
    settings.beginPage = 0;
    const PageState state = openAndRead();
    EXPECT_EQ(state.checkedRadios, std::vector<int>{IDC_BEGIN_CHOSEN_PAGE});
    EXPECT_TRUE(state.entries.empty());
    EXPECT_EQ(state.selection, CB_ERR);

    settings.beginPage = -2;
    EXPECT_GT(run({[](HWND sheet) {
                  click(currentPage(sheet), IDC_BEGIN_CHOSEN_PAGE);
                  clickButton(sheet, IDOK);
              }}),
              0);
    EXPECT_EQ(settings.beginPage, -1);
}

// The radio buttons enable the page choice exactly while "次のページ" is checked.
TEST_F(OptionsSheet, RadioButtonsEnableThePageChoice) {
    addPages({"x", "y"});
    std::vector<bool> enabled;
    run({[&](HWND sheet) {
        const HWND page = currentPage(sheet);
        for (const int id : {IDC_BEGIN_CHOSEN_PAGE, IDC_BEGIN_LAST_PAGE, IDC_BEGIN_CHOSEN_PAGE, IDC_BEGIN_PAGE_LIST}) {
            click(page, id);
            enabled.push_back(IsWindowEnabled(GetDlgItem(page, IDC_BEGIN_PAGE_CHOICE)) != FALSE);
        }
        clickButton(sheet, IDCANCEL);
    }});
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, false}));
}

TEST_F(OptionsSheet, OkStoresTheCheckBoxesAndTheStartupChoice) {
    addPages({"c", "b", "a"});
    settings.closeEnd = true;
    settings.beginPage = -1;
    EXPECT_GT(run({[](HWND sheet) {
                  const HWND page = currentPage(sheet);
                  click(page, IDC_BEGIN_HIDE);
                  click(page, IDC_CLOSE_END);
                  click(page, IDC_BEGIN_CHOSEN_PAGE);
                  SendDlgItemMessageA(page, IDC_BEGIN_PAGE_CHOICE, CB_SETCURSEL, 2, 0);
                  clickButton(sheet, IDOK);
              }}),
              0);
    EXPECT_EQ(describe(settings), "rect=11,22,333,444 showTop=1 beginHide=1 closeEnd=0 beginPage=2 showPage=1 "
                                  "bookFile=C:\\notes\\lk.bok");
    // The sheet leaves writing the INI file to its caller.
    EXPECT_EQ(GetFileAttributesA(settings.iniPath().c_str()), INVALID_FILE_ATTRIBUTES);

    for (const int id : {IDC_BEGIN_LAST_PAGE, IDC_BEGIN_PAGE_LIST}) {
        settings.beginPage = 0;
        run({[id](HWND sheet) {
            click(currentPage(sheet), id);
            clickButton(sheet, IDOK);
        }});
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
        EXPECT_GT(run({[](HWND sheet) { clickButton(sheet, IDOK); }}), 0);
        EXPECT_EQ(settings.beginPage, row.after) << "before " << row.before;
    }
}

// The page edits the Settings whose sheet runs, even when another one was
// built after it; Cancel after changing every control changes nothing.
TEST_F(OptionsSheet, CancelChangesNothingAndOkEditsTheRunningSettings) {
    addPages({"one", "two", "three"});
    settings.beginPage = -2;
    const std::string before = describe(settings);
    EXPECT_EQ(run({[](HWND sheet) {
                  const HWND page = currentPage(sheet);
                  SetDlgItemTextA(page, IDC_BOOK_FILE, "C:\\elsewhere.bok");
                  click(page, IDC_BEGIN_HIDE);
                  click(page, IDC_CLOSE_END);
                  click(page, IDC_BEGIN_CHOSEN_PAGE);
                  SendDlgItemMessageA(page, IDC_BEGIN_PAGE_CHOICE, CB_SETCURSEL, 1, 0);
                  clickButton(sheet, IDCANCEL);
              }}),
              0);
    EXPECT_EQ(describe(settings), before);

    Settings other;
    run({[](HWND sheet) {
        click(currentPage(sheet), IDC_CLOSE_END);
        clickButton(sheet, IDOK);
    }});
    EXPECT_TRUE(settings.closeEnd);
    EXPECT_FALSE(other.closeEnd);
}

TEST_F(OptionsSheet, AFileWithoutTheMagicIsRefused) {
    const std::string wrong = folder.file("notes.txt");
    writeText(wrong, "NOTABOOK, just some text");
    std::string caption, message, shown;
    EXPECT_GT(run({openChooser, [&](HWND chooser) { chooseFile(chooser, wrong); },
                   [&](HWND box) {
                       caption = windowText(box);
                       message = messageBoxText(box);
                       clickButton(box, IDOK);
                       shown = shownPathAfter(box);
                       clickButton(findDialog(GetCurrentProcessId()), IDOK);
                   }}),
              0);
    EXPECT_EQ(caption, "Leafkeeper");
    EXPECT_EQ(message, "不正なブックファイルです。新規ファイルまたは正しいブックファイルを指定してください。");
    EXPECT_EQ(shown, kStoredPath);
    EXPECT_EQ(settings.bookFile, kStoredPath);
}

// A new name is taken with its full path (and nothing is created: the book
// window writes the file later), a sound book is taken, a cancelled chooser
// keeps the path; the sheet's own Cancel drops any choice.
TEST_F(OptionsSheet, TheChooserTakesNewNamesAndSoundBooks) {
    const std::string fresh = folder.file("新しいノート.bok");
    const std::string existing = folder.file("sound.bok");
    std::vector<std::unique_ptr<Page>> pages;
    pages.push_back(std::make_unique<Page>());
    ASSERT_TRUE(BookFile::write(existing, pages));
    const struct {
        std::string chosen; // empty: the chooser is cancelled
        int sheetButton;
        std::string shown;
        std::string stored;
    } rows[] = {{fresh, IDOK, fresh, fresh}, {existing, IDCANCEL, existing, kStoredPath}, {"", IDOK, kStoredPath, kStoredPath}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        settings.bookFile = kStoredPath;
        std::string title, shown;
        run({openChooser, [&](HWND chooser) {
                 title = windowText(chooser);
                 row.chosen.empty() ? clickButton(chooser, IDCANCEL) : chooseFile(chooser, row.chosen);
                 shown = shownPathAfter(chooser);
                 clickButton(findDialog(GetCurrentProcessId()), row.sheetButton);
             }});
        EXPECT_EQ(title, "ブックファイルの選択");
        EXPECT_EQ(shown, row.shown);
        EXPECT_EQ(settings.bookFile, row.stored);
    }
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
}
