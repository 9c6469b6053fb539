#include "sheets/GeneralPage.h"

#include "sheets/PageSettingsSheet.h"
#include "framework/Application.h"
#include "framework/ModalLoop.h"
#include "resources/resource.h"

#include <ctime>

namespace {
constexpr int kFormattedLength = 64;
}

GeneralPage::GeneralPage() : PropertyPage(0, IDD_PAGE_GENERAL, 0, nullptr) {}

bool GeneralPage::onInitDialog(HWND, LPARAM) {
    if (!editedPage) {
        return true;
    }
    setDialogItemText(IDC_TITLE, editedPage->title.c_str());
    checkDialogButton(IDC_READ_ONLY, editedPage->readOnly ? BST_CHECKED : BST_UNCHECKED);
    checkDialogButton(IDC_IME_AUTO_ON, editedPage->imeAutoOn ? BST_CHECKED : BST_UNCHECKED);
    setDialogItemText(IDC_UPDATE_TIME, formatUpdateTime(editedPage->updateTime).c_str());
    setDialogItemText(IDC_DATA_SIZE, formatDataSize(editedPage->text.size()).c_str());
    return true;
}

// A title of blanks is accepted: only an empty one would leave nothing to
// show in the page list.
bool GeneralPage::onKillActive() {
    std::string title;
    dialogItemText(IDC_TITLE, title);
    if (!title.empty()) {
        return false;
    }
    messageBox(hwnd, application().text(IDS_TITLE_REQUIRED), application().text(IDS_TITLE_REQUIRED_CAPTION),
               MB_ICONINFORMATION);
    SetFocus(GetDlgItem(hwnd, IDC_TITLE));
    return true;
}

bool GeneralPage::onApply() {
    if (!editedPage) {
        return false;
    }
    dialogItemText(IDC_TITLE, editedPage->title);
    editedPage->readOnly = IsDlgButtonChecked(hwnd, IDC_READ_ONLY) == BST_CHECKED;
    editedPage->imeAutoOn = IsDlgButtonChecked(hwnd, IDC_IME_AUTO_ON) == BST_CHECKED;
    return false;
}

std::string GeneralPage::formatUpdateTime(std::int32_t updateTime) {
    if (updateTime == -1) {
        return {};
    }
    const std::time_t time = updateTime;
    const std::tm* local = std::localtime(&time);
    if (!local) {
        return {};
    }
    char text[kFormattedLength];
    wsprintfA(text, application().text(IDS_UPDATE_TIME_FORMAT).c_str(), local->tm_year + 1900, local->tm_mon + 1,
              local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    return text;
}

std::string GeneralPage::formatDataSize(std::size_t bytes) {
    char text[kFormattedLength];
    wsprintfA(text, application().text(IDS_DATA_SIZE_FORMAT).c_str(), static_cast<unsigned long>(bytes));
    return text;
}
