#include "PageSheetDriver.h"

#include "book/Page.h"
#include "book/PageSettingsSheet.h"
#include "resources/resource.h"
#include "support/Dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

using namespace pagesheet;

namespace {

constexpr const char* kEmptyTitleMessage = "ページタイトルを入力してください。";

// Every field of the page, so that a comparison names what changed.
void expectSamePage(const Page& actual, const Page& expected) {
    EXPECT_EQ(actual.updateTime, expected.updateTime);
    EXPECT_EQ(actual.readOnly, expected.readOnly);
    EXPECT_EQ(actual.imeAutoOn, expected.imeAutoOn);
    EXPECT_EQ(actual.floating, expected.floating);
    EXPECT_EQ(actual.alwaysOnTop, expected.alwaysOnTop);
    EXPECT_EQ(actual.fixedSize, expected.fixedSize);
    EXPECT_EQ(actual.showTitle, expected.showTitle);
    EXPECT_EQ(actual.title, expected.title);
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.format.frameColor, expected.format.frameColor);
    EXPECT_EQ(actual.format.frameStyle, expected.format.frameStyle);
    EXPECT_TRUE(actual.format.titleFormat == expected.format.titleFormat);
    EXPECT_TRUE(actual.format.editorFormat == expected.format.editorFormat);
    EXPECT_EQ(actual.selectionStart, expected.selectionStart);
    EXPECT_EQ(actual.selectionEnd, expected.selectionEnd);
    EXPECT_TRUE(actual.floatingRect == expected.floatingRect);
}

std::int32_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int32_t>(std::mktime(&local));
}

// What a message box showed, read while it is open.
struct BoxSeen {
    std::string caption;
    std::string text;
};

// Reads and answers the box, then goes on with `then` once it has gone.
DialogScript::Step answerMessageBox(BoxSeen& seen, std::function<void()> then) {
    return [&seen, then](HWND box) {
        seen.caption = windowText(box);
        seen.text = messageBoxText(box);
        clickButton(box, IDOK);
        waitUntilGone(box);
        then();
    };
}

class PageSettings : public ::testing::Test {
protected:
    bool run(std::vector<DialogScript::Step> steps, HWND parent = nullptr) {
        DialogScript script(std::move(steps));
        const bool confirmed = page.editSettings(parent);
        EXPECT_TRUE(script.wait()) << "steps run: " << script.stepsRun();
        EXPECT_FALSE(watchdog.fired());
        return confirmed;
    }

    SheetWatchdog watchdog;
    Page page;
};

} // namespace

TEST_F(PageSettings, NewPageRefusesOkUntilItHasATitle) {
    HWND sheet = nullptr;
    std::string caption, title, updateTime, dataSize;
    bool readOnly = true, imeAutoOn = true;
    BoxSeen box;
    bool sheetStayed = false, generalStayed = false, focusOnTitle = false;

    const bool confirmed = run({
        [&](HWND window) {
            sheet = window;
            caption = windowText(window);
            const HWND general = currentPage(window);
            title = itemText(general, IDC_TITLE);
            updateTime = itemText(general, IDC_UPDATE_TIME);
            dataSize = itemText(general, IDC_DATA_SIZE);
            readOnly = isChecked(general, IDC_READ_ONLY);
            imeAutoOn = isChecked(general, IDC_IME_AUTO_ON);
            pressOk(window);
        },
        answerMessageBox(box,
                         [&] {
                             // The sheet must still be there, on its first tab.
                             const HWND general = currentPage(sheet);
                             sheetStayed = IsWindowVisible(sheet) != FALSE;
                             generalStayed = general && GetDlgItem(general, IDC_TITLE);
                             focusOnTitle = general && focusOfThread(sheet) == GetDlgItem(general, IDC_TITLE);
                             setItemText(general, IDC_TITLE, "買い物");
                             pressOk(sheet);
                         }),
    });

    EXPECT_EQ(caption, "新規ページの設定");
    EXPECT_EQ(title, "");
    EXPECT_EQ(updateTime, "");
    EXPECT_EQ(dataSize, "0 バイト");
    EXPECT_FALSE(readOnly);
    EXPECT_FALSE(imeAutoOn);
    EXPECT_EQ(box.caption, "Leafjotter");
    EXPECT_EQ(box.text, kEmptyTitleMessage);
    EXPECT_TRUE(sheetStayed);
    EXPECT_TRUE(generalStayed);
    EXPECT_TRUE(focusOnTitle);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(page.title, "買い物");
}

// Only an empty title is refused: blanks are a title.
TEST_F(PageSettings, LeavingTheGeneralTabWithAnEmptyTitleIsRefused) {
    HWND sheet = nullptr;
    BoxSeen box;
    bool stayedOnGeneral = false;
    bool blanksAccepted = false;
    const Page before = page;

    const bool confirmed = run({
        [&](HWND window) {
            sheet = window;
            PostMessageA(window, PSM_SETCURSEL, 1, 0);
        },
        answerMessageBox(box,
                         [&] {
                             const HWND general = currentPage(sheet);
                             stayedOnGeneral =
                                 general && GetDlgItem(general, IDC_TITLE) && !GetDlgItem(general, IDC_FACE);
                             setItemText(general, IDC_TITLE, "  ");
                             blanksAccepted = showTab(sheet, 1, IDC_FACE) != nullptr;
                             pressCancel(sheet);
                         }),
    });

    EXPECT_EQ(box.caption, "Leafjotter");
    EXPECT_EQ(box.text, kEmptyTitleMessage);
    EXPECT_TRUE(stayedOnGeneral);
    EXPECT_TRUE(blanksAccepted);
    EXPECT_FALSE(confirmed);
    expectSamePage(page, before);
}

TEST_F(PageSettings, GeneralTabShowsThePageAndOkStoresTitleAndFlags) {
    page.title = "予定";
    page.readOnly = true;
    page.text = std::string(1234, 'x');
    page.updateTime = localTime(2003, 1, 1, 9, 5, 7);
    const Page before = page;
    std::string caption, title, updateTime, dataSize;
    bool readOnly = false, imeAutoOn = true;

    const bool confirmed = run({[&](HWND sheet) {
        caption = windowText(sheet);
        const HWND general = currentPage(sheet);
        title = itemText(general, IDC_TITLE);
        updateTime = itemText(general, IDC_UPDATE_TIME);
        dataSize = itemText(general, IDC_DATA_SIZE);
        readOnly = isChecked(general, IDC_READ_ONLY);
        imeAutoOn = isChecked(general, IDC_IME_AUTO_ON);
        setItemText(general, IDC_TITLE, "予定表");
        setCheck(general, IDC_READ_ONLY, false);
        setCheck(general, IDC_IME_AUTO_ON, true);
        pressOk(sheet);
    }});

    EXPECT_EQ(caption, "「予定」ページの設定");
    EXPECT_EQ(title, "予定");
    EXPECT_EQ(updateTime, "2003年1月1日 9時5分7秒");
    EXPECT_EQ(dataSize, "1234 バイト");
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(imeAutoOn);
    EXPECT_TRUE(confirmed);

    Page expected = before;
    expected.title = "予定表";
    expected.readOnly = false;
    expected.imeAutoOn = true;
    // The update time belongs to the text; the Format tab was never opened.
    expectSamePage(page, expected);
}

TEST_F(PageSettings, CancelAfterChangesOnBothTabsLeavesThePageUnchanged) {
    page.title = "メモ";
    page.text = "本文";
    page.updateTime = 1000000000;
    page.imeAutoOn = true;
    page.format.frameColor = RGB(1, 2, 3);
    page.format.editorFormat.fontFace = "IPA明朝";
    page.format.editorFormat.fontSize = 12;
    page.format.titleFormat.textColor = RGB(9, 8, 7);
    page.floatingRect = {20, 30, 200, 300};
    page.selectionStart = 2;
    page.selectionEnd = 4;
    const Page before = page;
    HWND sheet = nullptr;
    HWND format = nullptr;
    bool editsMade = false;

    const bool confirmed = run({
        [&](HWND window) {
            sheet = window;
            const HWND general = currentPage(window);
            setItemText(general, IDC_TITLE, "別の名前");
            setCheck(general, IDC_READ_ONLY, true);
            setCheck(general, IDC_IME_AUTO_ON, false);
            format = showTab(window, 1, IDC_FACE);
            if (!format) {
                return;
            }
            editsMade = chooseComboText(format, IDC_FACE, "Tahoma");
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
        },
    });

    EXPECT_TRUE(editsMade);
    EXPECT_FALSE(confirmed);
    expectSamePage(page, before);
}

namespace {

// A window of the test thread that opens a second sheet from inside the
// first one's modal loop, as a floating page's menu could.
struct SecondRequest {
    Page* page = nullptr;
    bool answered = false;
    bool confirmed = true;
};
SecondRequest* secondRequest = nullptr;

LRESULT CALLBACK secondSheetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP && secondRequest) {
        secondRequest->confirmed = secondRequest->page->editSettings(window);
        secondRequest->answered = true;
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
    SecondRequest request{&other};
    secondRequest = &request;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = secondSheetProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LkSecondSheetProbe";
    RegisterClassA(&windowClass);
    const HWND requester = CreateWindowExA(0, "LkSecondSheetProbe", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
    bool secondAnswered = false;

    const bool confirmed = run({[&](HWND sheet) {
        SendMessageA(requester, WM_APP, 0, 0);
        secondAnswered = request.answered;
        setItemText(currentPage(sheet), IDC_TITLE, "一枚目改");
        pressOk(sheet);
    }});

    DestroyWindow(requester);
    secondRequest = nullptr;
    EXPECT_TRUE(secondAnswered);
    EXPECT_FALSE(request.confirmed);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(page.title, "一枚目改");
    expectSamePage(other, otherBefore);
    EXPECT_EQ(editedPage, nullptr);
}
