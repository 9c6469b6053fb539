#include "framework/Brushes.h"

HBRUSH createBrush(UINT style, COLORREF color, ULONG_PTR hatch) {
    LOGBRUSH brush{};
    brush.lbStyle = style;
    brush.lbColor = color;
    brush.lbHatch = hatch;
    return CreateBrushIndirect(&brush);
}
