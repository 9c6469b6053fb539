#include "app/Application.h"
#include "book/Page.h"
#include "framework/DcScopes.h"
#include "pagewindows/PageView.h"
#include "resources/resource.h"
#include "framework/WindowProcedure.h"
#include "support/Dialogs.h"
#include "support/MenuProbe.h"
#include "support/Pump.h"
#include "support/Picture.h"
#include "support/RecordingController.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr const char* kHostClass = "LkPageViewHost";
constexpr int kViewWidth = 320;
constexpr int kViewHeight = 200;

constexpr COLORREF kTitleBack = RGB(0, 96, 0);
constexpr COLORREF kTitleText = RGB(255, 255, 0);
constexpr COLORREF kFrame = RGB(200, 0, 0);
constexpr COLORREF kEditorBack = RGB(255, 240, 200);
constexpr COLORREF kEditorText = RGB(0, 0, 160);

class TestView : public PageView {
public:
    explicit TestView(BookController* viewOwner) : PageView(viewOwner) {}
    HWND button() const { return closeButton; }
    HWND editorWindow() const { return editor->hwnd; }
    int stripHeight() const { return captionHeight; }
    COLORREF titleTextColor() const { return captionTextColor; }
    EditControl& editorObject() { return *editor; }
};

// The length of the editor's text each time the control was handed a font,
// which makes it lay that whole text out again.
std::vector<int> textLengthsAtNewFont;
WNDPROC editorProcedure = nullptr;

LRESULT CALLBACK noteEditorFonts(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) {
        textLengthsAtNewFont.push_back(GetWindowTextLengthA(window));
    }
    return CallWindowProcA(editorProcedure, window, message, wParam, lParam);
}

Page colouredPage() {
    Page page;
    page.title = "買い物メモ";
    page.text = "牛乳\r\nパン\r\n卵";
    page.selectionStart = 4;
    page.selectionEnd = 8;
    page.updateTime = 1000;
    page.format.frameColor = kFrame;
    page.format.titleFormat.backColor = kTitleBack;
    page.format.titleFormat.textColor = kTitleText;
    page.format.editorFormat.backColor = kEditorBack;
    page.format.editorFormat.textColor = kEditorText;
    return page;
}

RECT childRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

using Selection = std::pair<DWORD, DWORD>;

Selection selection(HWND editor) {
    Selection result{};
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&result.first), reinterpret_cast<LPARAM>(&result.second));
    return result;
}

bool sameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// The colours the view hands out for the editor's colour message.
struct ColourAnswer {
    HBRUSH brush;
    COLORREF back;
    COLORREF text;
};

ColourAnswer askColours(HWND view, UINT message, HWND control) {
    WindowDc screen(nullptr);
    const HDC dc = CreateCompatibleDC(screen.get());
    SetBkColor(dc, RGB(1, 2, 3));
    SetTextColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(view, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    ColourAnswer answer{brush, GetBkColor(dc), GetTextColor(dc)};
    DeleteDC(dc);
    return answer;
}

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info{};
    GetObjectA(brush, sizeof info, &info);
    return info.lbColor;
}

LOGFONTA editorFont(HWND editor) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(editor, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// Holds Ctrl down in the thread's keyboard state, as GetKeyState sees it.
class CtrlHeld {
public:
    CtrlHeld() {
        GetKeyboardState(saved);
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
    }
    ~CtrlHeld() { SetKeyboardState(saved); }

private:
    BYTE saved[256];
};

class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = registerWindowClass(kHostClass, 0, nullptr, nullptr, nullptr,
                                                           GetSysColorBrush(COLOR_BTNFACE)) != 0;
        ASSERT_TRUE(registered);
        host = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_CLIPCHILDREN, 40, 40, 400, 300, nullptr, nullptr,
                               application().instance, nullptr);
        ASSERT_NE(host, nullptr);
        ASSERT_TRUE(view.createPane(host));
        SetWindowPos(view.hwnd, nullptr, 17, 1, kViewWidth, kViewHeight, SWP_NOZORDER);
    }
    void TearDown() override {
        DestroyWindow(host);
        flushEvents(20, 500);
    }

    void showAll() {
        ShowWindow(host, SW_SHOW);
        ShowWindow(view.hwnd, SW_SHOW);
        SetForegroundWindow(host);
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        flushEvents();
    }

    void type(const char* text) {
        for (const char* c = text; *c; ++c) {
            SendMessageA(view.editorWindow(), WM_CHAR, static_cast<BYTE>(*c), 1);
        }
    }

    RecordingController owner;
    TestView view{&owner};
    HWND host = nullptr;
};

} // namespace

TEST_F(PageViewTest, CreationMakesTheEditorAndTheCloseButtonWithItsTooltip) {
    const HWND editor = view.editorWindow();
    EXPECT_EQ(view.clientWindow(), editor);
    EXPECT_NE(GetWindowLongA(editor, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(SendMessageA(editor, EM_GETMARGINS, 0, 0), MAKELRESULT(1, 1));
    const HWND button = view.button();
    EXPECT_EQ(GetDlgCtrlID(button), CMD_CLOSE_VIEW);
    EXPECT_EQ(toolTipText(application().toolTip, button), "閉じる");

    // Destroying the view takes its tooltip out.
    const LRESULT before = SendMessageA(application().toolTip, TTM_GETTOOLCOUNT, 0, 0);
    DestroyWindow(view.hwnd);
    EXPECT_EQ(SendMessageA(application().toolTip, TTM_GETTOOLCOUNT, 0, 0), before - 1);
}

TEST_F(PageViewTest, ShowingAPageFillsTheEditorAndAppliesTheFormat) {
    Page page = colouredPage();
    page.format.frameStyle = Sunken;
    page.format.editorFormat.fontSize = 14;
    page.readOnly = true;
    view.setPage(&page);

    EXPECT_EQ(view.page(), &page);
    EXPECT_EQ(windowText(view.editorWindow()), page.text);
    EXPECT_EQ(windowText(view.hwnd), "買い物メモ");
    EXPECT_EQ(selection(view.editorWindow()), Selection(4, 8));
    EXPECT_EQ(SendMessageA(view.editorWindow(), EM_GETMODIFY, 0, 0), 0);

    EXPECT_EQ(view.fillColor(), kTitleBack);
    EXPECT_EQ(view.titleTextColor(), kTitleText);
    EXPECT_EQ(view.frameLineColor(), kFrame);
    EXPECT_EQ(view.frameFaceColor(), kFrame) << "the raised and sunken lines shade from the frame colour";
    EXPECT_EQ(view.frameStyle(), Sunken);
    EXPECT_NE(GetWindowLongA(view.editorWindow(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_STREQ(editorFont(view.editorWindow()).lfFaceName, "ＭＳ ゴシック");

    const ColourAnswer colours = askColours(view.hwnd, WM_CTLCOLOREDIT, view.editorWindow());
    EXPECT_EQ(brushColour(colours.brush), kEditorBack);
    EXPECT_EQ(colours.back, kEditorBack);
    EXPECT_EQ(colours.text, kEditorText);
    EXPECT_EQ(page.updateTime, 1000) << "showing is not changing";
    EXPECT_EQ(owner.count("bookChanged"), 0) << "filling the editor is not typing";
}

// The automatic colours are the named system colours: button shadow for the
// strip and the frame, caption text, window and button text for the editor.
TEST_F(PageViewTest, AutomaticColoursAreTheNamedSystemColours) {
    Page page;
    view.setPage(&page);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(std::vector<COLORREF>({view.fillColor(), view.frameLineColor(), view.frameFaceColor()}),
              std::vector<COLORREF>(3, shadow));
    EXPECT_EQ(view.titleTextColor(), GetSysColor(COLOR_CAPTIONTEXT));
    const ColourAnswer colours = askColours(view.hwnd, WM_CTLCOLOREDIT, view.editorWindow());
    EXPECT_EQ(brushColour(colours.brush), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(colours.back, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(colours.text, GetSysColor(COLOR_BTNTEXT));
}

TEST_F(PageViewTest, ThePageIsPaintedInItsColours) {
    Page page = colouredPage();
    page.text = "";
    view.setPage(&page);
    showAll();

    const Picture client = grabWindow(view.hwnd);
    EXPECT_EQ(client.at(kViewWidth - 30, 1), kTitleBack) << "the strip right of the text, left of the button";
    EXPECT_EQ(client.at(kViewWidth / 2, view.stripHeight() + 40), kEditorBack) << "the empty editor";
    const Picture whole = grabWindow(view.hwnd, true);
    EXPECT_EQ(whole.at(0, kViewHeight / 2), kFrame) << "the flat frame line";
    EXPECT_EQ(whole.at(kViewWidth / 2, kViewHeight - 1), kFrame);

    // The close button: its face in the strip colour and a black cross on it.
    const Picture button = grabWindow(view.button());
    EXPECT_GE(button.count(RGB(0, 0, 0)), 8) << "the cross";
    EXPECT_GE(button.count(kTitleBack), 12 * 12 - 8 * 8) << "the face around the cross";
    EXPECT_EQ(button.at(0, 0), kTitleBack);
}

TEST_F(PageViewTest, AReadOnlyPageKeepsItsColours) {
    Page page = colouredPage();
    page.readOnly = true;
    page.text = "";
    view.setPage(&page);
    const ColourAnswer colours = askColours(view.hwnd, WM_CTLCOLORSTATIC, view.editorWindow());
    EXPECT_EQ(brushColour(colours.brush), kEditorBack);
    EXPECT_EQ(colours.back, kEditorBack);
    EXPECT_EQ(colours.text, kEditorText);

    showAll();
    EXPECT_EQ(grabWindow(view.hwnd).at(kViewWidth / 2, view.stripHeight() + 40), kEditorBack);

    // Other controls get the default answer, not the editor's brush.
    const ColourAnswer other = askColours(view.hwnd, WM_CTLCOLORSTATIC, view.button());
    EXPECT_NE(other.brush, colours.brush);
    EXPECT_EQ(askColours(view.hwnd, WM_CTLCOLORBTN, view.button()).brush, GetStockObject(NULL_BRUSH));
}

TEST_F(PageViewTest, ReapplyingThePageKeepsTypingSelectionAndPlaceButTakesTheNewFormat) {
    Page page = colouredPage();
    view.setPage(&page);
    SendMessageA(view.editorWindow(), EM_SETSEL, 0, 0);
    type("xy");
    SendMessageA(view.editorWindow(), EM_SETSEL, 1, 3);
    const RECT placeBefore = childRect(view.hwnd);
    const int stripBefore = view.stripHeight();

    page.title = "新しい題";
    page.text = "stored text that must not be shown";
    page.format.titleFormat.backColor = RGB(10, 20, 30);
    page.format.frameColor = AutoColor;
    page.format.titleFormat.fontSize = 24;
    page.format.editorFormat.fontFace = "ＭＳ 明朝";
    page.format.editorFormat.textColor = RGB(1, 1, 1);
    page.readOnly = true;
    page.floating = true; // a re-application never moves the window
    page.floatingRect = {0, 0, 50, 50};
    view.setPage(&page);

    EXPECT_EQ(windowText(view.editorWindow()), std::string("xy") + colouredPage().text);
    EXPECT_NE(SendMessageA(view.editorWindow(), EM_GETMODIFY, 0, 0), 0) << "the typing is still unstored";
    EXPECT_EQ(selection(view.editorWindow()), Selection(1, 3));
    EXPECT_TRUE(sameRect(childRect(view.hwnd), placeBefore));

    EXPECT_EQ(windowText(view.hwnd), "新しい題");
    EXPECT_EQ(view.fillColor(), RGB(10, 20, 30));
    EXPECT_EQ(view.frameLineColor(), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_GT(view.stripHeight(), stripBefore) << "the larger caption font makes a higher strip";
    EXPECT_STREQ(editorFont(view.editorWindow()).lfFaceName, "ＭＳ 明朝");
    EXPECT_EQ(askColours(view.hwnd, WM_CTLCOLOREDIT, view.editorWindow()).text, RGB(1, 1, 1));
    EXPECT_NE(GetWindowLongA(view.editorWindow(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(childRect(view.editorWindow()).top, view.stripHeight());

    page.readOnly = false;
    view.setPage(&page);
    EXPECT_EQ(GetWindowLongA(view.editorWindow(), GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(PageViewTest, AnotherPageReplacesTextAndSelectionAndAFloatingOneMovesTheWindow) {
    Page first = colouredPage();
    Page second;
    second.title = "二";
    second.text = "abcdef";
    second.selectionStart = 2;
    second.selectionEnd = 5;
    second.floating = true;
    second.floatingRect = {30, 40, 230, 190};
    view.setPage(&first);
    type("typed");
    view.setPage(&second);
    EXPECT_EQ(windowText(view.editorWindow()), "abcdef");
    EXPECT_EQ(SendMessageA(view.editorWindow(), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(selection(view.editorWindow()), Selection(2, 5));
    EXPECT_TRUE(sameRect(childRect(view.hwnd), RECT{30, 40, 230, 190}));
    EXPECT_EQ(first.text, colouredPage().text) << "setPage never stores";
}

TEST_F(PageViewTest, ASwitchLaysTheNewTextOutOnlyInItsOwnFont) {
    Page first = colouredPage();
    Page second = colouredPage();
    second.text = "abc";
    Page mincho = colouredPage();
    mincho.text = "def";
    mincho.format.editorFormat.fontFace = "ＭＳ 明朝";
    view.setPage(&first);
    editorProcedure = view.editorObject().previousProc;
    view.editorObject().previousProc = noteEditorFonts;
    textLengthsAtNewFont.clear();

    view.setPage(&second);
    EXPECT_TRUE(textLengthsAtNewFont.empty()) << "the same font stays";
    view.setPage(&mincho);
    EXPECT_EQ(textLengthsAtNewFont, std::vector<int>{0}) << "the new font arrives while the editor is empty";
    view.editorObject().previousProc = editorProcedure;
    EXPECT_EQ(windowText(view.editorWindow()), "def");
    EXPECT_STREQ(editorFont(view.editorWindow()).lfFaceName, "ＭＳ 明朝");
    EXPECT_EQ(SendMessageA(view.editorWindow(), EM_GETMODIFY, 0, 0), 0);
}

// Storing takes the selection always, the text and a new time only after
// typing; the typing itself is reported to the owner, key by key.
TEST_F(PageViewTest, StoringStampsTheTimeOnlyAfterTyping) {
    Page page = colouredPage();
    view.setPage(&page);
    SendMessageA(view.editorWindow(), EM_SETSEL, 2, 6);
    view.storePage();
    EXPECT_EQ(page.updateTime, 1000);
    EXPECT_EQ(page.text, colouredPage().text);
    EXPECT_EQ(page.selectionStart, 2);
    EXPECT_EQ(page.selectionEnd, 6);

    owner.clear();
    SendMessageA(view.editorWindow(), EM_SETSEL, 0, 0);
    type("A");
    EXPECT_EQ(owner.calls, std::vector<RecordingController::Call>{{"bookChanged"}});
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    view.storePage();
    const auto after = static_cast<std::int32_t>(std::time(nullptr));
    EXPECT_EQ(page.text, "A" + colouredPage().text);
    EXPECT_GE(page.updateTime, before);
    EXPECT_LE(page.updateTime, after);
    EXPECT_EQ(SendMessageA(view.editorWindow(), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(page.selectionStart, 1);
    EXPECT_EQ(page.selectionEnd, 1);

    // A second store without typing leaves the time alone.
    page.updateTime = 77;
    SendMessageA(view.editorWindow(), EM_SETSEL, 0, 1);
    view.storePage();
    EXPECT_EQ(page.updateTime, 77);
    EXPECT_EQ(page.selectionEnd, 1);
    EXPECT_EQ(page.selectionStart, 0);
}

TEST_F(PageViewTest, WithoutAPageNothingIsStored) {
    Page page = colouredPage();
    view.setPage(&page);
    type("z");
    view.setPage(nullptr);
    EXPECT_EQ(view.page(), nullptr);
    view.storePage();
    EXPECT_EQ(page.text, colouredPage().text);
    EXPECT_EQ(page.updateTime, 1000);

    // Nor once the window is gone: its empty text is no title.
    view.setPage(&page);
    DestroyWindow(view.hwnd);
    view.storePage();
    EXPECT_EQ(page.title, "買い物メモ");
    EXPECT_EQ(page.selectionStart, 4);
}

TEST_F(PageViewTest, CtrlF4TheCloseButtonAndADoubleClickOnTheStripEachShowThePageList) {
    Page page = colouredPage();
    view.setPage(&page);
    showAll();
    owner.clear();

    {
        const CtrlHeld ctrl;
        SendMessageA(view.editorWindow(), WM_KEYDOWN, VK_F4, 0x003E0001);
    }
    const std::vector<RecordingController::Call> showList{{"showPageList", -1, nullptr, true}};
    EXPECT_EQ(owner.calls, showList) << "with the focus in the list";

    owner.clear();
    SendMessageA(view.button(), BM_CLICK, 0, 0);
    flushEvents();
    EXPECT_EQ(owner.calls, showList);

    owner.clear();
    SendMessageA(view.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 3));
    EXPECT_EQ(owner.calls, showList);

    // F4 alone, and the button's other notifications, are no close request.
    owner.clear();
    SendMessageA(view.editorWindow(), WM_KEYDOWN, VK_F4, 0x003E0001);
    SendMessageA(view.hwnd, WM_COMMAND, MAKEWPARAM(CMD_CLOSE_VIEW, BN_SETFOCUS),
                 reinterpret_cast<LPARAM>(view.button()));
    EXPECT_EQ(owner.count("showPageList"), 0);
}

TEST_F(PageViewTest, TheCloseButtonSitsAtTheRightEndWhateverTheCaptionFont) {
    Page page = colouredPage();
    for (int points : {1, 10, 28}) {
        page.format.titleFormat.fontSize = points;
        view.setPage(&page);
        for (int width : {kViewWidth, 150}) {
            SetWindowPos(view.hwnd, nullptr, 0, 0, width, kViewHeight, SWP_NOZORDER | SWP_NOMOVE);
            RECT client{};
            GetClientRect(view.hwnd, &client);
            EXPECT_TRUE(sameRect(childRect(view.button()), RECT{client.right - 13, 2, client.right - 1, 14}))
                << points << " pt, width " << width;
        }
    }
    page.format.titleFormat.fontSize = 1;
    view.setPage(&page);
    EXPECT_LT(view.stripHeight(), 12) << "the strip is not enlarged for the button";
}

// The context menu is the memo menu, owned by the parent: its commands go to
// the parent window, not through the owner.
TEST_F(PageViewTest, TheContextMenuIsTheMemoMenuOwnedByTheParent) {
    Page page = colouredPage();
    view.setPage(&page);
    showAll();
    SetFocus(view.hwnd);
    EXPECT_EQ(GetFocus(), view.editorWindow()) << "the focus goes to the editor";
    RECT rect{};
    GetWindowRect(view.hwnd, &rect);
    MenuProbe menu;
    SendMessageA(view.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.hwnd),
                 MAKELPARAM(rect.left + 30, rect.top + 3));
    EXPECT_EQ(menu.items, (std::vector<UINT>{CMD_SHOW_LIST, CMD_FLOAT_PAGE, 0, CMD_PAGE_SETTINGS, CMD_DELETE_PAGE}));
    EXPECT_TRUE(owner.calls.empty());
}
