#pragma once

#include "framework/DialogWindow.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

// The contact address the mail link shows and opens; the link text of the
// About box template carries the same address.
extern const char kContactMailAddress[];

// The mail link's state is process-wide: the link procedure has no object to
// keep it in, and every About box shares it (one box is open at a time).

// The static control's own procedure; every message the link does not consume
// goes there.
extern WNDPROC linkPreviousProc;
// The font the dialog gave the link; the dialog owns it.
extern HFONT linkNormalFont;
// An underlined copy of linkNormalFont for the hot link, made by the About box.
extern GdiObject<HFONT> linkUnderlinedFont;
// The pointer is over the link: blue and underlined instead of black.
extern bool linkHot;

// Hands a "mailto:" URL to the shell on behalf of the link window. Replaceable
// so that a click can be observed without starting a mail program.
using MailLinkOpener = void (*)(HWND link, const char* url);
extern MailLinkOpener openMailLink;
// The default opener: ShellExecuteA with the default verb; a missing mail
// program fails silently.
void shellOpenMailLink(HWND link, const char* url);

// The window procedure that turns the static control into a hyperlink: it
// paints the text itself, shows the hand cursor, follows the pointer with a
// 100 ms timer and opens the mail link on a click.
LRESULT CALLBACK mailLinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam);

// The program's modal About box: picture, name and version, a second line and
// the mail link. Esc leaves it open; OK, Enter and the caption's close box end it.
class AboutBox : public DialogWindow {
public:
    // Shows the box owned by `ownerWindow` until it is closed; returns the
    // dialog's result (0, or -1 when it could not be shown).
    int run(HWND ownerWindow);

    void onClose() override;
    // Releases the underlined font and forgets both link fonts, so the next
    // box takes them afresh from its own control.
    void onDestroy() override;
    // Turns the mail link control into a hyperlink; true lets the dialog
    // manager put the focus on the OK button.
    bool onInitDialog(HWND focusControl, LPARAM initValue) override;
    void onOK() override;
};
