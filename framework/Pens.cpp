#include "framework/Pens.h"

#include "book/ColorMath.h"

GdiObject<HPEN> solidPen(COLORREF color) {
    return GdiObject<HPEN>(CreatePen(PS_SOLID, 1, color));
}

EdgePens::EdgePens(COLORREF base, bool isRaised)
    : light(solidPen(ColorMath::lighter(base))), dark(solidPen(ColorMath::darker(base))), raised(isRaised) {}
