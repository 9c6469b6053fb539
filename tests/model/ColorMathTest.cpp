#include "framework/ColorMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace ColorMath;

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;

Color grey(int value) {
    return rgb(value, value, value);
}

int channel(Color color, int index) {
    return static_cast<int>(color >> (8 * index) & 0xFF);
}

} // namespace

TEST(ColorMath, WhiteAndBlackShadeToTheEndsOfTheLightnessScale) {
    EXPECT_EQ(toHls(kWhite).lightness, 255);
    EXPECT_EQ(lighter(kWhite), kWhite);
    EXPECT_EQ(darker(kWhite), grey(190));
    EXPECT_EQ(toHls(kBlack).lightness, 0);
    EXPECT_EQ(lighter(kBlack), grey(65));
    EXPECT_EQ(darker(kBlack), kBlack);
}

TEST(ColorMath, GreysHaveNoHueAndTheirShadesStayGrey) {
    for (int value = 0; value <= 255; ++value) {
        const Hls hls = toHls(grey(value));
        ASSERT_EQ(hls.saturation, 0) << value;
        ASSERT_EQ(hls.hue, 170) << value;
        ASSERT_EQ(hls.lightness, value) << value;
        ASSERT_EQ(fromHls(hls), grey(value)) << value;
        ASSERT_EQ(lighter(grey(value)), grey(std::min(value + 65, 255))) << value;
        ASSERT_EQ(darker(grey(value)), grey(std::max(value - 65, 0))) << value;
    }
}

// Worked through the integer formulas by hand.
TEST(ColorMath, KnownValues) {
    // Pure red: L = 65280 / 510 = 128, S = 65152 / 255 = 255, H = Bd - Gd = 42 - 42 = 0.
    const Hls red = toHls(rgb(255, 0, 0));
    EXPECT_EQ(red.hue, 0);
    EXPECT_EQ(red.lightness, 128);
    EXPECT_EQ(red.saturation, 255);
    // L 193: M2 = 448 - 49342 / 255 = 255, M1 = 131.
    EXPECT_EQ(lighter(rgb(255, 0, 0)), rgb(255, 131, 131));
    // L 63: M2 = 32257 / 255 = 126, M1 = 0.
    EXPECT_EQ(darker(rgb(255, 0, 0)), rgb(126, 0, 0));

    // Green is a third of the way round, blue two thirds.
    EXPECT_EQ(toHls(rgb(0, 255, 0)).hue, 85);
    EXPECT_EQ(toHls(rgb(0, 0, 255)).hue, 170);
    // A negative hue wraps: magenta-red 255,0,128 gives Bd - Gd = 21 - 42 = -21, so 234.
    EXPECT_EQ(toHls(rgb(255, 0, 128)).hue, 234);

    // 0x336699 (R 0x99, G 0x66, B 0x33): L = 52275 / 510 = 102, S = 26112 / 204 = 128,
    // H = Bd - Gd = 42 - 21 = 21; back exactly.
    const Hls brown = toHls(rgb(0x99, 0x66, 0x33));
    EXPECT_EQ(brown.hue, 21);
    EXPECT_EQ(brown.lightness, 102);
    EXPECT_EQ(brown.saturation, 128);
    EXPECT_EQ(fromHls(brown), rgb(0x99, 0x66, 0x33));
}

// Hue 127 sits at the top of the falling ramp, which spans 43 steps: with
// L 128 and S 255 (M1 1, M2 255) the green channel computes to 261 and must
// stop at 255 instead of wrapping round to 5.
TEST(ColorMath, TheFallingHueRampIsClampedAtTheTop) {
    EXPECT_EQ(fromHls(Hls{127, 128, 255}), rgb(1, 255, 255));
}

// A stride through all 2^24 colours. The light shade is never darker in any
// channel than the colour's own round trip, the dark shade never lighter; a
// channel that wrapped round past 255 or below 0 would break that.
TEST(ColorMath, ShadesAndRoundTripsAcrossTheColourCube) {
    constexpr Color kStride = 37;
    int worstRoundTrip = 0;
    for (Color color = 0; color < 0x1000000; color += kStride) {
        const Color roundTrip = fromHls(toHls(color));
        const Color light = lighter(color);
        const Color dark = darker(color);
        ASSERT_EQ(roundTrip >> 24, 0u);
        ASSERT_EQ(light >> 24, 0u);
        ASSERT_EQ(dark >> 24, 0u);
        for (int index = 0; index < 3; ++index) {
            const int original = channel(roundTrip, index);
            worstRoundTrip = std::max(worstRoundTrip, std::abs(original - channel(color, index)));
            ASSERT_GE(channel(light, index), original) << std::hex << color;
            ASSERT_LE(channel(dark, index), original) << std::hex << color;
        }
    }
    EXPECT_LE(worstRoundTrip, 8);
}
