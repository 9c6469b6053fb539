#pragma once

#include "framework/UniqueHandle.h"

#include <windows.h>

// A solid pen one pixel wide.
GdiObject<HPEN> solidPen(COLORREF color);

// The two lines of a raised or sunken edge, shaded from one base colour
// (lightness raised and lowered by the same step): the light line on the
// upper left of a raised edge and on the lower right of a sunken one, the
// dark line opposite.
class EdgePens {
public:
    EdgePens(COLORREF base, bool raised);

    HPEN upperLeft() const { return raised ? light.get() : dark.get(); }
    HPEN lowerRight() const { return raised ? dark.get() : light.get(); }
    // The same lines' colours, for lines drawn wider than a pen's pixel.
    COLORREF upperLeftColor() const { return raised ? lightColor : darkColor; }
    COLORREF lowerRightColor() const { return raised ? darkColor : lightColor; }

private:
    COLORREF lightColor;
    COLORREF darkColor;
    GdiObject<HPEN> light;
    GdiObject<HPEN> dark;
    bool raised;
};
