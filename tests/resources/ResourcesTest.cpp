// The compiled resource script, loaded the way the program loads it: the
// strings, menus and dialog texts as code page 932 through the ANSI calls,
// the dialog templates as real dialogs, and the pictures by identifier.
// The numbers in the tables are the program's fixed identifiers, written out
// so that a renumbered resource or command shows up here.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

std::string windowText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string className(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

bool sameName(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

// ---------------------------------------------------------------------------
// Strings

TEST(StringTable, LoadsEachStringWhole) {
    const struct {
        UINT id;
        const char* text;
    } strings[] = {
        {101, "Leafkeeper"},
        {102, "LKMAINWND"},
        {103, "LKDOCWND"},
        {104, "Leafkeeper.ini"},
    };
    for (const auto& s : strings) {
        SCOPED_TRACE(s.id);
        char buffer[256];
        std::memset(buffer, 'x', sizeof buffer);
        int length = LoadStringA(instance(), s.id, buffer, sizeof buffer);
        EXPECT_EQ(static_cast<int>(std::strlen(s.text)), length);
        EXPECT_STREQ(s.text, buffer);
    }
}

// ---------------------------------------------------------------------------
// Menus

struct ExpectedItem {
    UINT id;
    const char* text; // nullptr for a separator
};

struct ExpectedMenu {
    UINT id;
    const char* caption;
    std::vector<ExpectedItem> items;
};

constexpr const char* separator = nullptr;

TEST(Menus, EachHoldsOnePopUpWithItsItemsInOrder) {
    const ExpectedMenu menus[] = {
        {4, "Main",
         {{110, "常に表示(&D)"},
          {108, "ページの追加(&A)"},
          {0, "設定(&P)"},
          {0, separator},
          {111, "終了(&X)"}}},
        {104, "Memo",
         {{107, "ページリストの表示(&L)"},
          {104, "別ウィンドウで表示(&F)"},
          {0, separator},
          {106, "ページの設定(&P)"},
          {120, "ページの削除(&D)"}}},
        {112, "Tray",
         {{116, "ウィンドウを表示(&S)"},
          {117, "ウィンドウを隠す(&H)"},
          {0, separator},
          {113, "Leafkeeperについて(&A)"},
          {0, "設定(&P)"},
          {111, "終了(&X)"}}},
        {113, "Memo",
         {{103, "ブックに戻す(&B)"},
          {0, separator},
          {131, "タイトルを表示(&T)"},
          {129, "サイズを固定(&S)"},
          {110, "常に手前に表示(&O)"},
          {0, separator},
          {106, "ページの設定(&P)"},
          {120, "ページの削除(&D)"}}},
        {132, "LIST",
         {{116, "ページの表示(&S)"},
          {104, "別ウィンドウで表示(&F)"},
          {103, "ブックに戻す(&B)"},
          {0, separator},
          {0, "ページの設定(&P)"},
          {135, "ページの削除(&D)"},
          {0, separator},
          {133, "新規作成(&N)"}}},
    };

    for (const ExpectedMenu& want : menus) {
        SCOPED_TRACE("menu " + std::to_string(want.id));
        HMENU menu = LoadMenuA(instance(), MAKEINTRESOURCEA(want.id));
        ASSERT_NE(nullptr, menu);
        ASSERT_EQ(1, GetMenuItemCount(menu));
        char caption[64] = {};
        GetMenuStringA(menu, 0, caption, sizeof caption, MF_BYPOSITION);
        EXPECT_STREQ(want.caption, caption);

        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(nullptr, popup);
        ASSERT_EQ(static_cast<int>(want.items.size()), GetMenuItemCount(popup));
        for (UINT position = 0; position < want.items.size(); ++position) {
            const ExpectedItem& item = want.items[position];
            SCOPED_TRACE("item " + std::to_string(position));
            char text[128] = {};
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = sizeof text;
            ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &info));
            EXPECT_EQ(nullptr, info.hSubMenu);
            if (item.text == separator) {
                EXPECT_TRUE(info.fType & MFT_SEPARATOR);
                continue;
            }
            EXPECT_FALSE(info.fType & MFT_SEPARATOR);
            EXPECT_EQ(item.id, info.wID);
            EXPECT_STREQ(item.text, text);
            char byString[128] = {};
            GetMenuStringA(popup, position, byString, sizeof byString, MF_BYPOSITION);
            EXPECT_STREQ(item.text, byString);
        }
        DestroyMenu(menu);
    }
}

// ---------------------------------------------------------------------------
// Dialog templates

struct ExpectedControl {
    int id; // -1 for the statics and group boxes the code never addresses
    const char* className;
    const char* text; // nullptr: not compared (a picture)
    DWORD style;      // besides WS_CHILD | WS_VISIBLE, which every control has
    int x, y, cx, cy; // dialog units
    DWORD exStyle;
};

struct ExpectedDialog {
    int id;
    const char* caption;
    DWORD style;
    int cx, cy;
    const char* face;
    std::vector<ExpectedControl> controls; // in template (tab) order
};

const char* const uiGothic = "MS UI Gothic";
const char* const pGothic = "ＭＳ Ｐゴシック";
const DWORD pageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT;

std::vector<ExpectedDialog> expectedDialogs() {
    return {
        {102, "全般", pageStyle, 211, 128, uiGothic,
         {
             {-1, "Static", "タイトル(&T)：", SS_LEFT | WS_GROUP, 6, 8, 33, 8, 0},
             {1001, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 42, 6, 162, 12, 0},
             {1002, "Button", "書き込み禁止(&R)", BS_AUTOCHECKBOX | WS_TABSTOP, 72, 30, 64, 10, 0},
             {1003, "Button", "IME自動オン(&O)", BS_AUTOCHECKBOX | WS_TABSTOP, 144, 30, 60, 10, 0},
             {-1, "Button", "情報", BS_GROUPBOX, 6, 60, 198, 60, 0},
             {-1, "Static", "更新日時：", SS_LEFT | WS_GROUP, 18, 78, 32, 8, 0},
             {-1, "Static", "データサイズ：", SS_LEFT | WS_GROUP, 18, 96, 37, 8, 0},
             {1004, "Edit", "", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, 60, 78, 120, 12, 0},
             {1005, "Edit", "", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, 60, 96, 120, 12, 0},
         }},
        {103, "書式", pageStyle, 211, 128, uiGothic,
         {
             {1039, "ComboBox", "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 44, 34, 75, 85, 0},
             {1041, "Static", "サイズ(&S)：", SS_LEFT | WS_GROUP, 125, 38, 30, 8, 0},
             {1040, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 160, 34, 34, 88, 0},
             {-1, "Static", "テキスト色(&T)：", SS_LEFT | WS_GROUP, 113, 68, 40, 8, 0},
             {2001, "Button", "TEXT", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP, 154, 64, 38, 14, 0},
             {-1, "Static", "背景色(&B)：", SS_LEFT | WS_GROUP, 17, 68, 34, 8, 0},
             {2000, "Button", "BACK", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP, 53, 64, 38, 14, 0},
             {-1, "Static", "色(&C)：", SS_LEFT | WS_GROUP, 128, 107, 20, 8, 0},
             {2002, "Button", "FRAME", BS_OWNERDRAW | WS_TABSTOP, 152, 103, 38, 14, 0},
             {-1, "Button", "枠", BS_GROUPBOX, 5, 93, 198, 30, 0},
             {-1, "Static", "スタイル(&S)：", SS_LEFT | WS_GROUP, 11, 106, 34, 8, 0},
             {-1, "Button", "", BS_GROUPBOX, 5, 10, 198, 79, 0},
             {1010, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 11, 8, 63, 62, 0},
             {1042, "Static", "フォント(&F)：", SS_LEFT | WS_GROUP, 11, 38, 32, 8, 0},
             {1009, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 48, 103, 71, 62, 0},
         }},
        {117, "色の設定",
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | DS_CONTEXTHELP | DS_SETFONT,
         306, 185, pGothic,
         {
             {-1, "Static", "基本色(&B)：", SS_LEFT | WS_GROUP, 4, 4, 140, 9, 0},
             {720, "Static", "", SS_SIMPLE | WS_GROUP | WS_TABSTOP, 4, 14, 140, 86, 0},
             {-1, "Static", "作成した色(&C)：", SS_LEFT | WS_GROUP, 4, 106, 140, 9, 0},
             {721, "Static", "", SS_SIMPLE | WS_GROUP | WS_TABSTOP, 4, 116, 140, 28, 0},
             {719, "Button", "作成(&D) >", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 98, 166, 43, 14, 0},
             {1, "Button", "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 4, 166, 44, 14, 0},
             {2, "Button", "キャンセル", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 51, 166, 44, 14, 0},
             {1038, "Button", "&Help", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 89, 124, 44, 14, 0},
             {710, "Static", "", SS_SIMPLE | SS_SUNKEN, 152, 4, 128, 114, 0},
             {702, "Static", "", SS_SIMPLE | SS_SUNKEN, 286, 4, 8, 114, 0},
             {709, "Static", "", SS_SIMPLE | SS_SUNKEN, 152, 124, 39, 26, 0},
             {713, "Button", "&o", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 282, 200, 24, 14, 0},
             {730, "Static", "色", SS_RIGHT | WS_GROUP, 152, 153, 9, 9, 0},
             {731, "Static", "| 純色(&O)", SS_LEFT | WS_GROUP, 163, 153, 30, 9, 0},
             {723, "Static", "色合い(&E)：", SS_RIGHT | WS_GROUP, 203, 126, 32, 9, 0},
             {703, "Edit", "", WS_BORDER | WS_GROUP | WS_TABSTOP, 236, 124, 18, 12, 0},
             {724, "Static", "鮮やかさ(&S)：", SS_RIGHT | WS_GROUP, 197, 140, 38, 9, 0},
             {704, "Edit", "", WS_BORDER | WS_GROUP | WS_TABSTOP, 236, 138, 18, 12, 0},
             {725, "Static", "明るさ(&L)：", SS_RIGHT | WS_GROUP, 201, 154, 34, 9, 0},
             {705, "Edit", "", WS_BORDER | WS_GROUP | WS_TABSTOP, 236, 152, 18, 12, 0},
             {726, "Static", "赤(&R)：", SS_RIGHT | WS_GROUP, 257, 126, 24, 9, 0},
             {706, "Edit", "", WS_BORDER | WS_GROUP | WS_TABSTOP, 283, 124, 18, 12, 0},
             {727, "Static", "緑(&G)：", SS_RIGHT | WS_GROUP, 257, 140, 24, 9, 0},
             {707, "Edit", "", WS_BORDER | WS_GROUP | WS_TABSTOP, 283, 138, 18, 12, 0},
             {728, "Static", "青(&U)：", SS_RIGHT | WS_GROUP, 257, 154, 24, 9, 0},
             {708, "Edit", "", WS_BORDER | WS_GROUP | WS_TABSTOP, 283, 152, 18, 12, 0},
             {712, "Button", "色の追加(&A)", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 152, 166, 149, 14, 0},
             {1046, "Button", "自動設定(&T)", BS_PUSHBUTTON | WS_TABSTOP, 4, 149, 137, 14, 0},
         }},
        {121, "Leafkeeperについて",
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 129, 144, pGothic,
         {
             {1, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 49, 123, 31, 14, 0},
             {-1, "Static", "メモをいつでも手元に。", SS_LEFT | WS_GROUP, 15, 96, 100, 8, 0},
             {1047, "Static", "Mail: lk@example.org",
              SS_LEFT | SS_NOTIFY | SS_CENTERIMAGE | WS_GROUP, 26, 107, 78, 8, 0},
             {-1, "Static", nullptr, SS_BITMAP | SS_RIGHTJUST | SS_REALSIZEIMAGE, 7, 7, 114, 62, 0},
             {-1, "Static", "", SS_BLACKRECT, 7, 89, 115, 1, 0},
         }},
        {122, "全般", pageStyle, 211, 166, uiGothic,
         {
             {-1, "Button", "保存ファイル", BS_GROUPBOX, 7, 6, 198, 64, 0},
             {-1, "Static", "ブックデータは、以下のファイルに保存されています(&P)：", SS_LEFT | WS_GROUP, 12, 19,
              143, 8, 0},
             {1011, "Edit", "", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, 12, 32, 186, 12, WS_EX_STATICEDGE},
             {1012, "Button", "変更(&C)...", BS_PUSHBUTTON | WS_TABSTOP, 11, 50, 50, 14, 0},
             {-1, "Button", "起動ページ", BS_GROUPBOX, 7, 73, 199, 55, 0},
             {1015, "Button", "終了時のページを表示(&N)", BS_AUTORADIOBUTTON | WS_GROUP, 11, 84, 87, 10, 0},
             {1016, "Button", "ページリストを表示(&L)", BS_AUTORADIOBUTTON, 11, 98, 74, 10, 0},
             {1017, "Button", "次のページを表示(&P)", BS_AUTORADIOBUTTON, 11, 113, 75, 10, 0},
             {1018, "ComboBox", "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 106, 110, 87, 96, 0},
             {1013, "Button", "起動時にウィンドウを表示しない(&S)", BS_AUTOCHECKBOX | WS_TABSTOP, 6, 133, 110, 10,
              0},
             {1014, "Button", "アイコンクリックで終了する(&E)", BS_AUTOCHECKBOX | WS_TABSTOP, 6, 148, 92, 10, 0},
         }},
    };
}

// The bits of a control's style that say what kind of control it is: these
// are compared whole, the rest bit by bit.
DWORD typeMask(const char* controlClass) {
    if (lstrcmpiA(controlClass, "Button") == 0) return BS_TYPEMASK;
    if (lstrcmpiA(controlClass, "Static") == 0) return SS_TYPEMASK;
    if (lstrcmpiA(controlClass, "ComboBox") == 0) return 0x3; // simple, drop-down, drop-down list
    return 0;
}

INT_PTR CALLBACK inertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class Dialogs : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&init);
        // Parent of the property-page templates, which are child windows.
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                 instance(), nullptr);
        ASSERT_NE(nullptr, owner_);
    }
    void TearDown() override { DestroyWindow(owner_); }

    HWND create(int id) {
        return CreateDialogParamA(instance(), MAKEINTRESOURCEA(id), owner_, inertDialogProc, 0);
    }

    HWND owner_ = nullptr;
};

TEST_F(Dialogs, EachTemplateCreatesItsControlsInOrder) {
    for (const ExpectedDialog& want : expectedDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(want.id));
        HWND dialog = create(want.id);
        ASSERT_NE(nullptr, dialog);

        EXPECT_EQ(want.caption, windowText(dialog));
        DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
        EXPECT_EQ(want.style, style & want.style) << std::hex << style;

        RECT size = {0, 0, want.cx, want.cy};
        MapDialogRect(dialog, &size);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);

        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        ASSERT_NE(nullptr, font);
        LOGFONTA logFont = {};
        GetObjectA(font, sizeof logFont, &logFont);
        EXPECT_STREQ(want.face, logFont.lfFaceName);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(-MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72), logFont.lfHeight);
        ReleaseDC(nullptr, screen);

        HWND control = GetWindow(dialog, GW_CHILD);
        for (size_t index = 0; index < want.controls.size(); ++index, control = GetWindow(control, GW_HWNDNEXT)) {
            const ExpectedControl& c = want.controls[index];
            SCOPED_TRACE("control " + std::to_string(index) + " (" + std::to_string(c.id) + ")");
            ASSERT_NE(nullptr, control);
            // Templates without the EX form hold 16-bit identifiers.
            EXPECT_EQ(c.id & 0xFFFF, GetDlgCtrlID(control) & 0xFFFF);
            EXPECT_TRUE(sameName(className(control), c.className)) << className(control);
            if (c.text) {
                EXPECT_EQ(c.text, windowText(control));
            }

            DWORD controlStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
            DWORD exStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
            EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE), controlStyle & (WS_CHILD | WS_VISIBLE));
            DWORD type = typeMask(c.className);
            EXPECT_EQ(c.style & type, controlStyle & type) << std::hex << controlStyle;
            DWORD flags = c.style & ~type;
            // An edit control draws a border asked for with WS_BORDER as a
            // client edge. A combo box hands WS_VSCROLL to its drop-down
            // list, which shows the scroll bar once it has more items than
            // fit.
            if (sameName(c.className, "Edit") && (flags & WS_BORDER)) {
                EXPECT_TRUE((controlStyle & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE))
                    << std::hex << controlStyle << " " << exStyle;
                flags &= ~WS_BORDER;
            }
            if (sameName(c.className, "ComboBox") && (flags & WS_VSCROLL)) {
                COMBOBOXINFO combo = {};
                combo.cbSize = sizeof combo;
                ASSERT_TRUE(GetComboBoxInfo(control, &combo));
                for (int item = 0; item < 50; ++item) SendMessageA(control, CB_ADDSTRING, 0, LPARAM("item"));
                EXPECT_TRUE(GetWindowLongA(combo.hwndList, GWL_STYLE) & WS_VSCROLL);
                flags &= ~WS_VSCROLL;
            }
            EXPECT_EQ(flags, controlStyle & flags) << std::hex << controlStyle;
            // The tab order depends on these: none may be there unasked.
            for (DWORD bit : {DWORD(WS_GROUP), DWORD(WS_TABSTOP)}) {
                if (!(c.style & bit)) {
                    EXPECT_FALSE(controlStyle & bit) << std::hex << controlStyle;
                }
            }
            EXPECT_EQ(c.exStyle, exStyle & c.exStyle) << std::hex << exStyle;

            RECT expected = {c.x, c.y, c.cx, c.cy};
            MapDialogRect(dialog, &expected);
            RECT actual;
            GetWindowRect(control, &actual);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(expected.left, actual.left);
            EXPECT_EQ(expected.top, actual.top);
            // A picture static may take the size of its picture (Wine's does,
            // despite SS_REALSIZEIMAGE). A combo box's window is its closed
            // height; the listed one is the height of the drop-down list.
            bool picture = sameName(c.className, "Static") && (c.style & SS_TYPEMASK) == SS_BITMAP;
            if (!picture) {
                EXPECT_EQ(expected.right, actual.right - actual.left);
            }
            if (!picture && !sameName(c.className, "ComboBox")) {
                EXPECT_EQ(expected.bottom, actual.bottom - actual.top);
            }
        }
        EXPECT_EQ(nullptr, control) << "more controls than listed";
        DestroyWindow(dialog);
    }
}

TEST_F(Dialogs, AboutBoxShowsItsPictureAndAShortMailLink) {
    HWND dialog = create(121);
    ASSERT_NE(nullptr, dialog);

    // The picture static loads bitmap 145 by number.
    HWND picture = nullptr;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) picture = c;
    }
    ASSERT_NE(nullptr, picture);
    HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(nullptr, shown);
    BITMAP info = {};
    GetObjectA(shown, sizeof info, &info);
    EXPECT_EQ(200, info.bmWidth);
    EXPECT_EQ(93, info.bmHeight);

    // The link paints at most 49 bytes of its text, on one line within the
    // control.
    HWND linkControl = GetDlgItem(dialog, 1047);
    std::string link = windowText(linkControl);
    EXPECT_EQ(0u, link.rfind("Mail: ", 0)) << link;
    EXPECT_LE(link.size(), 49u);
    EXPECT_NE(std::string::npos, link.find('@', 6)) << link;
    HDC dc = GetDC(linkControl);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, link.c_str(), static_cast<int>(link.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(linkControl, dc);
    RECT client;
    GetClientRect(linkControl, &client);
    EXPECT_LE(extent.cx, client.right);
    DestroyWindow(dialog);
}

// ---------------------------------------------------------------------------
// Icons, cursor and bitmap

struct IconImage {
    int width, height, bits;
    bool operator==(const IconImage& o) const { return width == o.width && height == o.height && bits == o.bits; }
};

std::ostream& operator<<(std::ostream& out, const IconImage& i) {
    return out << i.width << "x" << i.height << "x" << i.bits;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

// The images of an icon resource as stored, read from their bitmap headers.
std::vector<IconImage> iconImages(int id) {
    std::vector<IconImage> images;
    HRSRC group = FindResourceA(instance(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (!group) return images;
    auto* directory = static_cast<const WORD*>(LockResource(LoadResource(instance(), group)));
    auto* entries = reinterpret_cast<const GroupIconEntry*>(directory + 3);
    for (WORD k = 0; k < directory[2]; ++k) {
        HRSRC image = FindResourceA(instance(), MAKEINTRESOURCEA(entries[k].id), MAKEINTRESOURCEA(3)); // RT_ICON
        if (!image) continue;
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(instance(), image)));
        images.push_back({header->biWidth, header->biHeight / 2, header->biBitCount});
    }
    return images;
}

// How many pixels of a size x size square an icon covers when drawn.
int coveredPixels(HICON icon, int size) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    const DWORD background = 0x00FF00FF;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int k = 0; k < size * size; ++k) pixels[k] = background;
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    int covered = 0;
    for (int k = 0; k < size * size; ++k) covered += (pixels[k] & 0xFFFFFF) != background;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return covered;
}

TEST(Pictures, IconsHoldTheirImagesAndDrawOnATransparentGround) {
    const struct {
        int id;
        std::vector<IconImage> images;
    } icons[] = {
        {103, {{32, 32, 8}, {16, 16, 8}}}, // application
        {127, {{8, 8, 4}}},                // close cross
        {130, {{16, 16, 1}}},              // tool bar glyphs
        {131, {{16, 16, 1}}},
        {132, {{16, 16, 1}}},
        {133, {{16, 16, 1}}},
        {134, {{16, 16, 1}}},
        {135, {{16, 16, 1}}},
        {136, {{16, 16, 1}}},
        {137, {{16, 16, 1}}},
        {140, {{16, 16, 4}}}, // notification area
    };
    for (const auto& icon : icons) {
        SCOPED_TRACE("icon " + std::to_string(icon.id));
        EXPECT_EQ(icon.images, iconImages(icon.id));
        for (const IconImage& image : icon.images) {
            SCOPED_TRACE(image.width);
            HICON loaded = static_cast<HICON>(
                LoadImageA(instance(), MAKEINTRESOURCEA(icon.id), IMAGE_ICON, image.width, image.height, 0));
            ASSERT_NE(nullptr, loaded);
            int covered = coveredPixels(loaded, image.width);
            int area = image.width * image.height;
            EXPECT_GT(covered, area / 10);
            EXPECT_LT(covered, area * 9 / 10);
            DestroyIcon(loaded);
        }
    }
}

// A glyph given another one's picture (move down drawn as move up, say)
// would pass the test above; each must be a picture of its own.
TEST(Pictures, ToolBarGlyphsDifferFromEachOther) {
    std::vector<std::vector<DWORD>> drawn;
    for (int id = 130; id <= 137; ++id) {
        HICON icon = static_cast<HICON>(LoadImageA(instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(nullptr, icon) << id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        std::vector<DWORD> mask(16 * 32);
        BITMAPINFO header = {};
        header.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC dc = GetDC(nullptr);
        int rows = GetDIBits(dc, info.hbmMask, 0, 32, mask.data(), &header, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        EXPECT_GT(rows, 0) << id;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
        for (size_t k = 0; k < drawn.size(); ++k) EXPECT_NE(drawn[k], mask) << id << " and " << 130 + k;
        drawn.push_back(mask);
    }
}

TEST(Pictures, HandCursorPointsWithItsFingerTip) {
    HCURSOR cursor = LoadCursorA(instance(), MAKEINTRESOURCEA(139));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(12u, info.xHotspot);
    EXPECT_EQ(5u, info.yHotspot);
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(32, mask.bmWidth);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST(Pictures, AboutBitmapIs200By93TrueColourOnALightGround) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(instance(), MAKEINTRESOURCEA(145), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bitmap);
    DIBSECTION section = {};
    ASSERT_EQ(static_cast<int>(sizeof section), GetObjectA(bitmap, sizeof section, &section));
    EXPECT_EQ(200, section.dsBm.bmWidth);
    EXPECT_EQ(93, section.dsBm.bmHeight);
    EXPECT_EQ(24, section.dsBm.bmBitsPixel);

    // The corners are background: light, so the picture sits on the dialog.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (POINT p : {POINT{0, 0}, POINT{199, 0}, POINT{0, 92}, POINT{199, 92}}) {
        COLORREF c = GetPixel(dc, p.x, p.y);
        EXPECT_GT(GetRValue(c) + GetGValue(c) + GetBValue(c), 3 * 200) << p.x << "," << p.y;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

// ---------------------------------------------------------------------------
// Language and version

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

BOOL CALLBACK collectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
    EnumResourceLanguagesA(module, type, name, collectLanguage, found);
    return TRUE;
}

TEST(Languages, EveryResourceOfTheProgramIsJapanese) {
    // RT_CURSOR, RT_BITMAP, RT_ICON, RT_MENU, RT_DIALOG, RT_STRING,
    // RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION.
    for (int type : {1, 2, 3, 4, 5, 6, 12, 14, 16}) {
        SCOPED_TRACE("type " + std::to_string(type));
        std::vector<WORD> languages;
        EnumResourceNamesA(instance(), MAKEINTRESOURCEA(type), collectName, reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_FALSE(languages.empty());
        for (WORD language : languages) EXPECT_EQ(0x0411, language);
    }
}

// version.dll is loaded at run time; the program itself never reads its
// version block, so it does not link the library.
class VersionBlock : public testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("version.dll");
        ASSERT_NE(nullptr, library_);
        auto sizeOf = reinterpret_cast<DWORD(WINAPI*)(LPCSTR, LPDWORD)>(
            reinterpret_cast<void*>(GetProcAddress(library_, "GetFileVersionInfoSizeA")));
        auto read = reinterpret_cast<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>(
            reinterpret_cast<void*>(GetProcAddress(library_, "GetFileVersionInfoA")));
        query_ = reinterpret_cast<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>(
            reinterpret_cast<void*>(GetProcAddress(library_, "VerQueryValueA")));
        ASSERT_TRUE(sizeOf && read && query_);
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        DWORD size = sizeOf(path, nullptr);
        ASSERT_GT(size, 0u);
        data_.resize(size);
        ASSERT_TRUE(read(path, 0, size, data_.data()));
    }
    void TearDown() override {
        if (library_) FreeLibrary(library_);
    }

    void* value(const char* path, UINT* length) {
        void* found = nullptr;
        return query_(data_.data(), path, &found, length) ? found : nullptr;
    }

    HMODULE library_ = nullptr;
    BOOL(WINAPI* query_)(LPCVOID, LPCSTR, LPVOID*, PUINT) = nullptr;
    std::vector<char> data_;
};

TEST_F(VersionBlock, NamesTheProgramInJapanese) {
    UINT length = 0;
    auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value("\\", &length));
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);

    auto* translation = static_cast<WORD*>(value("\\VarFileInfo\\Translation", &length));
    ASSERT_NE(nullptr, translation);
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);

    const struct {
        const char* name;
        const char* text;
    } strings[] = {
        {"FileDescription", "メモ書き管理ソフトウェア"},
        {"FileVersion", "1.00"},
        {"ProductVersion", "1.00"},
        {"InternalName", "lk"},
        {"OriginalFilename", "Leafkeeper"},
        {"ProductName", "Leafkeeper"},
    };
    for (const auto& s : strings) {
        SCOPED_TRACE(s.name);
        std::string path = std::string("\\StringFileInfo\\041104B0\\") + s.name;
        auto* text = static_cast<const char*>(value(path.c_str(), &length));
        ASSERT_NE(nullptr, text);
        EXPECT_STREQ(s.text, text);
    }
    EXPECT_NE(nullptr, value("\\StringFileInfo\\041104B0\\CompanyName", &length));
    EXPECT_NE(nullptr, value("\\StringFileInfo\\041104B0\\LegalCopyright", &length));
}

} // namespace
