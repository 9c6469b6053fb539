#include "book/FileSystem.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {

std::FILE* openForReading(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool fileSize(std::FILE* file, std::uint64_t& size) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool syncToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }

static std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool replaceFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    // The rename itself must survive a power cut too.
    const int directory = open(directoryOf(to).c_str(), O_RDONLY | O_DIRECTORY);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return true;
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

} // namespace FileSystem
