#include "sheets/FontLists.h"

#include "framework/ComboBox.h"
#include "framework/DcScopes.h"

#include <cstdlib>
#include <cstring>

int screenDpiY = 96;

namespace {

constexpr int kPointsPerInch = 72;
constexpr int kStandardSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

int sizeAt(const ComboBox& sizes, int index) {
    return std::atoi(sizes.text(index).c_str());
}

// LOGFONTA holds 31 bytes of name; a double-byte character that would be cut
// in half is left out instead.
void copyFaceName(char (&target)[LF_FACESIZE], const std::string& face) {
    std::size_t length = 0;
    while (length < face.size()) {
        const std::size_t step = IsDBCSLeadByte(static_cast<BYTE>(face[length])) ? 2 : 1;
        if (length + step > LF_FACESIZE - 1) {
            break;
        }
        length += step;
    }
    std::memcpy(target, face.data(), length);
    target[length] = '\0';
}

int CALLBACK addFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM context) {
    const HWND faceList = reinterpret_cast<HWND>(context);
    const auto* names = reinterpret_cast<const ENUMLOGFONTEXA*>(font);
    addFaceName(faceList, reinterpret_cast<const char*>(names->elfFullName));
    // The family name is the one the font mapper answers to. It differs from
    // the full name for substituted faces: Wine reports "ＭＳ ゴシック" with
    // the full name of the font standing in for it, and a page's face must
    // still be found in the list.
    addFaceName(faceList, font->lfFaceName);
    return 1;
}

void addStandardSizes(HWND sizeList) {
    const ComboBox sizes(sizeList);
    for (const int size : kStandardSizes) {
        sizes.add(std::to_string(size));
    }
}

int CALLBACK addFontSizes(const LOGFONTA*, const TEXTMETRICA* metrics, DWORD fontType, LPARAM context) {
    const HWND sizeList = reinterpret_cast<HWND>(context);
    if ((fontType & TRUETYPE_FONTTYPE) || !(fontType & RASTER_FONTTYPE)) {
        addStandardSizes(sizeList);
        return 0;
    }
    const int dpi = screenDpiY > 0 ? screenDpiY : 96;
    addRasterSize(sizeList, (metrics->tmHeight - metrics->tmInternalLeading) * kPointsPerInch / dpi);
    return 1;
}

} // namespace

void fillFaceList(HWND faceList) {
    const WindowDc screen(nullptr);
    screenDpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    LOGFONTA all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen.get(), &all, addFamily, reinterpret_cast<LPARAM>(faceList), 0);
}

bool addFaceName(HWND faceList, const char* name) {
    if (!name || name[0] == '\0' || name[0] == '@') {
        return false;
    }
    // An exact comparison: a prefix search would drop "Meiryo" once
    // "Meiryo UI" is listed.
    const ComboBox faces(faceList);
    return faces.findExact(name) == CB_ERR && faces.add(name) >= 0;
}

void fillSizeList(HWND sizeList, const std::string& face, int wantedSize) {
    const ComboBox sizes(sizeList);
    sizes.clear();
    // An empty name would enumerate every family on the system.
    if (!face.empty()) {
        LOGFONTA wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        copyFaceName(wanted.lfFaceName, face);
        const WindowDc screen(nullptr);
        EnumFontFamiliesExA(screen.get(), &wanted, addFontSizes, reinterpret_cast<LPARAM>(sizeList), 0);
    }
    if (sizes.count() == 0) {
        addStandardSizes(sizeList);
    }
    if (wantedSize > 0) {
        addRasterSize(sizeList, wantedSize);
    }
    selectSize(sizeList, wantedSize);
}

void addRasterSize(HWND sizeList, int points) {
    const ComboBox sizes(sizeList);
    const int count = sizes.count();
    for (int index = 0; index < count; ++index) {
        const int listed = sizeAt(sizes, index);
        if (listed == points) {
            return;
        }
        if (listed > points) {
            sizes.insert(index, std::to_string(points));
            return;
        }
    }
    sizes.add(std::to_string(points));
}

void selectSize(HWND sizeList, int wantedSize) {
    const ComboBox sizes(sizeList);
    const int count = sizes.count();
    if (count <= 0) {
        return;
    }
    int chosen = count - 1;
    for (int index = 0; index < count; ++index) {
        if (sizeAt(sizes, index) >= wantedSize) {
            chosen = index;
            break;
        }
    }
    sizes.select(chosen);
}

bool selectedSize(HWND sizeList, int& points) {
    const ComboBox sizes(sizeList);
    const int index = sizes.selection();
    if (index == CB_ERR) {
        return false;
    }
    points = sizeAt(sizes, index);
    return true;
}
