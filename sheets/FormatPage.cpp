#include "sheets/FormatPage.h"

#include "sheets/ColorChooser.h"
#include "sheets/FontLists.h"
#include "sheets/PageSettingsSheet.h"
#include "framework/Application.h"
#include "framework/ComboBox.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "resources/resource.h"

#include <initializer_list>
#include <string>

namespace {

constexpr int kSwatchCount = 3;
constexpr int kFocusInset = 3;
constexpr int kDarkColorLimit = 384;
// The size looked for when no target is selected.
constexpr int kDefaultWantedSize = 10;

void addStrings(const ComboBox& combo, std::initializer_list<UINT> textIds) {
    for (const UINT id : textIds) {
        combo.add(application().text(id));
    }
}

bool isSwatchButton(UINT id) {
    return id >= IDC_BACK_SWATCH && id < IDC_BACK_SWATCH + kSwatchCount;
}

} // namespace

FormatPage::FormatPage() : PropertyPage(0, IDD_PAGE_FORMAT, 0, nullptr) {}

void FormatPage::onCommand(UINT notificationCode, UINT id, HWND) {
    if (id == IDC_FACE && notificationCode == CBN_SELCHANGE) {
        refillSizesForWorkingSize();
    } else if (id == IDC_FONT_SIZE && notificationCode == CBN_SELCHANGE) {
        sizePicked = true;
    } else if (id == IDC_TARGET && notificationCode == CBN_SELCHANGE) {
        storeTarget();
        loadTarget();
    } else if (isSwatchButton(id) && notificationCode == BN_CLICKED) {
        chooseSwatchColor(static_cast<Swatch>(id - IDC_BACK_SWATCH));
    }
}

void FormatPage::onDrawItem(DRAWITEMSTRUCT* drawn) {
    if (!drawn || drawn->CtlType != ODT_BUTTON || !isSwatchButton(drawn->CtlID)) {
        return;
    }
    const auto swatch = static_cast<Swatch>(drawn->CtlID - IDC_BACK_SWATCH);
    const bool disabled = (drawn->itemState & ODS_DISABLED) != 0;
    const bool automatic = !disabled && swatches[swatch] == AutoColor;
    COLORREF color = swatches[swatch];
    if (disabled) {
        color = GetSysColor(COLOR_BTNFACE);
    } else if (automatic) {
        color = automaticColor(swatch, selection(IDC_TARGET));
    }

    const HDC dc = drawn->hDC;
    RECT rect = drawn->rcItem;
    DeviceContext(dc).fillRect(rect, color);
    UINT edge = BDR_RAISEDOUTER;
    if (drawn->itemState & ODS_SELECTED) {
        edge = BDR_SUNKENOUTER;
    } else if (disabled) {
        edge = BDR_RAISEDOUTER | BDR_SUNKENINNER;
    }
    DrawEdge(dc, &rect, edge, BF_RECT | BF_SOFT);
    if (automatic) {
        drawAutomaticLabel(dc, rect, color);
    }
    if (drawn->itemState & ODS_FOCUS) {
        const int inset = DisplayScale::of(hwnd)(kFocusInset);
        InflateRect(&rect, -inset, -inset);
        DrawFocusRect(dc, &rect);
    }
}

bool FormatPage::onInitDialog(HWND, LPARAM) {
    addStrings(combo(IDC_TARGET), {IDS_TARGET_EDITOR, IDS_TARGET_TITLE});
    combo(IDC_TARGET).select(Editor);
    addStrings(combo(IDC_FRAME_STYLE), {IDS_FRAME_RAISED, IDS_FRAME_FLAT, IDS_FRAME_SUNKEN});
    if (editedPage) {
        combo(IDC_FRAME_STYLE).select(editedPage->format.frameStyle);
    }
    fillFaceList(item(IDC_FACE));
    if (editedPage) {
        workingFormat = editedPage->format;
    }
    loadTarget();
    return true;
}

bool FormatPage::onApply() {
    storeTarget();
    // A style outside the list (from a damaged file) shows no selection and
    // is kept as it is.
    const int style = selection(IDC_FRAME_STYLE);
    if (style >= 0) {
        workingFormat.frameStyle = style;
    }
    if (editedPage) {
        editedPage->format = workingFormat;
    }
    return false;
}

COLORREF FormatPage::automaticColor(Swatch swatch, int target) {
    const bool title = target == Title;
    switch (swatch) {
    case Back:
        return GetSysColor(title ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    case Text:
        return GetSysColor(title ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT);
    case Frame:
    default:
        return GetSysColor(COLOR_BTNSHADOW);
    }
}

COLORREF FormatPage::automaticTextColor(COLORREF background) {
    const int sum = GetRValue(background) + GetGValue(background) + GetBValue(background);
    return sum <= kDarkColorLimit ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

int FormatPage::selection(int id) const {
    return combo(id).selection();
}

TextFormat* FormatPage::targetFormat(int target) {
    if (target == Editor) {
        return &workingFormat.editorFormat;
    }
    if (target == Title) {
        return &workingFormat.titleFormat;
    }
    return nullptr;
}

// currentTarget stays as it is: storeTarget, which runs before, moves it on.
void FormatPage::loadTarget() {
    std::string face;
    int wantedSize = kDefaultWantedSize;
    if (const TextFormat* format = targetFormat(selection(IDC_TARGET))) {
        backSwatch() = format->backColor;
        textSwatch() = format->textColor;
        frameSwatch() = workingFormat.frameColor;
        face = format->fontFace;
        wantedSize = format->fontSize;
    }
    // An exact search: a prefix search would put "Arial Black" in for an
    // "Arial" that is not installed, and OK would store it.
    combo(IDC_FACE).select(combo(IDC_FACE).findExact(face));
    sizePicked = false;
    refillSizes(wantedSize);
    redrawSwatches();
}

// A face that is not installed shows no selection in either list; the
// working face and size are then kept rather than replaced by nothing.
void FormatPage::storeTarget() {
    TextFormat& format = currentTarget != Editor ? workingFormat.titleFormat : workingFormat.editorFormat;
    format.backColor = backSwatch();
    format.textColor = textSwatch();
    if (selection(IDC_FACE) >= 0) {
        dialogItemText(IDC_FACE, format.fontFace);
    }
    int size = 0;
    if (sizePicked && selectedSize(item(IDC_FONT_SIZE), size)) {
        format.fontSize = size;
    }
    // The frame belongs to neither target: a colour picked for it must
    // survive a change of target, which reloads the swatches.
    workingFormat.frameColor = frameSwatch();
    currentTarget = selection(IDC_TARGET);
}

// The size is looked for again from the working value, not from a size
// picked since the target was loaded.
void FormatPage::refillSizesForWorkingSize() {
    const TextFormat& format = selection(IDC_TARGET) != Editor ? workingFormat.titleFormat : workingFormat.editorFormat;
    refillSizes(format.fontSize);
}

// The sizes of the face shown, which for a face that is not installed is no
// face at all: the list then offers the standard sizes.
void FormatPage::refillSizes(int wantedSize) {
    std::string face;
    dialogItemText(IDC_FACE, face);
    fillSizeList(item(IDC_FONT_SIZE), face, wantedSize);
}

void FormatPage::chooseSwatchColor(Swatch swatch) {
    Color color = swatches[swatch];
    if (!ColorChooser(hwnd).choose(color)) {
        return;
    }
    swatches[swatch] = color;
    InvalidateRect(item(IDC_BACK_SWATCH + swatch), nullptr, TRUE);
}

void FormatPage::redrawSwatches() const {
    for (int swatch = 0; swatch < kSwatchCount; ++swatch) {
        InvalidateRect(item(IDC_BACK_SWATCH + swatch), nullptr, TRUE);
    }
}

void FormatPage::drawAutomaticLabel(HDC dc, RECT rect, COLORREF background) const {
    const int saved = SaveDC(dc);
    SetROP2(dc, R2_NOT);
    SetTextColor(dc, automaticTextColor(background));
    SetBkMode(dc, TRANSPARENT);
    const std::string automatic = application().text(IDS_AUTOMATIC_COLOR);
    DrawTextA(dc, automatic.c_str(), -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    RestoreDC(dc, saved);
}
