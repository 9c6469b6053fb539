#pragma once

#include <windows.h>

// The whole life of the program: the application object, its start-up, the
// message loop and the exit. Returns the exit code.
int runLeafkeeper(HINSTANCE instance, LPSTR commandLine, int showCommand);
