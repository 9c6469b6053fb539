#include "tools/lkbook/Files.h"

#include "book/FileCloser.h"

#include <cstdio>

namespace Files {

std::filesystem::path fromArgument(const std::string& argument) {
    return std::filesystem::path(argument);
}

std::string forDisplay(const std::string& argument) {
    return argument;
}

std::filesystem::path child(const std::filesystem::path& folder, const std::string& nameUtf8) {
    return folder / std::filesystem::path(nameUtf8);
}

bool writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    return writeAndClose(std::fopen(path.c_str(), "wb"), bytes);
}

} // namespace Files
