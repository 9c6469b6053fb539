// lkctl: waits for a running Leafkeeper, drives it a little or ends it, for
// scripts that start the program under Wine (screenshots, demonstrations,
// the test of two computers sharing one book).
//   lkctl wait [SECONDS]   exit 0 once the main window is shown
//   lkctl quit [SECONDS]   ends the program as its menu item does; exit 0 once it is gone
//   lkctl command ID       sends the main window the command of a menu item (107 shows the page list)
//   lkctl type TEXT        replaces the text of the page shown in the book window, as typing does
//   lkctl answer [SECONDS] waits for a message box of the program, prints its text and answers OK;
//                          exit 1 when none came
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
    std::fputs("usage: lkctl wait [SECONDS] | quit [SECONDS] | command ID | type TEXT | answer [SECONDS]\n", stderr);
    return 2;
}

// The editor of the page view: the one "Edit" in a pane of the main window.
HWND pageEditor() {
    for (HWND pane = nullptr; (pane = FindWindowExA(mainWindow(), pane, "LKDOCWND", nullptr)) != nullptr;) {
        if (HWND editor = FindWindowExA(pane, nullptr, "Edit", nullptr)) {
            return editor;
        }
    }
    return nullptr;
}

int type(const char* text) {
    HWND editor = pageEditor();
    if (!editor) {
        return 1;
    }
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    return 0;
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && IsWindowVisible(window) && std::strcmp(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND programDialog() {
    DialogSearch search{0, nullptr};
    GetWindowThreadProcessId(mainWindow(), &search.processId);
    if (search.processId != 0) {
        EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

bool dialogShown() {
    return programDialog() != nullptr;
}

int answer(int seconds) {
    if (!waitFor(dialogShown, seconds)) {
        return 1;
    }
    HWND dialog = programDialog();
    char text[4096] = {};
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    std::printf("%s\n", text);
    std::fflush(stdout);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
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
    if (std::strcmp(argv[1], "type") == 0 && argc == 3) {
        return type(argv[2]);
    }
    if (std::strcmp(argv[1], "answer") == 0) {
        return answer(argc == 3 ? seconds : 10);
    }
    if (std::strcmp(argv[1], "quit") == 0) {
        if (HWND window = mainWindow()) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
        }
        return waitFor(gone, seconds) ? 0 : 1;
    }
    return usage();
}
