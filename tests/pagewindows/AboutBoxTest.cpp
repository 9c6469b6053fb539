#include "pagewindows/AboutBox.h"

#include "framework/Application.h"
#include "framework/DialogProcedure.h"

#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// The link text and the URL of each link opened.
std::vector<std::pair<std::string, std::string>> openedLinks;

} // namespace

// A click on the link asks to open the address the link shows; when that
// fails, the failure is reported, not unwound through the window system, and
// the box carries on. Esc leaves the box open; Enter (OK) and the caption's
// close box end it with 0.
TEST(AboutBox, TheLinkOpensItsAddressAndOnlyOkOrTheCloseBoxEndsTheBox) {
    const std::pair<const char*, std::function<void(HWND)>> closings[] = {
        {"Enter", [](HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0x00010001); }},
        {"the close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    openMailLink = [](HWND link, const char* url) {
        openedLinks.emplace_back(windowText(link), url);
        throw std::runtime_error("no mail program");
    };
    for (const auto& [name, close] : closings) {
        SCOPED_TRACE(name);
        openedLinks.clear();
        AboutBox box;
        HWND about = nullptr;
        bool openAfterEscape = false;
        // The click is posted: the report's message box runs inside its handling.
        EXPECT_EQ(runScripted([&] { return box.run(nullptr); },
                              {[&](HWND dialog) {
                                   about = dialog;
                                   PostMessageA(GetDlgItem(dialog, IDC_MAIL_LINK), WM_LBUTTONDOWN, MK_LBUTTON,
                                                MAKELPARAM(4, 4));
                               },
                               [&, close = close](HWND report) {
                                   clickButton(report, IDOK);
                                   PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                                   // The box's thread takes the second of two sent
                                   // messages only after it handled the key posted
                                   // before them.
                                   SendMessageA(about, WM_NULL, 0, 0);
                                   SendMessageA(about, WM_NULL, 0, 0);
                                   openAfterEscape = IsWindowVisible(about) != FALSE;
                                   close(about);
                               }}),
                  0);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_FALSE(IsWindow(about));
        const std::string address = kContactMailAddress;
        EXPECT_EQ(openedLinks,
                  (std::vector<std::pair<std::string, std::string>>{{"Mail: " + address, "mailto:" + address}}));
    }
    openMailLink = shellOpenMailLink;
}

// The real pointer, moved by the window system over the link, shows the hand
// (cursor 139) and makes the link hot, and the arrow again beside it.
TEST(AboutBox, ThePointerShowsTheHandOverTheLink) {
    AboutBox box;
    ASSERT_NE(CreateDialogParamA(application().instance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, dialogProcedure,
                                 reinterpret_cast<LPARAM>(&box)),
              nullptr);
    ShowWindow(box.handle(), SW_SHOW);
    flushEvents();
    RECT bounds{};
    GetWindowRect(GetDlgItem(box.handle(), IDC_MAIL_LINK), &bounds);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR hand = LoadCursorA(application().instance, MAKEINTRESOURCEA(IDCUR_HAND));
    ASSERT_NE(hand, nullptr);
    for (const auto& [point, shown] : {std::pair<POINT, HCURSOR>{{bounds.left + 2, bounds.top + 2}, hand},
                                       {{bounds.left - 3, bounds.top - 3}, arrow}}) {
        SetCursor(shown == hand ? arrow : hand);
        SetCursorPos(point.x, point.y);
        EXPECT_TRUE(pumpUntil([&, shown = shown] { return GetCursor() == shown && linkHot == (shown == hand); }, 2000));
    }
    DestroyWindow(box.handle());
}
