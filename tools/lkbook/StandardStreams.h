#pragma once

#include <string>
#include <vector>

// Runs lkbook on the process's standard streams. On Windows the streams are
// switched to binary, and output to a console window goes through the wide
// console call so that Japanese shows whatever the console's code page.
int runOnStandardStreams(const std::vector<std::string>& arguments);
