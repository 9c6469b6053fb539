#include "app/RunLeafkeeper.h"

#include "app/BookApplication.h"
#include "framework/WindowProcedure.h"

#include <exception>
#include <memory>
#include <new>

int runLeafkeeper(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    try {
        auto app = std::make_unique<BookApplication>();
        app->setStartupArguments(instance, commandLine, showCommand);
        const int exitCode = app->initInstance() ? app->run() : 0;
        app->exitInstance();
        return exitCode;
    } catch (const std::bad_alloc&) {
        reportUnexpectedError("メモリが不足しています。");
    } catch (const std::exception& error) {
        reportUnexpectedError(error.what());
    }
    return 1;
}
