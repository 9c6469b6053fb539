#include "app/Application.h"
#include "framework/DialogProcedure.h"
#include "framework/DialogWindow.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::string commandEntry(UINT code, UINT id) {
    return "command " + std::to_string(id) + " " + std::to_string(code);
}

// Records the hooks that the dialog dispatch reaches; ends the dialog on OK.
// Everything it records happens on the test thread, inside the modal loop.
class RecordingDialog : public DialogWindow {
public:
    bool onInitDialog(HWND, LPARAM) override {
        initialWindow = hwnd;
        boundAtInit = application().windowRegistry.find(hwnd) == this;
        return false;
    }
    void onCommand(UINT notificationCode, UINT id, HWND control) override {
        log.push_back(commandEntry(notificationCode, id));
        DialogWindow::onCommand(notificationCode, id, control);
    }
    void onDestroy() override {
        log.push_back("destroy");
        DialogWindow::onDestroy();
    }
    void onSetFocus(HWND losingFocus) override {
        log.push_back("setFocus");
        DialogWindow::onSetFocus(losingFocus);
    }
    void onShowWindow(bool shown, UINT status) override {
        log.push_back(shown ? "show" : "hide");
        DialogWindow::onShowWindow(shown, status);
    }
    void onDrawItem(DRAWITEMSTRUCT* item) override { log.push_back("drawItem " + std::to_string(item->CtlID)); }
    void onHelp(HELPINFO*) override { log.push_back("help"); }
    void onTimer(UINT_PTR, LPARAM) override { log.push_back("timer"); }
    void onPaint() override { log.push_back("paint"); }
    void onMouseMove(UINT, int, int) override { log.push_back("mouseMove"); }
    void onOK() override {
        log.push_back("ok");
        boundInModalLoop = application().windowRegistry.find(hwnd) == this;
        endDialog();
    }
    void onCancel() override { log.push_back("cancel"); }

    Log log;
    HWND initialWindow = nullptr;
    bool boundAtInit = false;
    bool boundInModalLoop = false;
};

// A dialog class that closes with endDialog, as the About box does.
class ClosingDialog : public RecordingDialog {
public:
    void onClose() override {
        log.push_back("close");
        endDialog();
    }
};

class ThrowingDialog : public ClosingDialog {
public:
    void onOK() override {
        log.push_back("ok");
        throw std::runtime_error("handler failed");
    }
};

// The owner a modal dialog disables while it runs.
class OwnerWindow : public WindowObject {
public:
    OwnerWindow() {
        static const ATOM registered =
            registerWindowClass("LkDialogOwner", 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr);
        EXPECT_NE(registered, 0);
        EXPECT_TRUE(create(0, "LkDialogOwner", "owner", WS_OVERLAPPEDWINDOW, 20, 20, 300, 200, nullptr, nullptr));
    }
    ~OwnerWindow() override { DestroyWindow(hwnd); }
};

void pressEscape(HWND dialog) {
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

} // namespace

// Esc, accelerators and control notifications all arrive as WM_COMMAND; only
// clicks (notification code 0) of IDOK and IDCANCEL reach the hooks, and an
// empty onCancel leaves the dialog open: the OK click posted after them is
// still handled by the same dialog.
TEST(DialogWindow, OnlyClicksReachTheOkAndCancelHooks) {
    RecordingDialog dialog;
    const int result = runScripted([&] { return dialog.doModal(IDD_ABOUT, nullptr); },
                                   {[](HWND window) {
                                       pressEscape(window);
                                       PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, 1), 0);
                                       PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0);
                                       PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MAIL_LINK, STN_CLICKED), 0);
                                       clickButton(window, IDOK);
                                   }});
    EXPECT_EQ(result, 0);
    const Log commands{commandEntry(0, IDCANCEL),   "cancel", commandEntry(1, IDOK), commandEntry(1, IDCANCEL),
                       commandEntry(STN_CLICKED, IDC_MAIL_LINK), commandEntry(0, IDOK), "ok"};
    Log seen;
    for (const std::string& entry : dialog.log) {
        if (entry.rfind("command", 0) == 0 || entry == "ok" || entry == "cancel") {
            seen.push_back(entry);
        }
    }
    EXPECT_EQ(seen, commands);
    EXPECT_TRUE(dialog.boundAtInit);
    EXPECT_TRUE(dialog.boundInModalLoop);

    const std::size_t entriesBefore = application().windowRegistry.size();
    RecordingDialog missing;
    EXPECT_EQ(missing.doModal(9999, nullptr), -1) << "a template that does not exist";
    EXPECT_EQ(missing.hwnd, nullptr);
    EXPECT_EQ(application().windowRegistry.size(), entriesBefore);
}

// DefWindowProcA would destroy a dialog without an onClose override; Wine's
// modal loop then returns 0 but the owner stays disabled, as EndDialog is
// what enables it again. The default onClose ends the dialog instead; one
// overridden with endDialog skips the dialog manager's own WM_CLOSE
// processing (an IDCANCEL click).
TEST(DialogWindow, CloseEndsTheDialogAndFreesTheOwner) {
    OwnerWindow owner;
    RecordingDialog plain;
    ClosingDialog closing;
    for (RecordingDialog* dialog : {&plain, static_cast<RecordingDialog*>(&closing)}) {
        bool ownerDisabledWhileOpen = false;
        const int result = runScripted([&] { return dialog->doModal(IDD_ABOUT, owner.hwnd); },
                                       {[&](HWND window) {
                                           ownerDisabledWhileOpen = !IsWindowEnabled(owner.hwnd);
                                           PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                                       }});
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(ownerDisabledWhileOpen);
        EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
        EXPECT_FALSE(IsWindow(dialog->initialWindow));
        EXPECT_EQ(application().windowRegistry.find(dialog->initialWindow), nullptr);
        EXPECT_EQ(dialog->hwnd, nullptr);
        EXPECT_EQ(dialog->log.back(), "destroy");
    }
    EXPECT_EQ(std::count(closing.log.begin(), closing.log.end(), commandEntry(0, IDCANCEL)), 0);
    EXPECT_EQ(std::count(closing.log.begin(), closing.log.end(), "close"), 1);
}

// The exception is reported in a message box and the dialog carries on: it
// still ends normally afterwards.
TEST(DialogWindow, HandlerExceptionIsReportedAndTheDialogSurvives) {
    ThrowingDialog dialog;
    HWND first = nullptr;
    std::string reportCaption;
    const int result = runScripted([&] { return dialog.doModal(IDD_ABOUT, nullptr); },
                                   {[&](HWND window) {
                                        first = window;
                                        clickButton(window, IDOK);
                                    },
                                    [&](HWND box) {
                                        reportCaption = windowText(box);
                                        clickButton(box, IDOK);
                                        PostMessageA(first, WM_CLOSE, 0, 0);
                                    }});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(reportCaption, "Leafkeeper");
    const auto ok = std::find(dialog.log.begin(), dialog.log.end(), "ok");
    ASSERT_NE(ok, dialog.log.end());
    EXPECT_NE(std::find(ok, dialog.log.end(), "close"), dialog.log.end());
}

namespace {

// A dialog created without a modal loop, so the dispatch and the control
// wrappers can be driven synchronously.
class ModelessDialog : public ::testing::Test {
protected:
    void create(int templateId, HWND parent) {
        ASSERT_NE(CreateDialogParamA(application().instance, MAKEINTRESOURCEA(templateId), parent, dialogProcedure,
                                     reinterpret_cast<LPARAM>(&dialog)),
                  nullptr);
        ASSERT_NE(dialog.hwnd, nullptr);
        dialog.log.clear();
    }
    void TearDown() override {
        if (dialog.hwnd) {
            DestroyWindow(dialog.hwnd);
        }
    }

    RecordingDialog dialog;
};

} // namespace

// Only the messages of the reduced table reach handlers; painting, timers and
// mouse messages stay with the dialog manager.
TEST_F(ModelessDialog, OnlyTheReducedTableReachesHandlers) {
    create(IDD_ABOUT, nullptr);
    DRAWITEMSTRUCT item{};
    item.CtlID = 77;
    HELPINFO help{};
    help.cbSize = sizeof help;
    NMHDR header{dialog.hwnd, 5, NM_CLICK};

    SendMessageA(dialog.hwnd, WM_DRAWITEM, 77, reinterpret_cast<LPARAM>(&item));
    SendMessageA(dialog.hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    SendMessageA(dialog.hwnd, WM_TIMER, 1, 0);
    SendMessageA(dialog.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    SendMessageA(dialog.hwnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header));
    SendMessageA(dialog.hwnd, WM_SHOWWINDOW, TRUE, 0);
    SendMessageA(dialog.hwnd, WM_SETFOCUS, 0, 0);
    SendMessageA(dialog.hwnd, WM_PAINT, 0, 0);
    SendMessageA(dialog.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);

    const Log expected{"drawItem 77", "help", "show", "setFocus", commandEntry(0, IDOK), "ok"};
    EXPECT_EQ(dialog.log, expected);
}

// The first checked button of a range, scanned upwards; a check box outside
// the range does not count, nor does a range given backwards.
TEST_F(ModelessDialog, FirstCheckedButtonScansTheRangeUpwards) {
    OwnerWindow owner;
    create(IDD_OPTIONS_GENERAL, owner.hwnd);
    const auto first = [this] { return dialog.firstCheckedButton(IDC_BEGIN_LAST_PAGE, IDC_BEGIN_CHOSEN_PAGE); };
    ASSERT_TRUE(dialog.checkDialogButton(IDC_BEGIN_HIDE, BST_CHECKED));
    EXPECT_EQ(first(), -1);
    ASSERT_TRUE(dialog.checkDialogButton(IDC_BEGIN_CHOSEN_PAGE, BST_CHECKED));
    ASSERT_TRUE(dialog.checkDialogButton(IDC_BEGIN_PAGE_LIST, BST_CHECKED));
    EXPECT_EQ(first(), IDC_BEGIN_PAGE_LIST);
    EXPECT_EQ(dialog.firstCheckedButton(IDC_BEGIN_CHOSEN_PAGE, IDC_BEGIN_LAST_PAGE), -1);
    ASSERT_TRUE(dialog.checkDialogButton(IDC_BEGIN_PAGE_LIST, BST_UNCHECKED));
    EXPECT_EQ(first(), IDC_BEGIN_CHOSEN_PAGE);
}

// Shift-JIS text of any length, the empty text and a missing control.
TEST_F(ModelessDialog, ItemTextRoundTripsShiftJisOfAnyLength) {
    OwnerWindow owner;
    create(IDD_OPTIONS_GENERAL, owner.hwnd);
    for (const std::string& text : {std::string("C:\\メモ帳\\ブック.bok"), std::string(300, 'x') + "表", std::string()}) {
        std::string read = "stale";
        ASSERT_TRUE(dialog.setDialogItemText(IDC_BOOK_FILE, text.c_str()));
        EXPECT_EQ(dialog.dialogItemText(IDC_BOOK_FILE, read), 0);
        EXPECT_EQ(read, text);
    }
    std::string read = "stale";
    EXPECT_FALSE(dialog.setDialogItemText(4242, "x"));
    EXPECT_EQ(dialog.dialogItemText(4242, read), 0);
    EXPECT_EQ(read, "");
}
