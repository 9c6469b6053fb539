#include "framework/Application.h"
#include "framework/DialogWindow.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Notes the commands ("id/code") and the OK/Cancel hooks that the dialog
// dispatch reaches; its onOK throws.
class ThrowingDialog : public DialogWindow {
public:
    void onCommand(UINT code, UINT id, HWND control) override {
        log.push_back(std::to_string(id) + "/" + std::to_string(code));
        DialogWindow::onCommand(code, id, control);
    }
    void onOK() override {
        log.push_back("ok");
        throw std::runtime_error("handler failed");
    }
    void onCancel() override { log.push_back("cancel"); }

    std::vector<std::string> log;
};

} // namespace

// Esc and accelerators arrive as WM_COMMAND too, but only clicks (code 0) of
// IDOK and IDCANCEL reach the hooks, and an empty onCancel leaves the dialog
// open. A handler's exception is reported in a message box and the dialog
// carries on. Its close box then ends it: DefWindowProcA would destroy it
// instead, and Wine's modal loop would return with the owner still disabled,
// as only EndDialog enables it again.
TEST(DialogWindow, OnlyClicksReachTheHooksAnExceptionIsSurvivedAndTheCloseBoxFreesTheOwner) {
    const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 20, 20, 300, 200, nullptr, nullptr,
                                       application().instance, nullptr);
    ThrowingDialog dialog;
    HWND window = nullptr;
    bool ownerDisabledWhileOpen = false;
    std::string reportCaption;
    const int result = runScripted([&] { return dialog.doModal(IDD_ABOUT, owner); },
                                   {[&](HWND shown) {
                                        window = shown;
                                        ownerDisabledWhileOpen = !IsWindowEnabled(owner);
                                        PostMessageA(shown, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                                        PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDOK, 1), 0);
                                        PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0);
                                        clickButton(shown, IDOK);
                                    },
                                    [&](HWND report) {
                                        reportCaption = windowText(report);
                                        clickButton(report, IDOK);
                                        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                                    }});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"2/0", "cancel", "1/1", "2/1", "1/0", "ok"}));
    EXPECT_EQ(reportCaption, "Leafkeeper");
    EXPECT_TRUE(ownerDisabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(application().windowRegistry.find(window), nullptr);
    EXPECT_EQ(dialog.handle(), nullptr);
    DestroyWindow(owner);
}
