#include "sheets/FormatPage.h"
#include "sheets/PageSettingsSheet.h"
#include "book/Page.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/Picture.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The target, face, size and size list the Format tab shows, on one line.
std::string shownFormat(HWND format) {
    std::string text = comboSelectedText(format, IDC_TARGET) + " " + comboSelectedText(format, IDC_FACE) + " " +
                       comboSelectedText(format, IDC_FONT_SIZE) + " of";
    for (const std::string& size : comboItems(format, IDC_FONT_SIZE)) {
        text += " " + size;
    }
    return text;
}

// Pixels of `color` inside the area that a swatch's edge and focus frame leave free.
int inside(const Picture& swatch, COLORREF color) {
    return swatch.count(color, RECT{5, 5, swatch.width - 5, swatch.height - 5});
}

bool run(Page& page, std::vector<DialogScript::Step> steps) {
    return runScripted([&page] { return PageSettingsSheet::edit(page, nullptr) ? 1 : 0; }, std::move(steps)) != 0;
}

const std::string kStandardSizes = " of 8 9 10 11 12 14 16 18 20 22 24 26 28 36 48 72";

// The standard sizes with one more in its place.
std::string withSize(int size) {
    std::string sizes = " of";
    bool added = false;
    for (int standard : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) {
        if (!added && size < standard) {
            sizes += " " + std::to_string(size);
            added = true;
        }
        sizes += " " + std::to_string(standard);
    }
    return added ? sizes : sizes + " " + std::to_string(size);
}

} // namespace

// A TrueType face lists the standard sizes and the page's own size, which is
// selected. A face that is not installed cannot be selected: the size list
// offers the standard sizes and OK keeps the face and size. Switching the
// target keeps the edits of both; a new face looks for the working size
// again, not the one just picked.
TEST(FormatTab, EachTargetKeepsItsFaceAndSize) {
    Page page;
    page.title = "書式";
    page.format.editorFormat = {AutoColor, AutoColor, "Tahoma", 13};
    page.format.titleFormat = {AutoColor, AutoColor, "存在しない書体", 15};
    std::vector<std::string> shown;
    EXPECT_TRUE(run(page, {[&](HWND sheet) {
                        const HWND tab = showTab(sheet, 1, IDC_FACE);
                        shown.push_back(shownFormat(tab));
                        chooseComboText(tab, IDC_FACE, "IPA明朝");
                        chooseComboText(tab, IDC_FONT_SIZE, "20");
                        chooseComboIndex(tab, IDC_TARGET, 1);
                        shown.push_back(shownFormat(tab));
                        chooseComboIndex(tab, IDC_TARGET, 0);
                        shown.push_back(shownFormat(tab));
                        chooseComboText(tab, IDC_FONT_SIZE, "36");
                        chooseComboText(tab, IDC_FACE, "IPA Pゴシック");
                        shown.push_back(shownFormat(tab));
                        chooseComboText(tab, IDC_FACE, "IPA明朝");
                        chooseComboIndex(tab, IDC_TARGET, 1);
                        pressOk(sheet);
                    }}));
    EXPECT_EQ(shown, (std::vector<std::string>{"エディタ Tahoma 13" + withSize(13), "タイトル  15" + withSize(15),
                                               "エディタ IPA明朝 20" + kStandardSizes,
                                               "エディタ IPA Pゴシック 20" + kStandardSizes}));
    EXPECT_TRUE(page.format.editorFormat == (TextFormat{AutoColor, AutoColor, "IPA明朝", 20}));
    EXPECT_TRUE(page.format.titleFormat == (TextFormat{AutoColor, AutoColor, "存在しない書体", 15}));
}

// OK after only looking at the tab keeps every stored size and face, those
// no list offers included; a size outside every list keeps its place too.
TEST(FormatTab, OkWithoutChangesKeepsTheStoredFormat) {
    const std::pair<TextFormat, TextFormat> formats[] = {
        {{AutoColor, AutoColor, "Tahoma", 13}, {AutoColor, AutoColor, "IPA明朝", 100}},
        {{AutoColor, AutoColor, "存在しない書体", 7}, {AutoColor, AutoColor, "Tahoma", -5}},
    };
    for (const auto& [editor, title] : formats) {
        Page page;
        page.title = "書式";
        page.format.editorFormat = editor;
        page.format.titleFormat = title;
        const PageFormat before = page.format;
        EXPECT_TRUE(run(page, {[&](HWND sheet) {
                            const HWND tab = showTab(sheet, 1, IDC_FACE);
                            chooseComboIndex(tab, IDC_TARGET, 1);
                            pressOk(sheet);
                        }}));
        EXPECT_TRUE(page.format == before) << editor.fontSize << " " << title.fontSize;
    }
}

// Cancel in the colour dialog is no choice; its automatic button ends it as
// one. The frame colour belongs to neither target and survives a change of
// target. An automatic swatch shows "自動" white on a dark colour and black
// on a light one, up to a channel sum of 384.
TEST(FormatTab, ColorsChosenInTheDialogLandInThePage) {
    Page page;
    page.title = "書式";
    page.format.editorFormat.backColor = RGB(1, 2, 3);
    page.format.titleFormat.textColor = RGB(50, 60, 70);
    page.format.frameColor = RGB(90, 80, 70);
    HWND sheet = nullptr, format = nullptr;
    Picture automatic;
    EXPECT_TRUE(run(page, {[&](HWND window) {
                               sheet = window;
                               format = showTab(sheet, 1, IDC_FACE);
                               chooseComboIndex(format, IDC_FRAME_STYLE, Sunken);
                               clickButton(format, IDC_BACK_SWATCH);
                           },
                           [&](HWND colorDialog) {
                               clickButton(colorDialog, IDCANCEL);
                               waitUntilGone(colorDialog);
                               clickButton(format, IDC_TEXT_SWATCH);
                           },
                           [&](HWND colorDialog) {
                               typeRgb(colorDialog, 10, 200, 30);
                               clickButton(colorDialog, IDOK);
                               waitUntilGone(colorDialog);
                               clickButton(format, IDC_FRAME_SWATCH);
                           },
                           [&](HWND colorDialog) {
                               clickButton(colorDialog, IDC_AUTO_COLOR);
                               EXPECT_TRUE(waitUntilGone(colorDialog));
                               automatic = drawItem(format, GetDlgItem(format, IDC_FRAME_SWATCH));
                               chooseComboIndex(format, IDC_TARGET, 1);
                               chooseComboIndex(format, IDC_TARGET, 0);
                               pressOk(sheet);
                           }}));
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_GT(inside(automatic, shadow), 0);
    EXPECT_GT(inside(automatic, FormatPage::automaticTextColor(shadow)), 0) << "the word 自動";
    EXPECT_TRUE(page.format.editorFormat == (TextFormat{RGB(1, 2, 3), RGB(10, 200, 30), "ＭＳ ゴシック", 10}));
    EXPECT_EQ(page.format.titleFormat.textColor, RGB(50, 60, 70));
    EXPECT_EQ(page.format.frameColor, AutoColor);
    EXPECT_EQ(page.format.frameStyle, Sunken);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(128, 128, 128)), RGB(255, 255, 255));
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(255, 129, 1)), RGB(0, 0, 0));
}
