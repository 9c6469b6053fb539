#pragma once

#include <windows.h>

// CreateBrushIndirect of a LOGBRUSH with these three values. The caller owns
// the brush (hold it in a GdiObject<HBRUSH>); null on failure.
HBRUSH createBrush(UINT style, COLORREF color, ULONG_PTR hatch);
