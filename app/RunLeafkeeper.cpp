#include "app/RunLeafkeeper.h"

#include "app/BookApplication.h"
#include "framework/ExceptionBarrier.h"

#include <memory>

int runLeafkeeper(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    return withinExceptionBarrier(1, [&] {
        auto app = std::make_unique<BookApplication>();
        app->setStartupArguments(instance, commandLine, showCommand);
        const int exitCode = app->initInstance() ? app->run() : 0;
        app->exitInstance();
        return exitCode;
    });
}
