#include "pagewindows/ImeSwitch.h"

#include <imm.h>

namespace {

// ImmGetContext / ImmReleaseContext.
class InputContext {
public:
    explicit InputContext(HWND target) : window(target), context(ImmGetContext(target)) {}
    InputContext(const InputContext&) = delete;
    InputContext& operator=(const InputContext&) = delete;
    ~InputContext() {
        if (context) {
            ImmReleaseContext(window, context);
        }
    }

    HIMC get() const { return context; }

private:
    HWND window;
    HIMC context;
};

} // namespace

bool imeNeedsToggle(bool imeAutoOn, DWORD openStatus) {
    return imeAutoOn ? openStatus == 0 : openStatus == 1;
}

void switchInputMethod(HWND window, bool imeAutoOn) {
    const InputContext context(window);
    if (!context.get()) {
        return;
    }
    if (imeNeedsToggle(imeAutoOn, static_cast<DWORD>(ImmGetOpenStatus(context.get())))) {
        ImmSimulateHotKey(window, IME_JHOTKEY_CLOSE_OPEN);
    }
}
