#include "sheets/ColorChooser.h"

#include "framework/Application.h"
#include "resources/resource.h"

#include <commdlg.h>

COLORREF customColors[16] = {};
bool autoColorChosen = false;

static_assert(sizeof(CHOOSECOLORA) == 36, "the colour dialog takes the 36-byte structure");

ColorChooser::ColorChooser(HWND ownerWindow) : owner(ownerWindow) {}

bool ColorChooser::choose(Color& color) const {
    autoColorChosen = false;
    CHOOSECOLORA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    // With CC_ENABLETEMPLATE this member names the module holding the template.
    request.hInstance = reinterpret_cast<HWND>(application().instance);
    request.rgbResult = color;
    request.lpCustColors = customColors;
    request.Flags = CC_RGBINIT | CC_ENABLEHOOK | CC_ENABLETEMPLATE;
    request.lpfnHook = hook;
    request.lpTemplateName = MAKEINTRESOURCEA(IDD_COLOR_CHOOSER);
    const bool confirmed = ChooseColorA(&request) == TRUE;
    if (!confirmed && !autoColorChosen) {
        return false;
    }
    color = autoColorChosen ? AutoColor : request.rgbResult;
    return true;
}

UINT_PTR CALLBACK ColorChooser::hook(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != 0) {
        return FALSE;
    }
    if (LOWORD(wParam) == IDC_AUTO_COLOR) {
        autoColorChosen = true;
        // IDABORT is how a hook asks the colour dialog to end, with a zero result.
        PostMessageA(dialog, WM_COMMAND, IDABORT, 0);
        return TRUE;
    }
    // Some colour dialogs (Wine's among them) do not act on IDABORT, which
    // would leave the dialog open after the automatic colour was chosen; the
    // hook sees the command first and ends the dialog as IDABORT would.
    if (LOWORD(wParam) == IDABORT && autoColorChosen) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
