#pragma once

#include <cstdint>

// Hue, lightness and saturation on a 0-255 scale, computed with integer
// arithmetic; a colour without hue gets hue 170. The light and dark lines of
// raised and sunken frames are derived from a base colour this way.
namespace ColorMath {

using Color = std::uint32_t; // 0x00BBGGRR

struct Hls {
    int hue;
    int lightness;
    int saturation;
};

Hls toHls(Color color);
Color fromHls(const Hls& hls);

// The base colour with its lightness raised by 65 (at most 255) or lowered
// by 65 (at least 0); hue and saturation stay.
Color lighter(Color base);
Color darker(Color base);

constexpr int red(Color color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int green(Color color) {
    return static_cast<int>(color >> 8 & 0xFF);
}
constexpr int blue(Color color) {
    return static_cast<int>(color >> 16 & 0xFF);
}
constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>(r & 0xFF) | static_cast<Color>(g & 0xFF) << 8 | static_cast<Color>(b & 0xFF) << 16;
}

} // namespace ColorMath
