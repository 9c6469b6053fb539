#include "tools/lkbook/StandardStreams.h"

int main(int argc, char** argv) {
    return runOnStandardStreams(std::vector<std::string>(argv + 1, argv + argc));
}
