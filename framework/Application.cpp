#include "framework/Application.h"

#include "framework/WindowProcedure.h"

#include <commctrl.h>

#include <vector>

namespace {

Application* theApplication = nullptr;

// String and path buffers grow in steps of this many bytes.
constexpr int kBufferStep = 256;

} // namespace

Application& application() {
    return *theApplication;
}

// A second application object (a test's) stands in for the first while it
// lives.
Application::Application() : previousApplication(theApplication) {
    theApplication = this;
}

Application::~Application() {
    windowRegistry.clear();
    if (theApplication == this) {
        theApplication = previousApplication;
    }
}

bool Application::initInstance() {
    return true;
}

bool Application::exitInstance() {
    return true;
}

int Application::run() {
    while (!quitting) {
        const DWORD count = static_cast<DWORD>(watchedHandles.size());
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(count, watchedHandles.data(), INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + count) {
            // A copy: the watcher may unwatch its handle.
            const std::function<void()> watcher = watchers[woken - WAIT_OBJECT_0];
            watcher();
            continue;
        }
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            if (!translateAccelerator(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (quitting) {
                return quitCode;
            }
        }
    }
    return quitCode;
}

void Application::quit(int exitCode) {
    quitting = true;
    quitCode = exitCode;
    PostQuitMessage(exitCode);
}

bool Application::translateAccelerator(MSG&) {
    return false;
}

void Application::watch(HANDLE handle, std::function<void()> signalled) {
    watchedHandles.push_back(handle);
    watchers.push_back(std::move(signalled));
}

void Application::unwatch(HANDLE handle) {
    for (std::size_t i = 0; i < watchedHandles.size(); ++i) {
        if (watchedHandles[i] == handle) {
            watchedHandles.erase(watchedHandles.begin() + static_cast<std::ptrdiff_t>(i));
            watchers.erase(watchers.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

LRESULT Application::pumpMessage() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return 0;
    }
    TranslateMessage(&message);
    return DispatchMessageA(&message);
}

void Application::setStartupArguments(HINSTANCE moduleInstance, const char* arguments, int show) {
    instance = moduleInstance;
    commandLine = arguments;
    showCommand = show;
}

bool Application::loadString(UINT id, std::string& text) const {
    std::vector<char> buffer(kBufferStep);
    int length = LoadStringA(instance, id, buffer.data(), kBufferStep);
    if (length == 0) {
        return false;
    }
    // A buffer filled to within a character of its end may mean a cut string:
    // the system stops short rather than split a double-byte character. Load
    // again with more room until the string leaves two bytes to spare.
    for (int size = kBufferStep; length >= size - 2;) {
        size += kBufferStep;
        buffer.resize(static_cast<std::size_t>(size));
        length = LoadStringA(instance, id, buffer.data(), size);
    }
    text.assign(buffer.data(), static_cast<std::size_t>(length));
    return true;
}

std::string Application::text(UINT id) const {
    std::string loaded;
    loadString(id, loaded);
    return loaded;
}

std::string Application::text(UINT id, std::initializer_list<std::string> inserts) const {
    const std::string pattern = text(id);
    std::string result;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char next = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
        const std::size_t number = static_cast<std::size_t>(next - '1');
        if (pattern[at] == '%' && next >= '1' && next <= '9' && number < inserts.size()) {
            result += *(inserts.begin() + number);
            ++at;
        } else {
            result += pattern[at];
        }
    }
    return result;
}

void Application::moduleDirectory(std::string& directory) const {
    std::vector<char> buffer;
    DWORD length = 0;
    for (DWORD size = kBufferStep;; size += kBufferStep) {
        buffer.resize(size);
        length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (size - length > 2) {
            break;
        }
    }
    const std::string path(buffer.data(), length);
    const auto backslash = path.find_last_of('\\');
    directory = backslash == std::string::npos ? std::string() : path.substr(0, backslash + 1);
}

bool Application::registerWindowClasses(const std::string& className) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    paneClassName = className;
    return InitCommonControlsEx(&controls) &&
           registerWindowClass(className.c_str(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr, nullptr,
                               LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

bool Application::createToolTipWindow(HWND owner) {
    toolTip =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
    return toolTip != nullptr;
}

bool Application::addToolTip(HWND window, UINT textId, const RECT& rect) const {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE; // the 44-byte form every comctl32 version takes
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = 0;
    tool.rect = rect;
    tool.hinst = instance;
    tool.lpszText = MAKEINTRESOURCEA(textId);
    return SendMessageA(toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) == 1;
}

void Application::moveToolTip(HWND window, const RECT& rect) const {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.uId = 0;
    tool.rect = rect;
    SendMessageA(toolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Application::removeToolTip(HWND window) const {
    if (!toolTip) {
        return;
    }
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.uId = 0;
    SendMessageA(toolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}
