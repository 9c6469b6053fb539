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

static bool copyFile(const std::string& from, const std::string& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) {
        return false;
    }
    std::FILE* out = std::fopen(to.c_str(), "wb");
    bool ok = out != nullptr;
    char chunk[1 << 16];
    while (ok) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, in);
        if (got == 0) {
            ok = !std::ferror(in);
            break;
        }
        ok = std::fwrite(chunk, 1, got, out) == got;
    }
    std::fclose(in);
    if (out) {
        ok = std::fflush(out) == 0 && fsync(fileno(out)) == 0 && ok;
        ok = std::fclose(out) == 0 && ok;
    }
    return ok;
}

bool preserveAsBackup(const std::string& original, const std::string& backup) {
    const std::string pending = backup + ".tmp";
    std::remove(pending.c_str());
    if (link(original.c_str(), pending.c_str()) != 0 && !copyFile(original, pending)) {
        std::remove(pending.c_str());
        return false;
    }
    if (!replaceFile(pending, backup)) {
        std::remove(pending.c_str());
        return false;
    }
    return true;
}

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

} // namespace FileSystem
