#include "framework/Application.h"
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

// Writes the hooks the sheet reaches into a log shared by the pages of one
// sheet, prefixed with the page's name, so the order across pages shows.
class LoggingPage : public PropertyPage {
public:
    LoggingPage(Log& sharedLog, const char* pageName)
        : PropertyPage(0, IDD_PAGE_GENERAL, 0, nullptr), log(sharedLog), name(pageName) {}

    bool onSetActive() override { return note(" set", acceptActivation); }
    bool onKillActive() override { return note(" kill", refuseToLeave); }
    bool onApply() override { return note(" apply", reportInvalid); }
    void onReset() override { note(" reset", false); }

    bool acceptActivation = true, refuseToLeave = false, reportInvalid = false;

private:
    bool note(const char* hook, bool answer) {
        log.push_back(name + hook);
        return answer;
    }

    Log& log;
    std::string name;
};

} // namespace

// What each page hears, in order, on a user's way through a sheet of three
// pages. A page that refuses to be left keeps the sheet on it for OK and for
// a tab switch alike, and its answer must not linger into PSN_QUERYCANCEL
// (Cancel would be refused too); an apply error keeps the sheet open; a page
// that refuses activation is skipped; a page never shown gets no PSN_APPLY.
// Pages are unbound once PropertySheetA has destroyed them.
TEST(PropertySheet, EachWayThroughTheSheetReachesThePagesInOrder) {
    // The script's keys: t selects tab 1, o and c press the sheet's OK and
    // Cancel. The twist: page A refuses to be left (l) or reports an apply
    // error (a), or page B refuses activation (b).
    const struct {
        const char* keys;
        char twist;
        UINT startPage;
        bool confirmed;
        Log expected;
    } flows[] = {
        {"to", 0, 0, true, {"A set", "A kill", "B set", "B kill", "A apply", "B apply"}},
        {"tc", 0, 0, false, {"A set", "A kill", "B set", "A reset", "B reset"}},
        {"otc", 'l', 0, false, {"A set", "A kill", "A kill", "A reset"}},
        {"oc", 'a', 0, false, {"A set", "A kill", "A apply", "A reset"}},
        {"to", 'b', 0, true, {"A set", "A kill", "B set", "C set", "C kill", "A apply", "B apply", "C apply"}},
        {"c", 0, 2, false, {"C set", "C reset"}},
    };
    const std::size_t entriesBefore = application().windowRegistry.size();
    for (const auto& flow : flows) {
        SCOPED_TRACE(flow.keys);
        Log log;
        LoggingPage first{log, "A"}, second{log, "B"}, third{log, "C"};
        first.refuseToLeave = flow.twist == 'l';
        first.reportInvalid = flow.twist == 'a';
        second.acceptActivation = flow.twist != 'b';
        PropertySheet sheet;
        for (LoggingPage* page : {&first, &second, &third}) {
            sheet.addPage(page);
        }
        const int result =
            runScripted([&] { return sheet.run(PSH_NOAPPLYNOW, nullptr, IDI_APP, "Leafkeeper", flow.startPage); },
                        {[&flow](HWND window) {
                            for (char key : std::string(flow.keys)) {
                                if (key == 't') {
                                    PostMessageA(window, PSM_SETCURSEL, 1, 0);
                                } else {
                                    key == 'o' ? pressOk(window) : pressCancel(window);
                                }
                            }
                        }});
        EXPECT_EQ(result > 0, flow.confirmed);
        EXPECT_EQ(log, flow.expected);
        EXPECT_EQ(first.handle(), nullptr);
        EXPECT_EQ(application().windowRegistry.size(), entriesBefore);
    }
    // Wine shows a sheet without pages that neither OK, Cancel, Esc nor the
    // close box can end, so an empty sheet fails at once instead.
    PropertySheet empty;
    EXPECT_EQ(runScripted([&] { return empty.run(PSH_NOAPPLYNOW, nullptr, IDI_APP, "Leafkeeper", 0); }, {}), -1);
}

// A page made without a sheet, so that its answers to the sheet's
// notifications read back as SendMessageA results (the dialog manager
// returns the stored DWL_MSGRESULT): 0 shows the page and -1 skips it, where
// any other value would name a page to show instead. Notifications that store
// nothing follow one that stored 1, so a stale answer would show.
TEST(PropertyPage, AnswersTheSheetThroughTheStoredResult) {
    // The page templates are child templates; a plain window stands in for the sheet.
    const HWND parent = CreateWindowExA(0, "STATIC", "sheet", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                        application().instance, nullptr);
    Log log;
    LoggingPage page{log, "P"};
    ASSERT_NE(CreateDialogParamA(application().instance, MAKEINTRESOURCEA(IDD_PAGE_GENERAL), parent, pageProcedure,
                                 reinterpret_cast<LPARAM>(&page.record())),
              nullptr);
    const auto answer = [&page](UINT code, bool value) {
        page.acceptActivation = page.refuseToLeave = page.reportInvalid = value;
        NMHDR header{nullptr, 0, code};
        return SendMessageA(page.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    };
    const std::vector<LRESULT> answers{
        answer(PSN_SETACTIVE, true),  answer(PSN_SETACTIVE, false),  answer(PSN_KILLACTIVE, true),
        answer(PSN_RESET, false),     answer(PSN_KILLACTIVE, false), answer(PSN_APPLY, true),
        answer(PSN_APPLY, false),     answer(PSN_KILLACTIVE, true),  answer(PSN_QUERYCANCEL, false),
        answer(PSN_KILLACTIVE, true), answer(PSN_WIZNEXT, false),    answer(static_cast<UINT>(NM_CLICK), false)};
    EXPECT_EQ(answers, std::vector<LRESULT>({0, -1, 1, 0, 0, PSNRET_INVALID, PSNRET_NOERROR, 1, 0, 1, 0, 0}));
    DestroyWindow(parent);
}
