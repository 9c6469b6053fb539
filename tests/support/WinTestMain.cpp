// The main function of the Windows test executables: an application object
// as the program's start-up makes it (instance, common controls, the page
// window class, the tooltip window), then the tests.
#include "app/Application.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    Application app;
    app.setStartupArguments(GetModuleHandleA(nullptr), GetCommandLineA(), SW_SHOWNORMAL);

    // A child mode for tests that need the executable's own view of itself.
    if (argc == 2 && std::strcmp(argv[1], "--print-module-directory") == 0) {
        std::string directory;
        app.moduleDirectory(directory);
        std::fputs(directory.c_str(), stdout);
        return 0;
    }

    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&controls);
    std::string documentClass;
    app.loadString(IDS_DOC_CLASS, documentClass);
    registerWindowClass(documentClass.c_str(), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr, nullptr,
                        LoadCursorA(nullptr, IDC_ARROW), nullptr);
    app.createToolTipWindow(nullptr);
    return RUN_ALL_TESTS();
}
