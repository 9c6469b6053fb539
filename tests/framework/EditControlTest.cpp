#include "framework/EditControl.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

// An editor whose memory is poisoned when it is deleted, so any use after
// deletion calls through a broken virtual table.
class DisposableEditor : public EditControl {
public:
    DisposableEditor() : EditControl(CMD_CLOSE_VIEW) {}
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, std::size_t size) {
        std::memset(memory, 0xDD, size);
        graveyard = memory; // freed by the test
    }
    static void* graveyard;
};

void* DisposableEditor::graveyard = nullptr;

// Closes the view as a floating page does: the editor's window is destroyed
// first and its object deleted at once.
class Parent : public WindowObject {
public:
    void onCommand(UINT code, UINT id, HWND control) override {
        if (id == CMD_CLOSE_VIEW) {
            closeRequests.emplace_back(code, control);
            DestroyWindow(editor->handle());
            delete editor;
        }
    }
    std::vector<std::tuple<UINT, HWND>> closeRequests;
    EditControl* editor = new DisposableEditor;
};

} // namespace

// An unchanged font is kept (every new one makes the control lay its whole
// text out again); a font or brush the editor replaced is deleted, the one in
// use is not, and the last ones go with the editor. Typing goes on past the
// control's default limit of 32,767 characters (30,000 under Wine), since a
// memo may be longer. Keys reach the control, and Ctrl with other keys is
// only typing. Ctrl+F4 asks the parent to close the view once the control
// has seen the key, so the parent may delete the editor there and then.
TEST(EditControl, TypesPastTheDefaultLimitAndCtrlF4MayEndWithTheEditorDeleted) {
    Parent parent; // of the page window class, which the test executable's main registers
    ASSERT_TRUE(parent.create(0, "LKDOCWND", nullptr, WS_POPUP, 30, 30, 300, 200, nullptr, nullptr));
    EditControl& editor = *parent.editor;
    ASSERT_TRUE(editor.createEditor(parent.handle()));
    const HWND window = editor.handle();
    const auto controlFont = [&] { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); };

    editor.setFont("ＭＳ ゴシック", 10);
    const HFONT firstFont = controlFont();
    const HBRUSH firstBrush = editor.setBackColor(RGB(1, 2, 3));
    editor.setFont("ＭＳ 明朝", 12);
    const HFONT font = controlFont();
    const HBRUSH brush = editor.setBackColor(RGB(4, 5, 6));
    const auto types = [&] {
        return std::vector<DWORD>{GetObjectType(firstFont), GetObjectType(firstBrush), GetObjectType(font),
                                  GetObjectType(brush)};
    };
    EXPECT_EQ(types(), (std::vector<DWORD>{0, 0, OBJ_FONT, OBJ_BRUSH}));
    editor.setFont("ＭＳ 明朝", 12);
    EXPECT_EQ(controlFont(), font) << "an unchanged font is kept";

    EXPECT_TRUE(editor.setWindowText(std::string(32767, 'a').c_str()));
    SendMessageA(window, WM_CHAR, 'b', 1);
    SendMessageA(window, WM_CHAR, 'c', 1);
    EXPECT_EQ(GetWindowTextLengthA(window), 32769);

    // Ctrl held in the thread's key state, which GetKeyState reads.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(window, EM_SETSEL, 0, 0);
    SendMessageA(window, WM_KEYDOWN, VK_END, 1);
    DWORD start = 0, end = 0;
    SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, 32769u) << "Ctrl+End moves the caret to the end of the text";
    EXPECT_TRUE(parent.closeRequests.empty());

    SendMessageA(window, WM_KEYDOWN, VK_F4, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(parent.closeRequests, (std::vector<std::tuple<UINT, HWND>>{{0, nullptr}}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(types(), (std::vector<DWORD>{0, 0, 0, 0}));
    ASSERT_NE(DisposableEditor::graveyard, nullptr);
    ::operator delete(DisposableEditor::graveyard);
    DestroyWindow(parent.handle());
}
