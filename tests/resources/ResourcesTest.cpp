// The compiled resource script, loaded the way the program loads it: the
// strings, menus and dialog texts as code page 932 through the ANSI calls,
// the dialog templates as real dialogs, and the pictures by identifier. The
// numbers are the program's fixed identifiers, written out so that a
// renumbered resource or command shows up here. Layout (rectangles, styles)
// is left to the script: what is checked is what the code addresses and what
// a user reads.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

std::string windowText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

TEST(Strings, LoadWhole) {
    const std::pair<UINT, const char*> strings[] = {
        {101, "Leafkeeper"}, {102, "LKMAINWND"}, {103, "LKDOCWND"}, {104, "Leafkeeper.ini"}};
    for (const auto& [id, text] : strings) {
        char buffer[256];
        EXPECT_EQ(LoadStringA(instance(), id, buffer, sizeof buffer), static_cast<int>(std::string(text).size()));
        EXPECT_STREQ(buffer, text) << id;
    }
}

// Each menu holds one pop-up with its items in order; 0 is a separator or an
// item the code finds by position.
TEST(Menus, EachHoldsOnePopUpWithItsItemsInOrder) {
    const struct {
        UINT id;
        std::vector<std::pair<UINT, const char*>> items; // null text: a separator
    } menus[] = {
        {4, {{110, "常に表示(&D)"}, {108, "ページの追加(&A)"}, {0, "設定(&P)"}, {0, nullptr}, {111, "終了(&X)"}}},
        {104,
         {{107, "ページリストの表示(&L)"}, {104, "別ウィンドウで表示(&F)"}, {0, nullptr}, {106, "ページの設定(&P)"},
          {120, "ページの削除(&D)"}}},
        {112,
         {{116, "ウィンドウを表示(&S)"}, {117, "ウィンドウを隠す(&H)"}, {0, nullptr}, {113, "Leafkeeperについて(&A)"},
          {0, "設定(&P)"}, {111, "終了(&X)"}}},
        {113,
         {{103, "ブックに戻す(&B)"}, {0, nullptr}, {131, "タイトルを表示(&T)"}, {129, "サイズを固定(&S)"},
          {110, "常に手前に表示(&O)"}, {0, nullptr}, {106, "ページの設定(&P)"}, {120, "ページの削除(&D)"}}},
        {132,
         {{116, "ページの表示(&S)"}, {104, "別ウィンドウで表示(&F)"}, {103, "ブックに戻す(&B)"}, {0, nullptr},
          {0, "ページの設定(&P)"}, {135, "ページの削除(&D)"}, {0, nullptr}, {133, "新規作成(&N)"}}},
    };
    for (const auto& want : menus) {
        SCOPED_TRACE("menu " + std::to_string(want.id));
        HMENU menu = LoadMenuA(instance(), MAKEINTRESOURCEA(want.id));
        ASSERT_EQ(GetMenuItemCount(menu), 1);
        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(want.items.size()));
        for (UINT position = 0; position < want.items.size(); ++position) {
            const auto& [id, text] = want.items[position];
            char shown[128] = {};
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
            info.dwTypeData = shown;
            info.cch = sizeof shown;
            ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &info));
            EXPECT_EQ(info.hSubMenu, nullptr);
            EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, text == nullptr) << position;
            if (text) {
                EXPECT_EQ(info.wID, id) << position;
                EXPECT_STREQ(shown, text) << position;
            }
        }
        DestroyMenu(menu);
    }
}

INT_PTR CALLBACK inertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog of a template, created over an owner window (the property-page
// templates are child templates).
class Template : public testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, instance(), nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    HWND create(int id) const { return CreateDialogParamA(instance(), MAKEINTRESOURCEA(id), owner, inertDialogProc, 0); }

    HWND owner = nullptr;
};

// Each template creates; its caption, font and controls in tab order, each
// with its identifier (-1 for the statics the code never addresses), class
// and text (null: a picture).
TEST_F(Template, EachCreatesItsControlsInOrder) {
    struct Control {
        int id;
        const char* className;
        const char* text;
    };
    const struct {
        int id;
        const char* caption;
        const char* face;
        std::vector<Control> controls;
    } dialogs[] = {
        {102, "全般", "MS UI Gothic",
         {{-1, "Static", "タイトル(&T)："}, {1001, "Edit", ""}, {1002, "Button", "書き込み禁止(&R)"},
          {1003, "Button", "IME自動オン(&O)"}, {-1, "Button", "情報"}, {-1, "Static", "更新日時："},
          {-1, "Static", "データサイズ："}, {1004, "Edit", ""}, {1005, "Edit", ""}}},
        {103, "書式", "MS UI Gothic",
         {{1039, "ComboBox", ""}, {1041, "Static", "サイズ(&S)："}, {1040, "ComboBox", ""},
          {-1, "Static", "テキスト色(&T)："}, {2001, "Button", "TEXT"}, {-1, "Static", "背景色(&B)："},
          {2000, "Button", "BACK"}, {-1, "Static", "色(&C)："}, {2002, "Button", "FRAME"}, {-1, "Button", "枠"},
          {-1, "Static", "スタイル(&S)："}, {-1, "Button", ""}, {1010, "ComboBox", ""},
          {1042, "Static", "フォント(&F)："}, {1009, "ComboBox", ""}}},
        {117, "色の設定", "ＭＳ Ｐゴシック",
         {{-1, "Static", "基本色(&B)："}, {720, "Static", ""}, {-1, "Static", "作成した色(&C)："}, {721, "Static", ""},
          {719, "Button", "作成(&D) >"}, {1, "Button", "OK"}, {2, "Button", "キャンセル"}, {1038, "Button", "&Help"},
          {710, "Static", ""}, {702, "Static", ""}, {709, "Static", ""}, {713, "Button", "&o"}, {730, "Static", "色"},
          {731, "Static", "| 純色(&O)"}, {723, "Static", "色合い(&E)："}, {703, "Edit", ""},
          {724, "Static", "鮮やかさ(&S)："}, {704, "Edit", ""}, {725, "Static", "明るさ(&L)："}, {705, "Edit", ""},
          {726, "Static", "赤(&R)："}, {706, "Edit", ""}, {727, "Static", "緑(&G)："}, {707, "Edit", ""},
          {728, "Static", "青(&U)："}, {708, "Edit", ""}, {712, "Button", "色の追加(&A)"},
          {1046, "Button", "自動設定(&T)"}}},
        {121, "Leafkeeperについて", "ＭＳ Ｐゴシック",
         {{1, "Button", "OK"}, {-1, "Static", "メモをいつでも手元に。"}, {1047, "Static", "Mail: lk@example.org"},
          {-1, "Static", nullptr}, {-1, "Static", ""}}},
        {122, "全般", "MS UI Gothic",
         {{-1, "Button", "保存ファイル"}, {-1, "Static", "ブックデータは、以下のファイルに保存されています(&P)："},
          {1011, "Edit", ""}, {1012, "Button", "変更(&C)..."}, {-1, "Button", "起動ページ"},
          {1015, "Button", "終了時のページを表示(&N)"}, {1016, "Button", "ページリストを表示(&L)"},
          {1017, "Button", "次のページを表示(&P)"}, {1018, "ComboBox", ""},
          {1013, "Button", "起動時にウィンドウを表示しない(&S)"}, {1014, "Button", "アイコンクリックで終了する(&E)"}}},
    };
    for (const auto& want : dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(want.id));
        HWND dialog = create(want.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(windowText(dialog), want.caption);
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, want.face);
        HWND control = GetWindow(dialog, GW_CHILD);
        for (const Control& c : want.controls) {
            SCOPED_TRACE(c.id);
            ASSERT_NE(control, nullptr);
            // Templates without the EX form hold 16-bit identifiers.
            EXPECT_EQ(c.id & 0xFFFF, GetDlgCtrlID(control) & 0xFFFF);
            char className[64] = {};
            GetClassNameA(control, className, sizeof className);
            EXPECT_EQ(lstrcmpiA(className, c.className), 0) << className;
            if (c.text) {
                EXPECT_EQ(windowText(control), c.text);
            }
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr) << "more controls than listed";
        DestroyWindow(dialog);
    }
}

// The picture static loads bitmap 145; the link paints at most 49 bytes of
// its text, on one line within the control.
TEST_F(Template, TheAboutBoxShowsItsPictureAndAShortMailLink) {
    HWND dialog = create(121);
    HWND picture = nullptr;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        picture = (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP ? c : picture;
    }
    BITMAP info = {};
    GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 200);
    EXPECT_EQ(info.bmHeight, 93);

    HWND link = GetDlgItem(dialog, 1047);
    const std::string text = windowText(link);
    EXPECT_LE(text.size(), 49u);
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    RECT client;
    GetClientRect(link, &client);
    EXPECT_LE(extent.cx, client.right);
    DestroyWindow(dialog);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

// The images of an icon resource as stored ("width x height x bits"), read
// from their bitmap headers.
std::vector<std::string> iconImages(int id) {
    std::vector<std::string> images;
    HRSRC group = FindResourceA(instance(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    auto* directory = static_cast<const WORD*>(LockResource(LoadResource(instance(), group)));
    auto* entries = reinterpret_cast<const GroupIconEntry*>(directory + 3);
    for (WORD k = 0; group && k < directory[2]; ++k) {
        HRSRC image = FindResourceA(instance(), MAKEINTRESOURCEA(entries[k].id), MAKEINTRESOURCEA(3)); // RT_ICON
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(instance(), image)));
        images.push_back(std::to_string(header->biWidth) + "x" + std::to_string(header->biHeight / 2) + "x" +
                         std::to_string(header->biBitCount));
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
    auto* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + size * size, 0x00FF00FF);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const int covered = size * size - static_cast<int>(std::count(pixels, pixels + size * size, 0x00FF00FF));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return covered;
}

// Each icon has its images and draws on a transparent ground; the tool bar
// glyphs (130 to 137) are pictures of their own, not copies of one another.
TEST(Pictures, IconsHoldTheirImagesAndDrawOnATransparentGround) {
    const std::pair<int, std::vector<std::string>> icons[] = {
        {103, {"32x32x8", "16x16x8"}}, {127, {"8x8x4"}},   {130, {"16x16x1"}}, {131, {"16x16x1"}},
        {132, {"16x16x1"}},            {133, {"16x16x1"}}, {134, {"16x16x1"}}, {135, {"16x16x1"}},
        {136, {"16x16x1"}},            {137, {"16x16x1"}}, {140, {"16x16x4"}},
    };
    std::vector<std::vector<DWORD>> glyphs;
    for (const auto& [id, images] : icons) {
        SCOPED_TRACE("icon " + std::to_string(id));
        EXPECT_EQ(iconImages(id), images);
        for (const std::string& image : images) {
            const int size = std::stoi(image);
            HICON loaded = static_cast<HICON>(LoadImageA(instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(loaded, nullptr);
            const int covered = coveredPixels(loaded, size);
            EXPECT_GT(covered, size * size / 10);
            EXPECT_LT(covered, size * size * 9 / 10);
            ICONINFO info = {};
            GetIconInfo(loaded, &info);
            std::vector<DWORD> mask(16 * 32);
            BITMAPINFO header = {};
            header.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            HDC screen = GetDC(nullptr);
            GetDIBits(screen, info.hbmMask, 0, 32, mask.data(), &header, DIB_RGB_COLORS);
            ReleaseDC(nullptr, screen);
            if (id >= 130 && id <= 137) {
                EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), mask), 0) << "the same picture as another glyph";
                glyphs.push_back(mask);
            }
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(loaded);
        }
    }
}

// The hand cursor points with its finger tip; the About picture is 200 x 93
// true colour with light corners, so that it sits on the dialog.
TEST(Pictures, TheHandCursorAndTheAboutBitmap) {
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(instance(), MAKEINTRESOURCEA(139)), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 5u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(instance(), MAKEINTRESOURCEA(145), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, 200);
    EXPECT_EQ(section.dsBm.bmHeight, 93);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (POINT p : {POINT{0, 0}, POINT{199, 0}, POINT{0, 92}, POINT{199, 92}}) {
        const COLORREF c = GetPixel(dc, p.x, p.y);
        EXPECT_GT(GetRValue(c) + GetGValue(c) + GetBValue(c), 3 * 200) << p.x << "," << p.y;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

BOOL CALLBACK collectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
    EnumResourceLanguagesA(module, type, name, collectLanguage, found);
    return TRUE;
}

// RT_CURSOR, RT_BITMAP, RT_ICON, RT_MENU, RT_DIALOG, RT_STRING,
// RT_GROUP_CURSOR, RT_GROUP_ICON and RT_VERSION are all Japanese.
TEST(Languages, EveryResourceOfTheProgramIsJapanese) {
    for (int type : {1, 2, 3, 4, 5, 6, 12, 14, 16}) {
        std::vector<WORD> languages;
        EnumResourceNamesA(instance(), MAKEINTRESOURCEA(type), collectName, reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_FALSE(languages.empty()) << type;
        EXPECT_EQ(std::count(languages.begin(), languages.end(), 0x0411), static_cast<long>(languages.size())) << type;
    }
}

TEST(VersionBlock, NamesTheProgramInJapanese) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::vector<char> data(GetFileVersionInfoSizeA(path, nullptr));
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(data.size()), data.data()));
    const auto value = [&](const std::string& name) {
        void* found = nullptr;
        UINT length = 0;
        return VerQueryValueA(data.data(), name.c_str(), &found, &length) ? found : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value("\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    const auto* translation = static_cast<const WORD*>(value("\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);
    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "メモ書き管理ソフトウェア"}, {"FileVersion", "1.00"}, {"ProductVersion", "1.00"},
        {"InternalName", "lk"}, {"OriginalFilename", "Leafkeeper"}, {"ProductName", "Leafkeeper"}};
    for (const auto& [name, text] : strings) {
        const auto* shown = static_cast<const char*>(value(std::string("\\StringFileInfo\\041104B0\\") + name));
        ASSERT_NE(shown, nullptr) << name;
        EXPECT_STREQ(shown, text);
    }
}

} // namespace
