#include "framework/DcScopes.h"
#include "framework/Fonts.h"
#include "framework/UniqueHandle.h"
#include "framework/WindowProcedure.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

bool alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

LOGFONTA logFontOf(HFONT font) {
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

} // namespace

// Reset deletes the old handle but never the one it already holds; a move
// hands ownership over and the target gives up its own handle.
TEST(UniqueHandle, DeletesOnResetDestructionAndMoveAssignment) {
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH second = CreateSolidBrush(RGB(1, 2, 3));
    {
        GdiObject<HBRUSH> brush(first);
        brush.reset(second);
        EXPECT_FALSE(alive(first));
        brush.reset(second);
        EXPECT_TRUE(alive(second));
        GdiObject<HBRUSH> target(CreateSolidBrush(RGB(1, 2, 3)));
        const HBRUSH replaced = target.get();
        target = std::move(brush);
        EXPECT_FALSE(alive(replaced));
        EXPECT_FALSE(brush);
        EXPECT_EQ(target.get(), second);
        GdiObject<HBRUSH> moved(std::move(target));
        EXPECT_FALSE(target);
        EXPECT_TRUE(alive(second));
    }
    EXPECT_FALSE(alive(second));

    const BYTE masks[32 * 4] = {};
    HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, masks, masks);
    HMENU menu = CreatePopupMenu();
    {
        OwnedIcon ownedIcon(icon);
        OwnedMenu ownedMenu(menu);
        OwnedImageList list(ImageList_Create(16, 16, ILC_MASK, 0, 1));
        ASSERT_TRUE(list);
    }
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_FALSE(IsMenu(menu));
}

TEST(DcScopes, SelectedObjectPutsThePreviousObjectBackAndSelectsNothingForNull) {
    HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ before = GetCurrentObject(memory, OBJ_BRUSH);
    const GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(9, 8, 7)));
    {
        SelectedObject selected(memory, brush.get());
        EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), brush.get());
        { SelectedObject nothing(memory, nullptr); }
        EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), before);
    DeleteDC(memory);
}

TEST(DcScopes, PaintDcValidatesAndWindowDcCoversTheChosenArea) {
    static const bool registered = registerWindowClass("LkDcScopesTest", 0, nullptr, nullptr, nullptr, nullptr) != 0;
    ASSERT_TRUE(registered);
    HWND window = CreateWindowExA(0, "LkDcScopesTest", nullptr, WS_POPUP | WS_THICKFRAME | WS_VISIBLE, 30, 30, 80, 60,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    flushEvents();
    InvalidateRect(window, nullptr, FALSE);
    { PaintDc paint(window); }
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    RECT outer{};
    GetWindowRect(window, &outer);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    ASSERT_NE(clientOrigin.x, outer.left);
    POINT origin{};
    GetDCOrgEx(WindowDc(window, WindowDc::Area::WholeWindow).get(), &origin);
    EXPECT_EQ(origin.x, outer.left);
    EXPECT_EQ(origin.y, outer.top);
    GetDCOrgEx(WindowDc(window).get(), &origin);
    EXPECT_EQ(origin.x, clientOrigin.x);
    EXPECT_EQ(origin.y, clientOrigin.y);
    DestroyWindow(window);
}

// A point size is a character height (negative) in device units, through
// the given device context's mapping: here two logical units per pixel with
// the y axis pointing up. A face name longer than LOGFONTA holds is cut to 31
// bytes; replacing the font deletes the previous one.
TEST(PointFont, IsACharacterHeightThroughTheMappingOfTheDeviceContext) {
    HDC memory = CreateCompatibleDC(nullptr);
    const int perInch = GetDeviceCaps(memory, LOGPIXELSY);
    GdiObject<HFONT> font;
    ASSERT_TRUE(createPointFont(font, "ＭＳ ゴシック", 10, nullptr, true));
    const HFONT first = font.get();
    EXPECT_EQ(logFontOf(first).lfHeight, -MulDiv(10, perInch, 72));
    EXPECT_STREQ(logFontOf(first).lfFaceName, "ＭＳ ゴシック");
    EXPECT_NE(logFontOf(first).lfUnderline, 0);

    SetMapMode(memory, MM_ANISOTROPIC);
    SetWindowExtEx(memory, 2, 2, nullptr);
    SetViewportExtEx(memory, 1, -1, nullptr);
    ASSERT_TRUE(createPointFont(font, std::string(40, 'F').c_str(), 12, memory));
    EXPECT_FALSE(alive(first));
    EXPECT_EQ(logFontOf(font.get()).lfHeight, -2 * MulDiv(12, perInch, 72));
    EXPECT_EQ(std::string(logFontOf(font.get()).lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(logFontOf(font.get()).lfUnderline, 0);
    DeleteDC(memory);
}
