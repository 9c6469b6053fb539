#include "app/Application.h"
#include "framework/WindowObject.h"
#include "framework/WindowProcedure.h"
#include "support/MessageLog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

namespace {

constexpr const char* kTestClass = "LkDispatchTest";

void registerTestClass() {
    static const bool registered = registerWindowClass(kTestClass, CS_DBLCLKS, nullptr, nullptr, nullptr, nullptr) != 0;
    ASSERT_TRUE(registered);
}

// An object that overrides nothing and hands every message to the recorder.
class PlainObject : public WindowObject {
public:
    PlainObject() { previousProc = recordingProcedure; }
};

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        registerTestClass();
        recordingAnswerSet = false;
        ASSERT_TRUE(object.create(0, kTestClass, "dispatch", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
        recordingLog.clear();
    }
    void TearDown() override {
        recordingAnswerSet = false;
        DestroyWindow(object.hwnd);
    }

    // Sends the message with the recorder answering `answer`; returns the
    // window procedure's result and the one message the recorder saw.
    LRESULT sendWithAnswer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT answer, RecordedMessage& forwarded) {
        recordingLog.clear();
        recordingAnswerSet = true;
        recordingAnswer = answer;
        const LRESULT result = SendMessageA(object.hwnd, message, wParam, lParam);
        recordingAnswerSet = false;
        const auto seen = recordingLog.only(message);
        EXPECT_EQ(seen.size(), 1u) << messageName(message);
        forwarded = seen.empty() ? RecordedMessage{} : seen.front();
        return result;
    }

    PlainObject object;
};

enum class Result { Zero, One, Bool, Value };

struct Row {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Result result;
    WPARAM forwardedWParam;
    LPARAM forwardedLParam;
};

} // namespace

// Every row of the handler table: what reaches the previous procedure and
// what the window procedure answers.
TEST_F(Dispatch, EveryHandledMessageReachesThePreviousProcedureRebuilt) {
    DRAWITEMSTRUCT drawItem{};
    drawItem.CtlID = 42;
    MEASUREITEMSTRUCT measureItem{};
    measureItem.CtlID = 43;
    CREATESTRUCTA creation{};
    MINMAXINFO minMax{};
    HELPINFO help{};
    help.cbSize = sizeof help;
    NMHDR header{};
    RECT rect{1, 2, 3, 4};
    WINDOWPOS position{};
    char text[] = "caption";
    const auto ptr = [](const void* p) { return reinterpret_cast<LPARAM>(p); };
    const LPARAM point = MAKELPARAM(0xFFF6, 0x8001); // x = -10 or 65526, y = -32767 or 32769
    const HWND other = reinterpret_cast<HWND>(0x1234);
    const LPARAM otherParam = ptr(other);

    const Row rows[] = {
        {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 5), otherParam, Result::Zero, MAKEWPARAM(WA_CLICKACTIVE, 1), otherParam},
        {WM_ACTIVATEAPP, 7, 0x99, Result::Zero, 1, 0x99},
        {WM_CHAR, 'a', 0x1E0001, Result::Zero, 'a', 0x1E0001},
        {WM_CLOSE, 0, 0, Result::Zero, 0, 0},
        {WM_COMMAND, MAKEWPARAM(105, 0), 0, Result::Zero, MAKEWPARAM(105, 0), 0},
        {WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), otherParam, Result::Zero, MAKEWPARAM(7, EN_CHANGE), otherParam},
        {WM_CONTEXTMENU, 0x77, point, Result::Zero, 0x77, point},
        {WM_CREATE, 3, ptr(&creation), Result::Bool, 0, ptr(&creation)},
        {WM_CTLCOLOREDIT, 0x10, otherParam, Result::Value, 0x10, otherParam},
        {WM_CTLCOLORLISTBOX, 0x10, otherParam, Result::Value, 0x10, otherParam},
        {WM_CTLCOLORSTATIC, 0x10, otherParam, Result::Value, 0x10, otherParam},
        {WM_CTLCOLORBTN, 0x10, otherParam, Result::Value, 0x10, otherParam},
        {WM_DESTROY, 0, 0, Result::Zero, 0, 0},
        {WM_DRAWITEM, 0, ptr(&drawItem), Result::One, 42, ptr(&drawItem)},
        {WM_DROPFILES, 0x55, 0x66, Result::Zero, 0x55, 0},
        {WM_ENABLE, 9, 0, Result::Zero, 1, 0},
        {WM_ERASEBKGND, 0x10, 0, Result::Bool, 0x10, 0},
        {WM_HELP, 0, ptr(&help), Result::Zero, 0, ptr(&help)},
        {WM_GETMINMAXINFO, 0, ptr(&minMax), Result::Zero, 0, ptr(&minMax)},
        {WM_HOTKEY, 3, MAKELPARAM(MOD_CONTROL, 'K'), Result::Zero, 3, MAKELPARAM(MOD_CONTROL, 'K')},
        {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), otherParam, Result::Zero, MAKEWPARAM(SB_THUMBTRACK, 300),
         otherParam},
        {WM_INITDIALOG, 0x20, 0x30, Result::Bool, 0x20, 0x30},
        {WM_INITMENU, 0x44, 0, Result::Zero, 0x44, 0},
        {WM_INITMENUPOPUP, 0x44, MAKELPARAM(2, 8), Result::Zero, 0x44, MAKELPARAM(2, 1)},
        {WM_KEYDOWN, VK_F4, MAKELPARAM(1, 0x3E), Result::Zero, VK_F4, MAKELPARAM(1, 0x3E)},
        {WM_KEYUP, VK_F4, MAKELPARAM(1, 0xC03E), Result::Zero, VK_F4, MAKELPARAM(1, 0xC03E)},
        {WM_KILLFOCUS, 0x12, 0, Result::Zero, 0x12, 0},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, point, Result::Zero, MK_LBUTTON, point},
        {WM_LBUTTONDOWN, MK_LBUTTON, point, Result::Zero, MK_LBUTTON, point},
        {WM_LBUTTONUP, 0, point, Result::Zero, 0, point},
        {WM_MEASUREITEM, 0, ptr(&measureItem), Result::Zero, 43, ptr(&measureItem)},
        {WM_MENUSELECT, MAKEWPARAM(110, MF_HILITE), 0x44, Result::Zero, MAKEWPARAM(110, MF_HILITE), 0x44},
        {WM_MOUSEACTIVATE, 0x12, MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN), Result::Value, 0x12,
         MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN)},
        {WM_MOUSEMOVE, 0, point, Result::Zero, 0, point},
        {WM_MOVE, 0, point, Result::Zero, 0, point},
        {WM_MOVING, WMSZ_LEFT, ptr(&rect), Result::Zero, WMSZ_LEFT, ptr(&rect)},
        {WM_NOTIFY, 101, ptr(&header), Result::Value, 101, ptr(&header)},
        {WM_NCHITTEST, 0, point, Result::Value, 0, point},
        {WM_NCLBUTTONDOWN, HTCAPTION, point, Result::Zero, HTCAPTION, point},
        {WM_NCLBUTTONUP, HTCAPTION, point, Result::Zero, HTCAPTION, point},
        {WM_NCPAINT, 1, 0x5, Result::Zero, 1, 0},
        {WM_NCRBUTTONDOWN, HTCAPTION, point, Result::Zero, HTCAPTION, point},
        {WM_NCRBUTTONUP, HTCAPTION, point, Result::Zero, HTCAPTION, point},
        {WM_PAINT, 0, 0, Result::Zero, 0, 0},
        {WM_PARENTNOTIFY, MAKEWPARAM(WM_RBUTTONDOWN, 101), point, Result::Zero, MAKEWPARAM(WM_RBUTTONDOWN, 101),
         point},
        {WM_QUERYENDSESSION, 0, LPARAM(ENDSESSION_LOGOFF), Result::Bool, 0, 0},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, point, Result::Zero, MK_RBUTTON, point},
        {WM_RBUTTONDOWN, MK_RBUTTON, point, Result::Zero, MK_RBUTTON, point},
        {WM_RBUTTONUP, 0, point, Result::Zero, 0, point},
        {WM_SETCURSOR, 0x12, MAKELPARAM(HTVSCROLL, WM_MOUSEMOVE), Result::Bool, 0x12,
         MAKELPARAM(HTVSCROLL, WM_MOUSEMOVE)},
        {WM_SETFOCUS, 0x12, 0, Result::Zero, 0x12, 0},
        {WM_SETTEXT, 0, ptr(text), Result::One, 0, ptr(text)},
        {WM_SHOWWINDOW, 3, SW_PARENTOPENING, Result::Zero, 1, SW_PARENTOPENING},
        {WM_SIZE, SIZE_RESTORED, point, Result::Zero, SIZE_RESTORED, point},
        {WM_SIZING, WMSZ_BOTTOM, ptr(&rect), Result::Zero, WMSZ_BOTTOM, ptr(&rect)},
        {WM_TIMER, 103, 0x4000, Result::Zero, 103, 0},
        {WM_SYSCHAR, 'x', 0x20000001, Result::Zero, 'x', 0x20000001},
        {WM_SYSCOLORCHANGE, 0, 0, Result::Zero, 0, 0},
        {WM_SYSCOMMAND, SC_KEYMENU, point, Result::Zero, SC_KEYMENU, point},
        {WM_SYSKEYDOWN, VK_MENU, MAKELPARAM(1, 0x2038), Result::Zero, VK_MENU, MAKELPARAM(1, 0x2038)},
        {WM_SYSKEYUP, VK_MENU, MAKELPARAM(1, 0xE038), Result::Zero, VK_MENU, MAKELPARAM(1, 0xE038)},
        {WM_VKEYTOITEM, MAKEWPARAM(VK_DELETE, 0xFFFF), otherParam, Result::Value, MAKEWPARAM(VK_DELETE, 0xFFFF),
         otherParam},
        {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), otherParam, Result::Zero, MAKEWPARAM(SB_LINEDOWN, 0), otherParam},
        {WM_WINDOWPOSCHANGED, 0, ptr(&position), Result::Zero, 0, ptr(&position)},
        {WM_WINDOWPOSCHANGING, 0, ptr(&position), Result::Bool, 0, ptr(&position)},
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(messageName(row.message));
        RecordedMessage forwarded{};
        // An unusual answer shows whether the result is passed, normalised or dropped.
        const LRESULT unusual = sendWithAnswer(row.message, row.wParam, row.lParam, 0x55, forwarded);
        EXPECT_EQ(forwarded.wParam, row.forwardedWParam);
        EXPECT_EQ(forwarded.lParam, row.forwardedLParam);
        RecordedMessage ignored{};
        const LRESULT one = sendWithAnswer(row.message, row.wParam, row.lParam, 1, ignored);
        const LRESULT zero = sendWithAnswer(row.message, row.wParam, row.lParam, 0, ignored);
        switch (row.result) {
        case Result::Zero:
            EXPECT_EQ(unusual, 0);
            EXPECT_EQ(one, 0);
            break;
        case Result::One:
            EXPECT_EQ(unusual, 1);
            EXPECT_EQ(zero, 1);
            break;
        case Result::Bool:
            EXPECT_EQ(unusual, 0); // true only when the previous procedure answered exactly 1
            EXPECT_EQ(one, 1);
            EXPECT_EQ(zero, 0);
            break;
        case Result::Value:
            EXPECT_EQ(unusual, 0x55);
            EXPECT_EQ(zero, 0);
            break;
        }
    }
}

TEST_F(Dispatch, MessagesOutsideTheTableReachThePreviousProcedureUntouched) {
    for (UINT message : {UINT(WM_USER + 5), UINT(WM_APP + 100), UINT(WM_GETFONT), UINT(EM_SETSEL)}) {
        RecordedMessage forwarded{};
        EXPECT_EQ(sendWithAnswer(message, 0xABCD, -7, 0x7777, forwarded), 0x7777);
        EXPECT_EQ(forwarded.wParam, 0xABCDu);
        EXPECT_EQ(forwarded.lParam, -7);
    }
}

TEST_F(Dispatch, DefaultSetTextStillChangesTheCaption) {
    recordingAnswerSet = false;
    object.previousProc = DefWindowProcA;
    EXPECT_EQ(SendMessageA(object.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")), 1);
    char caption[32] = {};
    GetWindowTextA(object.hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "changed");
    // No class background brush: the default erase answers 0.
    HDC dc = GetDC(object.hwnd);
    EXPECT_EQ(SendMessageA(object.hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    ReleaseDC(object.hwnd, dc);
}

namespace {

// Records the cracked arguments that reach overridden handlers.
class CrackingObject : public WindowObject {
public:
    void onNcLButtonDown(UINT hitTest, int x, int y) override { record(hitTest, x, y); }
    LRESULT onNcHitTest(int x, int y) override {
        record(0, x, y);
        return HTCAPTION;
    }
    void onLButtonDown(UINT keys, int x, int y) override { record(keys, x, y); }
    void onMove(int x, int y) override { record(0, x, y); }
    void onCommand(UINT code, UINT id, HWND control) override {
        record(code, static_cast<int>(id), static_cast<int>(reinterpret_cast<INT_PTR>(control)));
    }
    LRESULT onVKeyToItem(UINT key, HWND, int caret) override {
        record(key, caret, 0);
        return -2;
    }
    void onGetMinMaxInfo(MINMAXINFO* info) override {
        handledUnbound = handledUnbound || hwnd == nullptr;
        WindowObject::onGetMinMaxInfo(info);
    }

    void record(UINT first, int x, int y) {
        lastFirst = first;
        lastX = x;
        lastY = y;
    }

    UINT lastFirst = 0;
    int lastX = 0;
    int lastY = 0;
    bool handledUnbound = false;
};

} // namespace

TEST(Cracking, NonClientCoordinatesAreSignedAndClientCoordinatesUnsigned) {
    registerTestClass();
    CrackingObject object;
    ASSERT_TRUE(object.create(0, kTestClass, "crack", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    EXPECT_FALSE(object.handledUnbound); // the first WM_GETMINMAXINFO came before binding and went elsewhere
    const LPARAM leftOfScreen = MAKELPARAM(static_cast<WORD>(-10), static_cast<WORD>(-20));

    EXPECT_EQ(SendMessageA(object.hwnd, WM_NCHITTEST, 0, leftOfScreen), HTCAPTION);
    EXPECT_EQ(object.lastX, -10);
    EXPECT_EQ(object.lastY, -20);

    SendMessageA(object.hwnd, WM_NCLBUTTONDOWN, HTCAPTION, leftOfScreen);
    EXPECT_EQ(object.lastFirst, UINT(HTCAPTION));
    EXPECT_EQ(object.lastX, -10);

    SendMessageA(object.hwnd, WM_MOVE, 0, leftOfScreen);
    EXPECT_EQ(object.lastY, -20);

    SendMessageA(object.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, leftOfScreen);
    EXPECT_EQ(object.lastFirst, UINT(MK_LBUTTON));
    EXPECT_EQ(object.lastX, 65526);
    EXPECT_EQ(object.lastY, 65516);

    SendMessageA(object.hwnd, WM_COMMAND, MAKEWPARAM(105, 0), 0);
    EXPECT_EQ(object.lastFirst, 0u);
    EXPECT_EQ(object.lastX, 105);
    EXPECT_EQ(object.lastY, 0);

    EXPECT_EQ(SendMessageA(object.hwnd, WM_VKEYTOITEM, MAKEWPARAM(VK_UP, 0xFFFF), 0), -2);
    EXPECT_EQ(object.lastFirst, UINT(VK_UP));
    EXPECT_EQ(object.lastX, -1);
    DestroyWindow(object.hwnd);
}

namespace {

class BindingObserver : public WindowObject {
public:
    bool onCreate(CREATESTRUCTA* creation) override {
        boundAtCreate = hwnd != nullptr && application().windowRegistry.find(hwnd) == this;
        return WindowObject::onCreate(creation);
    }
    bool boundAtCreate = false;
};

} // namespace

TEST(Registry, BindsAtNcCreateAndForgetsAtNcDestroy) {
    registerTestClass();
    BindingObserver object;
    ASSERT_TRUE(object.create(0, kTestClass, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(object.boundAtCreate);
    const HWND window = object.hwnd;
    EXPECT_EQ(application().windowRegistry.find(window), &object);
    DestroyWindow(window);
    EXPECT_EQ(application().windowRegistry.find(window), nullptr);
    EXPECT_EQ(object.hwnd, nullptr);
}

TEST(Registry, ANewBindingReplacesAnEntryForTheSameHandleValue) {
    registerTestClass();
    PlainObject first;
    ASSERT_TRUE(first.create(0, kTestClass, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    // A stale entry for this handle value, as a window whose entry outlived it would leave.
    PlainObject stale;
    application().windowRegistry.bind(first.hwnd, &stale);
    PlainObject second;
    CREATESTRUCTA creation{};
    creation.lpCreateParams = &second;
    recordingLog.clear();
    SendMessageA(first.hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&creation));
    EXPECT_EQ(application().windowRegistry.find(first.hwnd), &second);
    EXPECT_EQ(second.hwnd, first.hwnd);
    EXPECT_TRUE(recordingLog.contains(WM_NCCREATE));
    DestroyWindow(first.hwnd);
    EXPECT_EQ(application().windowRegistry.find(second.hwnd), nullptr);
}

// A window of the class without an object is driven by DefWindowProcA, and a
// failed create leaves no entry.
TEST(Registry, WindowsWithoutAnObjectWorkAndAFailedCreateLeavesNoEntry) {
    registerTestClass();
    const std::size_t before = application().windowRegistry.size();
    HWND window = CreateWindowExA(0, kTestClass, "unbound", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  application().instance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(application().windowRegistry.size(), before);
    EXPECT_TRUE(SetWindowTextA(window, "still works"));
    EXPECT_TRUE(DestroyWindow(window));

    PlainObject object;
    EXPECT_FALSE(object.create(0, "LkNoSuchClass", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(object.hwnd, nullptr);
    EXPECT_EQ(application().windowRegistry.size(), before);
}

namespace {

// An object whose owner deletes it from inside its own WM_CLOSE handler, as
// a floating note returned to the book does. Its memory is poisoned on
// deletion, so any later use of the object by the dispatch path would call
// through a broken virtual table.
class SelfEndingObject : public WindowObject {
public:
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, std::size_t size) {
        std::memset(memory, 0xDD, size);
        graveyard = memory; // freed by the test once the dispatch is over
    }

    void onClose() override {
        DestroyWindow(hwnd);
        delete this;
    }

    static void* graveyard;
};

void* SelfEndingObject::graveyard = nullptr;

} // namespace

TEST(Registry, AHandlerMayEndWithItsObjectDeleted) {
    registerTestClass();
    auto* object = new SelfEndingObject;
    ASSERT_TRUE(object->create(0, kTestClass, nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    const HWND window = object->hwnd;
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(application().windowRegistry.find(window), nullptr);
    ASSERT_NE(SelfEndingObject::graveyard, nullptr);
    ::operator delete(SelfEndingObject::graveyard);
}
