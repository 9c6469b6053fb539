#include "PageSheetDriver.h"

#include "book/ColorChooser.h"
#include "book/FormatPage.h"
#include "book/Page.h"
#include "resources/resource.h"
#include "support/Dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace pagesheet;

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

class FormatTab : public ::testing::Test {
protected:
    FormatTab() { page.title = "書式"; }

    // Runs the sheet; the first step gets the Format tab already shown.
    bool run(std::function<void(HWND sheet, HWND format)> first, std::vector<DialogScript::Step> more = {}) {
        std::vector<DialogScript::Step> steps;
        steps.push_back([this, first](HWND window) {
            sheet = window;
            format = showTab(window, 1, IDC_FACE);
            if (format) {
                first(window, format);
            } else {
                pressCancel(window);
            }
        });
        steps.insert(steps.end(), more.begin(), more.end());
        DialogScript script(std::move(steps));
        const bool confirmed = page.editSettings(nullptr);
        EXPECT_TRUE(script.wait()) << "steps run: " << script.stepsRun();
        EXPECT_FALSE(watchdog.fired());
        EXPECT_NE(format, nullptr);
        return confirmed;
    }

    SheetWatchdog watchdog;
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

    const bool confirmed = run([&](HWND window, HWND tab) {
        targets = comboItems(tab, IDC_TARGET);
        styles = comboItems(tab, IDC_FRAME_STYLE);
        frameStyle = comboSelection(tab, IDC_FRAME_STYLE);
        faces = comboItems(tab, IDC_FACE);
        shown = readFormat(tab);
        pressCancel(window);
    });

    EXPECT_FALSE(confirmed);
    EXPECT_EQ(targets, (std::vector<std::string>{"エディタ", "タイトル"}));
    EXPECT_EQ(styles, (std::vector<std::string>{"出っ張り", "平ら", "引っ込み"}));
    EXPECT_EQ(frameStyle, Flat);
    EXPECT_EQ(shown.target, "エディタ");
    EXPECT_EQ(shown.face, "ＭＳ ゴシック");
    EXPECT_EQ(shown.sizes, kStandardSizes);
    EXPECT_EQ(shown.size, "10");
    const std::set<std::string> distinct(faces.begin(), faces.end());
    EXPECT_EQ(distinct.size(), faces.size());
    EXPECT_TRUE(std::none_of(faces.begin(), faces.end(), [](const std::string& face) { return face[0] == '@'; }));
}

// The size list of a TrueType face is the sixteen standard sizes whatever is
// wanted; the selection is the first size not below the wanted one.
TEST_F(FormatTab, SizesOfATrueTypeFaceAndTheNearestSelection) {
    page.format.editorFormat.fontFace = "Tahoma";
    page.format.editorFormat.fontSize = 13;
    page.format.titleFormat.fontFace = "IPAゴシック";
    page.format.titleFormat.fontSize = 100;
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

    const bool confirmed = run([&](HWND window, HWND tab) {
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
    });

    EXPECT_EQ(titleShown.face, "ＭＳ ゴシック");
    EXPECT_EQ(titleShown.size, "10");
    EXPECT_EQ(editorAgain.face, "IPA明朝");
    EXPECT_EQ(editorAgain.size, "20");
    EXPECT_EQ(afterFaceChange.size, "20");
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(page.format.editorFormat.fontFace, "IPA明朝");
    EXPECT_EQ(page.format.editorFormat.fontSize, 20);
    EXPECT_EQ(page.format.titleFormat.fontFace, "Tahoma");
    EXPECT_EQ(page.format.titleFormat.fontSize, 8);
    EXPECT_EQ(page.format.frameStyle, Flat);
    EXPECT_EQ(page.format.editorFormat.backColor, AutoColor);
}

// A face that is not installed can be neither selected nor measured: the
// lists show nothing and OK keeps the page's face and size.
TEST_F(FormatTab, AFaceThatIsNotInstalledKeepsTheWorkingFaceAndSize) {
    page.format.editorFormat.fontFace = "存在しない書体";
    page.format.editorFormat.fontSize = 15;
    FormatShown shown, shownAgain;

    const bool confirmed = run([&](HWND window, HWND tab) {
        shown = readFormat(tab);
        chooseComboIndex(tab, IDC_TARGET, 1);
        chooseComboIndex(tab, IDC_TARGET, 0);
        shownAgain = readFormat(tab);
        pressOk(window);
    });

    EXPECT_EQ(shown.face, "");
    EXPECT_TRUE(shown.sizes.empty());
    EXPECT_EQ(shown.size, "");
    EXPECT_EQ(shownAgain.face, "");
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(page.format.editorFormat.fontFace, "存在しない書体");
    EXPECT_EQ(page.format.editorFormat.fontSize, 15);
}

// The automatic button ends the colour dialog as a choice; Cancel is none.
TEST_F(FormatTab, AutomaticColorFromTheDialogAndCancelThatKeepsTheSwatch) {
    page.format.editorFormat.backColor = RGB(1, 2, 3);
    Rendering stored, afterCancel, automatic;
    bool dialogClosedByAutomatic = false;

    const bool confirmed = run(
        [&](HWND, HWND tab) {
            stored = renderSwatch(tab, IDC_BACK_SWATCH);
            clickButton(tab, IDC_BACK_SWATCH);
        },
        {
            [&](HWND colorDialog) {
                clickButton(colorDialog, IDCANCEL);
                waitUntilGone(colorDialog);
                afterCancel = renderSwatch(format, IDC_BACK_SWATCH);
                clickButton(format, IDC_BACK_SWATCH);
            },
            [&](HWND colorDialog) {
                clickButton(colorDialog, IDC_AUTO_COLOR);
                dialogClosedByAutomatic = waitUntilGone(colorDialog);
                automatic = renderSwatch(format, IDC_BACK_SWATCH);
                pressOk(sheet);
            },
        });

    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ASSERT_GT(stored.width, 12);
    EXPECT_GT(stored.countInside(RGB(1, 2, 3)), 0);
    EXPECT_EQ(stored.countInside(kWhite), 0) << "a stored colour shows no text";
    EXPECT_EQ(afterCancel.pixels, stored.pixels);
    EXPECT_TRUE(dialogClosedByAutomatic);
    EXPECT_EQ(automatic.countInside(RGB(1, 2, 3)), 0);
    EXPECT_GT(automatic.countInside(window), 0);
    EXPECT_GT(automatic.countInside(FormatPage::automaticTextColor(window)), 0) << "the word 自動";
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(page.format.editorFormat.backColor, AutoColor);
}

// The frame colour is the same for both targets; a colour picked for it
// survives a change of target.
TEST_F(FormatTab, ChosenColorsAndFrameStyleLandInThePage) {
    page.format.titleFormat.textColor = RGB(50, 60, 70);
    Rendering chosen;

    const bool confirmed = run(
        [&](HWND, HWND tab) {
            chooseComboIndex(tab, IDC_FRAME_STYLE, Sunken);
            clickButton(tab, IDC_TEXT_SWATCH);
        },
        {
            [&](HWND colorDialog) {
                typeRgb(colorDialog, 10, 200, 30);
                clickButton(colorDialog, IDOK);
                waitUntilGone(colorDialog);
                chosen = renderSwatch(format, IDC_TEXT_SWATCH);
                clickButton(format, IDC_FRAME_SWATCH);
            },
            [&](HWND colorDialog) {
                typeRgb(colorDialog, 90, 80, 70);
                clickButton(colorDialog, IDOK);
                waitUntilGone(colorDialog);
                chooseComboIndex(format, IDC_TARGET, 1);
                chooseComboIndex(format, IDC_TARGET, 0);
                pressOk(sheet);
            },
        });

    EXPECT_GT(chosen.countInside(RGB(10, 200, 30)), 0);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(page.format.editorFormat.textColor, RGB(10, 200, 30));
    EXPECT_EQ(page.format.titleFormat.textColor, RGB(50, 60, 70));
    EXPECT_EQ(page.format.frameColor, RGB(90, 80, 70));
    EXPECT_EQ(page.format.frameStyle, Sunken);
}

// "自動" is white on a dark automatic colour and black on a light one: the
// editor's automatic text colour is the (dark) button text, its background
// the (light) window colour. A disabled swatch is button face without text.
TEST_F(FormatTab, AutomaticSwatchesShowTheirWordInAReadableColour) {
    Rendering back, text, disabled;

    run([&](HWND window, HWND tab) {
        back = renderSwatch(tab, IDC_BACK_SWATCH);
        text = renderSwatch(tab, IDC_TEXT_SWATCH);
        disabled = renderSwatch(tab, IDC_BACK_SWATCH, ODS_DISABLED);
        pressCancel(window);
    });

    const COLORREF light = GetSysColor(COLOR_WINDOW);
    const COLORREF dark = GetSysColor(COLOR_BTNTEXT);
    ASSERT_GT(GetRValue(light) + GetGValue(light) + GetBValue(light), 384);
    ASSERT_LE(GetRValue(dark) + GetGValue(dark) + GetBValue(dark), 384);
    EXPECT_GT(back.countInside(light), 0);
    EXPECT_GT(back.countInside(kBlack), 0);
    EXPECT_GT(text.countInside(dark), 0);
    EXPECT_GT(text.countInside(kWhite), 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(disabled.countInside(face), 0);
    EXPECT_EQ(disabled.countInside(kWhite) + disabled.countInside(kBlack), 0);
}

TEST(AutomaticTextColor, WhiteUpToASumOf384) {
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(0, 0, 0)), kWhite);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(128, 128, 128)), kWhite);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(128, 128, 129)), kBlack);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(255, 129, 0)), kWhite);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(255, 129, 1)), kBlack);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(0, 0, 255)), kWhite);
    EXPECT_EQ(FormatPage::automaticTextColor(RGB(255, 255, 255)), kBlack);
}

// The custom colours are handed to every colour dialog of the run: one added
// in the first sheet can be picked in the second.
TEST_F(FormatTab, CustomColorsLastFromOneSheetToTheNext) {
    const bool first = run([&](HWND, HWND tab) { clickButton(tab, IDC_BACK_SWATCH); }, {[&](HWND colorDialog) {
                               typeRgb(colorDialog, 200, 10, 90);
                               clickButton(colorDialog, kAddCustomColorButton);
                               clickButton(colorDialog, IDCANCEL);
                               waitUntilGone(colorDialog);
                               pressOk(sheet);
                           }});
    ASSERT_TRUE(first);
    EXPECT_EQ(customColors[0], RGB(200, 10, 90));
    EXPECT_EQ(page.format.editorFormat.backColor, AutoColor) << "the dialog was cancelled";

    const bool second = run([&](HWND, HWND tab) { clickButton(tab, IDC_TEXT_SWATCH); }, {[&](HWND colorDialog) {
                                clickFirstCustomColor(colorDialog);
                                clickButton(colorDialog, IDOK);
                                waitUntilGone(colorDialog);
                                pressOk(sheet);
                            }});
    EXPECT_TRUE(second);
    EXPECT_EQ(page.format.editorFormat.textColor, RGB(200, 10, 90));
}
