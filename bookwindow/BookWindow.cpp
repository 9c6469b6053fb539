#include "bookwindow/BookWindow.h"

#include "app/Application.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"

#include <string>

namespace {
constexpr DWORD kMainWindowStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME;
} // namespace

BookWindow::BookWindow() = default;

BookWindow::~BookWindow() = default;

bool BookWindow::createMainWindow(HWND owner) {
    std::string className;
    std::string title;
    application().loadString(IDS_MAIN_CLASS, className);
    application().loadString(IDS_APP_TITLE, title);
    registerWindowClass(className.c_str(), CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW),
                        nullptr);
    return create(0, className.c_str(), title.c_str(), kMainWindowStyle, 500, 300, 150, 100, owner, nullptr);
}

void BookWindow::onDestroy() { PostQuitMessage(0); }
