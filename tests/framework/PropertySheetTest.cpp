#include "app/Application.h"
#include "framework/DialogProcedure.h"
#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/SheetDriver.h"

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

// A sheet of the program's own templates, run with the program's flags while
// a script drives it: pages A and B and a titled page C.
struct Sheet {
    Log log;
    LoggingPage first{log, "A", IDD_PAGE_GENERAL};
    LoggingPage second{log, "B", IDD_OPTIONS_GENERAL};
    LoggingPage third{log, "C", IDD_PAGE_GENERAL, "メモ帳"};
    PropertySheet sheet;

    int run(std::vector<DialogScript::Step> steps, UINT startPage = 0) {
        for (LoggingPage* page : {&first, &second, &third}) {
            sheet.addPage(page);
        }
        return runScripted(
            [&] { return sheet.run(kProgramSheetFlags, nullptr, IDI_APP, "Leafkeeper オプション", startPage); },
            std::move(steps));
    }
};

} // namespace

// OK leaves the active page and applies; the tabs never opened are never
// created, so they get no onApply.
TEST(PropertySheet, OkAppliesOnlyTheCreatedPages) {
    Sheet sheet;
    HWND sheetWindow = nullptr;
    std::string caption, thirdTab;
    bool applyNowShown = true;
    EXPECT_GT(sheet.run({[&](HWND window) {
                  sheetWindow = window;
                  caption = windowText(window);
                  thirdTab = tabText(window, 2);
                  applyNowShown = IsWindowVisible(GetDlgItem(window, kApplyNowButton)) != FALSE;
                  pressOk(window);
              }}),
              0);
    EXPECT_EQ(sheet.log, (Log{"A init", "A setActive", "A killActive", "A apply"}));
    EXPECT_EQ(caption, "Leafkeeper オプション");
    EXPECT_EQ(thirdTab, "メモ帳");
    EXPECT_FALSE(applyNowShown);
    EXPECT_TRUE(sheet.first.boundAtInit);
    EXPECT_TRUE(sheet.first.initRecordMatches);
    EXPECT_EQ(sheet.first.parentAtInit, sheetWindow);
    EXPECT_EQ(sheet.second.initialWindow, nullptr);
}

// What each page hears, in order, for a user's way through the sheet. A page
// that refuses to be left keeps the sheet on it for OK and for a tab switch
// alike, and its answer must not linger into PSN_QUERYCANCEL (Cancel would be
// refused too); an apply error keeps the sheet open; a page that refuses
// activation is skipped. Pages are unbound once PropertySheetA has destroyed
// them, and the sheet itself never has a window of its own.
TEST(PropertySheet, EachWayThroughTheSheetReachesThePagesInOrder) {
    // The script's keys: t selects tab 1, o and c press the sheet's OK and
    // Cancel, O and C click the buttons. The twist: page A refuses to be
    // left (l) or reports an apply error (a), or page B refuses activation (b).
    const struct {
        const char* keys;
        char twist;
        UINT startPage;
        bool confirmed;
        Log expected;
    } flows[] = {
        {"tO", 0, 0, true,
         {"A init", "A setActive", "A killActive", "B init", "B setActive", "B killActive", "A apply", "B apply"}},
        {"tC", 0, 0, false,
         {"A init", "A setActive", "A killActive", "B init", "B setActive", "B queryCancel", "A reset", "B reset"}},
        {"otc", 'l', 0, false, {"A init", "A setActive", "A killActive", "A killActive", "A queryCancel", "A reset"}},
        {"oc", 'a', 0, false, {"A init", "A setActive", "A killActive", "A apply", "A queryCancel", "A reset"}},
        {"to", 'b', 0, true,
         {"A init", "A setActive", "A killActive", "B init", "B setActive", "C init", "C setActive", "C killActive",
          "A apply", "B apply", "C apply"}},
        {"c", 0, 2, false, {"C init", "C setActive", "C queryCancel", "C reset"}},
    };
    const std::size_t entriesBefore = application().windowRegistry.size();
    for (const auto& flow : flows) {
        SCOPED_TRACE(flow.keys);
        Sheet sheet;
        sheet.first.refuseToLeave = flow.twist == 'l';
        sheet.first.reportInvalid = flow.twist == 'a';
        sheet.second.acceptActivation = flow.twist != 'b';
        const std::string keys = flow.keys;
        const int result = sheet.run({[keys](HWND window) {
                                         for (char key : keys) {
                                             if (key == 't') {
                                                 PostMessageA(window, PSM_SETCURSEL, 1, 0);
                                             } else if (key == 'o' || key == 'c') {
                                                 key == 'o' ? pressOk(window) : pressCancel(window);
                                             } else {
                                                 clickButton(window, key == 'O' ? IDOK : IDCANCEL);
                                             }
                                         }
                                     }},
                                     flow.startPage);
        EXPECT_EQ(result > 0, flow.confirmed);
        EXPECT_EQ(sheet.log, flow.expected);
        EXPECT_EQ(application().windowRegistry.find(sheet.first.initialWindow), nullptr);
        EXPECT_EQ(sheet.first.hwnd, nullptr);
        EXPECT_EQ(sheet.sheet.hwnd, nullptr);
    }
    EXPECT_EQ(application().windowRegistry.size(), entriesBefore);
}

// Wine shows a sheet without pages that neither OK, Cancel, Esc nor the close
// box can end, so an empty sheet fails at once instead of being shown.
TEST(PropertySheet, ASheetWithoutPagesFailsWithoutShowingAnything) {
    const std::size_t entriesBefore = application().windowRegistry.size();
    PropertySheet sheet;
    EXPECT_EQ(sheet.run(kProgramSheetFlags, nullptr, IDI_APP, "Leafkeeper オプション", 0), -1);
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
