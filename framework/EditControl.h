#pragma once

#include "framework/DisplayScale.h"
#include "framework/UniqueHandle.h"
#include "framework/WindowObject.h"

#include <string>
#include <vector>

// The multi-line editor of a page: a subclassed "Edit" control with its own
// font, text colour and background brush, which its parent hands out when the
// control asks for its colours.
class EditControl : public WindowObject {
public:
    // Ctrl+F4 sends the parent the command `closeRequestId`.
    explicit EditControl(UINT closeRequestId);

    // A key (with Ctrl, with Shift, as given) that sends the parent a command
    // once the control has seen it.
    void addKeyCommand(UINT virtualKey, bool control, bool shift, UINT command);

    // A hidden, unsized child of `parent` with a vertical scroll bar and
    // unwrapped lines; the owner lays it out and shows it.
    bool createEditor(HWND parent);
    // Keeps the font the control already has when face, size and display
    // scale are the same.
    void setFont(const char* faceName, int pointSize);
    // The same font again at the display scale of the control's window now.
    void applyDisplayScale();
    // kAutomaticColor stands for the system window colour. Returns the new
    // background brush, which the control keeps.
    HBRUSH setBackColor(COLORREF color);
    // kAutomaticColor stands for the system button-text colour. Returns the
    // colour now in use.
    COLORREF setTextColor(COLORREF color);
    // For the parent's WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC: sets the text and
    // background colours of `dc` and returns the background brush.
    HBRUSH prepareColors(HDC dc) const;

    bool scrollCaret() const;
    BOOL showVerticalScrollBar(bool show) const;
    void setMargins(int left, int right) const;
    void setReadOnly(bool readOnly) const;
    // The selection as character offsets.
    void select(int start, int end) const;
    void selection(int& start, int& end) const;
    // Whether the user changed the text since it was set or this was cleared.
    bool modified() const;
    void setModified(bool modified) const;

    // The key commands: Ctrl+F4 asks the parent to close the view (the close
    // request command), and so on.
    void onKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) override;
    // The I-beam over the text while the program has the focus; the arrow
    // over the scroll bar and while it has none.
    bool onSetCursor(HWND window, UINT hitTest, UINT mouseMessage) override;
    // Brings the caret into view whenever the editor is shown.
    void onShowWindow(bool shown, UINT status) override;

private:
    struct KeyCommand {
        UINT virtualKey;
        bool control;
        bool shift;
        UINT command;
    };
    std::vector<KeyCommand> keyCommands;
    COLORREF backColor = 0xFFFFFF;
    COLORREF textColor = 0;
    GdiObject<HFONT> font;
    // What `font` was made from.
    std::string fontFace;
    int fontPoints = 0;
    DisplayScale fontScale;
    GdiObject<HBRUSH> backBrush;
};
