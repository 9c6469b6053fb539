#include "tools/lkbook/StandardStreams.h"

#include "tools/lkbook/Lkbook.h"

#include <iostream>

int runOnStandardStreams(const std::vector<std::string>& arguments) {
    const int code = Lkbook::run(arguments, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
