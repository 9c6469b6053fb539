#include "book/Page.h"
#include "book/PageSettingsSheet.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/Pages.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr const char* kEmptyTitleMessage = "ページタイトルを入力してください。";

// What the General tab shows, read from the script thread.
struct GeneralShown {
    std::string caption, title, updateTime, dataSize;
    bool readOnly = false;
    bool imeAutoOn = false;
};

GeneralShown readGeneral(HWND sheet) {
    const HWND general = currentPage(sheet);
    return {windowText(sheet),
            dialogItemText(general, IDC_TITLE),
            dialogItemText(general, IDC_UPDATE_TIME),
            dialogItemText(general, IDC_DATA_SIZE),
            isChecked(general, IDC_READ_ONLY),
            isChecked(general, IDC_IME_AUTO_ON)};
}

// Reads the empty-title refusal, answers it, and goes on once it has gone.
DialogScript::Step answerRefusal(std::function<void()> then) {
    return [then](HWND box) {
        EXPECT_EQ(windowText(box), "Leafjotter");
        EXPECT_EQ(messageBoxText(box), kEmptyTitleMessage);
        clickButton(box, IDOK);
        waitUntilGone(box);
        then();
    };
}

class PageSettings : public ::testing::Test {
protected:
    bool run(std::vector<DialogScript::Step> steps) {
        return runScripted([this] { return page.editSettings(nullptr) ? 1 : 0; }, std::move(steps)) != 0;
    }

    Page page;
    HWND sheet = nullptr;
};

} // namespace

TEST_F(PageSettings, ANewPageRefusesOkUntilItHasATitle) {
    GeneralShown shown;
    bool stayedOnGeneral = false, focusOnTitle = false;
    EXPECT_TRUE(run({[&](HWND window) {
                         sheet = window;
                         shown = readGeneral(window);
                         pressOk(window);
                     },
                     answerRefusal([&] {
                         const HWND general = currentPage(sheet);
                         stayedOnGeneral = IsWindowVisible(sheet) && general && GetDlgItem(general, IDC_TITLE);
                         focusOnTitle = focusOfThread(sheet) == GetDlgItem(general, IDC_TITLE);
                         setItemText(general, IDC_TITLE, "買い物");
                         pressOk(sheet);
                     })}));
    EXPECT_EQ(shown.caption, "新規ページの設定");
    EXPECT_EQ(shown.title, "");
    EXPECT_EQ(shown.updateTime, "");
    EXPECT_EQ(shown.dataSize, "0 バイト");
    EXPECT_FALSE(shown.readOnly || shown.imeAutoOn);
    EXPECT_TRUE(stayedOnGeneral);
    EXPECT_TRUE(focusOnTitle);
    EXPECT_EQ(page.title, "買い物");
}

// Only an empty title is refused: blanks are a title.
TEST_F(PageSettings, LeavingTheGeneralTabWithAnEmptyTitleIsRefused) {
    bool stayedOnGeneral = false, blanksAccepted = false;
    const Page before = page;
    EXPECT_FALSE(run({[&](HWND window) {
                          sheet = window;
                          PostMessageA(window, PSM_SETCURSEL, 1, 0);
                      },
                      answerRefusal([&] {
                          const HWND general = currentPage(sheet);
                          stayedOnGeneral = GetDlgItem(general, IDC_TITLE) && !GetDlgItem(general, IDC_FACE);
                          setItemText(general, IDC_TITLE, "  ");
                          blanksAccepted = showTab(sheet, 1, IDC_FACE) != nullptr;
                          pressCancel(sheet);
                      })}));
    EXPECT_TRUE(stayedOnGeneral);
    EXPECT_TRUE(blanksAccepted);
    EXPECT_TRUE(samePage(page, before));
}

TEST_F(PageSettings, TheGeneralTabShowsThePageAndOkStoresTitleAndFlags) {
    page.title = "予定";
    page.readOnly = true;
    page.text = std::string(1234, 'x');
    std::tm local{};
    local.tm_year = 103;
    local.tm_mday = 1;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    page.updateTime = static_cast<std::int32_t>(std::mktime(&local));
    Page expected = page;
    GeneralShown shown;
    EXPECT_TRUE(run({[&](HWND window) {
        shown = readGeneral(window);
        setItemText(currentPage(window), IDC_TITLE, "予定表");
        setCheck(currentPage(window), IDC_READ_ONLY, false);
        setCheck(currentPage(window), IDC_IME_AUTO_ON, true);
        pressOk(window);
    }}));
    EXPECT_EQ(shown.caption, "「予定」ページの設定");
    EXPECT_EQ(shown.title, "予定");
    EXPECT_EQ(shown.updateTime, "2003年1月1日 9時5分7秒");
    EXPECT_EQ(shown.dataSize, "1234 バイト");
    EXPECT_TRUE(shown.readOnly);
    EXPECT_FALSE(shown.imeAutoOn);
    expected.title = "予定表";
    expected.readOnly = false;
    expected.imeAutoOn = true;
    // The update time belongs to the text; the Format tab was never opened.
    EXPECT_TRUE(samePage(page, expected));
}

TEST_F(PageSettings, CancelAfterChangesOnBothTabsLeavesThePageUnchanged) {
    page.title = "メモ";
    page.text = "本文";
    page.updateTime = 1000000000;
    page.imeAutoOn = true;
    page.format.frameColor = RGB(1, 2, 3);
    page.format.editorFormat = {AutoColor, AutoColor, "IPA明朝", 12};
    page.format.titleFormat.textColor = RGB(9, 8, 7);
    page.floatingRect = {20, 30, 200, 300};
    page.selectionStart = 2;
    page.selectionEnd = 4;
    const Page before = page;
    bool editsMade = false;
    EXPECT_FALSE(run({[&](HWND window) {
                          sheet = window;
                          const HWND general = currentPage(window);
                          setItemText(general, IDC_TITLE, "別の名前");
                          setCheck(general, IDC_READ_ONLY, true);
                          setCheck(general, IDC_IME_AUTO_ON, false);
                          const HWND format = showTab(window, 1, IDC_FACE);
                          editsMade = format && chooseComboText(format, IDC_FACE, "Tahoma");
                          chooseComboIndex(format, IDC_FONT_SIZE, 0);
                          chooseComboIndex(format, IDC_FRAME_STYLE, Sunken);
                          chooseComboIndex(format, IDC_TARGET, 1);
                          editsMade = editsMade && chooseComboText(format, IDC_FACE, "IPA Pゴシック");
                          clickButton(format, IDC_BACK_SWATCH);
                      },
                      [&](HWND colorDialog) {
                          clickButton(colorDialog, IDC_AUTO_COLOR);
                          waitUntilGone(colorDialog);
                          pressCancel(sheet);
                      }}));
    EXPECT_TRUE(editsMade);
    EXPECT_TRUE(samePage(page, before));
}

namespace {

// A window of the test thread that opens a second sheet from inside the
// first one's modal loop, as a floating page's menu could.
Page* secondPage = nullptr;
int secondAnswer = -1;

LRESULT CALLBACK secondSheetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        secondAnswer = secondPage->editSettings(window) ? 1 : 0;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

// The tabs reach their page through the one editedPage: a second sheet
// opened while the first is up would have the first one's OK write into the
// second page.
TEST_F(PageSettings, ASecondSheetIsRefusedWhileOneIsOpen) {
    page.title = "一枚目";
    Page other;
    other.title = "二枚目";
    const Page otherBefore = other;
    secondPage = &other;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = secondSheetProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LkSecondSheetProbe";
    RegisterClassA(&windowClass);
    const HWND requester = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           windowClass.hInstance, nullptr);
    EXPECT_TRUE(run({[&](HWND window) {
        SendMessageA(requester, WM_APP, 0, 0);
        setItemText(currentPage(window), IDC_TITLE, "一枚目改");
        pressOk(window);
    }}));
    DestroyWindow(requester);
    EXPECT_EQ(secondAnswer, 0) << "-1: the second sheet never returned";
    EXPECT_EQ(page.title, "一枚目改");
    EXPECT_TRUE(samePage(other, otherBefore));
    EXPECT_EQ(editedPage, nullptr);
}
