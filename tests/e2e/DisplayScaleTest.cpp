// The program at 100, 125, 150 and 200 % display scaling: started while the
// system gives new processes 96, 120, 144 or 192 DPI, every measure of its
// windows is the measure at 96 DPI scaled, and its icons are drawn at the
// size they were made for, not stretched from 16 pixels.
#include "ProgramUnderTest.h"
#include "resources/resource.h"
#include "support/BookFiles.h"
#include "support/Picture.h"
#include "support/RealInput.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <utility>
#include <vector>

namespace {

// The DPI the system gives processes that start while this lives (under Wine
// each process reads it as it starts); 96 again afterwards.
class SystemDpiForNewProcesses {
public:
    explicit SystemDpiForNewProcesses(DWORD dpi) { set(dpi); }
    SystemDpiForNewProcesses(const SystemDpiForNewProcesses&) = delete;
    SystemDpiForNewProcesses& operator=(const SystemDpiForNewProcesses&) = delete;
    ~SystemDpiForNewProcesses() { set(96); }

private:
    static void set(DWORD dpi) {
        HKEY fonts = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_CONFIG, "Software\\Fonts", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &fonts,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(fonts, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(fonts);
    }
};

RECT rectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT clientOrigin(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

std::vector<HWND> childrenOfClass(HWND parent, const char* className) {
    std::vector<HWND> found;
    for (HWND child = nullptr; (child = FindWindowExA(parent, child, className, nullptr)) != nullptr;) {
        found.push_back(child);
    }
    return found;
}

// The height of the caption strip's measuring glyph in the list's caption
// font at `dpi`, as the program measures it.
int glyphHeight(int dpi) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(10, dpi, 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "ＭＳ ゴシック");
    const HFONT font = CreateFontIndirectA(&lf);
    const int height = textHeight(font, "あ");
    DeleteObject(font);
    return height;
}

using Pixels = std::set<std::pair<int, int>>;

// The black pixels inside a rectangle of the screen, relative to its corner.
Pixels blackPixelsOnScreen(const RECT& area) {
    Pixels black;
    const HDC screen = GetDC(nullptr);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(screen, x, y) == RGB(0, 0, 0)) {
                black.insert({x - area.left, y - area.top});
            }
        }
    }
    ReleaseDC(nullptr, screen);
    return black;
}

// The black pixels of an icon of the program drawn at `size` on white.
Pixels blackPixelsOfIcon(const std::string& executable, int iconId, int size) {
    Pixels black;
    const HMODULE module = LoadLibraryExA(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0));
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT all{0, 0, size, size};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (GetPixel(memory, x, y) == RGB(0, 0, 0)) {
                black.insert({x, y});
            }
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    FreeLibrary(module);
    return black;
}

} // namespace

TEST(DisplayScale, EveryMeasureFollowsTheScaleTheProgramStartedAt) {
    // Where each tool bar button lies, in buttons from the left, in the order
    // the program makes them (ブックに戻す shares the place of 別ウィンドウで表示).
    const int places[] = {0, 1, 2, 3, 4, 5, 6, 3, 7};
    // Away from the note, which would grow under the pointer.
    RealInput::moveTo(POINT{1000, 740});
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
        ProgramUnderTest program;
        writeBook(program.bookPath(), {{"page", "text"}, {"note", "n", true}});
        program.write("Leafkeeper.ini", "[Option]\r\nBegin Page=-1\r\n");
        {
            const SystemDpiForNewProcesses scale(static_cast<DWORD>(dpi));
            ASSERT_TRUE(program.start());
            ASSERT_TRUE(waitFor([&] { return IsWindowVisible(program.listBox()) != 0; }));
        }
        // A first start's window is as large on the screen at every scale; a
        // rectangle stored in the book stays screen pixels.
        const HWND book = program.mainWindow();
        const RECT firstStart{scaled(50), scaled(50), scaled(350), scaled(200)};
        const RECT bookRect = rectOf(book);
        EXPECT_TRUE(EqualRect(&bookRect, &firstStart));
        const RECT noteRect = rectOf(program.floatingWindows().at(0));
        const RECT stored{10, 10, 110, 110};
        EXPECT_TRUE(EqualRect(&noteRect, &stored));

        // The strip to the left of the panes, a gap above them.
        const HWND list = GetParent(program.listBox());
        const POINT bookOrigin = clientOrigin(book);
        EXPECT_EQ(rectOf(list).left - bookOrigin.x, scaled(17));
        EXPECT_EQ(rectOf(list).top - bookOrigin.y, scaled(1));

        // The caption strip follows the font, which follows the DPI; the rows.
        const POINT listOrigin = clientOrigin(list);
        EXPECT_EQ(rectOf(program.listBox()).top - listOrigin.y, glyphHeight(dpi) + scaled(2));
        EXPECT_EQ(SendMessageA(program.listBox(), LB_GETITEMHEIGHT, 0, 0), scaled(16));

        // The tool bar: square buttons side by side along the bottom.
        const std::vector<HWND> buttons = childrenOfClass(list, "Button");
        ASSERT_EQ(buttons.size(), std::size(places));
        RECT listClient{};
        GetClientRect(list, &listClient);
        for (std::size_t index = 0; index < buttons.size(); ++index) {
            const RECT button = rectOf(buttons[index]);
            EXPECT_EQ(button.right - button.left, scaled(15)) << index;
            EXPECT_EQ(button.bottom - button.top, scaled(15)) << index;
            EXPECT_EQ(button.left - listOrigin.x, scaled(15) * places[index]) << index;
            EXPECT_EQ(button.bottom - listOrigin.y, listClient.bottom) << index;
        }
        // The magnifier is drawn from its own picture at the button's scale
        // (the icon is a pixel larger than its button at every scale).
        const Pixels drawn = blackPixelsOnScreen(rectOf(buttons.back()));
        Pixels expected = blackPixelsOfIcon(program.file("Leafkeeper.exe"), IDI_SEARCH, scaled(16));
        for (auto pixel = expected.begin(); pixel != expected.end();) {
            pixel = pixel->first < scaled(15) && pixel->second < scaled(15) ? std::next(pixel) : expected.erase(pixel);
        }
        EXPECT_FALSE(drawn.empty());
        EXPECT_EQ(drawn, expected);

        // The note's close button, which shows while the pointer is on it.
        const HWND note = program.floatingWindows().at(0);
        const HWND close = FindWindowExA(note, nullptr, "Button", nullptr);
        EXPECT_EQ(rectOf(close).right - rectOf(close).left, scaled(12));
        program.exit();
    }
}
