#include "book/Page.h"
#include "sheets/PageSettingsSheet.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/Pages.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace {

bool run(Page& page, std::vector<DialogScript::Step> steps) {
    return runScripted([&page] { return PageSettingsSheet::edit(page, nullptr) ? 1 : 0; }, std::move(steps)) != 0;
}

Page* secondPage = nullptr;
int secondAnswer = -1;

// A timer of the test thread, fired inside the first sheet's modal loop,
// opens a second sheet as a floating page's menu could.
void CALLBACK openSecondSheet(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    secondAnswer = PageSettingsSheet::edit(*secondPage, nullptr) ? 1 : 0;
}

} // namespace

// Only an empty title is refused: blanks are a title.
TEST(PageSettings, OkWithAnEmptyTitleIsRefused) {
    Page page;
    HWND sheet = nullptr;
    std::string message;
    EXPECT_TRUE(run(page, {[&](HWND window) {
                               sheet = window;
                               pressOk(window);
                           },
                           [&](HWND box) {
                               message = messageBoxText(box);
                               clickButton(box, IDOK);
                               waitUntilGone(box);
                               setItemText(currentPage(sheet), IDC_TITLE, "  ");
                               pressOk(sheet);
                           }}));
    EXPECT_EQ(message, "ページタイトルを入力してください。");
    EXPECT_EQ(page.title, "  ");
}

// The General tab shows the page; OK stores the title and flags of the
// General tab and the Format tab's choices, Cancel after the same edits
// nothing. The update time belongs to the text and never changes here.
// Under Wine the default face exists only as a substitute, enumerated with
// the full name of the font standing in for it; it is selected all the same.
TEST(PageSettings, OkStoresTheEditsOfBothTabsAndCancelNone) {
    Page page;
    page.title = "予定";
    page.readOnly = true;
    page.text = std::string(1234, 'x');
    std::tm local{7, 5, 9, 1, 0, 103, 0, 0, -1}; // 9:05:07 on 1 January 2003
    page.updateTime = static_cast<std::int32_t>(std::mktime(&local));
    Page expected = page;
    expected.title = "予定表";
    expected.readOnly = false;
    expected.imeAutoOn = true;
    expected.format.editorFormat.fontFace = "Tahoma";
    for (const bool ok : {false, true}) {
        const Page before = page;
        std::vector<std::string> shown;
        EXPECT_EQ(run(page, {[&](HWND sheet) {
                          const HWND general = currentPage(sheet);
                          shown = {windowText(sheet), dialogItemText(general, IDC_UPDATE_TIME),
                                   dialogItemText(general, IDC_DATA_SIZE), isChecked(general, IDC_READ_ONLY) ? "R" : "",
                                   isChecked(general, IDC_IME_AUTO_ON) ? "I" : ""};
                          setItemText(general, IDC_TITLE, "予定表");
                          setCheck(general, IDC_READ_ONLY, false);
                          setCheck(general, IDC_IME_AUTO_ON, true);
                          const HWND format = showTab(sheet, 1, IDC_FACE);
                          shown.push_back(comboSelectedText(format, IDC_FACE));
                          EXPECT_TRUE(chooseComboText(format, IDC_FACE, "Tahoma"));
                          ok ? pressOk(sheet) : pressCancel(sheet);
                      }}),
                  ok);
        EXPECT_EQ(shown, (std::vector<std::string>{"「予定」ページの設定", "2003年1月1日 9時5分7秒", "1234 バイト", "R",
                                                   "", "ＭＳ ゴシック"}));
        EXPECT_TRUE(samePage(page, ok ? expected : before));
    }
}

// The tabs reach their page through the one editedPage: a second sheet
// opened while the first is up would have the first one's OK write into the
// second page.
TEST(PageSettings, ASecondSheetIsRefusedWhileOneIsOpen) {
    Page page, other;
    const Page otherBefore = other;
    secondPage = &other;
    SetTimer(nullptr, 0, 50, openSecondSheet);
    EXPECT_TRUE(run(page, {[&](HWND window) {
                        for (int wait = 0; wait < 250 && secondAnswer < 0; ++wait) {
                            Sleep(20);
                        }
                        setItemText(currentPage(window), IDC_TITLE, "一枚目改");
                        pressOk(window);
                    }}));
    EXPECT_EQ(secondAnswer, 0) << "-1: the second sheet never returned";
    EXPECT_EQ(page.title, "一枚目改");
    EXPECT_TRUE(samePage(other, otherBefore));
    EXPECT_EQ(editedPage, nullptr);
}
