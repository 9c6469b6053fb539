// lkctl: waits for a running Leafkeeper or ends it, for scripts that start
// the program under Wine (screenshots, demonstrations).
//   lkctl wait [SECONDS]   exit 0 once the main window is shown
//   lkctl quit [SECONDS]   ends the program as its menu item does; exit 0 once it is gone
//   lkctl command ID       sends the main window the command of a menu item (107 shows the page list)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kExitCommand = 111;

HWND mainWindow() {
    return FindWindowA("LKMAINWND", "Leafkeeper");
}

bool waitFor(bool (*condition)(), int seconds) {
    for (int waited = 0; waited < seconds * 10; ++waited) {
        if (condition()) {
            return true;
        }
        Sleep(100);
    }
    return condition();
}

bool shown() {
    HWND window = mainWindow();
    return window && IsWindowVisible(window);
}

bool gone() {
    return mainWindow() == nullptr;
}

int usage() {
    std::fputs("usage: lkctl wait [SECONDS] | lkctl quit [SECONDS] | lkctl command ID\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        return usage();
    }
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 30;
    if (std::strcmp(argv[1], "wait") == 0) {
        if (!waitFor(shown, seconds)) {
            std::fputs("lkctl: Leafkeeper's main window did not appear\n", stderr);
            return 1;
        }
        // Let it finish painting.
        DWORD processId = 0;
        GetWindowThreadProcessId(mainWindow(), &processId);
        if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
            WaitForInputIdle(process, 5000);
            CloseHandle(process);
        }
        return 0;
    }
    if (std::strcmp(argv[1], "command") == 0 && argc == 3) {
        HWND window = mainWindow();
        DWORD_PTR ignored = 0;
        return window && SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(std::atoi(argv[2]), 0), 0, SMTO_NORMAL,
                                             10000, &ignored)
                   ? 0
                   : 1;
    }
    if (std::strcmp(argv[1], "quit") == 0) {
        if (HWND window = mainWindow()) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
        }
        return waitFor(gone, seconds) ? 0 : 1;
    }
    return usage();
}
