#include "framework/Application.h"
#include "book/Page.h"
#include "pagewindows/PageView.h"
#include "resources/resource.h"
#include "support/Dialogs.h"
#include "support/Picture.h"
#include "support/Pump.h"
#include "support/RecordingController.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class TestView : public PageView {
public:
    using PageView::captionHeight, PageView::closeButton, PageView::editor;
    using PageView::PageView;
};

Page shoppingList() {
    Page page;
    page.title = "買い物メモ";
    page.text = "牛乳\r\nパン\r\n卵";
    page.selectionStart = 4;
    page.selectionEnd = 8;
    page.updateTime = 1000;
    return page;
}

class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP | WS_CLIPCHILDREN, 40, 40, 400, 300, nullptr, nullptr,
                               application().instance, nullptr);
        ASSERT_TRUE(view.createPane(host));
        SetWindowPos(view.handle(), nullptr, 17, 1, 320, 200, SWP_NOZORDER);
        editor = view.editor->handle();
    }
    ~PageViewTest() override { DestroyWindow(host); }

    std::pair<int, int> selection() const {
        DWORD start = 0, end = 0;
        SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }

    RecordingController owner;
    TestView view{&owner};
    HWND host = nullptr;
    HWND editor = nullptr;
};

} // namespace

// The page's colours reach the screen, automatic ones as the system's: the
// strip, the frame, the close button's face around its cross, and the editor,
// read-only too (a read-only editor asks for its colours with
// WM_CTLCOLORSTATIC). The view hands its focus on to the editor.
TEST_F(PageViewTest, ThePageIsShownInItsColoursWithTheFocusInTheEditor) {
    Page coloured;
    coloured.format.titleFormat.backColor = RGB(0, 96, 0);
    coloured.format.editorFormat.backColor = RGB(255, 240, 200);
    coloured.readOnly = true;
    Page automatic;
    const std::tuple<Page*, COLORREF, COLORREF> cases[] = {
        {&coloured, RGB(0, 96, 0), RGB(255, 240, 200)},
        {&automatic, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_WINDOW)},
    };
    ShowWindow(host, SW_SHOW);
    ShowWindow(view.handle(), SW_SHOW);
    SetFocus(view.handle());
    EXPECT_EQ(GetFocus(), editor);
    for (const auto& [page, strip, editorBack] : cases) {
        view.setPage(page);
        flushEvents();
        const Picture client = grabWindow(view.handle());
        EXPECT_EQ(client.at(290, 1), strip) << "right of the title, left of the close button";
        EXPECT_EQ(client.at(160, view.captionHeight + 40), editorBack);
        EXPECT_EQ(grabWindow(view.handle(), true).at(0, 100), GetSysColor(COLOR_BTNSHADOW)) << "the automatic frame";
        const Picture button = grabWindow(view.closeButton);
        EXPECT_GE(button.count(RGB(0, 0, 0)), 8) << "the cross";
        EXPECT_GE(button.count(strip), 12 * 12 - 8 * 8) << "the face around the cross";
    }
}

// Applying the page shown again (its settings changed) takes the new title
// and flags but keeps the typing not yet stored and the selection; another
// page replaces both.
TEST_F(PageViewTest, ThePageShownAgainKeepsTheUnstoredTypingAndAnotherPageReplacesIt) {
    Page page = shoppingList();
    view.setPage(&page);
    SendMessageA(editor, EM_SETSEL, 0, 0);
    SendMessageA(editor, WM_CHAR, 'x', 1);
    SendMessageA(editor, EM_SETSEL, 1, 2);
    page.title = "新しい題";
    page.text = "stored text that must not be shown";
    page.readOnly = true;
    view.setPage(&page);
    EXPECT_EQ(windowText(editor), "x" + shoppingList().text);
    EXPECT_NE(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0) << "the typing is still to be stored";
    EXPECT_EQ(selection(), std::make_pair(1, 2));
    EXPECT_EQ(windowText(view.handle()), "新しい題");
    EXPECT_NE(GetWindowLongA(editor, GWL_STYLE) & ES_READONLY, 0);

    Page other = shoppingList();
    view.setPage(&other);
    EXPECT_EQ(windowText(editor), other.text);
    EXPECT_EQ(selection(), std::make_pair(4, 8));
    EXPECT_EQ(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(GetWindowLongA(editor, GWL_STYLE) & ES_READONLY, 0);
}

// Storing takes the selection always, the text and a new time only after
// typing. Without a page, or once the window is gone (its empty text is no
// title), nothing is stored; the window takes its close button's tooltip
// along.
TEST_F(PageViewTest, StoringTakesTheTextAndANewTimeOnlyAfterTyping) {
    Page page = shoppingList();
    view.setPage(&page);
    SendMessageA(editor, EM_SETSEL, 2, 6);
    view.storePage();
    EXPECT_EQ(page.updateTime, 1000);
    EXPECT_EQ(std::make_pair(page.selectionStart, page.selectionEnd), std::make_pair(2, 6));
    SendMessageA(editor, EM_SETSEL, 0, 0);
    SendMessageA(editor, WM_CHAR, 'A', 1);
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    view.storePage();
    EXPECT_EQ(page.text, "A" + shoppingList().text);
    EXPECT_GE(page.updateTime, before);
    EXPECT_EQ(std::make_pair(page.selectionStart, page.selectionEnd), std::make_pair(1, 1));
    EXPECT_EQ(SendMessageA(editor, EM_GETMODIFY, 0, 0), 0) << "the next store without typing keeps the time";

    SendMessageA(editor, WM_CHAR, 'z', 1);
    view.setPage(nullptr);
    view.storePage();
    view.setPage(&page);
    const LRESULT tools = SendMessageA(application().toolTip, TTM_GETTOOLCOUNT, 0, 0);
    DestroyWindow(view.handle());
    view.storePage();
    EXPECT_EQ(page.text, "A" + shoppingList().text);
    EXPECT_EQ(page.title, "買い物メモ");
    EXPECT_EQ(SendMessageA(application().toolTip, TTM_GETTOOLCOUNT, 0, 0), tools - 1);
}

// The close button and a double-click on the strip show the page list with
// the focus in it; the button's other notifications do not.
TEST_F(PageViewTest, TheCloseButtonAndADoubleClickOnTheStripShowThePageList) {
    SendMessageA(view.handle(), WM_COMMAND, MAKEWPARAM(CMD_CLOSE_VIEW, BN_SETFOCUS),
                 reinterpret_cast<LPARAM>(view.closeButton));
    EXPECT_TRUE(owner.calls.empty());
    SendMessageA(view.closeButton, BM_CLICK, 0, 0);
    EXPECT_EQ(owner.count("showPageList"), 1);
    SendMessageA(view.handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 3));
    EXPECT_EQ(owner.calls, std::vector<RecordingController::Call>(2, {"showPageList", -1, nullptr, true}));
}
