#include "framework/Application.h"
#include "framework/WindowObject.h"
#include "support/MessageLog.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Notes the coordinates two handlers are given, then does what WindowObject does.
class Cracker : public WindowObject {
public:
    using WindowObject::previousProc;
    LRESULT onNcHitTest(int x, int y) override {
        seen = {x, y};
        return WindowObject::onNcHitTest(x, y);
    }
    void onLButtonDown(UINT keys, int x, int y) override {
        seen = {x, y};
        WindowObject::onLButtonDown(keys, x, y);
    }
    std::pair<int, int> seen;
};

} // namespace

// Every message is sent three times while the previous procedure answers 0x55,
// 1 and 0: what the caller gets back shows whether the answer is dropped,
// fixed, made a truth value or passed on. Each time the previous procedure
// must receive the parameters rebuilt from the handler's arguments.
TEST(Dispatch, EveryMessageReachesThePreviousProcedureRebuiltAndAnswersAsItsHandlerSays) {
    Cracker object; // of the page window class, which the test executable's main registers
    ASSERT_TRUE(object.create(0, "LKDOCWND", "dispatch", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    object.previousProc = recordingProcedure;
    recordingAnswerSet = true;

    const WPARAM words = MAKEWPARAM(0x17, 0x42);
    const LPARAM point = MAKELPARAM(0xFFF6, 0x8001); // negative both ways when read signed
    // One record serves every message that carries a pointer; CtlID comes
    // second in MEASUREITEMSTRUCT as well.
    DRAWITEMSTRUCT item{};
    item.CtlID = 42;
    const LPARAM record = reinterpret_cast<LPARAM>(&item);
    const std::vector<LRESULT> zero{0, 0, 0}, one{1, 1, 1}, truth{0, 1, 0}, passed{0x55, 1, 0};
    const auto expect = [&](LPARAM lParam, const std::vector<LRESULT>& answers, WPARAM forwardedW, LPARAM forwardedL,
                            const std::vector<UINT>& messages) {
        for (UINT message : messages) {
            recordingLog.clear();
            std::vector<LRESULT> results;
            for (LRESULT answer : {0x55, 1, 0}) {
                recordingAnswer = answer;
                results.push_back(SendMessageA(object.handle(), message, words, lParam));
            }
            std::vector<std::pair<WPARAM, LPARAM>> forwarded;
            for (const RecordedMessage& seen : recordingLog.only(message)) {
                forwarded.emplace_back(seen.wParam, seen.lParam);
            }
            EXPECT_EQ(results, answers) << messageName(message);
            EXPECT_EQ(forwarded, std::vector(3, std::pair(forwardedW, forwardedL))) << messageName(message);
        }
    };
    expect(point, zero, words, point,
           {WM_CHAR,          WM_COMMAND,       WM_CONTEXTMENU,   WM_HOTKEY,      WM_HSCROLL,      WM_KEYDOWN,
            WM_KEYUP,         WM_LBUTTONDBLCLK, WM_LBUTTONDOWN,   WM_LBUTTONUP,   WM_MENUSELECT,   WM_MOUSEMOVE,
            WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,   WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_PARENTNOTIFY, WM_RBUTTONDBLCLK,
            WM_RBUTTONDOWN,   WM_RBUTTONUP,     WM_SIZE,          WM_SYSCHAR,     WM_SYSCOMMAND,   WM_SYSKEYDOWN,
            WM_SYSKEYUP,      WM_VSCROLL});
    // The last four are outside the handler table.
    expect(point, passed, words, point,
           {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_MOUSEACTIVATE, WM_VKEYTOITEM,
            WM_USER + 5, WM_APP + 100, WM_GETFONT, EM_SETSEL});
    expect(point, truth, words, point, {WM_SETCURSOR, WM_INITDIALOG});
    expect(point, zero, words, 0, {WM_KILLFOCUS, WM_SETFOCUS, WM_INITMENU, WM_DROPFILES, WM_NCPAINT, WM_TIMER});
    expect(point, truth, words, 0, {WM_ERASEBKGND});
    expect(point, zero, 0, 0, {WM_CLOSE, WM_DESTROY, WM_PAINT, WM_SYSCOLORCHANGE});
    expect(point, truth, 0, 0, {WM_QUERYENDSESSION});
    expect(point, zero, 0, point, {WM_MOVE});
    expect(point, passed, 0, point, {WM_NCHITTEST});
    expect(point, zero, 1, point, {WM_ACTIVATEAPP, WM_SHOWWINDOW});
    expect(point, zero, 1, 0, {WM_ENABLE});
    expect(point, zero, MAKEWPARAM(0x17, 1), point, {WM_ACTIVATE});
    expect(point, zero, words, MAKELPARAM(0xFFF6, 1), {WM_INITMENUPOPUP});
    expect(record, one, 42, record, {WM_DRAWITEM});
    expect(record, zero, 42, record, {WM_MEASUREITEM});
    expect(record, one, 0, record, {WM_SETTEXT});
    expect(record, truth, 0, record, {WM_CREATE, WM_WINDOWPOSCHANGING});
    expect(record, zero, 0, record, {WM_HELP, WM_GETMINMAXINFO, WM_WINDOWPOSCHANGED});
    expect(record, zero, words, record, {WM_MOVING, WM_SIZING});
    expect(record, passed, words, record, {WM_NOTIFY});
    recordingAnswerSet = false;

    // Screen coordinates arrive signed (a window on a monitor left of the
    // primary one), client coordinates unsigned.
    SendMessageA(object.handle(), WM_NCHITTEST, 0, point);
    EXPECT_EQ(object.seen, std::make_pair(-10, -32767));
    SendMessageA(object.handle(), WM_LBUTTONDOWN, 0, point);
    EXPECT_EQ(object.seen, std::make_pair(65526, 32769));
    // The object leaves the registry with its window.
    const HWND window = object.handle();
    DestroyWindow(window);
    EXPECT_EQ(application().windowRegistry.find(window), nullptr);
    EXPECT_EQ(object.handle(), nullptr);
}
