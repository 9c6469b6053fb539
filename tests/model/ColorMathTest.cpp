#include "book/ColorMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace ColorMath;

// Worked through the integer formulas by hand. Pure red: L = 65280 / 510 =
// 128, S = 65152 / 255 = 255, H = Bd - Gd = 0; lighter at L 193: M2 = 448 -
// 49342 / 255 = 255, M1 = 131; darker at L 63: M2 = 32257 / 255 = 126, M1 = 0.
// 255,0,128 gives the hue Bd - Gd = 21 - 42 = -21, which wraps to 234. Hue 127
// tops the falling ramp, which spans 43 steps: at L 128 and S 255 green
// computes to 261 and must stop at 255 instead of wrapping round to 5. Greys
// shade by exactly 65 within 0 to 255.
TEST(ColorMath, KnownValues) {
    const Hls red = toHls(rgb(255, 0, 0));
    EXPECT_EQ((std::vector<int>{red.hue, red.lightness, red.saturation}), (std::vector<int>{0, 128, 255}));
    EXPECT_EQ(lighter(rgb(255, 0, 0)), rgb(255, 131, 131));
    EXPECT_EQ(darker(rgb(255, 0, 0)), rgb(126, 0, 0));
    EXPECT_EQ(toHls(rgb(255, 0, 128)).hue, 234);
    EXPECT_EQ(fromHls(Hls{127, 128, 255}), rgb(1, 255, 255));
    EXPECT_EQ(toHls(0xFFFFFF).lightness, 255);
    EXPECT_EQ(darker(0xFFFFFF), rgb(190, 190, 190));
    EXPECT_EQ(toHls(0).lightness, 0);
    for (Color grey = 0; grey <= 255; ++grey) {
        ASSERT_EQ(toHls(grey * 0x010101).saturation, 0) << grey;
        ASSERT_EQ(toHls(grey * 0x010101).hue, 170) << grey;
        ASSERT_EQ(lighter(grey * 0x010101), std::min(grey + 65, Color{255}) * 0x010101) << grey;
        ASSERT_EQ(darker(grey * 0x010101), (grey < 65 ? 0 : grey - 65) * 0x010101) << grey;
    }
}

// A stride through all 2^24 colours: the light shade is never darker in any
// channel than the colour's own round trip, the dark shade never lighter (a
// channel that wrapped past 255 or below 0 would break that), and the round
// trip lands within rounding of the colour.
TEST(ColorMath, ShadesAndRoundTripsAcrossTheColourCube) {
    for (Color color = 0; color < 0x1000000; color += 37) {
        const Color roundTrip = fromHls(toHls(color));
        const Color light = lighter(color);
        const Color dark = darker(color);
        ASSERT_EQ((roundTrip | light | dark) >> 24, 0u) << std::hex << color;
        for (const auto channel : {red, green, blue}) {
            ASSERT_LE(std::abs(channel(roundTrip) - channel(color)), 8) << std::hex << color;
            ASSERT_GE(channel(light), channel(roundTrip)) << std::hex << color;
            ASSERT_LE(channel(dark), channel(roundTrip)) << std::hex << color;
        }
    }
}
