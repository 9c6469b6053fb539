#include "framework/Fonts.h"

#include "framework/DcScopes.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr int kPointsPerInch = 72;

// The logical height of `points` points on `dc`: the device height converted
// through the mapping mode, negative so that it means a character height.
LONG characterHeight(HDC dc, LONG points) {
    const int pixels = MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    POINT ends[2] = {{0, pixels}, {0, 0}};
    DPtoLP(dc, ends, 2);
    return -std::labs(ends[0].y - ends[1].y);
}

// A font of the default character set; lfHeight as given.
LOGFONTA namedFont(const char* faceName, LONG height, bool underline) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (faceName) {
        std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return lf;
}

} // namespace

bool createPointFont(GdiObject<HFONT>& holder, const char* faceName, int pointSize, HDC dc, bool underline) {
    return createFontFromPoints(holder, namedFont(faceName, pointSize, underline), dc);
}

bool createPointFont(GdiObject<HFONT>& holder, const char* faceName, int pointSize, const DisplayScale& scale) {
    const LOGFONTA lf = namedFont(faceName, -MulDiv(pointSize, scale.dpi(), kPointsPerInch), false);
    holder.reset(CreateFontIndirectA(&lf));
    return static_cast<bool>(holder);
}

bool createFontFromPoints(GdiObject<HFONT>& holder, const LOGFONTA& lf, HDC dc) {
    LOGFONTA font = lf;
    {
        std::optional<WindowDc> screen;
        if (!dc) {
            dc = screen.emplace(nullptr).get();
        }
        font.lfHeight = characterHeight(dc, lf.lfHeight);
    }
    holder.reset(CreateFontIndirectA(&font));
    return static_cast<bool>(holder);
}
