#include "sheets/OptionsPage.h"

#include "book/Book.h"
#include "book/BookFile.h"
#include "sheets/Settings.h"
#include "framework/Application.h"
#include "framework/ComboBox.h"
#include "framework/ModalLoop.h"
#include "resources/resource.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

const Book* optionsOwner = nullptr;

namespace {

// The pairs of the file type list: the string table ends each part with
// '|', the chooser with a zero byte, and the list with an empty part.
std::string bookFileFilter() {
    std::string filter = application().text(IDS_BOOK_FILE_FILTER);
    std::replace(filter.begin(), filter.end(), '|', '\0');
    return filter + '\0';
}
constexpr DWORD kPathBufferSize = 260;

// The start-up radio button for a "Begin Page" value. Values below -2 come
// only from an edited INI file and have no button of their own: they show as
// the page list, which is what the book window does with them.
int startupButton(int beginPage) {
    if (beginPage == Settings::kBeginWithLastPage) {
        return IDC_BEGIN_LAST_PAGE;
    }
    if (beginPage >= 0) {
        return IDC_BEGIN_CHOSEN_PAGE;
    }
    return IDC_BEGIN_PAGE_LIST;
}

} // namespace

OptionsPage::OptionsPage() : PropertyPage(0, IDD_OPTIONS_GENERAL, 0, nullptr) {}

void OptionsPage::onCommand(UINT notificationCode, UINT id, HWND) {
    if (notificationCode != BN_CLICKED) {
        return;
    }
    switch (id) {
    case IDC_CHANGE_FILE:
        chooseBookFile();
        break;
    case IDC_BEGIN_LAST_PAGE:
    case IDC_BEGIN_PAGE_LIST:
    case IDC_BEGIN_CHOSEN_PAGE:
        enablePageChoice();
        break;
    default:
        break;
    }
}

bool OptionsPage::onInitDialog(HWND, LPARAM) {
    if (!activeSettings) {
        return true;
    }
    const Settings& settings = *activeSettings;
    setDialogItemText(IDC_BOOK_FILE, settings.bookFile.c_str());
    checkDialogButton(IDC_BEGIN_HIDE, settings.beginHide ? BST_CHECKED : BST_UNCHECKED);
    checkDialogButton(IDC_CLOSE_END, settings.closeEnd ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(hwnd, IDC_BEGIN_LAST_PAGE, IDC_BEGIN_CHOSEN_PAGE, startupButton(settings.beginPage));
    fillPageChoice(settings.beginPage);
    enablePageChoice();
    return true;
}

bool OptionsPage::onApply() {
    if (!activeSettings) {
        return false;
    }
    Settings& settings = *activeSettings;
    dialogItemText(IDC_BOOK_FILE, settings.bookFile);
    settings.beginHide = IsDlgButtonChecked(hwnd, IDC_BEGIN_HIDE) == BST_CHECKED;
    settings.closeEnd = IsDlgButtonChecked(hwnd, IDC_CLOSE_END) == BST_CHECKED;
    const int checked = firstCheckedButton(IDC_BEGIN_LAST_PAGE, IDC_BEGIN_CHOSEN_PAGE);
    if (checked == IDC_BEGIN_CHOSEN_PAGE) {
        // CB_ERR (-1) without a selection, which is the page list.
        settings.beginPage = ComboBox(GetDlgItem(hwnd, IDC_BEGIN_PAGE_CHOICE)).selection();
    } else if (checked == IDC_BEGIN_LAST_PAGE) {
        settings.beginPage = Settings::kBeginWithLastPage;
    } else {
        settings.beginPage = Settings::kBeginWithPageList;
    }
    return false;
}

// The save dialog, so that a new file name can be typed; the current path
// is not offered.
void OptionsPage::chooseBookFile() const {
    char path[kPathBufferSize] = {};
    char title[kPathBufferSize] = {};
    const std::string filter = bookFileFilter();
    const std::string chooserTitle = application().text(IDS_BOOK_FILE_CHOOSER_TITLE);
    OPENFILENAMEA request{};
    // The size without the Windows 2000 members, which every version accepts.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = hwnd;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = kPathBufferSize;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = kPathBufferSize;
    request.lpstrTitle = chooserTitle.c_str();
    request.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetSaveFileNameA(&request) != TRUE) {
        return;
    }
    if (!isBookFileAcceptable(path)) {
        messageBox(hwnd, application().text(IDS_INVALID_BOOK_CHOSEN), MB_ICONERROR);
        return;
    }
    setDialogItemText(IDC_BOOK_FILE, path);
}

// Titles are inserted at the end rather than added: the combo box sorts what
// is added, and entry i must be page i.
void OptionsPage::fillPageChoice(int beginPage) const {
    const ComboBox choice(GetDlgItem(hwnd, IDC_BEGIN_PAGE_CHOICE));
    if (optionsOwner) {
        for (unsigned index = 0; index < optionsOwner->count(); ++index) {
            choice.insert(-1, optionsOwner->at(index)->title);
        }
    }
    const int count = choice.count();
    if (count <= 0) {
        return;
    }
    choice.select(beginPage >= 0 && beginPage < count ? beginPage : 0);
}

void OptionsPage::enablePageChoice() const {
    EnableWindow(GetDlgItem(hwnd, IDC_BEGIN_PAGE_CHOICE),
                 IsDlgButtonChecked(hwnd, IDC_BEGIN_CHOSEN_PAGE) == BST_CHECKED);
}
