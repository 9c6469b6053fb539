#include "framework/DcScopes.h"
#include "framework/EditControl.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr const char* kParentClass = "LkEditorParent";

struct Command {
    UINT code;
    UINT id;
    HWND control;
};

// The editor's parent: records the commands it receives.
class Parent : public WindowObject {
public:
    void onCommand(UINT code, UINT id, HWND control) override { commands.push_back({code, id, control}); }
    std::vector<Command> commands;
};

// Sits between the editor object and the control's own procedure and notes
// the keys the control receives.
std::vector<WPARAM> keysSeenByControl;
WNDPROC controlProcedure = nullptr;

LRESULT CALLBACK noteKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        keysSeenByControl.push_back(wParam);
    }
    return CallWindowProcA(controlProcedure, hwnd, message, wParam, lParam);
}

// The fonts the control is handed, each of which makes it lay its whole
// text out again.
std::vector<WPARAM> fontsSeenByControl;

LRESULT CALLBACK noteFonts(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) {
        fontsSeenByControl.push_back(wParam);
    }
    return CallWindowProcA(controlProcedure, hwnd, message, wParam, lParam);
}

// Presses or releases Ctrl in the thread's key state, which GetKeyState reads.
void setControlKey(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

LPARAM keyData(UINT key) {
    return MAKELPARAM(1, MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
}

COLORREF brushColor(HBRUSH brush) {
    LOGBRUSH info{};
    EXPECT_EQ(GetObjectA(brush, sizeof info, &info), static_cast<int>(sizeof info));
    return info.lbColor;
}

void registerParentClass() {
    static const bool registered =
        registerWindowClass(kParentClass, 0, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr) != 0;
    ASSERT_TRUE(registered);
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerParentClass();
        ASSERT_TRUE(parent.create(0, kParentClass, nullptr, WS_POPUP | WS_VISIBLE, 30, 30, 300, 200, nullptr, nullptr));
        ASSERT_TRUE(editor.createEditor(parent.hwnd));
        MoveWindow(editor.hwnd, 0, 0, 300, 200, FALSE);
        keysSeenByControl.clear();
    }
    void TearDown() override {
        setControlKey(false);
        DestroyWindow(parent.hwnd);
    }

    void noteControlKeys() {
        controlProcedure = editor.previousProc;
        editor.previousProc = noteKeys;
    }

    void noteControlFonts() {
        controlProcedure = editor.previousProc;
        editor.previousProc = noteFonts;
        fontsSeenByControl.clear();
    }

    HFONT controlFont() const { return reinterpret_cast<HFONT>(SendMessageA(editor.hwnd, WM_GETFONT, 0, 0)); }

    int textLength() const { return GetWindowTextLengthA(editor.hwnd); }

    Parent parent;
    EditControl editor;
};

} // namespace

// The control's default limit would stop typing at 32,767 characters (30,000
// under Wine); a memo may be longer.
TEST_F(EditorTest, TypingGoesOnPastTheDefaultTextLimit) {
    const std::string full(32767, 'a');
    ASSERT_TRUE(editor.setWindowText(full.c_str()));
    ASSERT_EQ(textLength(), 32767);
    SendMessageA(editor.hwnd, EM_SETSEL, 32767, 32767);
    SendMessageA(editor.hwnd, WM_CHAR, 'b', keyData('B'));
    SendMessageA(editor.hwnd, WM_CHAR, 'c', keyData('C'));
    EXPECT_EQ(textLength(), 32769);
}

TEST_F(EditorTest, CtrlF4AsksTheParentToCloseAndTheControlStillSeesTheKey) {
    noteControlKeys();
    setControlKey(true);
    SendMessageA(editor.hwnd, WM_KEYDOWN, VK_F4, keyData(VK_F4));
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].code, 0u);
    EXPECT_EQ(parent.commands[0].id, static_cast<UINT>(CMD_CLOSE_VIEW));
    EXPECT_EQ(parent.commands[0].control, nullptr);
    EXPECT_EQ(keysSeenByControl, std::vector<WPARAM>{VK_F4});

    // Other keys with Ctrl, and F4 alone, are only typing.
    SendMessageA(editor.hwnd, WM_KEYDOWN, VK_F5, keyData(VK_F5));
    setControlKey(false);
    SendMessageA(editor.hwnd, WM_KEYDOWN, VK_F4, keyData(VK_F4));
    EXPECT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(keysSeenByControl, (std::vector<WPARAM>{VK_F4, VK_F5, VK_F4}));
}

namespace {

// An editor whose memory is poisoned when it is deleted, so any use after
// deletion calls through a broken virtual table.
class DisposableEditor : public EditControl {
public:
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, std::size_t size) {
        std::memset(memory, 0xDD, size);
        graveyard = memory;
    }
    static void* graveyard;
};

void* DisposableEditor::graveyard = nullptr;

// Closes its view the way a floating page window does on command 105: the
// editor's window is destroyed and its object deleted at once.
class ClosingParent : public WindowObject {
public:
    void onCommand(UINT, UINT id, HWND) override {
        if (id == CMD_CLOSE_VIEW && editor) {
            DestroyWindow(editor->hwnd);
            delete editor;
            editor = nullptr;
        }
    }
    DisposableEditor* editor = nullptr;
};

} // namespace

TEST(EditorClosing, CtrlF4MayEndWithTheEditorDeleted) {
    registerParentClass();
    ClosingParent parent;
    ASSERT_TRUE(parent.create(0, kParentClass, nullptr, WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    parent.editor = new DisposableEditor;
    ASSERT_TRUE(parent.editor->createEditor(parent.hwnd));
    const HWND window = parent.editor->hwnd;
    setControlKey(true);
    SendMessageA(window, WM_KEYDOWN, VK_F4, keyData(VK_F4));
    setControlKey(false);
    EXPECT_EQ(parent.editor, nullptr);
    EXPECT_FALSE(IsWindow(window));
    ASSERT_NE(DisposableEditor::graveyard, nullptr);
    ::operator delete(DisposableEditor::graveyard);
    DestroyWindow(parent.hwnd);
}

// A new editor paints black on white; the automatic colours are the system's;
// a new background colour replaces the brush and deletes the old one.
TEST(EditorColours, FollowTheSetColoursWithABrushToMatch) {
    EditControl editor;
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(brushColor(editor.prepareColors(dc)), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));

    const HBRUSH automatic = editor.setBackColor(0xFFFFFFFF);
    EXPECT_EQ(editor.setTextColor(0xFFFFFFFF), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(editor.prepareColors(dc), automatic);
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(brushColor(automatic), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNTEXT));

    const HBRUSH cream = editor.setBackColor(RGB(255, 250, 220));
    EXPECT_EQ(GetObjectType(automatic), 0u);
    EXPECT_EQ(editor.setTextColor(RGB(0, 0, 160)), RGB(0, 0, 160));
    EXPECT_EQ(editor.prepareColors(dc), cream);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 250, 220));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 160));
    DeleteDC(dc);
}

// Every font handed to the control makes it lay its whole text out again: an
// unchanged font is kept, a new one arrives in one message (no null font in
// between) and the old one is deleted.
TEST_F(EditorTest, SetFontHandsTheControlOnlyNewFontsAndDeletesTheOldOnes) {
    editor.setFont("ＭＳ ゴシック", 10);
    const HFONT first = controlFont();
    LOGFONTA lf{};
    GetObjectA(first, sizeof lf, &lf);
    WindowDc screen(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(10, GetDeviceCaps(screen.get(), LOGPIXELSY), 72));
    noteControlFonts();

    editor.setFont("ＭＳ ゴシック", 10);
    EXPECT_TRUE(fontsSeenByControl.empty());
    EXPECT_EQ(controlFont(), first);

    editor.setFont("ＭＳ 明朝", 12);
    const HFONT second = controlFont();
    EXPECT_EQ(fontsSeenByControl, std::vector<WPARAM>{reinterpret_cast<WPARAM>(second)});
    EXPECT_EQ(GetObjectType(first), 0u);
    GetObjectA(second, sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "ＭＳ 明朝");

    // A control that lost the font is given one again.
    SendMessageA(editor.hwnd, WM_SETFONT, 0, FALSE);
    fontsSeenByControl.clear();
    editor.setFont("ＭＳ 明朝", 12);
    EXPECT_EQ(fontsSeenByControl.size(), 1u);
    EXPECT_NE(controlFont(), nullptr);
}

// The owner destroys the window first; deleting the object afterwards frees
// its font and brush without touching the control.
TEST(EditorLifetime, DeletingAfterTheWindowIsGoneFreesTheFontAndBrush) {
    registerParentClass();
    Parent parent;
    ASSERT_TRUE(parent.create(0, kParentClass, nullptr, WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    auto* editor = new EditControl;
    ASSERT_TRUE(editor->createEditor(parent.hwnd));
    editor->setFont("ＭＳ ゴシック", 10);
    const HBRUSH brush = editor->setBackColor(RGB(1, 2, 3));
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(editor->hwnd, WM_GETFONT, 0, 0));
    DestroyWindow(parent.hwnd);
    EXPECT_EQ(editor->hwnd, nullptr);
    delete editor;
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}

TEST_F(EditorTest, TheCursorIsTheIBeamOverTheTextOnlyWhileAWindowHasTheFocus) {
    const HCURSOR iBeam = LoadCursorA(nullptr, IDC_IBEAM);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    editor.show(SW_SHOW);
    SetForegroundWindow(parent.hwnd);
    SetFocus(editor.hwnd);
    ASSERT_EQ(GetFocus(), editor.hwnd);

    const auto cursorAfter = [&](UINT hitTest) {
        SetCursor(nullptr);
        EXPECT_EQ(SendMessageA(editor.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(editor.hwnd),
                               MAKELPARAM(hitTest, WM_MOUSEMOVE)),
                  1);
        return GetCursor();
    };
    EXPECT_EQ(cursorAfter(HTCLIENT), iBeam);
    EXPECT_EQ(cursorAfter(HTVSCROLL), arrow);

    SetFocus(nullptr);
    ASSERT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(cursorAfter(HTCLIENT), arrow);
}

TEST_F(EditorTest, ShowingTheEditorScrollsTheCaretIntoView) {
    std::string lines;
    for (int line = 0; line < 200; ++line) {
        lines += "line\r\n";
    }
    editor.setWindowText(lines.c_str());
    const int end = textLength();
    SendMessageA(editor.hwnd, EM_SETSEL, end, end);
    SendMessageA(editor.hwnd, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(SendMessageA(editor.hwnd, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    editor.show(SW_SHOW);
    EXPECT_NE(GetWindowLongA(editor.hwnd, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_GT(SendMessageA(editor.hwnd, EM_GETFIRSTVISIBLELINE, 0, 0), 150);
}
