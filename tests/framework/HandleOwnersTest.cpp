#include "framework/DcScopes.h"
#include "framework/Fonts.h"

#include <gtest/gtest.h>

#include <string>

// A point size is a character height (negative lfHeight) on the screen; a
// face name longer than LOGFONTA holds, as a damaged book may give, is cut to
// 31 bytes; a new font replaces and deletes the previous one, which a
// SelectedObject has put back out of the device context it was drawn with.
TEST(PointFont, IsACharacterHeightCutsLongFaceNamesAndReplacesTheFontDrawnWith) {
    GdiObject<HFONT> font;
    ASSERT_TRUE(createPointFont(font, "ＭＳ ゴシック", 10));
    const HFONT first = font.get();
    HDC memory = CreateCompatibleDC(nullptr);
    { SelectedObject selected(memory, first); }
    ASSERT_TRUE(createPointFont(font, std::string(300, 'F').c_str(), 12));
    EXPECT_EQ(GetObjectType(first), 0u);
    LOGFONTA lf{};
    GetObjectA(font.get(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -MulDiv(12, GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY), 72));
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'F'));
    DeleteDC(memory);
}
