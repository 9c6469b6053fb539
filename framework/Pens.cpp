#include "framework/Pens.h"

#include "book/ColorMath.h"

GdiObject<HPEN> solidPen(COLORREF color) {
    return GdiObject<HPEN>(CreatePen(PS_SOLID, 1, color));
}

EdgePens::EdgePens(COLORREF base, bool isRaised)
    : lightColor(ColorMath::lighter(base)), darkColor(ColorMath::darker(base)), light(solidPen(lightColor)),
      dark(solidPen(darkColor)), raised(isRaised) {}
