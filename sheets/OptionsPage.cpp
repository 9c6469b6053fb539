#include "sheets/OptionsPage.h"

#include "book/Book.h"
#include "book/BookFile.h"
#include "sheets/Settings.h"
#include "framework/ModalLoop.h"
#include "resources/resource.h"

#include <commdlg.h>

#include <string>

const Book* optionsOwner = nullptr;

namespace {

// The pairs of the file type list, ended by an empty string; the literal's
// own terminator is the last zero.
constexpr char kBookFileFilter[] = "ブックファイル(*.bok)\0*.bok\0すべてのﾌｧｲﾙ (*.*)\0*.*\0";
constexpr const char* kChooserTitle = "ブックファイルの選択";
constexpr const char* kInvalidFileMessage =
    "不正なブックファイルです。新規ファイルまたは正しいブックファイルを指定してください。";
constexpr const char* kMessageCaption = "Leafkeeper";
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
        settings.beginPage = static_cast<int>(SendDlgItemMessageA(hwnd, IDC_BEGIN_PAGE_CHOICE, CB_GETCURSEL, 0, 0));
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
    OPENFILENAMEA request{};
    // The size without the Windows 2000 members, which every version accepts.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = hwnd;
    request.lpstrFilter = kBookFileFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = kPathBufferSize;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = kPathBufferSize;
    request.lpstrTitle = kChooserTitle;
    request.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetSaveFileNameA(&request) != TRUE) {
        return;
    }
    if (!isBookFileAcceptable(path)) {
        messageBox(hwnd, kInvalidFileMessage, kMessageCaption, MB_ICONERROR);
        return;
    }
    setDialogItemText(IDC_BOOK_FILE, path);
}

// Titles are inserted at the end rather than added: the combo box sorts what
// is added, and entry i must be page i.
void OptionsPage::fillPageChoice(int beginPage) const {
    const HWND choice = GetDlgItem(hwnd, IDC_BEGIN_PAGE_CHOICE);
    if (optionsOwner) {
        for (unsigned index = 0; index < optionsOwner->count(); ++index) {
            SendMessageA(choice, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(optionsOwner->at(index)->title.c_str()));
        }
    }
    const int count = static_cast<int>(SendMessageA(choice, CB_GETCOUNT, 0, 0));
    if (count <= 0) {
        return;
    }
    const int selection = beginPage >= 0 && beginPage < count ? beginPage : 0;
    SendMessageA(choice, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

void OptionsPage::enablePageChoice() const {
    EnableWindow(GetDlgItem(hwnd, IDC_BEGIN_PAGE_CHOICE),
                 IsDlgButtonChecked(hwnd, IDC_BEGIN_CHOSEN_PAGE) == BST_CHECKED);
}
