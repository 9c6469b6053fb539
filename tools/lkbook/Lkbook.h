#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// lkbook: checks, lists, searches, converts and rescues Leafkeeper book files.
namespace Lkbook {

enum ExitCode {
    Success = 0,
    Refused = 1,    // a damaged or unreadable input, or an output that could not be written
    UsageError = 2, // the command line itself is wrong
};

// Runs one command line (without the program name). `in` is read only by
// "build -"; `out` takes the command's result, `err` the complaints. Text
// written to either is UTF-8.
int run(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace Lkbook
