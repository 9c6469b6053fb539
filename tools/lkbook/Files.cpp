#include "tools/lkbook/Files.h"

#include "book/FileCloser.h"

#include <cstdio>
#include <system_error>

namespace Files {

bool sameFile(const std::string& first, const std::string& second) {
    const auto a = fromArgument(first);
    const auto b = fromArgument(second);
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error) {
        return true;
    }
    std::error_code errorA;
    std::error_code errorB;
    const auto canonicalA = std::filesystem::weakly_canonical(a, errorA);
    const auto canonicalB = std::filesystem::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

bool makeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

bool readWhole(const std::string& argument, std::string& bytes) {
    std::FILE* file = std::fopen(argument.c_str(), "rb");
    if (!file) {
        return false;
    }
    FileCloser closer(file);
    bytes.clear();
    char buffer[1 << 16];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
    }
    return !std::ferror(file);
}

bool writeAndClose(std::FILE* file, const std::string& bytes) {
    if (!file) {
        return false;
    }
    FileCloser closer(file);
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return closer.close() && written;
}

} // namespace Files
