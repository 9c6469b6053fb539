#pragma once

#include "book/Page.h"
#include "framework/ComboBox.h"
#include "framework/PropertyPage.h"

#include <windows.h>

#include <array>

// The "書式" tab of the page settings: font, size and colours of either the
// editor or the title strip, and the page's frame. It edits a copy of the
// page's format and writes the copy back only on OK.
class FormatPage : public PropertyPage {
public:
    enum Target { Editor = 0, Title = 1 };
    enum Swatch { Back = 0, Text = 1, Frame = 2 };

    FormatPage();

    void onCommand(UINT notificationCode, UINT id, HWND control) override;
    void onDrawItem(DRAWITEMSTRUCT* item) override;
    bool onInitDialog(HWND focusControl, LPARAM initValue) override;
    bool onApply() override;

    // What an automatic swatch shows: a system colour per button and target.
    static COLORREF automaticColor(Swatch swatch, int target);
    // White on a dark colour (red + green + blue at most 384), black otherwise.
    static COLORREF automaticTextColor(COLORREF background);

    Color& backSwatch() { return swatches[Back]; }
    Color& textSwatch() { return swatches[Text]; }
    Color& frameSwatch() { return swatches[Frame]; }

    PageFormat workingFormat;
    // Indexed by the button's control ID minus IDC_BACK_SWATCH; AutoColor
    // stands for automatic.
    std::array<Color, 3> swatches{AutoColor, AutoColor, AutoColor};
    // The text format the controls show: 0 the editor, 1 the title strip.
    int currentTarget = Editor;
    // The user picked a size for the target shown; until then its stored
    // size is kept, whatever the size list offers.
    bool sizePicked = false;

private:
    HWND item(int id) const { return GetDlgItem(hwnd, id); }
    ComboBox combo(int id) const { return ComboBox(item(id)); }
    int selection(int id) const;
    TextFormat* targetFormat(int target);

    void loadTarget();
    void storeTarget();
    void refillSizesForWorkingSize();
    void refillSizes(int wantedSize);
    void chooseSwatchColor(Swatch swatch);
    void redrawSwatches() const;
    void drawAutomaticLabel(HDC dc, RECT rect, COLORREF background) const;
};
