#include "book/ColorChooser.h"
#include "book/FormatPage.h"
#include "book/Page.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/Picture.h"
#include "support/SheetDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kStandardSizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                                 "20", "22", "24", "26", "28", "36", "48", "72"};
constexpr int kAddCustomColorButton = 712;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// What the Format tab's controls show.
struct FormatShown {
    std::string target;
    std::string face;
    std::string size;
    std::vector<std::string> sizes;
};

FormatShown readFormat(HWND format) {
    return {comboSelectedText(format, IDC_TARGET), comboSelectedText(format, IDC_FACE),
            comboSelectedText(format, IDC_FONT_SIZE), comboItems(format, IDC_FONT_SIZE)};
}

// Pixels of `color` inside the area that a swatch's edge and focus frame leave free.
int inside(const Picture& swatch, COLORREF color) {
    return swatch.count(color, RECT{5, 5, swatch.width - 5, swatch.height - 5});
}

class FormatTab : public ::testing::Test {
protected:
    FormatTab() { page.title = "書式"; }

    // Runs the sheet; the first step gets the Format tab already shown.
    bool run(std::function<void(HWND sheet, HWND format)> first, std::vector<DialogScript::Step> more = {}) {
        more.insert(more.begin(), [this, first](HWND window) {
            sheet = window;
            format = showTab(window, 1, IDC_FACE);
            format ? first(window, format) : pressCancel(window);
        });
        const bool confirmed = runScripted([this] { return page.editSettings(nullptr) ? 1 : 0; }, std::move(more));
        EXPECT_NE(format, nullptr);
        return confirmed;
    }

    Picture swatch(int id, UINT state = 0) const { return drawItem(format, GetDlgItem(format, id), state); }

    // Picks a colour in the dialog the swatch opened and waits for it to close.
    static void pickColor(HWND colorDialog, int red, int green, int blue) {
        typeRgb(colorDialog, red, green, blue);
        clickButton(colorDialog, IDOK);
        waitUntilGone(colorDialog);
    }

    Page page;
    HWND sheet = nullptr;
    HWND format = nullptr;
};

} // namespace

// Under Wine the default face exists only as a substitute, enumerated with
// the full name of the font standing in for it; it must be listed and
// selected all the same.
TEST_F(FormatTab, ADefaultPageShowsTheEditorInTheDefaultFace) {
    std::vector<std::string> targets, styles, faces;
    int frameStyle = -1;
    FormatShown shown;
    EXPECT_FALSE(run([&](HWND window, HWND tab) {
        targets = comboItems(tab, IDC_TARGET);
        styles = comboItems(tab, IDC_FRAME_STYLE);
        frameStyle = comboSelection(tab, IDC_FRAME_STYLE);
        faces = comboItems(tab, IDC_FACE);
        shown = readFormat(tab);
        pressCancel(window);
    }));
    EXPECT_EQ(targets, (std::vector<std::string>{"エディタ", "タイトル"}));
    EXPECT_EQ(styles, (std::vector<std::string>{"出っ張り", "平ら", "引っ込み"}));
    EXPECT_EQ(frameStyle, Flat);
    EXPECT_EQ(shown.target, "エディタ");
    EXPECT_EQ(shown.face, "ＭＳ ゴシック");
    EXPECT_EQ(shown.sizes, kStandardSizes);
    EXPECT_EQ(shown.size, "10");
    EXPECT_EQ(std::set<std::string>(faces.begin(), faces.end()).size(), faces.size());
    EXPECT_TRUE(std::none_of(faces.begin(), faces.end(), [](const std::string& face) { return face[0] == '@'; }));
}

// The size list of a TrueType face is the sixteen standard sizes whatever is
// wanted; the selection is the first size not below the wanted one.
TEST_F(FormatTab, SizesOfATrueTypeFaceAndTheNearestSelection) {
    page.format.editorFormat = {AutoColor, AutoColor, "Tahoma", 13};
    page.format.titleFormat = {AutoColor, AutoColor, "IPAゴシック", 100};
    FormatShown editor, title;
    run([&](HWND window, HWND tab) {
        editor = readFormat(tab);
        chooseComboIndex(tab, IDC_TARGET, 1);
        title = readFormat(tab);
        pressCancel(window);
    });
    EXPECT_EQ(editor.face, "Tahoma");
    EXPECT_EQ(editor.sizes, kStandardSizes);
    EXPECT_EQ(editor.size, "14");
    EXPECT_EQ(title.target, "タイトル");
    EXPECT_EQ(title.face, "IPAゴシック");
    EXPECT_EQ(title.sizes, kStandardSizes);
    EXPECT_EQ(title.size, "72");
}

TEST_F(FormatTab, SwitchingTheTargetKeepsTheEditsOfBothFormats) {
    FormatShown titleShown, editorAgain, afterFaceChange;
    EXPECT_TRUE(run([&](HWND window, HWND tab) {
        chooseComboText(tab, IDC_FACE, "IPA明朝");
        chooseComboText(tab, IDC_FONT_SIZE, "20");
        chooseComboIndex(tab, IDC_TARGET, 1);
        titleShown = readFormat(tab);
        chooseComboText(tab, IDC_FACE, "Tahoma");
        chooseComboText(tab, IDC_FONT_SIZE, "8");
        chooseComboIndex(tab, IDC_TARGET, 0);
        editorAgain = readFormat(tab);
        // A new face looks for the working size again, not the one just picked.
        chooseComboText(tab, IDC_FONT_SIZE, "36");
        chooseComboText(tab, IDC_FACE, "IPA Pゴシック");
        afterFaceChange = readFormat(tab);
        chooseComboText(tab, IDC_FACE, "IPA明朝");
        pressOk(window);
    }));
    EXPECT_EQ(titleShown.face, "ＭＳ ゴシック");
    EXPECT_EQ(titleShown.size, "10");
    EXPECT_EQ(editorAgain.face, "IPA明朝");
    EXPECT_EQ(editorAgain.size, "20");
    EXPECT_EQ(afterFaceChange.size, "20");
    EXPECT_TRUE(page.format.editorFormat == (TextFormat{AutoColor, AutoColor, "IPA明朝", 20}));
    EXPECT_TRUE(page.format.titleFormat == (TextFormat{AutoColor, AutoColor, "Tahoma", 8}));
    EXPECT_EQ(page.format.frameStyle, Flat);
}

// A face that is not installed can be neither selected nor measured: the
// lists show nothing and OK keeps the page's face and size.
TEST_F(FormatTab, AFaceThatIsNotInstalledKeepsTheWorkingFaceAndSize) {
    page.format.editorFormat.fontFace = "存在しない書体";
    page.format.editorFormat.fontSize = 15;
    FormatShown shown, shownAgain;
    EXPECT_TRUE(run([&](HWND window, HWND tab) {
        shown = readFormat(tab);
        chooseComboIndex(tab, IDC_TARGET, 1);
        chooseComboIndex(tab, IDC_TARGET, 0);
        shownAgain = readFormat(tab);
        pressOk(window);
    }));
    EXPECT_EQ(shown.face, "");
    EXPECT_TRUE(shown.sizes.empty());
    EXPECT_EQ(shown.size, "");
    EXPECT_EQ(shownAgain.face, "");
    EXPECT_EQ(page.format.editorFormat.fontFace, "存在しない書体");
    EXPECT_EQ(page.format.editorFormat.fontSize, 15);
}

// The automatic button ends the colour dialog as a choice; Cancel is none.
TEST_F(FormatTab, AutomaticColorFromTheDialogAndCancelThatKeepsTheSwatch) {
    page.format.editorFormat.backColor = RGB(1, 2, 3);
    Picture stored, afterCancel, automatic;
    bool closedByAutomatic = false;
    EXPECT_TRUE(run(
        [&](HWND, HWND tab) {
            stored = swatch(IDC_BACK_SWATCH);
            clickButton(tab, IDC_BACK_SWATCH);
        },
        {[&](HWND colorDialog) {
             clickButton(colorDialog, IDCANCEL);
             waitUntilGone(colorDialog);
             afterCancel = swatch(IDC_BACK_SWATCH);
             clickButton(format, IDC_BACK_SWATCH);
         },
         [&](HWND colorDialog) {
             clickButton(colorDialog, IDC_AUTO_COLOR);
             closedByAutomatic = waitUntilGone(colorDialog);
             automatic = swatch(IDC_BACK_SWATCH);
             pressOk(sheet);
         }}));
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ASSERT_GT(stored.width, 12);
    EXPECT_GT(inside(stored, RGB(1, 2, 3)), 0);
    EXPECT_EQ(inside(stored, kWhite), 0) << "a stored colour shows no text";
    EXPECT_EQ(afterCancel.pixels, stored.pixels);
    EXPECT_TRUE(closedByAutomatic);
    EXPECT_EQ(inside(automatic, RGB(1, 2, 3)), 0);
    EXPECT_GT(inside(automatic, window), 0);
    EXPECT_GT(inside(automatic, FormatPage::automaticTextColor(window)), 0) << "the word 自動";
    EXPECT_EQ(page.format.editorFormat.backColor, AutoColor);
}

// The frame colour is the same for both targets; a colour picked for it
// survives a change of target.
TEST_F(FormatTab, ChosenColorsAndFrameStyleLandInThePage) {
    page.format.titleFormat.textColor = RGB(50, 60, 70);
    Picture chosen;
    EXPECT_TRUE(run(
        [&](HWND, HWND tab) {
            chooseComboIndex(tab, IDC_FRAME_STYLE, Sunken);
            clickButton(tab, IDC_TEXT_SWATCH);
        },
        {[&](HWND colorDialog) {
             pickColor(colorDialog, 10, 200, 30);
             chosen = swatch(IDC_TEXT_SWATCH);
             clickButton(format, IDC_FRAME_SWATCH);
         },
         [&](HWND colorDialog) {
             pickColor(colorDialog, 90, 80, 70);
             chooseComboIndex(format, IDC_TARGET, 1);
             chooseComboIndex(format, IDC_TARGET, 0);
             pressOk(sheet);
         }}));
    EXPECT_GT(inside(chosen, RGB(10, 200, 30)), 0);
    EXPECT_EQ(page.format.editorFormat.textColor, RGB(10, 200, 30));
    EXPECT_EQ(page.format.titleFormat.textColor, RGB(50, 60, 70));
    EXPECT_EQ(page.format.frameColor, RGB(90, 80, 70));
    EXPECT_EQ(page.format.frameStyle, Sunken);
}

// "自動" is white on a dark colour and black on a light one, up to a channel
// sum of 384: the editor's automatic text colour is the (dark) button text,
// its background the (light) window colour. A disabled swatch is button face
// without text.
TEST_F(FormatTab, AutomaticSwatchesShowTheirWordInAReadableColour) {
    const struct {
        COLORREF background;
        COLORREF word;
    } rows[] = {{RGB(0, 0, 0), kWhite},       {RGB(128, 128, 128), kWhite}, {RGB(128, 128, 129), kBlack},
                {RGB(255, 129, 0), kWhite},   {RGB(255, 129, 1), kBlack},   {RGB(255, 255, 255), kBlack}};
    for (const auto& row : rows) {
        EXPECT_EQ(FormatPage::automaticTextColor(row.background), row.word) << std::hex << row.background;
    }
    Picture back, text, disabled;
    run([&](HWND window, HWND) {
        back = swatch(IDC_BACK_SWATCH);
        text = swatch(IDC_TEXT_SWATCH);
        disabled = swatch(IDC_BACK_SWATCH, ODS_DISABLED);
        pressCancel(window);
    });
    const COLORREF light = GetSysColor(COLOR_WINDOW);
    const COLORREF dark = GetSysColor(COLOR_BTNTEXT);
    ASSERT_GT(GetRValue(light) + GetGValue(light) + GetBValue(light), 384);
    ASSERT_LE(GetRValue(dark) + GetGValue(dark) + GetBValue(dark), 384);
    EXPECT_GT(inside(back, light), 0);
    EXPECT_GT(inside(back, kBlack), 0);
    EXPECT_GT(inside(text, dark), 0);
    EXPECT_GT(inside(text, kWhite), 0);
    EXPECT_GT(inside(disabled, GetSysColor(COLOR_BTNFACE)), 0);
    EXPECT_EQ(inside(disabled, kWhite) + inside(disabled, kBlack), 0);
}

// The custom colours are handed to every colour dialog of the run: one added
// in the first sheet can be picked in the second.
TEST_F(FormatTab, CustomColorsLastFromOneSheetToTheNext) {
    ASSERT_TRUE(run([](HWND, HWND tab) { clickButton(tab, IDC_BACK_SWATCH); }, {[&](HWND colorDialog) {
                        typeRgb(colorDialog, 200, 10, 90);
                        clickButton(colorDialog, kAddCustomColorButton);
                        clickButton(colorDialog, IDCANCEL);
                        waitUntilGone(colorDialog);
                        pressOk(sheet);
                    }}));
    EXPECT_EQ(customColors[0], RGB(200, 10, 90));
    EXPECT_EQ(page.format.editorFormat.backColor, AutoColor) << "the dialog was cancelled";

    EXPECT_TRUE(run([](HWND, HWND tab) { clickButton(tab, IDC_TEXT_SWATCH); }, {[&](HWND colorDialog) {
                        clickFirstCustomColor(colorDialog);
                        clickButton(colorDialog, IDOK);
                        waitUntilGone(colorDialog);
                        pressOk(sheet);
                    }}));
    EXPECT_EQ(page.format.editorFormat.textColor, RGB(200, 10, 90));
}
