#include "book/ColorMath.h"

#include <algorithm>

namespace ColorMath {

namespace {

constexpr int kMax = 255;
constexpr int kNoHue = 170;
constexpr int kSixth = 42; // a sixth of the hue circle
constexpr int kShadeStep = 65;

int wrapHue(int hue) {
    if (hue < 0) {
        return hue + kMax;
    }
    if (hue > kMax) {
        return hue - kMax;
    }
    return hue;
}

int channelFromHue(int m1, int m2, int hue) {
    hue = wrapHue(hue);
    if (hue < kSixth) {
        return m1 + ((m2 - m1) * hue + kSixth / 2) / kSixth;
    }
    if (hue < 127) {
        return m2;
    }
    if (hue < 170) {
        return m1 + ((m2 - m1) * (170 - hue) + kSixth / 2) / kSixth;
    }
    return m1;
}

// The hue ramps use a sixth of 42 but a half of 127, so the falling ramp spans
// 43 steps and can overshoot the top by a few units; clamp instead of letting
// the byte wrap round to a wrong colour.
int scaled(int value) {
    return std::clamp((value * kMax + 127) / kMax, 0, kMax);
}

Color withLightness(Color base, int lightness) {
    Hls hls = toHls(base);
    hls.lightness = lightness;
    return fromHls(hls);
}

} // namespace

Hls toHls(Color color) {
    const int r = red(color);
    const int g = green(color);
    const int b = blue(color);
    const int maxValue = std::max({r, g, b});
    const int minValue = std::min({r, g, b});
    Hls hls{};
    hls.lightness = ((maxValue + minValue) * kMax + kMax) / (2 * kMax);
    if (maxValue == minValue) {
        hls.saturation = 0;
        hls.hue = kNoHue;
        return hls;
    }
    const int range = maxValue - minValue;
    const int divisor = hls.lightness <= 127 ? maxValue + minValue : 2 * kMax - maxValue - minValue;
    hls.saturation = (range * kMax + divisor / 2) / divisor;
    const int rd = ((maxValue - r) * kSixth + range / 2) / range;
    const int gd = ((maxValue - g) * kSixth + range / 2) / range;
    const int bd = ((maxValue - b) * kSixth + range / 2) / range;
    int hue;
    if (r == maxValue) {
        hue = bd - gd;
    } else if (g == maxValue) {
        hue = 85 + rd - bd;
    } else {
        hue = 170 + gd - rd;
    }
    hls.hue = wrapHue(hue);
    return hls;
}

Color fromHls(const Hls& hls) {
    const int l = hls.lightness;
    const int s = hls.saturation;
    if (s == 0) {
        return rgb(l, l, l);
    }
    const int m2 = l <= 127 ? (l * (kMax + s) + 127) / kMax : l + s - (l * s + 127) / kMax;
    const int m1 = 2 * l - m2;
    return rgb(scaled(channelFromHue(m1, m2, hls.hue + 85)), scaled(channelFromHue(m1, m2, hls.hue)),
               scaled(channelFromHue(m1, m2, hls.hue - 85)));
}

Color lighter(Color base) {
    return withLightness(base, std::min(toHls(base).lightness + kShadeStep, kMax));
}

Color darker(Color base) {
    return withLightness(base, std::max(toHls(base).lightness - kShadeStep, 0));
}

} // namespace ColorMath
