#include "pagewindows/AboutBox.h"

#include "framework/Application.h"
#include "framework/ExceptionBarrier.h"
#include "framework/DcScopes.h"
#include "framework/DeviceContext.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <string>

const char kContactMailAddress[] = "lk@example.org";

WNDPROC linkPreviousProc = nullptr;
HFONT linkNormalFont = nullptr;
GdiObject<HFONT> linkUnderlinedFont;
bool linkHot = false;

MailLinkOpener openMailLink = shellOpenMailLink;

void shellOpenMailLink(HWND link, const char* url) {
    ShellExecuteA(link, nullptr, url, nullptr, nullptr, SW_SHOW);
}

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverCheckMilliseconds = 100;
constexpr COLORREF kHotTextColor = 0x00FF0000;
constexpr COLORREF kColdTextColor = 0x00000000;
// GetWindowTextA's buffer: the link draws at most 49 bytes of its text.
constexpr int kLinkTextBuffer = 50;

void paintMailLink(HWND link) {
    PaintDc paint(link);
    char text[kLinkTextBuffer] = {};
    const int length = GetWindowTextA(link, text, kLinkTextBuffer);
    RECT client{};
    GetClientRect(link, &client);
    const DeviceContext dc(paint.get());
    dc.fillRect(client, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc.handle(), TRANSPARENT);
    SetTextColor(dc.handle(), linkHot ? kHotTextColor : kColdTextColor);
    // A null font (the control had none, or the copy could not be made)
    // selects nothing: the text comes out in the device context's font.
    const SelectedObject font(dc.handle(), linkHot ? linkUnderlinedFont.get() : linkNormalFont);
    DrawTextA(dc.handle(), text, length, &client, DT_CENTER);
}

void showHandCursor() {
    SetCursor(LoadCursorA(application().instance, MAKEINTRESOURCEA(IDCUR_HAND)));
}

// Only the change to hot repaints, so a pointer moving inside the link does
// not make it flicker.
void beginHover(HWND link) {
    if (linkHot) {
        return;
    }
    linkHot = true;
    SetTimer(link, kHoverTimer, kHoverCheckMilliseconds, nullptr);
    InvalidateRect(link, nullptr, FALSE);
}

// The static control gets no message when the pointer leaves it, so the
// timer looks where the pointer is until it has gone.
void checkHover(HWND link) {
    KillTimer(link, kHoverTimer);
    POINT pointer{};
    RECT bounds{};
    if (GetCursorPos(&pointer) && GetWindowRect(link, &bounds) && PtInRect(&bounds, pointer)) {
        SetTimer(link, kHoverTimer, kHoverCheckMilliseconds, nullptr);
        return;
    }
    linkHot = false;
    InvalidateRect(link, nullptr, FALSE);
}

void openContactMail(HWND link) {
    const std::string url = std::string("mailto:") + kContactMailAddress;
    openMailLink(link, url.c_str());
}

LRESULT callLinkPrevious(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    // Reached only through a link that was never subclassed (no saved
    // procedure): the default procedure keeps such a window usable.
    if (!linkPreviousProc) {
        return DefWindowProcA(link, message, wParam, lParam);
    }
    return CallWindowProcA(linkPreviousProc, link, message, wParam, lParam);
}

LRESULT handleLinkMessage(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintMailLink(link);
        return 0;
    case WM_SETCURSOR:
        showHandCursor();
        return 0;
    case WM_MOUSEMOVE:
        beginHover(link);
        break;
    case WM_TIMER:
        checkHover(link);
        break;
    case WM_LBUTTONDOWN:
        openContactMail(link);
        return 0;
    default:
        break;
    }
    return callLinkPrevious(link, message, wParam, lParam);
}

void subclassMailLink(HWND link) {
    linkPreviousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongA(link, GWL_WNDPROC, reinterpret_cast<LONG>(mailLinkProc)));
}

// Either handle may stay null: the control has no font of its own, or the
// copy cannot be made. The link then paints in the default font.
void takeLinkFonts(HWND link) {
    if (!linkNormalFont) {
        linkNormalFont = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
    }
    if (linkUnderlinedFont || !linkNormalFont) {
        return;
    }
    LOGFONTA logFont{};
    if (GetObjectA(linkNormalFont, sizeof logFont, &logFont) != sizeof logFont) {
        return;
    }
    logFont.lfUnderline = 1;
    linkUnderlinedFont.reset(CreateFontIndirectA(&logFont));
}

} // namespace

LRESULT CALLBACK mailLinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    return withinExceptionBarrier<LRESULT>(0, [&] { return handleLinkMessage(link, message, wParam, lParam); });
}

int AboutBox::run(HWND ownerWindow) {
    return doModal(IDD_ABOUT, ownerWindow);
}

void AboutBox::onClose() {
    endDialog();
}

void AboutBox::onDestroy() {
    linkUnderlinedFont.reset();
    linkNormalFont = nullptr;
    DialogWindow::onDestroy();
}

bool AboutBox::onInitDialog(HWND, LPARAM) {
    // A box closed while the link was hot (by the keyboard, or before the
    // timer noticed the pointer had left) would otherwise open with a hot
    // link and no timer to cool it.
    linkHot = false;
    if (HWND link = GetDlgItem(hwnd, IDC_MAIL_LINK)) {
        subclassMailLink(link);
        takeLinkFonts(link);
    }
    return true;
}

void AboutBox::onOK() {
    endDialog();
}
