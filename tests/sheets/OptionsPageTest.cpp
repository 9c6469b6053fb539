#include "SettingsText.h"

#include "book/Book.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/SheetDriver.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the page shows, on one line.
std::string describePage(HWND page) {
    const char* const radios[] = {"last", "list", "chosen"};
    std::string text = "hide=" + std::to_string(isChecked(page, IDC_BEGIN_HIDE)) +
                       " end=" + std::to_string(isChecked(page, IDC_CLOSE_END));
    for (int id = IDC_BEGIN_LAST_PAGE; id <= IDC_BEGIN_CHOSEN_PAGE; ++id) {
        text += isChecked(page, id) ? std::string(" ") + radios[id - IDC_BEGIN_LAST_PAGE] : "";
    }
    text += IsWindowEnabled(GetDlgItem(page, IDC_BEGIN_PAGE_CHOICE)) ? " on:" : " off:";
    text += std::to_string(comboSelection(page, IDC_BEGIN_PAGE_CHOICE));
    for (const std::string& entry : comboItems(page, IDC_BEGIN_PAGE_CHOICE)) {
        text += " " + entry;
    }
    return text;
}

} // namespace

// The sheet shows the settings and, for each kind of "Begin Page", its radio
// button and page; entry i is page i although the combo box sorts. OK
// without changes keeps a remembered page, but a page outside the book
// becomes the first page the sheet showed, and the chosen page of an empty
// book the page list. The page choice is enabled exactly while "次のページ"
// is checked. Cancel after changing every control changes nothing. The page
// edits the Settings whose sheet runs, although another was built after it,
// and leaves the INI file to its caller.
TEST(OptionsSheet, OkStoresWhatTheSheetShowsAndCancelNothing) {
    const TempFolder folder;
    Settings settings;
    settings.setDataFolder(folder.path().string());
    settings.bookFile = "C:\\notes\\lk.bok";
    const Settings other;
    Book book;
    for (const char* title : {"b", "a"}) {
        book.at(static_cast<unsigned>(book.append(std::make_unique<Page>())))->title = title;
    }
    constexpr int hide = IDC_BEGIN_HIDE, end = IDC_CLOSE_END, last = IDC_BEGIN_LAST_PAGE, list = IDC_BEGIN_PAGE_LIST,
                  chosen = IDC_BEGIN_CHOSEN_PAGE;
    const struct {
        int beginPage;
        std::vector<int> clicks; // then the second page is selected
        int button;
        const char* shown;
        const char* stored;
    } rows[] = {
        {-1, {}, IDOK, "list off:0 b a", "beginHide=0 closeEnd=1 beginPage=-1"},
        {-2, {}, IDOK, "last off:0 b a", "beginHide=0 closeEnd=1 beginPage=-2"},
        {-5, {}, IDOK, "list off:0 b a", "beginHide=0 closeEnd=1 beginPage=-1"},
        {1, {}, IDOK, "chosen on:1 b a", "beginHide=0 closeEnd=1 beginPage=1"},
        {2, {}, IDOK, "chosen on:0 b a", "beginHide=0 closeEnd=1 beginPage=0"},
        {-1, {hide, end, chosen, last, list, chosen}, IDOK, "list off:0 b a", "beginHide=1 closeEnd=0 beginPage=1"},
        {-1, {hide, end, chosen}, IDCANCEL, "list off:0 b a", "beginHide=0 closeEnd=1 beginPage=-1"},
        {0, {last}, IDOK, "chosen on:0 b a", "beginHide=0 closeEnd=1 beginPage=-2"},
        {-2, {list}, IDOK, "last off:0 b a", "beginHide=0 closeEnd=1 beginPage=-1"},
        {0, {}, IDOK, "chosen on:-1", "beginHide=0 closeEnd=1 beginPage=-1"}, // with an empty book
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.beginPage);
        if (&row == &rows[std::size(rows) - 1]) {
            book.clear();
        }
        settings.beginPage = row.beginPage;
        settings.beginHide = false;
        settings.closeEnd = true;
        std::string shown;
        EXPECT_EQ(runScripted([&] { return settings.runOptions(nullptr, book); }, {[&](HWND sheet) {
                                  const HWND page = currentPage(sheet);
                                  shown = describePage(page);
                                  for (const int id : row.clicks) {
                                      click(page, id);
                                      if (id != hide && id != end) {
                                          EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_BEGIN_PAGE_CHOICE)) != FALSE,
                                                    id == chosen);
                                      }
                                  }
                                  if (row.button == IDCANCEL) {
                                      SetDlgItemTextA(page, IDC_BOOK_FILE, "C:\\elsewhere.bok");
                                  }
                                  if (!row.clicks.empty()) {
                                      SendDlgItemMessageA(page, IDC_BEGIN_PAGE_CHOICE, CB_SETCURSEL, 1, 0);
                                  }
                                  clickButton(sheet, row.button);
                              }}) > 0,
                  row.button == IDOK);
        EXPECT_EQ(shown, std::string("hide=0 end=1 ") + row.shown);
        EXPECT_EQ(describe(settings), std::string("rect=50,50,350,200 showTop=0 ") + row.stored +
                                          " showPage=-1 bookFile=C:\\notes\\lk.bok");
    }
    EXPECT_EQ(describe(other),
              "rect=50,50,350,200 showTop=0 beginHide=0 closeEnd=0 beginPage=-1 showPage=-1 bookFile=");
    EXPECT_EQ(optionsOwner, nullptr);
    EXPECT_EQ(GetFileAttributesA(settings.iniPath().c_str()), INVALID_FILE_ATTRIBUTES);
}
