// The main function of the Windows test executables: an application object
// as the program's start-up makes it (instance, common controls, the page
// window class, the tooltip window), then the tests.
#include "app/BookApplication.h"

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
    BookApplication::prepare(app);
    app.createToolTipWindow(nullptr);
    return RUN_ALL_TESTS();
}
