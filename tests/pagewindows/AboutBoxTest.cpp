#include "pagewindows/AboutBox.h"

#include "app/Application.h"
#include "framework/DcScopes.h"
#include "framework/DialogProcedure.h"
#include "resources/resource.h"
#include "support/ModalWatchdog.h"
#include "support/Picture.h"
#include "support/Pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What the link shows, read pixel by pixel from its client area. Glyph edges
// may be smoothed into the background, so a pixel counts by the colour that
// dominates it.
struct LinkPixels {
    int blue = 0;
    int black = 0;
    // An underline is an unbroken blue run as wide as the blue text.
    int longestBlueRun = 0;
    int blueSpan = 0;

    bool hot() const { return blue > 0 && black == 0 && longestBlueRun * 5 >= blueSpan * 4; }
    bool cold() const { return black > 0 && blue == 0; }
};

LinkPixels readLinkPixels(HWND link) {
    LinkPixels pixels;
    const Picture shown = grabWindow(link);
    int left = shown.width;
    int right = -1;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0, run = 0; x < shown.width; ++x) {
            const COLORREF pixel = shown.at(x, y);
            const bool darkRedAndGreen = GetRValue(pixel) < 0x60 && GetGValue(pixel) < 0x60;
            run = darkRedAndGreen && GetBValue(pixel) >= 0xC0 ? run + 1 : 0;
            if (run > 0) {
                ++pixels.blue;
                left = std::min(left, x);
                right = std::max(right, x);
                pixels.longestBlueRun = std::max(pixels.longestBlueRun, run);
            } else if (darkRedAndGreen && GetBValue(pixel) < 0x60) {
                ++pixels.black;
            }
        }
    }
    pixels.blueSpan = std::max(0, right - left + 1);
    return pixels;
}

// For the script thread: the link is painted by the modal loop's thread.
LinkPixels waitForLinkPixels(HWND link, bool (LinkPixels::*state)() const) {
    const DWORD start = GetTickCount();
    LinkPixels pixels = readLinkPixels(link);
    while (!(pixels.*state)() && GetTickCount() - start < 3000) {
        Sleep(20);
        pixels = readLinkPixels(link);
    }
    return pixels;
}

void movePointerOnto(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
}

// A corner of the desktop that no test window covers.
void movePointerAway() {
    SetCursorPos(2, 2);
}

void pressKey(HWND dialog, UINT virtualKey) {
    PostMessageA(dialog, WM_KEYDOWN, virtualKey, 0x00010001);
}

// Gives the modal loop time to act on what was posted before it.
bool stillOpenAfterAWhile(HWND dialog) {
    Sleep(400);
    return IsWindowVisible(dialog) != FALSE;
}

struct OpenedLink {
    HWND window;
    std::string url;
};
std::vector<OpenedLink> openedLinks;

void recordOpenedLink(HWND link, const char* url) {
    openedLinks.push_back({link, url});
}
void failToOpenLink(HWND, const char*) {
    throw std::runtime_error("no mail program");
}

// Stands in for the shell while a test runs.
struct MailLinkOpenerScope {
    explicit MailLinkOpenerScope(MailLinkOpener opener) {
        openedLinks.clear();
        openMailLink = opener;
    }
    ~MailLinkOpenerScope() { openMailLink = shellOpenMailLink; }
};

// The owner a modal box disables while it runs.
struct OwnerWindow {
    HWND hwnd =
        CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 20, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ~OwnerWindow() { DestroyWindow(hwnd); }
};

// Notes on the test thread, as the box opens, what its set-up left behind.
class ObservedAboutBox : public AboutBox {
public:
    bool onInitDialog(HWND focusControl, LPARAM initValue) override {
        const bool result = AboutBox::onInitDialog(focusControl, initValue);
        HWND link = GetDlgItem(hwnd, IDC_MAIL_LINK);
        linkSubclassed = reinterpret_cast<WNDPROC>(GetWindowLongA(link, GWL_WNDPROC)) == mailLinkProc;
        normalFontIsTheControls =
            linkNormalFont && linkNormalFont == reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
        LOGFONTA logFont{};
        underlinedFont = linkUnderlinedFont.get();
        underlinedFontMade =
            GetObjectA(underlinedFont, sizeof logFont, &logFont) == sizeof logFont && logFont.lfUnderline == 1;
        hotWhenOpened = linkHot;
        return result;
    }

    bool linkSubclassed = false;
    bool normalFontIsTheControls = false;
    HFONT underlinedFont = nullptr;
    bool underlinedFontMade = false;
    bool hotWhenOpened = true;
};

// Runs the box on this thread while the steps drive it from another; it must
// end normally, with 0.
void runAboutBox(AboutBox& box, HWND owner, std::vector<DialogScript::Step> steps) {
    EXPECT_EQ(runScripted([&] { return box.run(owner); }, std::move(steps)), 0);
}

// Counts what reaches the link, in front of mailLinkProc.
WNDPROC countedLinkProc = nullptr;
int linkPaints = 0;
int linkTimers = 0;

LRESULT CALLBACK countingLinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    linkPaints += message == WM_PAINT;
    linkTimers += message == WM_TIMER;
    return CallWindowProcA(countedLinkProc, link, message, wParam, lParam);
}

// An About box without a modal loop, so the link can be driven step by step
// on the test thread, where GetCursor and the paint count can be seen.
class OpenAboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        movePointerAway();
        ASSERT_NE(CreateDialogParamA(application().instance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, dialogProcedure,
                                     reinterpret_cast<LPARAM>(&box)),
                  nullptr);
        ShowWindow(box.hwnd, SW_SHOW);
        link = GetDlgItem(box.hwnd, IDC_MAIL_LINK);
        flushEvents();
        linkPaints = linkTimers = 0;
        countedLinkProc =
            reinterpret_cast<WNDPROC>(SetWindowLongA(link, GWL_WNDPROC, reinterpret_cast<LONG>(countingLinkProc)));
    }
    void TearDown() override {
        DestroyWindow(box.hwnd);
        movePointerAway();
        flushEvents();
    }

    AboutBox box;
    HWND link = nullptr;
};

} // namespace

// The real pointer, moved by the window system: only because the static has
// SS_NOTIFY do its hit tests, WM_SETCURSOR and WM_MOUSEMOVE reach the link.
TEST_F(OpenAboutBox, ThePointerShowsTheHandAnywhereOverTheLink) {
    RECT bounds{};
    GetWindowRect(link, &bounds);
    const POINT points[] = {{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2},
                            {bounds.left, bounds.top},
                            {bounds.right - 1, bounds.bottom - 1},
                            {bounds.left - 3, bounds.top - 3}};
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR hand = LoadCursorA(application().instance, MAKEINTRESOURCEA(IDCUR_HAND));
    ASSERT_NE(hand, nullptr);
    for (const POINT& point : points) {
        const bool inside = PtInRect(&bounds, point) != FALSE;
        SetCursor(inside ? arrow : hand);
        SetCursorPos(point.x, point.y);
        EXPECT_TRUE(pumpUntil([&] { return GetCursor() == (inside ? hand : arrow); }, 2000))
            << "at " << point.x - bounds.left << "," << point.y - bounds.top;
    }
}

TEST_F(OpenAboutBox, HoverTurnsTheLinkBlueAndUnderlinedUntilThePointerLeaves) {
    EXPECT_TRUE(readLinkPixels(link).cold());

    movePointerOnto(link);
    ASSERT_TRUE(pumpUntil([] { return linkHot; }, 2000));
    flushEvents();
    const LinkPixels hot = readLinkPixels(link);
    EXPECT_TRUE(hot.hot()) << hot.blue << " blue, " << hot.black << " black, run " << hot.longestBlueRun << " of "
                           << hot.blueSpan;
    EXPECT_EQ(linkPaints, 1);

    // Moving about inside, across several checks of the timer, repaints
    // nothing: only the changes between hot and cold do.
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(GetUpdateRect(link, nullptr, FALSE));
    const DWORD start = GetTickCount();
    bool stayedHot = true;
    while (GetTickCount() - start < 350) {
        flushEvents(10, 20);
        stayedHot = stayedHot && linkHot;
    }
    EXPECT_TRUE(stayedHot);
    EXPECT_GE(linkTimers, 2);
    EXPECT_EQ(linkPaints, 1);

    movePointerAway();
    EXPECT_TRUE(pumpUntil([] { return !linkHot; }, 2000));
    flushEvents();
    EXPECT_TRUE(readLinkPixels(link).cold());
    EXPECT_EQ(linkPaints, 2);

    // A cold link has no timer left running.
    const int timersWhenCold = linkTimers;
    flushEvents(300, 600);
    EXPECT_EQ(linkTimers, timersWhenCold);
}

// Esc and the Cancel button leave the box open; OK, Enter and the caption's
// close box end it and enable the owner again.
TEST(AboutBox, EscLeavesTheBoxOpenAndOkEnterOrTheCloseBoxEndIt) {
    const std::pair<const char*, void (*)(HWND)> closings[] = {
        {"OK", [](HWND dialog) { clickButton(dialog, IDOK); }},
        {"Enter", [](HWND dialog) { pressKey(dialog, VK_RETURN); }},
        {"WM_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }},
        {"SC_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    OwnerWindow owner;
    for (const auto& [name, close] : closings) {
        SCOPED_TRACE(name);
        AboutBox box;
        HWND shown = nullptr;
        bool ownerDisabled = false, openAfterEscape = false, openAfterCancel = false;
        runAboutBox(box, owner.hwnd, {[&, close = close](HWND dialog) {
                        shown = dialog;
                        ownerDisabled = !IsWindowEnabled(owner.hwnd);
                        pressKey(dialog, VK_ESCAPE);
                        openAfterEscape = stillOpenAfterAWhile(dialog);
                        clickButton(dialog, IDCANCEL);
                        openAfterCancel = stillOpenAfterAWhile(dialog);
                        close(dialog);
                    }});
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_TRUE(openAfterCancel);
        EXPECT_FALSE(IsWindow(shown));
        EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
    }
}

TEST(AboutBox, AClickOnTheLinkAsksToOpenTheAddressItShows) {
    const MailLinkOpenerScope recording(recordOpenedLink);
    AboutBox box;
    HWND link = nullptr;
    std::string linkText;
    LRESULT answer = -1;
    bool openAfterClick = false;
    const auto clickLinkThenOk = [&](HWND dialog) {
        link = GetDlgItem(dialog, IDC_MAIL_LINK);
        linkText = windowText(link);
        answer = SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        openAfterClick = stillOpenAfterAWhile(dialog);
        clickButton(dialog, IDOK);
    };

    runAboutBox(box, nullptr, {clickLinkThenOk});
    EXPECT_EQ(linkText, std::string("Mail: ") + kContactMailAddress);
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(openAfterClick);
    ASSERT_EQ(openedLinks.size(), 1u);
    EXPECT_EQ(openedLinks[0].url, "mailto:lk@example.org");
    EXPECT_EQ(openedLinks[0].window, link);
}

// The exception is reported, not unwound through the window system, and the
// box carries on.
TEST(AboutBox, AFailureInTheLinkIsReportedAndTheBoxCarriesOn) {
    const MailLinkOpenerScope failing(failToOpenLink);
    AboutBox box;
    HWND about = nullptr;
    std::string reportCaption;
    bool openAfterReport = false;
    // Posted: the report's message box runs inside the click's handling.
    const auto clickLink = [&](HWND dialog) {
        about = dialog;
        PostMessageA(GetDlgItem(dialog, IDC_MAIL_LINK), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    };
    const auto answerReportThenOk = [&](HWND report) {
        reportCaption = windowText(report);
        clickButton(report, IDOK);
        openAfterReport = stillOpenAfterAWhile(about);
        clickButton(about, IDOK);
    };

    runAboutBox(box, nullptr, {clickLink, answerReportThenOk});
    EXPECT_EQ(reportCaption, "Leafkeeper");
    EXPECT_TRUE(openAfterReport);
}

// The first box ends by Enter while the pointer is over the link, so the link
// is hot as its window goes. The second box must open cold (no timer would
// ever cool it) and work as the first did: its own subclassed control, its
// own underlined font, released again when it ends.
TEST(AboutBox, ABoxClosedWhileTheLinkWasHotOpensTheNextOneColdAndWorkingAgain) {
    movePointerAway();
    ObservedAboutBox first;
    LinkPixels firstHot;
    const auto hoverThenEnter = [&](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_MAIL_LINK);
        movePointerOnto(link);
        firstHot = waitForLinkPixels(link, &LinkPixels::hot);
        pressKey(dialog, VK_RETURN);
    };
    runAboutBox(first, nullptr, {hoverThenEnter});
    ASSERT_TRUE(firstHot.hot());
    ASSERT_TRUE(linkHot);

    movePointerAway();
    ObservedAboutBox second;
    LinkPixels opened;
    LinkPixels secondHot;
    LinkPixels secondCold;
    const auto lookThenHoverThenOk = [&](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_MAIL_LINK);
        Sleep(200);
        opened = readLinkPixels(link);
        movePointerOnto(link);
        secondHot = waitForLinkPixels(link, &LinkPixels::hot);
        movePointerAway();
        secondCold = waitForLinkPixels(link, &LinkPixels::cold);
        clickButton(dialog, IDOK);
    };
    runAboutBox(second, nullptr, {lookThenHoverThenOk});

    EXPECT_FALSE(second.hotWhenOpened);
    EXPECT_TRUE(opened.cold()) << opened.blue << " blue, " << opened.black << " black";
    EXPECT_TRUE(secondHot.hot());
    EXPECT_TRUE(secondCold.cold());
    for (const ObservedAboutBox* box : {&first, &second}) {
        EXPECT_TRUE(box->linkSubclassed);
        EXPECT_TRUE(box->normalFontIsTheControls);
        EXPECT_TRUE(box->underlinedFontMade);
        EXPECT_EQ(GetObjectType(box->underlinedFont), 0u) << "the underlined font outlived its box";
    }
    EXPECT_EQ(linkUnderlinedFont.get(), nullptr);
    EXPECT_EQ(linkNormalFont, nullptr);
}
