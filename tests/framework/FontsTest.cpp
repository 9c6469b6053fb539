#include "framework/DcScopes.h"
#include "framework/Fonts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LOGFONTA logFontOf(HFONT font) {
    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    return lf;
}

int screenPixelsPerInch() {
    WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

} // namespace

TEST(PointFont, TenPointsOnTheScreenIsACharacterHeightInPixels) {
    GdiObject<HFONT> font;
    ASSERT_TRUE(createPointFont(font, "ＭＳ ゴシック", 10));
    ASSERT_TRUE(font);
    const LOGFONTA lf = logFontOf(font.get());
    EXPECT_EQ(lf.lfHeight, -MulDiv(10, screenPixelsPerInch(), 72));
    EXPECT_STREQ(lf.lfFaceName, "ＭＳ ゴシック");
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfWeight, 0);

    GdiObject<HFONT> underlined;
    ASSERT_TRUE(createPointFont(underlined, "ＭＳ ゴシック", 10, nullptr, true));
    EXPECT_NE(logFontOf(underlined.get()).lfUnderline, 0);
}

// The device height goes through the device context's mapping: here two
// logical units per pixel with the y axis pointing up, which still has to
// give a negative (character) height.
TEST(PointFont, TheHeightFollowsTheMappingModeOfTheGivenDeviceContext) {
    WindowDc screen(nullptr);
    HDC memory = CreateCompatibleDC(screen.get());
    ASSERT_NE(memory, nullptr);
    SetMapMode(memory, MM_ANISOTROPIC);
    SetWindowExtEx(memory, 2, 2, nullptr);
    SetViewportExtEx(memory, 1, -1, nullptr);
    GdiObject<HFONT> font;
    ASSERT_TRUE(createPointFont(font, "ＭＳ 明朝", 12, memory));
    EXPECT_EQ(logFontOf(font.get()).lfHeight, -2 * MulDiv(12, GetDeviceCaps(memory, LOGPIXELSY), 72));
    DeleteDC(memory);
}

TEST(PointFont, ReplacingTheFontDeletesThePreviousOne) {
    GdiObject<HFONT> font;
    ASSERT_TRUE(createPointFont(font, "ＭＳ ゴシック", 10));
    const HFONT first = font.get();
    ASSERT_TRUE(createPointFont(font, "ＭＳ ゴシック", 14));
    EXPECT_NE(font.get(), first);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(font.get()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(logFontOf(font.get()).lfHeight, -MulDiv(14, screenPixelsPerInch(), 72));
}

// A face name longer than LOGFONTA holds is cut to 31 bytes and terminated.
TEST(PointFont, AnOverlongFaceNameIsCutToWhatTheFontHolds) {
    const std::string longName(40, 'F');
    GdiObject<HFONT> font;
    ASSERT_TRUE(createPointFont(font, longName.c_str(), 10));
    EXPECT_EQ(std::string(logFontOf(font.get()).lfFaceName), std::string(31, 'F'));
}
