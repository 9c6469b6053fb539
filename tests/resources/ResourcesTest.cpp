// The compiled pictures, loaded by identifier the way the program loads them.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

// Each icon draws on a transparent ground: it covers some of its square but
// not all. The tool bar glyphs (130 to 137) are pictures of their own, not
// copies of one another. The hand cursor points with its finger tip.
TEST(Pictures, IconsDrawOnATransparentGroundAndTheGlyphsDiffer) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    std::vector<std::vector<DWORD>> glyphs;
    for (const int id : {103, 127, 130, 131, 132, 133, 134, 135, 136, 137, 140}) {
        const auto icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr) << id;
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        const HDC dc = CreateCompatibleDC(nullptr);
        const HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = SelectObject(dc, target);
        std::fill_n(static_cast<DWORD*>(bits), 256, 0x00FF00FF);
        DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 256);
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
        DestroyIcon(icon);
        const auto ground = std::count(pixels.begin(), pixels.end(), 0x00FF00FF);
        EXPECT_GT(ground, 25) << id;
        EXPECT_LT(ground, 231) << id;
        if (id >= 130 && id <= 137) {
            EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), pixels), 0) << id;
            glyphs.push_back(pixels);
        }
    }
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(instance, MAKEINTRESOURCEA(139)), &hand));
    EXPECT_EQ(hand.xHotspot, 12u);
    EXPECT_EQ(hand.yHotspot, 5u);
    DeleteObject(hand.hbmColor);
    DeleteObject(hand.hbmMask);
}
