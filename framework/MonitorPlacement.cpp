#include "framework/MonitorPlacement.h"

#include "framework/DisplayScale.h"

#include <algorithm>

namespace {

int width(const RECT& rect) {
    return rect.right - rect.left;
}
int height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// The grip at the system's display scale.
int gripSize() {
    return DisplayScale::system()(kGripSize);
}

RECT topStrip(const RECT& rect) {
    RECT strip = rect;
    strip.bottom = std::min(rect.bottom, rect.top + gripSize());
    return strip;
}

bool reachable(const RECT& rect) {
    if (width(rect) <= 0 || height(rect) <= 0) {
        return false;
    }
    const RECT strip = topStrip(rect);
    const HMONITOR monitor = MonitorFromRect(&strip, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info)) {
        return false;
    }
    RECT visible{};
    if (!IntersectRect(&visible, &strip, &info.rcWork)) {
        return false;
    }
    return width(visible) >= std::min(gripSize(), width(strip)) &&
           height(visible) >= std::min(gripSize() / 2, height(strip));
}

// The start of a span of `length` inside [low, high), as near to `start` as possible.
int clampSpan(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

} // namespace

RECT placeOnNearestMonitor(const RECT& rect) {
    if (reachable(rect)) {
        return rect;
    }
    const HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        return rect;
    }
    const RECT& work = info.rcWork;
    const int placedWidth = std::clamp(width(rect), 1, width(work));
    const int placedHeight = std::clamp(height(rect), 1, height(work));
    const int left = clampSpan(rect.left, placedWidth, work.left, work.right);
    const int top = clampSpan(rect.top, placedHeight, work.top, work.bottom);
    return RECT{left, top, left + placedWidth, top + placedHeight};
}
