#include "sheets/PageSettingsSheet.h"

#include "framework/Application.h"
#include "resources/resource.h"

#include <commctrl.h>

Page* editedPage = nullptr;

namespace {

// The sheet whose run is under way, so that a second request can bring it
// forward. Set and cleared together with editedPage.
const PageSettingsSheet* runningSheet = nullptr;

constexpr DWORD kSheetFlags = PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;

// Clears the process-wide values on every way out of the run.
class RunningSheetScope {
public:
    RunningSheetScope(const PageSettingsSheet& sheet, Page& page) {
        runningSheet = &sheet;
        editedPage = &page;
    }
    RunningSheetScope(const RunningSheetScope&) = delete;
    RunningSheetScope& operator=(const RunningSheetScope&) = delete;
    ~RunningSheetScope() {
        runningSheet = nullptr;
        editedPage = nullptr;
    }
};

void bringForward(const PageSettingsSheet& sheet) {
    // The General tab is the start page, so its window exists while the
    // sheet is open; the sheet is its parent.
    if (const HWND window = sheet.generalPage.handle() ? GetParent(sheet.generalPage.handle()) : nullptr) {
        SetForegroundWindow(window);
    }
}

} // namespace

bool PageSettingsSheet::edit(Page& target, HWND parent) {
    PageSettingsSheet sheet;
    // PropertySheetA's -1 is a failure to show the sheet, not a confirmation.
    return sheet.run(parent, target) > 0;
}

PageSettingsSheet::PageSettingsSheet() {
    addPage(&generalPage);
    addPage(&formatPage);
}

int PageSettingsSheet::run(HWND parent, Page& target) {
    if (runningSheet) {
        bringForward(*runningSheet);
        return 0;
    }
    page = &target;
    const RunningSheetScope scope(*this, target);
    const std::string text = caption(target);
    return PropertySheet::run(kSheetFlags, parent, IDI_APP, text.c_str(), 0);
}

std::string PageSettingsSheet::caption(const Page& target) {
    if (target.title.empty()) {
        return application().text(IDS_NEW_PAGE_SETTINGS);
    }
    return application().text(IDS_PAGE_SETTINGS, {target.title});
}
