// The compiled resource script, loaded the way the program loads it: strings,
// menus and dialog texts as code page 932 through the ANSI calls, dialogs from
// their templates, pictures by identifier. The numbers are the identifiers
// the code dispatches on, so a renumbered command shows up here.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

std::string windowText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

INT_PTR CALLBACK inertDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

Icon loadIcon(int id, int size) {
    return Icon(static_cast<HICON>(LoadImageA(instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
}

constexpr DWORD kGround = 0x00FF00FF;

// The icon drawn (stretched if it is another size) into a square of `size`
// pixels on a magenta ground, row by row.
std::vector<DWORD> drawnPixels(HICON icon, int size) {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, target);
    const auto first = static_cast<DWORD*>(bits);
    std::fill_n(first, size * size, kGround);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(first, first + size * size);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return pixels;
}

// The size of the image in the icon's resource that LoadImage starts from
// when it is asked for `size` pixels: the stored image nearest that size.
LONG storedSize(int id, int size) {
    const HRSRC group = FindResourceA(instance(), MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    const auto directory = group ? static_cast<PBYTE>(LockResource(LoadResource(instance(), group))) : nullptr;
    const int image = directory ? LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR) : 0;
    const HRSRC found = image ? FindResourceA(instance(), MAKEINTRESOURCEA(image), RT_ICON) : nullptr;
    const auto header =
        found ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(instance(), found))) : nullptr;
    return header ? header->biWidth : 0;
}

} // namespace

// Each icon draws on a transparent ground: it covers some of its square but
// not all. The tool bar glyphs (130 to 138) are pictures of their own, not
// copies of one another. The hand cursor points with its finger tip.
TEST(Pictures, IconsDrawOnATransparentGroundAndTheGlyphsDiffer) {
    std::vector<std::vector<DWORD>> glyphs;
    for (const int id : {103, 127, 130, 131, 132, 133, 134, 135, 136, 137, 138, 140}) {
        const Icon icon = loadIcon(id, 16);
        ASSERT_NE(icon, nullptr) << id;
        const std::vector<DWORD> pixels = drawnPixels(icon.get(), 16);
        const auto ground = std::count(pixels.begin(), pixels.end(), kGround);
        EXPECT_GT(ground, 25) << id;
        EXPECT_LT(ground, 231) << id;
        if (id >= 130 && id <= 138) {
            EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), pixels), 0) << id;
            glyphs.push_back(pixels);
        }
    }
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(instance(), MAKEINTRESOURCEA(139)), &hand));
    EXPECT_EQ(hand.xHotspot, 12u);
    EXPECT_EQ(hand.yHotspot, 5u);
    DeleteObject(hand.hbmColor);
    DeleteObject(hand.hbmMask);
}

// Each icon comes in every size the display scales of 100 to 200 percent ask
// for (the first size is the one at 100 percent), each drawn for its size:
// the resource holds an image of that size, which LoadImage gives unscaled,
// and it is none of the icon's smaller sizes stretched to it. (A larger size
// shrunk may well give the smaller picture: that is how they were designed.)
TEST(Pictures, EachIconIsDrawnForEverySizeTheScalesAskFor) {
    const struct {
        std::vector<int> ids;
        std::vector<int> sizes;
    } icons[] = {
        {{103, 130, 131, 132, 133, 134, 135, 136, 137, 138}, {16, 20, 24, 32, 48}},
        {{140}, {16, 20, 24, 32}},
        {{127}, {8, 10, 12, 16}},
    };
    for (const auto& group : icons) {
        for (const int id : group.ids) {
            for (const int size : group.sizes) {
                SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
                EXPECT_EQ(storedSize(id, size), size);
                const Icon icon = loadIcon(id, size);
                ASSERT_NE(icon, nullptr);
                const std::vector<DWORD> pixels = drawnPixels(icon.get(), size);
                for (const int smaller : group.sizes) {
                    if (smaller < size) {
                        EXPECT_NE(drawnPixels(loadIcon(id, smaller).get(), size), pixels)
                            << "stretched from " << smaller;
                    }
                }
            }
        }
    }
}

TEST(Strings, LoadWhole) {
    const std::pair<UINT, const char*> strings[] = {
        {101, "Leafkeeper"}, {102, "LKMAINWND"}, {103, "LKDOCWND"}, {104, "Leafkeeper.ini"}, {410, "ページの検索"}};
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
         {{107, "ページリストの表示(&L)"},
          {104, "別ウィンドウで表示(&F)"},
          {0, nullptr},
          {140, "ページ内を検索(&E)...\tCtrl+F"},
          {106, "ページの設定(&P)"},
          {120, "ページの削除(&D)"}}},
        {112,
         {{116, "ウィンドウを表示(&S)"},
          {117, "ウィンドウを隠す(&H)"},
          {0, nullptr},
          {113, "Leafkeeperについて(&A)"},
          {0, "設定(&P)"},
          {111, "終了(&X)"}}},
        {113,
         {{103, "ブックに戻す(&B)"},
          {0, nullptr},
          {131, "タイトルを表示(&T)"},
          {129, "サイズを固定(&S)"},
          {110, "常に手前に表示(&O)"},
          {0, nullptr},
          {140, "ページ内を検索(&E)...\tCtrl+F"},
          {106, "ページの設定(&P)"},
          {120, "ページの削除(&D)"}}},
        {132,
         {{116, "ページの表示(&S)"},
          {104, "別ウィンドウで表示(&F)"},
          {103, "ブックに戻す(&B)"},
          {0, nullptr},
          {143, "ページを検索(&E)\tCtrl+F"},
          {0, "ページの設定(&P)"},
          {135, "ページの削除(&D)"},
          {0, nullptr},
          {133, "新規作成(&N)"}}},
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

// Each template creates a dialog with its caption, and the controls the code
// addresses carry their identifiers and texts.
TEST(Dialogs, EachTemplateCreatesWithTheControlsTheCodeAddresses) {
    const HWND owner =
        CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, instance(), nullptr);
    const struct {
        int id;
        const char* caption;
        std::vector<std::pair<int, const char*>> controls; // null text: not checked
    } dialogs[] = {
        {102, "全般", {{1001, ""}, {1002, "書き込み禁止(&R)"}, {1003, "IME自動オン(&O)"}, {1004, ""}, {1005, ""}}},
        {103,
         "書式",
         {{1039, nullptr},
          {1040, nullptr},
          {1041, "サイズ(&S)："},
          {1042, "フォント(&F)："},
          {2000, "BACK"},
          {2001, "TEXT"},
          {2002, "FRAME"},
          {1009, nullptr},
          {1010, nullptr}}},
        {117, "色の設定", {{719, "作成(&D) >"}, {712, "色の追加(&A)"}, {1046, "自動設定(&T)"}}},
        {121, "Leafkeeperについて", {{IDOK, "OK"}, {1047, "Mail: lk@example.org"}}},
        {122,
         "全般",
         {{1011, ""},
          {1012, "変更(&C)..."},
          {1013, "起動時にウィンドウを表示しない(&S)"},
          {1014, "アイコンクリックで終了する(&E)"},
          {1015, "終了時のページを表示(&N)"},
          {1016, "ページリストを表示(&L)"},
          {1017, "次のページを表示(&P)"},
          {1018, nullptr}}},
        {123, "ページ内の検索", {{1048, ""}, {IDOK, "次を検索"}, {IDCANCEL, "キャンセル"}}},
    };
    for (const auto& want : dialogs) {
        SCOPED_TRACE(want.id);
        const HWND dialog = CreateDialogParamA(instance(), MAKEINTRESOURCEA(want.id), owner, inertDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(windowText(dialog), want.caption);
        for (const auto& [id, text] : want.controls) {
            const HWND control = GetDlgItem(dialog, id);
            EXPECT_NE(control, nullptr) << id;
            EXPECT_TRUE(!text || windowText(control) == text) << id << " " << windowText(control);
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(owner);
}

// The manifest declares the program aware of the display scale, per monitor
// where the system knows it, so Windows draws it at the display's DPI rather
// than stretching a 96-DPI picture of it.
TEST(Manifest, DeclaresTheProgramAwareOfTheDisplayScale) {
    const HRSRC found = FindResourceA(instance(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(instance(), found)));
    const std::string manifest(bytes, SizeofResource(instance(), found));
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
}
