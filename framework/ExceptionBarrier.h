#pragma once

#include "framework/WindowProcedure.h"

#include <exception>
#include <new>

// Runs `body` where an exception must not go on: out of a window or dialog
// procedure into the window system, or out of the program's entry point.
// An exception is reported to the user and `fallback` is returned instead.
template <typename Result, typename Body> Result withinExceptionBarrier(Result fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
    } catch (const std::exception& error) {
        reportUnexpectedError(error.what());
    } catch (...) {
        reportUnexpectedError("");
    }
    return fallback;
}
