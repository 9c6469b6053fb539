#include "app/RunLeafkeeper.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    return runLeafkeeper(instance, commandLine, showCommand);
}
