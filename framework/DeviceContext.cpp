#include "framework/DeviceContext.h"

BOOL DeviceContext::fillRect(const RECT& rect, COLORREF color) const {
    SetBkColor(dc, color);
    return ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

bool DeviceContext::rectangle(int left, int top, int right, int bottom) const {
    return Rectangle(dc, left, top, right, bottom) == 1;
}
