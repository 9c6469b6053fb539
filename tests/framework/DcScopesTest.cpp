#include "framework/DcScopes.h"
#include "framework/UniqueHandle.h"
#include "framework/WindowProcedure.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

TEST(DcScopes, SelectedObjectPutsThePreviousObjectBack) {
    WindowDc screen(nullptr);
    ASSERT_NE(screen.get(), nullptr);
    HDC memory = CreateCompatibleDC(screen.get());
    ASSERT_NE(memory, nullptr);
    const HGDIOBJ before = GetCurrentObject(memory, OBJ_BRUSH);
    const GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(9, 8, 7)));
    {
        SelectedObject selected(memory, brush.get());
        EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), brush.get());
        {
            // Selecting nothing leaves the selection alone, now and at the end.
            SelectedObject nothing(memory, nullptr);
            EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), brush.get());
        }
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
    ASSERT_NE(window, nullptr);
    flushEvents();
    InvalidateRect(window, nullptr, FALSE);
    ASSERT_TRUE(GetUpdateRect(window, nullptr, FALSE));
    {
        PaintDc paint(window);
        EXPECT_NE(paint.get(), nullptr);
        EXPECT_GT(paint.info().rcPaint.right, 0);
    }
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    ASSERT_NE(clientOrigin.x, windowRect.left);
    POINT origin{};
    {
        WindowDc whole(window, WindowDc::Area::WholeWindow);
        ASSERT_TRUE(GetDCOrgEx(whole.get(), &origin));
        EXPECT_EQ(origin.x, windowRect.left);
        EXPECT_EQ(origin.y, windowRect.top);
    }
    {
        WindowDc client(window);
        ASSERT_TRUE(GetDCOrgEx(client.get(), &origin));
        EXPECT_EQ(origin.x, clientOrigin.x);
        EXPECT_EQ(origin.y, clientOrigin.y);
    }
    DestroyWindow(window);
}
