#include "ModalWatchdog.h"

#include "app/Application.h"
#include "framework/DialogProcedure.h"
#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "resources/resource.h"
#include "support/Dialogs.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// The flags the program's sheets pass.
constexpr DWORD kProgramSheetFlags = PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
constexpr int kApplyNowButton = 0x3021;

// Writes every hook the sheet reaches into a log shared by the pages of one
// sheet, prefixed with the page's name, so the order across pages shows.
class LoggingPage : public PropertyPage {
public:
    LoggingPage(Log& sharedLog, std::string pageName, int templateId, const char* title = nullptr)
        : PropertyPage(title ? PSP_USETITLE : 0, templateId, 0, title), log(sharedLog), name(std::move(pageName)) {}

    bool onInitDialog(HWND focusControl, LPARAM initValue) override {
        note("init");
        initialWindow = hwnd;
        parentAtInit = GetParent(hwnd);
        boundAtInit = application().windowRegistry.find(hwnd) == this;
        initRecordMatches = reinterpret_cast<const PROPSHEETPAGEA_V2*>(initValue)->lParam == record().lParam;
        return PropertyPage::onInitDialog(focusControl, initValue);
    }
    LRESULT onNotify(int controlId, NMHDR* header) override {
        if (header->code == PSN_QUERYCANCEL) {
            note("queryCancel");
        }
        return PropertyPage::onNotify(controlId, header);
    }
    bool onKillActive() override {
        note("killActive");
        return refuseToLeave;
    }
    bool onSetActive() override {
        note("setActive");
        return acceptActivation;
    }
    bool onApply() override {
        note("apply");
        return reportInvalid;
    }
    void onReset() override { note("reset"); }
    void onHelpButton() override { note("help"); }

    bool refuseToLeave = false;
    bool acceptActivation = true;
    bool reportInvalid = false;
    HWND initialWindow = nullptr;
    HWND parentAtInit = nullptr;
    bool boundAtInit = false;
    bool initRecordMatches = false;

private:
    void note(const char* hook) { log.push_back(name + " " + hook); }

    Log& log;
    std::string name;
};

void pressSheetButton(HWND sheet, int button) {
    PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}
void selectTab(HWND sheet, int index) {
    PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// A sheet of the program's own templates, run with the program's flags while
// a script drives it.
class Sheet : public ::testing::Test {
protected:
    int run(std::vector<DialogScript::Step> steps, UINT startPage = 0) {
        DialogScript script(std::move(steps));
        const int result = sheet.run(kProgramSheetFlags, nullptr, IDI_APP, "Leafkeeper オプション", startPage);
        EXPECT_TRUE(script.wait());
        EXPECT_FALSE(watchdog.fired());
        return result;
    }

    ModalWatchdog watchdog;
    Log log;
    LoggingPage first{log, "A", IDD_PAGE_GENERAL};
    LoggingPage second{log, "B", IDD_OPTIONS_GENERAL};
    PropertySheet sheet;
};

} // namespace

// OK leaves the active page and applies; the tab never opened is never
// created, so it gets no onApply.
TEST_F(Sheet, OkAppliesOnlyTheCreatedPages) {
    sheet.addPage(&first);
    sheet.addPage(&second);
    HWND sheetWindow = nullptr;
    std::string caption;
    bool applyNowShown = true;

    const int result = run({[&](HWND window) {
        sheetWindow = window;
        caption = windowText(window);
        applyNowShown = IsWindowVisible(GetDlgItem(window, kApplyNowButton)) != FALSE;
        pressSheetButton(window, PSBTN_OK);
    }});

    EXPECT_GT(result, 0);
    const Log expected{"A init", "A setActive", "A killActive", "A apply"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(caption, "Leafkeeper オプション");
    EXPECT_FALSE(applyNowShown);
    EXPECT_TRUE(first.boundAtInit);
    EXPECT_TRUE(first.initRecordMatches);
    EXPECT_EQ(first.parentAtInit, sheetWindow);
    EXPECT_EQ(second.initialWindow, nullptr);
}

// Pages are unbound once PropertySheetA has destroyed them; the sheet itself
// never has a window of its own.
TEST_F(Sheet, SwitchingTabsCreatesThePageAndOkAppliesBoth) {
    sheet.addPage(&first);
    sheet.addPage(&second);
    const std::size_t entriesBefore = application().windowRegistry.size();

    const int result = run({[](HWND window) {
        selectTab(window, 1);
        clickButton(window, IDOK);
    }});

    EXPECT_GT(result, 0);
    EXPECT_TRUE(second.boundAtInit);
    EXPECT_EQ(application().windowRegistry.find(first.initialWindow), nullptr);
    EXPECT_EQ(application().windowRegistry.find(second.initialWindow), nullptr);
    EXPECT_EQ(application().windowRegistry.size(), entriesBefore);
    EXPECT_EQ(first.hwnd, nullptr);
    EXPECT_EQ(second.hwnd, nullptr);
    EXPECT_EQ(sheet.hwnd, nullptr);
    const Log expected{"A init",      "A setActive",  "A killActive", "B init",
                       "B setActive", "B killActive", "A apply",      "B apply"};
    EXPECT_EQ(log, expected);
}

// Cancel asks the active page (PSN_QUERYCANCEL, which the page leaves alone)
// and resets every created page; nothing is applied.
TEST_F(Sheet, CancelResetsTheCreatedPagesAndReturnsZero) {
    sheet.addPage(&first);
    sheet.addPage(&second);

    const int result = run({[](HWND window) {
        selectTab(window, 1);
        clickButton(window, IDCANCEL);
    }});

    EXPECT_EQ(result, 0);
    const Log expected{"A init",      "A setActive",   "A killActive", "B init",
                       "B setActive", "B queryCancel", "A reset",      "B reset"};
    EXPECT_EQ(log, expected);
}

// A page that refuses to be left keeps the sheet on it for OK and for a tab
// switch alike; its answer of 1 must not linger into PSN_QUERYCANCEL, or
// Cancel would be refused too.
TEST_F(Sheet, PageRefusingToBeLeftKeepsTheSheetOnIt) {
    first.refuseToLeave = true;
    sheet.addPage(&first);
    sheet.addPage(&second);

    const int result = run({[](HWND window) {
        pressSheetButton(window, PSBTN_OK);
        selectTab(window, 1);
        pressSheetButton(window, PSBTN_CANCEL);
    }});

    EXPECT_EQ(result, 0);
    const Log expected{"A init", "A setActive", "A killActive", "A killActive", "A queryCancel", "A reset"};
    EXPECT_EQ(log, expected);
}

// An apply error (PSNRET_INVALID) keeps the sheet open.
TEST_F(Sheet, ApplyErrorKeepsTheSheetOpen) {
    first.reportInvalid = true;
    sheet.addPage(&first);

    const int result = run({[](HWND window) {
        pressSheetButton(window, PSBTN_OK);
        pressSheetButton(window, PSBTN_CANCEL);
    }});

    EXPECT_EQ(result, 0);
    const Log expected{"A init", "A setActive", "A killActive", "A apply", "A queryCancel", "A reset"};
    EXPECT_EQ(log, expected);
}

// A page that refuses activation is skipped: the sheet moves on to the next.
TEST_F(Sheet, PageRefusingActivationIsSkipped) {
    LoggingPage third{log, "C", IDD_PAGE_GENERAL};
    second.acceptActivation = false;
    sheet.addPage(&first);
    sheet.addPage(&second);
    sheet.addPage(&third);

    const int result = run({[](HWND window) {
        selectTab(window, 1);
        pressSheetButton(window, PSBTN_OK);
    }});

    EXPECT_GT(result, 0);
    const Log expected{"A init",      "A setActive",  "A killActive", "B init",  "B setActive", "C init",
                       "C setActive", "C killActive", "A apply",      "B apply", "C apply"};
    EXPECT_EQ(log, expected);
}

TEST_F(Sheet, StartPageAndTitleReachTheSheet) {
    LoggingPage titled{log, "T", IDD_PAGE_GENERAL, "メモ帳"};
    sheet.addPage(&first);
    sheet.addPage(&titled);
    std::string secondTab;

    run({[&](HWND window) {
            const HWND tabs = FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr);
            char text[64] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
            secondTab = text;
            pressSheetButton(window, PSBTN_CANCEL);
        }},
        1);

    EXPECT_EQ(secondTab, "メモ帳");
    const Log expected{"T init", "T setActive", "T queryCancel", "T reset"};
    EXPECT_EQ(log, expected);
}

// Wine shows a sheet without pages that neither OK, Cancel, Esc nor the close
// box can end, so an empty sheet fails at once instead of being shown.
TEST_F(Sheet, SheetWithoutPagesFailsWithoutShowingAnything) {
    const std::size_t entriesBefore = application().windowRegistry.size();

    EXPECT_EQ(sheet.run(kProgramSheetFlags, nullptr, IDI_APP, "Leafkeeper オプション", 0), -1);

    EXPECT_FALSE(watchdog.fired());
    EXPECT_EQ(findDialog(GetCurrentProcessId()), nullptr);
    EXPECT_EQ(application().windowRegistry.size(), entriesBefore);
}

namespace {

// A page created without a sheet, so that its answers to the sheet's
// notifications can be read back as SendMessageA results (the dialog
// manager returns the stored DWL_MSGRESULT).
class LoosePage : public ::testing::Test {
protected:
    void SetUp() override {
        // The page templates are child templates; a plain window stands in for the sheet.
        parent = CreateWindowExA(0, "STATIC", "sheet", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                 application().instance, nullptr);
        ASSERT_NE(parent, nullptr);
        ASSERT_NE(CreateDialogParamA(application().instance, MAKEINTRESOURCEA(IDD_PAGE_GENERAL), parent, pageProcedure,
                                     reinterpret_cast<LPARAM>(&page.record())),
                  nullptr);
        ASSERT_NE(page.hwnd, nullptr);
        log.clear();
    }
    void TearDown() override {
        if (page.hwnd) {
            DestroyWindow(page.hwnd);
        }
        DestroyWindow(parent);
    }

    LRESULT notify(UINT code) {
        NMHDR header{nullptr, 0, code};
        return SendMessageA(page.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }

    HWND parent = nullptr;
    Log log;
    LoggingPage page{log, "P", IDD_PAGE_GENERAL};
};

struct NotificationRow {
    UINT code;
    bool answer;
    LRESULT expectedResult;
    const char* expectedHook;
};

} // namespace

// Each notification reaches its hook and the hook's answer is what the sheet
// reads. Rows with nothing to store follow a row that stored 1, so a stale
// answer would show.
TEST_F(LoosePage, NotificationsMapToHooksAndStoredAnswers) {
    const NotificationRow rows[] = {
        {PSN_SETACTIVE, true, 0, "P setActive"},
        {PSN_SETACTIVE, false, -1, "P setActive"},
        {PSN_KILLACTIVE, true, 1, "P killActive"},
        {PSN_RESET, false, 0, "P reset"},
        {PSN_KILLACTIVE, false, 0, "P killActive"},
        {PSN_APPLY, true, PSNRET_INVALID, "P apply"},
        {PSN_HELP, false, 0, "P help"},
        {PSN_APPLY, false, PSNRET_NOERROR, "P apply"},
        {PSN_KILLACTIVE, true, 1, "P killActive"},
        {PSN_QUERYCANCEL, false, 0, "P queryCancel"},
        {PSN_KILLACTIVE, true, 1, "P killActive"},
        {PSN_WIZNEXT, false, 0, nullptr},
        {static_cast<UINT>(NM_CLICK), false, 0, nullptr},
    };
    for (const NotificationRow& row : rows) {
        page.acceptActivation = row.answer;
        page.refuseToLeave = row.answer;
        page.reportInvalid = row.answer;
        log.clear();

        EXPECT_EQ(notify(row.code), row.expectedResult) << "code " << static_cast<int>(row.code);
        const Log expected = row.expectedHook ? Log{row.expectedHook} : Log{};
        EXPECT_EQ(log, expected) << "code " << static_cast<int>(row.code);
    }
}
